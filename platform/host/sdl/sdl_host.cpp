// sdl_host.cpp -- the SDL2 host: window, full-screen scaling with square pixels, presents, 60 Hz
// pacing without drift, and the event pump (close, focus, Alt+Enter).
#include "sdl_host.h"

#include "frame_convert.h"
#include "refresh_grid.h"
#include "sdl_input.h"
#include "../../src/host_reports.h"

#include <windows.h>

#include <sys/prctl.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

static constexpr uint64_t NS_PER_SECOND = 1000000000;
// An absolute sleep on the monotonic clock, with the thread's timer slack at its least, wakes some
// 20 to 60 us late on a desktop kernel: sleep to this close to a refresh tick, then spin the rest,
// so most frames spin a few microseconds and the rare later wake misses its tick by tens of them.
static constexpr uint64_t SPIN_MARGIN_NS = 50000;
// The program asks for events four times a frame (its message loop, then each input device's read),
// microseconds apart, and each pump is a round of calls to the X server. A pump this soon after the
// last finds what that one found, so it is skipped; an event arriving in between is taken by the
// next pump, a frame later at most.
static constexpr uint64_t PUMP_GAP_NS = 1000000;

static uint64_t monotonic_ns()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

SdlHost::~SdlHost() { close_window(); }

// ---- window ----

// SDL falls back to drivers that show nothing; the game only runs where a player can see it,
// unless someone asks for such a driver by name.
static bool display_reachable(std::string* why)
{
    if (std::getenv("SDL_VIDEODRIVER"))
        return true;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        *why = "no display found (DISPLAY and WAYLAND_DISPLAY are not set)";
        return false;
    }
    return true;
}

static bool driver_shows_pictures()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (std::getenv("SDL_VIDEODRIVER") || !driver)
        return true;
    return std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

bool SdlHost::open_window(int width, int height, const char* title)
{
    if (window)
        return true;
    if (!display_reachable(&why)) {
        failed = true;
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        failed = true;
        why = SDL_GetError();
        return false;
    }
    if (!driver_shows_pictures()) {
        failed = true;
        why = std::string("no display found (only the '") + SDL_GetCurrentVideoDriver() + "' video driver works)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    // The picture is scaled here into the window's own pixels, so no GPU driver is loaded for it:
    // where the only GL is a software one, that alone would more than double the program's memory.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // Shown once the display takes a mode or shows a picture, so no empty box flashes first.
    window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                              SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!window) {
        failed = true;
        why = SDL_GetError();
        close_window();
        return false;
    }
    sdl_input_open();  // without controller support the keyboard and mouse still work
    // The refresh sleeps happen on this thread; the kernel's default 50 us of slack would make the
    // spin after them longer.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    return true;
}

void SdlHost::close_window()
{
    sdl_input_close();
    if (texture)
        SDL_DestroyTexture(texture);
    if (renderer)
        SDL_DestroyRenderer(renderer);
    if (window)
        SDL_DestroyWindow(window);
    if (window)
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    texture = nullptr;
    renderer = nullptr;
    window = nullptr;
    texture_width = texture_height = 0;
    shown = HostFrame{};
    drawn_surface = nullptr;
    mode_width = mode_height = 0;
}

bool SdlHost::ensure_texture(int width, int height)
{
    if (!renderer)
        return false;
    if (texture && texture_width == width && texture_height == height)
        return true;
    if (texture)
        SDL_DestroyTexture(texture);
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    texture_width = texture ? width : 0;
    texture_height = texture ? height : 0;
    // The picture keeps its shape on any screen: square pixels, black bars where it does not fill.
    SDL_RenderSetLogicalSize(renderer, width, height);
    return texture != nullptr;
}

void SdlHost::show_full_screen(bool on)
{
    if (!window)
        return;
    // Size the window ourselves as well: without a window manager (a bare X server) nothing else
    // would, and with one it changes nothing.
    SDL_Rect screen;
    if (on && SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &screen) == 0) {
        SDL_SetWindowPosition(window, screen.x, screen.y);
        SDL_SetWindowSize(window, screen.w, screen.h);
    }
    SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    if (!on && mode_width > 0) {
        SDL_SetWindowSize(window, mode_width, mode_height);
        SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    full_screen = on;
    drawn_surface = nullptr;  // the next present draws the window's image whole
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
}

// ---- display ----

void SdlHost::set_display_mode(int width, int height, int)
{
    if (!window)
        return;
    mode_width = width;
    mode_height = height;
    if (!full_screen)
        SDL_SetWindowSize(window, width, height);
    show_full_screen(true);
}

void SdlHost::restore_display_mode()
{
    if (window && full_screen)
        show_full_screen(false);
}

// The frame is kept, so the window can be drawn again when it is uncovered or resized between
// presents (the intro holds a picture for seconds). It is compared with the last one as it is kept:
// during play about half of the rows are as they were, and in the others most blocks of pixels;
// the window's image needs only the blocks that changed.
void SdlHost::present(const HostFrame& frame)
{
    if (!window || frame.width <= 0 || frame.height <= 0)
        return;
    const size_t row = static_cast<size_t>(frame.width) * (frame.bpp / 8);
    const bool same_shape = shown.width == frame.width && shown.height == frame.height && shown.bpp == frame.bpp &&
                            shown.rgb_bits == frame.rgb_bits;
    const int blocks = frame_blocks(frame.width);
    const size_t block_bytes = static_cast<size_t>(FRAME_BLOCK) * (frame.bpp / 8);
    shown_pixels.resize(row * frame.height);
    changed_rows.assign(static_cast<size_t>(frame.height), 1);
    changed_blocks.assign(static_cast<size_t>(frame.height) * blocks, 1);
    for (int y = 0; y < frame.height; ++y) {
        uint8_t* kept = shown_pixels.data() + y * row;
        const uint8_t* in = frame.pixels + static_cast<size_t>(y) * frame.pitch;
        if (same_shape)
            changed_rows[static_cast<size_t>(y)] =
                frame_row_keep(kept, in, row, block_bytes, changed_blocks.data() + static_cast<size_t>(y) * blocks);
        else
            std::memcpy(kept, in, row);
    }
    if (frame.palette)
        std::memcpy(shown_palette, frame.palette, sizeof shown_palette);
    shown = frame;
    shown.pixels = shown_pixels.data();
    shown.pitch = static_cast<int>(row);
    shown.palette = frame.palette ? shown_palette : nullptr;
    if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN))
        SDL_ShowWindow(window);
    redraw(false);
}

// `whole`: the window's image may have lost the picture (uncovered, resized), so it is drawn again
// bars and all; otherwise only the rows of the last present that changed.
void SdlHost::redraw(bool whole)
{
    if (!window || shown.width == 0)
        return;
    uint32_t lut[256] = {};  // an 8-bit frame without a palette shows black
    if (shown.bpp == 8 && shown.palette)
        frame_palette_to_xrgb(shown.palette, lut);
    if (!renderer && draw_on_window_surface(lut, whole))
        return;
    draw_with_renderer(lut);
}

// The usual way: scaled straight into the window's shared-memory image, which keeps what was drawn
// into it, so the bars are cleared and unchanged rows converted only when the image is new.
bool SdlHost::draw_on_window_surface(const uint32_t* lut, bool whole)
{
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface || surface->format->BytesPerPixel != 4 || surface->format->Rmask != 0xFF0000 ||
        surface->format->Gmask != 0xFF00 || surface->format->Bmask != 0xFF)
        return false;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
        return false;
    const bool up_to_date_before = !whole && surface == drawn_surface && surface->pixels == drawn_pixels &&
                                   surface->w == drawn_width && surface->h == drawn_height &&
                                   std::memcmp(lut, drawn_lut, sizeof drawn_lut) == 0;
    auto* out = static_cast<uint32_t*>(surface->pixels);
    if (up_to_date_before)
        frame_to_xrgb_scaled_rows(shown, lut, out, surface->pitch, surface->w, surface->h, changed_blocks.data());
    else
        frame_to_xrgb_scaled(shown, lut, out, surface->pitch, surface->w, surface->h);
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    drawn_surface = surface;
    drawn_pixels = surface->pixels;
    drawn_width = surface->w;
    drawn_height = surface->h;
    std::memcpy(drawn_lut, lut, sizeof drawn_lut);
    if (up_to_date_before)
        update_changed_bands(surface);
    else
        SDL_UpdateWindowSurface(window);
    return true;
}

// Shows the bands of the window's image that the changed rows were scaled into.
void SdlHost::update_changed_bands(SDL_Surface* surface)
{
    const FrameFit fit = frame_fit(shown.width, shown.height, surface->w, surface->h);
    static thread_local std::vector<SDL_Rect> bands;
    bands.clear();
    for (int y = fit.y; y < fit.y + fit.height; ++y) {
        if (!changed_rows[static_cast<size_t>(frame_nearest(y - fit.y, shown.height, fit.height))])
            continue;
        if (!bands.empty() && bands.back().y + bands.back().h == y)
            ++bands.back().h;
        else
            bands.push_back(SDL_Rect{fit.x, y, fit.width, 1});
    }
    if (!bands.empty())
        SDL_UpdateWindowSurfaceRects(window, bands.data(), static_cast<int>(bands.size()));
}

// Where the window has no such image (a native Wayland session) or another pixel layout: a
// renderer scales a streaming texture. Once made, it is used from then on.
void SdlHost::draw_with_renderer(const uint32_t* lut)
{
    if (!renderer)
        renderer = SDL_CreateRenderer(window, -1, 0);
    if (!ensure_texture(shown.width, shown.height))
        return;
    void* out = nullptr;
    int out_pitch = 0;
    if (SDL_LockTexture(texture, nullptr, &out, &out_pitch) != 0)
        return;
    frame_to_xrgb(shown, lut, static_cast<uint32_t*>(out), out_pitch);
    SDL_UnlockTexture(texture);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

// The refresh ticks are fixed instants of the monotonic clock, as a display's vertical blanks are
// (refresh_grid.h): a wait always ends on the next one, so a frame that misses a tick waits for the
// following one and never catches up in a burst. The program's own 60 Hz grid on the same clock then
// always finds its frame on time and adds no wait of its own.
void SdlHost::wait_refresh()
{
    const uint64_t now = monotonic_ns();
    const int64_t per_second = static_cast<int64_t>(NS_PER_SECOND);
    const int64_t tick = refresh_tick_at_or_before(static_cast<int64_t>(now), per_second);
    const auto deadline = static_cast<uint64_t>(refresh_tick_time(tick + 1, per_second));
    if (deadline > now + SPIN_MARGIN_NS) {
        const uint64_t wake = deadline - SPIN_MARGIN_NS;
        timespec until;
        until.tv_sec = static_cast<time_t>(wake / NS_PER_SECOND);
        until.tv_nsec = static_cast<long>(wake % NS_PER_SECOND);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
        }
    }
    while (monotonic_ns() < deadline) {
    }
}

// ---- events ----

void SdlHost::handle_key(const SDL_KeyboardEvent& key)
{
    if (key.type == SDL_KEYDOWN && !key.repeat && key.keysym.sym == SDLK_RETURN && (key.keysym.mod & KMOD_ALT))
        show_full_screen(!full_screen);
}

void SdlHost::pump_events()
{
    if (!window)
        return;
    const uint64_t now = monotonic_ns();
    if (pumped && now - pumped < PUMP_GAP_NS)
        return;
    pumped = now;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        sdl_input_event(e);
        switch (e.type) {
        case SDL_QUIT:
            host_post_message(WM_CLOSE);
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE)
                host_post_message(WM_CLOSE);
            else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
                host_focus_changed(false);
            else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
                host_focus_changed(true);
            else if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                redraw();
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            handle_key(e.key);
            break;
        default:
            break;
        }
    }
}

void SdlHost::show_cursor(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

uint32_t SdlHost::real_ticks() { return SDL_GetTicks(); }

// A sleep of seconds (the intro holds each picture so) still keeps the window alive: it is drawn
// again when uncovered, Alt+Enter works, and a desktop's are-you-there pings are answered. Keys and
// close requests reach the game's state and message queue as they would between frames.
void SdlHost::real_sleep(uint32_t ms)
{
    static constexpr uint32_t SLICE_MS = 20;
    const uint32_t start = SDL_GetTicks();
    for (;;) {
        pump_events();
        const uint32_t slept = SDL_GetTicks() - start;
        if (slept >= ms)
            return;
        SDL_Delay(ms - slept < SLICE_MS ? ms - slept : SLICE_MS);
    }
}
