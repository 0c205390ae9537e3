// spans_test.cpp -- the shared span fill at every length around its store-width thresholds and at
// every alignment: exactly the pixels asked for, nothing on either side.
#include <gtest/gtest.h>

#include <vector>

#include "spans.h"

template <class Pixel> static void check_every_length_and_offset(Pixel value, Pixel guard)
{
    constexpr int GUARD = 24;
    for (int n = 0; n <= 300; ++n) {
        for (int offset = 0; offset < 16; ++offset) {
            std::vector<Pixel> row(static_cast<size_t>(GUARD + offset + n + GUARD), guard);
            span_fill(row.data() + GUARD + offset, value, static_cast<size_t>(n));
            for (int i = 0; i < static_cast<int>(row.size()); ++i) {
                const bool inside = i >= GUARD + offset && i < GUARD + offset + n;
                ASSERT_EQ(row[static_cast<size_t>(i)], inside ? value : guard)
                    << sizeof(Pixel) * 8 << "-bit, n " << n << ", offset " << offset << ", pixel " << i;
            }
        }
    }
}

TEST(SpanFill, WritesExactlyTheRunAtEveryLengthAndAlignment)
{
    check_every_length_and_offset<uint8_t>(0xA5, 0x5A);
    check_every_length_and_offset<uint16_t>(0xA55A, 0x1234);
}
