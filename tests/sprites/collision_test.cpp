// collision_test.cpp -- overlap tests on reduced boxes (strict edges, half-extent 0, symmetry, a
// model of the boxes, extreme positions) and the colour scans (clamping, inverted rectangles,
// colour ranges and low bytes) on buffers exactly the screen's size.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "canvas.h"
#include "sprites.h"

namespace {

// ---- rects_collide ----

TEST(RectsCollide, EdgesAreStrictOnBothAxesAndBothSides)
{
    // 80 × 32: half-extents 30 and 12, so centres must be closer than 60 and 24.
    EXPECT_EQ(rects_collide(0, 0, 80, 32, 59, 0, 80, 32), 1);
    EXPECT_EQ(rects_collide(0, 0, 80, 32, 60, 0, 80, 32), 0) << "the pictures overlap by 20 pixels, the boxes do not";
    EXPECT_EQ(rects_collide(0, 0, 80, 32, -59, 0, 80, 32), 1);
    EXPECT_EQ(rects_collide(0, 0, 80, 32, -60, 0, 80, 32), 0);
    EXPECT_EQ(rects_collide(0, 0, 80, 32, 0, 23, 80, 32), 1);
    EXPECT_EQ(rects_collide(0, 0, 80, 32, 0, 24, 80, 32), 0);
    EXPECT_EQ(rects_collide(0, 0, 80, 32, 59, -23, 80, 32), 1);
    EXPECT_EQ(rects_collide(0, 0, 80, 32, 59, -24, 80, 32), 0) << "both axes must be close";
}

TEST(RectsCollide, HalfExtentZeroNeedsTheOtherBoxAlone)
{
    EXPECT_EQ(rects_collide(5, 5, 8, 8, 5, 5, 8, 8), 1);
    EXPECT_EQ(rects_collide(5, 5, 1, 1, 5, 5, 1, 1), 0) << "0 < 0 is false";
    EXPECT_EQ(rects_collide(5, 5, 7, 7, 5, 5, 7, 7), 1) << "e(7) = 3";
    // A 0 × 8 box at x 10 (centre 10) against 8 × 8 boxes (half-extent 3, centre x + 3).
    for (int x = 0; x <= 14; ++x)
        EXPECT_EQ(rects_collide(10, 0, 0, 8, x, 0, 8, 8), x >= 5 && x <= 9) << "x " << x;
}

// The reduced box of a size with a positive half-extent covers corner .. corner + 2e - 1.
bool boxes_overlap(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2)
{
    const auto e = [](int s) { return (s >> 1) - (s >> 3); };
    return x1 < x2 + 2 * e(w2) && x2 < x1 + 2 * e(w1) && y1 < y2 + 2 * e(h2) && y2 < y1 + 2 * e(h1);
}

TEST(RectsCollide, AgreesWithTheReducedBoxesInEitherOrder)
{
    TestRandom r;
    int hits = 0;
    for (int i = 0; i < 20000; ++i) {
        const int x1 = r.range(-50, 50), y1 = r.range(-50, 50), w1 = r.range(2, 100), h1 = r.range(2, 100);
        const int x2 = r.range(-50, 50), y2 = r.range(-50, 50), w2 = r.range(0, 100), h2 = r.range(0, 100);
        const int forward = rects_collide(x1, y1, w1, h1, x2, y2, w2, h2);
        ASSERT_EQ(forward, rects_collide(x2, y2, w2, h2, x1, y1, w1, h1)) << i;
        if (w2 >= 2 && h2 >= 2) {
            ASSERT_EQ(forward, boxes_overlap(x1, y1, w1, h1, x2, y2, w2, h2) ? 1 : 0) << i;
        }
        hits += forward;
    }
    EXPECT_GT(hits, 2000) << "the sample holds hits and misses alike";
    EXPECT_LT(hits, 18000);
}

TEST(RectsCollide, ExtremePositionsAndSizesDoNotOverflow)
{
    EXPECT_EQ(rects_collide(INT_MAX - 10, INT_MAX - 10, 80, 80, INT_MAX - 10, INT_MAX - 10, 80, 80), 1);
    EXPECT_EQ(rects_collide(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX), 0);
    EXPECT_EQ(rects_collide(INT_MIN, 0, INT_MAX, 8, INT_MIN, 0, INT_MAX, 8), 1);
    EXPECT_EQ(rects_collide(0, 0, -8, -8, 0, 0, -8, -8), 0) << "negative sizes have negative extents";
}

// ---- sprite_collide ----

Sprite at(float x, float y, int width, int height)
{
    Sprite s{};
    s.pos_x = x, s.pos_y = y, s.width = width, s.height = height;
    return s;
}

TEST(SpriteCollide, UsesTheRecordsSizesAndPositions)
{
    const Sprite ship = at(0, 0, 80, 32);
    Sprite other = at(59, 0, 80, 32);
    EXPECT_EQ(sprite_collide(&ship, &other), 1);
    EXPECT_EQ(sprite_collide(&other, &ship), 1);
    other.pos_x = 60;
    EXPECT_EQ(sprite_collide(&ship, &other), 0);
    EXPECT_EQ(sprite_collide(&other, &ship), 0);
    other.pos_x = 59.9f;
    EXPECT_EQ(sprite_collide(&ship, &other), 1) << "the centre 89.9 truncates to 89";
    EXPECT_EQ(sprite_collide(nullptr, &ship), 0);
    EXPECT_EQ(sprite_collide(&ship, nullptr), 0);
}

TEST(SpriteCollide, CentresTruncateTowardZero)
{
    // 8 × 8: half-extent 3, centres must be closer than 6.
    Sprite a = at(-0.5f, 0, 8, 8), b = at(5, 0, 8, 8);
    EXPECT_EQ(sprite_collide(&a, &b), 0) << "trunc(3 - 0.5) = 2 against 8";
    b.pos_x = 4;
    EXPECT_EQ(sprite_collide(&a, &b), 1);
    a.pos_x = -3.5f;  // centre trunc(-0.5) = 0, where rounding down would give -1
    b.pos_x = 2;  // centre 5
    EXPECT_EQ(sprite_collide(&a, &b), 1);
    EXPECT_EQ(sprite_collide(&b, &a), 1);
}

// ---- colour scans ----

// A buffer exactly the screen's size with a pitch wider than a row, so a read past it is seen.
template <class Pixel> struct ScreenBuffer {
    static constexpr int LINE = 648;  // pixels from one row to the next
    std::vector<Pixel> px = std::vector<Pixel>(static_cast<size_t>(LINE) * 479 + 640, 0);
    Pixel& at(int x, int y) { return px[static_cast<size_t>(y) * LINE + x]; }
    int pitch() const { return LINE * static_cast<int>(sizeof(Pixel)); }
};

class ColorScan : public testing::Test {
protected:
    void SetUp() override
    {
        saved_width_ = screen_width, saved_height_ = screen_height;
        screen_width = 640, screen_height = 480;
    }
    void TearDown() override { screen_width = saved_width_, screen_height = saved_height_; }

private:
    int saved_width_ = 0, saved_height_ = 0;
};

TEST_F(ColorScan, RectanglesAreClampedToTheScreen)
{
    ScreenBuffer<uint8_t> b;
    b.at(639, 479) = 9;
    EXPECT_EQ(color_scan8(-10, -10, 700, 500, 9, 9, b.px.data(), b.pitch()), 1) << "the whole screen is tested";
    EXPECT_EQ(color_scan8(-10, -10, 700, 500, 10, 255, b.px.data(), b.pitch()), 0);
    EXPECT_EQ(color_scan8(639, 479, 639, 479, 9, 9, b.px.data(), b.pitch()), 1);
    EXPECT_EQ(color_scan8(0, 0, 638, 479, 9, 9, b.px.data(), b.pitch()), 0) << "one column short";
    EXPECT_EQ(color_scan8(0, 0, 639, 478, 9, 9, b.px.data(), b.pitch()), 0) << "one row short";
    b.at(0, 0) = 9;
    EXPECT_EQ(color_scan8(-20, -20, -5, -5, 9, 9, b.px.data(), b.pitch()), 1) << "clamped onto pixel (0, 0)";

    screen_width = 100;
    b.at(0, 0) = 0, b.at(639, 479) = 0, b.at(150, 3) = 9;
    EXPECT_EQ(color_scan8(0, 0, 639, 479, 9, 9, b.px.data(), b.pitch()), 0) << "clamped to the screen, not the buffer";
    EXPECT_EQ(color_scan8(150, 3, 150, 3, 9, 9, b.px.data(), b.pitch()), 0) << "150 becomes 99";
}

TEST_F(ColorScan, InvertedRectanglesTestNothing)
{
    ScreenBuffer<uint8_t> b;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            b.at(x, y) = 9;
    EXPECT_EQ(color_scan8(10, 0, 5, 479, 9, 9, b.px.data(), b.pitch()), 0);
    EXPECT_EQ(color_scan8(0, 10, 639, 5, 9, 9, b.px.data(), b.pitch()), 0);
    EXPECT_EQ(color_scan8(700, 0, 650, 0, 9, 9, b.px.data(), b.pitch()), 1) << "both clamp to 639: not inverted";
    ScreenBuffer<uint16_t> w;
    w.at(7, 7) = 5;
    EXPECT_EQ(color_scan16(8, 0, 6, 479, 5, 5, w.px.data(), w.pitch()), 0);
    EXPECT_EQ(color_scan16(6, 0, 8, 479, 5, 5, w.px.data(), w.pitch()), 1);
}

TEST_F(ColorScan, EightBitRangeIsInclusiveUnsignedAndUsesTheLowBytes)
{
    ScreenBuffer<uint8_t> b;
    b.at(300, 200) = 200;
    const auto scan = [&](int low, int high) { return color_scan8(0, 0, 639, 479, low, high, b.px.data(), b.pitch()); };
    EXPECT_EQ(scan(200, 200), 1);
    EXPECT_EQ(scan(100, 255), 1) << "pixels compare as unsigned bytes";
    EXPECT_EQ(scan(201, 255), 0);
    EXPECT_EQ(scan(1, 199), 0);
    EXPECT_EQ(scan(0x1C8, 0x3C8), 1) << "0x1C8 and 0x3C8 are 200 in their low bytes";
    EXPECT_EQ(scan(255, 1), 0) << "low above high never matches";
    EXPECT_EQ(scan(1, 0), 0) << "not even the zero pixels";
    EXPECT_EQ(color_scan8(0, 0, 639, 479, 0, 0, nullptr, b.pitch()), 0);
}

TEST_F(ColorScan, SixteenBitMatchesEitherColourByItsLow16Bits)
{
    ScreenBuffer<uint16_t> w;
    w.at(639, 479) = 0xBEEF;
    const auto scan = [&](int a, int b) { return color_scan16(-1, -1, 640, 480, a, b, w.px.data(), w.pitch()); };
    EXPECT_EQ(scan(0xBEEF, 1), 1);
    EXPECT_EQ(scan(1, 0x7BEEF), 1);
    EXPECT_EQ(scan(0xBEEE, 0xBEF0), 0) << "equality, not a range";
    EXPECT_EQ(color_scan16(0, 0, 639, 479, 0xBEEF, 0, nullptr, w.pitch()), 0);
}

}  // namespace
