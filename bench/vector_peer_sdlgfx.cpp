// vector_peer_sdlgfx.cpp -- SDL2_gfx drawing the benchmark's shapes through SDL's software
// renderer into a 640 × 480 surface, 8-bit palettised or 32-bit ARGB8888. The renderer queues its
// commands, so every set ends with a flush that makes it draw them.
#include <SDL.h>
#include <SDL2_gfxPrimitives.h>

#include <cstring>

#include "vector_inputs.h"

namespace bench_vector {

static SDL_Surface* surface = nullptr;
static SDL_Renderer* renderer = nullptr;

// Palette index c of the benchmark as an opaque colour of the 3-3-2 palette set on the 8-bit
// surface, so it maps back onto its own index there. The *Color functions read their argument's
// bytes in memory order as red, green, blue, alpha, so it is packed that way; alpha must be 255,
// since any other alpha blends, which an 8-bit surface refuses (and would then draw nothing).
static SDL_Color palette_color(int c)
{
    return {static_cast<Uint8>((c >> 5 & 7) * 255 / 7), static_cast<Uint8>((c >> 2 & 7) * 255 / 7),
            static_cast<Uint8>((c & 3) * 255 / 3), 255};
}

static Uint32 rgba(int c)
{
    const SDL_Color color = palette_color(c);
    const Uint8 bytes[4] = {color.r, color.g, color.b, color.a};
    Uint32 packed;
    std::memcpy(&packed, bytes, sizeof packed);
    return packed;
}

bool sdlgfx_open(bool index8)
{
    surface = SDL_CreateRGBSurfaceWithFormat(0, WIDTH, HEIGHT, index8 ? 8 : 32,
                                             index8 ? SDL_PIXELFORMAT_INDEX8 : SDL_PIXELFORMAT_ARGB8888);
    if (!surface)
        return false;
    if (index8) {
        SDL_Color colors[256];
        for (int i = 0; i < 256; ++i)
            colors[i] = palette_color(i);
        SDL_SetPaletteColors(surface->format->palette, colors, 0, 256);
    }
    renderer = SDL_CreateSoftwareRenderer(surface);
    return renderer != nullptr;
}

void sdlgfx_clear()
{
    SDL_FillRect(surface, nullptr, 0);
}

long sdlgfx_coverage()
{
    long n = 0;
    const int bytes = surface->format->BytesPerPixel;
    for (int y = 0; y < HEIGHT; ++y) {
        const Uint8* line = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < WIDTH * bytes; x += bytes)
            n += bytes == 1 ? line[x] != 0 : (line[x] | line[x + 1] | line[x + 2]) != 0;
    }
    return n;
}

void sdlgfx_lines(const std::vector<LineInput>& lines)
{
    for (const LineInput& l : lines)
        lineColor(renderer, static_cast<Sint16>(l.x0), static_cast<Sint16>(l.y0), static_cast<Sint16>(l.x1),
                  static_cast<Sint16>(l.y1), rgba(l.color));
    SDL_RenderFlush(renderer);
}

void sdlgfx_triangles(const std::vector<TriangleInput>& triangles)
{
    for (const TriangleInput& t : triangles)
        filledTrigonColor(renderer, static_cast<Sint16>(t.x1), static_cast<Sint16>(t.y1), static_cast<Sint16>(t.x2),
                          static_cast<Sint16>(t.y2), static_cast<Sint16>(t.x3), static_cast<Sint16>(t.y3),
                          rgba(t.color));
    SDL_RenderFlush(renderer);
}

void sdlgfx_hexagons(const std::vector<HexagonInput>& hexagons)
{
    for (const HexagonInput& h : hexagons) {
        Sint16 vx[6], vy[6];
        for (int i = 0; i < 6; ++i) {
            vx[i] = static_cast<Sint16>(h.screen_x[i]);
            vy[i] = static_cast<Sint16>(h.screen_y[i]);
        }
        filledPolygonColor(renderer, vx, vy, 6, rgba(h.color));
    }
    SDL_RenderFlush(renderer);
}

void sdlgfx_close()
{
    if (renderer)
        SDL_DestroyRenderer(renderer);
    if (surface)
        SDL_FreeSurface(surface);
    renderer = nullptr;
    surface = nullptr;
}

}  // namespace bench_vector
