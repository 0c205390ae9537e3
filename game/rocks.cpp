// rocks.cpp -- the rock pool and its waves: set-up from sixteen numbered pictures, arming a wave,
// flight to the left with the miss rule, and the rock-gunship hit. Only the first wave_size()
// records take part; every rock is a byte copy of rock_template and shares its frame surfaces.
#include <cstdio>
#include <cstring>

#include "game.h"

// ---- constants ----
static constexpr uint32_t ROCK_ATTR = SPRITE_ATTR_VISIBLE | SPRITE_ATTR_MULTI_FRAME;
static constexpr int ENTRY_HEIGHTS = 451;  // rocks enter at the right edge at a height of 0 … 450

// ---- helpers ----

// The sixteen frames, one file each; the palette of every file is put in force in turn, so the
// last file's palette is the one the game plays in.
static int template_frames_load()
{
    for (int i = 0; i < ROCK_FRAMES; ++i) {
        make_numbered_name(ROCK_FILE_BASE, ROCK_FILE_EXTENSION, text_buffer, i);
        if (!picture_load(text_buffer, ROCK_SIZE, ROCK_SIZE))
            return 0;
        const int loaded = sprite_load_frame(&rock_template, &bitmap, i, 0, 0, 1);
        if (loaded)
            palette_set_all(bitmap.palette);
        bitmap_unload(&bitmap);
        if (!loaded) {
            char line[320];
            std::snprintf(line, sizeof line, "cannot load a rock frame from %s", text_buffer);
            startup_failure(line);
            return 0;
        }
    }
    return 1;
}

// Back to the right edge at a random height.
static void rock_enter(Sprite& rock)
{
    entity_x(rock) = screen_width;
    entity_y(rock) = random_next() % ENTRY_HEIGHTS;
}

// Speeds 1 … range on each axis; the number for vel_y is drawn before the one for vel_x.
static void rock_arm(Sprite& rock, int range)
{
    sprite_set_anim_delay(&rock, random_next() % 5 + 1);
    const int vy = random_next() % range + 1;
    const int vx = random_next() % range + 1;
    sprite_set_velocity(&rock, vx, vy);
}

// ---- public operations ----

int make_numbered_name(const char* base, const char* extension, char* out, int number)
{
    const size_t base_length = std::strlen(base);
    std::snprintf(out, base_length + std::strlen(extension) + 6, "%s0000.%s", base, extension);
    if (number < 0 || number > 9999)
        return 0;
    char digits[8];
    const int count = std::snprintf(digits, sizeof digits, "%d", number);
    std::memcpy(out + base_length + 4 - count, digits, static_cast<size_t>(count));
    return 1;
}

int rocks_init()
{
    if (!game_sprite_create(&rock_template, ROCK_SIZE, ROCK_SIZE, ROCK_FRAMES, ROCK_ATTR)) {
        startup_failure("cannot make the rocks' sprite");
        return 0;
    }
    if (!template_frames_load())
        return 0;
    for (Sprite& rock : rocks) {
        rock = rock_template;
        rock_arm(rock, 4);
        sprite_set_position(&rock, 0, 0);
        rock_enter(rock);
        rock.state = 1;
    }
    return 1;
}

void rocks_new_wave()
{
    wave_rocks_left = ROCK_COUNT - rock_reserve;
    const int count = wave_size();
    for (int j = 0; j < count; ++j) {
        Sprite& rock = rocks[j];
        rock_arm(rock, rock_speed_range);
        rock_enter(rock);
        rock.state = 1;
    }
}

// Every record of the wave moves, in play or not; only a live rock that crosses the left edge
// counts as missed, and it stays in the wave.
void rocks_move()
{
    const int count = wave_size();
    for (int j = 0; j < count; ++j) {
        Sprite& rock = rocks[j];
        entity_x(rock) = static_cast<int>(static_cast<float>(entity_x(rock)) - rock.vel_x);
        if (entity_x(rock) < 0) {
            rock_enter(rock);
            if (rock.state == 1) {
                --score;
                ++rocks_missed;
            }
        }
        if (boxes_touch(ship_hit_box(), rock_hit_box(rock)) && ship.state == 1 && rock.state == 1)
            ship_destroyed(rock);
    }
}

void rocks_draw()
{
    const int count = wave_size();
    for (int j = 0; j < count; ++j) {
        Sprite& rock = rocks[j];
        if (rock.state != 1)
            continue;
        rock.pos_x = static_cast<float>(entity_x(rock));
        rock.pos_y = static_cast<float>(entity_y(rock));
        sprite_draw(&rock, back_surface);
        sprite_animate(&rock);
    }
}

HitBox rock_hit_box(const Sprite& rock)
{
    return hit_box_at(rock.int_vars[VAR_X], rock.int_vars[VAR_Y], rock, -0.2, 0.2, 20);
}
