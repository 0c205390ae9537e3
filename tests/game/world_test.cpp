// world_test.cpp -- start-up and shut-down: the first frame's counters, the palette in play, the
// random generator and its seeding, the music choice, and the start-up failures: a missing picture
// or display ends the program through the quit message with one line on standard error.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "display.h"
#include "game_fixture.h"

// ---- the random generator ----

TEST(GameRandom, LinearCongruentialBits16To30)
{
    random_seed(1);
    EXPECT_EQ(random_next(), 41);
    EXPECT_EQ(random_next(), 18467);
    EXPECT_EQ(random_next(), 6334);
    random_seed(0xFFFFFFFFu);
    const uint32_t next = 0xFFFFFFFFu * 214013u + 2531011u;
    EXPECT_EQ(random_next(), static_cast<int>((next >> 16) & 0x7FFF)) << "wraps modulo 2^32";
    for (int i = 0; i < 1000; ++i) {
        const int v = random_next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
}

// ---- a normal start ----

TEST_F(GameTest, FirstFrameCounters)
{
    EXPECT_EQ(game_ready, 1);
    expect_new_game(99, 1);
    EXPECT_EQ(wave_size(), 1);
    for (const Sprite& b : bolts)
        EXPECT_EQ(b.state, 0);
    for (const Sprite& e : explosions)
        EXPECT_EQ(e.state, 0);
    for (const Sprite& r : rocks) {
        EXPECT_EQ(r.state, 1) << "all 100 rocks start in play";
        EXPECT_EQ(r.int_vars[VAR_X], 640);
        EXPECT_GE(r.vel_x, 1.0f);
        EXPECT_LE(r.vel_x, 4.0f);
        EXPECT_LE(r.anim_delay, 5);
    }
    EXPECT_EQ(ufo.state, 1);
    EXPECT_EQ(entity_x(ufo), 640);
    EXPECT_LE(entity_y(ufo), 440);
    for (const Star& s : stars)
        EXPECT_EQ(s.color, 15);
    EXPECT_NE(laser_sound, -1);
    EXPECT_NE(explosion_sound, -1);
    EXPECT_NE(level_sound, -1);
    EXPECT_NE(engine_sound, -1);
}

// The start draws in a fixed order from a seed taken from the clock: the same tick gives the same
// world, stars first, then rocks, then the UFO.
TEST(GameStart, SeededFromTheClockInAFixedOrder)
{
    auto start_at = [](uint32_t tick) {
        testing_reset(tick);
        std::filesystem::current_path(VORLASH_ASSETS_DIR);
        fresh_process(false);
        game_init(nullptr);
    };
    const auto previous = std::filesystem::current_path();
    start_at(5000);
    const Star first_star = stars[0];
    const int rock_y = entity_y(rocks[0]), ufo_y = entity_y(ufo);
    const uint32_t state_after = random_state;
    game_shutdown(nullptr);
    start_at(5000);
    EXPECT_EQ(stars[0].x, first_star.x);
    EXPECT_EQ(entity_y(rocks[0]), rock_y);
    EXPECT_EQ(entity_y(ufo), ufo_y);
    EXPECT_EQ(random_state, state_after);
    game_shutdown(nullptr);

    // Replay the draws by hand: one for the music, then the stars (x before y).
    random_seed(5000);
    random_next();
    const int x = random_next() % 640;
    const int y = random_next() % 480;
    EXPECT_EQ(first_star.x, x);
    EXPECT_EQ(first_star.y, y);
    std::filesystem::current_path(previous);
}

// ---- music ----

TEST_F(GameWithMusic, FiveMusicPiecesAndARandomOnePlaying)
{
    for (int i = 0; i < MUSIC_COUNT; ++i)
        EXPECT_GE(music_ids[i], 0) << "piece " << i;
    EXPECT_GE(music_current, 0);
    bool listed = false;
    for (int id : music_ids)
        listed |= id == music_current;
    EXPECT_TRUE(listed) << "the piece playing is one of the five";
}

// ---- start-up failures ----

class CopiedAssets : public testing::Test {
protected:
    void SetUp() override
    {
        for (const auto& entry : std::filesystem::directory_iterator(VORLASH_ASSETS_DIR))
            if (entry.path().filename().string()[0] != '.')
                std::filesystem::copy_file(entry.path(), folder.file(entry.path().filename().string()));
        fresh_process(false);
    }
    void TearDown() override { game_shutdown(nullptr); }

    // Starts the game and runs the shell's loop turns until the quit message arrives; the exit
    // code, or -1 when frames run on without one.
    int start_and_loop(std::string* error_line)
    {
        testing::internal::CaptureStderr();
        game_init(nullptr);
        *error_line = testing::internal::GetCapturedStderr();
        for (int turn = 0; turn < 10; ++turn) {
            MSG msg{};
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT)
                    return static_cast<int>(msg.wParam);
                DispatchMessageA(&msg);
            }
            game_frame(nullptr);
        }
        return -1;
    }

    ScratchFolder folder;
};

// The pictures share one palette; mark entry 200 differently in the backdrop and in the last rock
// picture to see whose palette is in force during play.
TEST_F(CopiedAssets, PaletteInPlayIsTheLastRockPicture)
{
    auto mark = [&](const char* name, BYTE red) {
        std::FILE* f = std::fopen(folder.file(name).c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        std::fseek(f, 14 + 40 + 4 * 200 + 2, SEEK_SET);  // entry 200's red, after the two headers
        std::fputc(red, f);
        std::fclose(f);
    };
    mark("LAVA.BMP", 11);
    mark("ROCKL0014.BMP", 22);
    mark("ROCKL0015.BMP", 33);
    ASSERT_EQ(game_init(nullptr), 1);
    EXPECT_EQ(shadow_palette[200].peRed, 33);
    game_frame(nullptr);
    EXPECT_EQ(testing_presented_frame().palette[200].peRed, 33);
}

TEST_F(CopiedAssets, EveryMissingPictureIsNamedWithTheFolder)
{
    for (const char* name :
         {"intro2.bmp", "LAVA.BMP", "ENERGY8.BMP", "EXPL8.BMP", "ROCKL0007.BMP", "UFO.BMP", "gunship.bmp"}) {
        SCOPED_TRACE(name);
        std::filesystem::rename(folder.file(name), folder.file("hidden"));
        std::string line;
        EXPECT_EQ(start_and_loop(&line), 1) << "the quit message ends the loop with a failure code";
        EXPECT_NE(line.find(name), std::string::npos) << line;
        EXPECT_NE(line.find(std::filesystem::current_path().string()), std::string::npos) << line;
        EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << "one line: " << line;
        EXPECT_EQ(game_ready, 0);
        EXPECT_EQ(dd, nullptr) << "the display is given back";
        game_shutdown(nullptr);
        std::filesystem::rename(folder.file("hidden"), folder.file(name));
        testing_reset();
        fresh_process(false);
    }
}

TEST_F(CopiedAssets, PictureOfTheWrongShapeIsRefused)
{
    std::filesystem::copy_file(folder.file("ENERGY8.BMP"), folder.file("UFO.BMP"),
                               std::filesystem::copy_options::overwrite_existing);
    std::string line;
    EXPECT_EQ(start_and_loop(&line), 1);
    EXPECT_NE(line.find("UFO.BMP"), std::string::npos) << line;
    EXPECT_NE(line.find("81 x 56"), std::string::npos) << "says the size its cell sheet needs: " << line;
}

TEST_F(CopiedAssets, DisplayThatCannotBeSetUp)
{
    testing_fault("IDirectDraw7::SetDisplayMode", 1, DDERR_INVALIDMODE);
    std::string line;
    EXPECT_EQ(start_and_loop(&line), 1);
    EXPECT_NE(line.find("display"), std::string::npos) << line;
    EXPECT_NE(line.find(": the display mode 640 x 480 with 8 bits a pixel is refused (error 0x"), std::string::npos)
        << "says why: " << line;
    EXPECT_EQ(dd, nullptr);
    EXPECT_EQ(testing_open_files(), 0) << "no picture was opened";
}

TEST_F(CopiedAssets, MissingSoundsAndMusicLeaveIdsAtMinusOne)
{
    std::filesystem::remove(folder.file("lasertw.WAV"));
    std::filesystem::remove(folder.file("cannon2.WAV"));
    std::string line;
    EXPECT_EQ(start_and_loop(&line), -1) << "the game plays on";
    const std::string from = " from " + std::filesystem::current_path().string() + ": the file cannot be opened; ";
    EXPECT_EQ(line, "vorlash: cannot load the sound lasertw.WAV" + from + "it stays silent\n" +
                        "vorlash: cannot load the sound cannon2.WAV" + from + "it stays silent\n")
        << "each named with why, and no line for the music, which is off";
    EXPECT_EQ(game_ready, 1);
    EXPECT_EQ(laser_sound, -1);
    EXPECT_EQ(explosion_sound, -1);
    EXPECT_GE(level_sound, 0);
    for (int id : music_ids)
        EXPECT_EQ(id, -1) << "no soundfont: no music";
    // Play requests for the missing ones are skipped: firing and an explosion change nothing.
    bolt_fire(100, 100, 6, 6, 0);
    explosion_start(100, 100, 70, 60, 0, 0, 0);
    level = 3;
    level_up();
    EXPECT_EQ(level, 4);
    EXPECT_EQ(bolts[0].state, 1);
    EXPECT_EQ(explosions[0].state, 1);
}

// ---- sound reaching the mixer ----

static int render_peak(int frames)
{
    int peak = 0;
    for (int16_t s : testing_audio_render(frames))
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

TEST_F(GameWithMusic, MusicAndEffectsReachTheMixer)
{
    const int rate = testing_audio_rate();
    EXPECT_GT(render_peak(rate), 300) << "the piece started at start-up is heard";
    music_stop(music_current);
    render_peak(rate / 10);  // what the synthesizer still had in flight
    EXPECT_LT(render_peak(rate / 10), 50) << "quiet once the music is stopped";
    empty_scene();
    bolt_fire(10, 10, 6, 6, 0);
    EXPECT_GT(render_peak(rate / 10), 2000) << "the laser";
    sound_stop_all();
    explosion_start(10, 10, 70, 60, 0, 0, EXPLOSION_AT_OWN);
    EXPECT_GT(render_peak(rate / 10), 2000) << "the explosion";
    sound_stop_all();
    level_up();
    EXPECT_GT(render_peak(rate / 10), 2000) << "the level sound of an even level";
}
