// explosions_test.cpp -- explosions: the start with its sound, drift, the anchor to the gunship,
// the end after thirteen pictures, stretching, and the ninth of nine dropped with its sound played.
#include <gtest/gtest.h>

#include "game_fixture.h"

static int running()
{
    int n = 0;
    for (const Sprite& e : explosions)
        n += e.state == 1;
    return n;
}

TEST_F(GameTest, StartTakesTheFirstFreeAndPlaysTheSound)
{
    empty_scene();
    explosions[0].state = 1;
    explosion_start(100, 120, 70, 60, 2, -1, EXPLOSION_AT_UFO);
    const Sprite& e = explosions[1];
    EXPECT_EQ(e.state, 1);
    EXPECT_EQ(entity_x(explosions[1]), 100);
    EXPECT_EQ(entity_y(explosions[1]), 120);
    EXPECT_EQ(e.int_vars[VAR_DRAW_WIDTH], 70);
    EXPECT_EQ(e.int_vars[VAR_DRAW_HEIGHT], 60);
    EXPECT_EQ(e.int_vars[VAR_ANCHOR], EXPLOSION_AT_UFO);
    EXPECT_EQ(e.vel_x, 2.0f);
    EXPECT_EQ(e.vel_y, -1.0f);
    EXPECT_EQ(e.frame, 0);
    EXPECT_EQ(e.anim_delay, 1);
    EXPECT_TRUE(sound_status(explosion_sound) & DSBSTATUS_PLAYING);
}

TEST_F(GameTest, DriftAndThirteenPictures)
{
    empty_scene();
    explosion_start(100, 100, 70, 60, 1, 2, EXPLOSION_AT_OWN);
    std::vector<int> pictures;
    for (int i = 0; i < 20 && explosions[0].state == 1; ++i) {
        game_frame(nullptr);
        if (explosions[0].state == 1)
            pictures.push_back(explosions[0].frame - 1);  // drawn, then one step on
    }
    EXPECT_EQ(pictures, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(entity_x(explosions[0]), 100 + 14) << "drifts 1 right a frame, freed in the 14th move";
    EXPECT_EQ(entity_y(explosions[0]), 100 + 28);
    EXPECT_EQ(explosions[0].pos_x, 113.0f) << "drawn at its own position";
}

TEST_F(GameTest, AnchoredToTheGunship)
{
    empty_scene();
    explosion_start(500, 400, 70, 60, 3, 3, EXPLOSION_AT_SHIP);
    ship_x() = 42;
    ship_y() = 77;
    frames(1);
    EXPECT_EQ(explosions[0].pos_x, 42.0f);
    EXPECT_EQ(explosions[0].pos_y, 77.0f);
    ship_x() = 0;
    ship_y() = 240;
    frames(1);
    EXPECT_EQ(explosions[0].pos_x, 0.0f) << "follows the gunship where it goes";
    EXPECT_EQ(explosions[0].pos_y, 240.0f);
}

TEST_F(GameTest, NinthOfNineIsDroppedButItsSoundPlays)
{
    empty_scene();
    for (int i = 0; i < 8; ++i)
        explosion_start(10 * i, 10, 70, 60, 0, 0, EXPLOSION_AT_OWN);
    EXPECT_EQ(running(), 8);
    sound_stop(explosion_sound);
    explosion_start(300, 300, 70, 60, 0, 0, EXPLOSION_AT_OWN);
    EXPECT_EQ(running(), 8);
    for (const Sprite& e : explosions)
        EXPECT_NE(entity_x(const_cast<Sprite&>(e)), 300);
    EXPECT_TRUE(sound_status(explosion_sound) & DSBSTATUS_PLAYING) << "the sound still starts";
}

TEST_F(GameTest, StretchedToItsDrawSize)
{
    empty_scene();
    for (Star& s : stars)
        s.y = 479;
    explosion_start(300, 200, 79, 63, 0, 0, EXPLOSION_AT_OWN);
    frames(1);
    // Drawn stretched: something of it shows beyond its 42 × 36 frame size, nothing beyond 79 × 63.
    const TestingFrame with = testing_presented_frame();
    explosions[0].state = 0;
    for (Star& s : stars)
        s.x += 5;
    frames(1);
    const TestingFrame& without = testing_presented_frame();
    int max_x = -1, max_y = -1, outside = 0;
    for (int y = 60; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (with.pixel(x, y) != without.pixel(x, y)) {
                if (x < 300 || x >= 379 || y < 200 || y >= 263)
                    ++outside;
                max_x = std::max(max_x, x);
                max_y = std::max(max_y, y);
            }
    EXPECT_EQ(outside, 0);
    EXPECT_GE(max_x, 300 + 42) << "wider than a frame";
    EXPECT_GE(max_y, 200 + 36) << "taller than a frame";
}
