// polygon_test.cpp -- polygons and 2D transforms: outlines, rotation through the tables and through
// matrices agreeing, scaling and translation both ways, bounds, matrix products, fast distances.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "canvas.h"
#include "sprites.h"

class Polygons : public ClipTest {
protected:
    void SetUp() override
    {
        ClipTest::SetUp();
        trig_tables_init();
    }
    // A polygon over the given vertices, placed at (x, y) and drawn.
    static struct Polygon make(Vertex* v, int n, int x = 0, int y = 0) { return {1, n, x, y, 9, v}; }
};

// ---- outlines ----

TEST_F(Polygons, SquareOutlineLightsItsPerimeterOnly)
{
    Canvas<uint8_t> c(32, 32);
    set_clip(0, 0, 31, 31);
    Vertex v[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    struct Polygon p = make(v, 4, 5, 5);
    ASSERT_EQ(polygon_draw8(&p, c.buffer(), c.pitch()), 1);
    EXPECT_EQ(c.count(), 40);
    EXPECT_EQ(c.row(5), "5..15");
    EXPECT_EQ(c.row(15), "5..15");
    EXPECT_EQ(c.row(10), "gap");
    EXPECT_EQ(c.at(5, 10), 9);
    EXPECT_EQ(c.at(15, 10), 9);
    EXPECT_EQ(c.written_outside(5, 5, 15, 15), "");
}

TEST_F(Polygons, VerticesArePlacedByTruncatingTowardZero)
{
    Canvas<uint8_t> c(16, 16);
    set_clip(-10, -10, 15, 15);  // let the negative side through, to see its truncation
    Vertex v[] = {{2.9f, 3.9f}};
    struct Polygon p = make(v, 1, 1, 1);
    ASSERT_EQ(polygon_draw8(&p, c.buffer(), c.pitch()), 1);
    EXPECT_EQ(c.at(3, 4), 9) << "one vertex draws one pixel";
    EXPECT_EQ(c.count(), 1);

    c.clear();
    v[0] = {-2.9f, -0.5f};  // -1.9 and 0.5 truncate to -1 and 0
    ASSERT_EQ(polygon_draw8(&p, c.buffer(), c.pitch()), 1);
    EXPECT_EQ(c.at(-1, 0), 9);
    EXPECT_EQ(c.count(), 1);
}

TEST_F(Polygons, InactiveEmptyOrBrokenPolygonsDrawNothing)
{
    Canvas<uint16_t> c(16, 16);
    set_clip(0, 0, 15, 15);
    Vertex v[] = {{0, 0}, {5, 5}};
    struct Polygon p = make(v, 2, 2, 2);
    p.state = 0;
    EXPECT_EQ(polygon_draw16(&p, c.buffer(), c.pitch()), 0);
    p.state = 1;
    p.vertex_count = 0;
    EXPECT_EQ(polygon_draw16(&p, c.buffer(), c.pitch()), 0);
    p.vertex_count = -3;
    EXPECT_EQ(polygon_draw16(&p, c.buffer(), c.pitch()), 0);
    p.vertex_count = 2;
    p.vertices = nullptr;
    EXPECT_EQ(polygon_draw16(&p, c.buffer(), c.pitch()), 0);
    EXPECT_EQ(polygon_draw16(nullptr, c.buffer(), c.pitch()), 0);
    EXPECT_EQ(c.count(), 0);

    p.vertices = v;  // two vertices: the same segment twice
    EXPECT_EQ(polygon_draw16(&p, c.buffer(), c.pitch()), 1);
    EXPECT_EQ(c.count(), 6);
    EXPECT_EQ(c.at(4, 4), 9);
}

TEST_F(Polygons, OutlinesAreClippedWhereverTheVerticesAre)
{
    Canvas<uint8_t> c(40, 30);
    set_clip(2, 3, 37, 26);
    Vertex v[] = {{-1e9f, -50}, {80, 10}, {3e38f, 3e38f}, {NAN, 5}, {10, 1e30f}};
    struct Polygon p = make(v, 5, 20, 15);
    EXPECT_EQ(polygon_draw8(&p, c.buffer(), c.pitch()), 1);
    EXPECT_EQ(c.written_outside(2, 3, 37, 26), "");
    EXPECT_GT(c.count(), 0);
}

// ---- transforms ----

TEST_F(Polygons, RotationTurnsClockwiseOnScreen)
{
    Vertex v[] = {{10, 0}};
    struct Polygon p = make(v, 1);
    ASSERT_EQ(polygon_rotate(&p, 90), 1);
    EXPECT_NEAR(v[0].x, 0, 1e-5);
    EXPECT_NEAR(v[0].y, 10, 1e-5);

    v[0] = {10, 0};
    polygon_rotate(&p, -90);  // index 270
    EXPECT_NEAR(v[0].x, 0, 1e-5);
    EXPECT_NEAR(v[0].y, -10, 1e-5);

    v[0] = {10, 0};
    polygon_rotate(&p, 360);
    EXPECT_NEAR(v[0].x, 10, 1e-5);
    EXPECT_NEAR(v[0].y, 0, 1e-5);
}

TEST_F(Polygons, RotationThroughTablesAndThroughMatricesAgreeExactly)
{
    const int angles[] = {0,  1,   45,   90,   137, 180,  270,  359,     360,
                          -1, -45, -180, -360, 450, -450, 1000, INT_MIN, INT_MAX};
    for (int angle : angles) {
        Vertex a[] = {{10, 0}, {-3.25f, 7.5f}, {100.125f, -42}};
        Vertex b[] = {{10, 0}, {-3.25f, 7.5f}, {100.125f, -42}};
        struct Polygon pa = make(a, 3), pb = make(b, 3);
        ASSERT_EQ(polygon_rotate(&pa, angle), 1);
        ASSERT_EQ(polygon_rotate_mat(&pb, angle), 1);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(a[i].x, b[i].x) << "angle " << angle << " vertex " << i;
            EXPECT_EQ(a[i].y, b[i].y) << "angle " << angle << " vertex " << i;
        }
    }
}

TEST_F(Polygons, AnglesBeyondAFullTurnAreReducedIntoTheTables)
{
    const int pairs[][2] = {{450, 90}, {-3690, -90}, {720, 0}};  // -3690 = -10 × 360 - 90
    for (const auto& pair : pairs) {
        Vertex a[] = {{10, 0}}, b[] = {{10, 0}};
        struct Polygon pa = make(a, 1), pb = make(b, 1);
        polygon_rotate(&pa, pair[0]);
        polygon_rotate(&pb, pair[1]);
        EXPECT_EQ(a[0].x, b[0].x) << pair[0];
        EXPECT_EQ(a[0].y, b[0].y) << pair[0];
    }
}

TEST_F(Polygons, RotationFillsEmptyTablesInsteadOfCollapsingTheVertices)
{
    std::memset(sin_table, 0, sizeof sin_table);
    std::memset(cos_table, 0, sizeof cos_table);
    Vertex v[] = {{10, 0}};
    struct Polygon p = make(v, 1);
    ASSERT_EQ(polygon_rotate(&p, 90), 1);
    EXPECT_NEAR(v[0].y, 10, 1e-5);
    EXPECT_EQ(cos_table[0], 1.0f);
}

TEST_F(Polygons, ScalingAndTranslationAgreeBothWays)
{
    Vertex a[] = {{1.5f, -2}, {3, 4}}, b[] = {{1.5f, -2}, {3, 4}};
    struct Polygon pa = make(a, 2, 100, 200), pb = make(b, 2, 100, 200);
    ASSERT_EQ(polygon_scale(&pa, 2.0f, -0.5f), 1);
    ASSERT_EQ(polygon_scale_mat(&pb, 2.0f, -0.5f), 1);
    EXPECT_EQ(a[0].x, 3.0f);
    EXPECT_EQ(a[0].y, 1.0f);
    EXPECT_EQ(a[1].y, -2.0f);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(a[i].x, b[i].x);
        EXPECT_EQ(a[i].y, b[i].y);
    }

    ASSERT_EQ(polygon_translate(&pa, -30, 7), 1);
    ASSERT_EQ(polygon_translate_mat(&pb, -30, 7), 1);
    EXPECT_EQ(pa.pos_x, 70);
    EXPECT_EQ(pa.pos_y, 207);
    EXPECT_EQ(pb.pos_x, 70);
    EXPECT_EQ(pb.pos_y, 207);
    EXPECT_EQ(a[0].x, 3.0f) << "translation leaves the vertices alone";

    ASSERT_EQ(polygon_translate_mat(&pb, 0, 0), 1);
    EXPECT_EQ(pb.pos_x, 70);
    EXPECT_EQ(pb.pos_y, 207);

    pa.pos_x = INT_MAX - 1;
    pa.pos_y = INT_MIN + 1;
    polygon_translate(&pa, 10, -10);
    EXPECT_EQ(pa.pos_x, INT_MAX) << "saturates instead of wrapping";
    EXPECT_EQ(pa.pos_y, INT_MIN);
    polygon_translate_mat(&pa, 10, -10);
    EXPECT_EQ(pa.pos_x, INT_MAX);
    EXPECT_EQ(pa.pos_y, INT_MIN);
}

TEST_F(Polygons, TransformsRefuseMissingPolygonsAndVertexArrays)
{
    EXPECT_EQ(polygon_translate(nullptr, 1, 1), 0);
    EXPECT_EQ(polygon_rotate(nullptr, 1), 0);
    EXPECT_EQ(polygon_scale(nullptr, 1, 1), 0);
    EXPECT_EQ(polygon_translate_mat(nullptr, 1, 1), 0);
    EXPECT_EQ(polygon_rotate_mat(nullptr, 1), 0);
    EXPECT_EQ(polygon_scale_mat(nullptr, 1, 1), 0);
    struct Polygon p = make(nullptr, 3);
    EXPECT_EQ(polygon_rotate(&p, 10), 0);
    EXPECT_EQ(polygon_scale_mat(&p, 2, 2), 0);
    p.vertex_count = 0;
    EXPECT_EQ(polygon_rotate(&p, 10), 1) << "no vertices: nothing to turn";
}

// ---- bounds ----

TEST_F(Polygons, BoundsAlwaysContainTheOrigin)
{
    Vertex v[] = {{3, 4}, {10, 2}, {5, 8}};
    struct Polygon p = make(v, 3);
    float x0 = -1, x1 = -1, y0 = -1, y1 = -1;
    ASSERT_EQ(polygon_bounds(&p, &x0, &x1, &y0, &y1), 1);
    EXPECT_EQ(x0, 0.0f);
    EXPECT_EQ(y0, 0.0f);
    EXPECT_EQ(x1, 10.0f);
    EXPECT_EQ(y1, 8.0f);

    v[1] = {-7.5f, -2};
    ASSERT_EQ(polygon_bounds(&p, &x0, &x1, &y0, &y1), 1);
    EXPECT_EQ(x0, -7.5f);
    EXPECT_EQ(x1, 5.0f);
    EXPECT_EQ(y0, -2.0f);

    p.vertex_count = 0;
    x0 = 42;
    EXPECT_EQ(polygon_bounds(&p, &x0, &x1, &y0, &y1), 0);
    EXPECT_EQ(x0, 42.0f) << "outputs untouched";
    p.vertex_count = 3;
    EXPECT_EQ(polygon_bounds(&p, nullptr, &x1, &y0, &y1), 0);
}

// ---- matrices ----

TEST_F(Polygons, MatrixProducts)
{
    const Matrix3x3 a = {{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}};
    const Matrix3x3 b = {{{9, 8, 7}, {6, 5, 4}, {3, 2, 1}}};
    Matrix3x3 out;
    ASSERT_EQ(mat_mul_3x3(&a, &b, &out), 1);
    const float expected[3][3] = {{30, 24, 18}, {84, 69, 54}, {138, 114, 90}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(out.m[i][j], expected[i][j]) << i << "," << j;

    Matrix3x3 in_place = a;
    ASSERT_EQ(mat_mul_3x3(&in_place, &b, &in_place), 1) << "the output may be an input";
    EXPECT_EQ(std::memcmp(&in_place, &out, sizeof out), 0);

    const Matrix1x3 v = {{1, 2, 3}};
    Matrix1x3 r;
    ASSERT_EQ(mat_mul_1x3_3x3(&v, &a, &r), 1);
    EXPECT_EQ(r.m[0], 30.0f);
    EXPECT_EQ(r.m[1], 36.0f);
    EXPECT_EQ(r.m[2], 42.0f);

    Matrix3x2 m;
    ASSERT_EQ(mat_init_3x2(&m, 1, 2, 3, 4, 5, 6), 1);
    EXPECT_EQ(m.m[1][0], 3.0f);
    EXPECT_EQ(m.m[2][1], 6.0f);
    Matrix1x2 p = {{10, 100}};
    ASSERT_EQ(mat_mul_1x2_3x2(&p, &m, &p), 1);
    EXPECT_EQ(p.m[0], 10 + 300 + 5.0f);
    EXPECT_EQ(p.m[1], 20 + 400 + 6.0f);

    EXPECT_EQ(mat_mul_3x3(nullptr, &b, &out), 0);
    EXPECT_EQ(mat_init_3x2(nullptr, 0, 0, 0, 0, 0, 0), 0);
}

// ---- fast distances ----

TEST_F(Polygons, FastDistances)
{
    EXPECT_EQ(fast_distance_2d(3, 4), 6);
    EXPECT_EQ(fast_distance_2d(10, 0), 10);
    EXPECT_EQ(fast_distance_2d(-10, 10), 13);
    EXPECT_EQ(fast_distance_2d(0, -7), 7);
    EXPECT_EQ(fast_distance_2d(INT_MIN, INT_MIN), INT_MAX) << "saturates";

    EXPECT_EQ(fast_distance_3d(0, 0, 1), 1.0f);
    EXPECT_EQ(fast_distance_3d(1, 1, 1), 1.0f);
    EXPECT_EQ(fast_distance_3d(0, -4, 3), 5.0f);  // (4096 + 11 × 96 + 0) >> 10
    EXPECT_EQ(fast_distance_3d(100, 0, 0), 100.0f);
    EXPECT_EQ(fast_distance_3d(0.0005f, 0, 0), 0.0f) << "below 1/1024 of a unit is lost";
    EXPECT_GT(fast_distance_3d(1e30f, 1e30f, 0), 1e15f) << "huge components stay huge";
    EXPECT_TRUE(std::isinf(fast_distance_3d(INFINITY, 0, 0)));
    EXPECT_TRUE(std::isnan(fast_distance_3d(NAN, 0, 0)));
}
