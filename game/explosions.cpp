// explosions.cpp -- the pool of eight explosions: each kill starts one with its sound; it drifts,
// is drawn stretched to its own size, and ends after thirteen pictures. Explosions 1 … 7 are byte
// copies of explosions[0] and share its frame surfaces.
#include "game.h"

// ---- constants ----
static constexpr uint32_t EXPLOSION_ATTR = SPRITE_ATTR_VISIBLE | SPRITE_ATTR_MULTI_FRAME;

// ---- helpers ----

static int& draw_width(Sprite& e) { return e.int_vars[VAR_DRAW_WIDTH]; }
static int& draw_height(Sprite& e) { return e.int_vars[VAR_DRAW_HEIGHT]; }
static int& anchor(Sprite& e) { return e.int_vars[VAR_ANCHOR]; }

// ---- public operations ----

int explosions_init()
{
    Sprite& first = explosions[0];
    if (!sprite_from_sheet(&first, EXPLOSION_SHEET, EXPLOSION_ATTR, "the explosions' sprite"))
        return 0;
    sprite_set_anim_delay(&first, 1);
    draw_width(first) = first.width;
    draw_height(first) = first.height;
    first.state = 0;
    for (int i = 1; i < EXPLOSION_COUNT; ++i)
        explosions[i] = first;
    return 1;
}

void explosion_start(int x, int y, int width, int height, int vx, int vy, int at)
{
    // The sound plays for every kill, also when all eight explosions are running.
    play_sound(explosion_sound);
    for (Sprite& e : explosions) {
        if (e.state != 0)
            continue;
        sprite_set_anim_delay(&e, 1);
        e.frame = 0;
        sprite_set_velocity(&e, vx, vy);
        sprite_set_position(&e, 0, 0);
        entity_x(e) = x;
        entity_y(e) = y;
        draw_width(e) = width;
        draw_height(e) = height;
        anchor(e) = at;
        e.state = 1;
        return;
    }
}

void explosion_burst(int x, int y, const Sprite& mover, int at)
{
    const int height = random_next() % 10 + 54;
    const int width = random_next() % 12 + 68;
    explosion_start(x, y, width, height, static_cast<int>(mover.vel_x * 0.5), static_cast<int>(mover.vel_y * 0.5), at);
}

void explosions_move()
{
    for (Sprite& e : explosions) {
        if (e.state != 1)
            continue;
        entity_x(e) = static_cast<int>(static_cast<float>(entity_x(e)) + e.vel_x);
        entity_y(e) = static_cast<int>(static_cast<float>(entity_y(e)) + e.vel_y);
        if (e.frame >= e.frame_count - 1)
            e.state = 0;
    }
}

void explosions_draw()
{
    for (Sprite& e : explosions) {
        if (e.state != 1)
            continue;
        if (anchor(e) == EXPLOSION_AT_SHIP) {
            e.pos_x = ship_x();
            e.pos_y = ship_y();
        } else if (anchor(e) == EXPLOSION_AT_OWN || anchor(e) == EXPLOSION_AT_UFO) {
            e.pos_x = static_cast<float>(entity_x(e));
            e.pos_y = static_cast<float>(entity_y(e));
        }
        if (draw_width(e) == e.width && draw_height(e) == e.height)
            sprite_draw(&e, back_surface);
        else
            sprite_draw_scaled(&e, draw_width(e), draw_height(e), back_surface);
        sprite_animate(&e);
    }
}
