/// @file
/// sdl_host.h -- the host for the real program: an SDL2 window showing the display full screen,
/// paced at 60 refreshes per second, with the machine's events turned into window messages.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host.h"
#include "sdl_audio.h"

/// The Host of the real program: an SDL2 window, full screen at 60 refreshes a second, the machine's
/// audio device, keyboard, mouse and game controllers. Install it with host_install before WinMain.
class SdlHost final : public Host {
public:
    ~SdlHost() override;

    bool open_window(int width, int height, const char* title) override;
    void close_window() override;
    const char* reason() const override { return why.c_str(); }
    void set_display_mode(int width, int height, int bpp) override;
    void restore_display_mode() override;
    void present(const HostFrame& frame) override;
    void wait_refresh() override;
    void pump_events() override;
    void show_cursor(bool visible) override;
    uint32_t real_ticks() override;
    void real_sleep(uint32_t ms) override;
    bool open_audio(int rate, int channels) override;  // sdl_audio.cpp
    void close_audio() override;
    void music_unavailable(const char* reason) override;

    bool window_failed() const { return failed; }  ///< open_window was called and failed

private:
    bool ensure_texture(int width, int height);
    void show_full_screen(bool on);
    void redraw(bool whole = true);
    bool draw_on_window_surface(const uint32_t* lut, bool whole);
    void update_changed_bands(SDL_Surface* surface);
    void draw_with_renderer(const uint32_t* lut);
    void handle_key(const SDL_KeyboardEvent& key);

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int texture_width = 0, texture_height = 0;
    int mode_width = 0, mode_height = 0;  // the display mode's size, the window's when not full screen
    HostFrame shown{};  // the last frame presented, kept in the buffers below; width 0 before one
    std::vector<uint8_t> shown_pixels;
    uint8_t shown_palette[256 * 4] = {};
    // What differs in `shown` from the frame before: one flag a row, and one a block of pixels.
    std::vector<uint8_t> changed_rows, changed_blocks;
    // What the window's image holds: `shown` drawn whole into this surface with this palette, and
    // then kept up to date row by row. A new surface or palette draws the whole picture again.
    SDL_Surface* drawn_surface = nullptr;
    void* drawn_pixels = nullptr;
    int drawn_width = 0, drawn_height = 0;
    uint32_t drawn_lut[256] = {};
    uint64_t pumped = 0;  // when the events were last pumped, on the monotonic clock (ns)
    bool full_screen = false;
    bool failed = false;
    std::string why;
    SdlAudio audio;
};
