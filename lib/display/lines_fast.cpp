// lines_fast.cpp -- the unclipped line drawers' fast forms, measured by bench_vector Lines/Vorlash:
// closed-form pixel offsets and runs per row, each lighting exactly the pixels of the plain midpoint
// stepper in lines.cpp (line8_reference), which also draws the lines too long for the exact forms.
#include <cstddef>

#include "display.h"
#include "lines_reference.h"
#include "spans.h"

// ---- constants ----
// Runs pay off once they are a few pixels long; below that the closed form is quicker.
static constexpr int RUN_LINE_MIN_RUN = 4;
// The closed form is exact for lines of at most this many steps (n² < 2^31).
static constexpr int CLOSED_FORM_MAX_STEPS = 46340;

// ---- helpers ----

// The plain stepper's pixels from their closed form: pixel i sits floor((2m·i + n) / (2n)) minor steps out,
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

// Picks the faster form for the line; both light the pixels of the plain stepper.
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
    else if (x_major && (m == 0 || n / m >= RUN_LINE_MIN_RUN))
        run_line(p, n, m, sx, sy, color);
    else
        closed_form_line(p, n, m, x_major ? sx : sy, x_major ? sy : sx, color);
}

// Whether the closed form is exact for the line from (x0, y0) to (x1, y1).
static bool closed_form_exact(int x0, int y0, int x1, int y1)
{
    const int64_t dx = int64_t{x1} - x0, dy = int64_t{y1} - y0;
    return dx >= -CLOSED_FORM_MAX_STEPS && dx <= CLOSED_FORM_MAX_STEPS && dy >= -CLOSED_FORM_MAX_STEPS &&
           dy <= CLOSED_FORM_MAX_STEPS;
}

// ---- public operations ----

int line8(int x0, int y0, int x1, int y1, int color, uint8_t* buffer, int pitch)
{
    if (!closed_form_exact(x0, y0, x1, y1))
        return line8_reference(x0, y0, x1, y1, color, buffer, pitch);
    if (buffer)
        draw_steps<uint8_t>(x0, y0, x1, y1, static_cast<uint8_t>(color), buffer, pitch);
    return 1;
}

int line16(int x0, int y0, int x1, int y1, int color, uint16_t* buffer, int pitch)
{
    if (!closed_form_exact(x0, y0, x1, y1))
        return line16_reference(x0, y0, x1, y1, color, buffer, pitch);
    if (buffer)
        draw_steps<uint16_t>(x0, y0, x1, y1, static_cast<uint16_t>(color), buffer, pitch >> 1);
    return 1;
}
