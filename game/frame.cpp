// frame.cpp -- one frame of the game in its fixed order, and the three operations that change the
// game's state wholesale (level_up, clear_play_field, game_restart). The states follow from the
// counters alone: lives, respawn_pending, wave_rocks_left and frame_timer.
#include <cstdio>

#include "audio.h"
#include "game.h"
#include "input.h"
#include "services.h"

// ---- constants ----
static constexpr COLORREF WHITE = RGB(255, 255, 255);
static constexpr COLORREF RED = RGB(255, 0, 0);
static constexpr int WAIT_FRAMES = 100;  // respawn and the next wave need frame_timer above this
static constexpr uint32_t RESTART_WAIT_MS = 1000;

// ---- helpers ----

static bool key_down(int code) { return keyboard_state[code] != 0; }

static void text_line(int x, int y, COLORREF color) { text_draw(text_buffer, x, y, color, back_surface); }

static void backdrop_draw()
{
    back_lock();
    image_draw8(&background, back_buffer, back_pitch, 0);
    back_unlock();
}

static void game_over_draw()
{
    std::snprintf(text_buffer, sizeof text_buffer, "GAME OVER");
    text_line(230, 210, RED);
    std::snprintf(text_buffer, sizeof text_buffer, "SCORE: %i", score);
    text_line(230, 225, WHITE);
    std::snprintf(text_buffer, sizeof text_buffer, "TOTAL ROCKS MISSED: %i", rocks_missed);
    text_line(230, 240, WHITE);
    std::snprintf(text_buffer, sizeof text_buffer, "TOTAL ROCKS DESTROYED: %i", rocks_destroyed);
    text_line(230, 255, WHITE);
    std::snprintf(text_buffer, sizeof text_buffer, "PRESS ESC TO QUIT OR PRESS F2 TO RESTART");
    text_line(230, 270, RED);
}

static void heads_up_draw()
{
    std::snprintf(text_buffer, sizeof text_buffer, "Score: %i  |  Player Lives: %i  |  LEVEL: %i ", score, lives,
                  level);
    text_line(10, 25, WHITE);
}

// The gunship comes back at the left edge once the wait after its death is over.
static void respawn_check()
{
    if (respawn_pending == 1 && frame_timer > WAIT_FRAMES && lives != 0) {
        ship.state = 1;
        ship_to_start();
        ship_draw();
        respawn_pending = 0;
    }
}

// ESC counts from the keyboard device and also when the window does not have the keyboard.
static bool escape_down() { return key_down(DIK_ESCAPE) || (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0; }

static void quit_begin()
{
    PostMessageA(main_window, WM_DESTROY, 0, 0);
    sound_stop_all();
    screen_transition(TRANSITION_FADE_BLACK, nullptr, 0);
}

// ---- public operations ----

int game_frame(void*)
{
    if (!game_ready)
        return 1;  // a failed start: the quit message is on its way
    clock_start();
    backdrop_draw();
    stars_move();
    stars_draw();
    bolts_move();
    bolts_draw();
    rocks_move();
    rocks_draw();
    ufo_move();
    ufo_draw();
    explosions_move();
    explosions_draw();
    if (lives == 0) {
        clear_play_field();
        game_over_draw();
    }
    if (respawn_pending != 1)
        ship_draw();
    respawn_check();
    if (wave_rocks_left <= 0 && frame_timer > WAIT_FRAMES)
        rocks_new_wave();
    keyboard_read();
    ship_controls();
    heads_up_draw();
    display_flip();
    if (key_down(DIK_F2))
        game_restart();
    if (escape_down())
        quit_begin();
    ++frame_timer;
    return 1;
}

void level_up()
{
    ++level;
    if (level % 5 == 0)
        play_music(music_ids[random_next() % MUSIC_COUNT]);
    if (level % 2 == 0) {
        // The wave never grows past the rock table: at 0 the level and the UFO still come.
        if (rock_reserve > 0)
            --rock_reserve;
        ufo_launch();
        play_sound(level_sound);
    } else {
        ++rock_speed_range;
    }
}

void clear_play_field()
{
    ship.state = 0;
    for (Sprite& rock : rocks)
        rock.state = 0;
}

// Bolts, explosions, stars and the UFO are left as they are; with ufo_rerun_done at 0 a UFO still
// in play comes back once on level 1.
void game_restart()
{
    counters_start();
    ufo_rerun_done = 0;
    ship.state = 1;
    for (Sprite& rock : rocks)
        rock.state = 1;
    clock_wait(RESTART_WAIT_MS);
    ship_to_start();
    rocks_new_wave();
    play_music(music_ids[random_next() % MUSIC_COUNT]);
}
