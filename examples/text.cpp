// text.cpp -- text: lines written through the back surface's device context in any colour
// (text_draw) or in a palette entry's colour (text_draw_indexed), a counter formatted each frame, and
// a line sliding across the screen. Text goes onto the unlocked surface: a locked one lends no
// device context, so software drawing comes first and text after the unlock.
#include <cstdio>

#include "display.h"
#include "skeleton.h"

// ---- constants ----
static constexpr int RAMP_FIRST = 16, RAMP_COUNT = 32;  // entries 16 … 47: a ramp of colours made here

// ---- helpers ----

// A palette made in code: black, then a few plain colours at 1 … 6, then a ramp from deep blue
// through violet to gold. text_draw's colours are matched to the nearest entry.
static void set_palette()
{
    PALETTEENTRY colours[256] = {};
    const PALETTEENTRY plain[] = {{255, 255, 255, 0}, {128, 128, 136, 0}, {255, 64, 64, 0},
                                  {96, 255, 120, 0},  {110, 170, 255, 0}, {255, 214, 64, 0}};
    for (int i = 0; i < 6; ++i)
        colours[1 + i] = plain[i];
    for (int i = 0; i < RAMP_COUNT; ++i) {
        const int t = i * 255 / (RAMP_COUNT - 1);
        colours[RAMP_FIRST + i] = {static_cast<BYTE>(40 + t * 215 / 255), static_cast<BYTE>(t * t / 300),
                                   static_cast<BYTE>(200 - t * 160 / 255), 0};
    }
    palette_set_all(colours);
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the window, the display and its palette.
    if (!example_open_window(instance, "Vorlash example: text") || !display_init(SCREEN_W, SCREEN_H, 8, 0)) {
        display_shutdown();
        return 1;
    }
    set_palette();

    // Loop: clear, draw, write, flip.
    for (int frame = 0; example_running(); ++frame) {
        surface_fill(back_surface, 0, nullptr);
        text_draw("Text through the surface's device context", 40, 20, RGB(255, 255, 255), back_surface);
        text_draw("any colour by value: RGB(96, 255, 120)", 40, 44, RGB(96, 255, 120), back_surface);
        text_draw_indexed("or by palette entry: 3, a red", 40, 68, 3, back_surface);
        // The ramp: a strip of its entries, and a word in each fourth entry's colour.
        for (int i = 0; i < RAMP_COUNT; ++i)
            rect_fill(40 + i * 17, 110, 56 + i * 17, 130, RAMP_FIRST + i, back_surface);
        for (int i = 0; i < RAMP_COUNT; i += 4) {
            char word[16];
            std::snprintf(word, sizeof word, "entry %d", RAMP_FIRST + i);
            text_draw_indexed(word, 40 + (i / 4) * 70, 140 + (i / 4 % 2) * 20, RAMP_FIRST + i, back_surface);
        }

        char line[80];
        std::snprintf(line, sizeof line, "frame %d, %d seconds at 60 frames a second", frame, frame / 60);
        text_draw(line, 40, 350, RGB(110, 170, 255), back_surface);
        const int x = SCREEN_W - (frame * 3) % (SCREEN_W + 400);  // slides in from the right, out at the left
        text_draw("text may start off the screen: it is clipped, never refused", x, 390, RGB(255, 214, 64),
                  back_surface);
        text_draw("ESC ends the example", 40, 440, RGB(128, 128, 136), back_surface);
        display_flip();
    }

    // Take down.
    display_shutdown();
    return example_exit_code();
}
