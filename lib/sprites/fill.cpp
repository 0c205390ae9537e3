// fill.cpp -- solid triangles (clipped; float or 16.16 fixed-point edges) and convex polygons
// (edge walks with integer error terms) into a locked 8- or 16-bit buffer. Every span is cut to
// the clip rectangle before it is written, so no vertex can make a fill write outside it.
#include <cstddef>
#include <utility>

#include "display.h"
#include "placement.h"
#include "spans.h"
#include "sprites.h"

// ---- records ----

// The clip rectangle read once per call: the pixel stores would otherwise make the compiler read
// the globals again on every line, as a byte store may alias them.
struct ClipBox {
    int64_t min_x, min_y, max_x, max_y;
};

// Where a fill writes: the first pixel of the buffer and the distance between lines in pixels.
template <class Pixel> struct FillTarget {
    Pixel* buffer;
    ptrdiff_t row;
    Pixel color;
};

// One side of a polygon walk: its current column and the edge it is stepping along, with the
// integer error term of the midpoint rule.
struct EdgeWalk {
    int x, target;
    int adx, ady, sx, count, error;
    int run, run_rest;  // x-major: whole steps a line, and the error below which one more is taken
    bool x_major;
};

// ---- helpers ----

static ClipBox clip_box()
{
    return {clip_min_x, clip_min_y, clip_max_x, clip_max_y};
}

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

// Pixels from one line to the next: the pitch is in bytes at both depths.
template <class Pixel> static ptrdiff_t line_pixels(int pitch)
{
    return static_cast<ptrdiff_t>(pitch) / static_cast<ptrdiff_t>(sizeof(Pixel));
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

// Sets up one walk from column x of line y towards the screen position `to`, with the error term
// at 0.
static inline void walk_begin(EdgeWalk& w, int x, int y, ScreenPoint to)
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
    // An x-major walk steps while its error is below adx, adding ady a step: ceil((adx - error) /
    // ady) steps a line, that is adx / ady, or one more while the error is below adx % ady; a flat
    // edge (ady 0) is crossed in one line.
    w.run = w.adx;
    w.run_rest = 0;
    if (w.x_major && w.ady) {
        w.run = w.adx / w.ady;
        w.run_rest = w.adx % w.ady;
    }
}

// Advances one walk by one screen line and gives the columns it covers on that line. An x-major
// walk sets every pixel it passes from one past its old column, so it covers a run ending at its
// new column; a y-major walk covers only its new column.
// The choices are made with masks rather than branches: the steps follow the edge's slope in a
// pattern a branch predictor cannot learn.
template <bool XMajor> static inline void walk_step(EdgeWalk& w, int* from, int* to)
{
    if constexpr (XMajor) {
        const int longer = -static_cast<int>(w.run_rest > w.error);  // 0 or -1
        int steps = w.run - longer;
        w.error += (w.ady & longer) + w.run * w.ady - w.adx;
        steps = steps < w.count ? steps : w.count;  // the edge's last line
        w.count -= steps;
        const int first = w.x + w.sx;
        w.x += w.sx < 0 ? -steps : steps;
        *from = w.sx < 0 ? w.x : first;
        *to = w.sx < 0 ? first : w.x;
    } else {
        w.error += w.adx;
        const int step = -static_cast<int>(w.error >= w.ady);  // 0 or -1
        w.error -= w.ady & step;
        w.x += w.sx & step;
        --w.count;
        *from = *to = w.x;
    }
}

template <bool LeftXMajor, bool RightXMajor, class Pixel>
static int walk_lines(EdgeWalk& left_walk, EdgeWalk& right_walk, int lines, Pixel* line, ptrdiff_t row, Pixel color)
{
    // Worked on in copies, which the compiler can keep in registers.
    EdgeWalk left = left_walk, right = right_walk;
    int i = 0;
    for (; i < lines && left.count != 0 && right.count != 0; ++i, line += row) {
        int l0, l1, r0, r1;
        walk_step<LeftXMajor>(left, &l0, &l1);
        walk_step<RightXMajor>(right, &r0, &r1);
        const int from = l0 < r0 ? l0 : r0;
        const int to = l1 > r1 ? l1 : r1;
        span_fill(line + from, color, static_cast<size_t>(to - from + 1));
    }
    left_walk = left;
    right_walk = right;
    return i;
}

template <class Pixel>
static int walk_lines(EdgeWalk& left, EdgeWalk& right, int lines, Pixel* line, ptrdiff_t row, Pixel color)
{
    if (left.x_major)
        return right.x_major ? walk_lines<true, true>(left, right, lines, line, row, color)
                             : walk_lines<true, false>(left, right, lines, line, row, color);
    return right.x_major ? walk_lines<false, true>(left, right, lines, line, row, color)
                         : walk_lines<false, false>(left, right, lines, line, row, color);
}

// Where the walks find the vertices on the screen: placed once into a small table, or placed
// again at each use when there are more vertices than the table holds.
struct PlacedVertices {
    static constexpr int TABLE = 32;
    const struct Polygon* polygon;
    ScreenPoint table[TABLE];
    ScreenPoint operator[](int i) const { return polygon->vertex_count <= TABLE ? table[i] : vertex_place(polygon, i); }
};

// Places the vertices; true when every one lies in the clip rectangle, *bottom then the lowest row.
static bool place_inside(const struct Polygon* polygon, const ClipBox& clip, PlacedVertices* placed, int* bottom)
{
    placed->polygon = polygon;
    *bottom = INT32_MIN;
    for (int i = 0; i < polygon->vertex_count; ++i) {
        const ScreenPoint p = vertex_place(polygon, i);
        if (p.x < clip.min_x || p.x > clip.max_x || p.y < clip.min_y || p.y > clip.max_y)
            return false;
        if (i < PlacedVertices::TABLE)
            placed->table[i] = p;
        *bottom = p.y > *bottom ? p.y : *bottom;
    }
    return true;
}

// Walks down both sides of a convex polygon from its top vertex, one line per pass, filling
// between the two walks. The polygon is not clipped, so it is refused unless every placed vertex
// lies in the clip rectangle; the walks then stay within the vertices' columns, and they stop at
// the lowest vertex's row. A convex outline never walks past it, but a concave one would, and so
// would a thin convex one turned slightly concave by placing its vertices on whole pixels.
template <class Pixel> static int fill_polygon(struct Polygon* polygon, Pixel* buffer, int pitch)
{
    if (!polygon || !buffer || polygon->vertex_count <= 0 || !polygon->vertices)
        return 0;
    const ClipBox clip = clip_box();
    PlacedVertices placed;
    int bottom;
    if (!place_inside(polygon, clip, &placed, &bottom))
        return 0;
    const int n = polygon->vertex_count;
    const ptrdiff_t row = line_pixels<Pixel>(pitch);
    const Pixel color = static_cast<Pixel>(polygon->color);

    // The top vertex by the vertices' own y (the earliest wins a tie), started from its placed point.
    int top = 0;
    int top_y = trunc_to_int(polygon->vertices[0].y);
    for (int i = 1; i < n; ++i) {
        if (polygon->vertices[i].y < static_cast<float>(top_y)) {
            top = i;
            top_y = trunc_to_int(polygon->vertices[i].y);
        }
    }
    const ScreenPoint start = placed[top];
    int y = start.y;
    Pixel* line = buffer + static_cast<ptrdiff_t>(y) * row;
    EdgeWalk left, right;
    left.target = top == 0 ? n - 1 : top - 1;
    right.target = top == n - 1 ? 0 : top + 1;
    walk_begin(left, start.x, y, placed[left.target]);
    walk_begin(right, start.x, y, placed[right.target]);

    // Both walks run together until either spends its edge (or the bottom row is passed); then
    // that walk takes the next edge, and both restart from where they stand.
    for (int remaining = n - 1; remaining > 0;) {
        const int lines = walk_lines(left, right, bottom - y + 1, line, row, color);
        line += lines * row;
        y += lines;
        if (y > bottom)
            break;
        if (left.count == 0) {
            --remaining;
            left.target = left.target == 0 ? n - 1 : left.target - 1;
        }
        if (right.count == 0) {
            --remaining;
            right.target = right.target == n - 1 ? 0 : right.target + 1;
        }
        walk_begin(left, left.x, y, placed[left.target]);
        walk_begin(right, right.x, y, placed[right.target]);
    }
    return 1;
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

// ---- convex polygons ----

int polygon_fill8(struct Polygon* polygon, uint8_t* buffer, int pitch)
{
    return fill_polygon(polygon, buffer, pitch);
}

int polygon_fill16(struct Polygon* polygon, uint16_t* buffer, int pitch)
{
    return fill_polygon(polygon, buffer, pitch);
}
