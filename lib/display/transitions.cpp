// transitions.cpp -- screen transitions that take the picture away inside one call: palette fades
// and washes, closing bars (drawn with the clipped spans of lines.cpp) and a dissolve.
// Each step is paced by the frame clock; nothing is kept between calls.
#include <cstddef>
#include <cstdlib>

#include "display.h"
#include "services.h"

// ---- constants ----
static constexpr uint32_t STEP_PAUSE_MS = 12;  // pause after every step of a paced effect
static constexpr int FADE_BLACK_STEPS = 80;
static constexpr int WASH_STEPS = 64;

// ---- records ----
// How one palette step changes each component: add `delta`, bounded to 0 … 255.
struct PaletteStep {
    int first_entry;
    int steps;
    int red, green, blue;
};

// ---- helpers ----

static void pause_step()
{
    clock_start();
    clock_wait(STEP_PAUSE_MS);
}

static BYTE bounded(int value, int delta)
{
    const int v = value + delta;
    return static_cast<BYTE>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Fade to black: components above 4 lose 3, the rest drop to 0. Entry 0 (the border and the key
// colour) is left as it is.
static BYTE darker(BYTE value) { return value > 4 ? static_cast<BYTE>(value - 3) : 0; }

static void fade_to_black()
{
    PALETTEENTRY work[256];
    for (int step = 0; step < FADE_BLACK_STEPS; ++step) {
        palette_save(work);
        for (int i = 1; i < 256; ++i) {
            work[i].peRed = darker(work[i].peRed);
            work[i].peGreen = darker(work[i].peGreen);
            work[i].peBlue = darker(work[i].peBlue);
        }
        palette_set_all(work);
        pause_step();
    }
}

static void palette_wash(const PaletteStep& how)
{
    PALETTEENTRY work[256];
    for (int step = 0; step < how.steps; ++step) {
        palette_save(work);
        for (int i = how.first_entry; i < 256; ++i) {
            work[i].peRed = bounded(work[i].peRed, how.red);
            work[i].peGreen = bounded(work[i].peGreen, how.green);
            work[i].peBlue = bounded(work[i].peBlue, how.blue);
        }
        palette_set_all(work);
        pause_step();
    }
}

// One row bar of colour 0 across the whole width, in the display's depth (none for other depths).
static void row_bar(int y, uint8_t* buffer, int pitch)
{
    if (screen_bpp == 8)
        hline8(0, screen_width - 1, y, 0, buffer, pitch);
    else if (screen_bpp == 16)
        hline16(0, screen_width - 1, y, 0, reinterpret_cast<uint16_t*>(buffer), pitch);
}

static void column_bar(int x, uint8_t* buffer, int pitch)
{
    if (screen_bpp == 8)
        vline8(0, screen_height - 1, x, 0, buffer, pitch);
    else if (screen_bpp == 16)
        vline16(0, screen_height - 1, x, 0, reinterpret_cast<uint16_t*>(buffer), pitch);
}

// Four bars (rows or columns) closing in from both ends of a run of `extent` lines: the outer pair
// at i, then the pair one further in.
static void bars(void (*bar)(int, uint8_t*, int), int extent, int i, uint8_t* buffer, int pitch)
{
    bar(extent - 1 - i, buffer, pitch);
    bar(i, buffer, pitch);
    bar(extent - 2 - i, buffer, pitch);
    bar(i + 1, buffer, pitch);
}

static void row_bars(int i, uint8_t* buffer, int pitch) { bars(row_bar, screen_height, i, buffer, pitch); }

static void column_bars(int i, uint8_t* buffer, int pitch) { bars(column_bar, screen_width, i, buffer, pitch); }

static void bars_from_sides(uint8_t* buffer, int pitch)
{
    for (int i = 0; i < screen_width / 2; i += 2) {
        pause_step();
        column_bars(i, buffer, pitch);
    }
}

static void bars_from_top_and_bottom(uint8_t* buffer, int pitch)
{
    for (int i = 0; i < screen_height / 2; i += 2) {
        pause_step();
        row_bars(i, buffer, pitch);
    }
}

// Row bars start over from the edges once they have met, while the column bars keep closing.
static void bars_from_all_sides(uint8_t* buffer, int pitch)
{
    const int half_height = screen_height / 2;
    for (int i = 0; i < screen_width / 2; i += 2) {
        pause_step();
        row_bars(half_height > 0 ? i % half_height : 0, buffer, pitch);
        column_bars(i, buffer, pitch);
    }
}

// Random pixels to 0 as fast as they can be written: row first, then column, from the standard
// generator. A few pixels may be missed.
static void dissolve(uint8_t* buffer, int pitch)
{
    const int w = screen_width, h = screen_height;
    if (w <= 0 || h <= 0)
        return;
    const long long count = static_cast<long long>(w) * h * 4 + 1;
    for (long long n = 0; n < count; ++n) {
        const int y = std::rand() % h;
        const int x = std::rand() % w;
        if (screen_bpp == 8)
            plot_pixel8(x, y, 0, buffer, pitch);
        else if (screen_bpp == 16)
            plot_pixel16(x, y, 0, reinterpret_cast<uint16_t*>(buffer), pitch);
    }
}

// ---- public operations ----

void screen_transition(int effect, uint8_t* buffer, int pitch)
{
    switch (effect) {
    case TRANSITION_FADE_BLACK: fade_to_black(); return;
    case TRANSITION_FADE_WHITE: palette_wash({0, WASH_STEPS, 4, 4, 4}); return;
    case TRANSITION_WASH_BLUE: palette_wash({0, WASH_STEPS, -4, -4, 6}); return;
    case TRANSITION_WASH_RED: palette_wash({0, WASH_STEPS, 6, -4, -4}); return;
    case TRANSITION_WASH_GREEN: palette_wash({0, WASH_STEPS, -4, 6, -4}); return;
    default: break;
    }
    // The pixel effects paint into the caller's locked memory; without it there is nothing to do.
    if (!buffer)
        return;
    switch (effect) {
    case TRANSITION_BARS_SIDES: bars_from_sides(buffer, pitch); return;
    case TRANSITION_BARS_TOP_BOTTOM: bars_from_top_and_bottom(buffer, pitch); return;
    case TRANSITION_DISSOLVE: dissolve(buffer, pitch); return;
    case TRANSITION_BARS_ALL: bars_from_all_sides(buffer, pitch); return;
    default: return;  // outside 0 … 8: nothing
    }
}
