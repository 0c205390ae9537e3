// first.cpp -- a first program: a window, a line of text, a square bouncing about the screen and a
// beep each time it meets an edge. It needs no file at all: its colours are set in code, and its
// sound is a WAV file made in memory and loaded from there.
#include <cmath>
#include <cstdint>
#include <vector>

#include "audio.h"
#include "display.h"
#include "skeleton.h"

// ---- constants ----
// An 8-bit display shows 256 colours from a palette; a pixel holds an entry's index. These three
// entries are the only ones this program sets (the rest stay black).
enum { BLACK, WHITE, ORANGE };  // WHITE is for the text, which GDI draws in the nearest entry
static constexpr int SIDE = 48;        // the square's side in pixels
static constexpr int SAMPLE_RATE = 11025;

// ---- helpers ----

// A whole WAV file in memory: a RIFF header, a format chunk (8-bit mono PCM) and the samples of a
// tone of `hertz` that fades out over `ms` milliseconds. 8-bit samples are unsigned: 128 is silence.
static std::vector<uint8_t> make_beep(float hertz, int ms)
{
    const uint32_t count = SAMPLE_RATE * ms / 1000;
    std::vector<uint8_t> wav;
    auto text = [&](const char* four) { wav.insert(wav.end(), four, four + 4); };
    auto number = [&](uint32_t value, int bytes) {  // little-endian, as every RIFF number is
        for (int i = 0; i < bytes; ++i)
            wav.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    text("RIFF"), number(4 + 24 + 8 + count + count % 2, 4), text("WAVE");
    text("fmt "), number(16, 4);
    number(1, 2), number(1, 2);                      // PCM, one channel
    number(SAMPLE_RATE, 4), number(SAMPLE_RATE, 4);  // frames and bytes a second
    number(1, 2), number(8, 2);                      // one byte a frame, eight bits a sample
    text("data"), number(count, 4);
    for (uint32_t i = 0; i < count; ++i) {
        const float fade = 1.0f - static_cast<float>(i) / static_cast<float>(count);
        const float wave = std::sin(6.2831853f * hertz * static_cast<float>(i) / SAMPLE_RATE);
        wav.push_back(static_cast<uint8_t>(128 + 100 * fade * wave));
    }
    if (count % 2)
        wav.push_back(128);  // a chunk of odd length is padded to an even one
    return wav;
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the window, then the display: full screen, 640 × 480, 8 bits a pixel.
    if (!example_open_window(instance, "Vorlash example: a first program") ||
        !display_init(SCREEN_W, SCREEN_H, 8, 0)) {
        display_shutdown();
        return 1;
    }
    const PALETTEENTRY colours[] = {{0, 0, 0, PC_NOCOLLAPSE}, {255, 255, 255, PC_NOCOLLAPSE},
                                    {255, 140, 0, PC_NOCOLLAPSE}};
    for (int i = BLACK; i <= ORANGE; ++i)
        palette_set_entry(i, &colours[i]);
    // Sound is optional: without a sound device sound_init fails, beep stays -1, and playing -1
    // does nothing, so the program goes on in silence.
    const std::vector<uint8_t> wav = make_beep(880.0f, 120);
    const int beep = sound_init() ? sound_load_wav_memory(wav.data(), wav.size(), 0) : -1;

    // Loop: move, clear, draw, write, flip. display_flip waits for the display's next refresh (60 a
    // second), so speeds are in pixels a frame.
    int x = 480, y = 60, dx = 4, dy = 3;
    for (int frame = 0; example_running(); ++frame) {
        x += dx, y += dy;
        if (x < 0 || x + SIDE > SCREEN_W)
            dx = -dx, x += 2 * dx, sound_play(beep, 0);
        if (y < 0 || y + SIDE > SCREEN_H)
            dy = -dy, y += 2 * dy, sound_play(beep, 0);

        surface_fill(back_surface, BLACK, nullptr);
        rect_fill(x, y, x + SIDE, y + SIDE, ORANGE, back_surface);  // right and bottom edges excluded
        text_draw("Hello from Vorlash: ESC ends the program", 20, 20, RGB(255, 255, 255), back_surface);
        display_flip();
    }

    // Take down, in the reverse order of the set-up.
    sound_shutdown();
    display_shutdown();
    return example_exit_code();
}
