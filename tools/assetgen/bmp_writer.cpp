// bmp_writer.cpp -- writes BMP headers, palette and bottom-up padded rows byte for byte.
#include "bmp_writer.h"

// ---- helpers ----

static void put_headers(Bytes& out, int width, int height, int bits, uint32_t palette_bytes, uint32_t image_bytes)
{
    const uint32_t offset = 14 + 40 + palette_bytes;
    out.push_back('B');
    out.push_back('M');
    put_le32(out, offset + image_bytes);
    put_le32(out, 0);
    put_le32(out, offset);
    put_le32(out, 40);
    put_le32(out, static_cast<uint32_t>(width));
    put_le32(out, static_cast<uint32_t>(height));
    put_le16(out, 1);
    put_le16(out, static_cast<uint32_t>(bits));
    put_le32(out, 0);
    put_le32(out, image_bytes);
    put_le32(out, 2835);
    put_le32(out, 2835);
    put_le32(out, palette_bytes ? 256 : 0);
    put_le32(out, 0);
}

// ---- public operations ----

Bytes encode_bmp8(const Image8& image, const Palette& palette)
{
    const int stride = (image.w + 3) & ~3;
    Bytes out;
    put_headers(out, image.w, image.h, 8, 1024, static_cast<uint32_t>(stride * image.h));
    for (const Rgb& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = image.h - 1; y >= 0; --y) {
        for (int x = 0; x < image.w; ++x)
            out.push_back(image.at(x, y));
        for (int x = image.w; x < stride; ++x)
            out.push_back(0);
    }
    return out;
}

Bytes encode_bmp24(const std::vector<Rgb>& pixels, int width, int height)
{
    const int stride = (width * 3 + 3) & ~3;
    Bytes out;
    put_headers(out, width, height, 24, 0, static_cast<uint32_t>(stride * height));
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgb& c = pixels[static_cast<size_t>(y) * width + x];
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (int x = width * 3; x < stride; ++x)
            out.push_back(0);
    }
    return out;
}

bool write_bmp8(const std::string& path, const Image8& image, const Palette& palette)
{
    return write_file(path, encode_bmp8(image, palette));
}
