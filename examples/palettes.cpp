// palettes.cpp -- palettes: a palette made in code, written to a palette file and read back from it;
// colour cycling, where palette_rotate moves a ramp of entries one step and every pixel of those
// entries changes colour without being drawn again; lights that blink on their own clocks, one of
// them changed and one deleted while the program runs; single entries read and set. R puts back the
// palette as it was at the start. It writes palettes-example.pal in the folder it runs in.
#include <cmath>
#include <cstdio>

#include "display.h"
#include "input.h"
#include "skeleton.h"

// ---- constants ----
static constexpr const char* PALETTE_FILE = "palettes-example.pal";
static constexpr int WHITE = 1, GREY = 2;
static constexpr int RAINBOW_FIRST = 16, RAINBOW_LAST = 79;  // 64 entries around the colour wheel
static constexpr int WATER_FIRST = 80, WATER_LAST = 95;      // 16 blues, dark to light and back
static constexpr int LIGHT_FIRST = 200, LIGHTS = 4;          // entries 200 … 203 blink

// ---- globals ----
static PALETTEENTRY original[256];  // the palette in force after set-up, for R
static int light_slots[LIGHTS];     // the blink table's slot of each light

// ---- helpers ----

static PALETTEENTRY colour(float r, float g, float b)
{
    return {static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b), PC_NOCOLLAPSE};
}

// The palette this program uses, made in code: black, white, grey, a rainbow, a water ramp, and the
// lights dark (blinking changes the display's colours, not these).
static void make_palette(PALETTEENTRY made[256])
{
    for (int i = 0; i < 256; ++i)
        made[i] = colour(0, 0, 0);
    made[WHITE] = colour(255, 255, 255);
    made[GREY] = colour(90, 90, 100);
    for (int i = RAINBOW_FIRST; i <= RAINBOW_LAST; ++i) {
        const float a = 6.2831853f * static_cast<float>(i - RAINBOW_FIRST) / (RAINBOW_LAST - RAINBOW_FIRST + 1);
        made[i] = colour(128 + 127 * std::cos(a), 128 + 127 * std::cos(a - 2.094f), 128 + 127 * std::cos(a + 2.094f));
    }
    for (int i = WATER_FIRST; i <= WATER_LAST; ++i) {
        const float t = std::sin(3.14159f * static_cast<float>(i - WATER_FIRST) / (WATER_LAST - WATER_FIRST + 1));
        made[i] = colour(20 + 60 * t, 60 + 120 * t, 140 + 115 * t);
    }
    for (int i = LIGHT_FIRST; i < LIGHT_FIRST + LIGHTS; ++i)
        made[i] = colour(40, 40, 40);
}

// Written to a file and read back: the file holds "red green blue flags" for each entry.
static int write_and_read(const PALETTEENTRY made[256], PALETTEENTRY loaded[256])
{
    if (!palette_file_save(PALETTE_FILE, made) || !palette_file_load(PALETTE_FILE, loaded))
        return 0;
    int same = 0;
    for (int i = 0; i < 256; ++i)
        same += loaded[i].peRed == made[i].peRed && loaded[i].peGreen == made[i].peGreen &&
                loaded[i].peBlue == made[i].peBlue;
    return same;
}

// Four lights, each switching between a colour and a fifth of it on its own clock.
static void add_lights()
{
    const PALETTEENTRY on[LIGHTS] = {colour(255, 60, 60), colour(255, 214, 64), colour(80, 255, 120),
                                     colour(90, 160, 255)};
    const int frames[LIGHTS] = {8, 20, 30, 45};
    for (int i = 0; i < LIGHTS; ++i) {
        BlinkEntry light = {LIGHT_FIRST + i, on[i], colour(on[i].peRed / 5.0f, on[i].peGreen / 5.0f, on[i].peBlue / 5.0f),
                            frames[i], frames[i], 0, 0};
        light_slots[i] = palette_blink(PALETTE_BLINK_ADD, &light, 0);
    }
}

// At frame 120 the first light turns white and quick; at 180 the last stops blinking and is set grey.
static void change_lights(int frame)
{
    if (frame == 120) {
        BlinkEntry quick = {LIGHT_FIRST, colour(255, 255, 255), colour(60, 60, 60), 4, 4, 0, 0};
        palette_blink(PALETTE_BLINK_CHANGE, &quick, light_slots[0]);
    }
    if (frame == 180 && palette_blink(PALETTE_BLINK_DELETE, nullptr, light_slots[LIGHTS - 1]) >= 0) {
        const PALETTEENTRY grey = colour(90, 90, 100);
        palette_set_entry(LIGHT_FIRST + LIGHTS - 1, &grey);
    }
}

// Nested frames in the rainbow's entries, and stripes in the water's: drawn the same every frame.
static void draw(int same)
{
    surface_fill(back_surface, 0, nullptr);
    for (int i = 0; i < 32; ++i)  // the tunnel: each ring one rainbow entry further on
        rect_fill(20 + i * 4, 40 + i * 3, 300 - i * 4, 250 - i * 3, RAINBOW_FIRST + i * 2, back_surface);
    for (int i = 0; i < 48; ++i)  // the water: a stripe a row pair
        rect_fill(330, 40 + i * 4, 620, 44 + i * 4, WATER_FIRST + i % (WATER_LAST - WATER_FIRST + 1), back_surface);
    for (int i = 0; i < LIGHTS; ++i)
        rect_fill(40 + i * 70, 290, 90 + i * 70, 340, LIGHT_FIRST + i, back_surface);
    for (int i = 0; i < 256; ++i)  // every entry, as the display now holds it
        rect_fill(430 + i % 16 * 12, 270 + i / 16 * 6, 441 + i % 16 * 12, 275 + i / 16 * 6, i, back_surface);

    char line[96];
    std::snprintf(line, sizeof line, "%s written and read back: %d of 256 entries equal", PALETTE_FILE, same);
    text_draw(line, 20, 10, RGB(255, 255, 255), back_surface);
    PALETTEENTRY e;
    palette_get_entry(RAINBOW_FIRST, &e);  // entry 16 as rotation has left it, in its own colour
    std::snprintf(line, sizeof line, "entry %d is now %d %d %d", RAINBOW_FIRST, e.peRed, e.peGreen, e.peBlue);
    text_draw_indexed(line, 20, 380, RAINBOW_FIRST, back_surface);
    text_draw("lights: blinking, the first changed at frame 120, the last deleted at 180", 20, 406,
              RGB(255, 255, 255), back_surface);
    text_draw("R: the palette as it was at the start   ESC: end", 20, 440, RGB(128, 128, 136), back_surface);
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the display and the keyboard; the palette made, written, read back and put in force;
    // the lights.
    if (!example_open_window(instance, "Vorlash example: palettes") || !display_init(SCREEN_W, SCREEN_H, 8, 0) ||
        !input_init() || !keyboard_init()) {
        keyboard_release(), input_shutdown();
        display_shutdown();
        return 1;
    }
    PALETTEENTRY made[256], loaded[256] = {};
    make_palette(made);
    const int same = write_and_read(made, loaded);
    palette_set_all(same ? loaded : made);  // without a writable folder, the palette from memory
    palette_save(original);                 // a copy of the palette in force
    add_lights();

    // Loop: draw, then the palette's turn: rotate the ramps, run the blink clocks, flip.
    for (int frame = 0; example_running(); ++frame) {
        draw(same);
        palette_rotate(RAINBOW_FIRST, RAINBOW_LAST);  // each colour one entry up, the last to the first
        if (frame % 3 == 0)
            palette_rotate(WATER_FIRST, WATER_LAST);
        change_lights(frame);
        palette_blink(PALETTE_BLINK_RUN, nullptr, 0);
        keyboard_read();
        if (keyboard_state[DIK_R] & 0x80)
            palette_set_all(original);  // the lights too show their colours from it until they next switch
        display_flip();
    }

    // Take down: the blinking lights leave the table; the keyboard, then the display go.
    for (int slot : light_slots)
        palette_blink(PALETTE_BLINK_DELETE, nullptr, slot);
    keyboard_release(), input_shutdown();
    display_shutdown();
    return example_exit_code();
}
