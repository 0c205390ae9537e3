// vector_demo.cpp -- the vector-graphics half of the library at work: polygons turning and
// scaling (filled and outlined), filled triangles of all three variants, and lines clipped to a
// window. A demo, not part of the game: set up, loop until ESC or the window closes, take down.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "display.h"
#include "services.h"
#include "sprites.h"

// ---- constants ----
static const char WINDOW_CLASS[] = "VECTORDEMO";
static constexpr int W = 640, H = 480;
// The 16-bit panel: triangle_fill16 draws 5.6.5 pixels here, shown through the 3-3-2 palette.
static constexpr int PANEL_W = 300, PANEL_H = 220, PANEL_X = 10, PANEL_Y = 250;
// The window the clipped lines and triangles are cut to.
static constexpr RECT LINE_WINDOW = {360, 270, 620, 460};

// ---- records ----
struct Shape {
    std::vector<Vertex> base;  // the shape as built; each frame turns and scales a fresh copy
    std::vector<Vertex> work;
    struct Polygon polygon;
};

// ---- globals ----
static std::vector<uint16_t> panel(PANEL_W* PANEL_H);

// ---- helpers ----

// Palette index of a colour in the 3-3-2 palette this demo sets.
static int rgb332(int r, int g, int b)
{
    return (r >> 5) << 5 | (g >> 5) << 2 | b >> 6;
}

static void set_palette()
{
    for (int i = 0; i < 256; ++i) {
        shadow_palette[i].peRed = static_cast<BYTE>((i >> 5) * 255 / 7);
        shadow_palette[i].peGreen = static_cast<BYTE>((i >> 2 & 7) * 255 / 7);
        shadow_palette[i].peBlue = static_cast<BYTE>((i & 3) * 255 / 3);
        shadow_palette[i].peFlags = 0;
    }
    if (display_palette)
        display_palette->SetEntries(0, 0, 256, shadow_palette);
}

static Shape make_shape(const std::vector<Vertex>& vertices, int x, int y, int color)
{
    Shape s;
    s.base = vertices;
    s.work = vertices;
    s.polygon = {1, static_cast<int32_t>(vertices.size()), x, y, color, nullptr};
    return s;
}

static std::vector<Vertex> regular(int corners, float radius, float inner)
{
    std::vector<Vertex> v;
    for (int i = 0; i < corners; ++i) {
        const float a = 6.2831853f * static_cast<float>(i) / static_cast<float>(corners);
        const float r = (inner > 0 && i % 2) ? inner : radius;
        v.push_back({r * std::cos(a), r * std::sin(a)});
    }
    return v;
}

// A fresh copy of the shape's vertices, turned by `degrees` (any int) and scaled.
static struct Polygon* pose(Shape& s, int degrees, float scale)
{
    s.work = s.base;
    s.polygon.vertices = s.work.data();
    polygon_scale(&s.polygon, scale, scale);
    polygon_rotate(&s.polygon, degrees);
    return &s.polygon;
}

static void set_clip(int x0, int y0, int x1, int y1)
{
    clip_min_x = x0, clip_min_y = y0, clip_max_x = x1, clip_max_y = y1;
}

static void draw_polygons(uint8_t* bits, int pitch, int frame, Shape* shapes)
{
    const float pulse = 1.0f + 0.35f * std::sin(static_cast<float>(frame) * 0.05f);
    // A hexagon filled and outlined, turning clockwise through angles far past a full turn.
    polygon_fill8(pose(shapes[0], frame * 2, pulse), bits, pitch);
    shapes[0].polygon.color = rgb332(255, 255, 255);
    polygon_draw8(&shapes[0].polygon, bits, pitch);
    shapes[0].polygon.color = rgb332(0, 96, 255);
    // A star (concave, so outlined only) turning the other way through the matrix path.
    shapes[1].work = shapes[1].base;
    shapes[1].polygon.vertices = shapes[1].work.data();
    polygon_scale_mat(&shapes[1].polygon, 2.0f - pulse, 2.0f - pulse);
    polygon_rotate_mat(&shapes[1].polygon, -frame * 3);
    polygon_draw8(&shapes[1].polygon, bits, pitch);
    // A square swinging in scale, drifting right and back with a translation each frame.
    struct Polygon* square = pose(shapes[2], frame, 0.6f + 0.4f * pulse);
    polygon_translate(square, (frame / 60) % 2 ? -1 : 1, 0);
    polygon_fill8(square, bits, pitch);
}

static void draw_triangles(uint8_t* bits, int pitch, int frame)
{
    const float t = static_cast<float>(frame) * 0.03f;
    // Float edges (left) and fixed-point edges (right), each with its third corner circling.
    for (int i = 0; i < 3; ++i) {
        const float a = t + 2.094f * static_cast<float>(i);
        const int cx = 400 + static_cast<int>(40 * std::cos(a)), cy = 120 + static_cast<int>(90 * std::sin(a));
        triangle_fill8(340 + 20 * i, 20, 460 - 10 * i, 60 + 30 * i, cx, cy, rgb332(255, 64 * i, 0), bits, pitch);
        const int fx = 560 + static_cast<int>(60 * std::cos(-a)), fy = 120 + static_cast<int>(100 * std::sin(-a));
        triangle_fill8_fixed(500 + 15 * i, 30 + 40 * i, 630, 200 - 50 * i, fx, fy, rgb332(0, 255, 64 * i + 63), bits,
                             pitch);
    }
}

// The 16-bit variant into its own 5.6.5 panel, then shown in the 8-bit frame through the palette.
static void draw_panel(uint8_t* bits, int pitch, int frame)
{
    std::fill(panel.begin(), panel.end(), static_cast<uint16_t>(rgb16_565(0, 0, 64)));
    set_clip(0, 0, PANEL_W - 1, PANEL_H - 1);
    const float t = static_cast<float>(frame) * 0.02f;
    for (int i = 0; i < 6; ++i) {
        const float a = t * (1 + i % 3) + static_cast<float>(i);
        const int x = PANEL_W / 2 + static_cast<int>(130 * std::cos(a));
        const int y = PANEL_H / 2 + static_cast<int>(100 * std::sin(a * 1.3f));
        triangle_fill16(PANEL_W / 2, PANEL_H / 2, x, y, x + 80 - 30 * i, y + 50, rgb16_565(255 - 40 * i, 40 * i, 200),
                        panel.data(), PANEL_W * 2);
    }
    set_clip(0, 0, W - 1, H - 1);
    for (int y = 0; y < PANEL_H; ++y) {
        for (int x = 0; x < PANEL_W; ++x) {
            const uint16_t p = panel[y * PANEL_W + x];
            bits[(PANEL_Y + y) * pitch + PANEL_X + x] =
                static_cast<uint8_t>((p >> 13) << 5 | (p >> 8 & 7) << 2 | (p >> 3 & 3));
        }
    }
}

// Spokes from far outside the screen through a point inside the line window, and a triangle
// sweeping across it, all cut to the window; its frame is drawn unclipped.
static void draw_clipped(uint8_t* bits, int pitch, int frame)
{
    const RECT& r = LINE_WINDOW;
    line8(r.left - 1, r.top - 1, r.right + 1, r.top - 1, rgb332(255, 255, 0), bits, pitch);
    line8(r.right + 1, r.top - 1, r.right + 1, r.bottom + 1, rgb332(255, 255, 0), bits, pitch);
    line8(r.right + 1, r.bottom + 1, r.left - 1, r.bottom + 1, rgb332(255, 255, 0), bits, pitch);
    line8(r.left - 1, r.bottom + 1, r.left - 1, r.top - 1, rgb332(255, 255, 0), bits, pitch);
    set_clip(r.left, r.top, r.right, r.bottom);
    const float t = static_cast<float>(frame) * 0.01f;
    const int cx = 490 + static_cast<int>(60 * std::sin(t * 3)), cy = 365;
    triangle_fill8(cx - 200, cy + 150, cx + 30, cy - 140, cx + 220 + static_cast<int>(80 * std::cos(t * 5)), cy + 40,
                   rgb332(96, 0, 96), bits, pitch);
    for (int i = 0; i < 36; ++i) {
        const float a = t + static_cast<float>(i) * 0.1745f;
        const int far_x = cx + static_cast<int>(100000 * std::cos(a));
        const int far_y = cy + static_cast<int>(100000 * std::sin(a));
        draw_line8(cx - (far_x - cx) / 5000, cy - (far_y - cy) / 5000, far_x, far_y, rgb332(0, 255, 255), bits, pitch);
    }
    set_clip(0, 0, W - 1, H - 1);
}

static LRESULT CALLBACK demo_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = demo_window_proc;
    wc.hInstance = instance;
    wc.lpszClassName = WINDOW_CLASS;
    if (!RegisterClassA(&wc))
        return 0;
    main_window = CreateWindowExA(0, WINDOW_CLASS, "Vorlash vector demo", WS_POPUP | WS_VISIBLE, 0, 0, W, H, nullptr,
                                  nullptr, instance, nullptr);
    main_instance = instance;
    if (!main_window || !display_init(W, H, 8, 0)) {
        display_shutdown();
        return 0;
    }
    set_palette();
    trig_tables_init();
    Shape shapes[] = {make_shape(regular(6, 70, 0), 150, 120, rgb332(0, 96, 255)),
                      make_shape(regular(10, 60, 25), 240, 190, rgb332(255, 255, 0)),
                      make_shape(regular(4, 40, 0), 60, 200, rgb332(255, 0, 128))};

    MSG msg{};
    for (int frame = 0;; ++frame) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        surface_fill(back_surface, 0, nullptr);
        if (uint8_t* bits = back_lock()) {
            draw_polygons(bits, back_pitch, frame, shapes);
            draw_triangles(bits, back_pitch, frame);
            draw_panel(bits, back_pitch, frame);
            draw_clipped(bits, back_pitch, frame);
            back_unlock();
        }
        display_flip();
        if (GetAsyncKeyState(VK_ESCAPE) & 0x8000)
            PostMessageA(main_window, WM_DESTROY, 0, 0);
    }
    display_shutdown();
    return static_cast<int>(msg.wParam);
}
