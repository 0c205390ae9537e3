// ufo_test.cpp -- the UFO: its crossing at start, the single level-1 re-entry after a restart, shot
// down staying down until level 2, killing the gunship, its boxes, and x held while away.
#include <gtest/gtest.h>

#include "game_fixture.h"

// Keeps the rocks of the wave away from the gunship's row, so only the UFO can matter.
static void rocks_away()
{
    for (Sprite& r : rocks)
        r.state = 0;
}

TEST_F(GameTest, CrossesOnceAtStartAndDoesNotReturnOnLevel1)
{
    rocks_away();
    ship.state = 0;  // out of the UFO's way
    respawn_pending = 1;
    frame_timer = -100000;
    EXPECT_EQ(entity_x(ufo), 640);
    frames(80);
    EXPECT_EQ(entity_x(ufo), 0);
    frames(1);
    EXPECT_LT(entity_x(ufo), 0) << "out of sight after 81 frames";
    frames(200);
    EXPECT_LT(entity_x(ufo), 0) << "no return on level 1";
    EXPECT_EQ(ufo.state, 1);
}

TEST_F(GameTest, HeldAtMinus1000WhileAway)
{
    rocks_away();
    entity_x(ufo) = -996;
    ufo_move();
    EXPECT_EQ(entity_x(ufo), -1000);
    ufo_move();
    EXPECT_EQ(entity_x(ufo), -1000);
    entity_x(ufo) = -995;
    ufo_move();
    EXPECT_EQ(entity_x(ufo), -1000) << "below it: held";
}

TEST_F(GameTest, ReentersOnceAfterRestart)
{
    rocks_away();
    entity_x(ufo) = -500;
    game_restart();
    EXPECT_EQ(ufo_rerun_done, 0);
    rocks_away();
    ship.state = 0;
    respawn_pending = 1;
    frame_timer = -100000;
    frames(1);
    EXPECT_EQ(entity_x(ufo), 640) << "back at the right edge in the new game's first frame";
    EXPECT_EQ(ufo_rerun_done, 1);
    frames(81 + 100);
    EXPECT_LT(entity_x(ufo), 0) << "once only";
}

TEST_F(GameTest, ShotDownStaysDownUntilLevel2)
{
    rocks_away();
    ufo.state = 0;
    entity_x(ufo) = -500;
    game_restart();
    rocks_away();
    frames(1);
    EXPECT_EQ(entity_x(ufo), 640) << "re-enters unseen";
    EXPECT_EQ(ufo.state, 0);
    level_up();
    EXPECT_EQ(ufo.state, 1);
    EXPECT_EQ(entity_x(ufo), 640);
}

TEST_F(GameTest, UfoKillsTheGunshipAndFliesOn)
{
    rocks_away();
    // UFO at (30, 230) after its move: box (14, 241, 60, 35) against the gunship's (-40, 256, 80, 32).
    entity_x(ufo) = 38;
    entity_y(ufo) = 230;
    ufo_move();
    EXPECT_EQ(lives, 2);
    EXPECT_EQ(ship.state, 0);
    EXPECT_EQ(ufo.state, 1);
    EXPECT_EQ(explosions[0].int_vars[VAR_ANCHOR], EXPLOSION_AT_SHIP);
    EXPECT_EQ(explosions[0].vel_x, 0.0f);
    EXPECT_EQ(explosions[0].vel_y, 0.0f);
}

TEST_F(GameTest, UfoBoxes)
{
    entity_x(ufo) = 100;
    entity_y(ufo) = 50;
    HitBox box = ufo_hit_box();
    EXPECT_EQ(box.x, 84);
    EXPECT_EQ(box.y, 61);
    EXPECT_EQ(box.width, 60);
    EXPECT_EQ(box.height, 35);
    box = ufo_bolt_hit_box();
    EXPECT_EQ(box.x, 60);
    EXPECT_EQ(box.y, 77);
    EXPECT_EQ(box.width, 80);
    EXPECT_EQ(box.height, 55);
}
