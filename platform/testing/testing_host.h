// testing_host.h -- the host the test hooks install: the headless host, plus what tests set and read
// (a window or an audio device made unavailable, key events queued for the next pump, the notes of
// music that could not start, the last presented frame and counts of presents, refreshes and pumps).
// testing_reset installs it and clears it; a test may derive from it to watch each present.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "headless_host.h"

// A presented frame, copied.
struct TestingFrame {
    int width = 0, height = 0, bpp = 0, rgb_bits = 0;
    std::vector<uint8_t> pixels;        // rows packed without gaps (width × bytes per pixel)
    std::vector<PALETTEENTRY> palette;  // 256 entries for 8-bit frames
    uint32_t pixel(int x, int y) const;  // index or 16-bit value; 0 outside the frame
};

class TestingHost : public HeadlessHost {
public:
    bool open_window(int width, int height, const char* title) override;
    void present(const HostFrame& frame) override;  // keeps a copy in last_frame
    void wait_refresh() override { ++refreshes; }
    void pump_events() override;  // delivers the queued keys, in order
    bool open_audio(int rate, int channels) override;  // tests render on demand
    void music_unavailable(const char* reason) override { music_notes.push_back(reason); }

    void reset();

    TestingFrame last_frame;
    int presents = 0;
    int refreshes = 0;
    bool window_unavailable = false;
    bool audio_unavailable = false;
    std::vector<std::string> music_notes;
    int pumps = 0;
    std::vector<std::pair<int, bool>> queued_keys;  // delivered at the next pump, in order
};

TestingHost& testing_host();
