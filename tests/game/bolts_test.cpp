// bolts_test.cpp -- energy bolts: firing and the full pool, age and bounds expiry, the hits on
// rocks and the UFO with their bookkeeping, the level-up test, and the explosion a kill starts.
#include <gtest/gtest.h>

#include "game_fixture.h"

static void bolt_at(int i, int x, int y)
{
    bolts[i].state = 1;
    entity_x(bolts[i]) = x;
    entity_y(bolts[i]) = y;
    bolts[i].vel_x = 6;
    bolts[i].counters[COUNTER_BOLT_AGE] = 0;
}

// A bolt shoots down rock 0 of a wave with `left` rocks to go, after `kills` kills since the level-up.
static void kill_rock(int kills, int left)
{
    kills_since_level = kills;
    place_rock(0, 400, 100, 1, 1);
    wave_rocks_left = left;
    bolt_at(0, 394, 150);
    bolts_move();
}

TEST_F(GameTest, FireTakesTheFirstFreeAndThe33rdIsDropped)
{
    empty_scene();
    bolts[0].state = 1;
    bolt_fire(10, 20, 6, 6, 0);
    EXPECT_EQ(bolts[1].state, 1);
    EXPECT_EQ(entity_x(bolts[1]), 10);
    EXPECT_EQ(entity_y(bolts[1]), 20);
    EXPECT_EQ(bolts[1].vel_x, 6.0f);
    EXPECT_EQ(bolts[1].vel_y, 6.0f);
    EXPECT_EQ(bolts[1].anim, 0);
    EXPECT_TRUE(sound_status(laser_sound) & DSBSTATUS_PLAYING);
    for (int i = 2; i < BOLT_COUNT; ++i)
        bolt_fire(i, 0, 6, 6, 0);
    sound_stop(laser_sound);
    bolt_fire(777, 0, 6, 6, 0);
    for (const Sprite& b : bolts)
        EXPECT_NE(b.int_vars[VAR_X], 777);
    EXPECT_FALSE(sound_status(laser_sound) & DSBSTATUS_PLAYING) << "a dropped shot makes no sound";
}

TEST_F(GameTest, BoltExpiresAfter101Moves)
{
    empty_scene();
    bolt_at(0, 0, 100);
    bolts[0].vel_x = 6;
    for (int i = 0; i < 100; ++i)
        bolts_move();
    EXPECT_EQ(bolts[0].state, 1);
    bolts_move();
    EXPECT_EQ(bolts[0].state, 0);
    EXPECT_EQ(entity_x(bolts[0]), 606);
    EXPECT_EQ(bolts[0].counters[COUNTER_BOLT_AGE], 0);
}

TEST_F(GameTest, BoltLeavingTheScreenIsFree)
{
    empty_scene();
    bolt_at(0, 636, 100);
    bolts_move();
    EXPECT_EQ(bolts[0].state, 0) << "x 642 > 640";
    bolt_at(1, 100, 481);
    bolts_move();
    EXPECT_EQ(bolts[1].state, 0);
    bolt_at(2, 100, 480);
    bolts_move();
    EXPECT_EQ(bolts[2].state, 1) << "480 is still inside";
}

TEST_F(GameTest, RockKillBookkeepingAndExplosion)
{
    empty_scene();
    place_rock(0, 400, 100, 3, 4);
    bolt_at(0, 394, 150);
    const uint32_t seed = random_state;
    bolts_move();
    EXPECT_EQ(rocks[0].state, 0);
    EXPECT_EQ(bolts[0].state, 0);
    EXPECT_EQ(score, 100);
    EXPECT_EQ(kills_since_level, 1);
    EXPECT_EQ(rocks_destroyed, 1);
    EXPECT_EQ(wave_rocks_left, 0);
    EXPECT_EQ(frame_timer, 0);
    const Sprite& e = explosions[0];
    EXPECT_EQ(e.state, 1);
    EXPECT_EQ(entity_x(explosions[0]), 400) << "at the bolt, not at the rock";
    EXPECT_EQ(entity_y(explosions[0]), 150);
    EXPECT_EQ(e.vel_x, 1.0f);
    EXPECT_EQ(e.vel_y, 2.0f);
    EXPECT_EQ(e.int_vars[VAR_ANCHOR], EXPLOSION_AT_OWN);
    random_seed(seed);
    EXPECT_EQ(e.int_vars[VAR_DRAW_HEIGHT], random_next() % 10 + 54);
    EXPECT_EQ(e.int_vars[VAR_DRAW_WIDTH], random_next() % 12 + 68);
    explosions_move();
    EXPECT_EQ(entity_x(explosions[0]), 401);
    EXPECT_EQ(entity_y(explosions[0]), 152);
}

TEST_F(GameTest, OneBoltTwoRocksAndTheUfo)
{
    empty_scene();
    rock_reserve = 98;
    wave_rocks_left = 2;
    place_rock(0, 400, 100, 1, 1);
    place_rock(1, 402, 104, 2, 2);
    ufo.state = 1;
    entity_x(ufo) = 440;  // bolt box against (400, 127, 80, 55)
    entity_y(ufo) = 100;
    bolt_at(0, 394, 150);
    bolts_move();
    EXPECT_EQ(rocks[0].state, 0);
    EXPECT_EQ(rocks[1].state, 0);
    EXPECT_EQ(ufo.state, 0);
    EXPECT_EQ(score, 1200);
    EXPECT_EQ(rocks_destroyed, 2);
    EXPECT_EQ(wave_rocks_left, 0);
    EXPECT_EQ(explosions[0].state + explosions[1].state + explosions[2].state, 3);
    EXPECT_EQ(explosions[1].int_vars[VAR_ANCHOR], EXPLOSION_AT_UFO) << "the UFO in rock 0's pass";
    EXPECT_EQ(explosions[2].int_vars[VAR_ANCHOR], EXPLOSION_AT_OWN);
}

TEST_F(GameTest, ALevelUpInTheBoltsPassWidensTheWaveAtOnce)
{
    // Rock 0 is the wave's last and fifth kill: the level-up to level 2 takes a rock from the reserve,
    // and the same bolt's pass goes on to rock 1, which overlaps rock 0.
    empty_scene();
    level = 1;
    rock_reserve = ROCK_COUNT - 1;
    kills_since_level = 4;
    wave_rocks_left = 1;
    place_rock(0, 400, 100, 1, 1);
    place_rock(1, 402, 104, 2, 2);
    bolt_at(0, 394, 150);
    bolts_move();
    EXPECT_EQ(level, 2);
    EXPECT_EQ(wave_size(), 2);
    EXPECT_EQ(rocks[1].state, 0) << "the rock the level-up brought into the wave";
    EXPECT_EQ(rocks_destroyed, 2);
}

TEST_F(GameTest, UfoCannotBeHitWithoutALiveRock)
{
    empty_scene();
    ufo.state = 1;
    entity_x(ufo) = 440;
    entity_y(ufo) = 100;
    bolt_at(0, 394, 150);
    bolts_move();
    EXPECT_EQ(ufo.state, 1);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(bolts[0].state, 1);
}

TEST_F(GameTest, UfoKillLeavesWaveAndTimerAlone)
{
    empty_scene();
    place_rock(0, 100, 300, 4, 2);
    ufo.state = 1;
    entity_x(ufo) = 440;
    entity_y(ufo) = 100;
    frame_timer = 55;
    bolt_at(0, 394, 150);
    bolts_move();
    EXPECT_EQ(ufo.state, 0);
    EXPECT_EQ(score, 1000);
    EXPECT_EQ(frame_timer, 55);
    EXPECT_EQ(wave_rocks_left, 1);
    EXPECT_EQ(kills_since_level, 0);
    EXPECT_EQ(explosions[0].vel_x, 2.0f) << "half of the velocity of the rock of that pass";
    EXPECT_EQ(explosions[0].vel_y, 1.0f);
}

TEST_F(GameTest, LevelUpAtTheFifthKillThatEmptiesAWave)
{
    empty_scene();
    kill_rock(4, 1);
    EXPECT_EQ(level, 2);
    EXPECT_EQ(kills_since_level, 0);

    rocks[1].state = 0;
    kill_rock(3, 1);
    EXPECT_EQ(level, 2) << "4 kills: the next wave of the same level";
    EXPECT_EQ(kills_since_level, 4);

    kill_rock(10, 2);
    EXPECT_EQ(level, 2) << "a kill that leaves the wave unfinished raises nothing";
}

TEST_F(GameTest, FromLevel5ElevenKillsAreNeeded)
{
    empty_scene();
    level = 5;
    rock_reserve = 97;
    kill_rock(9, 1);
    EXPECT_EQ(level, 5) << "10 kills";
    kill_rock(10, 1);
    EXPECT_EQ(level, 6) << "11 kills";
}
