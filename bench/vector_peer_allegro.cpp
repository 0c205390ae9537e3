// vector_peer_allegro.cpp -- Allegro 4 drawing the benchmark's shapes on an 8-bit memory bitmap
// with its clip rectangle at the bitmap's edges (no display: the library starts with SYSTEM_NONE).
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

#include <cerrno>
#include <cstdlib>

#include "vector_inputs.h"

namespace bench_vector {

static BITMAP* target = nullptr;

bool allegro_open()
{
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0)
        return false;
    target = create_bitmap_ex(8, WIDTH, HEIGHT);
    if (!target)
        return false;
    clear_to_color(target, 0);
    set_clip_rect(target, 0, 0, WIDTH - 1, HEIGHT - 1);
    return true;
}

void allegro_clear()
{
    clear_to_color(target, 0);
}

long allegro_coverage()
{
    long n = 0;
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            n += target->line[y][x] != 0;
    return n;
}

void allegro_lines(const std::vector<LineInput>& lines)
{
    for (const LineInput& l : lines)
        line(target, l.x0, l.y0, l.x1, l.y1, l.color);
}

void allegro_triangles(const std::vector<TriangleInput>& triangles)
{
    for (const TriangleInput& t : triangles)
        triangle(target, t.x1, t.y1, t.x2, t.y2, t.x3, t.y3, t.color);
}

void allegro_hexagons(const std::vector<HexagonInput>& hexagons)
{
    for (const HexagonInput& h : hexagons) {
        int points[12];
        for (int i = 0; i < 6; ++i) {
            points[2 * i] = h.screen_x[i];
            points[2 * i + 1] = h.screen_y[i];
        }
        polygon(target, 6, points, h.color);
    }
}

void allegro_close()
{
    if (target)
        destroy_bitmap(target);
    target = nullptr;
    allegro_exit();
}

}  // namespace bench_vector
