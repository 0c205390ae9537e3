// ship.cpp -- the player's gunship: set-up, drawing at its rounded position, the keys that move
// it, toggle its speed and fire, and the hit box the rocks and the UFO test against.
#include "game.h"
#include "input.h"

// ---- constants ----
static constexpr uint32_t SHIP_ATTR = SPRITE_ATTR_VISIBLE | SPRITE_ATTR_MULTI_FRAME;
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
    if (key_down(DIK_RIGHT) && ship_x() < screen_width)
        ship_x() += step;
    if (key_down(DIK_LEFT) && ship_x() > 0)
        ship_x() -= step;
    if (key_down(DIK_UP) && ship_y() > 0)
        ship_y() -= step;
    if (key_down(DIK_DOWN) && ship_y() < screen_height)
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
    if (!sprite_from_sheet(&ship, SHIP_SHEET, SHIP_ATTR, "the gunship's sprite"))
        return 0;
    ship_to_start();
    ship.state = 1;
    return 1;
}

void ship_to_start()
{
    ship_x() = 0;
    ship_y() = static_cast<float>(screen_height / 2);
}

void ship_destroyed(const Sprite& culprit)
{
    explosion_burst(culprit.int_vars[VAR_X], culprit.int_vars[VAR_Y], culprit, EXPLOSION_AT_SHIP);
    --lives;
    frame_timer = 0;
    respawn_pending = 1;
    ship.state = 0;
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

HitBox ship_hit_box() { return hit_box_at(ship_x(), ship_y(), ship, -0.5, 0.5, 0); }
