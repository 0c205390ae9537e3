// rocks_test.cpp -- rocks and waves: numbered file names, arming a wave, the miss rule at the left
// edge, a rock killing the gunship and flying on, the hit box, and a wider wave pulling in the
// next record as it was.
#include <gtest/gtest.h>

#include <cstring>

#include "game_fixture.h"

TEST(RockNames, DigitsEndOnTheLastZero)
{
    char out[32];
    EXPECT_EQ(make_numbered_name("ROCKL", "BMP", out, 0), 1);
    EXPECT_STREQ(out, "ROCKL0000.BMP");
    make_numbered_name("ROCKL", "BMP", out, 9);
    EXPECT_STREQ(out, "ROCKL0009.BMP");
    make_numbered_name("ROCKL", "BMP", out, 10);
    EXPECT_STREQ(out, "ROCKL0010.BMP");
    make_numbered_name("ROCKL", "BMP", out, 15);
    EXPECT_STREQ(out, "ROCKL0015.BMP");
    make_numbered_name("X", "wav", out, 9999);
    EXPECT_STREQ(out, "X9999.wav");
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(make_numbered_name("AB", "C", out, 10000), 0) << "five digits are refused";
    EXPECT_STREQ(out, "AB0000.C");
    EXPECT_EQ(make_numbered_name("AB", "C", out, -1), 0);
    EXPECT_STREQ(out, "AB0000.C");
}

TEST_F(GameTest, ArmingAWave)
{
    rock_reserve = 97;
    rock_speed_range = 3;
    for (Sprite& r : rocks)
        r.state = 0;
    const uint32_t seed = random_state;
    rocks_new_wave();
    EXPECT_EQ(wave_rocks_left, 3);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(rocks[j].state, 1);
        EXPECT_EQ(entity_x(rocks[j]), 640);
    }
    EXPECT_EQ(rocks[3].state, 0) << "records beyond the wave are left alone";
    // The draws per rock: delay, vel_y, vel_x, height.
    random_seed(seed);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(rocks[j].anim_delay, random_next() % 5 + 1);
        EXPECT_EQ(rocks[j].vel_y, static_cast<float>(random_next() % 3 + 1));
        EXPECT_EQ(rocks[j].vel_x, static_cast<float>(random_next() % 3 + 1));
        EXPECT_EQ(entity_y(rocks[j]), random_next() % 451);
    }
}

TEST_F(GameTest, MissedRockComesRoundAndCostsAPoint)
{
    empty_scene();
    place_rock(0, 640, 10, 1, 1);
    for (int i = 0; i < 640; ++i)
        rocks_move();
    EXPECT_EQ(entity_x(rocks[0]), 0);
    EXPECT_EQ(score, 0);
    rocks_move();
    EXPECT_EQ(entity_x(rocks[0]), 640) << "the 641st move leaves the left edge";
    EXPECT_EQ(score, -1) << "below zero";
    EXPECT_EQ(rocks_missed, 1);
    EXPECT_EQ(rocks[0].state, 1);
    EXPECT_EQ(wave_rocks_left, 1) << "the wave still needs it";
}

TEST_F(GameTest, DestroyedRockWrapsUnseenAndUncounted)
{
    empty_scene();
    place_rock(0, 2, 10, 3, 1);
    rocks[0].state = 0;
    rocks_move();
    EXPECT_EQ(entity_x(rocks[0]), 640);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(rocks_missed, 0);
}

TEST_F(GameTest, RockKillsTheGunshipAndFliesOn)
{
    empty_scene();
    place_rock(0, 30, 230, 3, 4);
    const uint32_t seed = random_state;
    rocks_move();
    EXPECT_EQ(lives, 2);
    EXPECT_EQ(ship.state, 0);
    EXPECT_EQ(respawn_pending, 1);
    EXPECT_EQ(frame_timer, 0);
    EXPECT_EQ(rocks[0].state, 1) << "the rock is not destroyed";
    EXPECT_EQ(wave_rocks_left, 1);
    const Sprite& e = explosions[0];
    EXPECT_EQ(e.state, 1);
    EXPECT_EQ(e.int_vars[VAR_ANCHOR], EXPLOSION_AT_SHIP);
    EXPECT_EQ(entity_x(explosions[0]), 27);
    EXPECT_EQ(e.vel_x, 1.0f) << "half of 3, truncated";
    EXPECT_EQ(e.vel_y, 2.0f);
    random_seed(seed);
    const int height = random_next() % 10 + 54;
    EXPECT_EQ(e.int_vars[VAR_DRAW_HEIGHT], height) << "the height is drawn first";
    EXPECT_EQ(e.int_vars[VAR_DRAW_WIDTH], random_next() % 12 + 68);
    rocks_move();
    EXPECT_EQ(lives, 2) << "no second hit while the gunship is down";
    EXPECT_EQ(entity_x(rocks[0]), 24);
}

TEST_F(GameTest, RockHitBox)
{
    place_rock(0, 100, 50, 1, 1);
    HitBox box = rock_hit_box(rocks[0]);
    EXPECT_EQ(box.x, 80);
    EXPECT_EQ(box.y, 69);
    EXPECT_EQ(box.width, 76);
    EXPECT_EQ(box.height, 76);
    entity_x(rocks[0]) = 10;  // 10 - 19.2 truncates toward zero
    box = rock_hit_box(rocks[0]);
    EXPECT_EQ(box.x, -9);
}

TEST_F(GameTest, WiderWavePullsInTheNextRecordAsItWas)
{
    empty_scene();
    place_rock(0, 600, 10, 1, 1);
    rocks[1].state = 1;
    entity_x(rocks[1]) = 640;
    entity_y(rocks[1]) = 300;
    rocks[1].vel_x = 2;
    rocks_move();
    EXPECT_EQ(entity_x(rocks[1]), 640) << "outside the wave: untouched";
    level_up();  // to level 2: one more rock
    rocks_move();
    EXPECT_EQ(entity_x(rocks[1]), 638) << "in the wave at once, with its own state and speed";
    EXPECT_EQ(entity_y(rocks[1]), 300);
    EXPECT_EQ(wave_rocks_left, 1) << "the count waits for the next wave";
}
