// ufo.cpp -- the UFO, a single bonus target crossing right to left at 8 pixels a frame: set-up,
// launch at even levels, the one re-entry on level 1 after a restart, and the UFO-gunship hit.
#include "game.h"

// ---- constants ----
static constexpr uint32_t UFO_ATTR = SPRITE_ATTR_VISIBLE | SPRITE_ATTR_MULTI_FRAME;
static constexpr int UFO_SPEED = 8;
static constexpr int FIRST_ENTRY_HEIGHTS = 441;  // at start-up the UFO enters at a height of 0 … 440
static constexpr int ENTRY_HEIGHTS = 451;  // later at 0 … 450

// ---- helpers ----

// Back to the right edge at a random height below `heights`.
static void ufo_enter(int heights)
{
    entity_x(ufo) = screen_width;
    entity_y(ufo) = random_next() % heights;
}

// ---- public operations ----

int ufo_init()
{
    if (!sprite_from_sheet(&ufo, UFO_SHEET, UFO_ATTR, "the UFO's sprite"))
        return 0;
    ufo_enter(FIRST_ENTRY_HEIGHTS);
    ufo.state = 1;
    return 1;
}

void ufo_launch()
{
    ufo_enter(ENTRY_HEIGHTS);
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
        ufo_enter(ENTRY_HEIGHTS);
        ufo_rerun_done = 1;
    }
    if (boxes_touch(ship_hit_box(), ufo_hit_box()) && ship.state == 1 && ufo.state == 1)
        ship_destroyed(ufo);
}

void ufo_draw()
{
    if (ufo.state != 1)
        return;
    ufo.pos_x = static_cast<float>(entity_x(ufo));
    ufo.pos_y = static_cast<float>(entity_y(ufo));
    sprite_draw(&ufo, back_surface);
}

HitBox ufo_hit_box() { return hit_box_at(entity_x(ufo), entity_y(ufo), ufo, -0.2, 0.2, 20); }

HitBox ufo_bolt_hit_box() { return hit_box_at(entity_x(ufo), entity_y(ufo), ufo, -0.5, 0.5, 0); }
