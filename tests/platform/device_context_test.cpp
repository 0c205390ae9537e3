// device_context_test.cpp -- device contexts lent by surfaces (the errors of GetDC, Lock, Blt, Flip
// and ReleaseDC around them) and GDI text in them: colours, background modes, bad calls, no font.
#include <gtest/gtest.h>

#include <ddraw.h>

#include <cstring>
#include <vector>

#include "flip_chain.h"
#include "testing.h"

class SurfaceContext : public testing::Test {
protected:
    static constexpr int W = 40, H = 24;

    void SetUp() override
    {
        ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr), DD_OK);
        ASSERT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        ASSERT_EQ(dd->CreateSurface(&desc, &primary, nullptr), DD_OK);
        PALETTEENTRY entries[256];
        for (PALETTEENTRY& e : entries)
            e = {0, 100, 0, 0};
        entries[9] = {0, 0, 250, 0};
        entries[12] = {200, 200, 200, 0};
        ASSERT_EQ(dd->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette, nullptr), DD_OK);
        ASSERT_EQ(primary->SetPalette(palette), DD_OK);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = W;
        desc.dwHeight = H;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        ASSERT_EQ(dd->CreateSurface(&desc, &surface, nullptr), DD_OK);
    }
    void TearDown() override
    {
        surface->Release();
        palette->Release();
        primary->Release();
        dd->Release();
    }

    std::vector<uint8_t> pixels()
    {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        std::vector<uint8_t> out;
        for (int y = 0; y < H; ++y) {
            const auto* row = static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch;
            out.insert(out.end(), row, row + W);
        }
        surface->Unlock(nullptr);
        return out;
    }

    LPDIRECTDRAW7 dd = nullptr;
    LPDIRECTDRAWSURFACE7 primary = nullptr, surface = nullptr;
    LPDIRECTDRAWPALETTE palette = nullptr;
};

// ---- the surface's side ----

TEST_F(SurfaceContext, LockedSurfaceLendsNone)
{
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    HDC dc = reinterpret_cast<HDC>(&desc);
    EXPECT_EQ(surface->GetDC(&dc), DDERR_INVALIDPARAMS);
    EXPECT_EQ(dc, nullptr);
    surface->Unlock(nullptr);
}

TEST_F(SurfaceContext, ASurfaceWithItsContextOutIsBusy)
{
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    ASSERT_NE(dc, nullptr);
    HDC second = dc;
    EXPECT_EQ(surface->GetDC(&second), DDERR_DCALREADYCREATED);
    EXPECT_EQ(second, dc) << "the failed call leaves the handle alone";
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DDERR_SURFACEBUSY);
    EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(surface->ReleaseDC(dc), DDERR_NODC);
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    surface->Unlock(nullptr);
}

TEST(SurfaceContextFlip, FlipWaitsForTheBackBuffersContext)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "DCTEST";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "DCTEST", "dc", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    LPDIRECTDRAW7 dd = nullptr;
    LPDIRECTDRAWSURFACE7 primary = nullptr, back = nullptr;
    ASSERT_NO_FATAL_FAILURE(make_flip_chain(window, &dd, &primary));
    DDSCAPS2 caps{};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    HDC dc = nullptr;
    ASSERT_EQ(back->GetDC(&dc), DD_OK);
    EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACEBUSY);
    ASSERT_EQ(back->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    back->Release();
    primary->Release();
    dd->Release();
}

// ---- text ----

TEST_F(SurfaceContext, TransparentTextDrawsOnlyGlyphsInTheNearestPrimaryColour)
{
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    EXPECT_EQ(SetTextColor(dc, RGB(0, 0, 255)), RGB(0, 0, 0)) << "black until set";
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(TextOutA(dc, 2, 2, "Hi", 2), TRUE);
    surface->ReleaseDC(dc);
    int ink = 0, other = 0;
    for (uint8_t p : pixels()) {
        ink += p == 9;
        other += p != 9 && p != 0;
    }
    EXPECT_GT(ink, 10) << "blue maps to entry 9 of the primary's palette";
    EXPECT_EQ(other, 0);
}

TEST_F(SurfaceContext, OpaqueTextFillsItsCell)
{
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    SetTextColor(dc, RGB(0, 0, 255));
    EXPECT_EQ(SetBkColor(dc, RGB(210, 210, 210)), RGB(255, 255, 255));
    EXPECT_EQ(TextOutA(dc, 1, 3, "ii", 2), TRUE);  // opaque is the default mode
    surface->ReleaseDC(dc);
    const std::vector<uint8_t> p = pixels();
    int right = 0;
    for (int x = 0; x < W; ++x)
        if (p[static_cast<size_t>(3) * W + x] == 12)
            right = x;
    ASSERT_GT(right, 1) << "the background colour is entry 12";
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const bool in_cell = x >= 1 && x <= right && y >= 3 && y < 3 + 16;
            const uint8_t v = p[static_cast<size_t>(y) * W + x];
            if (in_cell)
                ASSERT_TRUE(v == 12 || v == 9) << "cell pixel " << x << ", " << y;
            else
                ASSERT_EQ(v, 0) << "outside the cell at " << x << ", " << y;
        }
}

TEST_F(SurfaceContext, BadCallsFailAndEmptyTextDrawsNothing)
{
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    HDC stranger = reinterpret_cast<HDC>(&dc);
    EXPECT_EQ(TextOutA(stranger, 0, 0, "x", 1), FALSE);
    EXPECT_EQ(SetTextColor(stranger, 0), CLR_INVALID);
    EXPECT_EQ(SetBkMode(stranger, TRANSPARENT), 0);
    EXPECT_EQ(SetBkMode(dc, 3), 0) << "no such mode";
    EXPECT_EQ(TextOutA(dc, 0, 0, "x", -1), FALSE);
    EXPECT_EQ(TextOutA(dc, 0, 0, nullptr, 1), FALSE);
    EXPECT_EQ(TextOutA(dc, 0, 0, "x", 0), TRUE);
    EXPECT_EQ(TextOutA(dc, 0, 0, nullptr, 0), TRUE);
    surface->ReleaseDC(dc);
    EXPECT_EQ(TextOutA(dc, 0, 0, "x", 1), FALSE) << "a released context";
    EXPECT_EQ(pixels(), std::vector<uint8_t>(W * H, 0));
}

TEST_F(SurfaceContext, WithoutAFontTextFails)
{
    testing_font_file("/nonexistent/font.ttf");
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    EXPECT_EQ(TextOutA(dc, 0, 0, "Score", 5), FALSE);
    testing_font_file(nullptr);
    SetBkMode(dc, TRANSPARENT);
    EXPECT_EQ(TextOutA(dc, 0, 0, "Score", 5), TRUE) << "the system's font again";
    surface->ReleaseDC(dc);
}
