// text.cpp -- text: lines written through the back surface's device context in any colour
// (text_draw) or in a palette entry's colour (text_draw_indexed), a counter formatted each frame, and
// a line sliding across the screen. Text goes onto the unlocked surface: a locked one lends no
// device context, so software drawing comes first and text after the unlock.
#include <cstdio>

#include "asset_contract.h"
#include "display.h"
#include "skeleton.h"

// ---- helpers ----

// Each ramp of the game palette as a strip of its entries, named in its brightest entry's colour.
static void draw_ramps(int top)
{
    int y = top;
    for (const PaletteRamp& r : PALETTE_RAMPS) {
        for (int i = 0; i < r.count; ++i)
            rect_fill(200 + i * 12, y, 211 + i * 12, y + 14, r.first + i, back_surface);
        text_draw_indexed(r.name, 40, y, r.first + r.count - 1, back_surface);
        y += 17;
    }
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the display reads its first palette from PALDATA2.PAL in the working folder.
    if (!example_open_window(instance, "Vorlash example: text") || !display_init(SCREEN_W, SCREEN_H, 8, 0)) {
        display_shutdown();
        return 1;
    }

    // Loop: clear, draw, write, flip.
    for (int frame = 0; example_running(); ++frame) {
        surface_fill(back_surface, 0, nullptr);
        text_draw("Text through the surface's device context", 40, 20, RGB(255, 255, 255), back_surface);
        text_draw("any colour by value: RGB(96, 255, 120)", 40, 44, RGB(96, 255, 120), back_surface);
        text_draw_indexed("or by palette entry: 12, the game's red", 40, 68, PALETTE_TEXT_RED, back_surface);
        draw_ramps(96);

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
