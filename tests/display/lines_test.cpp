// lines_test.cpp -- lines, clipping and spans: the clipper's region cases and corners, the exact
// pixels of the midpoint stepper, clipped drawing that never leaves the clip rectangle, the fast
// forms against the plain stepper at both depths, and clipped horizontal and vertical spans.
#include <gtest/gtest.h>

#include <climits>
#include <algorithm>
#include <utility>
#include <vector>

#include "canvas.h"
#include "display.h"
#include "lines_reference.h"

using Pixels = std::vector<std::pair<int, int>>;

class Lines : public ClipTest {
protected:
    void SetUp() override
    {
        ClipTest::SetUp();
        set_clip(0, 0, 639, 479);
    }
    // Runs clip_line and gives back its result and the four coordinates.
    static int clip(int& x0, int& y0, int& x1, int& y1) { return clip_line(&x0, &y0, &x1, &y1); }
};

template <class Pixel> static Pixels lit(const Canvas<Pixel>& c)
{
    Pixels out;
    for (int y = -Canvas<Pixel>::GUARD; y < c.height() + Canvas<Pixel>::GUARD; ++y)
        for (int x = -Canvas<Pixel>::GUARD; x < c.width() + Canvas<Pixel>::GUARD; ++x)
            if (c.at(x, y))
                out.push_back({x, y});
    return out;
}

// Pixels in the order a line from (x0, y0) visits them can be compared as a set.
static Pixels sorted(Pixels p)
{
    std::sort(p.begin(), p.end(),
              [](auto a, auto b) { return a.second != b.second ? a.second < b.second : a.first < b.first; });
    return p;
}

// ---- the clipper ----

TEST_F(Lines, LinesInsideAreKeptAndLinesBeyondOneEdgeAreRejectedUntouched)
{
    int x0 = 5, y0 = 6, x1 = 600, y1 = 470;
    EXPECT_EQ(clip(x0, y0, x1, y1), 1);
    EXPECT_EQ(std::vector<int>({x0, y0, x1, y1}), std::vector<int>({5, 6, 600, 470}));

    // Both end points beyond the same edge, for each edge and two corners.
    const int beyond[][4] = {{-10, 5, -1, 400},   {640, 0, 900, 479}, {0, -1, 639, -50},
                             {10, 480, 600, 999}, {-5, -5, -20, 300}, {700, 500, 100, 900}};
    for (const auto& b : beyond) {
        int a0 = b[0], a1 = b[1], a2 = b[2], a3 = b[3];
        EXPECT_EQ(clip(a0, a1, a2, a3), 0) << b[0] << "," << b[1] << " to " << b[2] << "," << b[3];
        EXPECT_EQ(std::vector<int>({a0, a1, a2, a3}), std::vector<int>({b[0], b[1], b[2], b[3]}));
    }
}

TEST_F(Lines, EachSingleEdgeMovesItsEndPointOntoThatEdge)
{
    int x0 = -10, y0 = 240, x1 = 650, y1 = 240;
    ASSERT_EQ(clip(x0, y0, x1, y1), 1);
    EXPECT_EQ(std::vector<int>({x0, y0, x1, y1}), std::vector<int>({0, 240, 639, 240}));

    x0 = 320, y0 = -20, x1 = 320, y1 = 500;
    ASSERT_EQ(clip(x0, y0, x1, y1), 1);
    EXPECT_EQ(std::vector<int>({x0, y0, x1, y1}), std::vector<int>({320, 0, 320, 479}));

    // A slanted crossing of the top edge: x = trunc(100 + 0.5 + (0 - -10) × 30 / 40) = 107.
    x0 = 100, y0 = -10, x1 = 130, y1 = 30;
    ASSERT_EQ(clip(x0, y0, x1, y1), 1);
    EXPECT_EQ(std::vector<int>({x0, y0, x1, y1}), std::vector<int>({107, 0, 130, 30}));
}

TEST_F(Lines, CornerCodesTryTheirRowFirstThenTheirColumn)
{
    // Top-left: the row crossing (0, 0) lies on the rectangle.
    int x0 = -10, y0 = -10, x1 = 20, y1 = 20;
    ASSERT_EQ(clip(x0, y0, x1, y1), 1);
    EXPECT_EQ(std::vector<int>({x0, y0, x1, y1}), std::vector<int>({0, 0, 20, 20}));

    // Top-left again, but the row crossing is at x = -96, so the left column is used:
    // y = trunc(-10 + 0.5 + 100 × 510 / 200) = 245.
    x0 = -100, y0 = -10, x1 = 100, y1 = 500;
    ASSERT_EQ(clip(x0, y0, x1, y1), 1);
    EXPECT_EQ(x0, 0);
    EXPECT_EQ(y0, 245);
    // The far end, bottom: x = 100 + (479 - 500) × -200 / -510 = 100 - 8 = 92.
    EXPECT_EQ(x1, 92);
    EXPECT_EQ(y1, 479);

    // Bottom-right as the far end: the bottom row is crossed at x = 648, beyond the right column,
    // so the right column is used: y = trunc(500 + 0.5 + (639 - 660) × -100 / -60) = 465.
    x0 = 600, y0 = 400, x1 = 660, y1 = 500;
    ASSERT_EQ(clip(x0, y0, x1, y1), 1);
    EXPECT_EQ(std::vector<int>({x0, y0, x1, y1}), std::vector<int>({600, 400, 639, 465}));
}

TEST_F(Lines, ALineThatPassesOutsideACornerIsRejected)
{
    // The first point moves to (0, -4), the second to (-5, 0): both outside.
    int x0 = -10, y0 = 5, x1 = 5, y1 = -10;
    EXPECT_EQ(clip(x0, y0, x1, y1), 0);
    EXPECT_EQ(std::vector<int>({x0, y0, x1, y1}), std::vector<int>({-10, 5, 5, -10}));
}

TEST_F(Lines, ExtremeCoordinatesAreClippedExactly)
{
    // The full diagonal of the int range crosses the rectangle through (0, 0) and (479, 479).
    int x0 = INT_MIN, y0 = INT_MIN, x1 = INT_MAX, y1 = INT_MAX;
    ASSERT_EQ(clip(x0, y0, x1, y1), 1);
    EXPECT_EQ(std::vector<int>({x0, y0, x1, y1}), std::vector<int>({0, 0, 479, 479}));

    // Nearly flat across the whole range: it rises by one row over 2^32 columns.
    x0 = INT_MIN, y0 = 0, x1 = INT_MAX, y1 = 1;
    ASSERT_EQ(clip(x0, y0, x1, y1), 1);
    EXPECT_EQ(std::vector<int>({x0, y0, x1, y1}), std::vector<int>({0, 0, 639, 1}));
}

// ---- the midpoint stepper ----

TEST_F(Lines, StepperLightsTheExpectedPixelsBothWays)
{
    Canvas<uint8_t> c(16, 16);
    line8(0, 0, 4, 2, 7, c.buffer(), c.pitch());
    EXPECT_EQ(lit(c), (Pixels{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}));
    EXPECT_EQ(c.at(1, 1), 7);

    c.clear();
    line8(4, 2, 0, 0, 7, c.buffer(), c.pitch());
    EXPECT_EQ(lit(c), sorted(Pixels{{4, 2}, {3, 1}, {2, 1}, {1, 0}, {0, 0}})) << "reversed: same count, own midpoints";

    c.clear();
    line8(0, 0, 3, 3, 7, c.buffer(), c.pitch());
    EXPECT_EQ(lit(c), (Pixels{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));

    c.clear();
    line8(0, 0, 2, 4, 7, c.buffer(), c.pitch());  // y-major
    EXPECT_EQ(lit(c), (Pixels{{0, 0}, {1, 1}, {1, 2}, {2, 3}, {2, 4}}));

    c.clear();
    line8(2, 4, 0, 0, 7, c.buffer(), c.pitch());
    EXPECT_EQ(lit(c).size(), 5u);

    c.clear();
    line8(9, 9, 9, 9, 7, c.buffer(), c.pitch());
    EXPECT_EQ(lit(c), (Pixels{{9, 9}})) << "a line of length zero is one pixel";
}

// ---- clipped drawing ----

TEST_F(Lines, ClippedDrawingCutsAtTheEdgesAndSkipsLinesOutside)
{
    Canvas<uint8_t> c(64, 40);
    set_clip(0, 0, 63, 39);
    EXPECT_EQ(draw_line8(-10, 20, 80, 20, 3, c.buffer(), c.pitch()), 1);
    EXPECT_EQ(c.row(20), "0..63");
    EXPECT_EQ(c.count(), 64);

    c.clear();
    EXPECT_EQ(draw_line8(-30, 0, -1, 39, 3, c.buffer(), c.pitch()), 1);
    EXPECT_EQ(c.count(), 0) << "wholly left of the rectangle";

    c.clear();
    EXPECT_EQ(draw_line8(-10, 5, 5, -10, 3, c.buffer(), c.pitch()), 1);
    EXPECT_EQ(c.count(), 0) << "passes outside the corner";

    Canvas<uint16_t> w(64, 40);
    EXPECT_EQ(draw_line16(30, -50, 30, 90, 0x8421, w.buffer(), w.pitch()), 1);
    EXPECT_EQ(w.count(), 40);
    EXPECT_EQ(w.at(30, 0), 0x8421);
    EXPECT_EQ(w.at(30, 39), 0x8421);
}

// Thousands of lines with end points anywhere, including the ends of the int range, against a
// clip rectangle inside the buffer: nothing may land outside it, and the clipped lines are drawn.
TEST_F(Lines, RandomLinesNeverWriteOutsideTheClipRectangle)
{
    Canvas<uint8_t> c8(64, 48);
    Canvas<uint16_t> c16(64, 48);
    set_clip(5, 3, 58, 40);
    TestRandom r;
    const int extremes[] = {INT_MIN, INT_MIN + 1, -1000000, -1, 0, 63, 1000000, INT_MAX - 1, INT_MAX};
    for (int i = 0; i < 20000; ++i) {
        int v[4];
        for (int& k : v) {
            const uint32_t kind = r.next() % 4;
            k = kind == 0 ? extremes[r.next() % 9] : kind == 1 ? r.any() : r.range(-40, 110);
        }
        draw_line8(v[0], v[1], v[2], v[3], 1, c8.buffer(), c8.pitch());
        draw_line16(v[0], v[1], v[2], v[3], 1, c16.buffer(), c16.pitch());
    }
    EXPECT_EQ(c8.written_outside(5, 3, 58, 40), "");
    EXPECT_EQ(c16.written_outside(5, 3, 58, 40), "");
    EXPECT_GT(c8.count(), 500) << "most lines crossing the rectangle are drawn";
}

TEST_F(Lines, NullBufferDrawsNothing)
{
    EXPECT_EQ(draw_line8(0, 0, 10, 10, 1, nullptr, 64), 1);
    EXPECT_EQ(line16(0, 0, 10, 10, 1, nullptr, 64), 1);
    EXPECT_EQ(clip_line(nullptr, nullptr, nullptr, nullptr), 0);
}

// ---- the fast forms against the plain stepper ----

// The drawers light their pixels through faster forms (closed-form offsets, runs per row); every
// slope, direction and length class is compared with the plain stepper's pixels, canvas for canvas.
TEST_F(Lines, EveryLineMatchesThePlainStepperAtBothDepths)
{
    Canvas<uint8_t> c8(160, 120), want8(160, 120);
    Canvas<uint16_t> c16(160, 120), want16(160, 120);
    TestRandom r;
    for (int i = 0; i < 4000; ++i) {
        const int x0 = r.range(0, 159), y0 = r.range(0, 119);
        // Short lines often, so that every run length and the shortest lines are covered.
        const int reach = i % 2 ? 6 : 160;
        const int x1 = std::clamp(x0 + r.range(-reach, reach), 0, 159);
        const int y1 = std::clamp(y0 + r.range(-reach, reach), 0, 119);
        c8.clear(), want8.clear(), c16.clear(), want16.clear();
        line8(x0, y0, x1, y1, 1, c8.buffer(), c8.pitch());
        line8_reference(x0, y0, x1, y1, 1, want8.buffer(), want8.pitch());
        line16(x0, y0, x1, y1, 0x1ABCD, c16.buffer(), c16.pitch());
        line16_reference(x0, y0, x1, y1, 0x1ABCD, want16.buffer(), want16.pitch());
        ASSERT_EQ(lit(c8), lit(want8)) << x0 << "," << y0 << " to " << x1 << "," << y1;
        ASSERT_EQ(lit(c16), lit(want16)) << x0 << "," << y0 << " to " << x1 << "," << y1;
        ASSERT_EQ(c16.at(x1, y1), 0xABCD) << "the low 16 bits of the colour";
    }
}

TEST_F(Lines, LinesAtTheClosedFormsLimitMatchThePlainStepper)
{
    // 46,340 steps is the longest line the fast forms draw, by runs (x-major) and closed form (y-major).
    const int n = 46340;
    Canvas<uint8_t> wide(n + 1, 4), wide_want(n + 1, 4), tall(4, n + 1), tall_want(4, n + 1);
    line8(0, 0, n, 3, 1, wide.buffer(), wide.pitch());
    line8_reference(0, 0, n, 3, 1, wide_want.buffer(), wide_want.pitch());
    line8(n, 1, 0, 2, 1, wide.buffer(), wide.pitch());
    line8_reference(n, 1, 0, 2, 1, wide_want.buffer(), wide_want.pitch());
    EXPECT_EQ(lit(wide), lit(wide_want));
    line8(0, 0, 3, n, 1, tall.buffer(), tall.pitch());
    line8_reference(0, 0, 3, n, 1, tall_want.buffer(), tall_want.pitch());
    EXPECT_EQ(lit(tall), lit(tall_want));
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
