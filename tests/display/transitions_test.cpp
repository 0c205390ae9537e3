// transitions_test.cpp -- screen transitions: the palette arithmetic of the fades and washes, the
// pacing on the virtual clock, and the bars and the dissolve clearing the screen.
#include <gtest/gtest.h>

#include <algorithm>
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

// The test hooks' host that counts, in each picture it is given, the rows wholly at colour 0.
class BlackRows final : public TestingHost {
public:
    void present(const HostFrame& frame) override
    {
        int rows = 0;
        for (int y = 0; y < frame.height; ++y) {
            const uint8_t* row = frame.pixels + static_cast<size_t>(y) * frame.pitch;
            rows += std::all_of(row, row + frame.width, [](uint8_t p) { return p == 0; });
        }
        shown.push_back(rows);
    }
    std::vector<int> shown;
};

TEST_F(Transitions, TheLockedPrimaryShowsAtEachWaitAsTheBarsCloseIn)
{
    patterned_back();
    back_unlock();
    display_flip();
    BlackRows screen;
    host_install(&screen);
    uint8_t* visible = primary_lock();  // sets primary_pitch
    screen_transition(TRANSITION_BARS_TOP_BOTTOM, visible, primary_pitch);
    const std::vector<int> bars = screen.shown;
    primary_unlock();
    screen.shown.clear();
    visible = primary_lock();
    screen_transition(TRANSITION_DISSOLVE, visible, primary_pitch);
    const size_t during_dissolve = screen.shown.size();
    primary_unlock();
    host_install(nullptr);
    // 120 steps of about 14 ms on the stepping clock, shown at most once per 17 ms refresh.
    EXPECT_GT(bars.size(), 60u) << "pictures shown while the bars closed in";
    EXPECT_LE(bars.size(), 120u);
    for (size_t i = 1; i < bars.size(); ++i)
        EXPECT_GT(bars[i], bars[i - 1]) << "picture " << i << " has more black rows than the one before";
    EXPECT_EQ(during_dissolve, 0u) << "the dissolve never waits, so no screen refresh falls inside it";
    EXPECT_EQ(screen.shown.size(), 1u) << "its unlock shows it";
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
