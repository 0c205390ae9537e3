// fill_test.cpp -- triangle and polygon fills: the exact rows of flat-top, flat-bottom and split
// triangles with float and fixed-point edges, clipping at each edge, the square polygon's rows and
// columns, refusals, random shapes that must stay inside the clip rectangle, and the fast polygon
// walks against the plain one.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "canvas.h"
#include "fill_internal.h"
#include "sprites.h"

using Rows = std::vector<std::string>;

class Fill : public ClipTest {
protected:
    void SetUp() override
    {
        ClipTest::SetUp();
        set_clip(0, 0, 63, 47);
    }
    Canvas<uint8_t> c{64, 48};

    // The rows first .. last of the canvas, as Canvas::row gives them.
    Rows rows(int first, int last) const
    {
        Rows out;
        for (int y = first; y <= last; ++y)
            out.push_back(c.row(y));
        return out;
    }
};

using Triangle8 = void (*)(int, int, int, int, int, int, int, uint8_t*, int);

// ---- flat-top, flat-bottom and split triangles ----

TEST_F(Fill, FlatTopRowsWithFloatAndFixedEdges)
{
    triangle_fill8(10, 10, 20, 10, 15, 20, 5, c.buffer(), c.pitch());
    // Float: each line is trunc(xr - xl + 1) pixels from trunc(xl), the right edge half a pixel out.
    EXPECT_EQ(rows(9, 21), (Rows{"", "10..20", "10..19", "11..19", "11..18", "12..18", "12..17", "13..17", "13..16",
                                 "14..16", "14..15", "15..15", ""}));
    EXPECT_EQ(c.at(15, 20), 5);

    c.clear();
    triangle_fill8_fixed(10, 10, 20, 10, 15, 20, 5, c.buffer(), c.pitch());
    // Fixed: edges rounded to the nearest column, halves upward.
    EXPECT_EQ(rows(9, 21), (Rows{"", "10..20", "11..20", "11..19", "12..19", "12..18", "13..18", "13..17", "14..17",
                                 "14..16", "15..16", "15..15", ""}));
}

TEST_F(Fill, FlatBottomRowsWithFloatAndFixedEdges)
{
    const Triangle8 variants[] = {triangle_fill8, triangle_fill8_fixed};
    for (Triangle8 fill : variants) {
        c.clear();
        fill(0, 0, 0, 10, 10, 10, 5, c.buffer(), c.pitch());
        for (int y = 0; y <= 10; ++y)
            EXPECT_EQ(c.row(y), "0.." + std::to_string(y)) << "line " << y;
        EXPECT_EQ(c.count(), 66);
    }
}

TEST_F(Fill, SplitTriangleMeetsAtTheMiddleLine)
{
    // Split at y = 10 with xm = trunc(10 × 10 / 20 + 0.5) = 5: the upper half ends and the lower
    // half starts on line 10, both covering 5 .. 30 there.
    triangle_fill8(0, 0, 30, 10, 10, 20, 5, c.buffer(), c.pitch());
    EXPECT_EQ(rows(0, 4), (Rows{"0..0", "0..2", "1..6", "1..8", "2..12"}));
    EXPECT_EQ(c.row(10), "5..30");
    EXPECT_EQ(rows(18, 21), (Rows{"9..14", "9..12", "10..10", ""}));

    c.clear();
    triangle_fill8_fixed(0, 0, 30, 10, 10, 20, 5, c.buffer(), c.pitch());
    EXPECT_EQ(rows(0, 4), (Rows{"0..0", "1..4", "1..6", "2..10", "2..12"}));
    EXPECT_EQ(c.row(10), "5..30");
    EXPECT_EQ(rows(18, 21), (Rows{"9..14", "10..13", "10..10", ""}));
}

TEST_F(Fill, FixedEdgesRoundHalvesUpward)
{
    // Flat-bottom apex (10, 0): a left edge of slope 1/2 stands at 10.5 on line 1 (column 11), one
    // of slope 49/100 at 10.49 (column 10).
    flat_bottom_fill8_fixed(10, 0, 11, 2, 30, 2, 5, c.buffer(), c.pitch());
    EXPECT_EQ(c.row(1).substr(0, 4), "11..");
    c.clear();
    set_clip(0, 0, 63, 1);
    flat_bottom_fill8_fixed(10, 0, 59, 100, 200, 100, 5, c.buffer(), c.pitch());
    EXPECT_EQ(c.row(1).substr(0, 4), "10..");
}

TEST_F(Fill, DegenerateTrianglesDrawNothing)
{
    const Triangle8 variants[] = {triangle_fill8, triangle_fill8_fixed};
    for (Triangle8 fill : variants) {
        fill(5, 5, 30, 5, 40, 5, 1, c.buffer(), c.pitch());  // all y equal
        fill(7, 1, 7, 20, 7, 40, 1, c.buffer(), c.pitch());  // all x equal
    }
    // Halves of zero height, called directly.
    flat_top_fill8(5, 9, 30, 9, 20, 9, 1, c.buffer(), c.pitch());
    flat_bottom_fill8(5, 9, 3, 9, 20, 9, 1, c.buffer(), c.pitch());
    flat_top_fill8_fixed(5, 9, 30, 9, 20, 9, 1, c.buffer(), c.pitch());
    flat_bottom_fill8_fixed(5, 9, 3, 12, 20, 9, 1, c.buffer(), c.pitch());
    triangle_fill8(0, 0, 10, 10, 0, 20, 1, nullptr, 64);
    EXPECT_EQ(c.count(), 0);
}

// ---- clipping ----

TEST_F(Fill, TrianglesAreCutAtEveryEdge)
{
    const Triangle8 variants[] = {triangle_fill8, triangle_fill8_fixed};
    for (Triangle8 fill : variants) {
        // One triangle, drawn afresh inside each clip window.
        const auto clipped_fill = [&](int left, int top, int right, int bottom) {
            c.clear();
            set_clip(left, top, right, bottom);
            fill(0, 0, 0, 10, 10, 10, 5, c.buffer(), c.pitch());
        };
        // Top: the lines that remain are those of the whole triangle.
        clipped_fill(0, 4, 63, 47);
        EXPECT_EQ(c.row(3), "");
        EXPECT_EQ(c.row(4), "0..4");
        EXPECT_EQ(c.row(10), "0..10");
        // Bottom.
        clipped_fill(0, 0, 63, 6);
        EXPECT_EQ(c.row(6), "0..6");
        EXPECT_EQ(c.row(7), "");
        // Left: only columns from the edge.
        clipped_fill(4, 0, 63, 47);
        EXPECT_EQ(c.row(2), "");
        EXPECT_EQ(c.row(8), "4..8");
        // Right.
        clipped_fill(0, 0, 5, 47);
        EXPECT_EQ(c.row(3), "0..3");
        EXPECT_EQ(c.row(9), "0..5");
        EXPECT_EQ(c.written_outside(0, 0, 5, 47), "");
    }
}

TEST_F(Fill, CrossingAClipColumnSwitchesToTheEdgeToEdgeSpans)
{
    // The flat-top triangle of the first test with the left clip column at 12: lines now run from
    // trunc(xl) to trunc(xr), cut at 12 (line 11 reaches column 20 where the unclipped one ends at 19).
    set_clip(12, 0, 63, 47);
    triangle_fill8(10, 10, 20, 10, 15, 20, 5, c.buffer(), c.pitch());
    EXPECT_EQ(rows(10, 14), (Rows{"12..20", "12..20", "12..19", "12..19", "12..18"}));
    EXPECT_EQ(c.row(20), "15..15");
}

TEST_F(Fill, TrianglesOutsideTheClipRectangleDrawNothing)
{
    const Triangle8 variants[] = {triangle_fill8, triangle_fill8_fixed};
    for (Triangle8 fill : variants) {
        fill(-30, 0, -1, 20, -10, 40, 1, c.buffer(), c.pitch());  // wholly left
        fill(64, 0, 100, 20, 70, 40, 1, c.buffer(), c.pitch());   // wholly right
        fill(0, 48, 50, 60, 20, 90, 1, c.buffer(), c.pitch());    // wholly below
        fill(0, -48, 50, -1, 20, -9, 1, c.buffer(), c.pitch());   // wholly above
    }
    EXPECT_EQ(c.count(), 0);
}

// Triangles with vertices anywhere, the int range's ends included, in all three variants and as
// direct half calls: every pixel lands inside the clip rectangle.
TEST_F(Fill, RandomTrianglesNeverWriteOutsideTheClipRectangle)
{
    Canvas<uint16_t> w(64, 48);
    set_clip(3, 2, 60, 44);
    TestRandom r;
    const int extremes[] = {INT_MIN, -100000, -1, 0, 47, 63, 100000, INT_MAX};
    for (int i = 0; i < 5000; ++i) {
        int v[6];
        for (int& k : v) {
            const uint32_t kind = r.next() % 4;
            k = kind == 0 ? extremes[r.next() % 8] : kind == 1 ? r.any() : r.range(-30, 95);
        }
        triangle_fill8(v[0], v[1], v[2], v[3], v[4], v[5], 1, c.buffer(), c.pitch());
        triangle_fill8_fixed(v[0], v[1], v[2], v[3], v[4], v[5], 1, c.buffer(), c.pitch());
        triangle_fill16(v[0], v[1], v[2], v[3], v[4], v[5], 1, w.buffer(), w.pitch());
        flat_top_fill8(v[0], v[1], v[2], v[1], v[4], v[5], 1, c.buffer(), c.pitch());
        flat_bottom_fill8_fixed(v[0], v[1], v[2], v[5], v[4], v[5], 1, c.buffer(), c.pitch());
        flat_bottom_fill16(v[0], v[1], v[2], v[5], v[4], v[5], 1, w.buffer(), w.pitch());
    }
    EXPECT_EQ(c.written_outside(3, 2, 60, 44), "");
    EXPECT_EQ(w.written_outside(3, 2, 60, 44), "");
    EXPECT_GT(c.count(), 1000);
}

TEST_F(Fill, SixteenBitTrianglesMatchTheEightBitOnes)
{
    Canvas<uint16_t> w(64, 48);
    triangle_fill8(2, 30, 61, 3, 25, 46, 1, c.buffer(), c.pitch());
    triangle_fill16(2, 30, 61, 3, 25, 46, 0x1F81F, w.buffer(), w.pitch());
    for (int y = 0; y < 48; ++y)
        ASSERT_EQ(w.row(y), c.row(y)) << "line " << y;
    EXPECT_EQ(w.at(25, 30), 0xF81F);
}

// ---- convex polygons ----

TEST_F(Fill, SquarePolygonFillsTenRowsOfElevenColumns)
{
    Canvas<uint8_t> big(128, 128);
    set_clip(0, 0, 127, 127);
    Vertex v[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    struct Polygon p = {0, 4, 100, 100, 7, v};  // state is not read by the fill
    ASSERT_EQ(polygon_fill8(&p, big.buffer(), big.pitch()), 1);
    for (int y = 100; y <= 109; ++y)
        EXPECT_EQ(big.row(y), "100..110") << "row " << y;
    EXPECT_EQ(big.row(110), "");
    EXPECT_EQ(big.count(), 110);
    EXPECT_EQ(big.at(105, 105), 7);

    Canvas<uint16_t> wide(128, 128);
    p.color = 0x12345;
    ASSERT_EQ(polygon_fill16(&p, wide.buffer(), wide.pitch()), 1);
    for (int y = 0; y < 128; ++y)
        ASSERT_EQ(wide.row(y), big.row(y)) << "row " << y;
    EXPECT_EQ(wide.at(100, 100), 0x2345);
}

TEST_F(Fill, DiamondPolygonStepsItsEdgesBeforeEachLine)
{
    // Both walks step before a line is filled: the top line is already three wide, and the bottom
    // vertex's line is not filled.
    Vertex v[] = {{0, -5}, {5, 0}, {0, 5}, {-5, 0}};
    struct Polygon p = {1, 4, 20, 20, 3, v};
    ASSERT_EQ(polygon_fill8(&p, c.buffer(), c.pitch()), 1);
    EXPECT_EQ(rows(14, 26), (Rows{"", "19..21", "18..22", "17..23", "16..24", "15..25", "16..24", "17..23", "18..22",
                                  "19..21", "20..20", "", ""}));
}

TEST_F(Fill, PolygonsOutsideTheClipRectangleOrWithoutVerticesAreRefused)
{
    Vertex v[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    struct Polygon p = {1, 4, 55, 10, 7, v};  // right column at 65, beyond 63
    EXPECT_EQ(polygon_fill8(&p, c.buffer(), c.pitch()), 0);
    p.pos_x = 10;
    p.pos_y = -1;
    EXPECT_EQ(polygon_fill8(&p, c.buffer(), c.pitch()), 0);
    p.pos_y = 10;
    v[2].y = NAN;
    EXPECT_EQ(polygon_fill8(&p, c.buffer(), c.pitch()), 0);
    v[2].y = 10;
    p.vertex_count = 0;
    EXPECT_EQ(polygon_fill8(&p, c.buffer(), c.pitch()), 0);
    p.vertex_count = 4;
    p.vertices = nullptr;
    EXPECT_EQ(polygon_fill8(&p, c.buffer(), c.pitch()), 0);
    EXPECT_EQ(polygon_fill8(nullptr, c.buffer(), c.pitch()), 0);
    EXPECT_EQ(c.count(), 0);
}

// Concave, self-crossing and degenerate vertex lists are outside the fill's contract, but must
// still end and stay within the placed vertices' bounding box.
TEST_F(Fill, ArbitraryVertexListsStayInsideTheirBoundingBox)
{
    TestRandom r;
    Vertex v[12];
    for (int i = 0; i < 3000; ++i) {
        c.clear();
        const int n = r.range(1, 12);
        int x0 = 63, y0 = 47, x1 = 0, y1 = 0;
        for (int k = 0; k < n; ++k) {
            v[k] = {static_cast<float>(r.range(0, 63)), static_cast<float>(r.range(0, 47))};
            x0 = std::min(x0, static_cast<int>(v[k].x)), x1 = std::max(x1, static_cast<int>(v[k].x));
            y0 = std::min(y0, static_cast<int>(v[k].y)), y1 = std::max(y1, static_cast<int>(v[k].y));
        }
        struct Polygon p = {1, n, 0, 0, 1, v};
        ASSERT_EQ(polygon_fill8(&p, c.buffer(), c.pitch()), 1);
        ASSERT_EQ(c.written_outside(x0, y0, x1, y1), "") << "shape " << i;
    }
}

// ---- the fast walks against the plain walk ----

TEST_F(Fill, ConvexPolygonsMatchThePlainWalk)
{
    Canvas<uint8_t> expected(64, 48);
    TestRandom r;
    Vertex v[12];
    for (int i = 0; i < 3000; ++i) {
        // Regular polygons stretched along each axis, turned by any angle, in either winding.
        const int n = r.range(1, 12);
        const float turn = static_cast<float>(r.range(0, 3599)) * 0.1f * 3.1415927f / 180.0f;
        const float rx = static_cast<float>(r.range(0, 200)) / 10.0f, ry = static_cast<float>(r.range(0, 200)) / 10.0f;
        const bool reverse = r.next() % 2;
        for (int k = 0; k < n; ++k) {
            const float a = turn + static_cast<float>(reverse ? n - k : k) * 2 * 3.1415927f / static_cast<float>(n);
            v[k] = {rx * std::cos(a), ry * std::sin(a)};
        }
        struct Polygon p = {1, n, r.range(21, 42), r.range(21, 26), 1 + i % 200, v};
        c.clear();
        expected.clear();
        ASSERT_EQ(polygon_fill8(&p, c.buffer(), c.pitch()), 1);
        ASSERT_EQ(polygon_fill8_reference(&p, expected.buffer(), expected.pitch()), 1);
        for (int y = 0; y < 48; ++y)
            ASSERT_EQ(c.row(y), expected.row(y)) << "polygon " << i << " (" << n << " corners, " << rx << " by " << ry
                                                 << " at " << p.pos_x << "," << p.pos_y << "), line " << y;
    }
}
