// midi_fuzz.cpp -- music_load_midi on any bytes: a file the loader refuses is -1, one it takes
// plays through the synthesizer's own player. The synthesizer starts once, before the inputs;
// each input is loaded from a folder of its own, and the fuzzer's own directory is given back
// after it, so corpus paths and crash files stay where the fuzzer was started. The oracle: every
// file the reader takes plays to its end through the player (testing_midi_play), or the run aborts.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "audio.h"
#include "services.h"
#include "testing.h"

static std::filesystem::path folder;
static std::filesystem::path started_in;
static bool music_up = false;
static constexpr size_t LOADER_FILE_MAX = 8 * 1024 * 1024;  // the loader refuses a larger file unread

static void remove_folder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    testing_reset();
    main_window = testing_make_window();
    sound_init();
    music_up = music_init() == 1;
    if (!music_up)
        std::fprintf(stderr, "midi_fuzz: no synthesizer; only the refusals and the oracle are exercised\n");
    folder = std::filesystem::temp_directory_path() / ("vorlash-midi-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    started_in = std::filesystem::current_path();
    std::atexit(remove_folder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TestingMidiPlay oracle = testing_midi_play(data, size);
    if (!oracle.failure.empty()) {
        std::fprintf(stderr, "midi_fuzz: taken, but %s\n", oracle.failure.c_str());
        std::abort();
    }
    std::FILE* f = std::fopen((folder / "piece.mid").c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    std::filesystem::current_path(folder);  // music_load_midi looks in the current directory
    const int id = music_load_midi("piece.mid");
    std::filesystem::current_path(started_in);
    if (music_up && size <= LOADER_FILE_MAX && (id >= 0) != oracle.accepted) {
        std::fprintf(stderr, "midi_fuzz: the loader and the reader disagree on taking the file\n");
        std::abort();
    }
    if (id >= 0) {
        // The player reads the whole file on its first turn, then plays a little of it.
        music_play(id);
        testing_audio_render(2048);
        music_status(id);
        music_stop(id);
        music_delete(id);
    }
    return 0;
}
