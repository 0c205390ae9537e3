// ship.cpp -- the player's gunship: set-up, drawing at its rounded position, the keys that move
// it, toggle its speed and fire, and the hit box the rocks and the UFO test against.
#include "game.h"
#include "input.h"

// ---- constants ----
static constexpr int SHIP_WIDTH = 80;
static constexpr int SHIP_HEIGHT = 32;
static constexpr uint32_t SHIP_ATTR = SPRITE_ATTR_VISIBLE | SPRITE_ATTR_MULTI_FRAME;
static constexpr uint32_t SYSTEM_MEMORY = 0x800;  // DDSCAPS_SYSTEMMEMORY
static constexpr int SLOW_STEP = 3;
static constexpr int FAST_STEP = 6;
static constexpr int FIRE_EVERY = 7;  // a bolt only when frame_timer is divisible by this
static constexpr int BOLT_SPEED = 6;

// ---- helpers ----

static bool key_down(int code) { return keyboard_state[code] != 0; }

// Each arrow tests the bound before its step, so the gunship may pass an edge by less than a step.
static void ship_steer()
{
    if (ship.state != 1)
        return;
    const float step = static_cast<float>(ship_speed);
    if (key_down(DIK_RIGHT) && ship_x() < 640)
        ship_x() += step;
    if (key_down(DIK_LEFT) && ship_x() > 0)
        ship_x() -= step;
    if (key_down(DIK_UP) && ship_y() > 0)
        ship_y() -= step;
    if (key_down(DIK_DOWN) && ship_y() < 480)
        ship_y() += step;
}

// One press of LEFT SHIFT toggles once; the latch holds until the key is let go.
static void speed_toggle()
{
    const bool shift = key_down(DIK_LSHIFT);
    if (shift && ship_speed == SLOW_STEP && shift_latch == 0) {
        ship_speed = FAST_STEP;
        shift_latch = 1;
    } else if (shift && ship_speed == FAST_STEP && shift_latch == 0) {
        ship_speed = SLOW_STEP;
        shift_latch = 1;
    }
    if (!shift)
        shift_latch = 0;
}

// ---- public operations ----

int ship_init()
{
    if (!picture_load("gunship.bmp", SHIP_WIDTH + 1, SHIP_HEIGHT + 1))
        return 0;
    const int made = sprite_create(&ship, 0, 0, SHIP_WIDTH, SHIP_HEIGHT, 1, SHIP_ATTR, SYSTEM_MEMORY, 0, 8) &&
                     sprite_load_frame(&ship, &bitmap, 0, 0, 0, 0);
    bitmap_unload(&bitmap);
    if (!made) {
        startup_failure("cannot make the gunship's sprite from gunship.bmp");
        return 0;
    }
    ship_x() = 0;
    ship_y() = static_cast<float>(screen_height / 2);
    ship.state = 1;
    return 1;
}

void ship_draw()
{
    if (ship.state != 1)
        return;
    ship.pos_x = ship_x() + 0.5f;
    ship.pos_y = ship_y() + 0.5f;
    ship.frame = 0;
    sprite_draw(&ship, back_surface);
}

void ship_controls()
{
    ship_steer();
    speed_toggle();
    if (key_down(DIK_SPACE) && ship.state == 1 && frame_timer % FIRE_EVERY == 0)
        bolt_fire(static_cast<int>(ship_x()), static_cast<int>(ship_y()), BOLT_SPEED, BOLT_SPEED, 0);
}

HitBox ship_hit_box()
{
    return {static_cast<int>(ship_x() - 0.5 * ship.width), static_cast<int>(ship_y() + 0.5 * ship.height), ship.width,
            ship.height};
}
