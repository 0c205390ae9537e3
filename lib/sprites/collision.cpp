// collision.cpp -- overlap tests on reduced boxes (as integers or from sprite records) and colour
// scans of a locked buffer. Box arithmetic is widened to 64 bits, so no int position can
// overflow it; the scans clamp their rectangle to the screen and read nothing else.
#include <cstdlib>

#include "display.h"
#include "placement.h"
#include "sprites.h"

// ---- helpers ----

// About 3/8 of a size: the half-width of a box three quarters as large, so hits need a clear overlap
// (rects_collide, inline in sprites.h, takes the same).
static int64_t half_extent(int size) { return (size >> 1) - (size >> 3); }

// Boxes given by their centres and half-extents touch when both distances are strictly below the
// sums of the half-extents.
static int centres_close(int64_t cx1, int64_t cy1, int64_t hw1, int64_t hh1, int64_t cx2, int64_t cy2, int64_t hw2,
                         int64_t hh2)
{
    return std::llabs(cx2 - cx1) < hw1 + hw2 && std::llabs(cy2 - cy1) < hh1 + hh2 ? 1 : 0;
}

// A scan coordinate brought onto the screen: at or past the far edge to the last pixel, below 0 to 0.
static int clamp_to_screen(int v, int size)
{
    if (v >= size)
        v = size - 1;
    return v < 0 ? 0 : v;
}

// The scans' one body: 1 at the first pixel of the clamped rectangle that `matches`.
template <class Pixel, class Match>
static int scan(int x1, int y1, int x2, int y2, const Pixel* buffer, int pitch, Match matches)
{
    if (!buffer)
        return 0;
    x1 = clamp_to_screen(x1, screen_width);
    x2 = clamp_to_screen(x2, screen_width);
    y1 = clamp_to_screen(y1, screen_height);
    y2 = clamp_to_screen(y2, screen_height);
    const ptrdiff_t step = pitch / static_cast<int>(sizeof(Pixel));  // a pitch is in bytes
    for (int y = y1; y <= y2; ++y) {
        const Pixel* row = buffer + y * step;
        for (int x = x1; x <= x2; ++x)
            if (matches(row[x]))
                return 1;
    }
    return 0;
}

// ---- collision tests ----

int sprite_collide(const Sprite* a, const Sprite* b)
{
    if (!a || !b)
        return 0;
    const int64_t hwa = half_extent(a->width), hha = half_extent(a->height);
    const int64_t hwb = half_extent(b->width), hhb = half_extent(b->height);
    // The centres are truncated from float sums, as the draws place the pictures.
    const auto centre = [](int64_t half, float pos) { return trunc_to_int(static_cast<float>(half) + pos); };
    return centres_close(centre(hwa, a->pos_x), centre(hha, a->pos_y), hwa, hha, centre(hwb, b->pos_x),
                         centre(hhb, b->pos_y), hwb, hhb);
}

int color_scan8(int x1, int y1, int x2, int y2, int low, int high, const uint8_t* buffer, int pitch)
{
    const auto lo = static_cast<uint8_t>(low), hi = static_cast<uint8_t>(high);
    return scan(x1, y1, x2, y2, buffer, pitch, [lo, hi](uint8_t p) { return p >= lo && p <= hi; });
}

int color_scan16(int x1, int y1, int x2, int y2, int color_a, int color_b, const uint16_t* buffer, int pitch)
{
    const auto a = static_cast<uint16_t>(color_a), b = static_cast<uint16_t>(color_b);
    return scan(x1, y1, x2, y2, buffer, pitch, [a, b](uint16_t p) { return p == a || p == b; });
}
