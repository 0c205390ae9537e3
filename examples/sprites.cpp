// sprites.cpp -- sprites: a rock turning through sixteen frames (one file each) that wraps around
// the screen, the UFO bouncing off its edges, an explosion sheet played as a one-shot animation and
// drawn stretched where the two collide, and a colour scan that lights a sensor bar whenever rock
// colours pass under it. Sprites live on off-screen surfaces and are blitted with their key colour.
#include <cstdio>

#include "asset_contract.h"
#include "display.h"
#include "skeleton.h"
#include "sprites.h"

// ---- constants ----
static constexpr int ROCK_FIRST = 48, ROCK_LAST = 79;  // the game palette's rock ramp
static constexpr RECT SENSOR = {300, 440, 340, 450};    // the colour scan's rectangle

// ---- globals ----
static BitmapFile file;
static Sprite rock, ufo, boom;

// ---- helpers ----

// Frame i of the rock from its own file, ROCKL0000.BMP and on (mode 1: the file's top-left corner).
static int load_rock()
{
    for (int i = 0; i < ROCK_FRAMES; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%04d.%s", ROCK_FILE_BASE, i, ROCK_FILE_EXTENSION);
        if (!bitmap_load(&file, name) || !sprite_load_frame(&rock, &file, i, 0, 0, 1))
            return 0;
    }
    return palette_set_all(file.palette);
}

// The explosion: the cells of its sheet, played once forwards by animation 0.
static int load_explosion()
{
    const SheetLayout& sheet = EXPLOSION_SHEET;
    int32_t once[SPRITE_MAX_FRAMES];
    if (!bitmap_load(&file, sheet.file))
        return 0;
    for (int i = 0; i < sheet.frames; ++i) {
        once[i] = i;
        if (!sprite_load_frame(&boom, &file, i, i % sheet.columns, i / sheet.columns, 0))
            return 0;
    }
    sprite_set_anim_delay(&boom, 2);
    return sprite_load_animation(&boom, 0, sheet.frames, once);
}

static int set_up()
{
    const DWORD memory = DDSCAPS_SYSTEMMEMORY;
    return sprite_create(&rock, 0, 150, ROCK_SIZE, ROCK_SIZE, ROCK_FRAMES,
                         SPRITE_ATTR_VISIBLE | SPRITE_ATTR_MULTI_FRAME | SPRITE_ATTR_WRAPAROUND, memory, 0, 8) &&
           sprite_create(&ufo, 300, 40, UFO_SHEET.cell_width, UFO_SHEET.cell_height, 1, SPRITE_ATTR_VISIBLE | SPRITE_ATTR_SINGLE_FRAME |
                         SPRITE_ATTR_BOUNCE, memory, 0, 8) &&
           sprite_create(&boom, 0, 0, EXPLOSION_SHEET.cell_width, EXPLOSION_SHEET.cell_height, EXPLOSION_SHEET.frames, SPRITE_ATTR_MULTI_ANIM | SPRITE_ATTR_ANIM_ONE_SHOT,
                         memory, 0, 8) &&
           bitmap_load(&file, UFO_SHEET.file) && sprite_load_frame(&ufo, &file, 0, 0, 0, 0) && load_explosion() &&
           load_rock() && sprite_set_velocity(&rock, 3, 1) && sprite_set_velocity(&ufo, -4, 3) &&
           sprite_set_anim_delay(&rock, 3);
}

// A collision sets the explosion off at the middle of the UFO, unless one is still playing.
static void collide()
{
    if (!sprite_collide(&rock, &ufo) || (boom.attr & SPRITE_ATTR_VISIBLE))
        return;
    sprite_set_position(&boom, static_cast<int>(ufo.pos_x) - 20, static_cast<int>(ufo.pos_y) - 20);
    sprite_set_animation(&boom, 0);
    boom.anim_state = 0;
    sprite_show(&boom);
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the display, then the three sprites from their pictures.
    if (!example_open_window(instance, "Vorlash example: sprites") || !display_init(SCREEN_W, SCREEN_H, 8, 0) ||
        !set_up()) {
        sprite_destroy(&boom), sprite_destroy(&ufo), sprite_destroy(&rock);
        display_shutdown();
        return 1;
    }
    bitmap_unload(&file);

    // Loop: animate and move, test, draw, scan, flip.
    while (example_running()) {
        sprite_animate(&rock), sprite_move(&rock);
        sprite_move(&ufo);
        collide();
        if (sprite_animate(&boom) && boom.anim_state == 1)
            sprite_hide(&boom);
        surface_fill(back_surface, 0, nullptr);
        sprite_draw(&rock, back_surface);
        sprite_draw(&ufo, back_surface);
        sprite_draw_scaled(&boom, boom.width * 3, boom.height * 3, back_surface);  // stretched three times
        int seen = 0;
        if (uint8_t* bits = back_lock()) {  // is any rock colour in the sensor's column of screen?
            seen = color_scan8(SENSOR.left, 0, SENSOR.right, SENSOR.top - 1, ROCK_FIRST, ROCK_LAST, bits, back_pitch);
            back_unlock();
        }
        rect_fill(SENSOR.left, SENSOR.top, SENSOR.right, SENSOR.bottom, seen ? 10 : 5, back_surface);
        text_draw(seen ? "rock over the sensor" : "sensor clear", 350, 436, RGB(255, 255, 255), back_surface);
        display_flip();
    }

    // Take down: each sprite gives its surfaces back, then the display goes.
    sprite_destroy(&boom), sprite_destroy(&ufo), sprite_destroy(&rock);
    display_shutdown();
    return example_exit_code();
}
