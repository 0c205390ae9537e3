// fill_internal.h -- what the fills share: the clip rectangle read once per call, the distance
// between lines in pixels, a convex polygon's edge walks and where they start, and the triangle
// halves and the plain polygon walk that the tests compare the fills with. Internal to the sprites
// layer, not installed.
#pragma once
#include <cstddef>
#include <cstdint>

#include "display.h"
#include "placement.h"

// The clip rectangle read once per call: the pixel stores would otherwise make the compiler read
// the globals again on every line, as a byte store may alias them.
struct ClipBox {
    int64_t min_x, min_y, max_x, max_y;
};

inline ClipBox clip_box()
{
    return {clip_min_x, clip_min_y, clip_max_x, clip_max_y};
}

// One side of a polygon walk: its current column and the edge it is stepping along, with the
// integer error term of the midpoint rule.
struct EdgeWalk {
    int x, target;
    int adx, ady, sx, count, error;
    int run, run_rest;  // x-major, for the fast walk: whole steps a line, and the error below which one more is taken
    bool x_major;
};

// Pixels from one line to the next: the pitch is in bytes at both depths.
template <class Pixel> inline ptrdiff_t line_pixels(int pitch)
{
    return static_cast<ptrdiff_t>(pitch) / static_cast<ptrdiff_t>(sizeof(Pixel));
}

// The vertex a polygon's walk starts from: the top one by the vertices' own y (the earliest wins a
// tie). The caller has checked that there is at least one.
inline int top_vertex(const struct Polygon* polygon)
{
    int top = 0;
    int top_y = trunc_to_int(polygon->vertices[0].y);
    for (int i = 1; i < polygon->vertex_count; ++i) {
        if (polygon->vertices[i].y < static_cast<float>(top_y)) {
            top = i;
            top_y = trunc_to_int(polygon->vertices[i].y);
        }
    }
    return top;
}

// Starts a walk from column x of line y towards the screen position `to`, with the error term at 0.
inline void edge_begin(EdgeWalk& w, int x, int y, ScreenPoint to)
{
    const int dx = to.x - x;
    const int dy = to.y - y;
    w.x = x;
    w.adx = dx < 0 ? -dx : dx;
    w.ady = dy < 0 ? -dy : dy;
    w.sx = dx < 0 ? -1 : 1;
    w.x_major = w.ady < w.adx;
    w.count = w.x_major ? w.adx : w.ady;
    w.error = 0;
}

// ---- fill.cpp ----
// Triangle halves: flat-top takes P1 P2 as the top edge (row y1) and P3 as the apex below;
// flat-bottom takes P1 as the apex above and P2 P3 as the bottom edge (row y3). A half of zero
// height draws nothing.
void flat_top_fill8(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch);
void flat_bottom_fill8(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch);
void flat_top_fill8_fixed(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch);
void flat_bottom_fill8_fixed(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch);
void flat_top_fill16(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint16_t* buffer, int pitch);
void flat_bottom_fill16(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint16_t* buffer, int pitch);
// polygon_fill8 by the plain walk, one pixel step at a time: the pixels its fast walks must set.
int polygon_fill8_reference(struct Polygon* polygon, uint8_t* buffer, int pitch);
