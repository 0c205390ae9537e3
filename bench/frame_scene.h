// frame_scene.h -- the game brought up on the test hooks' host and held at a heavy moment (a wave of
// 16 rocks, 32 bolts, 8 explosions, the UFO), for the programs that time its frame: bench_frame
// natively, and frame_web (bench/web/) as WebAssembly, so both time the same moment. The scene is put
// back between timed frames, so every frame draws the same heavy moment. Include it in one file of a
// program, built with VORLASH_ASSETS_DIR naming the folder of the game's generated assets.
#pragma once
#include <cstring>
#include <filesystem>

#include "audio.h"
#include "game.h"
#include "services.h"
#include "testing.h"

inline constexpr int WAVE = 16;
inline constexpr int EXPLOSION_WIDTH = 68, EXPLOSION_HEIGHT = 58;  // scaled, as a gunship's end

// ---- bringing the game up ----

inline void make_window()
{
    main_window = testing_make_window(&main_instance);
}

// A start as the program makes one, on the virtual clock so the intro's holds and fades cost nothing.
// `music` false starts the synthesizer without a soundfont.
inline bool start_game(bool music)
{
    testing_reset();
    make_window();
    sound_first_init = 1;
    if (!music)
        testing_soundfont("");
    std::filesystem::current_path(VORLASH_ASSETS_DIR);
    return game_init(nullptr) == 1;
}

// ---- the heavy moment ----

struct Scene {
    Sprite ship, ufo;
    Sprite bolts[BOLT_COUNT], rocks[ROCK_COUNT], explosions[EXPLOSION_COUNT];
    Star stars[STAR_COUNT];
    int score, lives, level, frame_timer, rock_reserve, wave_rocks_left, respawn_pending, ufo_rerun_done;
    uint32_t random_state;
};

inline Scene scene;

// Rocks sit still in the right half, bolts fly in the top band left of them, explosions drift in the
// middle, the UFO hovers at the top right and the gunship waits at the bottom left: nothing meets,
// so every frame draws all of it and no counter changes the scene.
inline void scene_arm()
{
    rock_reserve = ROCK_COUNT - WAVE;
    wave_rocks_left = WAVE;
    lives = 3;
    respawn_pending = 0;
    frame_timer = 50;  // no new wave and no respawn while the wait runs
    ufo_rerun_done = 1;
    for (int j = 0; j < ROCK_COUNT; ++j)
        rocks[j].state = 0;
    for (int j = 0; j < WAVE; ++j) {
        Sprite& r = rocks[j];
        r.state = 1;
        sprite_set_velocity(&r, 0, 0);
        entity_x(r) = 340 + (j % 4) * 70;
        entity_y(r) = 150 + (j / 4) * 80;
    }
    for (int j = 0; j < BOLT_COUNT; ++j) {
        Sprite& b = bolts[j];
        b.state = 0;
        bolt_fire(20 + (j % 8) * 30, 10 + (j / 8) * 20, 1, 0, j % 2);
    }
    for (Sprite& e : explosions)
        e.state = 0;
    for (int j = 0; j < EXPLOSION_COUNT; ++j)
        explosion_start(20 + j * 38, 200 + (j % 2) * 60, j % 2 ? EXPLOSION_WIDTH : explosions[0].width,
                        j % 2 ? EXPLOSION_HEIGHT : explosions[0].height, 0, 0, EXPLOSION_AT_OWN);
    ufo.state = 1;
    entity_x(ufo) = 1400;  // comes on from the right over the next frames
    entity_y(ufo) = 30;
    ship.state = 1;
    ship_x() = 0;
    ship_y() = 430;
}

inline void scene_save()
{
    scene.ship = ship;
    scene.ufo = ufo;
    std::memcpy(scene.bolts, bolts, sizeof bolts);
    std::memcpy(scene.rocks, rocks, sizeof rocks);
    std::memcpy(scene.explosions, explosions, sizeof explosions);
    std::memcpy(scene.stars, stars, sizeof stars);
    scene.score = score;
    scene.lives = lives;
    scene.level = level;
    scene.frame_timer = frame_timer;
    scene.rock_reserve = rock_reserve;
    scene.wave_rocks_left = wave_rocks_left;
    scene.respawn_pending = respawn_pending;
    scene.ufo_rerun_done = ufo_rerun_done;
    scene.random_state = random_state;
}

inline void scene_restore()
{
    ship = scene.ship;
    ufo = scene.ufo;
    std::memcpy(bolts, scene.bolts, sizeof bolts);
    std::memcpy(rocks, scene.rocks, sizeof rocks);
    std::memcpy(explosions, scene.explosions, sizeof explosions);
    std::memcpy(stars, scene.stars, sizeof stars);
    score = scene.score;
    lives = scene.lives;
    level = scene.level;
    frame_timer = scene.frame_timer;
    rock_reserve = scene.rock_reserve;
    wave_rocks_left = scene.wave_rocks_left;
    respawn_pending = scene.respawn_pending;
    ufo_rerun_done = scene.ufo_rerun_done;
    random_state = scene.random_state;
}

// Whether the heavy moment is set up: -1 not yet, or no longer (start-up's benchmark shuts the game
// down, and repetitions may run interleaved with it); 1 ready; 0 the game did not start.
inline int heavy_ready = -1;

// The game started for the frame benchmarks, the scene armed and saved. The UFO is run on to the
// screen by a few frames before the save.
inline bool heavy_moment()
{
    if (heavy_ready < 0) {
        heavy_ready = start_game(false) ? 1 : 0;
        if (heavy_ready) {
            scene_arm();
            entity_x(ufo) = 560 + 8 * 4;
            for (int i = 0; i < 4; ++i)
                game_frame(nullptr);
            scene_save();
        }
    }
    return heavy_ready == 1;
}

// What must be in play for the moment to count: checked after the timed frames.
inline bool scene_is_heavy()
{
    int r = 0, b = 0, e = 0;
    for (const Sprite& s : rocks)
        r += s.state == 1;
    for (const Sprite& s : bolts)
        b += s.state == 1;
    for (const Sprite& s : explosions)
        e += s.state == 1;
    return r == WAVE && b == BOLT_COUNT && e == EXPLOSION_COUNT && ufo.state == 1 && ufo.pos_x < 640 && lives > 0;
}
