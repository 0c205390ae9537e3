// blit_bench.cpp -- keyed sprite blits into a 640 × 480 8-bit surface: our Blt beside its plain
// twin (the same checks and clipping, every copy one pixel at a time: the copy the fast kernels
// must beat), SDL2 (colour key, with and without RLE; BlitScaled) and Allegro 4 (draw_sprite,
// stretch_sprite) on the same pictures at the same places.
#include <cstring>
#include <vector>

#include <ddraw.h>

#include "blit_work.h"
#include "ddraw_internal.h"
#include "testing.h"

namespace {

// ---- ours: DirectDraw surfaces on the stand-in ----

struct Ours {
    LPDIRECTDRAW7 dd = nullptr;
    LPDIRECTDRAWSURFACE7 screen = nullptr, sprite = nullptr;

    explicit Ours(const Picture& p)
    {
        testing_reset();
        DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr);
        dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
        screen = make(SURFACE_W, SURFACE_H);
        sprite = make(p.w, p.h);
        DDCOLORKEY key = {0, 0};
        sprite->SetColorKey(DDCKEY_SRCBLT, &key);
        DDSURFACEDESC2 d{};
        d.dwSize = sizeof d;
        sprite->Lock(nullptr, &d, DDLOCK_WAIT, nullptr);
        for (int y = 0; y < p.h; ++y)
            std::memcpy(static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch, &p.px[y * p.w], p.w);
        sprite->Unlock(nullptr);
        // The game's back buffer always has a whole-screen clipper.
        LPDIRECTDRAWCLIPPER clipper = nullptr;
        dd->CreateClipper(0, &clipper, nullptr);
        RECT whole = {0, 0, SURFACE_W, SURFACE_H};
        std::vector<uint8_t> storage(sizeof(RGNDATAHEADER) + sizeof(RECT));
        auto* region = reinterpret_cast<LPRGNDATA>(storage.data());
        region->rdh = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, 1, sizeof(RECT), whole};
        std::memcpy(region->Buffer, &whole, sizeof whole);
        clipper->SetClipList(region, 0);
        screen->SetClipper(clipper);
        clipper->Release();
    }
    ~Ours()
    {
        sprite->Release();
        screen->Release();
        dd->Release();
    }
    LPDIRECTDRAWSURFACE7 make(int w, int h)
    {
        DDSURFACEDESC2 d{};
        d.dwSize = sizeof d;
        d.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        d.dwWidth = w;
        d.dwHeight = h;
        d.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        LPDIRECTDRAWSURFACE7 s = nullptr;
        dd->CreateSurface(&d, &s, nullptr);
        return s;
    }
};

// Our blits of the workload, by Blt or (plain) by its per-pixel reference.
void our_blits(benchmark::State& state, bool plain)
{
    const Work& w = work(static_cast<int>(state.range(0)));
    Ours ours(w.picture);
    const auto at = places(w);
    for (auto _ : state) {
        for (const SDL_Point& p : at) {
            RECT dest = {p.x, p.y, p.x + w.dest_w, p.y + w.dest_h};
            if (plain)
                blt_reference(ours.screen, &dest, ours.sprite, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
            else
                ours.screen->Blt(&dest, ours.sprite, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
        }
        benchmark::ClobberMemory();
    }
}

void BM_Vorlash_Blt(benchmark::State& state) { our_blits(state, false); }
void BM_VorlashPlain_Blt(benchmark::State& state) { our_blits(state, true); }

// Argument: 0 = 16 × 96 × 96, 1 = 8 × 42 × 36 stretched to 74 × 58, 2 = 32 × 8 × 8.
BENCHMARK(BM_Vorlash_Blt)->DenseRange(0, 2);
BENCHMARK(BM_VorlashPlain_Blt)->DenseRange(0, 2);
BENCHMARK(BM_SDL2_ColorKey)->DenseRange(0, 2);
BENCHMARK(BM_SDL2_ColorKeyRLE)->DenseRange(0, 2);
BENCHMARK(BM_Allegro4_Sprite)->DenseRange(0, 2);

}  // namespace

BENCHMARK_MAIN();
