// rocks.cpp -- the rock pool and its waves: set-up from sixteen numbered pictures, arming a wave,
// flight to the left with the miss rule, and the rock-gunship hit. Only the first wave_size()
// records take part; every rock is a byte copy of rock_template and shares its frame surfaces.
#include <cstdio>
#include <cstring>

#include "game.h"

// ---- constants ----
static constexpr int ROCK_SIZE = 96;
static constexpr int FRAME_COUNT = 16;
static constexpr uint32_t ROCK_ATTR = SPRITE_ATTR_VISIBLE | SPRITE_ATTR_MULTI_FRAME;
static constexpr uint32_t SYSTEM_MEMORY = 0x800;  // DDSCAPS_SYSTEMMEMORY
static constexpr int ENTRY_X = 640;  // rocks enter at the right edge
static constexpr int ENTRY_HEIGHTS = 451;  // at a height of 0 … 450

// ---- helpers ----

// The sixteen frames, one file each; the palette of every file is put in force in turn, so the
// last file's palette is the one the game plays in.
static int template_frames_load()
{
    for (int i = 0; i < FRAME_COUNT; ++i) {
        make_numbered_name("ROCKL", "BMP", text_buffer, i);
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

// Speeds 1 … range on each axis; the number for vel_y is drawn before the one for vel_x.
static void rock_arm(Sprite& rock, int range)
{
    sprite_set_anim_delay(&rock, random_next() % 5 + 1);
    const int vy = random_next() % range + 1;
    const int vx = random_next() % range + 1;
    sprite_set_velocity(&rock, vx, vy);
}

static void ship_hit_by(Sprite& rock)
{
    const int height = random_next() % 10 + 54;
    const int width = random_next() % 12 + 68;
    explosion_start(entity_x(rock), entity_y(rock), width, height, static_cast<int>(rock.vel_x * 0.5),
                    static_cast<int>(rock.vel_y * 0.5), EXPLOSION_AT_SHIP);
    --lives;
    frame_timer = 0;
    respawn_pending = 1;
    ship.state = 0;
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
    if (!sprite_create(&rock_template, 0, 0, ROCK_SIZE, ROCK_SIZE, FRAME_COUNT, ROCK_ATTR, SYSTEM_MEMORY, 0, 8)) {
        startup_failure("cannot make the rocks' sprite");
        return 0;
    }
    if (!template_frames_load())
        return 0;
    for (Sprite& rock : rocks) {
        rock = rock_template;
        rock_arm(rock, 4);
        sprite_set_position(&rock, 0, 0);
        entity_x(rock) = ENTRY_X;
        entity_y(rock) = random_next() % ENTRY_HEIGHTS;
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
        entity_x(rock) = ENTRY_X;
        entity_y(rock) = random_next() % ENTRY_HEIGHTS;
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
            entity_x(rock) = ENTRY_X;
            entity_y(rock) = random_next() % ENTRY_HEIGHTS;
            if (rock.state == 1) {
                --score;
                ++rocks_missed;
            }
        }
        const HitBox s = ship_hit_box(), r = rock_hit_box(rock);
        if (rects_collide(s.x, s.y, s.width, s.height, r.x, r.y, r.width, r.height) && ship.state == 1 &&
            rock.state == 1)
            ship_hit_by(rock);
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
    return {static_cast<int>(rock.int_vars[VAR_X] - 0.2 * rock.width),
            static_cast<int>(rock.int_vars[VAR_Y] + 0.2 * rock.height), rock.width - 20, rock.height - 20};
}
