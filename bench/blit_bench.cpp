// blit_bench.cpp -- keyed sprite blits into a 640 × 480 8-bit surface: our Blt beside SDL2
// (colour key, with and without RLE; BlitScaled) and Allegro 4 (draw_sprite, stretch_sprite)
// on the same pictures at the same places.
#include <SDL.h>
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include <ddraw.h>

#include "testing.h"

namespace {

constexpr int SURFACE_W = 640, SURFACE_H = 480;

struct Picture {
    int w, h;
    std::vector<uint8_t> px;
};

// A lumpy blob on the key colour 0; about `key_share` of its pixels are key.
Picture blob(int w, int h, double key_share)
{
    Picture p{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h)};
    const double r2 = (1.0 - key_share) * w * h / 3.14159265;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = x - w / 2.0 + 0.5, dy = (y - h / 2.0 + 0.5) * w / h;
            const double wobble = 1.0 + 0.08 * ((x * 7 + y * 3) % 5 - 2) / 2.0;
            p.px[y * w + x] = dx * dx + dy * dy < r2 * wobble ? static_cast<uint8_t>(16 + (x * 3 + y * 5) % 200) : 0;
        }
    return p;
}

struct Work {
    Picture picture;
    int count;
    int dest_w, dest_h;  // the size drawn (stretched when not the picture's)
};

// Deterministic places spread over the screen, all wholly on it.
std::vector<SDL_Point> places(const Work& w)
{
    std::vector<SDL_Point> at;
    uint32_t seed = 7;
    for (int i = 0; i < w.count; ++i) {
        seed = seed * 214013 + 2531011;
        const int x = static_cast<int>((seed >> 16) % (SURFACE_W - w.dest_w));
        seed = seed * 214013 + 2531011;
        const int y = static_cast<int>((seed >> 16) % (SURFACE_H - w.dest_h));
        at.push_back({x, y});
    }
    return at;
}

const Work& work(int which)
{
    static const Work all[] = {
        {blob(96, 96, 0.40), 16, 96, 96},
        {blob(42, 36, 0.40), 8, 74, 58},
        {blob(8, 8, 0.40), 32, 8, 8},
    };
    return all[which];
}

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

void BM_Vorlash_Blt(benchmark::State& state)
{
    const Work& w = work(static_cast<int>(state.range(0)));
    Ours ours(w.picture);
    const auto at = places(w);
    for (auto _ : state) {
        for (const SDL_Point& p : at) {
            RECT dest = {p.x, p.y, p.x + w.dest_w, p.y + w.dest_h};
            ours.screen->Blt(&dest, ours.sprite, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
        }
        benchmark::ClobberMemory();
    }
}

// ---- SDL2 ----

void sdl_blits(benchmark::State& state, bool rle)
{
    const Work& w = work(static_cast<int>(state.range(0)));
    SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, SURFACE_W, SURFACE_H, 8, SDL_PIXELFORMAT_INDEX8);
    SDL_Surface* sprite = SDL_CreateRGBSurfaceWithFormat(0, w.picture.w, w.picture.h, 8, SDL_PIXELFORMAT_INDEX8);
    for (int y = 0; y < w.picture.h; ++y)
        std::memcpy(static_cast<uint8_t*>(sprite->pixels) + y * sprite->pitch, &w.picture.px[y * w.picture.w], w.picture.w);
    SDL_SetColorKey(sprite, SDL_TRUE, 0);
    if (rle)
        SDL_SetSurfaceRLE(sprite, 1);
    const auto at = places(w);
    const bool stretched = w.dest_w != w.picture.w;
    SDL_Rect probe = {0, 0, w.dest_w, w.dest_h};
    if ((stretched ? SDL_BlitScaled(sprite, nullptr, screen, &probe) : SDL_BlitSurface(sprite, nullptr, screen, &probe)) != 0) {
        // SDL2 refuses scaled blits between 8-bit indexed surfaces ("Blit combination not supported").
        state.SkipWithError(SDL_GetError());
        SDL_FreeSurface(sprite);
        SDL_FreeSurface(screen);
        return;
    }
    for (auto _ : state) {
        for (const SDL_Point& p : at) {
            SDL_Rect dest = {p.x, p.y, w.dest_w, w.dest_h};
            if (stretched)
                SDL_BlitScaled(sprite, nullptr, screen, &dest);
            else
                SDL_BlitSurface(sprite, nullptr, screen, &dest);
        }
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(sprite);
    SDL_FreeSurface(screen);
}

void BM_SDL2_ColorKey(benchmark::State& state) { sdl_blits(state, false); }
void BM_SDL2_ColorKeyRLE(benchmark::State& state) { sdl_blits(state, true); }

// ---- Allegro 4 ----

void BM_Allegro4_Sprite(benchmark::State& state)
{
    static const bool started = install_allegro(SYSTEM_NONE, &errno, nullptr) == 0;
    if (!started) {
        state.SkipWithError("Allegro could not start");
        return;
    }
    const Work& w = work(static_cast<int>(state.range(0)));
    BITMAP* screen_bmp = create_bitmap_ex(8, SURFACE_W, SURFACE_H);
    BITMAP* sprite = create_bitmap_ex(8, w.picture.w, w.picture.h);
    for (int y = 0; y < w.picture.h; ++y)
        std::memcpy(sprite->line[y], &w.picture.px[y * w.picture.w], w.picture.w);
    const auto at = places(w);
    const bool stretched = w.dest_w != w.picture.w;
    for (auto _ : state) {
        for (const SDL_Point& p : at) {
            if (stretched)
                stretch_sprite(screen_bmp, sprite, p.x, p.y, w.dest_w, w.dest_h);
            else
                draw_sprite(screen_bmp, sprite, p.x, p.y);
        }
        benchmark::ClobberMemory();
    }
    destroy_bitmap(sprite);
    destroy_bitmap(screen_bmp);
}

// Argument: 0 = 16 × 96 × 96, 1 = 8 × 42 × 36 stretched to 74 × 58, 2 = 32 × 8 × 8.
BENCHMARK(BM_Vorlash_Blt)->DenseRange(0, 2);
BENCHMARK(BM_SDL2_ColorKey)->DenseRange(0, 2);
BENCHMARK(BM_SDL2_ColorKeyRLE)->DenseRange(0, 2);
BENCHMARK(BM_Allegro4_Sprite)->DenseRange(0, 2);

}  // namespace

BENCHMARK_MAIN();
