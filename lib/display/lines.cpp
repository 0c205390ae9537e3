// lines.cpp -- clipped software lines into a locked 8- or 16-bit buffer: the region-code clipper
// and the midpoint stepper. Only end points the clipper has moved inside the clip rectangle are drawn.
#include <cstddef>

#include "display.h"
#include "spans.h"

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
// Kept for lines too long for the exact fixed-point forms below.
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

// The same pixels from their closed form: pixel i sits floor((2m·i + n) / (2n)) minor steps out,
// read from a 32.32 fixed-point sum whose step is rounded up. The sum then runs ahead of the
// exact quotient by less than i / 2^32, below the 1 / (2n) that separates the quotient from the
// next integer while n² < 2^31, so every floor is exact. The pixels no longer depend on each
// other, so four go out per turn.
template <class Pixel>
static void closed_form_line(Pixel* p, int n, int m, ptrdiff_t major, ptrdiff_t minor, Pixel color)
{
    const uint64_t step = ((static_cast<uint64_t>(m) << 32) + static_cast<uint64_t>(n) - 1) / static_cast<uint64_t>(n);
    uint64_t sum = uint64_t{1} << 31;
    int i = 0;
    for (; i + 3 <= n; i += 4, sum += 4 * step) {
        p[i * major + static_cast<ptrdiff_t>(sum >> 32) * minor] = color;
        p[(i + 1) * major + static_cast<ptrdiff_t>((sum + step) >> 32) * minor] = color;
        p[(i + 2) * major + static_cast<ptrdiff_t>((sum + 2 * step) >> 32) * minor] = color;
        p[(i + 3) * major + static_cast<ptrdiff_t>((sum + 3 * step) >> 32) * minor] = color;
    }
    for (; i <= n; ++i, sum += step)
        p[i * major + static_cast<ptrdiff_t>(sum >> 32) * minor] = color;
}

// `length` pixels along a row from p, going right (sx 1) or left (sx -1).
template <class Pixel> static inline void row_run(Pixel* p, int64_t length, int sx, Pixel color)
{
    span_fill(sx > 0 ? p : p - length + 1, color, static_cast<size_t>(length));
}

// A shallow line (n > m) as one horizontal run per row. With the closed form above, row k holds
// the pixels s_k .. s_(k+1) - 1, where s_0 = 0, s_(m+1) = n + 1 and s_k = ceil(n(2k - 1) / 2m)
// between; the runs are n / m or one more pixels long, tracked by the remainder r = s_k·2m - n(2k - 1).
template <class Pixel> static void run_line(Pixel* p, int n, int m, int sx, ptrdiff_t sy, Pixel color)
{
    if (m == 0) {
        row_run(p, int64_t{n} + 1, sx, color);
        return;
    }
    const int64_t d = 2 * int64_t{m};
    const int64_t q = n / m, wrap = 2 * (n % m);
    int64_t s = (n + d - 1) / d;
    int64_t r = s * d - n;
    row_run(p, s, sx, color);
    p += s * sx + sy;
    for (int k = 1; k < m; ++k) {
        const int64_t longer = -static_cast<int64_t>(r < wrap);  // 0 or -1, as a mask: no branch
        const int64_t length = q - longer;
        r += (d & longer) - wrap;
        row_run(p, length, sx, color);
        p += length * sx + sy;
        s += length;
    }
    row_run(p, n + 1 - s, sx, color);
}

// Runs pay off once they are a few pixels long; below that the closed form is quicker.
static constexpr int RUN_LINE_MIN_RUN = 4;
// The closed form is exact for lines of at most this many steps (n² < 2^31).
static constexpr int CLOSED_FORM_MAX_STEPS = 46340;

// Every drawer's entry: picks the fastest form for the line; all light the same pixels.
template <class Pixel> static void draw_steps(int x0, int y0, int x1, int y1, Pixel color, Pixel* buffer, ptrdiff_t row)
{
    Pixel* p = buffer + static_cast<ptrdiff_t>(y0) * row + x0;
    int dx = x1 - x0;
    int dy = y1 - y0;
    int sx = 1;
    ptrdiff_t sy = row;
    if (dx < 0) {
        dx = -dx;
        sx = -1;
    }
    if (dy < 0) {
        dy = -dy;
        sy = -row;
    }
    const bool x_major = dx > dy;  // a 45-degree line steps along y, as the error test has it
    const int n = x_major ? dx : dy;
    const int m = x_major ? dy : dx;
    if (n == 0)
        *p = color;
    else if (n > CLOSED_FORM_MAX_STEPS)
        step_line(p, n, m, x_major ? sx : sy, x_major ? sy : sx, color);
    else if (x_major && (m == 0 || n / m >= RUN_LINE_MIN_RUN))
        run_line(p, n, m, sx, sy, color);
    else
        closed_form_line(p, n, m, x_major ? sx : sy, x_major ? sy : sx, color);
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
        draw_steps<uint8_t>(x0, y0, x1, y1, static_cast<uint8_t>(color), buffer, pitch);
    return 1;
}

int line16(int x0, int y0, int x1, int y1, int color, uint16_t* buffer, int pitch)
{
    if (buffer)
        draw_steps<uint16_t>(x0, y0, x1, y1, static_cast<uint16_t>(color), buffer, pitch >> 1);
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
