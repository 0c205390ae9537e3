// sprite_bench.cpp -- sprite_draw and sprite_draw_scaled onto the display's 640 × 480 8-bit back
// buffer with its clipper, as the game draws (position set, then draw), so the numbers include
// the sprite layer's own cost per call; beside SDL2 and Allegro 4 doing the same work.
#include <cstring>
#include <vector>

#include "blit_work.h"
#include "display.h"
#include "services.h"
#include "sprites.h"
#include "testing.h"

namespace {

// The display as the game brings it up: full screen, 8 bits, the back buffer's whole-screen clipper.
void bring_up_display()
{
    static bool up = false;
    if (up)
        return;
    testing_reset();
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "BENCHCLASS";
    RegisterClassA(&wc);
    main_window =
        CreateWindowExA(0, "BENCHCLASS", "bench", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    display_init(SURFACE_W, SURFACE_H, 8, 0);
    up = true;
}

// A one-frame sprite holding the picture, loaded from a bitmap record as the game loads its sheets.
bool make_sprite(Sprite* sprite, const Picture& p)
{
    BitmapFile bitmap{};
    bitmap.info_header.biWidth = p.w;
    bitmap.info_header.biHeight = p.h;
    bitmap.info_header.biBitCount = 8;
    std::vector<uint8_t> pixels = p.px;
    bitmap.pixels = pixels.data();
    return sprite_create(sprite, 0, 0, p.w, p.h, 1, SPRITE_ATTR_VISIBLE | SPRITE_ATTR_MULTI_FRAME, DDSCAPS_SYSTEMMEMORY,
                         0, 8) &&
           sprite_load_frame(sprite, &bitmap, 0, 0, 0, 1);
}

void BM_Vorlash_SpriteDraw(benchmark::State& state)
{
    bring_up_display();
    const Work& w = work(static_cast<int>(state.range(0)));
    Sprite sprite{};
    if (!make_sprite(&sprite, w.picture)) {
        state.SkipWithError("the sprite could not be made");
        sprite_destroy(&sprite);
        return;
    }
    const auto at = places(w);
    const bool stretched = w.dest_w != w.picture.w;
    int drawn = 0;
    for (auto _ : state) {
        for (const SDL_Point& p : at) {
            sprite.pos_x = static_cast<float>(p.x);
            sprite.pos_y = static_cast<float>(p.y);
            drawn += stretched ? sprite_draw_scaled(&sprite, w.dest_w, w.dest_h, back_surface)
                               : sprite_draw(&sprite, back_surface);
        }
        benchmark::ClobberMemory();
    }
    if (drawn != static_cast<int>(state.iterations() * at.size()))
        state.SkipWithError("a draw failed");
    sprite_destroy(&sprite);
}

BENCHMARK(BM_Vorlash_SpriteDraw)->DenseRange(0, 2);
BENCHMARK(BM_SDL2_ColorKey)->DenseRange(0, 2);
BENCHMARK(BM_SDL2_ColorKeyRLE)->DenseRange(0, 2);
BENCHMARK(BM_Allegro4_Sprite)->DenseRange(0, 2);

}  // namespace

BENCHMARK_MAIN();
