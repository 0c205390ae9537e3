// bmp_file.h -- small .BMP files made byte by byte for the tests: any header size, depth, palette
// length, row order, padding, pixel offset or length, so that good and broken files alike are easy.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct BmpLayout {
    const char* signature = "BM";
    int32_t width = 2;
    int32_t height = 2;  // negative: the rows are stored top-down
    uint16_t bits = 8;
    uint32_t header_size = 40;  // bytes of info header written (40, or more filled with zeros)
    uint32_t compression = 0;
    uint32_t clr_used = 0;      // biClrUsed as written
    int palette_entries = 256;  // colours written after the header (8-bit files only)
    uint32_t gap = 0;           // bytes of 0xEE between the palette and the pixels
    bool size_image_zero = false;
    uint8_t pad_byte = 0xAB;    // row padding, so a loader that keeps it shows it
    int64_t off_bits = -1;      // -1: right after the headers, palette and gap
    size_t keep = SIZE_MAX;     // cut the file to its first `keep` bytes
    std::vector<uint8_t> palette;  // blue, green, red, reserved per entry; missing entries are zero
    std::vector<uint8_t> rows;     // pixel bytes in stored order, each row width × bits / 8 long
    // Colour masks (red, green, blue, and alpha if given): inside a header of 52 bytes or more,
    // after a 40-byte one (12 bytes, the alpha mask left out).
    std::vector<uint32_t> masks;
};

inline void bmp_put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void bmp_put32(std::vector<uint8_t>& out, uint32_t v)
{
    bmp_put16(out, v & 0xFFFF);
    bmp_put16(out, v >> 16);
}

inline std::vector<uint8_t> bmp_bytes(const BmpLayout& s)
{
    const int64_t rows = s.height < 0 ? -int64_t{s.height} : s.height;
    const size_t row_bytes = static_cast<size_t>(s.width > 0 ? s.width : 0) * s.bits / 8;
    const size_t stride = (row_bytes + 3) & ~size_t{3};
    const size_t palette_bytes = s.bits == 8 ? static_cast<size_t>(s.palette_entries) * 4 : 0;
    const size_t image_bytes = stride * static_cast<size_t>(rows);
    // Files that claim more than this are only ever made cut short: their pixels are not written.
    const bool write_pixels = image_bytes <= (size_t{1} << 26);
    const size_t header_written = s.header_size < 1024 ? s.header_size : 1024;
    const size_t masks_after = s.header_size == 40 && !s.masks.empty() ? 12 : 0;
    const uint32_t natural_offset = static_cast<uint32_t>(14 + s.header_size + masks_after + palette_bytes + s.gap);
    const uint32_t offset = s.off_bits >= 0 ? static_cast<uint32_t>(s.off_bits) : natural_offset;

    std::vector<uint8_t> out;
    out.push_back(static_cast<uint8_t>(s.signature[0]));
    out.push_back(static_cast<uint8_t>(s.signature[1]));
    bmp_put32(out, static_cast<uint32_t>(natural_offset + image_bytes));
    bmp_put32(out, 0);
    bmp_put32(out, offset);
    bmp_put32(out, s.header_size);
    bmp_put32(out, static_cast<uint32_t>(s.width));
    bmp_put32(out, static_cast<uint32_t>(s.height));
    bmp_put16(out, 1);
    bmp_put16(out, s.bits);
    bmp_put32(out, s.compression);
    bmp_put32(out, s.size_image_zero ? 0 : static_cast<uint32_t>(image_bytes));
    bmp_put32(out, 2835);
    bmp_put32(out, 2835);
    bmp_put32(out, s.clr_used);
    bmp_put32(out, 0);
    for (size_t i = 0; i < s.masks.size() && (masks_after ? i < 3 : 54 + 4 * i < 14 + header_written); ++i)
        bmp_put32(out, s.masks[i]);
    while (out.size() < 14 + header_written + masks_after)
        out.push_back(0);
    for (size_t i = 0; i < palette_bytes; ++i)
        out.push_back(i < s.palette.size() ? s.palette[i] : 0);
    out.insert(out.end(), s.gap, 0xEE);
    for (int64_t r = 0; write_pixels && r < rows; ++r) {
        for (size_t i = 0; i < row_bytes; ++i) {
            const size_t at = static_cast<size_t>(r) * row_bytes + i;
            out.push_back(at < s.rows.size() ? s.rows[at] : 0);
        }
        out.insert(out.end(), stride - row_bytes, s.pad_byte);
    }
    if (s.keep < out.size())
        out.resize(s.keep);
    return out;
}

inline bool bmp_write(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline bool bmp_write(const std::string& path, const BmpLayout& layout) { return bmp_write(path, bmp_bytes(layout)); }
