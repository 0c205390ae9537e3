// palette_test.cpp -- the palette layer: whole and single sets with the shadow copy in step,
// rotation, the blink table's phases, counters and slots, and indices out of range.
#include <gtest/gtest.h>

#include <cstring>

#include "display.h"
#include "fixtures.h"

static PALETTEENTRY colour(int r, int g, int b, int flags = 0)
{
    return {static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b), static_cast<BYTE>(flags)};
}

// An entry to add to the blink table: no phase counted yet.
static BlinkEntry blink_entry(int index, PALETTEENTRY on, PALETTEENTRY off, int on_time, int off_time)
{
    return {index, on, off, on_time, off_time, 0, 0};
}

static bool same(const PALETTEENTRY& a, const PALETTEENTRY& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

static PALETTEENTRY device_entry(int index)
{
    PALETTEENTRY e{};
    EXPECT_EQ(display_palette->GetEntries(0, static_cast<DWORD>(index), 1, &e), DD_OK);
    return e;
}

class PaletteLayer : public testing::Test {
protected:
    void SetUp() override
    {
        make_test_window();
        ASSERT_EQ(display_init(640, 480, 8, 0), 1);
        // The blink table lives as long as the process: start every test with it empty.
        for (int slot = 0; slot < 256; ++slot)
            palette_blink(PALETTE_BLINK_DELETE, nullptr, slot);
        for (int i = 0; i < 256; ++i)
            ramp[i] = colour(i, 255 - i, i / 2, PC_NOCOLLAPSE);
        palette_set_all(ramp);
    }
    void TearDown() override { display_shutdown(); }

    // The device palette and the shadow copy hold the same 256 entries.
    void expect_in_step()
    {
        PALETTEENTRY device[256];
        ASSERT_EQ(display_palette->GetEntries(0, 0, 256, device), DD_OK);
        EXPECT_EQ(std::memcmp(device, shadow_palette, sizeof device), 0) << "device and shadow differ";
    }

    ScratchFolder folder;
    PALETTEENTRY ramp[256];
};

// ---- sets and reads ----

TEST_F(PaletteLayer, SetAllReachesDeviceShadowAndScreen)
{
    expect_in_step();
    EXPECT_TRUE(same(shadow_palette[77], ramp[77]));
    const TestingFrame& shown = testing_presented_frame();
    ASSERT_EQ(shown.palette.size(), 256u);
    EXPECT_EQ(shown.palette[77].peRed, 77) << "a palette change shows without a flip";
    PALETTEENTRY saved[256];
    EXPECT_EQ(palette_save(saved), 1);
    EXPECT_EQ(std::memcmp(saved, ramp, sizeof saved), 0);
}

TEST_F(PaletteLayer, SingleEntriesSetAndGet)
{
    const PALETTEENTRY pink = colour(255, 100, 200, 4);
    EXPECT_EQ(palette_set_entry(9, &pink), 1);
    expect_in_step();
    PALETTEENTRY got{};
    EXPECT_EQ(palette_get_entry(9, &got), 1);
    EXPECT_TRUE(same(got, pink));
    EXPECT_TRUE(same(shadow_palette[8], ramp[8])) << "neighbours untouched";
    EXPECT_TRUE(same(shadow_palette[10], ramp[10]));
}

TEST_F(PaletteLayer, OutOfRangeIndicesChangeNothing)
{
    const PALETTEENTRY pink = colour(255, 100, 200);
    PALETTEENTRY got = pink;
    for (int index : {-1, 256, 100000, INT32_MIN}) {
        EXPECT_EQ(palette_set_entry(index, &pink), 0) << index;
        EXPECT_EQ(palette_get_entry(index, &got), 0) << index;
    }
    EXPECT_EQ(palette_set_entry(3, nullptr), 0);
    EXPECT_EQ(palette_get_entry(3, nullptr), 0);
    EXPECT_EQ(palette_set_all(nullptr), 0);
    EXPECT_EQ(palette_save(nullptr), 0);
    EXPECT_TRUE(same(got, pink)) << "a refused get writes nothing";
    EXPECT_EQ(std::memcmp(shadow_palette, ramp, sizeof ramp), 0);
    expect_in_step();
}

// ---- rotation ----

TEST_F(PaletteLayer, RotateMovesTheLastColourToTheFirstEntry)
{
    const PALETTEENTRY p = colour(1, 2, 3), q = colour(4, 5, 6), r = colour(7, 8, 9);
    palette_set_entry(10, &p);
    palette_set_entry(11, &q);
    palette_set_entry(12, &r);
    EXPECT_EQ(palette_rotate(10, 12), 1);
    EXPECT_TRUE(same(shadow_palette[10], r));
    EXPECT_TRUE(same(shadow_palette[11], p));
    EXPECT_TRUE(same(shadow_palette[12], q));
    EXPECT_TRUE(same(shadow_palette[9], ramp[9]));
    EXPECT_TRUE(same(shadow_palette[13], ramp[13]));
    expect_in_step();
}

TEST_F(PaletteLayer, RotateOverTheWholePaletteAndOverOneEntry)
{
    EXPECT_EQ(palette_rotate(0, 255), 1);
    EXPECT_TRUE(same(shadow_palette[0], ramp[255]));
    EXPECT_TRUE(same(shadow_palette[255], ramp[254]));
    EXPECT_EQ(palette_rotate(40, 40), 1);
    EXPECT_TRUE(same(shadow_palette[40], ramp[39]));
    expect_in_step();
}

TEST_F(PaletteLayer, RotateRefusesBadRanges)
{
    const int ranges[][2] = {{12, 10}, {-1, 5}, {250, 256}, {0, 300}, {INT32_MIN, INT32_MAX}};
    for (const auto& r : ranges)
        EXPECT_EQ(palette_rotate(r[0], r[1]), 0) << r[0] << ".." << r[1];
    EXPECT_EQ(std::memcmp(shadow_palette, ramp, sizeof ramp), 0);
    expect_in_step();
}

// ---- blinking ----

TEST_F(PaletteLayer, BlinkPhasesFollowTheirTimes)
{
    BlinkEntry e = blink_entry(20, colour(255, 255, 0), colour(0, 0, 128), 2, 3);
    const int slot = palette_blink(PALETTE_BLINK_ADD, &e, 0);
    ASSERT_EQ(slot, 0);
    EXPECT_TRUE(same(device_entry(20), e.off_color)) << "off at once";
    const bool expected_on[] = {false, false, true, true, false, false, false, true};
    for (int run = 0; run < 8; ++run) {
        EXPECT_EQ(palette_blink(PALETTE_BLINK_RUN, nullptr, 0), 1);
        const PALETTEENTRY want = expected_on[run] ? e.on_color : e.off_color;
        EXPECT_TRUE(same(device_entry(20), want)) << "after run " << run + 1;
    }
    EXPECT_TRUE(same(shadow_palette[20], ramp[20])) << "blinking leaves the shadow alone";
}

TEST_F(PaletteLayer, BlinkChangeKeepsPhaseAndShowsTheNewColour)
{
    BlinkEntry e = blink_entry(30, colour(1, 1, 1), colour(2, 2, 2), 5, 1);
    const int slot = palette_blink(PALETTE_BLINK_ADD, &e, 0);
    palette_blink(PALETTE_BLINK_RUN, nullptr, 0);  // now on
    BlinkEntry change = e;
    change.index = 99;  // ignored: the slot keeps its entry
    change.on_color = colour(9, 9, 9);
    change.off_color = colour(8, 8, 8);
    EXPECT_EQ(palette_blink(PALETTE_BLINK_CHANGE, &change, slot), slot);
    EXPECT_TRUE(same(device_entry(30), change.on_color));
    EXPECT_TRUE(same(device_entry(99), ramp[99]));
    // A phase cut shorter than its counter ends at the next run instead of never.
    change.on_time = 0;
    palette_blink(PALETTE_BLINK_CHANGE, &change, slot);
    palette_blink(PALETTE_BLINK_RUN, nullptr, 0);
    EXPECT_TRUE(same(device_entry(30), change.off_color));
}

TEST_F(PaletteLayer, BlinkSlotsAreReusedLowestFirstAndRunOut)
{
    BlinkEntry e = blink_entry(5, {}, {}, 1, 1);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(palette_blink(PALETTE_BLINK_ADD, &e, 0), i);
    EXPECT_EQ(palette_blink(PALETTE_BLINK_ADD, &e, 0), -1) << "a full table is a failure, not slot 1";
    EXPECT_EQ(palette_blink(PALETTE_BLINK_DELETE, nullptr, 17), 17);
    EXPECT_EQ(palette_blink(PALETTE_BLINK_DELETE, nullptr, 17), -1) << "already free";
    EXPECT_EQ(palette_blink(PALETTE_BLINK_CHANGE, &e, 17), -1) << "free slot";
    EXPECT_EQ(palette_blink(PALETTE_BLINK_ADD, &e, 0), 17);
}

TEST_F(PaletteLayer, BlinkRefusesBadSlotsAndIndices)
{
    BlinkEntry e{};
    e.index = 256;
    EXPECT_EQ(palette_blink(PALETTE_BLINK_ADD, &e, 0), -1);
    e.index = -1;
    EXPECT_EQ(palette_blink(PALETTE_BLINK_ADD, &e, 0), -1);
    EXPECT_EQ(palette_blink(PALETTE_BLINK_ADD, nullptr, 0), -1);
    e.index = 3;
    ASSERT_EQ(palette_blink(PALETTE_BLINK_ADD, &e, 0), 0);
    for (int slot : {-1, 256, INT32_MAX}) {
        EXPECT_EQ(palette_blink(PALETTE_BLINK_DELETE, nullptr, slot), -1);
        EXPECT_EQ(palette_blink(PALETTE_BLINK_CHANGE, &e, slot), -1);
    }
    EXPECT_EQ(palette_blink(PALETTE_BLINK_CHANGE, nullptr, 0), -1);
    EXPECT_EQ(palette_blink(7, &e, 0), 1) << "unknown commands do nothing";
    EXPECT_EQ(palette_blink(PALETTE_BLINK_ADD, &e, 0), 1) << "slot 0 is still in use";
}

// ---- without an 8-bit display ----

TEST(PaletteWithoutDevice, SetsKeepTheShadowAndRotationIsRefused)
{
    ASSERT_EQ(display_palette, nullptr);
    PALETTEENTRY grey[256];
    for (PALETTEENTRY& e : grey)
        e = colour(128, 128, 128);
    EXPECT_EQ(palette_set_all(grey), 1);
    EXPECT_EQ(shadow_palette[200].peGreen, 128);
    EXPECT_EQ(palette_rotate(0, 10), 0);
    std::memset(shadow_palette, 0, sizeof shadow_palette);
}
