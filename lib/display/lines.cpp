// lines.cpp -- clipped software lines into a locked 8- or 16-bit buffer: the region-code clipper
// and the midpoint stepper. Only end points the clipper has moved inside the clip rectangle are drawn.
#include <cstddef>

#include "display.h"

// ---- constants ----
// Region codes: which side of the inclusive clip rectangle a point lies on.
static constexpr int CODE_LEFT = 1;
static constexpr int CODE_RIGHT = 2;
static constexpr int CODE_BOTTOM = 4;
static constexpr int CODE_TOP = 8;

// ---- records ----
// End points are moved in 64-bit coordinates, so no difference of two ints can overflow.
struct LinePoint {
    int64_t x, y;
};

// ---- helpers ----

static int region_code(int64_t x, int64_t y)
{
    int code = 0;
    if (y < clip_min_y)
        code = CODE_TOP;
    else if (y > clip_max_y)
        code = CODE_BOTTOM;
    if (x < clip_min_x)
        code |= CODE_LEFT;
    else if (x > clip_max_x)
        code |= CODE_RIGHT;
    return code;
}

static uint64_t magnitude(int64_t v)
{
    return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}

// trunc(along × across / span), toward zero. Every difference of two ints is below 2^32 in size,
// so the product of two magnitudes fits an unsigned 64-bit value even for the most extreme lines;
// the edge lies between the end points, so |along| <= |span| and the quotient is below 2^32 too.
static int64_t edge_quotient(int64_t along, int64_t across, int64_t span)
{
    const uint64_t q = magnitude(along) * magnitude(across) / magnitude(span);
    const bool negative = ((along < 0) != (across < 0)) != (span < 0);
    return negative ? -static_cast<int64_t>(q) : static_cast<int64_t>(q);
}

// base + q, formed with half a pixel added in floating point and truncated toward zero, as the
// first end point's intersections (and every corner) are.
static int64_t rounded_sum(int64_t base, int64_t q)
{
    return static_cast<int64_t>(static_cast<double>(base) + 0.5 + static_cast<double>(q));
}

// Where the line from a to b crosses row e (a lies beyond it, b does not).
static LinePoint cross_row(int64_t e, LinePoint a, LinePoint b, bool rounded)
{
    const int64_t q = edge_quotient(e - a.y, b.x - a.x, b.y - a.y);
    return {rounded ? rounded_sum(a.x, q) : a.x + q, e};
}

// Where the line from a to b crosses column e (a lies beyond it, b does not).
static LinePoint cross_column(int64_t e, LinePoint a, LinePoint b, bool rounded)
{
    const int64_t q = edge_quotient(e - a.x, b.y - a.y, b.x - a.x);
    return {e, rounded ? rounded_sum(a.y, q) : a.y + q};
}

// Moves a (with region code `code`) onto the edge of the rectangle towards b. A corner code tries
// its row first and falls back to its column when the row crossing lies outside the columns.
// The single-edge codes use the half-pixel form only when `rounded` is set; corners always do.
static LinePoint clip_point(int code, LinePoint a, LinePoint b, bool rounded)
{
    switch (code) {
    case CODE_TOP:
        return cross_row(clip_min_y, a, b, rounded);
    case CODE_BOTTOM:
        return cross_row(clip_max_y, a, b, rounded);
    case CODE_LEFT:
        return cross_column(clip_min_x, a, b, rounded);
    case CODE_RIGHT:
        return cross_column(clip_max_x, a, b, rounded);
    default:
        break;
    }
    if (code == 0)
        return a;
    const LinePoint p = cross_row((code & CODE_TOP) ? clip_min_y : clip_max_y, a, b, true);
    if (p.x >= clip_min_x && p.x <= clip_max_x)
        return p;
    return cross_column((code & CODE_LEFT) ? clip_min_x : clip_max_x, a, b, true);
}

static bool inside_clip(LinePoint p)
{
    return p.x >= clip_min_x && p.x <= clip_max_x && p.y >= clip_min_y && p.y <= clip_max_y;
}

// The midpoint stepper shared by both depths: `row` is the distance from one line to the next in
// pixels. Both end points are drawn.
template <class Pixel> static void step_line(int x0, int y0, int x1, int y1, Pixel color, Pixel* buffer, ptrdiff_t row)
{
    Pixel* p = buffer + static_cast<ptrdiff_t>(y0) * row + x0;
    int dx = x1 - x0;
    int dy = y1 - y0;
    ptrdiff_t x_step = 1;
    ptrdiff_t y_step = row;
    if (dx < 0) {
        dx = -dx;
        x_step = -1;
    }
    if (dy < 0) {
        dy = -dy;
        y_step = -row;
    }
    if (dx > dy) {
        int error = 2 * dy - dx;
        for (int i = 0; i <= dx; ++i) {
            *p = color;
            if (error >= 0) {
                error -= 2 * dx;
                p += y_step;
            }
            error += 2 * dy;
            p += x_step;
        }
    } else {
        int error = 2 * dx - dy;
        for (int i = 0; i <= dy; ++i) {
            *p = color;
            if (error >= 0) {
                error -= 2 * dy;
                p += x_step;
            }
            error += 2 * dx;
            p += y_step;
        }
    }
}

// ---- lines and clipping ----

int clip_line(int* x0, int* y0, int* x1, int* y1)
{
    if (!x0 || !y0 || !x1 || !y1)
        return 0;
    const LinePoint a = {*x0, *y0};
    const LinePoint b = {*x1, *y1};
    const int c0 = region_code(a.x, a.y);
    const int c1 = region_code(b.x, b.y);
    if (c0 & c1)
        return 0;
    if ((c0 | c1) == 0)
        return 1;
    // Both intersections are taken from the unclipped end points. A divisor of zero would need both
    // points beyond the same edge, which the common-bit test has already turned away.
    const LinePoint p0 = clip_point(c0, a, b, true);
    const LinePoint p1 = clip_point(c1, b, a, false);
    if (!inside_clip(p0) || !inside_clip(p1))
        return 0;  // the line passes by a corner
    *x0 = static_cast<int>(p0.x);
    *y0 = static_cast<int>(p0.y);
    *x1 = static_cast<int>(p1.x);
    *y1 = static_cast<int>(p1.y);
    return 1;
}

int line8(int x0, int y0, int x1, int y1, int color, uint8_t* buffer, int pitch)
{
    if (buffer)
        step_line<uint8_t>(x0, y0, x1, y1, static_cast<uint8_t>(color), buffer, pitch);
    return 1;
}

int line16(int x0, int y0, int x1, int y1, int color, uint16_t* buffer, int pitch)
{
    if (buffer)
        step_line<uint16_t>(x0, y0, x1, y1, static_cast<uint16_t>(color), buffer, pitch >> 1);
    return 1;
}

int draw_line8(int x0, int y0, int x1, int y1, int color, uint8_t* buffer, int pitch)
{
    if (buffer && clip_line(&x0, &y0, &x1, &y1))
        line8(x0, y0, x1, y1, color, buffer, pitch);
    return 1;
}

int draw_line16(int x0, int y0, int x1, int y1, int color, uint16_t* buffer, int pitch)
{
    if (buffer && clip_line(&x0, &y0, &x1, &y1))
        line16(x0, y0, x1, y1, color, buffer, pitch);
    return 1;
}
