// icon_writer.cpp -- the desktop icon: a turning rock with the gunship flying past it, painted by the
// same painters as the game's sprites at icon size, kept in true colour with its coverage as alpha.
#include "icon_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "art.h"

static uint8_t to_byte(float v) { return static_cast<uint8_t>(clamp01(v / 255.0f) * 255.0f + 0.5f); }

static std::vector<uint8_t> icon_pixels()
{
    Canvas canvas(kIconSize, kIconSize);
    paint_rock(canvas, 34.0f, 2.0f, 0.95f, 3);
    paint_gunship(canvas, 2.0f, 72.0f, 1.45f);
    std::vector<uint8_t> rgba;
    rgba.reserve(static_cast<size_t>(kIconSize) * kIconSize * 4);
    for (const Rgba& p : canvas.px)
        rgba.insert(rgba.end(), {to_byte(p.c.r), to_byte(p.c.g), to_byte(p.c.b), to_byte(p.a * 255.0f)});
    return rgba;
}

bool write_icon_png(const std::string& path)
{
    const std::vector<uint8_t> rgba = icon_pixels();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "write_icon_png: cannot create %s\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    // libpng reports a failure by jumping back here; nothing below holds a destructor.
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        std::fprintf(stderr, "write_icon_png: cannot write %s\n", path.c_str());
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, kIconSize, kIconSize, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < kIconSize; ++y)
        png_write_row(png, rgba.data() + static_cast<size_t>(y) * kIconSize * 4);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}
