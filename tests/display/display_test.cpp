// display_test.cpp -- the display layer: start-up in 8 and 16 bits, each failing step, shut-down,
// locks and flips, fills, the clipper, the colour packers.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "display.h"
#include "fixtures.h"

class Display : public testing::Test {
protected:
    void SetUp() override { make_test_window(); }
    void TearDown() override { display_shutdown(); }
    ScratchFolder folder;
};

static void write_palette(const char* name, int entries)
{
    FILE* f = std::fopen(name, "w");
    ASSERT_NE(f, nullptr);
    for (int i = 0; i < entries; ++i)
        std::fprintf(f, "\n%d %d %d %d", i, 255 - i, i / 2, 0);
    std::fclose(f);
}

// ---- start-up ----

TEST_F(Display, EightBitInitSetsEveryGlobal)
{
    write_palette("PALDATA2.PAL", 256);
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    EXPECT_NE(dd, nullptr);
    EXPECT_NE(primary_surface, nullptr);
    EXPECT_NE(back_surface, nullptr);
    EXPECT_NE(display_palette, nullptr);
    EXPECT_NE(back_clipper, nullptr);
    EXPECT_EQ(window_clipper, nullptr);
    EXPECT_EQ(screen_width, 640);
    EXPECT_EQ(screen_height, 480);
    EXPECT_EQ(screen_bpp, 8);
    EXPECT_EQ(pixel_format, 8);
    EXPECT_EQ(rgb16, &rgb16_565) << "an 8-bit mode picks the 5.6.5 packer";
    EXPECT_EQ(clip_max_x, 639);
    EXPECT_EQ(clip_max_y, 479);
    EXPECT_EQ(shadow_palette[10].peRed, 10);
    EXPECT_EQ(shadow_palette[10].peGreen, 245);
    PALETTEENTRY device[256];
    ASSERT_EQ(display_palette->GetEntries(0, 0, 256, device), DD_OK);
    EXPECT_EQ(std::memcmp(device, shadow_palette, sizeof device), 0);
    // Both buffers were cleared to 0 and the primary shows through the host.
    const TestingFrame& shown = testing_presented_frame();
    EXPECT_EQ(shown.width, 640);
    EXPECT_EQ(shown.pixel(320, 240), 0u);
}

TEST_F(Display, EightBitInitWithoutPaletteFileIsAllBlack)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    for (const PALETTEENTRY& e : shadow_palette)
        ASSERT_EQ(e.peRed | e.peGreen | e.peBlue | e.peFlags, 0);
}

TEST_F(Display, SixteenBitInitPicksThePackerOfTheMode)
{
    ASSERT_EQ(display_init(640, 480, 16, 0), 1);
    EXPECT_EQ(pixel_format, 16);
    EXPECT_EQ(rgb16, &rgb16_565);
    EXPECT_EQ(display_palette, nullptr);
    display_shutdown();

    testing_display_16bit_555(true);
    ASSERT_EQ(display_init(640, 480, 16, 0), 1);
    EXPECT_EQ(pixel_format, 15);
    EXPECT_EQ(rgb16, &rgb16_555);
}

TEST_F(Display, PixelFormatIsLogged)
{
    const std::string name = folder.file("display.log");
    ASSERT_EQ(log_open(name.c_str(), nullptr), 1);
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    log_close();
    FILE* f = std::fopen(name.c_str(), "r");
    ASSERT_NE(f, nullptr);
    char text[512] = {};
    const size_t n = std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    ASSERT_GT(n, 0u);
    EXPECT_NE(std::strstr(text, "\npixel format = 8\npixel format = 5.6.5"), nullptr) << text;
}

TEST_F(Display, WindowedInitUsesAnOffscreenBackBufferAndAWindowClipper)
{
    ASSERT_EQ(display_init(640, 480, 8, 1), 1);
    EXPECT_NE(window_clipper, nullptr);
    EXPECT_EQ(shadow_palette[0].peFlags, PC_EXPLICIT);
    EXPECT_EQ(shadow_palette[9].peFlags, PC_EXPLICIT);
    EXPECT_EQ(shadow_palette[10].peFlags, 0);
    EXPECT_EQ(shadow_palette[246].peFlags, PC_EXPLICIT);
    uint8_t* bits = back_lock();
    ASSERT_NE(bits, nullptr);
    bits[5 * back_pitch + 7] = 42;
    back_unlock();
    EXPECT_EQ(display_flip(), 1);
    EXPECT_EQ(testing_presented_frame().pixel(7, 5), 42u) << "the window shows at the window's corner";
}

// Every step that can fail makes display_init return 0, and shut-down still releases it all.
TEST_F(Display, EachFailingStepReturnsZeroAndShutdownCleansUp)
{
    const char* steps[] = {
        "DirectDrawCreateEx",
        "IDirectDraw7::SetCooperativeLevel",
        "IDirectDraw7::SetDisplayMode",
        "IDirectDraw7::CreateSurface",
        "IDirectDrawSurface7::GetAttachedSurface",
        "IDirectDraw7::CreatePalette",
        "IDirectDrawSurface7::SetPalette",
    };
    for (const char* step : steps) {
        testing_faults_clear();
        testing_fault(step, 1, DDERR_GENERIC);
        EXPECT_EQ(display_init(640, 480, 8, 0), 0) << step;
        EXPECT_EQ(display_shutdown(), 1);
        EXPECT_EQ(dd, nullptr) << step;
        EXPECT_EQ(primary_surface, nullptr) << step;
    }
    testing_faults_clear();
    EXPECT_EQ(display_init(640, 480, 8, 0), 1) << "a later start-up finds nothing left over";
}

TEST_F(Display, WindowedClipperFailureReturnsZero)
{
    testing_fault("IDirectDrawClipper::SetHWnd", 1, DDERR_GENERIC);
    EXPECT_EQ(display_init(640, 480, 8, 1), 0);
}

TEST_F(Display, ShutdownTwiceIsHarmless)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    EXPECT_EQ(display_shutdown(), 1);
    EXPECT_EQ(display_shutdown(), 1);
}

// ---- locks and flips ----

TEST_F(Display, LockGivesAPitchWiderThanARowAndLocksOnce)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    uint8_t* first = back_lock();
    ASSERT_NE(first, nullptr);
    EXPECT_GT(back_pitch, 640);
    EXPECT_EQ(back_lock(), first) << "a second lock returns the same pointer";
    EXPECT_EQ(back_unlock(), 1);
    EXPECT_EQ(back_buffer, nullptr);
    EXPECT_EQ(back_pitch, 0);
    EXPECT_EQ(back_unlock(), 0);
}

TEST_F(Display, OneFailedUnlockDoesNotLeaveTheSurfaceLocked)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    ASSERT_NE(back_lock(), nullptr);
    testing_fault("IDirectDrawSurface7::Unlock", 1, DDERR_GENERIC);
    EXPECT_EQ(back_unlock(), 1);
    EXPECT_EQ(display_flip(), 1) << "the back buffer flips again";
    ASSERT_NE(back_lock(), nullptr) << "and locks again";
    back_unlock();
    // Failing for good, the surface stays locked and the flip is refused rather than shown torn.
    testing_fault("IDirectDrawSurface7::Unlock", 0, DDERR_GENERIC);
    ASSERT_NE(back_lock(), nullptr);
    back_unlock();
    EXPECT_EQ(display_flip(), 0);
}

TEST_F(Display, FlipRefusesWhileABufferIsLocked)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    uint8_t* bits = back_lock();
    ASSERT_NE(bits, nullptr);
    bits[100 * back_pitch + 200] = 9;
    const int presents = testing_present_count();
    EXPECT_EQ(display_flip(), 0);
    EXPECT_EQ(testing_present_count(), presents) << "nothing new is shown";
    back_unlock();
    EXPECT_EQ(display_flip(), 1);
    EXPECT_EQ(testing_presented_frame().pixel(200, 100), 9u);

    primary_lock();
    EXPECT_EQ(display_flip(), 0);
    primary_unlock();
}

TEST_F(Display, FlipSwapsTheBuffers)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    surface_fill(back_surface, 3, nullptr);
    ASSERT_EQ(display_flip(), 1);
    EXPECT_EQ(testing_presented_frame().pixel(0, 0), 3u);
    surface_fill(back_surface, 4, nullptr);
    ASSERT_EQ(display_flip(), 1);
    EXPECT_EQ(testing_presented_frame().pixel(639, 479), 4u);
    uint8_t* old_front = back_lock();
    EXPECT_EQ(old_front[0], 3) << "the back buffer is the frame shown before";
    back_unlock();
}

TEST_F(Display, UnlockingThePrimaryShowsAtOnce)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    uint8_t* bits = primary_lock();
    ASSERT_NE(bits, nullptr);
    plot_pixel8(10, 20, 77, bits, primary_pitch);
    primary_unlock();
    EXPECT_EQ(testing_presented_frame().pixel(10, 20), 77u);
}

TEST_F(Display, AFlipThatCanNeverSucceedReturnsInsteadOfHanging)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    testing_fault("IDirectDrawSurface7::Flip", 0, DDERR_SURFACELOST);
    testing_fault("IDirectDrawSurface7::Restore", 0, DDERR_WRONGMODE);
    EXPECT_EQ(display_flip(), 0);
    testing_faults_clear();
    testing_fault("IDirectDrawSurface7::Flip", 0, DDERR_GENERIC);
    EXPECT_EQ(display_flip(), 0);
}

TEST_F(Display, ALostFlipIsRestoredAndRetried)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    testing_fault("IDirectDrawSurface7::Flip", 1, DDERR_SURFACELOST);
    EXPECT_EQ(display_flip(), 1);
}

TEST_F(Display, FlipWaitsForARefreshOfTheDisplay)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    testing_clock_read_step(0);
    const uint32_t before = GetTickCount();
    for (int i = 0; i < 60; ++i)
        ASSERT_EQ(display_flip(), 1);
    EXPECT_EQ(GetTickCount() - before, 1000u) << "sixty refreshes make a second";
    EXPECT_EQ(display_wait_vblank(), 1);
    EXPECT_EQ(testing_refresh_count(), 61);
}

// ---- fills and surfaces ----

TEST_F(Display, SurfaceFillMasksTheColourAndRectFillDoesNot)
{
    ASSERT_EQ(display_init(640, 480, 16, 0), 1);
    RECT r = {0, 0, 4, 1};
    EXPECT_EQ(surface_fill(back_surface, 0x12345, &r), 1);
    int pitch = 0;
    auto* px = reinterpret_cast<uint16_t*>(surface_lock(back_surface, &pitch));
    ASSERT_NE(px, nullptr);
    EXPECT_EQ(px[3], 0x2345);
    EXPECT_EQ(px[4], 0);
    surface_unlock(back_surface);
    // rect_fill hands the whole value over; the 16-bit surface keeps its low 16 bits.
    EXPECT_EQ(rect_fill(10, 10, 12, 11, 0xABCD, back_surface), 1);
    px = reinterpret_cast<uint16_t*>(surface_lock(back_surface, &pitch));
    EXPECT_EQ(px[10 * (pitch >> 1) + 11], 0xABCD);
    EXPECT_EQ(px[10 * (pitch >> 1) + 12], 0);
    surface_unlock(back_surface);
}

TEST_F(Display, FillIsCutToTheClipper)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    RECT two[2] = {{0, 0, 10, 10}, {20, 0, 30, 10}};
    LPDIRECTDRAWCLIPPER c = clipper_attach(back_surface, 2, two);
    ASSERT_NE(c, nullptr);
    RECT band = {0, 5, 640, 6};
    surface_fill(back_surface, 8, &band);
    uint8_t* bits = back_lock();
    const uint8_t* row = bits + 5 * back_pitch;
    EXPECT_EQ(row[9], 8);
    EXPECT_EQ(row[10], 0);
    EXPECT_EQ(row[25], 8);
    EXPECT_EQ(row[30], 0);
    EXPECT_EQ(bits[4 * back_pitch + 5], 0);
    back_unlock();
    c->Release();
}

TEST_F(Display, ClipperRegionBoundCoversEveryRectangle)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    RECT two[2] = {{5, 40, 100, 60}, {-20, 50, 30, 480}};
    LPDIRECTDRAWCLIPPER c = clipper_attach(back_surface, 2, two);
    ASSERT_NE(c, nullptr);
    DWORD size = 0;
    ASSERT_EQ(c->GetClipList(nullptr, nullptr, &size), DD_OK);
    std::vector<uint8_t> storage(size);
    auto* region = reinterpret_cast<LPRGNDATA>(storage.data());
    ASSERT_EQ(c->GetClipList(nullptr, region, &size), DD_OK);
    EXPECT_EQ(region->rdh.nCount, 2u);
    EXPECT_EQ(region->rdh.rcBound.left, -20);
    EXPECT_EQ(region->rdh.rcBound.top, 40);
    EXPECT_EQ(region->rdh.rcBound.right, 100);
    EXPECT_EQ(region->rdh.rcBound.bottom, 480);
    c->Release();
}

TEST_F(Display, ClipperAttachFailureLeavesNothing)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    RECT whole = {0, 0, 640, 480};
    testing_fault("IDirectDrawClipper::SetClipList", 1, DDERR_GENERIC);
    EXPECT_EQ(clipper_attach(back_surface, 1, &whole), nullptr);
    EXPECT_EQ(clipper_attach(back_surface, -1, &whole), nullptr);
    EXPECT_EQ(clipper_attach(nullptr, 1, &whole), nullptr);
}

TEST_F(Display, SurfaceCreateGivesAKeyedOffscreenSurface)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    LPDIRECTDRAWSURFACE7 s = surface_create(96, 96, DDSCAPS_SYSTEMMEMORY, 0x10005);
    ASSERT_NE(s, nullptr);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(s->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 96u);
    EXPECT_TRUE(desc.dwFlags & DDSD_CKSRCBLT);
    EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceLowValue, 5u);
    EXPECT_EQ(desc.ddckCKSrcBlt.dwColorSpaceHighValue, 5u);
    s->Release();
    testing_fault("IDirectDraw7::CreateSurface", 1, DDERR_OUTOFMEMORY);
    EXPECT_EQ(surface_create(8, 8, 0, 0), nullptr);
    EXPECT_EQ(surface_lock(nullptr, nullptr), nullptr);
    EXPECT_EQ(surface_unlock(nullptr), 0);
}

TEST_F(Display, AFailedLockGivesNullAndZeroPitch)
{
    ASSERT_EQ(display_init(640, 480, 8, 0), 1);
    testing_fault("IDirectDrawSurface7::Lock", 1, DDERR_SURFACEBUSY);
    EXPECT_EQ(back_lock(), nullptr);
    EXPECT_EQ(back_pitch, 0);
    EXPECT_EQ(back_unlock(), 0);
}

// ---- colours and pixels ----

TEST(ColourPackers, PackTheTopBitsOfEachChannel)
{
    EXPECT_EQ(rgb16_565(255, 255, 255), 0xFFFF);
    EXPECT_EQ(rgb16_555(255, 255, 255), 0x7FFF);
    EXPECT_EQ(rgb16_565(255, 0, 0), 0xF800);
    EXPECT_EQ(rgb16_565(0, 255, 0), 0x07E0);
    EXPECT_EQ(rgb16_555(0, 255, 0), 0x03E0);
    EXPECT_EQ(rgb16_565(0, 0, 255), 0x001F);
    EXPECT_EQ(rgb16_565(7, 3, 7), 0) << "bits below the channel's width drop";
    EXPECT_EQ(rgb16_565(256 + 8, 0, 0), 0x0800) << "out-of-range parts are masked";
}

TEST(Pixels, PlotAddressesRowsByPitch)
{
    uint8_t bytes[4 * 10] = {};
    plot_pixel8(3, 2, 0x1FF, bytes, 10);
    EXPECT_EQ(bytes[23], 0xFF);
    uint16_t words[4 * 6] = {};
    plot_pixel16(1, 3, 0x12345, words, 12);
    EXPECT_EQ(words[19], 0x2345);
}
