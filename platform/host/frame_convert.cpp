// frame_convert.cpp -- 8-bit indexed and 16-bit RGB frames to 32-bit XRGB in their plain form: the
// palette as XRGB words, where a frame sits in a larger picture, and both conversions one pixel at a
// time, the reference the fast forms in frame_convert_fast.cpp must match.
#include "frame_convert.h"

#include <algorithm>
#include <cstring>

// ---- helpers ----

// Frame pixel (x, y) as XRGB.
static uint32_t pixel_xrgb(const HostFrame& frame, const uint32_t* lut, int x, int y)
{
    const uint8_t* row = frame.pixels + static_cast<size_t>(y) * frame.pitch;
    if (frame.bpp == 8)
        return lut[row[x]];
    uint16_t p;
    std::memcpy(&p, row + 2 * static_cast<size_t>(x), 2);
    return frame.rgb_bits == 15 ? xrgb_from_555(p) : xrgb_from_565(p);
}

// Pixel x of output row y.
static uint32_t& out_pixel(uint32_t* out, int out_pitch, int x, int y)
{
    return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(out) + static_cast<size_t>(y) * out_pitch)[x];
}

// ---- public operations ----

void frame_palette_to_xrgb(const uint8_t* palette, uint32_t lut[256])
{
    for (int i = 0; i < 256; ++i) {
        const uint8_t* e = palette + i * 4;
        lut[i] = (uint32_t{e[0]} << 16) | (uint32_t{e[1]} << 8) | e[2];
    }
}

FrameFit frame_fit(int frame_width, int frame_height, int out_width, int out_height)
{
    if (frame_width <= 0 || frame_height <= 0 || out_width <= 0 || out_height <= 0)
        return {0, 0, 0, 0};
    // The side that fills first decides the scale; the other is cut to the same ratio.
    int64_t width = out_width, height = out_height;
    if (int64_t{out_width} * frame_height > int64_t{out_height} * frame_width)
        width = int64_t{out_height} * frame_width / frame_height;
    else
        height = int64_t{out_width} * frame_height / frame_width;
    return {static_cast<int>((out_width - width) / 2), static_cast<int>((out_height - height) / 2),
            static_cast<int>(width), static_cast<int>(height)};
}

void frame_to_xrgb_reference(const HostFrame& frame, const uint32_t lut[256], uint32_t* out, int out_pitch)
{
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
            out_pixel(out, out_pitch, x, y) = pixel_xrgb(frame, lut, x, y);
}

void frame_to_xrgb_scaled_reference(const HostFrame& frame, const uint32_t lut[256], uint32_t* out, int out_pitch,
                                    int out_width, int out_height)
{
    const FrameFit fit = frame_fit(frame.width, frame.height, out_width, out_height);
    for (int y = 0; y < out_height; ++y)
        for (int x = 0; x < out_width; ++x) {
            const bool inside = x >= fit.x && x < fit.x + fit.width && y >= fit.y && y < fit.y + fit.height;
            out_pixel(out, out_pitch, x, y) =
                inside ? pixel_xrgb(frame, lut, frame_nearest(x - fit.x, frame.width, fit.width),
                                    frame_nearest(y - fit.y, frame.height, fit.height))
                       : 0;
        }
}

bool frame_row_keep_reference(uint8_t* kept, const uint8_t* row, size_t bytes, size_t block_bytes, uint8_t* changed)
{
    if (block_bytes == 0)  // no blocks: the row is one
        block_bytes = bytes;
    bool any = false;
    for (size_t at = 0, b = 0; at < bytes; at += block_bytes, ++b) {
        const size_t n = std::min(block_bytes, bytes - at);
        changed[b] = std::memcmp(kept + at, row + at, n) != 0;
        if (changed[b])
            std::memcpy(kept + at, row + at, n);
        any = any || changed[b];
    }
    return any;
}
