// spans.h -- the span fill the software drawers share (lines, triangles, polygons): short runs
// with a few overlapping block stores and no call, long byte runs through the C library's memset.
// Internal to the library; every store stays within the n pixels asked for.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

// Runs at least this long go to memset, whose wider stores then pay for the call; shorter ones are
// a few 16-byte stores inline (a polygon's rows, mostly), the last one overlapping the one before.
static constexpr size_t SPAN_MEMSET_MIN = 256;

// Sixteen bytes of one repeated pixel: a single store where the processor has 16-byte registers.
struct SpanBlock {
    uint64_t half[2];
};
inline SpanBlock span_block(uint64_t pattern) { return {{pattern, pattern}}; }

inline void span_fill(uint8_t* p, uint8_t value, size_t n)
{
    if (n >= SPAN_MEMSET_MIN) {
        std::memset(p, value, n);
    } else if (n >= 16) {
        const SpanBlock v = span_block(value * 0x0101010101010101ull);
        uint8_t* const last = p + n - 16;
        for (; p < last; p += 16)
            std::memcpy(p, &v, 16);
        std::memcpy(last, &v, 16);
    } else if (n >= 8) {
        const uint64_t v = value * 0x0101010101010101ull;
        uint8_t* const last = p + n - 8;  // the last store may overlap the one before it
        for (; p < last; p += 8)
            std::memcpy(p, &v, 8);
        std::memcpy(last, &v, 8);
    } else if (n >= 4) {
        const uint32_t v = value * 0x01010101u;
        std::memcpy(p, &v, 4);
        std::memcpy(p + n - 4, &v, 4);
    } else if (n >= 2) {
        const uint16_t v = static_cast<uint16_t>(value * 0x0101u);
        std::memcpy(p, &v, 2);
        std::memcpy(p + n - 2, &v, 2);
    } else if (n == 1) {
        *p = value;
    }
}

inline void span_fill(uint16_t* p, uint16_t value, size_t n)
{
    if (n >= 8) {
        const SpanBlock v = span_block(value * 0x0001000100010001ull);
        uint16_t* const last = p + n - 8;
        for (; p < last; p += 8)
            std::memcpy(p, &v, 16);
        std::memcpy(last, &v, 16);
    } else if (n >= 4) {
        const uint64_t v = value * 0x0001000100010001ull;
        uint16_t* const last = p + n - 4;
        for (; p < last; p += 4)
            std::memcpy(p, &v, 8);
        std::memcpy(last, &v, 8);
    } else if (n >= 2) {
        const uint32_t v = value * 0x00010001u;
        std::memcpy(p, &v, 4);
        std::memcpy(p + n - 2, &v, 4);
    } else if (n == 1) {
        *p = value;
    }
}
