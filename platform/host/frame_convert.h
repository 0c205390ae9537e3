// frame_convert.h -- turns a display frame into 32-bit XRGB pixels for a window or a screenshot.
#pragma once
#include <cstdint>

#include "host.h"

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
