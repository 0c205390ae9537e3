// frame_convert_test.cpp -- the present conversion: every pixel through the palette, odd widths,
// padded rows, and the 16-bit expansions.
#include <gtest/gtest.h>

#include <vector>

#include "frame_convert.h"

TEST(FrameConvert, EightBitPixelsGoThroughThePaletteIncludingTheRowTail)
{
    const int width = 21, height = 3, pitch = 32;  // 21 = two blocks of eight and a tail of five
    std::vector<uint8_t> pixels(pitch * height, 0xEE);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y * pitch + x] = static_cast<uint8_t>(x * 11 + y * 7);
    uint8_t palette[256 * 4];
    for (int i = 0; i < 256; ++i) {
        palette[i * 4] = static_cast<uint8_t>(i);
        palette[i * 4 + 1] = static_cast<uint8_t>(i ^ 0x55);
        palette[i * 4 + 2] = static_cast<uint8_t>(255 - i);
        palette[i * 4 + 3] = 4;
    }
    uint32_t lut[256];
    frame_palette_to_xrgb(palette, lut);
    EXPECT_EQ(lut[1], 0x0154FEu) << "red, green, blue into XRGB; flags dropped";

    const int out_pitch = (width + 3) * 4;
    std::vector<uint32_t> out(static_cast<size_t>(width + 3) * height, 0xDEADBEEF);
    const HostFrame frame{pixels.data(), pitch, width, height, 8, 8, palette};
    frame_to_xrgb(frame, lut, out.data(), out_pitch);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(out[y * (width + 3) + x], lut[pixels[y * pitch + x]]) << "at " << x << "," << y;
        EXPECT_EQ(out[y * (width + 3) + width], 0xDEADBEEFu) << "nothing written past the row";
    }
}

TEST(FrameConvert, SixteenBitChannelsExpandToFullRange)
{
    const uint16_t px565[4] = {0xFFFF, 0xF800, 0x07E0, 0x001F};
    const uint16_t px555[4] = {0x7FFF, 0x7C00, 0x03E0, 0x0000};
    uint32_t out[4];
    const HostFrame f565{reinterpret_cast<const uint8_t*>(px565), 8, 4, 1, 16, 16, nullptr};
    frame_to_xrgb(f565, nullptr, out, 16);
    EXPECT_EQ(out[0], 0xFFFFFFu);
    EXPECT_EQ(out[1], 0xFF0000u);
    EXPECT_EQ(out[2], 0x00FF00u);
    EXPECT_EQ(out[3], 0x0000FFu);
    const HostFrame f555{reinterpret_cast<const uint8_t*>(px555), 8, 4, 1, 16, 15, nullptr};
    frame_to_xrgb(f555, nullptr, out, 16);
    EXPECT_EQ(out[0], 0xFFFFFFu);
    EXPECT_EQ(out[1], 0xFF0000u);
    EXPECT_EQ(out[2], 0x00FF00u);
    EXPECT_EQ(out[3], 0u);
}
