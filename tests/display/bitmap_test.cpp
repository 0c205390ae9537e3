// bitmap_test.cpp -- .BMP loading: row order, palette order and flags, padding, offsets, top-down
// files, 16- and 24-bit files converted for 5.5.5 and 5.6.5 displays, every rejection, and the
// game's own pictures.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>

#include "bmp_file.h"
#include "display.h"
#include "fixtures.h"

class Bitmap : public testing::Test {
protected:
    void SetUp() override { pixel_format = 16; }
    void TearDown() override
    {
        bitmap_unload(&bitmap);
        pixel_format = 16;
    }

    // Loads the file both from disk and from memory; both must agree, and no file may stay open.
    int load(const BmpLayout& layout)
    {
        const std::vector<uint8_t> bytes = bmp_bytes(layout);
        EXPECT_TRUE(bmp_write("picture.bmp", bytes));
        const int from_file = bitmap_load(&bitmap, "picture.bmp");
        EXPECT_EQ(testing_open_files(), 0) << "the loader left its file open";
        BitmapFile again{};
        const int from_memory = bitmap_load_memory(&again, bytes.data(), bytes.size());
        EXPECT_EQ(from_file, from_memory) << "file and memory loads disagree";
        if (from_file && from_memory) {
            EXPECT_EQ(std::memcmp(&again.info_header, &bitmap.info_header, sizeof again.info_header), 0);
            const BITMAPINFOHEADER& h = bitmap.info_header;
            const size_t bytes_out = static_cast<size_t>(h.biWidth) * h.biHeight * (h.biBitCount / 8);
            EXPECT_EQ(std::memcmp(again.pixels, bitmap.pixels, bytes_out), 0);
        }
        bitmap_unload(&again);
        return from_file;
    }

    std::vector<uint8_t> pixels(size_t count) const { return {bitmap.pixels, bitmap.pixels + count}; }
    uint16_t pixel16(int i) const { return static_cast<uint16_t>(bitmap.pixels[2 * i] | bitmap.pixels[2 * i + 1] << 8); }

    ScratchFolder folder;
    BitmapFile bitmap{};
};

static BmpLayout eight_bit(int width, int height, std::vector<uint8_t> rows)
{
    BmpLayout s;
    s.width = width;
    s.height = height;
    s.rows = std::move(rows);
    return s;
}

static BmpLayout twenty_four_bit(int width, int height, std::vector<uint8_t> rows)
{
    BmpLayout s = eight_bit(width, height, std::move(rows));
    s.bits = 24;
    return s;
}

// ---- 8-bit files ----

TEST_F(Bitmap, EightBitRowsComeOutTopDownWithoutPadding)
{
    // Stored bottom row first: (bottom) 1 2, (top) 3 4, each padded to 4 bytes with 0xAB.
    ASSERT_EQ(load(eight_bit(2, 2, {1, 2, 3, 4})), 1);
    EXPECT_EQ(pixels(4), (std::vector<uint8_t>{3, 4, 1, 2}));
    EXPECT_EQ(bitmap.info_header.biWidth, 2);
    EXPECT_EQ(bitmap.info_header.biHeight, 2);
    EXPECT_EQ(bitmap.info_header.biBitCount, 8);
    EXPECT_EQ(bitmap.file_header.bfType, 0x4D42);
}

TEST_F(Bitmap, PaletteComesInRedGreenBlueOrderWithNoCollapseFlags)
{
    BmpLayout s = eight_bit(1, 1, {0});
    s.palette.assign(1024, 0);
    s.palette[5 * 4 + 0] = 10;  // blue
    s.palette[5 * 4 + 1] = 20;  // green
    s.palette[5 * 4 + 2] = 30;  // red
    s.palette[5 * 4 + 3] = 99;  // reserved: not the flags
    ASSERT_EQ(load(s), 1);
    EXPECT_EQ(bitmap.palette[5].peRed, 30);
    EXPECT_EQ(bitmap.palette[5].peGreen, 20);
    EXPECT_EQ(bitmap.palette[5].peBlue, 10);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(bitmap.palette[i].peFlags, PC_NOCOLLAPSE) << "entry " << i;
}

TEST_F(Bitmap, ShortPaletteLoadsItsEntriesAndLeavesTheRestBlack)
{
    BmpLayout s = eight_bit(3, 1, {0, 1, 2});
    s.palette_entries = 2;
    s.clr_used = 2;
    s.palette = {1, 2, 3, 0, 4, 5, 6, 0};
    ASSERT_EQ(load(s), 1);
    EXPECT_EQ(pixels(3), (std::vector<uint8_t>{0, 1, 2})) << "pixels begin right after the 2 entries";
    EXPECT_EQ(bitmap.palette[1].peRed, 6);
    EXPECT_EQ(bitmap.palette[1].peBlue, 4);
    for (int i = 2; i < 256; ++i) {
        const PALETTEENTRY& e = bitmap.palette[i];
        ASSERT_EQ(e.peRed | e.peGreen | e.peBlue, 0) << "entry " << i;
        ASSERT_EQ(e.peFlags, PC_NOCOLLAPSE);
    }
}

TEST_F(Bitmap, PixelOffsetIsHonouredAndSizeImageMayBeZero)
{
    BmpLayout s = eight_bit(3, 2, {1, 2, 3, 4, 5, 6});
    s.gap = 37;
    s.size_image_zero = true;
    ASSERT_EQ(load(s), 1);
    EXPECT_EQ(pixels(6), (std::vector<uint8_t>{4, 5, 6, 1, 2, 3}));
}

TEST_F(Bitmap, TopDownFilesKeepTheirOrderAndReadAPositiveHeight)
{
    ASSERT_EQ(load(eight_bit(2, -3, {1, 2, 3, 4, 5, 6})), 1);
    EXPECT_EQ(bitmap.info_header.biHeight, 3);
    EXPECT_EQ(pixels(6), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST_F(Bitmap, LargerInfoHeadersLoad)
{
    for (uint32_t size : {52u, 56u, 108u, 124u}) {
        BmpLayout s = eight_bit(1, 2, {7, 9});
        s.header_size = size;
        ASSERT_EQ(load(s), 1) << "header of " << size << " bytes";
        EXPECT_EQ(bitmap.info_header.biSize, size);
        EXPECT_EQ(pixels(2), (std::vector<uint8_t>{9, 7}));
    }
}

TEST_F(Bitmap, ASuccessfulLoadReplacesThePicture)
{
    ASSERT_EQ(load(eight_bit(2, 1, {1, 2})), 1);
    ASSERT_EQ(load(eight_bit(3, 1, {4, 5, 6})), 1);  // the first buffer is freed (the leak checker sees)
    EXPECT_EQ(pixels(3), (std::vector<uint8_t>{4, 5, 6}));
}

// ---- 16- and 24-bit files ----

// A 16-bit layout as image tools write it: where its masks are, and white, red, green, blue and a
// mid grey in its pixels, with what each becomes on a 5.6.5 and on a 5.5.5 display. Channels widen
// to 8 bits by bit replication, so a 5-bit 16 becomes 132 (10000 100) and a 4-bit 8 becomes 136
// (1000 1000): the greys below follow from that, and full scale stays full scale.
struct SixteenBitCase {
    const char* what;
    uint32_t header_size;
    uint32_t compression;
    std::vector<uint32_t> masks;
    std::vector<uint16_t> stored;
    std::vector<uint16_t> on_565, on_555;
};

// White, red, green, blue and mid grey as each format stores them.
static const std::vector<uint16_t> PIXELS_565 = {0xFFFF, 0xF800, 0x07E0, 0x001F, 0x8410};
static const std::vector<uint16_t> PIXELS_555 = {0x7FFF, 0x7C00, 0x03E0, 0x001F, 0x4210};
// 5.5.5 pixels on a 5.6.5 display: green's full 31 widens to 255, which is 63 in 6 bits, and the
// grey's 16 widens to 132, which is 33.
static const std::vector<uint16_t> PIXELS_555_ON_565 = {0xFFFF, 0xF800, 0x07E0, 0x001F, 0x8430};

static const SixteenBitCase SIXTEEN_BIT_CASES[] = {
    {"5.6.5 after a 40-byte header", 40, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, PIXELS_565, PIXELS_565, PIXELS_555},
    {"5.5.5 without masks", 40, BI_RGB, {}, PIXELS_555, PIXELS_555_ON_565, PIXELS_555},
    {"5.5.5 without masks, the V5 header's masks not used", 124, BI_RGB, {0xF800, 0x07E0, 0x001F}, PIXELS_555,
     PIXELS_555_ON_565, PIXELS_555},
    {"5.5.5 after a 40-byte header", 40, BI_BITFIELDS, {0x7C00, 0x03E0, 0x001F}, PIXELS_555, PIXELS_555_ON_565,
     PIXELS_555},
    {"5.6.5 in a 52-byte header", 52, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, PIXELS_565, PIXELS_565, PIXELS_555},
    {"1.5.5.5 in a 56-byte header, alpha set on some", 56, BI_BITFIELDS, {0x7C00, 0x03E0, 0x001F, 0x8000},
     {0xFFFF, 0x7C00, 0x83E0, 0x001F, 0xC210}, PIXELS_555_ON_565, PIXELS_555},
    {"4.4.4.4 in a V4 header, alpha set on some", 108, BI_BITFIELDS, {0x0F00, 0x00F0, 0x000F, 0xF000},
     {0xFFFF, 0x0F00, 0xF0F0, 0x000F, 0x8888}, {0xFFFF, 0xF800, 0x07E0, 0x001F, 0x8C51},
     {0x7FFF, 0x7C00, 0x03E0, 0x001F, 0x4631}},
    {"5.6.5 in a V5 header", 124, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F, 0}, PIXELS_565, PIXELS_565, PIXELS_555},
};

static BmpLayout sixteen_bit(const SixteenBitCase& c)
{
    BmpLayout s = eight_bit(static_cast<int>(c.stored.size()), 1, {});
    s.bits = 16;
    s.header_size = c.header_size;
    s.compression = c.compression;
    s.masks = c.masks;
    for (uint16_t p : c.stored)
        bmp_put16(s.rows, p);
    return s;
}

// Every layout on a 5.6.5 display, a 5.5.5 one, and an 8-bit one (or none yet), which packs as
// 5.6.5 as 24-bit files do.
TEST_F(Bitmap, SixteenBitLayoutsConvertToTheDisplaysFormat)
{
    for (const SixteenBitCase& c : SIXTEEN_BIT_CASES) {
        for (int format : {16, 15, 8}) {
            pixel_format = format;
            ASSERT_EQ(load(sixteen_bit(c)), 1) << c.what;
            EXPECT_EQ(bitmap.info_header.biBitCount, 16) << c.what;
            const std::vector<uint16_t>& expected = format == 15 ? c.on_555 : c.on_565;
            for (size_t i = 0; i < expected.size(); ++i)
                EXPECT_EQ(pixel16(static_cast<int>(i)), expected[i])
                    << c.what << ", display " << format << ", pixel " << i;
        }
    }
}

TEST_F(Bitmap, TwentyFourBitPacksToFiveSixFive)
{
    // One row of three pixels (9 bytes, padded to 12): white, red, and blue 0x20 green 0x40 red 0x80.
    const std::vector<uint8_t> row = {255, 255, 255, 0, 0, 255, 0x20, 0x40, 0x80};
    ASSERT_EQ(load(twenty_four_bit(3, 1, row)), 1);
    EXPECT_EQ(bitmap.info_header.biBitCount, 16);
    EXPECT_EQ(pixel16(0), 0xFFFF);
    EXPECT_EQ(pixel16(1), 0xF800);
    EXPECT_EQ(pixel16(2), 0x8204);
}

TEST_F(Bitmap, TwentyFourBitPacksToFiveFiveFiveInAFifteenBitDisplay)
{
    pixel_format = 15;
    const std::vector<uint8_t> row = {255, 255, 255, 0, 0, 255, 0x20, 0x40, 0x80};
    ASSERT_EQ(load(twenty_four_bit(3, 1, row)), 1);
    EXPECT_EQ(pixel16(0), 0x7FFF);
    EXPECT_EQ(pixel16(1), 0x7C00);
    EXPECT_EQ(pixel16(2), 0x4104);
}

TEST_F(Bitmap, TwentyFourBitInAnEightBitDisplayPacksAsFiveSixFive)
{
    pixel_format = 8;
    ASSERT_EQ(load(twenty_four_bit(1, 1, {0, 0, 255})), 1);
    EXPECT_EQ(pixel16(0), 0xF800);
}

TEST_F(Bitmap, TwentyFourBitRowsAreTurnedTopDown)
{
    // (bottom) blue, (top) green: two rows of one pixel, each padded from 3 to 4 bytes.
    ASSERT_EQ(load(twenty_four_bit(1, 2, {255, 0, 0, 0, 255, 0})), 1);
    EXPECT_EQ(pixel16(0), 0x07E0);
    EXPECT_EQ(pixel16(1), 0x001F);
}

// ---- rejections: 0, the record as it was, no file left open ----

class BitmapRejects : public Bitmap {
protected:
    void SetUp() override
    {
        Bitmap::SetUp();
        ASSERT_EQ(load(eight_bit(1, 1, {42})), 1);
        kept_pixels = bitmap.pixels;
        kept_header = bitmap.info_header;
    }
    void expect_rejected(const BmpLayout& layout, const char* what)
    {
        EXPECT_EQ(load(layout), 0) << what;
        EXPECT_EQ(bitmap.pixels, kept_pixels) << what;
        EXPECT_EQ(bitmap.pixels[0], 42) << what;
        EXPECT_EQ(std::memcmp(&bitmap.info_header, &kept_header, sizeof kept_header), 0) << what;
    }
    uint8_t* kept_pixels = nullptr;
    BITMAPINFOHEADER kept_header{};
};

TEST_F(BitmapRejects, WrongSignatureAndDepths)
{
    BmpLayout s = eight_bit(2, 2, {1, 2, 3, 4});
    s.signature = "MB";
    expect_rejected(s, "signature MB");
    for (uint16_t bits : {1, 4, 32, 0, 12}) {
        s = eight_bit(2, 2, {});
        s.bits = bits;
        expect_rejected(s, "unsupported depth");
    }
}

TEST_F(BitmapRejects, CompressedFiles)
{
    for (uint32_t compression : {1u, 2u, 3u, 4u, 5u}) {
        BmpLayout s = eight_bit(2, 2, {1, 2, 3, 4});
        s.compression = compression;
        expect_rejected(s, "compressed");
    }
}

TEST_F(BitmapRejects, UnknownHeaderSizes)
{
    for (uint32_t size : {0u, 12u, 39u, 41u, 64u, 200u, 0xFFFFFFFFu}) {
        BmpLayout s = eight_bit(2, 2, {1, 2, 3, 4});
        s.header_size = size;
        s.off_bits = 1078;
        s.keep = 2000;
        expect_rejected(s, "header size");
    }
}

TEST_F(BitmapRejects, BadDimensions)
{
    const int32_t cases[][2] = {{0, 2}, {2, 0}, {-2, 2}, {INT32_MIN, 2}, {2, INT32_MIN}, {16385, 1}, {1, 16385},
                                {1, -16385}, {INT32_MAX, INT32_MAX}};
    for (const auto& c : cases) {
        BmpLayout s = eight_bit(c[0], c[1], {});
        s.keep = 1100;
        expect_rejected(s, "dimensions");
    }
}

TEST_F(BitmapRejects, PixelDataTheFileDoesNotHold)
{
    BmpLayout s = eight_bit(3, 3, std::vector<uint8_t>(9, 1));
    const size_t whole = bmp_bytes(s).size();
    // The last row needs its 3 pixels, not its padding byte: one byte fewer than that is refused.
    s.keep = whole - 2;
    expect_rejected(s, "last row short");
    s.keep = 60;
    expect_rejected(s, "palette cut short");
    s.keep = 30;
    expect_rejected(s, "header cut short");
    s.keep = 0;
    expect_rejected(s, "empty file");
    // The largest picture allowed, claimed by a file of a few bytes: refused before any allocation.
    BmpLayout huge = eight_bit(16384, 16384, {});
    huge.bits = 24;
    huge.keep = 200;
    expect_rejected(huge, "16384 x 16384 with no data");
}

TEST_F(BitmapRejects, OffsetsAndPaletteCountsThatPointAmiss)
{
    BmpLayout s = eight_bit(2, 2, {1, 2, 3, 4});
    s.off_bits = 14 + 40 + 100;  // inside the palette
    expect_rejected(s, "pixels inside the palette");
    s.off_bits = 1 << 30;
    expect_rejected(s, "pixels past the end");
    s = eight_bit(2, 2, {1, 2, 3, 4});
    s.clr_used = 257;
    expect_rejected(s, "more than 256 colours");
}

TEST_F(BitmapRejects, SixteenBitMasksThatAreNotThreeSeparateRuns)
{
    const std::vector<uint32_t> bad[] = {
        {0xF800, 0x07E0, 0},             // no blue
        {0xF0F0, 0x0F00, 0x000F},        // red with a gap
        {0xF800, 0x0FE0, 0x001F},        // red and green overlap
        {0x1F0000, 0x07E0, 0x001F},      // red beyond 16 bits
    };
    SixteenBitCase c = SIXTEEN_BIT_CASES[0];
    for (uint32_t header : {40u, 124u}) {
        for (const auto& masks : bad) {
            c.header_size = header;
            c.masks = masks;
            expect_rejected(sixteen_bit(c), "bad masks");
        }
    }
    BmpLayout s = sixteen_bit(SIXTEEN_BIT_CASES[0]);
    s.keep = 14 + 40 + 8;
    expect_rejected(s, "masks cut short");
    s = sixteen_bit(SIXTEEN_BIT_CASES[0]);
    s.off_bits = 14 + 40 + 8;
    expect_rejected(s, "pixels overlapping the masks");
    // Masks describe 16-bit pixels only.
    for (uint16_t bits : {8, 24, 32}) {
        s = sixteen_bit(SIXTEEN_BIT_CASES[0]);
        s.bits = bits;
        expect_rejected(s, "masks on another depth");
    }
}

TEST_F(BitmapRejects, MissingFilesFoldersAndNulls)
{
    EXPECT_EQ(bitmap_load(&bitmap, "no-such-file.bmp"), 0);
    std::filesystem::create_directory("folder.bmp");
    EXPECT_EQ(bitmap_load(&bitmap, "folder.bmp"), 0);
    EXPECT_EQ(bitmap_load(&bitmap, nullptr), 0);
    EXPECT_EQ(bitmap_load(nullptr, "no-such-file.bmp"), 0);
    EXPECT_EQ(bitmap_load_memory(&bitmap, nullptr, 10), 0);
    EXPECT_EQ(bitmap.pixels, kept_pixels);
    EXPECT_EQ(testing_open_files(), 0);
}

TEST_F(BitmapRejects, FailingFileServices)
{
    ASSERT_TRUE(bmp_write("good.bmp", eight_bit(2, 2, {1, 2, 3, 4})));
    for (const char* operation : {"OpenFile", "_lread", "_llseek"}) {
        testing_fault(operation, 0, E_FAIL);
        EXPECT_EQ(bitmap_load(&bitmap, "good.bmp"), 0) << operation;
        EXPECT_EQ(bitmap.pixels, kept_pixels) << operation;
        EXPECT_EQ(testing_open_files(), 0) << operation;
        testing_faults_clear();
    }
    // The fifth read is a pixel row: a failure there frees what was read so far.
    testing_fault("_lread", 5, E_FAIL);
    EXPECT_EQ(bitmap_load(&bitmap, "good.bmp"), 0);
    EXPECT_EQ(bitmap.pixels, kept_pixels);
}

// ---- row flipping and unloading ----

TEST(BitmapRows, FlipTurnsRowsUpsideDown)
{
    uint8_t odd[] = {1, 1, 2, 2, 3, 3};
    ASSERT_EQ(bitmap_flip_rows(odd, 2, 3), 1);
    EXPECT_EQ(std::vector<uint8_t>(odd, odd + 6), (std::vector<uint8_t>{3, 3, 2, 2, 1, 1}));
    uint8_t even[] = {1, 2, 3, 4};
    ASSERT_EQ(bitmap_flip_rows(even, 1, 4), 1);
    EXPECT_EQ(std::vector<uint8_t>(even, even + 4), (std::vector<uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(bitmap_flip_rows(nullptr, 2, 2), 0);
    EXPECT_EQ(bitmap_flip_rows(even, 0, 2), 0);
    EXPECT_EQ(bitmap_flip_rows(even, 2, -1), 0);
}

TEST(BitmapRows, UnloadFreesOnce)
{
    BitmapFile b{};
    const std::vector<uint8_t> bytes = bmp_bytes(BmpLayout{});
    ASSERT_EQ(bitmap_load_memory(&b, bytes.data(), bytes.size()), 1);
    EXPECT_EQ(bitmap_unload(&b), 1);
    EXPECT_EQ(b.pixels, nullptr);
    EXPECT_EQ(bitmap_unload(&b), 1);
    EXPECT_EQ(bitmap_unload(nullptr), 0);
}

// ---- the game's pictures ----

TEST(BitmapAssets, EveryGeneratedPictureLoads)
{
    const std::filesystem::path assets = VORLASH_ASSETS_DIR;
    if (!std::filesystem::exists(assets))
        GTEST_SKIP() << "no generated assets in " << assets;
    int loaded = 0;
    for (const auto& entry : std::filesystem::directory_iterator(assets)) {
        std::string ext = entry.path().extension().string();
        for (char& c : ext)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext != ".bmp")
            continue;
        BitmapFile b{};
        EXPECT_EQ(bitmap_load(&b, entry.path().string().c_str()), 1) << entry.path();
        EXPECT_GT(b.info_header.biWidth, 0);
        bitmap_unload(&b);
        ++loaded;
    }
    EXPECT_GE(loaded, 1);
}
