// bmp_writer.h -- uncompressed Windows BMP files: 8-bit with a 256-entry palette, and 24-bit for review sheets.
#pragma once
#include <string>

#include "bytes.h"
#include "canvas.h"
#include "palette.h"

// An 8-bit BMP: 14-byte file header, 40-byte info header, 256 palette entries stored blue, green, red, 0,
// rows bottom-up padded to four bytes; biSizeImage is the padded pixel size.
Bytes encode_bmp8(const Image8& image, const Palette& palette);

// A 24-bit BMP of the image's colours (used only for the contact sheet).
Bytes encode_bmp24(const std::vector<Rgb>& pixels, int width, int height);

bool write_bmp8(const std::string& path, const Image8& image, const Palette& palette);
