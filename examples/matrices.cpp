// matrices.cpp -- 2D matrices: a sun, a planet and its moon placed by 3 × 3 matrices multiplied
// together (each body's matrix is its own turn and distance times its parent's), built from the
// library's whole-degree sine and cosine tables; a grid bent by one affine 3 × 2 matrix; a ship
// turned, scaled and moved by the polygon transforms' matrix forms; and the cheap distance
// estimates beside the exact distances.
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "display.h"
#include "skeleton.h"
#include "sprites.h"

// ---- constants ----
static constexpr int SUN_X = 170, SUN_Y = 200;
static constexpr int GRID_X = 480, GRID_Y = 150, GRID_STEP = 18, GRID_HALF = 4;  // 9 × 9 points

// ---- helpers ----

// A palette of 3 bits of red, 3 of green and 2 of blue, so a colour's index is its bits.
static void set_332_palette()
{
    PALETTEENTRY colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = {static_cast<BYTE>((i >> 5) * 255 / 7), static_cast<BYTE>((i >> 2 & 7) * 255 / 7),
                      static_cast<BYTE>((i & 3) * 255 / 3), 0};
    palette_set_all(colours);
}
static int rgb332(int r, int g, int b) { return (r >> 5) << 5 | (g >> 5) << 2 | b >> 6; }

// Points are rows (x, y, 1) multiplied on the left, so a product A × B does A first, then B.
static Matrix3x3 turn(int degrees)  // degrees 0 … 359, clockwise on the screen
{
    const float s = sin_table[degrees % 360], c = cos_table[degrees % 360];
    return {{{c, s, 0}, {-s, c, 0}, {0, 0, 1}}};
}
static Matrix3x3 move(float x, float y) { return {{{1, 0, 0}, {0, 1, 0}, {x, y, 1}}}; }

// The product of the matrices in order: a point goes through the first one first.
static Matrix3x3 product(std::initializer_list<Matrix3x3> matrices)
{
    Matrix3x3 out = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    for (const Matrix3x3& m : matrices)
        mat_mul_3x3(&out, &m, &out);  // the output may be one of the inputs
    return out;
}

// A regular polygon of `corners` (at most 12) and `radius` about the origin, through `m`: its corners
// placed by the matrix, filled as a polygon about the placed centre, then outlined.
static void draw_body(const Matrix3x3& m, int corners, float radius, int fill, int edge, uint8_t* bits, int pitch)
{
    const Matrix1x3 origin = {{0, 0, 1}};
    Matrix1x3 centre;
    mat_mul_1x3_3x3(&origin, &m, &centre);
    Vertex placed[12];
    for (int i = 0; i < corners; ++i) {
        const int a = i * 360 / corners;
        const Matrix1x3 local = {{radius * cos_table[a], radius * sin_table[a], 1}};
        Matrix1x3 p;
        mat_mul_1x3_3x3(&local, &m, &p);
        placed[i] = {p.m[0] - centre.m[0], p.m[1] - centre.m[1]};  // relative to the polygon's origin
    }
    struct Polygon body = {1, corners, static_cast<int>(centre.m[0]), static_cast<int>(centre.m[1]), fill, placed};
    polygon_fill8(&body, bits, pitch);
    body.color = edge;
    polygon_draw8(&body, bits, pitch);
}

// The solar system. Each body's frame is its distance and turn about its parent, then the parent's
// frame; the body turns about itself inside its frame. The moon's centre is given back.
static void draw_system(int frame, uint8_t* bits, int pitch, int* moon_x, int* moon_y)
{
    const Matrix3x3 sun_at = move(SUN_X, SUN_Y);
    const Matrix3x3 planet_at = product({move(110, 0), turn(frame / 2 % 360), sun_at});
    const Matrix3x3 moon_at = product({move(36, 0), turn(frame * 4 % 360), planet_at});
    for (int a = 0; a < 360; a += 6) {  // the planet's orbit, as dots
        const Matrix1x3 on_orbit = {{110 * cos_table[a], 110 * sin_table[a], 1}};
        Matrix1x3 placed;
        mat_mul_1x3_3x3(&on_orbit, &sun_at, &placed);
        plot_pixel8(static_cast<int>(placed.m[0]), static_cast<int>(placed.m[1]), rgb332(96, 96, 96), bits, pitch);
    }
    draw_body(product({turn(frame % 360), sun_at}), 12, 30, rgb332(224, 96, 0), rgb332(255, 224, 0), bits, pitch);
    draw_body(product({turn(frame * 3 % 360), planet_at}), 4, 14, rgb332(0, 64, 192), rgb332(0, 160, 255), bits, pitch);
    draw_body(product({turn(frame * 5 % 360), moon_at}), 3, 8, rgb332(128, 128, 128), rgb332(255, 255, 255), bits,
              pitch);
    *moon_x = static_cast<int>(moon_at.m[2][0]);  // where a frame's origin lands: its bottom row
    *moon_y = static_cast<int>(moon_at.m[2][1]);
}

// A grid of points through one affine matrix (a b / c d / e f): a shear that sways and a turn.
static void draw_grid(int frame, uint8_t* bits, int pitch)
{
    const int a = frame % 360;
    const float sway = 0.6f * sin_table[frame * 2 % 360];
    Matrix3x2 bend;
    mat_init_3x2(&bend, cos_table[a], sin_table[a] + sway, -sin_table[a], cos_table[a], GRID_X, GRID_Y);
    Matrix1x2 p[2 * GRID_HALF + 1][2 * GRID_HALF + 1];
    for (int i = 0; i <= 2 * GRID_HALF; ++i)
        for (int j = 0; j <= 2 * GRID_HALF; ++j) {
            const Matrix1x2 local = {{static_cast<float>((i - GRID_HALF) * GRID_STEP),
                                      static_cast<float>((j - GRID_HALF) * GRID_STEP)}};
            mat_mul_1x2_3x2(&local, &bend, &p[i][j]);
        }
    auto line = [&](const Matrix1x2& u, const Matrix1x2& v) {
        draw_line8(static_cast<int>(u.m[0]), static_cast<int>(u.m[1]), static_cast<int>(v.m[0]),
                   static_cast<int>(v.m[1]), rgb332(0, 255, 128), bits, pitch);
    };
    for (int i = 0; i <= 2 * GRID_HALF; ++i)
        for (int j = 0; j < 2 * GRID_HALF; ++j)
            line(p[i][j], p[i][j + 1]), line(p[j][i], p[j + 1][i]);
}

// A ship: the polygon transforms' matrix forms move its vertices about its origin in place, so each
// frame turns and scales a fresh copy; the origin itself moves with polygon_translate_mat.
static void draw_ship(struct Polygon* ship, int frame, uint8_t* bits, int pitch)
{
    static const Vertex shape[] = {{24, 0}, {-10, -14}, {-16, 0}, {-10, 14}};  // convex, as a fill needs
    Vertex work[4] = {shape[0], shape[1], shape[2], shape[3]};
    ship->vertices = work;
    polygon_translate_mat(ship, frame % 240 < 120 ? 2 : -2, 0);
    polygon_scale_mat(ship, 1.5f, 1.0f + 0.5f * sin_table[frame * 4 % 360]);
    polygon_rotate_mat(ship, frame * 2);
    polygon_fill8(ship, bits, pitch);
    ship->vertices = nullptr;
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the display, its palette, the sine and cosine tables.
    if (!example_open_window(instance, "Vorlash example: 2D matrices") || !display_init(SCREEN_W, SCREEN_H, 8, 0)) {
        display_shutdown();
        return 1;
    }
    set_332_palette();
    trig_tables_init();  // the rotations fill them too; a program that reads them fills them first
    struct Polygon ship = {1, 4, 340, 400, rgb332(255, 96, 0), nullptr};

    // Loop: clear, draw into the locked buffer, write the distances, flip.
    for (int frame = 0; example_running(); ++frame) {
        surface_fill(back_surface, 0, nullptr);
        int moon_x = 0, moon_y = 0;
        if (uint8_t* bits = back_lock()) {
            draw_system(frame, bits, back_pitch, &moon_x, &moon_y);
            draw_grid(frame, bits, back_pitch);
            draw_ship(&ship, frame, bits, back_pitch);
            back_unlock();
        }
        const int dx = moon_x - SUN_X, dy = moon_y - SUN_Y, dz = 100;
        char line[96];
        std::snprintf(line, sizeof line, "moon to sun: fast_distance_2d %d, exact %.1f", fast_distance_2d(dx, dy),
                      std::sqrt(static_cast<double>(dx * dx + dy * dy)));
        text_draw(line, 10, 420, RGB(255, 255, 255), back_surface);
        std::snprintf(line, sizeof line, "and 100 above it: fast_distance_3d %.1f, exact %.1f",
                      fast_distance_3d(static_cast<float>(dx), static_cast<float>(dy), static_cast<float>(dz)),
                      std::sqrt(static_cast<double>(dx * dx + dy * dy + dz * dz)));
        text_draw(line, 10, 444, RGB(255, 255, 255), back_surface);
        text_draw("3 x 3: sun, planet, moon", 10, 10, RGB(255, 224, 0), back_surface);
        text_draw("3 x 2: one affine matrix", 400, 10, RGB(0, 255, 128), back_surface);
        display_flip();
    }

    display_shutdown();  // take down
    return example_exit_code();
}
