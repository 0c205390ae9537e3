// present_bench.cpp -- the present path: one 640 × 480 8-bit frame through its palette to 32-bit
// XRGB, beside SDL2 doing the same (an INDEX8 surface blitted to ARGB8888) and a memset of the
// bytes written, all on the same frame; and the same frame scaled to a 1920 × 1080 screen, beside
// SDL2 converting it and stretching the result with SDL_BlitScaled. Each of ours has its plain twin
// (BM_VorlashPlain_...): the per-pixel reference conversion the fast one must beat.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "frame_convert.h"

static constexpr int W = 640, H = 480;

struct Frame {
    std::vector<uint8_t> pixels;
    int pitch = W + 16;
    uint8_t palette[256 * 4];
    Frame() : pixels(static_cast<size_t>(W + 16) * H)
    {
        uint32_t seed = 12345;
        for (auto& p : pixels) {
            seed = seed * 214013 + 2531011;
            p = static_cast<uint8_t>(seed >> 16);
        }
        for (int i = 0; i < 256; ++i) {
            palette[i * 4 + 0] = static_cast<uint8_t>(i);
            palette[i * 4 + 1] = static_cast<uint8_t>(255 - i);
            palette[i * 4 + 2] = static_cast<uint8_t>(i * 3);
            palette[i * 4 + 3] = 0;
        }
    }
};

static Frame& frame()
{
    static Frame f;
    return f;
}

// Our present of the frame into an out_w × out_h picture: palette table, then every pixel, by the
// fast conversions or (plain) their per-pixel references.
static void our_present(benchmark::State& state, int out_w, int out_h, bool plain = false)
{
    Frame& f = frame();
    std::vector<uint32_t> out(static_cast<size_t>(out_w) * out_h);
    const HostFrame hf{f.pixels.data(), f.pitch, W, H, 8, 8, f.palette};
    for (auto _ : state) {
        uint32_t lut[256];
        frame_palette_to_xrgb(f.palette, lut);
        if (out_w == W && out_h == H)
            (plain ? frame_to_xrgb_reference : frame_to_xrgb)(hf, lut, out.data(), W * 4);
        else
            (plain ? frame_to_xrgb_scaled_reference : frame_to_xrgb_scaled)(hf, lut, out.data(), out_w * 4, out_w,
                                                                            out_h);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * out_w * out_h * 4);
    if (!plain) {
        static const char* const ways[] = {"automatic", "word reads", "four to a store", "gather"};
        state.SetLabel(ways[static_cast<int>(frame_lookup_chosen())]);
    }
}

static void BM_Vorlash_Present8to32(benchmark::State& state) { our_present(state, W, H); }
BENCHMARK(BM_Vorlash_Present8to32);

static void BM_VorlashPlain_Present8to32(benchmark::State& state) { our_present(state, W, H, true); }
BENCHMARK(BM_VorlashPlain_Present8to32);

static void BM_SDL2_BlitIndex8ToARGB8888(benchmark::State& state)
{
    Frame& f = frame();
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(f.pixels.data(), W, H, 8, f.pitch, SDL_PIXELFORMAT_INDEX8);
    SDL_Surface* dst = SDL_CreateRGBSurfaceWithFormat(0, W, H, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Color colors[256];
    for (int i = 0; i < 256; ++i)
        colors[i] = {f.palette[i * 4], f.palette[i * 4 + 1], f.palette[i * 4 + 2], 255};
    for (auto _ : state) {
        // The palette is set each frame, as a present must take the palette in force.
        SDL_SetPaletteColors(src->format->palette, colors, 0, 256);
        SDL_BlitSurface(src, nullptr, dst, nullptr);
        benchmark::DoNotOptimize(dst->pixels);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * W * H * 4);
    SDL_FreeSurface(dst);
    SDL_FreeSurface(src);
}
BENCHMARK(BM_SDL2_BlitIndex8ToARGB8888);

static void BM_Floor_Memset(benchmark::State& state)
{
    std::vector<uint32_t> out(static_cast<size_t>(W) * H);
    for (auto _ : state) {
        std::memset(out.data(), static_cast<int>(state.iterations() & 0xFF), out.size() * 4);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * W * H * 4);
}
BENCHMARK(BM_Floor_Memset);

static constexpr int SCREEN_W = 1920, SCREEN_H = 1080;

static void BM_Vorlash_PresentScaledFullHd(benchmark::State& state) { our_present(state, SCREEN_W, SCREEN_H); }
BENCHMARK(BM_Vorlash_PresentScaledFullHd)->Unit(benchmark::kMicrosecond);

static void BM_VorlashPlain_PresentScaledFullHd(benchmark::State& state)
{
    our_present(state, SCREEN_W, SCREEN_H, true);
}
BENCHMARK(BM_VorlashPlain_PresentScaledFullHd)->Unit(benchmark::kMicrosecond);

// SDL2's own way without a GPU: convert, clear the bars, stretch into the screen-sized surface.
static void BM_SDL2_PresentScaledFullHd(benchmark::State& state)
{
    Frame& f = frame();
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(f.pixels.data(), W, H, 8, f.pitch, SDL_PIXELFORMAT_INDEX8);
    SDL_Surface* mid = SDL_CreateRGBSurfaceWithFormat(0, W, H, 32, SDL_PIXELFORMAT_RGB888);
    SDL_Surface* dst = SDL_CreateRGBSurfaceWithFormat(0, SCREEN_W, SCREEN_H, 32, SDL_PIXELFORMAT_RGB888);
    SDL_Color colors[256];
    for (int i = 0; i < 256; ++i)
        colors[i] = {f.palette[i * 4], f.palette[i * 4 + 1], f.palette[i * 4 + 2], 255};
    const FrameFit fit = frame_fit(W, H, SCREEN_W, SCREEN_H);
    SDL_Rect to{fit.x, fit.y, fit.width, fit.height};
    for (auto _ : state) {
        SDL_SetPaletteColors(src->format->palette, colors, 0, 256);
        SDL_BlitSurface(src, nullptr, mid, nullptr);
        SDL_FillRect(dst, nullptr, 0);
        SDL_BlitScaled(mid, nullptr, dst, &to);
        benchmark::DoNotOptimize(dst->pixels);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * SCREEN_W * SCREEN_H * 4);
    SDL_FreeSurface(dst);
    SDL_FreeSurface(mid);
    SDL_FreeSurface(src);
}
BENCHMARK(BM_SDL2_PresentScaledFullHd)->Unit(benchmark::kMicrosecond);

// Keeping each frame for the next present: every row compared with the kept one block by block
// and the changed blocks copied. Two frames take turns, the second differing from the first in
// every other row, in a few scattered blocks of it, as play's sprites over a still backdrop do.
static void keep_rows(benchmark::State& state, bool plain)
{
    Frame& f = frame();
    std::vector<uint8_t> next(f.pixels), kept(static_cast<size_t>(W) * H);
    for (int y = 0; y < H; y += 2)
        for (int b = (y / 2) % 5; b < frame_blocks(W); b += 5)
            next[static_cast<size_t>(y) * f.pitch + static_cast<size_t>(b) * FRAME_BLOCK] ^= 0x3C;
    std::vector<uint8_t> changed(static_cast<size_t>(H) * frame_blocks(W));
    const auto keep = plain ? frame_row_keep_reference : frame_row_keep;
    for (auto _ : state)
        for (const std::vector<uint8_t>* in : {&next, &f.pixels})
            for (int y = 0; y < H; ++y)
                keep(kept.data() + static_cast<size_t>(y) * W, in->data() + static_cast<size_t>(y) * f.pitch, W,
                     FRAME_BLOCK, changed.data() + static_cast<size_t>(y) * frame_blocks(W));
    benchmark::DoNotOptimize(kept.data());
    state.SetBytesProcessed(state.iterations() * 2 * W * H);
}

static void BM_Vorlash_KeepChangedRows(benchmark::State& state) { keep_rows(state, false); }
BENCHMARK(BM_Vorlash_KeepChangedRows)->Unit(benchmark::kMicrosecond);

static void BM_VorlashPlain_KeepChangedRows(benchmark::State& state) { keep_rows(state, true); }
BENCHMARK(BM_VorlashPlain_KeepChangedRows)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
