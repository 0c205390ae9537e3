// image.cpp -- BitmapImage: pictures in system memory cut from bitmap files, copied into locked
// 8- and 16-bit buffers, copied between each other and scrolled. Every rectangle is checked at the
// public entry against both buffers; the loops below trust what passed.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "display.h"
#include "display_failure.h"

// ---- helpers ----

// A record as image_create leaves it: a buffer that matches its size and depth.
static bool image_valid(const BitmapImage* image)
{
    if (!image || !image->pixels || (image->bpp != 8 && image->bpp != 16) || image->width <= 0 || image->height <= 0)
        return false;
    const int64_t bytes = int64_t{image->width} * image->height * (image->bpp / 8);
    return bytes == image->num_bytes;
}

// True when the w × h rectangle at (x, y) lies wholly inside a width × height area.
static bool rect_inside(int64_t x, int64_t y, int64_t w, int64_t h, int64_t width, int64_t height)
{
    return w >= 0 && h >= 0 && x >= 0 && y >= 0 && x + w <= width && y + h <= height;
}

static size_t bytes_per_pixel(const BitmapImage* image) { return static_cast<size_t>(image->bpp / 8); }

static int image_load(BitmapImage* image, const BitmapFile* source, int cx, int cy, int mode, int bpp)
{
    if (!image_valid(image))
        return display_fail("the image is not made: image_create comes first");
    if (image->bpp != bpp)
        return display_fail("image_load%d fills %d-bit images, not %d-bit ones", bpp, bpp, image->bpp);
    if (!source || !source->pixels || source->info_header.biWidth <= 0 || source->info_header.biHeight <= 0)
        return display_fail("the bitmap holds no picture");
    const BITMAPINFOHEADER& info = source->info_header;
    if (info.biBitCount != bpp)
        return bpp == 8 && info.biBitCount == 16
                   ? display_fail("a 16- or 24-bit picture has no palette for an 8-bit image")
                   : display_fail("pictures of %d bits cannot fill %d-bit images", info.biBitCount, bpp);
    // Cell mode: cells of the image's size in a grid with one-pixel borders around and between them.
    const int64_t x = mode == 0 ? int64_t{cx} * (image->width + 1) + 1 : cx;
    const int64_t y = mode == 0 ? int64_t{cy} * (image->height + 1) + 1 : cy;
    if (!rect_inside(x, y, image->width, image->height, info.biWidth, info.biHeight))
        return display_fail("the %d x %d block at (%ld, %ld) lies outside the %ld x %ld picture", image->width,
                            image->height, static_cast<long>(x), static_cast<long>(y), static_cast<long>(info.biWidth),
                            static_cast<long>(info.biHeight));
    const size_t b = bytes_per_pixel(image);
    const size_t row = static_cast<size_t>(image->width) * b;
    for (int r = 0; r < image->height; ++r) {
        const size_t from = (static_cast<size_t>(y + r) * static_cast<size_t>(info.biWidth) + static_cast<size_t>(x)) * b;
        std::memcpy(image->pixels + static_cast<size_t>(r) * row, source->pixels + from, row);
    }
    image->attr |= BITMAP_ATTR_LOADED;
    return display_succeed();
}

// A loaded image of this depth whose rectangle lies inside a display-sized buffer of this pitch.
static bool draw_allowed(const BitmapImage* image, const void* dest, int pitch, int bpp)
{
    if (!image_valid(image) || image->bpp != bpp || !(image->attr & BITMAP_ATTR_LOADED) || !dest)
        return false;
    if (!rect_inside(image->x, image->y, image->width, image->height, screen_width, screen_height))
        return false;
    return (int64_t{image->x} + image->width) * (bpp / 8) <= pitch;
}

template <class Pixel>
static void draw_rows(const BitmapImage* image, Pixel* dest, size_t dest_step, bool transparent)
{
    const auto* in = reinterpret_cast<const Pixel*>(image->pixels);
    Pixel* out = dest + static_cast<size_t>(image->y) * dest_step + static_cast<size_t>(image->x);
    const size_t width = static_cast<size_t>(image->width);
    for (int r = 0; r < image->height; ++r, in += width, out += dest_step) {
        if (!transparent) {
            std::memcpy(out, in, width * sizeof(Pixel));
            continue;
        }
        for (size_t i = 0; i < width; ++i)
            if (in[i] != 0)
                out[i] = in[i];
    }
}

// ---- bitmap images ----

int image_create(BitmapImage* image, int x, int y, int width, int height, int bpp)
{
    if (!image)
        return display_fail("a null image record");
    if (bpp != 8 && bpp != 16)
        return display_fail("images have 8 or 16 bits a pixel, not %d", bpp);
    if (width <= 0 || height <= 0)
        return display_fail("an image of %d x %d has no pixels", width, height);
    const int64_t bytes = int64_t{width} * height * (bpp / 8);
    if (bytes > INT32_MAX)
        return display_fail("an image of %d x %d is larger than num_bytes can count", width, height);
    auto* pixels = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(bytes), 1));
    if (!pixels)
        return display_fail("no memory for the image's pixels");
    // A record created twice would otherwise lose its first buffer.
    std::free(image->pixels);
    image->state = 1;
    image->attr = 0;
    image->x = x;
    image->y = y;
    image->width = width;
    image->height = height;
    image->num_bytes = static_cast<int>(bytes);
    image->bpp = bpp;
    image->pixels = pixels;
    return display_succeed();
}

int image_load8(BitmapImage* image, const BitmapFile* source, int cx, int cy, int mode)
{
    return image_load(image, source, cx, cy, mode, 8);
}

int image_load16(BitmapImage* image, const BitmapFile* source, int cx, int cy, int mode)
{
    return image_load(image, source, cx, cy, mode, 16);
}

int image_draw8(const BitmapImage* image, uint8_t* dest, int pitch, int transparent)
{
    if (!draw_allowed(image, dest, pitch, 8))
        return 0;
    draw_rows(image, dest, static_cast<size_t>(pitch), transparent != 0);
    return 1;
}

int image_draw16(const BitmapImage* image, uint16_t* dest, int pitch, int transparent)
{
    if (!draw_allowed(image, dest, pitch, 16))
        return 0;
    draw_rows(image, dest, static_cast<size_t>(pitch >> 1), transparent != 0);
    return 1;
}

int image_copy_region(BitmapImage* dest, int dest_x, int dest_y, const BitmapImage* source, int source_x,
                      int source_y, int width, int height)
{
    if (!image_valid(dest) || !image_valid(source) || dest->bpp != source->bpp)
        return 0;
    if (!rect_inside(source_x, source_y, width, height, source->width, source->height) ||
        !rect_inside(dest_x, dest_y, width, height, dest->width, dest->height))
        return 0;
    const size_t b = bytes_per_pixel(source);
    const size_t row = static_cast<size_t>(width) * b;
    // Within one image, rows moving down are copied from the bottom up so none is overwritten first.
    const bool upward = dest == source && dest_y > source_y;
    for (int i = 0; i < height; ++i) {
        const int r = upward ? height - 1 - i : i;
        const size_t from = (static_cast<size_t>(source_y + r) * source->width + source_x) * b;
        const size_t to = (static_cast<size_t>(dest_y + r) * dest->width + dest_x) * b;
        std::memmove(dest->pixels + to, source->pixels + from, row);
    }
    return 1;
}

int image_scroll(BitmapImage* image, int dx, int dy)
{
    if (!image || (dx == 0 && dy == 0))
        return 0;
    if (dx == 0)
        return 1;  // rows only rotate sideways; dy alone moves nothing
    if (!image_valid(image))
        return 0;
    const int shift = dx % image->width;  // the sign follows dx
    if (shift == 0)
        return 1;
    const size_t b = bytes_per_pixel(image);
    const size_t row = static_cast<size_t>(image->width) * b;
    // A rotation to the left by n is one to the right by width − n.
    const size_t right = static_cast<size_t>(shift > 0 ? shift : image->width + shift) * b;
    for (int r = 0; r < image->height; ++r) {
        uint8_t* first = image->pixels + static_cast<size_t>(r) * row;
        std::rotate(first, first + row - right, first + row);
    }
    return 1;
}

int image_destroy(BitmapImage* image)
{
    if (!image || !image->pixels)
        return 0;
    std::free(image->pixels);
    std::memset(image, 0, sizeof *image);
    return 1;
}
