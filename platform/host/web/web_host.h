// web_host.h -- the host for the program in a browser: the display drawn to the page's canvas, the
// refreshes of the page's animation frames, the page's keys, focus and gamepads, and WebAudio
// pulling the mixer. The page (page/vorlash.js) owns the canvas, the audio graph and the event
// queue; this side reaches it through the few calls of web_page.h.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host.h"

class WebHost final : public Host {
public:
    bool open_window(int width, int height, const char* title) override;
    void close_window() override;
    const char* reason() const override { return "the page has no canvas"; }
    void set_display_mode(int width, int height, int bpp) override;
    void restore_display_mode() override {}
    void present(const HostFrame& frame) override;
    void wait_refresh() override;
    void pump_events() override;
    void show_cursor(bool visible) override;
    uint32_t real_ticks() override;
    void real_sleep(uint32_t ms) override;
    bool open_audio(int rate, int channels) override;
    void close_audio() override;
    void music_unavailable(const char* reason) override;

private:
    bool open = false;
    double last_turn_ms = 0;  // when the page last had its turn (the page's clock)
    // The display frame last drawn, its pixels and palette as they were: a present of the same frame
    // again draws nothing, and of a changed one converts only the rows that changed.
    std::vector<uint8_t> last_frame;
    std::vector<uint8_t> changed_blocks;  // frame_row_keep's flags for one row, not read
    int last_width = 0, last_height = 0, last_bpp = 0;
    uint8_t last_palette[256 * 4] = {};
    std::vector<uint32_t> rgba;  // the picture as the canvas holds it, RGBA bytes
};
