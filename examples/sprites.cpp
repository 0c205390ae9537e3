// sprites.cpp -- sprites: a rock turning through the sixteen cells of its sheet, copied into a pool
// of three that wrap around the screen; the UFO bouncing off the screen's edges; an explosion sheet
// played as a one-shot animation and drawn stretched where a rock meets the UFO; a landing zone that
// lights while a rock's box overlaps it; and a colour scan that lights a sensor bar whenever rock
// colours pass over it. Sprites live on off-screen surfaces and are blitted with their key colour.
// Files: rocks.bmp (4 × 4 cells of 96 × 96), ufo.bmp (one 80 × 55 cell) and explosion.bmp (6 × 3
// cells of 42 × 36, 14 used), all with one-pixel borders and one palette; run it in their folder.
#include <cstdio>

#include "display.h"
#include "skeleton.h"
#include "sprites.h"

// ---- constants ----
static constexpr int ROCK_SIZE = 96, ROCK_FRAMES = 16, ROCK_COLUMNS = 4;
static constexpr int UFO_W = 80, UFO_H = 55;
static constexpr int BOOM_W = 42, BOOM_H = 36, BOOM_FRAMES = 14, BOOM_COLUMNS = 6;
static constexpr int ROCK_FIRST = 48, ROCK_LAST = 79;  // the rock's colours in the files' palette
static constexpr int LIT = 10, DARK = 5;               // a yellow and a grey of that palette
static constexpr RECT SENSOR = {300, 440, 340, 450};   // the colour scan's bar
static constexpr RECT ZONE = {40, 420, 200, 450};      // the landing zone
static constexpr int POOL = 3;

// ---- globals ----
static BitmapFile file;
static Sprite rocks[POOL], ufo, boom;

// ---- helpers ----

// Frame i of a sprite from cell (i % columns, i / columns) of the sheet in `file` (mode 0: cells).
static int load_cells(Sprite* sprite, int frames, int columns)
{
    for (int i = 0; i < frames; ++i)
        if (!sprite_load_frame(sprite, &file, i, i % columns, i / columns, 0))
            return 0;
    return 1;
}

static int set_up()
{
    const DWORD memory = DDSCAPS_SYSTEMMEMORY;  // where the frame surfaces live
    const int key = 0;                          // palette entry 0 is left out when a sprite is drawn
    if (!sprite_create(&rocks[0], 0, 120, ROCK_SIZE, ROCK_SIZE, ROCK_FRAMES,
                       SPRITE_ATTR_VISIBLE | SPRITE_ATTR_MULTI_FRAME | SPRITE_ATTR_WRAPAROUND, memory, key, 8) ||
        !sprite_create(&ufo, 300, 40, UFO_W, UFO_H, 1, SPRITE_ATTR_VISIBLE | SPRITE_ATTR_SINGLE_FRAME | SPRITE_ATTR_BOUNCE,
                       memory, key, 8) ||
        !sprite_create(&boom, 0, 0, BOOM_W, BOOM_H, BOOM_FRAMES, SPRITE_ATTR_MULTI_ANIM | SPRITE_ATTR_ANIM_ONE_SHOT,
                       memory, key, 8))
        return 0;
    if (!bitmap_load(&file, "rocks.bmp") || !load_cells(&rocks[0], ROCK_FRAMES, ROCK_COLUMNS) ||
        !palette_set_all(file.palette) || !bitmap_load(&file, "ufo.bmp") || !load_cells(&ufo, 1, 1) ||
        !bitmap_load(&file, "explosion.bmp") || !load_cells(&boom, BOOM_FRAMES, BOOM_COLUMNS))
        return 0;
    // The explosion's one animation: every frame once, forwards, two calls a step.
    int32_t once[BOOM_FRAMES];
    for (int i = 0; i < BOOM_FRAMES; ++i)
        once[i] = i;
    sprite_set_anim_delay(&boom, 2);
    sprite_set_anim_delay(&rocks[0], 3);
    sprite_set_velocity(&ufo, -4, 3);
    // The pool: byte copies sharing the first rock's surfaces, each with a place and speed of its own.
    for (int i = 1; i < POOL; ++i) {
        sprite_copy(&rocks[0], &rocks[i]);
        sprite_set_position(&rocks[i], 200 * i, 120 + 110 * i);
        rocks[i].frame = i * 5;
    }
    for (int i = 0; i < POOL; ++i)
        sprite_set_velocity(&rocks[i], 2 + i, i - 1);
    return sprite_load_animation(&boom, 0, BOOM_FRAMES, once);
}

// A rock meeting the UFO sets the explosion off at the UFO's middle, unless one is still playing.
static void collide()
{
    for (const Sprite& rock : rocks) {
        if (!sprite_collide(&rock, &ufo) || (boom.attr & SPRITE_ATTR_VISIBLE))
            continue;
        sprite_set_position(&boom, static_cast<int>(ufo.pos_x) - 20, static_cast<int>(ufo.pos_y) - 20);
        sprite_set_animation(&boom, 0);
        boom.anim_state = 0;
        sprite_show(&boom);
    }
}

// Whether any rock's box overlaps the landing zone.
static bool zone_touched()
{
    for (const Sprite& r : rocks)
        if (rects_collide(static_cast<int>(r.pos_x), static_cast<int>(r.pos_y), r.width, r.height, ZONE.left, ZONE.top,
                          ZONE.right - ZONE.left, ZONE.bottom - ZONE.top))
            return true;
    return false;
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the display, then the sprites from their pictures.
    if (!example_open_window(instance, "Vorlash example: sprites") || !display_init(SCREEN_W, SCREEN_H, 8, 0) ||
        !set_up()) {
        sprite_destroy(&boom), sprite_destroy(&ufo), sprite_destroy(&rocks[0]);
        bitmap_unload(&file);
        display_shutdown();
        return 1;
    }
    bitmap_unload(&file);  // the sprites hold their frames on their own surfaces

    // Loop: animate and move, test, draw, scan, flip.
    while (example_running()) {
        for (Sprite& rock : rocks)
            sprite_animate(&rock), sprite_move(&rock);
        sprite_move(&ufo);
        collide();
        if (sprite_animate(&boom) && boom.anim_state == 1)  // a one-shot animation has reached its end
            sprite_hide(&boom);
        surface_fill(back_surface, 0, nullptr);
        rect_fill(ZONE.left, ZONE.top, ZONE.right, ZONE.bottom, zone_touched() ? LIT : DARK, back_surface);
        for (Sprite& rock : rocks)
            sprite_draw(&rock, back_surface);
        sprite_draw(&ufo, back_surface);
        sprite_draw_scaled(&boom, boom.width * 3, boom.height * 3, back_surface);  // stretched three times
        int seen = 0;
        if (uint8_t* bits = back_lock()) {  // is any rock colour in the column of screen above the bar?
            seen = color_scan8(SENSOR.left, 0, SENSOR.right, SENSOR.top - 1, ROCK_FIRST, ROCK_LAST, bits, back_pitch);
            back_unlock();
        }
        rect_fill(SENSOR.left, SENSOR.top, SENSOR.right, SENSOR.bottom, seen ? LIT : DARK, back_surface);
        text_draw(seen ? "rock over the sensor" : "sensor clear", 350, 436, RGB(255, 255, 255), back_surface);
        text_draw("landing zone", ZONE.left, ZONE.top - 20, RGB(255, 255, 255), back_surface);
        display_flip();
    }

    // Take down: each sprite gives its surfaces back (the copies only forget theirs), then the display.
    for (Sprite& rock : rocks)
        sprite_destroy(&rock);
    sprite_destroy(&ufo), sprite_destroy(&boom);
    display_shutdown();
    return example_exit_code();
}
