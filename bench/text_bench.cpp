// text_bench.cpp -- the heads-up line: text_draw of a full score, lives and level line onto the
// 640 × 480 8-bit back buffer (device context out and back, colour match, cached glyphs), beside
// Allegro 4 writing the same line into an 8-bit memory bitmap.
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdlib>

#ifdef VORLASH_HAVE_ALLEGRO4
#include <allegro.h>
#endif

#include "display.h"
#include "services.h"
#include "testing.h"

static const char HEADS_UP[] = "Score 0001200    Lives 3    Level 4";

static void bring_up_display()
{
    static bool up = false;
    if (up)
        return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "BENCHCLASS";
    RegisterClassA(&wc);
    main_window = CreateWindowExA(0, "BENCHCLASS", "bench", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                                  nullptr);
    display_init(640, 480, 8, 0);
    PALETTEENTRY palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};
    palette_set_all(palette);
    up = true;
}

static void BM_Vorlash_TextDrawHeadsUp(benchmark::State& state)
{
    bring_up_display();
    text_draw(HEADS_UP, 8, 8, 0x0000FF, back_surface);  // first use loads the font and the glyphs
    for (auto _ : state) {
        const int drawn = text_draw(HEADS_UP, 8, 8, 0x0000FF, back_surface);
        benchmark::DoNotOptimize(drawn);
    }
}
BENCHMARK(BM_Vorlash_TextDrawHeadsUp);

#ifdef VORLASH_HAVE_ALLEGRO4
// The peer: Allegro 4 writing the same line with its built-in 8 × 8 font onto an 8-bit memory
// bitmap, transparent background (smaller glyphs than ours, so fewer pixels).
static void BM_Allegro4_TextoutHeadsUp(benchmark::State& state)
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(8);
    BITMAP* back = create_bitmap_ex(8, 640, 480);
    for (auto _ : state) {
        textout_ex(back, font, HEADS_UP, 8, 8, 7, -1);
        benchmark::DoNotOptimize(back->line[8]);
        benchmark::ClobberMemory();
    }
    destroy_bitmap(back);
}
BENCHMARK(BM_Allegro4_TextoutHeadsUp);
#endif

BENCHMARK_MAIN();
