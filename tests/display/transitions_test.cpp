// transitions_test.cpp -- screen transitions: the palette arithmetic of the fades and washes, the
// pacing on the virtual clock, the bars and the dissolve clearing the screen, and span clipping.
#include <gtest/gtest.h>

#include <vector>

#include "display.h"
#include "fixtures.h"

static PALETTEENTRY colour(int r, int g, int b, int flags = 0)
{
    return {static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b), static_cast<BYTE>(flags)};
}

static void expect_colour(const PALETTEENTRY& got, int r, int g, int b, int flags, const char* what)
{
    EXPECT_EQ(got.peRed, r) << what;
    EXPECT_EQ(got.peGreen, g) << what;
    EXPECT_EQ(got.peBlue, b) << what;
    EXPECT_EQ(got.peFlags, flags) << what;
}

class Transitions : public testing::Test {
protected:
    void SetUp() override
    {
        make_test_window();
        ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    }
    void TearDown() override { display_shutdown(); }

    void set_palette(std::initializer_list<std::pair<int, PALETTEENTRY>> entries)
    {
        PALETTEENTRY p[256];
        for (int i = 0; i < 256; ++i)
            p[i] = colour(i, i, i, PC_NOCOLLAPSE);
        for (const auto& [index, c] : entries)
            p[index] = c;
        palette_set_all(p);
    }

    // Paints the back buffer in a pattern with no zero byte and returns it locked.
    uint8_t* patterned_back()
    {
        uint8_t* buffer = back_lock();
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                buffer[y * back_pitch + x] = static_cast<uint8_t>(1 + (x + y) % 200);
        return buffer;
    }

    int nonzero_pixels(const uint8_t* buffer, int pitch)
    {
        int count = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                count += buffer[y * pitch + x] != 0;
        return count;
    }
};

// ---- palette effects ----

TEST_F(Transitions, FadeToBlackArithmeticAndEntryZero)
{
    set_palette({{0, colour(90, 80, 70, 0)},
                 {1, colour(255, 255, 255, 4)},
                 {2, colour(4, 200, 2, 0)},
                 {3, colour(250, 100, 5, 0)}});
    const uint32_t before = GetTickCount();
    screen_transition(TRANSITION_FADE_BLACK, nullptr, 0);
    expect_colour(shadow_palette[0], 90, 80, 70, 0, "entry 0 is left alone");
    expect_colour(shadow_palette[1], 15, 15, 15, 4, "255 ends at 15, flags kept");
    expect_colour(shadow_palette[2], 0, 0, 0, 0, "200 reaches 0 within 80 steps");
    expect_colour(shadow_palette[3], 10, 0, 0, 0, "250 - 240");
    PALETTEENTRY device{};
    display_palette->GetEntries(0, 1, 1, &device);
    EXPECT_EQ(device.peRed, 15) << "the faded palette is in force on the device";
    EXPECT_GE(GetTickCount() - before, 80u * 12u) << "80 steps of at least 12 ms";
    EXPECT_LT(GetTickCount() - before, 80u * 12u * 2u);
}

TEST_F(Transitions, FadeToBlackStepCount)
{
    // 80 steps of 3: 245 ends at 5 and 246 at 6, both still above the cut-off of 4.
    set_palette({{5, colour(245, 246, 4, 1)}});
    screen_transition(TRANSITION_FADE_BLACK, nullptr, 0);
    expect_colour(shadow_palette[5], 5, 6, 0, 1, "80 steps");
}

TEST_F(Transitions, FadeToWhiteAndWashes)
{
    set_palette({{0, colour(10, 20, 30)}, {7, colour(250, 0, 128)}, {8, colour(100, 100, 100)}});
    screen_transition(TRANSITION_FADE_WHITE, nullptr, 0);
    expect_colour(shadow_palette[0], 255, 255, 255, 0, "entry 0 takes part in the washes");
    expect_colour(shadow_palette[7], 255, 255, 255, 0, "64 × 4 reaches 255 from 0");

    set_palette({{8, colour(100, 100, 100)}, {9, colour(255, 255, 0)}});
    screen_transition(TRANSITION_WASH_BLUE, nullptr, 0);
    expect_colour(shadow_palette[8], 0, 0, 255, 0, "blue wash");
    expect_colour(shadow_palette[9], 0, 0, 255, 0, "blue wash");

    set_palette({{8, colour(100, 100, 100)}, {9, colour(0, 0, 255)}});
    screen_transition(TRANSITION_WASH_RED, nullptr, 0);
    expect_colour(shadow_palette[8], 255, 0, 0, 0, "red wash");
    expect_colour(shadow_palette[9], 255, 0, 0, 0, "red wash");

    set_palette({{8, colour(250, 10, 250)}});
    screen_transition(TRANSITION_WASH_GREEN, nullptr, 0);
    expect_colour(shadow_palette[8], 0, 255, 0, 0, "green wash");
}

TEST_F(Transitions, WashesTake64PacedSteps)
{
    // From 0, 64 steps of 4 just pass 255 (63 would leave 252); from 255, 64 steps of 4 just pass 0.
    set_palette({{4, colour(0, 255, 0)}});
    const uint32_t before = GetTickCount();
    screen_transition(TRANSITION_WASH_RED, nullptr, 0);
    const uint32_t spent = GetTickCount() - before;
    EXPECT_EQ(shadow_palette[4].peGreen, 0);
    EXPECT_GE(spent, 64u * 12u);
    EXPECT_LT(spent, 65u * 14u) << "64 steps, not more";
    set_palette({{4, colour(0, 0, 0)}});
    screen_transition(TRANSITION_FADE_WHITE, nullptr, 0);
    expect_colour(shadow_palette[4], 255, 255, 255, 0, "64 × 4 = 256 is bounded to 255");
}

TEST_F(Transitions, OutOfRangeEffectsDoNothing)
{
    set_palette({{3, colour(50, 60, 70)}});
    uint8_t* buffer = patterned_back();
    for (int effect : {9, -1, 100}) {
        const uint32_t before = GetTickCount();
        screen_transition(effect, buffer, back_pitch);
        EXPECT_LE(GetTickCount() - before, 1u) << "effect " << effect << " returns at once";
    }
    expect_colour(shadow_palette[3], 50, 60, 70, 0, "palette untouched");
    EXPECT_EQ(nonzero_pixels(buffer, back_pitch), 640 * 480) << "pixels untouched";
    back_unlock();
}

// ---- pixel effects ----

TEST_F(Transitions, BarsLeaveTheScreenAtZero)
{
    for (int effect : {TRANSITION_BARS_SIDES, TRANSITION_BARS_TOP_BOTTOM, TRANSITION_BARS_ALL}) {
        uint8_t* buffer = patterned_back();
        screen_transition(effect, buffer, back_pitch);
        EXPECT_EQ(nonzero_pixels(buffer, back_pitch), 0) << "effect " << effect;
        back_unlock();
    }
}

TEST_F(Transitions, BarsFromTheSidesTake160Steps)
{
    uint8_t* buffer = patterned_back();
    const uint32_t before = GetTickCount();
    screen_transition(TRANSITION_BARS_SIDES, buffer, back_pitch);
    const uint32_t spent = GetTickCount() - before;
    EXPECT_GE(spent, 160u * 12u);
    EXPECT_LT(spent, 161u * 14u) << "160 paced steps, about 13 ms each on the stepping clock";
    back_unlock();
}

TEST_F(Transitions, BarsFollowTheClipRectangle)
{
    uint8_t* buffer = patterned_back();
    clip_min_x = 100;
    clip_max_x = 199;
    screen_transition(TRANSITION_BARS_TOP_BOTTOM, buffer, back_pitch);
    EXPECT_NE(buffer[10 * back_pitch + 99], 0) << "left of the clip rectangle";
    EXPECT_EQ(buffer[10 * back_pitch + 100], 0);
    EXPECT_EQ(buffer[479 * back_pitch + 199], 0);
    EXPECT_NE(buffer[479 * back_pitch + 200], 0) << "right of the clip rectangle";
    back_unlock();
}

TEST_F(Transitions, DissolveClearsAlmostEverythingWithoutPause)
{
    uint8_t* buffer = patterned_back();
    const uint32_t before = GetTickCount();
    screen_transition(TRANSITION_DISSOLVE, buffer, back_pitch);
    EXPECT_LE(GetTickCount() - before, 1u) << "the dissolve does not pace itself";
    // Each pixel is missed by 4 × 640 × 480 draws with chance e^-4: about 2 % of them stay.
    EXPECT_LT(nonzero_pixels(buffer, back_pitch), 640 * 480 / 20);
    EXPECT_GT(nonzero_pixels(buffer, back_pitch), 0) << "a few pixels are missed";
    back_unlock();
}

TEST_F(Transitions, PixelEffectsIn16Bits)
{
    display_shutdown();
    ASSERT_EQ(display_init(640, 480, 16, 0), 1);
    int pitch = 0;
    auto* buffer = reinterpret_cast<uint16_t*>(surface_lock(back_surface, &pitch));
    ASSERT_NE(buffer, nullptr);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            buffer[y * (pitch / 2) + x] = 0xBEEF;
    screen_transition(TRANSITION_BARS_ALL, reinterpret_cast<uint8_t*>(buffer), pitch);
    int left = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            left += buffer[y * (pitch / 2) + x] != 0;
    EXPECT_EQ(left, 0);
    surface_unlock(back_surface);
}

// ---- spans ----

class Spans : public testing::Test {
protected:
    static constexpr int PITCH = 700;  // wider than the 640-pixel clip rectangle
    void SetUp() override
    {
        clip_min_x = 0;
        clip_min_y = 0;
        clip_max_x = 639;
        clip_max_y = 479;
        pixels.assign(PITCH * 480, 7);
    }
    int row_count(int y, int value) const
    {
        int n = 0;
        for (int x = 0; x < PITCH; ++x)
            n += pixels[y * PITCH + x] == value;
        return n;
    }
    std::vector<uint8_t> pixels;
};

TEST_F(Spans, HorizontalClippedBothEnds)
{
    hline8(700, -5, 20, 3, pixels.data(), PITCH);
    EXPECT_EQ(row_count(20, 3), 640) << "columns 0 … 639 only";
    EXPECT_EQ(pixels[20 * PITCH + 640], 7) << "the bytes between the width and the pitch stay";
    hline8(0, 639, 480, 3, pixels.data(), PITCH);
    hline8(0, 639, -1, 3, pixels.data(), PITCH);
    hline8(640, 900, 5, 3, pixels.data(), PITCH);
    hline8(-50, -1, 6, 3, pixels.data(), PITCH);
    EXPECT_EQ(row_count(5, 3) + row_count(6, 3), 0) << "wholly outside";
    hline8(10, 12, 7, 0x1FF, pixels.data(), PITCH);
    EXPECT_EQ(pixels[7 * PITCH + 12], 0xFF) << "the low byte of the colour";
    EXPECT_EQ(row_count(7, 0xFF), 3);
}

TEST_F(Spans, VerticalOrderedAndClipped)
{
    vline8(10, 5, 3, 9, pixels.data(), PITCH);
    for (int y = 0; y < 480; ++y)
        EXPECT_EQ(pixels[y * PITCH + 3], (y >= 5 && y <= 10) ? 9 : 7) << "row " << y;
    vline8(-100, 1000, 4, 9, pixels.data(), PITCH);
    int n = 0;
    for (int y = 0; y < 480; ++y)
        n += pixels[y * PITCH + 4] == 9;
    EXPECT_EQ(n, 480);
    vline8(0, 479, 640, 9, pixels.data(), PITCH);
    vline8(0, 479, -1, 9, pixels.data(), PITCH);
    vline8(480, 600, 5, 9, pixels.data(), PITCH);
    EXPECT_EQ(pixels[0 * PITCH + 640], 7);
    EXPECT_EQ(pixels[479 * PITCH + 5], 7);
}

TEST_F(Spans, SixteenBitSpansAndWordFill)
{
    std::vector<uint16_t> words(PITCH / 2 * 480, 1);
    clip_max_x = 299;
    hline16(-10, 400, 2, 0x12345, words.data(), PITCH);
    int n = 0;
    for (int x = 0; x < PITCH / 2; ++x)
        n += words[2 * (PITCH / 2) + x] == 0x2345;
    EXPECT_EQ(n, 300) << "clipped to 0 … 299, the low 16 bits";
    vline16(7, 3, 5, 0xABCD, words.data(), PITCH);
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(words[y * (PITCH / 2) + 5], (y >= 3 && y <= 7) ? 0xABCD : (y == 2 ? 0x2345 : 1)) << y;
    std::vector<uint16_t> run(4, 5);
    fill_words16(run.data(), 0xFFFF0009, 3);
    EXPECT_EQ(run, (std::vector<uint16_t>{9, 9, 9, 5}));
    fill_words16(run.data(), 1, 0);
    EXPECT_EQ(run[0], 9) << "count 0 stores nothing";
}
