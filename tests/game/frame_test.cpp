// frame_test.cpp -- the frame and the game states: the heads-up line and the game-over lines as
// drawn, respawn and next-wave timing, level-ups, the restart, and ESC.
#include <gtest/gtest.h>

#include "game_fixture.h"
#include "services.h"

// Stars all on the bottom row, out of the way of the texts.
static void stars_to_bottom()
{
    for (Star& s : stars)
        s.y = 479;
}

// A rock placed so that its next move puts it on the gunship at (0, 240): its box (9, 249, 76, 76)
// against the gunship's (-40, 256, 80, 32).
static void rock_on_ship(int j)
{
    rocks[j].state = 1;
    entity_x(rocks[j]) = 30;
    entity_y(rocks[j]) = 230;
    rocks[j].vel_x = 1;
    rocks[j].vel_y = 1;
}

// ---- texts ----

TEST_F(GameTest, HeadsUpLineFormatPositionAndColour)
{
    empty_scene();
    stars_to_bottom();
    score = -7;
    lives = 2;
    level = 12;
    frames(1);
    EXPECT_STREQ(text_buffer, "Score: -7  |  Player Lives: 2  |  LEVEL: 12 ");
    const int in_line = count_shown(10, 25, 400, 45, is_white);
    EXPECT_GT(in_line, 100) << "white text from (10, 25)";
    EXPECT_EQ(count_shown(0, 0, 640, 25, is_white), 0) << "nothing white above the line";
    EXPECT_EQ(count_shown(0, 25, 10, 45, is_white), 0) << "nothing white left of x 10";
}

TEST_F(GameTest, GameOverLinesAndAnEmptyField)
{
    // The same scene drawn with the gunship down, once with a life left and once without: below
    // the heads-up line only the game-over lines differ.
    empty_scene();
    stars_to_bottom();
    ship.state = 0;
    respawn_pending = 1;
    frame_timer = 0;
    lives = 1;
    score = 1234;
    frames(1);
    const TestingFrame playing = testing_presented_frame();
    for (Star& s : stars)
        s.x += 5;
    rocks[0].state = 1;
    lives = 0;
    frames(1);
    EXPECT_EQ(ship.state, 0);
    for (const Sprite& r : rocks)
        EXPECT_EQ(r.state, 0) << "all 100 rocks are out of play";
    const TestingFrame& over = testing_presented_frame();
    int red_bands = 0, white_bands = 0, stray = 0;
    for (int y = 60; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            if (over.pixel(x, y) == playing.pixel(x, y))
                continue;
            const PALETTEENTRY c = over.palette[over.pixel(x, y)];
            const bool red_band = (y >= 210 && y < 225) || (y >= 270 && y < 285);
            const bool white_band = y >= 225 && y < 270;
            if (x >= 230 && red_band && is_red(c))
                ++red_bands;
            else if (x >= 230 && white_band && is_white(c))
                ++white_bands;
            else
                ++stray;
        }
    EXPECT_GT(red_bands, 150) << "GAME OVER and the last line in red";
    EXPECT_GT(white_bands, 150) << "three lines in white";
    EXPECT_EQ(stray, 0) << "text outside the lines' rows and colours, or left of x 230";
    EXPECT_GT(count_shown(10, 25, 400, 45, is_white), 100) << "the heads-up line is still drawn";
}

// ---- timing of respawn and waves ----

TEST_F(GameTest, RespawnInThe101stFrameAfterDeath)
{
    empty_scene();
    rock_on_ship(0);
    frames(1);
    ASSERT_EQ(ship.state, 0) << "the rock hit the gunship";
    EXPECT_EQ(lives, 2);
    EXPECT_EQ(respawn_pending, 1);
    ship_x() = 300;
    frames(100);
    EXPECT_EQ(ship.state, 0) << "100 frames after, still down";
    frames(1);
    EXPECT_EQ(ship.state, 1) << "back in the 101st";
    EXPECT_EQ(respawn_pending, 0);
    EXPECT_EQ(ship_x(), 0.0f);
    EXPECT_EQ(ship_y(), 240.0f);
}

TEST_F(GameTest, LastLifeLeadsToGameOverWithoutRespawn)
{
    empty_scene();
    lives = 1;
    rock_on_ship(0);
    frames(1);
    EXPECT_EQ(lives, 0);
    EXPECT_EQ(rocks[0].state, 0) << "game over clears the field in the same frame";
    frames(300);
    EXPECT_EQ(ship.state, 0);
    EXPECT_EQ(respawn_pending, 1);
}

TEST_F(GameTest, NextWaveInThe101stFrameAfterTheLastKill)
{
    empty_scene();
    rocks[0].state = 1;
    entity_x(rocks[0]) = 400;
    entity_y(rocks[0]) = 100;
    rocks[0].vel_x = 1;
    // A bolt right on the rock's box: (399 - 20, 119 .. 195) reduced holds (400, 150).
    bolts[0].state = 1;
    entity_x(bolts[0]) = 394;
    entity_y(bolts[0]) = 150;
    bolts[0].vel_x = 6;
    frames(1);
    ASSERT_EQ(rocks[0].state, 0);
    EXPECT_EQ(wave_rocks_left, 0);
    EXPECT_EQ(score, 100);
    frames(100);
    EXPECT_EQ(wave_rocks_left, 0);
    EXPECT_EQ(rocks[0].state, 0);
    frames(1);
    EXPECT_EQ(wave_rocks_left, 1);
    EXPECT_EQ(rocks[0].state, 1);
    EXPECT_EQ(entity_x(rocks[0]), 640);
    EXPECT_EQ(rocks[0].vel_x, 1.0f) << "speed range 1";
}

// ---- level-ups ----

TEST_F(GameTest, LevelUpsByTurns)
{
    level_up();
    EXPECT_EQ(level, 2);
    EXPECT_EQ(rock_reserve, 98) << "even: one more rock";
    EXPECT_EQ(rock_speed_range, 1);
    EXPECT_EQ(ufo.state, 1);
    EXPECT_EQ(entity_x(ufo), 640) << "and the UFO";
    EXPECT_EQ(ufo_rerun_done, 0);
    EXPECT_TRUE(sound_status(level_sound) & DSBSTATUS_PLAYING) << "the level sound on even levels";
    sound_stop(level_sound);
    level_up();
    EXPECT_EQ(level, 3);
    EXPECT_EQ(rock_reserve, 98);
    EXPECT_EQ(rock_speed_range, 2) << "odd: faster rocks";
    EXPECT_FALSE(sound_status(level_sound) & DSBSTATUS_PLAYING);
}

TEST_F(GameTest, ReserveStopsAtZero)
{
    rock_reserve = 1;
    level = 197;
    level_up();
    EXPECT_EQ(rock_reserve, 0);
    EXPECT_EQ(wave_size(), 100);
    level_up();
    level_up();
    EXPECT_EQ(level, 200);
    EXPECT_EQ(rock_reserve, 0) << "never more than the 100 rocks";
    EXPECT_EQ(ufo.state, 1) << "the even level still launches the UFO";
    rocks_new_wave();
    EXPECT_EQ(wave_rocks_left, 100);
}

TEST_F(GameWithMusic, EveryFifthLevelChangesTheMusic)
{
    level = 4;
    const uint32_t before = random_state;
    level_up();
    random_seed(before);
    const int expected = music_ids[random_next() % MUSIC_COUNT];
    EXPECT_EQ(music_current, expected);
    EXPECT_EQ(random_state, before * 214013u + 2531011u) << "one draw, for the music only";
    music_stop(music_current);
    level_up();  // 6: no music
    EXPECT_EQ(music_current, -1);
}

// ---- restart and quit ----

TEST_F(GameWithMusic, RestartResetsEveryCounterAfterOneSecond)
{
    score = 5000;
    lives = 0;
    level = 9;
    frame_timer = 12;
    rock_reserve = 90;
    rock_speed_range = 5;
    ship_speed = 6;
    shift_latch = 1;
    kills_since_level = 3;
    rocks_destroyed = 40;
    rocks_missed = 7;
    respawn_pending = 1;
    ufo_rerun_done = 1;
    ship_x() = 300;
    testing_key(DIK_F2, true);
    const uint32_t before = GetTickCount();
    game_frame(nullptr);
    const uint32_t spent = GetTickCount() - before;
    testing_key(DIK_F2, false);
    EXPECT_GE(spent, 1000u) << "one second after the frame's start";
    EXPECT_LT(spent, 1100u);
    expect_new_game(100, 0);  // frame_timer 99, plus the frame's own count
    for (const Sprite& r : rocks)
        EXPECT_EQ(r.state, 1);
    EXPECT_GE(music_current, 0) << "a new piece";
}

TEST_F(GameTest, HeldF2RestartsInEveryFrame)
{
    testing_key(DIK_F2, true);
    const uint32_t before = GetTickCount();
    frames(3);
    testing_key(DIK_F2, false);
    EXPECT_GE(GetTickCount() - before, 3000u);
}

TEST_F(GameTest, EscapePostsDestroyStopsSoundsAndFades)
{
    play_sound(level_sound);
    ASSERT_TRUE(sound_status(level_sound) & DSBSTATUS_PLAYING);
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_DESTROY, WM_DESTROY, PM_NOREMOVE));
    tap(DIK_ESCAPE);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_DESTROY, WM_DESTROY, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, main_window);
    EXPECT_FALSE(sound_status(level_sound) & DSBSTATUS_PLAYING);
    EXPECT_EQ(shadow_palette[15].peRed, 15) << "white faded to 15";
    EXPECT_EQ(frame_timer, 100) << "the frame finishes normally";
}

TEST_F(GameTest, EscapeSeenThroughTheAsyncStateToo)
{
    testing_key(DIK_ESCAPE, true);
    keyboard_release();  // the device is gone: only the async state can see ESC
    game_frame(nullptr);
    MSG msg{};
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_DESTROY, WM_DESTROY, PM_REMOVE));
}
