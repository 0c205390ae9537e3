// headless_host.h -- the host without a window or a sound device: keeps what it was asked to show.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host.h"

// A presented frame, copied.
struct HeadlessFrame {
    int width = 0, height = 0, bpp = 0, rgb_bits = 0;
    std::vector<uint8_t> pixels;        // rows packed without gaps (width × bytes per pixel)
    std::vector<PALETTEENTRY> palette;  // 256 entries for 8-bit frames
    uint32_t pixel(int x, int y) const;  // index or 16-bit value; 0 outside the frame
};

// Not final: a benchmark swaps in a present that does only what a real host's would.
class HeadlessHost : public Host {
public:
    bool open_window(int width, int height, const char* title) override;
    void close_window() override {}
    const char* reason() const override { return "no display is available"; }
    void set_display_mode(int, int, int) override {}
    void restore_display_mode() override {}
    void present(const HostFrame& frame) override;
    void wait_refresh() override { ++refreshes; }
    void pump_events() override;
    void show_cursor(bool) override {}
    uint32_t real_ticks() override;
    void real_sleep(uint32_t ms) override;
    bool open_audio(int, int) override { return !audio_unavailable; }  // tests render on demand
    void close_audio() override {}
    void music_unavailable(const char* reason) override { music_notes.push_back(reason); }

    void reset();

    HeadlessFrame last_frame;
    int presents = 0;
    int refreshes = 0;
    bool window_unavailable = false;
    bool audio_unavailable = false;
    std::vector<std::string> music_notes;
    int pumps = 0;
    std::vector<std::pair<int, bool>> queued_keys;  // delivered at the next pump, in order
};

HeadlessHost& headless_host();
