// program_run.h -- one run of the whole program as the shell makes it (start, loop turns, shut-down)
// for the fault sweep and the broken-asset tests, with what it left behind.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "game_fixture.h"

struct ProgramRun {
    int started = 0;  // game_init's result
    int exit_code = -1;  // the quit message's code; -1 while frames play on
    int frames_run = 0;  // game_frame calls made
    int frames_shown = 0;  // frames presented during those calls
    std::string error;  // what went to standard error during the start
    bool ready_after = false;  // game_ready after the frames
    int open_files = 0, sound_buffers = 0, music_segments = 0;  // left after the shut-down
};

// Starts in the current folder and runs up to `turns` loop turns, as WinMain does, then shuts down.
// `before_start` runs once the window is made, right before game_init.
inline ProgramRun run_program(int turns, bool music = false, const std::function<void()>& before_start = {})
{
    ProgramRun out;
    fresh_process(music);
    if (before_start)
        before_start();
    testing::internal::CaptureStderr();
    out.started = game_init(nullptr);
    out.error = testing::internal::GetCapturedStderr();
    const int presents_before = testing_present_count();
    for (int turn = 0; turn < turns; ++turn) {
        MSG msg{};
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                out.exit_code = static_cast<int>(msg.wParam);
                break;
            }
            DispatchMessageA(&msg);
        }
        game_frame(nullptr);
        ++out.frames_run;
    }
    out.frames_shown = testing_present_count() - presents_before;
    out.ready_after = game_ready != 0;
    game_shutdown(nullptr);
    out.open_files = testing_open_files();
    out.sound_buffers = testing_sound_buffers_alive();
    out.music_segments = testing_music_segments_alive();
    return out;
}

// A failed start: the quit message with the failure code, one "vorlash: " line, nothing left open.
inline void expect_ended_with_one_line(const ProgramRun& run)
{
    EXPECT_EQ(run.started, 0);
    EXPECT_EQ(run.exit_code, 1) << "the quit message ends the loop with the failure code";
    EXPECT_FALSE(run.ready_after);
    EXPECT_EQ(run.error.rfind("vorlash: ", 0), 0u) << run.error;
    EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1) << "one line: " << run.error;
}

// A start that went on: every turn ran a frame and no quit message came.
inline void expect_played_on(const ProgramRun& run, int turns)
{
    EXPECT_EQ(run.started, 1) << run.error;
    EXPECT_EQ(run.exit_code, -1);
    EXPECT_EQ(run.frames_run, turns);
    EXPECT_TRUE(run.ready_after);
}

inline void expect_nothing_left(const ProgramRun& run)
{
    EXPECT_EQ(run.open_files, 0) << "files left open";
    EXPECT_EQ(run.sound_buffers, 0) << "sound buffers left alive";
    EXPECT_EQ(run.music_segments, 0) << "music segments left alive";
}
