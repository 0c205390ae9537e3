// fill.cpp -- solid triangles (clipped; float or 16.16 fixed-point edges) into a locked 8- or 16-bit
// buffer, every span cut to the clip rectangle before it is written, so no vertex can make a fill
// write outside it; and the convex polygon's edge walk in its plain form, one pixel step at a time:
// the reference the fast walks of fill_fast.cpp must match.
#include <cstddef>
#include <utility>

#include "fill_internal.h"
#include "spans.h"
#include "sprites.h"

// ---- records ----

// Where a fill writes: the first pixel of the buffer and the distance between lines in pixels.
template <class Pixel> struct FillTarget {
    Pixel* buffer;
    ptrdiff_t row;
    Pixel color;
};

// ---- helpers ----

// Columns left .. right of one line, cut to the clip columns; nothing when the cut is empty.
template <class Pixel>
static inline void fill_span(Pixel* line, int64_t left, int64_t right, Pixel color, const ClipBox& clip)
{
    if (left < clip.min_x)
        left = clip.min_x;
    if (right > clip.max_x)
        right = clip.max_x;
    if (left <= right)
        span_fill(line + left, color, static_cast<size_t>(right - left + 1));
}

template <class Pixel> static FillTarget<Pixel> fill_target(Pixel* buffer, int pitch, int color)
{
    return {buffer, line_pixels<Pixel>(pitch), static_cast<Pixel>(color)};
}

static bool columns_inside(int x1, int x2, int x3, const ClipBox& clip)
{
    return x1 >= clip.min_x && x1 <= clip.max_x && x2 >= clip.min_x && x2 <= clip.max_x && x3 >= clip.min_x &&
           x3 <= clip.max_x;
}

// Lines top .. bottom (already inside the clip rows) between a left and a right edge in floats.
// Inside the clip columns a line is trunc(xr - xl + 1) pixels from trunc(xl); otherwise it runs
// from trunc(xl) to trunc(xr), cut to the columns.
template <class Pixel>
static void float_rows(const FillTarget<Pixel>& t, int64_t top, int64_t bottom, float xl, float xr, float dl, float dr,
                       bool inside, const ClipBox& clip)
{
    Pixel* line = t.buffer + top * t.row;
    if (inside) {
        for (int64_t y = top; y <= bottom; ++y, line += t.row) {
            const int64_t left = static_cast<int64_t>(xl);
            fill_span(line, left, left + static_cast<int64_t>(xr - xl + 1.0f) - 1, t.color, clip);
            xl += dl;
            xr += dr;
        }
    } else {
        for (int64_t y = top; y <= bottom; ++y, line += t.row) {
            fill_span(line, static_cast<int64_t>(xl), static_cast<int64_t>(xr), t.color, clip);
            xl += dl;
            xr += dr;
        }
    }
}

// The same with 16.16 fixed-point edges, rounded to the nearest column (halves upward).
template <class Pixel>
static void fixed_rows(const FillTarget<Pixel>& t, int64_t top, int64_t bottom, int64_t xl, int64_t xr, int64_t dl,
                       int64_t dr, bool inside, const ClipBox& clip)
{
    Pixel* line = t.buffer + top * t.row;
    if (inside) {
        for (int64_t y = top; y <= bottom; ++y, line += t.row) {
            const int64_t left = (xl + 0x8000) >> 16;
            fill_span(line, left, left + ((xr - xl + 0x8000) >> 16), t.color, clip);
            xl += dl;
            xr += dr;
        }
    } else {
        for (int64_t y = top; y <= bottom; ++y, line += t.row) {
            fill_span(line, (xl + 0x8000) >> 16, (xr + 0x8000) >> 16, t.color, clip);
            xl += dl;
            xr += dr;
        }
    }
}

// A float half from row y1 to row y3 with edges starting at xl and xr. Coordinates are widened to
// 64 bits so no difference overflows; halves with no rows inside the clip rows return before the
// edges are advanced, which keeps that advance within the edges' own length.
template <class Pixel>
static void float_half(const FillTarget<Pixel>& t, int64_t y1, int64_t y3, float xl, float xr, float dl, float dr,
                       bool inside, const ClipBox& clip)
{
    if (y3 < clip.min_y || y1 > clip.max_y)
        return;
    if (y1 < clip.min_y) {
        const float skipped = static_cast<float>(clip.min_y - y1);
        xl += skipped * dl;
        xr += skipped * dr;
        y1 = clip.min_y;
    }
    float_rows(t, y1, y3 > clip.max_y ? clip.max_y : y3, xl, xr, dl, dr, inside, clip);
}

template <class Pixel> static void float_flat_top(int x1, int y1, int x2, int x3, int y3, const FillTarget<Pixel>& t)
{
    if (!t.buffer || y3 == y1)
        return;
    if (x2 < x1)
        std::swap(x1, x2);
    const ClipBox clip = clip_box();
    const float h = static_cast<float>(int64_t{y3} - y1);
    const float dl = static_cast<float>(int64_t{x3} - x1) / h;
    const float dr = static_cast<float>(int64_t{x3} - x2) / h;
    float_half(t, y1, y3, static_cast<float>(x1), static_cast<float>(x2) + 0.5f, dl, dr,
               columns_inside(x1, x2, x3, clip), clip);
}

template <class Pixel> static void float_flat_bottom(int x1, int y1, int x2, int x3, int y3, const FillTarget<Pixel>& t)
{
    if (!t.buffer || y3 == y1)
        return;
    if (x3 < x2)
        std::swap(x2, x3);
    const ClipBox clip = clip_box();
    const float h = static_cast<float>(int64_t{y3} - y1);
    const float dl = static_cast<float>(int64_t{x2} - x1) / h;
    const float dr = static_cast<float>(int64_t{x3} - x1) / h;
    float_half(t, y1, y3, static_cast<float>(x1), static_cast<float>(x1), dl, dr, columns_inside(x1, x2, x3, clip),
               clip);
}

// The fixed-point half: 16.16 values held in 64 bits, so any int vertex keeps its exact edge.
template <class Pixel>
static void fixed_half(const FillTarget<Pixel>& t, int64_t y1, int64_t y3, int64_t xl, int64_t xr, int64_t dl,
                       int64_t dr, bool inside, const ClipBox& clip)
{
    if (y3 < clip.min_y || y1 > clip.max_y)
        return;
    if (y1 < clip.min_y) {
        xl += dl * (clip.min_y - y1);
        xr += dr * (clip.min_y - y1);
        y1 = clip.min_y;
    }
    fixed_rows(t, y1, y3 > clip.max_y ? clip.max_y : y3, xl, xr, dl, dr, inside, clip);
}

static int64_t to_fixed(int64_t v)
{
    return v * 65536;
}

// The three-vertex front end shared by every variant: rejects, sorts by y and splits.
template <class Pixel>
static void fill_triangle(int x1, int y1, int x2, int y2, int x3, int y3, int color, Pixel* buffer, int pitch,
                          void (*flat_top)(int, int, int, int, int, int, int, Pixel*, int),
                          void (*flat_bottom)(int, int, int, int, int, int, int, Pixel*, int))
{
    if (!buffer || (x1 == x2 && x2 == x3) || (y1 == y2 && y2 == y3))
        return;
    if (y2 < y1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    if (y3 < y1) {
        std::swap(x1, x3);
        std::swap(y1, y3);
    }
    if (y3 < y2) {
        std::swap(x2, x3);
        std::swap(y2, y3);
    }
    if (y3 < clip_min_y || y1 > clip_max_y || (x1 < clip_min_x && x2 < clip_min_x && x3 < clip_min_x) ||
        (x1 > clip_max_x && x2 > clip_max_x && x3 > clip_max_x))
        return;
    if (y1 == y2) {
        flat_top(x1, y1, x2, y2, x3, y3, color, buffer, pitch);
    } else if (y2 == y3) {
        flat_bottom(x1, y1, x2, y2, x3, y3, color, buffer, pitch);
    } else {
        // The split point on the long edge, in double so the product of two int spans is exact.
        const double run = static_cast<double>(int64_t{y2} - y1) * static_cast<double>(int64_t{x3} - x1) /
                           static_cast<double>(int64_t{y3} - y1);
        const int xm = static_cast<int>(x1 + static_cast<int64_t>(run + 0.5));
        flat_bottom(x1, y1, xm, y2, x2, y2, color, buffer, pitch);
        flat_top(x2, y2, xm, y2, x3, y3, color, buffer, pitch);
    }
}

// ---- float triangles ----

void flat_top_fill8(int x1, int y1, int x2, int, int x3, int y3, int color, uint8_t* buffer, int pitch)
{
    float_flat_top(x1, y1, x2, x3, y3, fill_target(buffer, pitch, color));
}

void flat_bottom_fill8(int x1, int y1, int x2, int, int x3, int y3, int color, uint8_t* buffer, int pitch)
{
    float_flat_bottom(x1, y1, x2, x3, y3, fill_target(buffer, pitch, color));
}

void flat_top_fill16(int x1, int y1, int x2, int, int x3, int y3, int color, uint16_t* buffer, int pitch)
{
    float_flat_top(x1, y1, x2, x3, y3, fill_target(buffer, pitch, color));
}

void flat_bottom_fill16(int x1, int y1, int x2, int, int x3, int y3, int color, uint16_t* buffer, int pitch)
{
    float_flat_bottom(x1, y1, x2, x3, y3, fill_target(buffer, pitch, color));
}

void triangle_fill8(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch)
{
    fill_triangle<uint8_t>(x1, y1, x2, y2, x3, y3, color, buffer, pitch, flat_top_fill8, flat_bottom_fill8);
}

void triangle_fill16(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint16_t* buffer, int pitch)
{
    fill_triangle<uint16_t>(x1, y1, x2, y2, x3, y3, color, buffer, pitch, flat_top_fill16, flat_bottom_fill16);
}

// ---- fixed-point triangles ----

void flat_top_fill8_fixed(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch)
{
    if (!buffer || y1 == y3 || y2 == y3)
        return;
    if (x2 < x1)
        std::swap(x1, x2);
    const ClipBox clip = clip_box();
    const int64_t h = int64_t{y3} - y1;
    fixed_half(fill_target(buffer, pitch, color), y1, y3, to_fixed(x1), to_fixed(x2), to_fixed(int64_t{x3} - x1) / h,
               to_fixed(int64_t{x3} - x2) / h, columns_inside(x1, x2, x3, clip), clip);
}

void flat_bottom_fill8_fixed(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch)
{
    if (!buffer || y1 == y2 || y1 == y3)
        return;
    if (x3 < x2)
        std::swap(x2, x3);
    const ClipBox clip = clip_box();
    const int64_t h = int64_t{y3} - y1;
    fixed_half(fill_target(buffer, pitch, color), y1, y3, to_fixed(x1), to_fixed(x1), to_fixed(int64_t{x2} - x1) / h,
               to_fixed(int64_t{x3} - x1) / h, columns_inside(x1, x2, x3, clip), clip);
}

void triangle_fill8_fixed(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer, int pitch)
{
    fill_triangle<uint8_t>(x1, y1, x2, y2, x3, y3, color, buffer, pitch, flat_top_fill8_fixed, flat_bottom_fill8_fixed);
}

// ---- convex polygons: the plain walk ----

// Advances one walk by one line: an x-major walk steps a pixel at a time while its error is below
// adx, setting every pixel it passes but the last; a y-major walk moves at most one column.
static void plain_step(EdgeWalk& w, uint8_t* line, uint8_t color)
{
    if (w.x_major) {
        while (w.error < w.adx && w.count > 0) {
            --w.count;
            w.x += w.sx;
            w.error += w.ady;
            if (w.error < w.adx)
                line[w.x] = color;
        }
        w.error -= w.adx;
    } else {
        w.error += w.adx;
        if (w.error >= w.ady) {
            w.error -= w.ady;
            w.x += w.sx;
        }
        --w.count;
    }
}

// Both walks step, then the line between them is filled; whenever either spends its edge, it takes
// the next one and both restart from where they stand. The walks stop below the lowest vertex.
int polygon_fill8_reference(struct Polygon* polygon, uint8_t* buffer, int pitch)
{
    if (!polygon || !buffer || polygon->vertex_count <= 0 || !polygon->vertices)
        return 0;
    const int n = polygon->vertex_count;
    int bottom = INT32_MIN;
    for (int i = 0; i < n; ++i) {
        const ScreenPoint p = vertex_place(polygon, i);
        if (p.x < clip_min_x || p.x > clip_max_x || p.y < clip_min_y || p.y > clip_max_y)
            return 0;
        bottom = p.y > bottom ? p.y : bottom;
    }
    const uint8_t color = static_cast<uint8_t>(polygon->color);
    const int top = top_vertex(polygon);
    const ScreenPoint start = vertex_place(polygon, top);
    int y = start.y;
    EdgeWalk left, right;
    left.target = (top + n - 1) % n;
    right.target = (top + 1) % n;
    edge_begin(left, start.x, y, vertex_place(polygon, left.target));
    edge_begin(right, start.x, y, vertex_place(polygon, right.target));
    for (int remaining = n - 1; remaining > 0;) {
        for (; left.count && right.count && y <= bottom; ++y) {
            uint8_t* line = buffer + static_cast<ptrdiff_t>(y) * pitch;
            plain_step(left, line, color);
            plain_step(right, line, color);
            const int from = left.x < right.x ? left.x : right.x, to = left.x < right.x ? right.x : left.x;
            for (int x = from; x <= to; ++x)
                line[x] = color;
        }
        if (y > bottom)
            break;
        if (!left.count) {
            --remaining;
            left.target = (left.target + n - 1) % n;
        }
        if (!right.count) {
            --remaining;
            right.target = (right.target + 1) % n;
        }
        edge_begin(left, left.x, y, vertex_place(polygon, left.target));
        edge_begin(right, right.x, y, vertex_place(polygon, right.target));
    }
    return 1;
}
