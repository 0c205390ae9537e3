// ship_test.cpp -- the gunship: arrow bounds, the speed toggle and its latch, the fire cadence,
// controls while down, the hit box, and drawing at the rounded position.
#include <gtest/gtest.h>

#include "game_fixture.h"

static int bolts_flying()
{
    int n = 0;
    for (const Sprite& b : bolts)
        n += b.state == 1;
    return n;
}

TEST_F(GameTest, ArrowsTestTheBoundBeforeTheStep)
{
    empty_scene();
    ship_x() = 639;
    key(DIK_RIGHT, true);
    frames(1);
    EXPECT_EQ(ship_x(), 642.0f);
    frames(3);
    EXPECT_EQ(ship_x(), 642.0f) << "and no further";
    key(DIK_RIGHT, false);

    ship_x() = 1;
    key(DIK_LEFT, true);
    frames(2);
    EXPECT_EQ(ship_x(), -2.0f);
    key(DIK_LEFT, false);

    ship_y() = 2;
    key(DIK_UP, true);
    frames(2);
    EXPECT_EQ(ship_y(), -1.0f);
    key(DIK_UP, false);

    ship_y() = 478;
    key(DIK_DOWN, true);
    frames(2);
    EXPECT_EQ(ship_y(), 481.0f);
    key(DIK_DOWN, false);
}

TEST_F(GameTest, OppositeArrowsBothApply)
{
    empty_scene();
    ship_x() = 100;
    key(DIK_LEFT, true);
    key(DIK_RIGHT, true);
    frames(1);
    EXPECT_EQ(ship_x(), 100.0f);
    ship_x() = 0;  // right moves to 3, then left (3 > 0) back to 0
    frames(1);
    EXPECT_EQ(ship_x(), 0.0f);
    ship_x() = 640;  // right does not apply at 640, left does
    frames(1);
    EXPECT_EQ(ship_x(), 637.0f);
}

TEST_F(GameTest, ShiftTogglesOncePerPress)
{
    empty_scene();
    key(DIK_LSHIFT, true);
    frames(5);
    EXPECT_EQ(ship_speed, 6);
    EXPECT_EQ(shift_latch, 1);
    key(DIK_LSHIFT, false);
    frames(1);
    EXPECT_EQ(shift_latch, 0);
    EXPECT_EQ(ship_speed, 6);
    tap(DIK_LSHIFT);
    EXPECT_EQ(ship_speed, 3);
    frames(1);  // the key up, seen
    ship_x() = 100;
    key(DIK_LSHIFT, true);
    key(DIK_RIGHT, true);
    frames(1);
    EXPECT_EQ(ship_x(), 103.0f) << "the toggle follows the arrows";
    frames(1);
    EXPECT_EQ(ship_x(), 109.0f) << "the next frame steps 6";
}

TEST_F(GameTest, FireOnEverySeventhTimerValue)
{
    empty_scene();
    key(DIK_SPACE, true);
    std::vector<int> fired_at;
    for (int i = 0; i < 60; ++i) {
        const int before = bolts_flying();
        const int timer = frame_timer;
        frames(1);
        if (bolts_flying() > before)
            fired_at.push_back(timer);
    }
    EXPECT_EQ(fired_at, (std::vector<int>{105, 112, 119, 126, 133, 140, 147, 154}));
    EXPECT_EQ(entity_x(bolts[0]), 6 * 53) << "fired from x 0 in the 7th frame, then 53 moves of 6";
    EXPECT_EQ(entity_y(bolts[0]), 240);
}

TEST_F(GameTest, DownGunshipIgnoresArrowsAndFireButToggles)
{
    empty_scene();
    ship.state = 0;
    respawn_pending = 1;
    frame_timer = 0;
    ship_x() = 50;
    key(DIK_RIGHT, true);
    key(DIK_SPACE, true);
    key(DIK_LSHIFT, true);
    frames(1);
    EXPECT_EQ(ship_x(), 50.0f);
    EXPECT_EQ(bolts_flying(), 0);
    EXPECT_EQ(ship_speed, 6);
}

TEST_F(GameTest, ShipHitBoxAndDrawPosition)
{
    ship_x() = 100;
    ship_y() = 50;
    const HitBox box = ship_hit_box();
    EXPECT_EQ(box.x, 60);
    EXPECT_EQ(box.y, 66);
    EXPECT_EQ(box.width, 80);
    EXPECT_EQ(box.height, 32);
    ship_x() = 0;
    EXPECT_EQ(ship_hit_box().x, -40);
    ship_x() = 10.25f;
    ship_y() = 20.75f;
    ship_draw();
    EXPECT_EQ(ship.pos_x, 10.75f);
    EXPECT_EQ(ship.pos_y, 21.25f);
    EXPECT_EQ(ship.frame, 0);
}

TEST_F(GameTest, GunshipShowsAtItsPlace)
{
    empty_scene();
    ship_x() = 200;
    ship_y() = 100;
    frames(1);
    // The gunship's picture covers part of its 80 × 32 box with colours of its own; the backdrop
    // there differs from the frame drawn without it.
    const TestingFrame with = testing_presented_frame();
    ship.state = 0;
    respawn_pending = 1;
    frame_timer = 0;
    for (Star& s : stars)
        s.x += 5;  // the same star positions again
    frames(1);
    const TestingFrame& without = testing_presented_frame();
    int inside = 0, outside = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (with.pixel(x, y) != without.pixel(x, y)) {
                if (x >= 200 && x < 280 && y >= 100 && y < 132)
                    ++inside;
                else if (y > 60)
                    ++outside;  // the heads-up line above y 60 may differ
            }
    EXPECT_GT(inside, 500);
    EXPECT_EQ(outside, 0);
}
