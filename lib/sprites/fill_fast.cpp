// fill_fast.cpp -- convex polygon fills by edge walks without branches, a whole line per pass in
// four template versions (x- or y-major on either side), measured by bench_vector Hexagons/Vorlash.
// They fill exactly the pixels of the plain walk in fill.cpp (polygon_fill8_reference).
#include <cstddef>

#include "fill_internal.h"
#include "spans.h"
#include "sprites.h"

// ---- helpers ----

// Sets up one walk from column x of line y towards the screen position `to`, with the error term
// at 0, and its steps a line.
static inline void walk_begin(EdgeWalk& w, int x, int y, ScreenPoint to)
{
    edge_begin(w, x, y, to);
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

    const int top = top_vertex(polygon);
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

// ---- public operations ----

int polygon_fill8(struct Polygon* polygon, uint8_t* buffer, int pitch)
{
    return fill_polygon(polygon, buffer, pitch);
}

int polygon_fill16(struct Polygon* polygon, uint16_t* buffer, int pitch)
{
    return fill_polygon(polygon, buffer, pitch);
}
