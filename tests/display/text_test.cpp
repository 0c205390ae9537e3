// text_test.cpp -- text on surfaces: nearest palette colour, transparent background, the locked
// surface, empty and bad arguments, the indexed colour, 16-bit surfaces, clipping and the glyph cell.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "display.h"
#include "fixtures.h"

// Where the ink of one colour lies in a locked 8-bit buffer, and how much of it there is.
struct Ink {
    int count = 0;
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
    int others = 0;  // pixels that are neither ink nor background
};

static Ink find_ink(const uint8_t* buffer, int pitch, int width, int height, uint8_t ink, uint8_t background)
{
    Ink found;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t p = buffer[y * pitch + x];
            if (p == ink) {
                ++found.count;
                found.left = std::min(found.left, x);
                found.right = std::max(found.right, x);
                found.top = std::min(found.top, y);
                found.bottom = std::max(found.bottom, y);
            } else if (p != background) {
                ++found.others;
            }
        }
    return found;
}

class TextOutput : public testing::Test {
protected:
    static constexpr uint8_t BACKGROUND = 3;
    static constexpr uint8_t RED = 7;

    void SetUp() override
    {
        make_test_window();
        ASSERT_EQ(display_init(640, 480, 8, 0), 1);
        PALETTEENTRY palette[256];
        for (PALETTEENTRY& e : palette)
            e = {0, 90, 0, 0};
        palette[BACKGROUND] = {60, 60, 60, 0};
        palette[RED] = {250, 0, 0, 0};
        palette[200] = {255, 128, 0, 0};
        palette[201] = {0, 128, 255, 0};  // the same bytes in the other order
        palette_set_all(palette);
        surface_fill(back_surface, BACKGROUND, nullptr);
    }
    void TearDown() override { display_shutdown(); }

    Ink back_ink(uint8_t ink)
    {
        uint8_t* buffer = back_lock();
        EXPECT_NE(buffer, nullptr);
        const Ink found = find_ink(buffer, back_pitch, screen_width, screen_height, ink, BACKGROUND);
        back_unlock();
        return found;
    }

    std::vector<uint8_t> back_copy()
    {
        const uint8_t* buffer = back_lock();
        std::vector<uint8_t> copy(buffer, buffer + static_cast<size_t>(back_pitch) * screen_height);
        back_unlock();
        return copy;
    }

    ScratchFolder folder;
};

TEST_F(TextOutput, DrawsInTheNearestPaletteColourOverATransparentBackground)
{
    EXPECT_EQ(text_draw("Score 1200", 10, 20, 0x0000FF, back_surface), 1);
    const Ink ink = back_ink(RED);
    EXPECT_GT(ink.count, 40);
    EXPECT_EQ(ink.others, 0) << "only glyph pixels change, in the one nearest colour";
    EXPECT_GE(ink.left, 10);
    EXPECT_GE(ink.top, 20);
    EXPECT_LT(ink.bottom, 20 + 16) << "a 16-pixel line";
}

TEST_F(TextOutput, IndexedColourIsRedGreenBlueFromTheShadow)
{
    EXPECT_EQ(text_draw_indexed("Lives 3", 100, 100, 200, back_surface), 1);
    EXPECT_GT(back_ink(200).count, 20) << "COLORREF 0x000080FF is entry 200, not its mirror 201";
    EXPECT_EQ(back_ink(201).count, 0);
}

TEST_F(TextOutput, LockedSurfaceGivesZeroAndDrawsNothing)
{
    const std::vector<uint8_t> before = back_copy();
    ASSERT_NE(back_lock(), nullptr);
    EXPECT_EQ(text_draw("Level 4", 10, 10, 0x0000FF, back_surface), 0);
    back_unlock();
    EXPECT_EQ(back_copy(), before);
}

TEST_F(TextOutput, EmptyTextDrawsNothingAndBadArgumentsAreRefused)
{
    const std::vector<uint8_t> before = back_copy();
    EXPECT_EQ(text_draw("", 10, 10, 0x0000FF, back_surface), 1);
    EXPECT_EQ(text_draw(nullptr, 10, 10, 0x0000FF, back_surface), 0);
    EXPECT_EQ(text_draw("x", 10, 10, 0x0000FF, nullptr), 0);
    EXPECT_EQ(text_draw_indexed("x", 10, 10, 256, back_surface), 0);
    EXPECT_EQ(text_draw_indexed("x", 10, 10, -1, back_surface), 0);
    EXPECT_EQ(back_copy(), before);
}

TEST_F(TextOutput, TheSameTextLooksTheSameEachTime)
{
    text_draw("GAME OVER", 50, 40, 0x0000FF, back_surface);
    text_draw("GAME OVER", 50, 140, 0x0000FF, back_surface);
    const uint8_t* b = back_lock();
    for (int y = 40; y < 56; ++y)
        for (int x = 50; x < 200; ++x)
            ASSERT_EQ(b[y * back_pitch + x], b[(y + 100) * back_pitch + x]) << "at " << x << ", " << y;
    back_unlock();
}

TEST_F(TextOutput, BoldCapitalsOnThe16PixelCell)
{
    text_draw("H", 0, 0, 0x0000FF, back_surface);
    const Ink h = back_ink(RED);
    EXPECT_GE(h.bottom - h.top + 1, 9) << "capital height";
    EXPECT_LE(h.bottom - h.top + 1, 11);
    EXPECT_LE(h.bottom, 12) << "capitals stand on the baseline, 13 rows down";
    surface_fill(back_surface, BACKGROUND, nullptr);
    text_draw("l", 0, 0, 0x0000FF, back_surface);
    const Ink l = back_ink(RED);
    EXPECT_GE(l.right - l.left + 1, 2) << "a bold stem";
    surface_fill(back_surface, BACKGROUND, nullptr);
    text_draw("g", 0, 0, 0x0000FF, back_surface);
    const Ink g = back_ink(RED);
    EXPECT_GT(g.bottom, 12) << "descenders go below the baseline";
    EXPECT_LE(g.bottom, 15) << "and stay in the cell";
}

TEST_F(TextOutput, ClippedToTheSurface)
{
    // The same texts on a small surface and, unclipped, on the back buffer 100 pixels in: the small
    // surface must show exactly the back buffer's window, and nothing past its rows.
    LPDIRECTDRAWSURFACE7 small = surface_create(24, 20, 0, 0);
    ASSERT_NE(small, nullptr);
    surface_fill(small, BACKGROUND, nullptr);
    EXPECT_EQ(text_draw("WWWWWW", -7, -6, 0x0000FF, small), 1);
    EXPECT_EQ(text_draw("MMMMMM", 16, 10, 0x0000FF, small), 1);
    EXPECT_EQ(text_draw("far away", 100000, -100000, 0x0000FF, small), 1);
    EXPECT_EQ(text_draw("far away", INT32_MIN, INT32_MAX, 0x0000FF, small), 1);
    text_draw("WWWWWW", 100 - 7, 100 - 6, 0x0000FF, back_surface);
    text_draw("MMMMMM", 100 + 16, 100 + 10, 0x0000FF, back_surface);

    int pitch = 0;
    const uint8_t* b = surface_lock(small, &pitch);
    ASSERT_NE(b, nullptr);
    const uint8_t* whole = back_lock();
    int inked = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 24; ++x) {
            ASSERT_EQ(b[y * pitch + x], whole[(y + 100) * back_pitch + x + 100]) << "at " << x << ", " << y;
            inked += b[y * pitch + x] == RED;
        }
        for (int x = 24; x < pitch; ++x)
            ASSERT_EQ(b[y * pitch + x], 0) << "written past the row at " << x << ", " << y;
    }
    back_unlock();
    surface_unlock(small);
    small->Release();
    EXPECT_GT(inked, 20);
}

TEST(TextSixteenBit, ColourIsPackedInTheSurfaceFormat)
{
    make_test_window();
    for (bool five_five_five : {false, true}) {
        testing_display_16bit_555(five_five_five);
        ASSERT_EQ(display_init(640, 480, 16, 0), 1);
        surface_fill(back_surface, 0, nullptr);
        EXPECT_EQ(text_draw("I", 5, 5, 0x0000FF, back_surface), 1);
        const uint16_t want = five_five_five ? 0x7C00 : 0xF800;
        int inked = 0, wrong = 0;
        const uint8_t* b = back_lock();
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x) {
                const uint16_t p = reinterpret_cast<const uint16_t*>(b + y * back_pitch)[x];
                inked += p == want;
                wrong += p != want && p != 0;
            }
        back_unlock();
        EXPECT_GT(inked, 5) << (five_five_five ? "5.5.5" : "5.6.5");
        EXPECT_EQ(wrong, 0);
        display_shutdown();
    }
}
