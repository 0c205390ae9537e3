// flip_chain.h -- the display a full-screen game opens: 640 × 480 × 8 with one back buffer.
#pragma once
#include <gtest/gtest.h>

#include <ddraw.h>

// Opens DirectDraw full screen on `window` and makes the flipping primary; call it inside
// ASSERT_NO_FATAL_FAILURE, since a failed step stops here.
inline void make_flip_chain(HWND window, LPDIRECTDRAW7* dd, LPDIRECTDRAWSURFACE7* primary)
{
    ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(dd), IID_IDirectDraw7, nullptr), DD_OK);
    ASSERT_EQ((*dd)->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
    ASSERT_EQ((*dd)->SetDisplayMode(640, 480, 8, 0, 0), DD_OK);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc.dwBackBufferCount = 1;
    ASSERT_EQ((*dd)->CreateSurface(&desc, primary, nullptr), DD_OK);
}
