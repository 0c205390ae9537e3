// stars_intro_test.cpp -- the star field's drift and wrap, and the intro screens: copy_screen8 in
// both modes with a wide pitch, the hold times on the virtual clock and the order of the screens.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "game_fixture.h"

// ---- stars ----

TEST_F(GameTest, StarsWrapAtTheLeftEdge)
{
    stars[0].x = 3;
    stars[1].x = 5;
    stars[2].x = 639;
    stars_move();
    EXPECT_EQ(stars[0].x, 638);
    EXPECT_EQ(stars[1].x, 0);
    EXPECT_EQ(stars[2].x, 634);
    stars_move();
    EXPECT_EQ(stars[1].x, 635);
}

TEST_F(GameTest, StarsKeepMovingOnTheGameOverScreen)
{
    lives = 0;
    level = 40;
    const int y = stars[7].y;
    stars[7].x = 300;
    frames(2);
    EXPECT_EQ(stars[7].x, 290) << "5 pixels a frame at any level";
    EXPECT_EQ(stars[7].y, y);
}

TEST_F(GameTest, StarsShowInColour15)
{
    empty_scene();
    for (Star& s : stars) {
        s.x = 300;
        s.y = 400;
    }
    stars[0].x = 105;
    stars[0].y = 300;
    frames(1);
    const TestingFrame& f = testing_presented_frame();
    EXPECT_EQ(f.pixel(100, 300), 15u);
    EXPECT_EQ(f.pixel(295, 400), 15u);
}

// ---- copy_screen8 ----

TEST(IntroCopy, OpaqueAndTransparentRowsWithAWidePitch)
{
    constexpr int PITCH = 700;
    std::vector<uint8_t> source(640 * 480, 0), dest(PITCH * 480, 9);
    for (int x = 0; x < 640; ++x)
        source[5 * 640 + x] = static_cast<uint8_t>(x % 2 ? 7 : 0);
    EXPECT_EQ(copy_screen8(source.data(), dest.data(), PITCH, 1), 1);
    for (int x = 0; x < 640; ++x)
        ASSERT_EQ(dest[5 * PITCH + x], x % 2 ? 7 : 9) << "key pixels leave the destination, x " << x;
    EXPECT_EQ(dest[3 * PITCH + 10], 9) << "an all-zero row leaves the destination untouched";

    copy_screen8(source.data(), dest.data(), PITCH, 0);
    EXPECT_EQ(dest[3 * PITCH + 10], 0) << "opaque: the zero row is copied";
    EXPECT_EQ(dest[5 * PITCH + 0], 0);
    EXPECT_EQ(dest[5 * PITCH + 1], 7);
    for (int y = 0; y < 480; ++y)
        for (int x = 640; x < PITCH; ++x)
            ASSERT_EQ(dest[y * PITCH + x], 9) << "bytes between 640 and the pitch, row " << y;
    EXPECT_EQ(copy_screen8(nullptr, dest.data(), PITCH, 0), 1);
}

// ---- the intro screens ----

class IntroScreens : public testing::Test {
protected:
    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(VORLASH_ASSETS_DIR);
        make_test_window();
        ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    }
    void TearDown() override
    {
        display_shutdown();
        std::filesystem::current_path(previous_);
    }
    std::filesystem::path previous_;
};

TEST_F(IntroScreens, HoldTimesAndTheFadeToBlack)
{
    for (int screen : {1, 2, 3}) {
        const uint32_t before = GetTickCount();
        EXPECT_EQ(show_intro_screen(screen), 1);
        const uint32_t spent = GetTickCount() - before;
        const uint32_t hold = screen == 2 ? 10000u : 5000u;
        EXPECT_GE(spent, hold + 960u) << "screen " << screen << ": its time and an 80-step fade";
        EXPECT_LT(spent, hold + 2 * 960u) << "screen " << screen;
        int lit = 0;
        for (int i = 1; i < 256; ++i)
            lit += shadow_palette[i].peRed > 15 || shadow_palette[i].peGreen > 15 || shadow_palette[i].peBlue > 15;
        EXPECT_EQ(lit, 0) << "faded to black";
        const TestingFrame& f = testing_presented_frame();
        int nonzero = 0;
        for (uint8_t p : f.pixels)
            nonzero += p != 0;
        EXPECT_EQ(nonzero, 0) << "the screen is cleared after the fade";
    }
}

TEST_F(IntroScreens, PictureShownOnThePrimaryWithItsPalette)
{
    // With every fill refused the primary keeps the picture to the end, so the last presented
    // frame shows what was copied; its palette is the picture's own after 80 steps of the fade.
    BitmapFile intro{};
    ASSERT_EQ(bitmap_load(&intro, "intro3.bmp"), 1);
    testing_fault("IDirectDrawSurface7::Blt", 0, DDERR_GENERIC);
    EXPECT_EQ(show_intro_screen(3), 1);
    testing_faults_clear();
    const TestingFrame& f = testing_presented_frame();
    ASSERT_EQ(f.pixels.size(), 640u * 480u);
    EXPECT_EQ(f.pixels, std::vector<uint8_t>(intro.pixels, intro.pixels + 640 * 480));
    int bright = 0;
    for (int i = 1; i < 256; ++i) {
        if (intro.palette[i].peRed < 242)
            continue;  // these end at 4 or less
        ++bright;
        EXPECT_EQ(shadow_palette[i].peRed, intro.palette[i].peRed - 240) << "entry " << i;
    }
    EXPECT_GT(bright, 0) << "the picture has bright reds to follow";
    bitmap_unload(&intro);
}

TEST_F(IntroScreens, MissingSecondPictureStopsAfterTheFirst)
{
    ScratchFolder folder;
    std::filesystem::copy_file(std::filesystem::path(VORLASH_ASSETS_DIR) / "intro.bmp", folder.file("intro.bmp"));
    const uint32_t before = GetTickCount();
    EXPECT_EQ(show_intro_screen(1), 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(show_intro_screen(2), 0);
    const std::string line = testing::internal::GetCapturedStderr();
    EXPECT_NE(line.find("intro2.bmp"), std::string::npos) << line;
    EXPECT_LT(GetTickCount() - before, 5000u + 2 * 960u) << "no hold for a picture that did not load";
}
