// web_host.cpp -- the web host: presents converted to RGBA for the page's canvas, refresh waits on
// the page's animation frames, sleeps that give the page its turn, the page's events, and the
// audio pull WebAudio makes between frames.
#include "web_host.h"

#include <emscripten.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "frame_convert.h"
#include "web_input.h"
#include "web_page.h"
#include "../../src/host_reports.h"

// ---- constants ----
// WebAudio asks for this many frames at a time (46 ms at 44100 Hz): the page's thread also runs the
// program, so a pull can come a frame or two late and still find sound queued.
static constexpr int AUDIO_FRAMES = 2048;
static constexpr int AUDIO_CHANNELS_MAX = 2;
// A sleep gives the page its turn at least this often, so keys pressed during a long sleep (the
// intro holds each picture so) reach the program as they would between frames.
static constexpr uint32_t SLEEP_SLICE_MS = 20;
// The page runs on the program's thread: a busy wait on the tick count (the game's one-second pause
// on a restart, a transition's steps) that has held it this long gives the page a turn, so sound
// plays on, keys arrive and the canvas is shown, as they would on a desktop during such a wait.
static constexpr double BUSY_TURN_MS = 8;

// ---- the audio pull ----
static int16_t audio_buffer[AUDIO_FRAMES * AUDIO_CHANNELS_MAX];
static bool audio_open = false;

// Called by the page's audio graph, between the program's own turns (the program is waiting for a
// frame or a sleep then, so nothing it holds is half-changed).
extern "C" EMSCRIPTEN_KEEPALIVE void web_audio_pull()
{
    if (audio_open)
        host_audio_render(audio_buffer, AUDIO_FRAMES);
    else
        std::memset(audio_buffer, 0, sizeof audio_buffer);
}

// ---- window ----

bool WebHost::open_window(int width, int height, const char*)
{
    if (!open) {
        web_keys_register();
        open = true;
    }
    web_page_open(width, height);
    last_width = 0;  // a canvas of a new size is blank: the next present draws it whole
    return true;
}

void WebHost::close_window()
{
    open = false;
    last_frame.clear();
    last_width = last_height = 0;
}

void WebHost::set_display_mode(int width, int height, int)
{
    web_page_open(width, height);
    last_width = 0;
}

// ---- display ----

// The 0x00RRGGBB words of the frame conversion, as the RGBA bytes a canvas takes.
static uint32_t rgba_from_xrgb(uint32_t xrgb)
{
    return 0xFF000000u | (xrgb & 0xFF) << 16 | (xrgb & 0xFF00) | (xrgb >> 16 & 0xFF);
}

// Only the rows that changed since the last present are converted (the RGBA picture keeps the rest
// as they were drawn), and only the band from the first to the last of them is handed to the canvas:
// during play about half of the rows are as they were.
void WebHost::present(const HostFrame& frame)
{
    if (!open || frame.width <= 0 || frame.height <= 0)
        return;
    const size_t row = static_cast<size_t>(frame.width) * (frame.bpp / 8);
    const bool same_palette = !frame.palette || std::memcmp(last_palette, frame.palette, sizeof last_palette) == 0;
    const bool same_shape = last_width == frame.width && last_height == frame.height && last_bpp == frame.bpp;
    const bool every_row = !same_shape || !same_palette;
    last_frame.resize(row * frame.height);
    rgba.resize(static_cast<size_t>(frame.width) * frame.height);
    uint32_t lut[256] = {};  // an 8-bit frame without a palette shows black
    if (frame.bpp == 8) {
        // The 8-bit conversion only looks its pixels up: with the table in RGBA it gives RGBA.
        if (frame.palette)
            frame_palette_to_xrgb(frame.palette, lut);
        for (uint32_t& entry : lut)
            entry = rgba_from_xrgb(entry);
    }
    const size_t block_bytes = static_cast<size_t>(FRAME_BLOCK) * (frame.bpp / 8);
    changed_blocks.resize(static_cast<size_t>(frame_blocks(frame.width)));
    HostFrame line = frame;  // one changed row at a time
    line.height = 1;
    int first = frame.height, last = -1;  // the rows that changed
    for (int y = 0; y < frame.height; ++y) {
        line.pixels = frame.pixels + static_cast<size_t>(y) * frame.pitch;
        if (!frame_row_keep(last_frame.data() + y * row, line.pixels, row, block_bytes, changed_blocks.data()) &&
            !every_row)
            continue;
        uint32_t* out = rgba.data() + static_cast<size_t>(y) * frame.width;
        frame_to_xrgb(line, lut, out, frame.width * 4);
        if (frame.bpp != 8)
            for (uint32_t* p = out; p < out + frame.width; ++p)
                *p = rgba_from_xrgb(*p);
        first = std::min(first, y);
        last = y;
    }
    if (last < 0)
        return;  // the canvas shows this picture already
    last_width = frame.width;
    last_height = frame.height;
    last_bpp = frame.bpp;
    if (frame.palette)
        std::memcpy(last_palette, frame.palette, sizeof last_palette);
    web_page_draw(reinterpret_cast<const uint8_t*>(rgba.data()), frame.width, frame.height, first, last - first + 1);
}

// The page's animation frames are the display's refreshes: a hidden page gets none, so the game
// waits here, paused, until it is shown again (and the frame pacer then drops the missed ticks).
void WebHost::wait_refresh()
{
    web_page_refresh();
    last_turn_ms = web_page_now();
}

// ---- events ----

void WebHost::pump_events()
{
    int events[64 * WEB_EVENT_INTS];
    for (;;) {
        const int taken = web_page_events(events, 64);
        for (int i = 0; i < taken; ++i) {
            const int* e = events + i * WEB_EVENT_INTS;
            if (e[0] == WEB_KEY)
                host_key_changed(e[1], e[2] != 0);
            else if (e[0] == WEB_FOCUS)
                host_focus_changed(e[1] != 0);
        }
        if (taken < 64)
            break;
    }
    web_pad_update();
}

void WebHost::show_cursor(bool visible) { web_page_cursor(visible); }

uint32_t WebHost::real_ticks()
{
    static const double start = web_page_now();
    double now = web_page_now();
    if (now - last_turn_ms >= BUSY_TURN_MS) {
        web_page_turn();
        now = last_turn_ms = web_page_now();
    }
    return static_cast<uint32_t>(now - start);
}

void WebHost::real_sleep(uint32_t ms)
{
    const uint32_t start = real_ticks();
    for (;;) {
        pump_events();
        const uint32_t slept = real_ticks() - start;
        if (slept >= ms)
            return;
        web_page_sleep(static_cast<int>(ms - slept < SLEEP_SLICE_MS ? ms - slept : SLEEP_SLICE_MS));
        last_turn_ms = web_page_now();
    }
}

// ---- sound ----

bool WebHost::open_audio(int rate, int channels)
{
    if (channels < 1 || channels > AUDIO_CHANNELS_MAX)
        return false;
    audio_open = web_page_audio_open(rate, channels, audio_buffer, AUDIO_FRAMES);
    return audio_open;
}

void WebHost::close_audio()
{
    audio_open = false;
    web_page_audio_close();
}

void WebHost::music_unavailable(const char* reason)
{
    static bool said = false;
    if (said)
        return;
    said = true;
    web_page_notice((std::string(reason) + "; music is off").c_str());
}
