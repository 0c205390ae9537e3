// frame_convert_test.cpp -- the present conversion: every pixel through the palette, odd widths,
// padded rows, and the 16-bit expansions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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

// A frame of distinct colours, so every output pixel names the source pixel it came from.
struct NumberedFrame {
    NumberedFrame(int width, int height) : width(width), height(height), pixels(static_cast<size_t>(width) * height)
    {
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<uint8_t>(i + 1);
        for (int i = 0; i < 256; ++i)
            lut[i] = 0x010000u * static_cast<uint32_t>(i);
    }
    HostFrame frame() const { return {pixels.data(), width, width, height, 8, 8, nullptr}; }
    int width, height;
    std::vector<uint8_t> pixels;
    uint32_t lut[256];
};

TEST(FrameConvert, ScaledPicturesKeepSquarePixelsCentredBetweenBlackBars)
{
    EXPECT_EQ(frame_fit(640, 480, 1920, 1080).width, 1440);
    EXPECT_EQ(frame_fit(640, 480, 1920, 1080).x, 240);
    EXPECT_EQ(frame_fit(640, 480, 1280, 1024).y, 32);
    EXPECT_EQ(frame_fit(640, 480, 0, 1024).width, 0);

    struct Case {
        int frame_w, frame_h, out_w, out_h;
    };
    for (const Case c : {Case{4, 3, 11, 7}, Case{4, 3, 8, 6}, Case{5, 3, 5, 3}, Case{6, 4, 7, 13}, Case{9, 7, 4, 3}}) {
        const NumberedFrame n(c.frame_w, c.frame_h);
        const int pad = 3;  // words past each row that must stay untouched
        std::vector<uint32_t> out(static_cast<size_t>(c.out_w + pad) * c.out_h, 0xDEADBEEF);
        frame_to_xrgb_scaled(n.frame(), n.lut, out.data(), (c.out_w + pad) * 4, c.out_w, c.out_h);

        const FrameFit fit = frame_fit(c.frame_w, c.frame_h, c.out_w, c.out_h);
        EXPECT_LE(std::abs(fit.width * c.frame_h - fit.height * c.frame_w), std::max(c.frame_w, c.frame_h));
        for (int y = 0; y < c.out_h; ++y) {
            for (int x = 0; x < c.out_w; ++x) {
                const bool inside = x >= fit.x && x < fit.x + fit.width && y >= fit.y && y < fit.y + fit.height;
                uint32_t want = 0;
                if (inside) {  // the source pixel under the centre of this one
                    const int sx = static_cast<int>((x - fit.x + 0.5) * c.frame_w / fit.width);
                    const int sy = static_cast<int>((y - fit.y + 0.5) * c.frame_h / fit.height);
                    want = n.lut[n.pixels[static_cast<size_t>(sy) * c.frame_w + sx]];
                }
                ASSERT_EQ(out[static_cast<size_t>(y) * (c.out_w + pad) + x], want)
                    << c.frame_w << "x" << c.frame_h << " into " << c.out_w << "x" << c.out_h << " at " << x << "," << y;
            }
            for (int x = c.out_w; x < c.out_w + pad; ++x)
                ASSERT_EQ(out[static_cast<size_t>(y) * (c.out_w + pad) + x], 0xDEADBEEFu) << "nothing past the row";
        }
    }
}

TEST(FrameConvert, ScaledSixteenBitFramesDoubleEveryPixel)
{
    const uint16_t px[2] = {0xF800, 0x001F};
    const HostFrame f{reinterpret_cast<const uint8_t*>(px), 4, 2, 1, 16, 16, nullptr};
    uint32_t out[4 * 2];
    frame_to_xrgb_scaled(f, nullptr, out, 16, 4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(out[y * 4 + x], x < 2 ? 0xFF0000u : 0x0000FFu) << x << "," << y;
}
