// palette_file_test.cpp -- the text palette file: round trip, short, malformed and missing files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "display.h"
#include "fixtures.h"

class PaletteFile : public testing::Test {
protected:
    ScratchFolder folder;
    static void write_text(const char* name, const std::string& text) { std::ofstream(name, std::ios::binary) << text; }
};

TEST_F(PaletteFile, SaveThenLoadGivesBackEveryEntryAndFlag)
{
    PALETTEENTRY out[256], in[256];
    for (int i = 0; i < 256; ++i)
        out[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), static_cast<BYTE>(i % 5)};
    ASSERT_EQ(palette_file_save("round.pal", out), 1);
    std::memset(in, 0xEE, sizeof in);
    ASSERT_EQ(palette_file_load("round.pal", in), 1);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(in[i].peRed, out[i].peRed) << "entry " << i;
        EXPECT_EQ(in[i].peGreen, out[i].peGreen) << "entry " << i;
        EXPECT_EQ(in[i].peBlue, out[i].peBlue) << "entry " << i;
        EXPECT_EQ(in[i].peFlags, out[i].peFlags) << "entry " << i;
    }
}

TEST_F(PaletteFile, SavedTextStartsWithALineBreakAndEndsWithoutOne)
{
    PALETTEENTRY p[256] = {};
    p[0] = {255, 0, 128, 4};
    ASSERT_EQ(palette_file_save("layout.pal", p), 1);
    std::ifstream f("layout.pal", std::ios::binary);
    std::stringstream text;
    text << f.rdbuf();
    const std::string s = text.str();
    EXPECT_EQ(s.substr(0, 13), "\n255 0 128 4\n");
    EXPECT_NE(s.back(), '\n');
    EXPECT_EQ(std::count(s.begin(), s.end(), '\n'), 256);
}

TEST_F(PaletteFile, AShortFileLoadsWhatItHolds)
{
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += std::to_string(i) + " 1 2 3\n";
    write_text("short.pal", text);
    PALETTEENTRY p[256];
    std::memset(p, 0xAA, sizeof p);
    ASSERT_EQ(palette_file_load("short.pal", p), 1);
    EXPECT_EQ(p[99].peRed, 99);
    EXPECT_EQ(p[99].peFlags, 3);
    EXPECT_EQ(p[100].peRed, 0xAA) << "entries past the end stay as they were";
}

TEST_F(PaletteFile, AnyWhiteSpaceLayoutReadsTheSame)
{
    std::string text = "  1\t2\n\n3   4 5 6 7 8";
    for (int i = 2; i < 256; ++i)
        text += " 9 9 9 9";
    write_text("spaced.pal", text);
    PALETTEENTRY p[256] = {};
    ASSERT_EQ(palette_file_load("spaced.pal", p), 1);
    EXPECT_EQ(p[0].peRed, 1);
    EXPECT_EQ(p[0].peFlags, 4);
    EXPECT_EQ(p[1].peRed, 5);
    EXPECT_EQ(p[255].peBlue, 9);
}

TEST_F(PaletteFile, BadTextStopsTheReadButKeepsWhatCameBefore)
{
    write_text("bad.pal", "10 20 30 40\n50 60 x 70\n1 2 3 4");
    PALETTEENTRY p[256];
    std::memset(p, 0xAA, sizeof p);
    ASSERT_EQ(palette_file_load("bad.pal", p), 1);
    EXPECT_EQ(p[0].peFlags, 40);
    EXPECT_EQ(p[1].peRed, 50);
    EXPECT_EQ(p[1].peGreen, 60);
    EXPECT_EQ(p[1].peBlue, 0xAA) << "the field that failed is not written";
    EXPECT_EQ(p[2].peRed, 0xAA);
}

TEST_F(PaletteFile, ValuesKeepTheirLowEightBits)
{
    write_text("wide.pal", "256 -1 511 99999999999999999999");
    PALETTEENTRY p[256] = {};
    ASSERT_EQ(palette_file_load("wide.pal", p), 1);
    EXPECT_EQ(p[0].peRed, 0);
    EXPECT_EQ(p[0].peGreen, 255);
    EXPECT_EQ(p[0].peBlue, 255);
}

TEST_F(PaletteFile, AMissingFileLeavesThePaletteUntouched)
{
    PALETTEENTRY p[256];
    std::memset(p, 0x5A, sizeof p);
    EXPECT_EQ(palette_file_load("missing.pal", p), 0);
    EXPECT_EQ(p[17].peGreen, 0x5A);
    EXPECT_EQ(palette_file_save("no/such/folder/x.pal", p), 0);
}
