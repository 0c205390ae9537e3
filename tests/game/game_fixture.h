// game_fixture.h -- what the game's tests share: a started game on the headless host with the
// generated assets and the virtual clock, scripted keys and frames, and looks at the picture.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "audio.h"
#include "fixtures.h"
#include "game.h"
#include "input.h"

// What a start needs from the platform and the layers as at program load: a window, the sound
// layer's first start still to come (it outlives a shut-down within one process), and no
// soundfont unless music is wanted.
inline void fresh_process(bool music)
{
    make_test_window();
    sound_first_init = 1;
    if (!music)
        testing_soundfont("");
}

// Puts rock j in play at (x, y) with the given velocity.
inline void place_rock(int j, int x, int y, int vx, int vy)
{
    rocks[j].state = 1;
    entity_x(rocks[j]) = x;
    entity_y(rocks[j]) = y;
    rocks[j].vel_x = static_cast<float>(vx);
    rocks[j].vel_y = static_cast<float>(vy);
}

// Starts the game in the assets folder. The synthesizer gets no soundfont unless a test asks for
// one (music then fails to start and every music id stays -1), which keeps start-up quick.
class GameTest : public testing::Test {
protected:
    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(VORLASH_ASSETS_DIR);
        fresh_process(with_music());
        ASSERT_EQ(game_init(nullptr), 1);
    }
    void TearDown() override
    {
        game_shutdown(nullptr);
        std::filesystem::current_path(previous_);
    }
    virtual bool with_music() const { return false; }

    static void frames(int count)
    {
        for (int i = 0; i < count; ++i)
            game_frame(nullptr);
    }
    static void key(int code, bool down) { testing_key(code, down); }
    // One frame with the key held, then released.
    static void tap(int code)
    {
        testing_key(code, true);
        game_frame(nullptr);
        testing_key(code, false);
    }
    // Puts every entity but the gunship out of play, for tests that set up a scene by hand.
    static void empty_scene()
    {
        for (Sprite& r : rocks)
            r.state = 0;
        for (Sprite& b : bolts)
            b.state = 0;
        for (Sprite& e : explosions)
            e.state = 0;
        ufo.state = 0;
        entity_x(ufo) = UFO_AWAY_LIMIT;
    }

private:
    std::filesystem::path previous_;
};

class GameWithMusic : public GameTest {
protected:
    bool with_music() const override { return true; }
};

// The counters, settings and gunship of a new game, with frame_timer and ufo_rerun_done as given
// (they differ between the first start and a restart).
inline void expect_new_game(int timer, int ufo_rerun)
{
    EXPECT_EQ(score, 0);
    EXPECT_EQ(lives, 3);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(frame_timer, timer);
    EXPECT_EQ(rock_reserve, 99);
    EXPECT_EQ(rock_speed_range, 1);
    EXPECT_EQ(ship_speed, 3);
    EXPECT_EQ(shift_latch, 0);
    EXPECT_EQ(kills_since_level, 0);
    EXPECT_EQ(rocks_destroyed, 0);
    EXPECT_EQ(rocks_missed, 0);
    EXPECT_EQ(respawn_pending, 0);
    EXPECT_EQ(ufo_rerun_done, ufo_rerun);
    EXPECT_EQ(wave_rocks_left, 1);
    EXPECT_EQ(ship.state, 1);
    EXPECT_EQ(ship_x(), 0.0f);
    EXPECT_EQ(ship_y(), 240.0f);
}

// The presented frame's colour at a pixel.
inline PALETTEENTRY shown_colour(int x, int y)
{
    const TestingFrame& f = testing_presented_frame();
    return f.palette[f.pixel(x, y)];
}

// Pixels of the presented frame in the rectangle whose colour passes `test`.
template <typename Test> int count_shown(int left, int top, int right, int bottom, Test test)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += test(shown_colour(x, y)) ? 1 : 0;
    return n;
}

inline bool is_white(const PALETTEENTRY& c) { return c.peRed == 255 && c.peGreen == 255 && c.peBlue == 255; }
inline bool is_red(const PALETTEENTRY& c) { return c.peRed >= 150 && c.peGreen < 80 && c.peBlue < 80; }
