// lines.cpp -- clipped software lines and spans into a locked 8- or 16-bit buffer: the region-code
// clipper, the midpoint stepper in its plain form (the reference every faster form in lines_fast.cpp
// must match), and clipped horizontal and vertical spans. Only end points the clipper has moved
// inside the clip rectangle are drawn.
#include <cstddef>
#include <utility>

#include "display.h"
#include "lines_reference.h"

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

// The midpoint stepper in its plain form: one pixel per step, the error term deciding each minor step.
template <class Pixel> static void step_line(Pixel* p, int n, int m, ptrdiff_t major, ptrdiff_t minor, Pixel color)
{
    int error = 2 * m - n;
    for (int i = 0; i <= n; ++i) {
        *p = color;
        if (error >= 0) {
            error -= 2 * n;
            p += minor;
        }
        error += 2 * m;
        p += major;
    }
}

// The whole line by the stepper: a 45-degree line steps along y, as the error test has it.
template <class Pixel>
static void reference_line(int x0, int y0, int x1, int y1, Pixel color, Pixel* buffer, ptrdiff_t row)
{
    const int dx = x1 - x0, dy = y1 - y0;
    const ptrdiff_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -row : row;
    const int adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    Pixel* p = buffer + static_cast<ptrdiff_t>(y0) * row + x0;
    if (adx > ady)
        step_line(p, adx, ady, sx, sy, color);
    else
        step_line(p, ady, adx, sy, sx, color);
}

// Cuts the span a … b (either order) at fixed coordinate `at` to the clip rectangle: false when
// nothing of it is inside. `min`/`max` bound the span's axis, `at_min`/`at_max` the other one.
static bool clip_span(int* a, int* b, int at, int min, int max, int at_min, int at_max)
{
    if (at > at_max || at < at_min)
        return false;
    if (*a > *b)
        std::swap(*a, *b);
    if (*a > max || *b < min)
        return false;
    *a = *a < min ? min : *a;
    *b = *b > max ? max : *b;
    return true;
}

template <class Pixel>
static void hline(int x1, int x2, int y, int color, Pixel* buffer, int pitch)
{
    if (!buffer || !clip_span(&x1, &x2, y, clip_min_x, clip_max_x, clip_min_y, clip_max_y))
        return;
    Pixel* row = buffer + static_cast<ptrdiff_t>(y) * (pitch / static_cast<int>(sizeof(Pixel)));
    if constexpr (sizeof(Pixel) == 2)
        fill_words16(row + x1, color, x2 - x1 + 1);
    else
        for (int x = x1; x <= x2; ++x)
            row[x] = static_cast<Pixel>(color);
}

template <class Pixel>
static void vline(int y1, int y2, int x, int color, Pixel* buffer, int pitch)
{
    if (!buffer || !clip_span(&y1, &y2, x, clip_min_y, clip_max_y, clip_min_x, clip_max_x))
        return;
    const ptrdiff_t step = pitch / static_cast<int>(sizeof(Pixel));
    for (int y = y1; y <= y2; ++y)
        buffer[y * step + x] = static_cast<Pixel>(color);
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

int line8_reference(int x0, int y0, int x1, int y1, int color, uint8_t* buffer, int pitch)
{
    if (buffer)
        reference_line<uint8_t>(x0, y0, x1, y1, static_cast<uint8_t>(color), buffer, pitch);
    return 1;
}

int line16_reference(int x0, int y0, int x1, int y1, int color, uint16_t* buffer, int pitch)
{
    if (buffer)
        reference_line<uint16_t>(x0, y0, x1, y1, static_cast<uint16_t>(color), buffer, pitch >> 1);
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

// ---- spans ----

void hline8(int x1, int x2, int y, int color, uint8_t* buffer, int pitch) { hline(x1, x2, y, color, buffer, pitch); }
void vline8(int y1, int y2, int x, int color, uint8_t* buffer, int pitch) { vline(y1, y2, x, color, buffer, pitch); }
void hline16(int x1, int x2, int y, int color, uint16_t* buffer, int pitch) { hline(x1, x2, y, color, buffer, pitch); }
void vline16(int y1, int y2, int x, int color, uint16_t* buffer, int pitch) { vline(y1, y2, x, color, buffer, pitch); }

void fill_words16(uint16_t* dest, int value, int count)
{
    if (!dest)
        return;
    const uint16_t word = static_cast<uint16_t>(value);
    for (int i = 0; i < count; ++i)
        dest[i] = word;
}
