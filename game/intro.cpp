// intro.cpp -- the three intro pictures shown before the game loads: each written straight into
// the visible primary, held for its time with a plain sleep, then faded to black. No key is read.
#include <cstdio>
#include <cstring>

#include "game.h"

// ---- constants ----
static constexpr int SCREEN_W = SCREEN_PICTURE_WIDTH;
static constexpr int SCREEN_H = SCREEN_PICTURE_HEIGHT;

// ---- helpers ----

// Screens 2 and 3 have pictures of their own; any other number shows the first.
static const char* intro_file(int screen) { return INTRO_FILES[screen >= 2 && screen <= INTRO_COUNT ? screen - 1 : 0]; }

static DWORD intro_hold_ms(int screen) { return screen == 2 ? 10000 : 5000; }

static void screens_clear()
{
    surface_fill(back_surface, 0, nullptr);
    surface_fill(primary_surface, 0, nullptr);
}

// ---- public operations ----

int copy_screen8(const uint8_t* source, uint8_t* destination, int destination_pitch, int transparent)
{
    if (!source || !destination)
        return 1;
    for (int y = 0; y < SCREEN_H; ++y) {
        const uint8_t* from = source + static_cast<size_t>(y) * SCREEN_W;
        uint8_t* to = destination + static_cast<ptrdiff_t>(y) * destination_pitch;
        if (!transparent) {
            std::memcpy(to, from, SCREEN_W);
            continue;
        }
        for (int x = 0; x < SCREEN_W; ++x)
            if (from[x] != 0)
                to[x] = from[x];
    }
    return 1;
}

int show_intro_screen(int screen)
{
    screens_clear();
    // The rows are copied 640 bytes apart, so the picture must be exactly 640 wide.
    if (!picture_load(intro_file(screen), SCREEN_W, SCREEN_H))
        return 0;
    if (bitmap.info_header.biWidth != SCREEN_W) {
        char line[160];
        std::snprintf(line, sizeof line, "cannot use the intro picture %s: it is %d pixels wide, not 640",
                      intro_file(screen), static_cast<int>(bitmap.info_header.biWidth));
        bitmap_unload(&bitmap);
        startup_failure(line);
        return 0;
    }
    palette_set_all(bitmap.palette);
    primary_lock();
    copy_screen8(bitmap.pixels, primary_buffer, primary_pitch, 0);
    primary_unlock();
    bitmap_unload(&bitmap);
    Sleep(intro_hold_ms(screen));
    screen_transition(TRANSITION_FADE_BLACK, nullptr, 0);
    screens_clear();
    return 1;
}
