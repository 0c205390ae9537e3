// lines_test.cpp -- lines and clipping: the clipper's region cases and corners, the exact pixels of
// the midpoint stepper at both depths, and clipped drawing that never leaves the clip rectangle.
#include <gtest/gtest.h>

#include <climits>
#include <algorithm>
#include <utility>
#include <vector>

#include "canvas.h"
#include "display.h"

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

// ---- the fast forms against the midpoint rule ----

// The midpoint stepper exactly as its rule reads, one pixel and one error test per step. The
// drawers light the same pixels through faster forms (closed-form offsets, runs per row), so every
// slope, direction and length class is compared with it.
static Pixels midpoint_pixels(int x0, int y0, int x1, int y1)
{
    Pixels out;
    int dx = x1 - x0, dy = y1 - y0, sx = 1, sy = 1;
    if (dx < 0)
        dx = -dx, sx = -1;
    if (dy < 0)
        dy = -dy, sy = -1;
    int x = x0, y = y0;
    if (dx > dy) {
        int error = 2 * dy - dx;
        for (int i = 0; i <= dx; ++i) {
            out.push_back({x, y});
            if (error >= 0)
                error -= 2 * dx, y += sy;
            error += 2 * dy, x += sx;
        }
    } else {
        int error = 2 * dx - dy;
        for (int i = 0; i <= dy; ++i) {
            out.push_back({x, y});
            if (error >= 0)
                error -= 2 * dy, x += sx;
            error += 2 * dx, y += sy;
        }
    }
    return sorted(out);
}

TEST_F(Lines, EveryLineMatchesTheMidpointRuleAtBothDepths)
{
    Canvas<uint8_t> c8(160, 120);
    Canvas<uint16_t> c16(160, 120);
    TestRandom r;
    for (int i = 0; i < 4000; ++i) {
        const int x0 = r.range(0, 159), y0 = r.range(0, 119);
        // Short lines often, so that every run length and the shortest lines are covered.
        const int reach = i % 2 ? 6 : 160;
        const int x1 = std::clamp(x0 + r.range(-reach, reach), 0, 159);
        const int y1 = std::clamp(y0 + r.range(-reach, reach), 0, 119);
        c8.clear();
        c16.clear();
        line8(x0, y0, x1, y1, 1, c8.buffer(), c8.pitch());
        line16(x0, y0, x1, y1, 0x1ABCD, c16.buffer(), c16.pitch());
        const Pixels expected = midpoint_pixels(x0, y0, x1, y1);
        ASSERT_EQ(lit(c8), expected) << x0 << "," << y0 << " to " << x1 << "," << y1;
        ASSERT_EQ(lit(c16), expected) << x0 << "," << y0 << " to " << x1 << "," << y1;
        ASSERT_EQ(c16.at(x1, y1), 0xABCD) << "the low 16 bits of the colour";
    }
}

TEST_F(Lines, VeryLongLinesMatchTheMidpointRule)
{
    // Beyond 46,340 steps the drawers fall back to stepping one pixel at a time.
    const int lengths[] = {46340, 46341, 60000};
    for (int n : lengths) {
        Canvas<uint8_t> c(n + 1, 4);
        set_clip(0, 0, n, 3);
        draw_line8(0, 0, n, 3, 1, c.buffer(), c.pitch());
        Pixels got = lit(c);
        EXPECT_EQ(got, midpoint_pixels(0, 0, n, 3)) << n << " steps";
        c.clear();
        draw_line8(n, 1, 0, 2, 1, c.buffer(), c.pitch());
        EXPECT_EQ(lit(c), midpoint_pixels(n, 1, 0, 2)) << n << " steps, leftwards";
    }
}
