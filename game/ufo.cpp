// ufo.cpp -- the UFO, a single bonus target crossing right to left at 8 pixels a frame: set-up,
// launch at even levels, the one re-entry on level 1 after a restart, and the UFO-gunship hit.
#include "game.h"

// ---- constants ----
static constexpr int UFO_WIDTH = 80;
static constexpr int UFO_HEIGHT = 55;
static constexpr uint32_t UFO_ATTR = SPRITE_ATTR_VISIBLE | SPRITE_ATTR_MULTI_FRAME;
static constexpr uint32_t SYSTEM_MEMORY = 0x800;  // DDSCAPS_SYSTEMMEMORY
static constexpr int UFO_SPEED = 8;
static constexpr int ENTRY_X = 640;

// ---- helpers ----

static void ship_hit()
{
    const int height = random_next() % 10 + 54;
    const int width = random_next() % 12 + 68;
    explosion_start(entity_x(ufo), entity_y(ufo), width, height, static_cast<int>(ufo.vel_x * 0.5),
                    static_cast<int>(ufo.vel_y * 0.5), EXPLOSION_AT_SHIP);
    --lives;
    frame_timer = 0;
    respawn_pending = 1;
    ship.state = 0;
}

// ---- public operations ----

int ufo_init()
{
    if (!picture_load("UFO.BMP", UFO_WIDTH + 1, UFO_HEIGHT + 1))
        return 0;
    const int made = sprite_create(&ufo, 0, 0, UFO_WIDTH, UFO_HEIGHT, 1, UFO_ATTR, SYSTEM_MEMORY, 0, 8) &&
                     sprite_load_frame(&ufo, &bitmap, 0, 0, 0, 0);
    if (made) {
        entity_x(ufo) = ENTRY_X;
        entity_y(ufo) = random_next() % 441;
        ufo.state = 1;
    }
    bitmap_unload(&bitmap);
    if (!made)
        startup_failure("cannot make the UFO's sprite from UFO.BMP");
    return made;
}

void ufo_launch()
{
    entity_x(ufo) = ENTRY_X;
    entity_y(ufo) = random_next() % 451;
    ufo_rerun_done = 0;
    ufo.state = 1;
}

void ufo_move()
{
    entity_x(ufo) -= UFO_SPEED;
    if (entity_x(ufo) < UFO_AWAY_LIMIT)
        entity_x(ufo) = UFO_AWAY_LIMIT;
    // A UFO shot down re-enters unseen: its state is left as it is.
    if (entity_x(ufo) < 0 && ufo_rerun_done == 0 && level == 1) {
        entity_x(ufo) = ENTRY_X;
        entity_y(ufo) = random_next() % 451;
        ufo_rerun_done = 1;
    }
    const HitBox s = ship_hit_box(), u = ufo_hit_box();
    if (rects_collide(s.x, s.y, s.width, s.height, u.x, u.y, u.width, u.height) && ship.state == 1 && ufo.state == 1)
        ship_hit();
}

void ufo_draw()
{
    if (ufo.state != 1)
        return;
    ufo.pos_x = static_cast<float>(entity_x(ufo));
    ufo.pos_y = static_cast<float>(entity_y(ufo));
    sprite_draw(&ufo, back_surface);
}

HitBox ufo_hit_box()
{
    return {static_cast<int>(ufo.int_vars[VAR_X] - 0.2 * ufo.width),
            static_cast<int>(ufo.int_vars[VAR_Y] + 0.2 * ufo.height), ufo.width - 20, ufo.height - 20};
}

HitBox ufo_bolt_hit_box()
{
    return {static_cast<int>(ufo.int_vars[VAR_X] - 0.5 * ufo.width),
            static_cast<int>(ufo.int_vars[VAR_Y] + 0.5 * ufo.height), ufo.width, ufo.height};
}
