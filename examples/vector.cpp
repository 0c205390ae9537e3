// vector.cpp -- vector graphics at 8 bits: stars plotted a pixel at a time, polygons turned and
// scaled every frame (filled, outlined, boxed by their bounds), filled triangles with float and
// fixed-point edges, and lines from far off screen cut to a window by the software clip rectangle,
// one of them cut by clip_line first and drawn unclipped. Everything is drawn into the locked back
// buffer through a 3-3-2 colour palette.
#include <cmath>
#include <vector>

#include "display.h"
#include "skeleton.h"
#include "sprites.h"

static constexpr RECT LINE_WINDOW = {360, 270, 620, 460};  // the clip rectangle of the last panel
static constexpr int STARS = 120;

struct Shape {
    std::vector<Vertex> base;  // the shape as built; each frame turns and scales a fresh copy
    std::vector<Vertex> work;
    struct Polygon polygon;
};

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

// A regular polygon of `corners`, or a star when every second corner sits at `inner`.
static Shape make_shape(int corners, float radius, float inner, int x, int y, int color)
{
    Shape s;
    for (int i = 0; i < corners; ++i) {
        const float a = 6.2831853f * static_cast<float>(i) / static_cast<float>(corners);
        const float r = (inner > 0 && i % 2) ? inner : radius;
        s.base.push_back({r * std::cos(a), r * std::sin(a)});
    }
    s.polygon = {1, corners, x, y, color, nullptr};
    return s;
}

// Stars drifting left at three speeds, one pixel each, wrapping around the left half of the screen.
static void draw_stars(int frame, uint8_t* bits, int pitch)
{
    for (int i = 0; i < STARS; ++i) {
        const int speed = 1 + i % 3;
        const int x = ((i * 7919) % 320 - frame * speed) % 320;
        plot_pixel8(x < 0 ? x + 320 : x, (i * 104729) % SCREEN_H, rgb332(80 * speed, 80 * speed, 255), bits, pitch);
    }
}

// A fresh copy of the shape's vertices for this frame: transforms move the vertices in place.
static struct Polygon* fresh(Shape& s)
{
    s.work = s.base;
    s.polygon.vertices = s.work.data();
    return &s.polygon;
}

static void draw_polygons(Shape* shapes, int frame, uint8_t* bits, int pitch)
{
    const float pulse = 1.0f + 0.35f * std::sin(static_cast<float>(frame) * 0.05f);
    struct Polygon* hexagon = fresh(shapes[0]);  // filled, then outlined in white
    polygon_scale(hexagon, pulse, pulse);
    polygon_rotate(hexagon, frame * 2);  // any angle: far past a full turn is fine
    polygon_fill8(hexagon, bits, pitch);
    hexagon->color = rgb332(255, 255, 255);
    polygon_draw8(hexagon, bits, pitch);
    hexagon->color = rgb332(0, 96, 255);
    struct Polygon* star = fresh(shapes[1]);  // concave, so outlined only, in a box of its bounds
    polygon_scale(star, 2.0f - pulse, 2.0f - pulse);
    polygon_rotate(star, -frame * 3);
    polygon_draw8(star, bits, pitch);
    float left, right, top, bottom;  // relative to the origin
    if (polygon_bounds(star, &left, &right, &top, &bottom)) {
        const int x0 = star->pos_x + static_cast<int>(left), x1 = star->pos_x + static_cast<int>(right);
        const int y0 = star->pos_y + static_cast<int>(top), y1 = star->pos_y + static_cast<int>(bottom);
        hline8(x0, x1, y0, rgb332(128, 128, 128), bits, pitch), hline8(x0, x1, y1, rgb332(128, 128, 128), bits, pitch);
        vline8(y0, y1, x0, rgb332(128, 128, 128), bits, pitch), vline8(y0, y1, x1, rgb332(128, 128, 128), bits, pitch);
    }
    polygon_translate(&shapes[2].polygon, (frame / 60) % 2 ? -1 : 1, 0);  // the origin drifts
    struct Polygon* square = fresh(shapes[2]);
    polygon_rotate(square, frame);
    polygon_fill8(square, bits, pitch);
}

static void draw_triangles(int frame, uint8_t* bits, int pitch)
{
    const float t = static_cast<float>(frame) * 0.03f;
    for (int i = 0; i < 3; ++i) {  // float edges on the left, fixed-point on the right
        const float a = t + 2.094f * static_cast<float>(i);
        triangle_fill8(340 + 20 * i, 20, 460 - 10 * i, 60 + 30 * i, 400 + static_cast<int>(40 * std::cos(a)),
                       120 + static_cast<int>(90 * std::sin(a)), rgb332(255, 64 * i, 0), bits, pitch);
        triangle_fill8_fixed(500 + 15 * i, 30 + 40 * i, 630, 200 - 50 * i, 560 + static_cast<int>(60 * std::cos(-a)),
                             120 + static_cast<int>(100 * std::sin(-a)), rgb332(0, 255, 64 * i + 63), bits, pitch);
    }
}

// Spokes from 100000 pixels away and a triangle larger than the window, all cut to LINE_WINDOW.
static void draw_clipped(int frame, uint8_t* bits, int pitch)
{
    const RECT& r = LINE_WINDOW;
    clip_min_x = r.left, clip_min_y = r.top, clip_max_x = r.right, clip_max_y = r.bottom;
    const float t = static_cast<float>(frame) * 0.01f;
    const int cx = 490 + static_cast<int>(60 * std::sin(t * 3)), cy = 365;
    triangle_fill8(cx - 200, cy + 150, cx + 30, cy - 140, cx + 220, cy + 40, rgb332(96, 0, 96), bits, pitch);
    for (int i = 0; i < 36; ++i) {
        const float a = t + static_cast<float>(i) * 0.1745f;
        draw_line8(cx, cy, cx + static_cast<int>(100000 * std::cos(a)), cy + static_cast<int>(100000 * std::sin(a)),
                   rgb332(0, 255, 255), bits, pitch);
    }
    // One long line cut by hand: clip_line moves its ends onto the window, then line8, which does
    // not clip, draws what is left; a line wholly outside gives 0 and is not drawn.
    int x0 = cx - 5000, y0 = cy + 3000, x1 = cx + 5000, y1 = cy - 2000 + static_cast<int>(2000 * std::sin(t * 5));
    if (clip_line(&x0, &y0, &x1, &y1))
        line8(x0, y0, x1, y1, rgb332(255, 255, 255), bits, pitch);
    clip_min_x = 0, clip_min_y = 0, clip_max_x = SCREEN_W - 1, clip_max_y = SCREEN_H - 1;
    for (int edge = 0; edge < 2; ++edge) {  // the window's frame, just outside it
        hline8(r.left - 1, r.right + 1, edge ? r.bottom + 1 : r.top - 1, rgb332(255, 255, 0), bits, pitch);
        vline8(r.top - 1, r.bottom + 1, edge ? r.right + 1 : r.left - 1, rgb332(255, 255, 0), bits, pitch);
    }
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the window, the display, the palette, the shapes.
    if (!example_open_window(instance, "Vorlash example: vector graphics") ||
        !display_init(SCREEN_W, SCREEN_H, 8, 0)) {
        display_shutdown();
        return 1;
    }
    set_332_palette();
    Shape shapes[] = {make_shape(6, 70, 0, 150, 120, rgb332(0, 96, 255)),
                      make_shape(10, 60, 25, 240, 190, rgb332(255, 255, 0)),
                      make_shape(4, 40, 0, 120, 360, rgb332(255, 0, 128))};

    // Loop: clear, lock, draw, unlock, flip.
    for (int frame = 0; example_running(); ++frame) {
        surface_fill(back_surface, 0, nullptr);
        if (uint8_t* bits = back_lock()) {
            draw_stars(frame, bits, back_pitch);
            draw_polygons(shapes, frame, bits, back_pitch);
            draw_triangles(frame, bits, back_pitch);
            draw_clipped(frame, bits, back_pitch);
            back_unlock();
        }
        display_flip();
    }

    display_shutdown();  // take down
    return example_exit_code();
}
