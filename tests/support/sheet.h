// sheet.h -- a picture sheet made in memory, as bitmap_load leaves one, for the image and sprite tests.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "display.h"

// An 8- or 16-bit sheet of width × height pixels, rows top-down without gaps; pixel (x, y) holds
// value(x, y) (16-bit sheets keep all 16 bits of it).
class Sheet {
public:
    Sheet(int width, int height, int bpp, const std::function<int(int, int)>& value)
        : data(static_cast<size_t>(width) * height * (bpp / 8))
    {
        file.info_header.biWidth = width;
        file.info_header.biHeight = height;
        file.info_header.biBitCount = static_cast<WORD>(bpp);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const size_t i = static_cast<size_t>(y) * width + x;
                if (bpp == 8)
                    data[i] = static_cast<uint8_t>(value(x, y));
                else
                    reinterpret_cast<uint16_t*>(data.data())[i] = static_cast<uint16_t>(value(x, y));
            }
        file.pixels = data.data();
    }
    std::vector<uint8_t> data;
    BitmapFile file{};
};
