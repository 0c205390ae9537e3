// frame_bench.cpp -- the whole game on the headless host: one game_frame at a heavy moment (a wave
// of 16 rocks, 32 bolts, 8 explosions, the UFO), with and without the 8-bit to 32-bit present
// conversion, beside a memcpy of the bytes the frame must touch; the heads-up line alone; and
// start-up to the first frame with the soundfont loaded. The scene is put back between timed
// frames, so every iteration draws the same heavy moment.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "audio.h"
#include "frame_convert.h"
#include "game.h"
#include "services.h"
#include "testing.h"

static constexpr int WAVE = 16;
static constexpr int EXPLOSION_WIDTH = 68, EXPLOSION_HEIGHT = 58;  // scaled, as a gunship's end

// ---- bringing the game up ----

static void make_window()
{
    main_window = testing_make_window(&main_instance);
}

// A start as the program makes one, on the virtual clock so the intro's holds and fades cost nothing.
// `music` false starts the synthesizer without a soundfont.
static bool start_game(bool music)
{
    testing_reset();
    make_window();
    sound_first_init = 1;
    if (!music)
        testing_soundfont("");
    std::filesystem::current_path(VORLASH_ASSETS_DIR);
    return game_init(nullptr) == 1;
}

// ---- the heavy moment ----

struct Scene {
    Sprite ship, ufo;
    Sprite bolts[BOLT_COUNT], rocks[ROCK_COUNT], explosions[EXPLOSION_COUNT];
    Star stars[STAR_COUNT];
    int score, lives, level, frame_timer, rock_reserve, wave_rocks_left, respawn_pending, ufo_rerun_done;
    uint32_t random_state;
};

static Scene scene;

// Rocks sit still in the right half, bolts fly in the top band left of them, explosions drift in the
// middle, the UFO hovers at the top right and the gunship waits at the bottom left: nothing meets,
// so every frame draws all of it and no counter changes the scene.
static void scene_arm()
{
    rock_reserve = ROCK_COUNT - WAVE;
    wave_rocks_left = WAVE;
    lives = 3;
    respawn_pending = 0;
    frame_timer = 50;  // no new wave and no respawn while the wait runs
    ufo_rerun_done = 1;
    for (int j = 0; j < ROCK_COUNT; ++j)
        rocks[j].state = 0;
    for (int j = 0; j < WAVE; ++j) {
        Sprite& r = rocks[j];
        r.state = 1;
        sprite_set_velocity(&r, 0, 0);
        entity_x(r) = 340 + (j % 4) * 70;
        entity_y(r) = 150 + (j / 4) * 80;
    }
    for (int j = 0; j < BOLT_COUNT; ++j) {
        Sprite& b = bolts[j];
        b.state = 0;
        bolt_fire(20 + (j % 8) * 30, 10 + (j / 8) * 20, 1, 0, j % 2);
    }
    for (Sprite& e : explosions)
        e.state = 0;
    for (int j = 0; j < EXPLOSION_COUNT; ++j)
        explosion_start(20 + j * 38, 200 + (j % 2) * 60, j % 2 ? EXPLOSION_WIDTH : explosions[0].width,
                        j % 2 ? EXPLOSION_HEIGHT : explosions[0].height, 0, 0, EXPLOSION_AT_OWN);
    ufo.state = 1;
    entity_x(ufo) = 1400;  // comes on from the right over the next frames
    entity_y(ufo) = 30;
    ship.state = 1;
    ship_x() = 0;
    ship_y() = 430;
}

static void scene_save()
{
    scene.ship = ship;
    scene.ufo = ufo;
    std::memcpy(scene.bolts, bolts, sizeof bolts);
    std::memcpy(scene.rocks, rocks, sizeof rocks);
    std::memcpy(scene.explosions, explosions, sizeof explosions);
    std::memcpy(scene.stars, stars, sizeof stars);
    scene.score = score;
    scene.lives = lives;
    scene.level = level;
    scene.frame_timer = frame_timer;
    scene.rock_reserve = rock_reserve;
    scene.wave_rocks_left = wave_rocks_left;
    scene.respawn_pending = respawn_pending;
    scene.ufo_rerun_done = ufo_rerun_done;
    scene.random_state = random_state;
}

static void scene_restore()
{
    ship = scene.ship;
    ufo = scene.ufo;
    std::memcpy(bolts, scene.bolts, sizeof bolts);
    std::memcpy(rocks, scene.rocks, sizeof rocks);
    std::memcpy(explosions, scene.explosions, sizeof explosions);
    std::memcpy(stars, scene.stars, sizeof stars);
    score = scene.score;
    lives = scene.lives;
    level = scene.level;
    frame_timer = scene.frame_timer;
    rock_reserve = scene.rock_reserve;
    wave_rocks_left = scene.wave_rocks_left;
    respawn_pending = scene.respawn_pending;
    ufo_rerun_done = scene.ufo_rerun_done;
    random_state = scene.random_state;
}

// Whether the heavy moment is set up: -1 not yet, or no longer (start-up's benchmark shuts the game
// down, and repetitions may run interleaved with it); 1 ready; 0 the game did not start.
static int heavy_ready = -1;

// The game started for the frame benchmarks, the scene armed and saved. The UFO is run on to the
// screen by a few frames before the save.
static bool heavy_moment()
{
    if (heavy_ready < 0) {
        heavy_ready = start_game(false) ? 1 : 0;
        if (heavy_ready) {
            scene_arm();
            entity_x(ufo) = 560 + 8 * 4;
            for (int i = 0; i < 4; ++i)
                game_frame(nullptr);
            scene_save();
        }
    }
    return heavy_ready == 1;
}

// What must be in play for the moment to count: checked after the timed frames.
static bool scene_is_heavy()
{
    int r = 0, b = 0, e = 0;
    for (const Sprite& s : rocks)
        r += s.state == 1;
    for (const Sprite& s : bolts)
        b += s.state == 1;
    for (const Sprite& s : explosions)
        e += s.state == 1;
    return r == WAVE && b == BOLT_COUNT && e == EXPLOSION_COUNT && ufo.state == 1 && ufo.pos_x < 640 && lives > 0;
}

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
    bool heavy = true;
    for (auto _ : state) {
        state.PauseTiming();
        scene_restore();
        state.ResumeTiming();
        game_frame(nullptr);
        state.PauseTiming();
        heavy = heavy && scene_is_heavy();
        state.ResumeTiming();
    }
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
