// frame_convert.h -- turns a display frame into 32-bit XRGB pixels for a window or a screenshot.
// The conversions have a plain form (frame_convert.cpp) and a fast one (frame_convert_fast.cpp)
// that gives exactly the same pixels.
#pragma once
#include <cstddef>
#include <cstdint>

#include "host.h"

// 5- and 6-bit channels expanded to 8 bits by repeating their top bits, so white stays 0xFFFFFF.
inline uint32_t xrgb_from_565(uint16_t p)
{
    const uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

inline uint32_t xrgb_from_555(uint16_t p)
{
    const uint32_t r = (p >> 10) & 0x1F, g = (p >> 5) & 0x1F, b = p & 0x1F;
    return ((r << 3 | r >> 2) << 16) | ((g << 3 | g >> 2) << 8) | (b << 3 | b >> 2);
}

// The source index under the centre of destination pixel `i` of `to` pixels spread over `from`.
inline int frame_nearest(int i, int from, int to)
{
    return static_cast<int>((2 * int64_t{i} + 1) * from / (2 * int64_t{to}));
}

// The 256 palette entries as 0x00RRGGBB words, ready for the 8-bit conversion.
void frame_palette_to_xrgb(const uint8_t* palette, uint32_t lut[256]);

// Converts `frame` into `out` (rows of `out_pitch` bytes); `lut` comes from frame_palette_to_xrgb
// for 8-bit frames and is ignored for 16-bit ones.
void frame_to_xrgb(const HostFrame& frame, const uint32_t lut[256], uint32_t* out, int out_pitch);

// Where a frame goes in a larger picture: the biggest whole-pixel size that keeps its pixels
// square, centred, with black bars where it does not fill.
struct FrameFit {
    int x, y, width, height;
};
FrameFit frame_fit(int frame_width, int frame_height, int out_width, int out_height);

// Converts `frame` into an `out_width` × `out_height` picture (rows of `out_pitch` bytes): scaled
// to frame_fit by the nearest pixel, every other pixel black.
void frame_to_xrgb_scaled(const HostFrame& frame, const uint32_t lut[256], uint32_t* out, int out_pitch,
                          int out_width, int out_height);

// A frame's rows are compared with the last one's in blocks of this many pixels.
constexpr int FRAME_BLOCK = 32;
inline int frame_blocks(int frame_width) { return (frame_width + FRAME_BLOCK - 1) / FRAME_BLOCK; }

// Brings `kept`, a row of the last frame, up to `row`, the same row of this one (`bytes` long): each
// block of `block_bytes` that differs is copied and flagged 1 in `changed` (one byte a block, the
// last block the rest of the row; a block of 0 bytes is the whole row), every other block flagged 0.
// True when any block differed.
bool frame_row_keep(uint8_t* kept, const uint8_t* row, size_t bytes, size_t block_bytes, uint8_t* changed);

// Converts into the frame_fit place of such a picture only the blocks flagged in `changed` (one
// byte a block, frame_blocks(width) a row, row after row; nullptr: all of them), leaving the bars
// and every other pixel as they are: a picture that already holds the previous frame is brought up
// to date by the blocks that changed.
void frame_to_xrgb_scaled_rows(const HostFrame& frame, const uint32_t lut[256], uint32_t* out, int out_pitch,
                               int out_width, int out_height, const uint8_t* changed);

// The ways an 8-bit conversion can look its pixels up. None is fastest on every processor, so the
// first conversion measures each this one has on a few rows and keeps the fastest (automatic).
enum class FrameLookup {
    automatic,        // measured once, at the first conversion
    word_reads,       // eight indices from one 64-bit read, one pixel stored at a time
    four_to_a_store,  // pixels looked up one by one and stored four at a time (x86 with SSE2)
    gather,           // eight pixels by one AVX2 gather (x86 with AVX2)
    count
};
// Makes every later 8-bit conversion look its pixels up `way` (automatic: measure again at the
// next conversion); false, changing nothing, when this processor or build has no such way.
bool frame_lookup_choose(FrameLookup way);
// The way the conversions use, measured now if it was not yet: never automatic.
FrameLookup frame_lookup_chosen();

// The same two conversions one output pixel at a time, each on its own: the pixels the two above
// must give (their faster forms are tested against these).
void frame_to_xrgb_reference(const HostFrame& frame, const uint32_t lut[256], uint32_t* out, int out_pitch);
void frame_to_xrgb_scaled_reference(const HostFrame& frame, const uint32_t lut[256], uint32_t* out, int out_pitch,
                                    int out_width, int out_height);
bool frame_row_keep_reference(uint8_t* kept, const uint8_t* row, size_t bytes, size_t block_bytes, uint8_t* changed);
