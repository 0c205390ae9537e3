// polygon.cpp -- 2D polygons: outlines through the clipped line drawers, direct and matrix
// transforms, bounds, the whole-degree trig tables, small matrix products and fast distances.
// Transforms change the caller's vertices in place; nothing here allocates.
#include <cmath>
#include <cstdlib>

#include "display.h"
#include "placement.h"
#include "sprites.h"

// ---- constants ----
static constexpr float PI = 3.1415927f;
// Component magnitudes above this (in 1/1024 units) are held here, so the sum cannot overflow.
static constexpr int64_t DISTANCE_3D_LIMIT = int64_t{1} << 60;

// ---- records ----
struct SinCos {
    float s, c;
};

// ---- globals ----
float sin_table[361];
float cos_table[361];

// ---- helpers ----

// A polygon whose vertex list can be walked: a count of 0 needs no array.
static bool vertices_usable(const struct Polygon* polygon)
{
    return polygon && polygon->vertex_count >= 0 && (polygon->vertex_count == 0 || polygon->vertices);
}

// The table index of an angle: angles beyond a full turn are first reduced to one, then a
// negative angle is raised by 360 (so -360 is index 0 and 360 index 360, both filled).
static int table_index(int degrees)
{
    if (degrees < -360 || degrees > 360)
        degrees %= 360;
    return degrees < 0 ? degrees + 360 : degrees;
}

// cos 0 is 1 once the tables are filled; a rotation through empty tables would collapse every
// vertex onto the origin for good.
static void ensure_tables()
{
    if (cos_table[0] != 1.0f)
        trig_tables_init();
}

// The sine and cosine of a whole-degree angle, read from the tables (filled first if need be).
static SinCos table_sin_cos(int degrees)
{
    ensure_tables();
    const int angle = table_index(degrees);
    return {sin_table[angle], cos_table[angle]};
}

static int saturate_int(int64_t v)
{
    return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : static_cast<int>(v);
}

// Every vertex replaced by (x, y, 1) × m.
static void transform_vertices(struct Polygon* polygon, const Matrix3x2& m)
{
    for (int i = 0; i < polygon->vertex_count; ++i) {
        Vertex& v = polygon->vertices[i];
        const Matrix1x2 p = {{v.x, v.y}};
        Matrix1x2 out;
        mat_mul_1x2_3x2(&p, &m, &out);
        v.x = out.m[0];
        v.y = out.m[1];
    }
}

template <class Pixel>
static int draw_outline(struct Polygon* polygon, Pixel* buffer, int pitch,
                        int (*draw_line)(int, int, int, int, int, Pixel*, int))
{
    if (!polygon || polygon->state == 0 || polygon->vertex_count <= 0 || !polygon->vertices || !buffer)
        return 0;
    const int n = polygon->vertex_count;
    ScreenPoint from = vertex_place(polygon, 0);
    const ScreenPoint first = from;
    for (int i = 0; i + 1 < n; ++i) {
        const ScreenPoint to = vertex_place(polygon, i + 1);
        draw_line(from.x, from.y, to.x, to.y, polygon->color, buffer, pitch);
        from = to;
    }
    draw_line(first.x, first.y, from.x, from.y, polygon->color, buffer, pitch);  // closes the outline
    return 1;
}

// ---- tables ----

int trig_tables_init()
{
    for (int i = 0; i <= 360; ++i) {
        // The angle in single precision; its sine and cosine taken in double and rounded once.
        const float theta = static_cast<float>(i) * PI / 180.0f;
        cos_table[i] = static_cast<float>(std::cos(static_cast<double>(theta)));
        sin_table[i] = static_cast<float>(std::sin(static_cast<double>(theta)));
    }
    return 1;
}

// ---- outlines ----

int polygon_draw8(struct Polygon* polygon, uint8_t* buffer, int pitch)
{
    return draw_outline<uint8_t>(polygon, buffer, pitch, draw_line8);
}

int polygon_draw16(struct Polygon* polygon, uint16_t* buffer, int pitch)
{
    return draw_outline<uint16_t>(polygon, buffer, pitch, draw_line16);
}

// ---- direct transforms ----

int polygon_translate(struct Polygon* polygon, int dx, int dy)
{
    if (!polygon)
        return 0;
    polygon->pos_x = saturate_int(int64_t{polygon->pos_x} + dx);
    polygon->pos_y = saturate_int(int64_t{polygon->pos_y} + dy);
    return 1;
}

int polygon_rotate(struct Polygon* polygon, int degrees)
{
    if (!vertices_usable(polygon))
        return 0;
    const auto [s, c] = table_sin_cos(degrees);
    for (int i = 0; i < polygon->vertex_count; ++i) {
        Vertex& v = polygon->vertices[i];
        const float x = v.x * c - v.y * s;
        const float y = v.x * s + v.y * c;
        v.x = x;
        v.y = y;
    }
    return 1;
}

int polygon_scale(struct Polygon* polygon, float sx, float sy)
{
    if (!vertices_usable(polygon))
        return 0;
    for (int i = 0; i < polygon->vertex_count; ++i) {
        polygon->vertices[i].x *= sx;
        polygon->vertices[i].y *= sy;
    }
    return 1;
}

// ---- matrix transforms ----

int polygon_translate_mat(struct Polygon* polygon, int dx, int dy)
{
    if (!polygon)
        return 0;
    Matrix3x2 m;
    mat_init_3x2(&m, 1, 0, 0, 1, static_cast<float>(dx), static_cast<float>(dy));
    const Matrix1x2 origin = {{static_cast<float>(polygon->pos_x), static_cast<float>(polygon->pos_y)}};
    Matrix1x2 moved;
    mat_mul_1x2_3x2(&origin, &m, &moved);
    polygon->pos_x = trunc_to_int(moved.m[0]);
    polygon->pos_y = trunc_to_int(moved.m[1]);
    return 1;
}

int polygon_rotate_mat(struct Polygon* polygon, int degrees)
{
    if (!vertices_usable(polygon))
        return 0;
    const auto [s, c] = table_sin_cos(degrees);
    Matrix3x2 m;
    mat_init_3x2(&m, c, s, -s, c, 0, 0);
    transform_vertices(polygon, m);
    return 1;
}

int polygon_scale_mat(struct Polygon* polygon, float sx, float sy)
{
    if (!vertices_usable(polygon))
        return 0;
    Matrix3x2 m;
    mat_init_3x2(&m, sx, 0, 0, sy, 0, 0);
    transform_vertices(polygon, m);
    return 1;
}

// ---- bounds ----

int polygon_bounds(struct Polygon* polygon, float* min_x, float* max_x, float* min_y, float* max_y)
{
    if (!polygon || polygon->vertex_count <= 0 || !polygon->vertices || !min_x || !max_x || !min_y || !max_y)
        return 0;
    float lo_x = 0, hi_x = 0, lo_y = 0, hi_y = 0;
    for (int i = 0; i < polygon->vertex_count; ++i) {
        const Vertex& v = polygon->vertices[i];
        if (v.x > hi_x)
            hi_x = v.x;
        if (v.x < lo_x)
            lo_x = v.x;
        if (v.y > hi_y)
            hi_y = v.y;
        if (v.y < lo_y)
            lo_y = v.y;
    }
    *min_x = lo_x;
    *max_x = hi_x;
    *min_y = lo_y;
    *max_y = hi_y;
    return 1;
}

// ---- matrices ----

int mat_init_3x2(Matrix3x2* m, float a, float b, float c, float d, float e, float f)
{
    if (!m)
        return 0;
    *m = {{{a, b}, {c, d}, {e, f}}};
    return 1;
}

// Each product is formed in a local and copied out, so an output that is also an input is safe.
int mat_mul_1x2_3x2(const Matrix1x2* p, const Matrix3x2* m, Matrix1x2* out)
{
    if (!p || !m || !out)
        return 0;
    Matrix1x2 r;
    for (int i = 0; i < 2; ++i)
        r.m[i] = (p->m[0] * m->m[0][i] + p->m[1] * m->m[1][i]) + m->m[2][i];
    *out = r;
    return 1;
}

int mat_mul_3x3(const Matrix3x3* a, const Matrix3x3* b, Matrix3x3* out)
{
    if (!a || !b || !out)
        return 0;
    Matrix3x3 r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            float sum = 0;
            for (int k = 0; k < 3; ++k)
                sum += a->m[i][k] * b->m[k][j];
            r.m[i][j] = sum;
        }
    }
    *out = r;
    return 1;
}

int mat_mul_1x3_3x3(const Matrix1x3* v, const Matrix3x3* m, Matrix1x3* out)
{
    if (!v || !m || !out)
        return 0;
    Matrix1x3 r;
    for (int i = 0; i < 3; ++i) {
        float sum = 0;
        for (int j = 0; j < 3; ++j)
            sum += v->m[j] * m->m[j][i];
        r.m[i] = sum;
    }
    *out = r;
    return 1;
}

// ---- fast distances ----

int fast_distance_2d(int dx, int dy)
{
    // 64-bit, so |INT_MIN| and the sum of two large magnitudes stay exact before saturating.
    const int64_t x = std::llabs(int64_t{dx});
    const int64_t y = std::llabs(int64_t{dy});
    const int64_t m = x < y ? x : y;
    return saturate_int(x + y - (m >> 1) - (m >> 2) + (m >> 4));
}

float fast_distance_3d(float dx, float dy, float dz)
{
    if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(dz))
        return std::fabs(dx) + std::fabs(dy) + std::fabs(dz);
    int64_t c[3];
    const float in[3] = {dx, dy, dz};
    for (int i = 0; i < 3; ++i) {
        const double scaled = std::fabs(static_cast<double>(in[i])) * 1024.0;
        c[i] = scaled >= static_cast<double>(DISTANCE_3D_LIMIT) ? DISTANCE_3D_LIMIT : static_cast<int64_t>(scaled);
    }
    int64_t t;
    if (c[1] < c[0]) {
        t = c[0], c[0] = c[1], c[1] = t;
    }
    if (c[2] < c[1]) {
        t = c[1], c[1] = c[2], c[2] = t;
    }
    if (c[1] < c[0]) {
        t = c[0], c[0] = c[1], c[1] = t;
    }
    return static_cast<float>((c[2] + 11 * (c[1] >> 5) + (c[0] >> 2)) >> 10);
}
