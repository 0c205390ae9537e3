// frame_convert_test.cpp -- the present conversion: the palette as XRGB, the 16-bit expansions, the
// fit of a frame in a larger picture, and the fast conversions against the plain ones on random
// frames (odd widths, padded rows, both depths, scaled to any size).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "frame_convert.h"
#include "test_random.h"

TEST(FrameConvert, ThePaletteBecomesXrgbWords)
{
    uint8_t palette[256 * 4] = {};
    palette[4] = 0x01, palette[5] = 0x54, palette[6] = 0xFE, palette[7] = 4;
    uint32_t lut[256];
    frame_palette_to_xrgb(palette, lut);
    EXPECT_EQ(lut[1], 0x0154FEu) << "red, green, blue into XRGB; flags dropped";
}

TEST(FrameConvert, SixteenBitChannelsExpandToFullRange)
{
    // White, red and green in both formats; then blue in 5-6-5 and black in 5-5-5.
    const int rgb_bits[2] = {16, 15};
    const uint16_t pixels[2][4] = {{0xFFFF, 0xF800, 0x07E0, 0x001F}, {0x7FFF, 0x7C00, 0x03E0, 0x0000}};
    const uint32_t want[2][4] = {{0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0xFF0000, 0x00FF00, 0}};
    for (int k = 0; k < 2; ++k) {
        uint32_t out[4];
        const HostFrame frame{reinterpret_cast<const uint8_t*>(pixels[k]), 8, 4, 1, 16, rgb_bits[k], nullptr};
        frame_to_xrgb(frame, nullptr, out, 16);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(out[i], want[k][i]) << rgb_bits[k] << "-bit colour bits, pixel " << i;
    }
}

TEST(FrameConvert, ScaledPicturesKeepSquarePixelsCentredBetweenBlackBars)
{
    EXPECT_EQ(frame_fit(640, 480, 1920, 1080).width, 1440);
    EXPECT_EQ(frame_fit(640, 480, 1920, 1080).x, 240);
    EXPECT_EQ(frame_fit(640, 480, 1280, 1024).y, 32);
    EXPECT_EQ(frame_fit(640, 480, 0, 1024).width, 0);
    for (int w = 1; w < 40; w += 3)
        for (int h = 1; h < 40; h += 5) {
            const FrameFit fit = frame_fit(w, h, 37, 23);
            EXPECT_LE(std::abs(fit.width * h - fit.height * w), std::max(w, h)) << w << "x" << h;
        }
}

// Random palette words and frame bytes for the conversions to agree on.
static void fill_random(TestRandom& r, uint32_t (&lut)[256], std::vector<uint8_t>& pixels)
{
    for (uint32_t& c : lut)
        c = r.next() & 0xFFFFFF;
    for (uint8_t& p : pixels)
        p = static_cast<uint8_t>(r.next() >> 24);
}

// Random frames of every width class (the blocks of four, eight and sixteen and their tails), with
// padded rows, 8-bit and both 16-bit formats, converted as they are and scaled up and down, by each
// way of looking pixels up that this processor has: the fast forms must give the plain forms'
// pixels and leave the words past each output row alone.
TEST(FrameConvert, RandomFramesMatchThePlainConversions)
{
    for (int way = 1; way < static_cast<int>(FrameLookup::count); ++way) {
        if (!frame_lookup_choose(static_cast<FrameLookup>(way)))
            continue;  // not on this processor
        TestRandom r;
        uint32_t lut[256];
        for (int i = 0; i < 300; ++i) {
            const int bpp = i % 3 ? 8 : 16, width = r.range(1, 70), height = r.range(1, 12);
            const int pitch = (width + r.range(0, 9)) * bpp / 8;  // whole pixels, as surfaces have
            std::vector<uint8_t> pixels(static_cast<size_t>(pitch) * height);
            fill_random(r, lut, pixels);
            const HostFrame frame{pixels.data(), pitch, width, height, bpp, bpp == 8 ? 8 : 15 + i % 2, nullptr};
            const bool scaled = i % 2;
            const int out_w = scaled ? r.range(1, 150) : width, out_h = scaled ? r.range(1, 40) : height;
            const int out_pitch = (out_w + 3) * 4;  // three words past each row that must stay untouched
            std::vector<uint32_t> fast(static_cast<size_t>(out_w + 3) * out_h, 0xDEADBEEF), plain = fast;
            if (scaled) {
                frame_to_xrgb_scaled(frame, lut, fast.data(), out_pitch, out_w, out_h);
                frame_to_xrgb_scaled_reference(frame, lut, plain.data(), out_pitch, out_w, out_h);
            } else {
                frame_to_xrgb(frame, lut, fast.data(), out_pitch);
                frame_to_xrgb_reference(frame, lut, plain.data(), out_pitch);
            }
            ASSERT_EQ(fast, plain) << "lookup way " << way << ", " << bpp << "-bit " << width << "x" << height
                                   << " into " << out_w << "x" << out_h;
            for (size_t y = 0; y < static_cast<size_t>(out_h); ++y)
                ASSERT_EQ(plain[y * (out_w + 3) + out_w], 0xDEADBEEFu) << "the plain form writes nothing past a row";
        }
    }
    EXPECT_TRUE(frame_lookup_choose(FrameLookup::automatic));
    EXPECT_NE(frame_lookup_chosen(), FrameLookup::automatic) << "the first conversion settles on one way";
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

// A picture that holds one frame, brought up to date with only the blocks of pixels that changed
// in the next frame, is the next frame's whole picture: scaled up, scaled down and at the same size.
TEST(FrameConvert, ChangedBlocksBringAPictureUpToDate)
{
    TestRandom r;
    uint32_t lut[256];
    for (int i = 0; i < 60; ++i) {
        const int width = r.range(1, 3 * FRAME_BLOCK + 5), height = r.range(1, 20), blocks = frame_blocks(width);
        const int out_w = i % 3 == 0 ? width : r.range(1, 4 * width), out_h = i % 3 == 0 ? height : r.range(1, 50);
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
        fill_random(r, lut, pixels);
        const HostFrame frame{pixels.data(), width, width, height, 8, 8, nullptr};
        std::vector<uint32_t> updated(static_cast<size_t>(out_w) * out_h), whole(updated.size());
        frame_to_xrgb_scaled(frame, lut, updated.data(), out_w * 4, out_w, out_h);
        std::vector<uint8_t> changed(static_cast<size_t>(height) * blocks, 0);
        for (int n = r.range(0, 8); n > 0; --n) {
            const int x = r.range(0, width - 1), y = r.range(0, height - 1);
            pixels[static_cast<size_t>(y * width + x)] ^= 0x5A;
            changed[static_cast<size_t>(y * blocks + x / FRAME_BLOCK)] = 1;
        }
        frame_to_xrgb_scaled_rows(frame, lut, updated.data(), out_w * 4, out_w, out_h, changed.data());
        frame_to_xrgb_scaled_reference(frame, lut, whole.data(), out_w * 4, out_w, out_h);
        ASSERT_EQ(updated, whole) << width << "x" << height << " into " << out_w << "x" << out_h;
    }
}

// A kept row brought up to date block by block ends equal to the new row, with the same flags and
// answer as the plain form, for block sizes the fast form takes and those it hands back to it.
TEST(FrameConvert, KeptRowsFollowTheFrameAndFlagTheBlocksThatChanged)
{
    TestRandom r;
    for (int i = 0; i < 200; ++i) {
        const size_t bytes = static_cast<size_t>(r.range(0, 300));
        const size_t block = std::vector<size_t>{32, 64, 16, 0, 7}[static_cast<size_t>(i % 5)];
        std::vector<uint8_t> row(bytes);
        for (uint8_t& b : row)
            b = static_cast<uint8_t>(r.range(0, 255));
        std::vector<uint8_t> kept_fast = row;
        for (int n = r.range(0, 4); n > 0 && bytes > 0; --n)
            kept_fast[static_cast<size_t>(r.range(0, static_cast<int>(bytes) - 1))] ^= 0x81;
        std::vector<uint8_t> kept_plain = kept_fast;
        std::vector<uint8_t> flags_fast(bytes + 1, 0xEE), flags_plain = flags_fast;
        const bool fast = frame_row_keep(kept_fast.data(), row.data(), bytes, block, flags_fast.data());
        const bool plain = frame_row_keep_reference(kept_plain.data(), row.data(), bytes, block, flags_plain.data());
        ASSERT_EQ(kept_fast, row) << bytes << " bytes in blocks of " << block;
        ASSERT_EQ(kept_plain, row);
        ASSERT_EQ(fast, plain);
        ASSERT_EQ(flags_fast, flags_plain) << bytes << " bytes in blocks of " << block;
    }
}
