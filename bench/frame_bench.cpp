// frame_bench.cpp -- the whole game on the headless host: one game_frame at a heavy moment (a wave
// of 16 rocks, 32 bolts, 8 explosions, the UFO), with and without the 8-bit to 32-bit present
// conversion, beside a memcpy of the bytes the frame must touch; the heads-up line alone; and
// start-up to the first frame with the soundfont loaded. The scene is put back between timed
// frames, so every iteration draws the same heavy moment.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "audio.h"
#include "frame_convert.h"
#include "frame_scene.h"
#include "testing.h"

// The bytes the frame cannot avoid: the backdrop copied whole, and every sprite's pixels once.
static size_t touched_bytes()
{
    size_t n = static_cast<size_t>(640) * 480;
    n += static_cast<size_t>(WAVE) * scene.rocks[0].width * scene.rocks[0].height;
    n += static_cast<size_t>(BOLT_COUNT) * scene.bolts[0].width * scene.bolts[0].height;
    for (int j = 0; j < EXPLOSION_COUNT; ++j)
        n += j % 2 ? EXPLOSION_WIDTH * EXPLOSION_HEIGHT : scene.explosions[0].width * scene.explosions[0].height;
    n += static_cast<size_t>(scene.ufo.width) * scene.ufo.height + static_cast<size_t>(scene.ship.width) * scene.ship.height;
    return n;
}

// ---- start-up ----

// game_init with the intro on the virtual clock and the soundfont loaded, one frame, shut-down.
static void BM_StartupToFirstFrame(benchmark::State& state)
{
    bool ok = true;
    for (auto _ : state) {
        ok = start_game(true) && music_ids[0] != -1 && ok;  // the soundfont loaded: music started
        game_frame(nullptr);
        game_shutdown(nullptr);
    }
    heavy_ready = -1;  // the game that held the heavy moment is gone
    if (!ok)
        state.SkipWithError("the game did not start");
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(10);

// ---- frame benchmarks ----

// The test hooks' host, except that a present does a real host's work and no more: nothing, or the
// 8-bit to 32-bit conversion into a texture-sized buffer. The test hooks' own present copies the
// picture for tests to inspect, which is not the frame's work.
class BenchHost final : public TestingHost {
public:
    explicit BenchHost(bool convert) : convert(convert), out(640 * 480) {}
    void present(const HostFrame& frame) override
    {
        ++presents;
        if (!convert || frame.width * frame.height > static_cast<int>(out.size()))
            return;
        uint32_t lut[256];
        if (frame.bpp == 8)
            frame_palette_to_xrgb(frame.palette, lut);
        frame_to_xrgb(frame, lut, out.data(), frame.width * 4);
        benchmark::DoNotOptimize(out.data());
    }

private:
    bool convert;
    std::vector<uint32_t> out;
};

static void frame_loop(benchmark::State& state, bool convert)
{
    if (!heavy_moment()) {
        state.SkipWithError("the game did not start");
        return;
    }
    BenchHost bench_host(convert);
    host_install(&bench_host);
    // One pause a frame, as the floor has: each frame's load is checked in the pause before the
    // next one (each pause reads the process's CPU clock, a system call here).
    bool heavy = true, first = true;
    for (auto _ : state) {
        state.PauseTiming();
        heavy = heavy && (first || scene_is_heavy());
        first = false;
        scene_restore();
        state.ResumeTiming();
        game_frame(nullptr);
    }
    heavy = heavy && scene_is_heavy();
    host_install(nullptr);
    if (!heavy)
        state.SkipWithError("the scene lost part of its load during the frame");
    else if (bench_host.presents != static_cast<int>(state.iterations()))
        state.SkipWithError("a frame did not present");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(touched_bytes()));
}

static void BM_GameFrameHeavy(benchmark::State& state) { frame_loop(state, false); }
BENCHMARK(BM_GameFrameHeavy);

static void BM_GameFrameHeavyWithConversion(benchmark::State& state) { frame_loop(state, true); }
BENCHMARK(BM_GameFrameHeavyWithConversion);

// The floor: the same number of bytes copied by memcpy, with the same pause around each pass so the
// pause's own cost is in both figures alike.
static void BM_MemcpyFloor(benchmark::State& state)
{
    if (!heavy_moment()) {
        state.SkipWithError("the game did not start");
        return;
    }
    const size_t n = touched_bytes();
    std::vector<uint8_t> from(n, 7), to(n);
    for (auto _ : state) {
        state.PauseTiming();
        state.ResumeTiming();
        std::memcpy(to.data(), from.data(), n);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(n));
}
BENCHMARK(BM_MemcpyFloor);

// The test hooks' host's own present, which copies the picture for inspection: left out of the frame
// figures above, shown here for comparison with earlier runs.
static void BM_HeadlessPresentCopy(benchmark::State& state)
{
    if (!heavy_moment()) {
        state.SkipWithError("the game did not start");
        return;
    }
    const TestingFrame shown = testing_presented_frame();
    const HostFrame frame{shown.pixels.data(), shown.width, shown.width, shown.height, 8, 8,
                          reinterpret_cast<const uint8_t*>(shown.palette.data())};
    for (auto _ : state) {
        state.PauseTiming();
        state.ResumeTiming();
        testing_host().present(frame);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_HeadlessPresentCopy);

// The heads-up line as the frame draws it, glyphs cached after the first frames.
static void BM_HeadsUpText(benchmark::State& state)
{
    if (!heavy_moment()) {
        state.SkipWithError("the game did not start");
        return;
    }
    std::snprintf(text_buffer, sizeof text_buffer, "Score: %i  |  Player Lives: %i  |  LEVEL: %i ", 12400, 3, 7);
    for (auto _ : state) {
        const int drawn = text_draw(text_buffer, 10, 25, RGB(255, 255, 255), back_surface);
        benchmark::DoNotOptimize(drawn);
    }
}
BENCHMARK(BM_HeadsUpText);

BENCHMARK_MAIN();
