// explosions.cpp -- the pool of eight explosions: each kill starts one with its sound; it drifts,
// is drawn stretched to its own size, and ends after thirteen pictures. Explosions 1 … 7 are byte
// copies of explosions[0] and share its frame surfaces.
#include "game.h"

// ---- constants ----
static constexpr int FRAME_WIDTH = 42;
static constexpr int FRAME_HEIGHT = 36;
static constexpr int FRAME_COUNT = 14;
static constexpr int SHEET_COLUMNS = 6;
static constexpr int SHEET_ROWS = 3;
static constexpr uint32_t EXPLOSION_ATTR = SPRITE_ATTR_VISIBLE | SPRITE_ATTR_MULTI_FRAME;
static constexpr uint32_t SYSTEM_MEMORY = 0x800;  // DDSCAPS_SYSTEMMEMORY

// ---- helpers ----

static int& draw_width(Sprite& e) { return e.int_vars[VAR_DRAW_WIDTH]; }
static int& draw_height(Sprite& e) { return e.int_vars[VAR_DRAW_HEIGHT]; }
static int& anchor(Sprite& e) { return e.int_vars[VAR_ANCHOR]; }

static int first_explosion_make()
{
    Sprite& first = explosions[0];
    if (!sprite_create(&first, 0, 0, FRAME_WIDTH, FRAME_HEIGHT, FRAME_COUNT, EXPLOSION_ATTR, SYSTEM_MEMORY, 0, 8))
        return 0;
    for (int i = 0; i < FRAME_COUNT; ++i)
        if (!sprite_load_frame(&first, &bitmap, i, i % SHEET_COLUMNS, i / SHEET_COLUMNS, 0))
            return 0;
    sprite_set_anim_delay(&first, 1);
    draw_width(first) = first.width;
    draw_height(first) = first.height;
    first.state = 0;
    return 1;
}

// ---- public operations ----

int explosions_init()
{
    if (!picture_load("EXPL8.BMP", SHEET_COLUMNS * (FRAME_WIDTH + 1), SHEET_ROWS * (FRAME_HEIGHT + 1)))
        return 0;
    const int made = first_explosion_make();
    if (made)
        for (int i = 1; i < EXPLOSION_COUNT; ++i)
            explosions[i] = explosions[0];
    bitmap_unload(&bitmap);
    if (!made)
        startup_failure("cannot make the explosions' sprite from EXPL8.BMP");
    return made;
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
