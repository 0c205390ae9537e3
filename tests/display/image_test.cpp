// image_test.cpp -- bitmap images: creation and destruction, cell and pixel addressing, opaque and
// transparent draws, region copies, scrolling, and every rectangle that reaches outside a buffer.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "display.h"
#include "fixtures.h"
#include "sheet.h"

// The sheets' pixels: (x + 3y) mod 251; 16-bit sheets hold it in both bytes.
static int sheet_value(int x, int y) { return (x + 3 * y) % 251; }
static int wide_value(int x, int y) { return sheet_value(x, y) * 257; }

// A buffer the size of the display (640 × 480) in 8 or 16 bits, with pitches wider than its rows.
struct Screen {
    static constexpr int PITCH = 656;
    static constexpr int PITCH16 = 1296;
    std::vector<uint8_t> bytes = std::vector<uint8_t>(static_cast<size_t>(PITCH16) * 480, 1);
    uint8_t at8(int x, int y) const { return bytes[static_cast<size_t>(y) * PITCH + x]; }
    uint16_t at16(int x, int y) const
    {
        return reinterpret_cast<const uint16_t*>(bytes.data())[static_cast<size_t>(y) * (PITCH16 / 2) + x];
    }
};

class Image : public testing::Test {
protected:
    void TearDown() override { image_destroy(&image); }
    // Sets the image's pixels row by row from a list.
    void fill(const std::vector<int>& values)
    {
        ASSERT_EQ(values.size() * (image.bpp / 8), static_cast<size_t>(image.num_bytes));
        for (size_t i = 0; i < values.size(); ++i) {
            if (image.bpp == 8)
                image.pixels[i] = static_cast<uint8_t>(values[i]);
            else
                reinterpret_cast<uint16_t*>(image.pixels)[i] = static_cast<uint16_t>(values[i]);
        }
    }
    std::vector<int> contents() const
    {
        std::vector<int> out;
        for (int i = 0; i < image.width * image.height; ++i)
            out.push_back(image.bpp == 8 ? image.pixels[i] : reinterpret_cast<const uint16_t*>(image.pixels)[i]);
        return out;
    }
    BitmapImage image{};
};

// ---- life ----

TEST_F(Image, CreateSetsEveryFieldAndZeroesThePixels)
{
    ASSERT_EQ(image_create(&image, 5, 6, 7, 3, 16), 1);
    EXPECT_EQ(image.state, 1);
    EXPECT_EQ(image.attr, 0);
    EXPECT_EQ(image.x, 5);
    EXPECT_EQ(image.y, 6);
    EXPECT_EQ(image.width, 7);
    EXPECT_EQ(image.height, 3);
    EXPECT_EQ(image.num_bytes, 42);
    EXPECT_EQ(image.bpp, 16);
    EXPECT_EQ(contents(), std::vector<int>(21, 0));
    ASSERT_EQ(image_create(&image, 0, 0, 2, 2, 8), 1) << "a second create replaces (and frees) the first buffer";
    EXPECT_EQ(image.num_bytes, 4);
}

TEST_F(Image, CreateRefusesBadSizesAndDepths)
{
    EXPECT_EQ(image_create(nullptr, 0, 0, 2, 2, 8), 0);
    EXPECT_EQ(image_create(&image, 0, 0, 2, 2, 24), 0);
    EXPECT_EQ(image_create(&image, 0, 0, 0, 2, 8), 0);
    EXPECT_EQ(image_create(&image, 0, 0, 2, -1, 8), 0);
    EXPECT_EQ(image_create(&image, 0, 0, 65536, 32768, 16), 0) << "num_bytes would overflow";
    EXPECT_EQ(image.pixels, nullptr);
}

TEST_F(Image, DestroyClearsTheRecordOnce)
{
    ASSERT_EQ(image_create(&image, 1, 2, 3, 4, 8), 1);
    EXPECT_EQ(image_destroy(&image), 1);
    const BitmapImage zero{};
    EXPECT_EQ(std::memcmp(&image, &zero, sizeof zero), 0);
    EXPECT_EQ(image_destroy(&image), 0);
    EXPECT_EQ(image_destroy(nullptr), 0);
}

// ---- loading from a sheet ----

TEST_F(Image, CellModeAddressesCellsBetweenOnePixelBorders)
{
    Sheet sheet(100, 70, 8, sheet_value);
    ASSERT_EQ(image_create(&image, 0, 0, 32, 32, 8), 1);
    ASSERT_EQ(image_load8(&image, &sheet.file, 2, 1, 0), 1);
    EXPECT_TRUE(image.attr & BITMAP_ATTR_LOADED);
    EXPECT_EQ(image.pixels[0], sheet_value(67, 34));
    EXPECT_EQ(image.pixels[31], sheet_value(98, 34));
    EXPECT_EQ(image.pixels[31 * 32 + 31], sheet_value(98, 65));
}

TEST_F(Image, PixelModeTakesTheCornerAsGiven)
{
    Sheet sheet(20, 10, 16, wide_value);
    ASSERT_EQ(image_create(&image, 0, 0, 3, 2, 16), 1);
    ASSERT_EQ(image_load16(&image, &sheet.file, 17, 8, 1), 1);
    const auto* p = reinterpret_cast<const uint16_t*>(image.pixels);
    EXPECT_EQ(p[0], wide_value(17, 8));
    EXPECT_EQ(p[5], wide_value(19, 9));
}

TEST_F(Image, LoadsReachingOutsideTheSheetAreRefused)
{
    Sheet sheet(100, 70, 8, sheet_value);
    ASSERT_EQ(image_create(&image, 0, 0, 32, 32, 8), 1);
    EXPECT_EQ(image_load8(&image, &sheet.file, 3, 0, 0), 0) << "cell 3 would end at column 131";
    EXPECT_EQ(image_load8(&image, &sheet.file, 0, 2, 0), 0);
    EXPECT_EQ(image_load8(&image, &sheet.file, -1, 0, 0), 0);
    EXPECT_EQ(image_load8(&image, &sheet.file, 69, 0, 1), 0);
    EXPECT_EQ(image_load8(&image, &sheet.file, INT_MAX, INT_MAX, 0), 0);
    EXPECT_EQ(image_load16(&image, &sheet.file, 0, 0, 1), 0) << "depths differ";
    EXPECT_EQ(image_load8(&image, nullptr, 0, 0, 1), 0);
    EXPECT_EQ(image_load8(nullptr, &sheet.file, 0, 0, 1), 0);
    EXPECT_FALSE(image.attr & BITMAP_ATTR_LOADED);
    EXPECT_EQ(contents(), std::vector<int>(32 * 32, 0));
}

// ---- drawing ----

TEST_F(Image, DrawRefusesAnImageNeverLoaded)
{
    Screen screen;
    ASSERT_EQ(image_create(&image, 0, 0, 4, 4, 8), 1);
    EXPECT_EQ(image_draw8(&image, screen.bytes.data(), Screen::PITCH, 0), 0);
    EXPECT_EQ(screen.bytes, Screen().bytes);
}

TEST_F(Image, OpaqueAndTransparentDraws)
{
    Sheet sheet(3, 1, 8, sheet_value);
    ASSERT_EQ(image_create(&image, 10, 20, 3, 1, 8), 1);
    ASSERT_EQ(image_load8(&image, &sheet.file, 0, 0, 1), 1);
    fill({5, 0, 7});
    Screen screen;
    ASSERT_EQ(image_draw8(&image, screen.bytes.data(), Screen::PITCH, 1), 1);
    EXPECT_EQ(screen.at8(10, 20), 5);
    EXPECT_EQ(screen.at8(11, 20), 1) << "zero is transparent";
    EXPECT_EQ(screen.at8(12, 20), 7);
    ASSERT_EQ(image_draw8(&image, screen.bytes.data(), Screen::PITCH, 0), 1);
    EXPECT_EQ(screen.at8(11, 20), 0) << "an opaque draw copies the zero";
    EXPECT_EQ(screen.at8(9, 20), 1);
    EXPECT_EQ(screen.at8(13, 20), 1);
}

TEST_F(Image, SixteenBitDrawStepsByThePitch)
{
    Sheet sheet(2, 2, 16, wide_value);
    ASSERT_EQ(image_create(&image, 638, 478, 2, 2, 16), 1);
    ASSERT_EQ(image_load16(&image, &sheet.file, 0, 0, 1), 1);
    fill({0xF800, 0, 0x07E0, 0x001F});
    Screen screen;
    ASSERT_EQ(image_draw16(&image, reinterpret_cast<uint16_t*>(screen.bytes.data()), Screen::PITCH16, 1), 1);
    EXPECT_EQ(screen.at16(638, 478), 0xF800);
    EXPECT_EQ(screen.at16(639, 478), 0x0101) << "transparent";
    EXPECT_EQ(screen.at16(638, 479), 0x07E0);
    EXPECT_EQ(screen.at16(639, 479), 0x001F);
    EXPECT_EQ(image_draw16(&image, reinterpret_cast<uint16_t*>(screen.bytes.data()), 1279, 1), 0)
        << "rows of 1279 bytes cannot hold 640 pixels of 16 bits";
}

TEST_F(Image, DrawsReachingOutsideTheDisplayAreRefused)
{
    Sheet sheet(4, 4, 8, sheet_value);
    ASSERT_EQ(image_create(&image, 0, 0, 4, 4, 8), 1);
    ASSERT_EQ(image_load8(&image, &sheet.file, 0, 0, 1), 1);
    Screen screen;
    const int places[][2] = {{637, 0}, {0, 477}, {-1, 0}, {0, -1}, {INT_MAX, 0}, {0, INT_MIN}};
    for (const auto& p : places) {
        image.x = p[0];
        image.y = p[1];
        EXPECT_EQ(image_draw8(&image, screen.bytes.data(), Screen::PITCH, 0), 0) << p[0] << ", " << p[1];
    }
    image.x = 636;
    image.y = 0;
    EXPECT_EQ(image_draw8(&image, screen.bytes.data(), 639, 0), 0) << "rows narrower than the image's reach";
    EXPECT_EQ(image_draw8(&image, nullptr, Screen::PITCH, 0), 0);
    EXPECT_EQ(screen.bytes, Screen().bytes);
    EXPECT_EQ(image_draw8(&image, screen.bytes.data(), Screen::PITCH, 0), 1) << "the last place that fits";
}

// ---- region copies ----

TEST_F(Image, CopyRegionBetweenImages)
{
    BitmapImage source{};
    ASSERT_EQ(image_create(&source, 0, 0, 3, 3, 8), 1);
    for (int i = 0; i < 9; ++i)
        source.pixels[i] = static_cast<uint8_t>(i + 1);
    ASSERT_EQ(image_create(&image, 0, 0, 4, 2, 8), 1);
    EXPECT_EQ(image_copy_region(&image, 2, 0, &source, 1, 1, 2, 2), 1);
    EXPECT_EQ(contents(), (std::vector<int>{0, 0, 5, 6, 0, 0, 8, 9}));
    EXPECT_EQ(image_copy_region(&image, 3, 0, &source, 0, 0, 2, 2), 0) << "past the destination's edge";
    EXPECT_EQ(image_copy_region(&image, 0, 0, &source, 2, 2, 2, 2), 0) << "past the source's edge";
    EXPECT_EQ(image_copy_region(&image, 0, 0, &source, 0, 0, -1, 2), 0);
    EXPECT_EQ(image_copy_region(&image, -1, 0, &source, 0, 0, 1, 1), 0);
    EXPECT_EQ(image_copy_region(nullptr, 0, 0, &source, 0, 0, 1, 1), 0);
    EXPECT_EQ(contents(), (std::vector<int>{0, 0, 5, 6, 0, 0, 8, 9}));
    image_destroy(&source);
}

TEST_F(Image, CopyRegionWithinOneImageMovesOverlappingRows)
{
    ASSERT_EQ(image_create(&image, 0, 0, 2, 4, 8), 1);
    fill({1, 1, 2, 2, 3, 3, 4, 4});
    EXPECT_EQ(image_copy_region(&image, 0, 1, &image, 0, 0, 2, 3), 1);
    EXPECT_EQ(contents(), (std::vector<int>{1, 1, 1, 1, 2, 2, 3, 3}));
    EXPECT_EQ(image_copy_region(&image, 0, 0, &image, 0, 1, 2, 3), 1);
    EXPECT_EQ(contents(), (std::vector<int>{1, 1, 2, 2, 3, 3, 3, 3}));
}

// ---- scrolling ----

TEST_F(Image, ScrollRotatesEachRowSideways)
{
    ASSERT_EQ(image_create(&image, 0, 0, 4, 2, 8), 1);
    fill({1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(image_scroll(&image, 1, 0), 1);
    EXPECT_EQ(contents(), (std::vector<int>{4, 1, 2, 3, 8, 5, 6, 7}));
    EXPECT_EQ(image_scroll(&image, -1, 0), 1);
    EXPECT_EQ(contents(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(image_scroll(&image, -1, 0), 1) << "the first column moves to the right edge";
    EXPECT_EQ(contents(), (std::vector<int>{2, 3, 4, 1, 6, 7, 8, 5}));
}

TEST_F(Image, ScrollByWideZeroAndExtremeAmounts)
{
    ASSERT_EQ(image_create(&image, 0, 0, 5, 1, 16), 1);
    fill({10, 20, 30, 40, 50});
    EXPECT_EQ(image_scroll(&image, 5 + 3, 0), 1) << "width + 3 is a scroll by 3";
    EXPECT_EQ(contents(), (std::vector<int>{30, 40, 50, 10, 20}));
    EXPECT_EQ(image_scroll(&image, 0, 0), 0);
    EXPECT_EQ(image_scroll(&image, 0, 5), 1);
    EXPECT_EQ(image_scroll(&image, -10, 0), 1);
    EXPECT_EQ(contents(), (std::vector<int>{30, 40, 50, 10, 20})) << "nothing moves";
    EXPECT_EQ(image_scroll(&image, INT_MIN, 0), 1);  // a remainder of -3: three to the left
    EXPECT_EQ(contents(), (std::vector<int>{10, 20, 30, 40, 50}));
    EXPECT_EQ(image_scroll(nullptr, 1, 0), 0);
}
