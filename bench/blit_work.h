// blit_work.h -- the keyed sprite workloads every blit benchmark measures (pictures, counts,
// sizes and places on a 640 × 480 8-bit surface) and the peers doing the same work: SDL2 with a
// colour key, with and without RLE, and SDL_BlitScaled; Allegro 4 draw_sprite and stretch_sprite.
#pragma once
#include <SDL.h>
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstring>
#include <vector>

constexpr int SURFACE_W = 640, SURFACE_H = 480;

struct Picture {
    int w, h;
    std::vector<uint8_t> px;
};

// A lumpy blob on the key colour 0; about `key_share` of its pixels are key.
inline Picture blob(int w, int h, double key_share)
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
inline std::vector<SDL_Point> places(const Work& w)
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

inline const Work& work(int which)
{
    static const Work all[] = {
        {blob(96, 96, 0.40), 16, 96, 96},
        {blob(42, 36, 0.40), 8, 74, 58},
        {blob(8, 8, 0.40), 32, 8, 8},
    };
    return all[which];
}

// ---- SDL2 ----

inline void sdl_blits(benchmark::State& state, bool rle)
{
    const Work& w = work(static_cast<int>(state.range(0)));
    SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, SURFACE_W, SURFACE_H, 8, SDL_PIXELFORMAT_INDEX8);
    SDL_Surface* sprite = SDL_CreateRGBSurfaceWithFormat(0, w.picture.w, w.picture.h, 8, SDL_PIXELFORMAT_INDEX8);
    for (int y = 0; y < w.picture.h; ++y)
        std::memcpy(static_cast<uint8_t*>(sprite->pixels) + y * sprite->pitch, &w.picture.px[y * w.picture.w],
                    w.picture.w);
    SDL_SetColorKey(sprite, SDL_TRUE, 0);
    if (rle)
        SDL_SetSurfaceRLE(sprite, 1);
    const auto at = places(w);
    const bool stretched = w.dest_w != w.picture.w;
    SDL_Rect probe = {0, 0, w.dest_w, w.dest_h};
    if ((stretched ? SDL_BlitScaled(sprite, nullptr, screen, &probe)
                   : SDL_BlitSurface(sprite, nullptr, screen, &probe)) != 0) {
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

inline void BM_SDL2_ColorKey(benchmark::State& state) { sdl_blits(state, false); }
inline void BM_SDL2_ColorKeyRLE(benchmark::State& state) { sdl_blits(state, true); }

// ---- Allegro 4 ----

inline void BM_Allegro4_Sprite(benchmark::State& state)
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

// Each benchmark takes the workload as its argument: 0 = 16 × 96 × 96, 1 = 8 × 42 × 36 stretched to
// 74 × 58, 2 = 32 × 8 × 8.
