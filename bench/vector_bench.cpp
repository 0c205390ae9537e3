// vector_bench.cpp -- clipped lines, filled triangles and filled convex hexagons on a 640 × 480
// 8-bit buffer, beside Allegro 4 and SDL2_gfx drawing the same shapes (`make scoreboard` sets each
// of ours against the fastest peer drawing 8-bit indices too, as bench/goals.md says), and the fast
// line stepper and polygon fill beside their plain twins.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "display.h"
#include "fill_internal.h"
#include "lines_reference.h"
#include "sprites.h"
#include "vector_inputs.h"

using namespace bench_vector;

// ---- the shared inputs ----

namespace {

struct Lcg {
    uint32_t state = 20240607;
    int range(int lo, int hi)
    {
        state = state * 214013u + 2531011u;
        return lo + static_cast<int>((state >> 8) % static_cast<uint32_t>(hi - lo + 1));
    }
};

Inputs make_inputs()
{
    Inputs in;
    Lcg r;
    for (int i = 0; i < 1000; ++i)
        in.lines.push_back(
            {r.range(-100, 740), r.range(-100, 580), r.range(-100, 740), r.range(-100, 580), r.range(1, 255)});
    // Centres over a band 60 pixels wider than the screen on every side, corners within 60 of them.
    for (int i = 0; i < 1000; ++i) {
        const int cx = r.range(-60, WIDTH + 59), cy = r.range(-60, HEIGHT + 59);
        in.triangles.push_back({cx + r.range(-60, 60), cy + r.range(-60, 60), cx + r.range(-60, 60),
                                cy + r.range(-60, 60), cx + r.range(-60, 60), cy + r.range(-60, 60), r.range(1, 255)});
    }
    // Regular hexagons of radius 20 .. 60, turned at random, wholly on screen.
    for (int i = 0; i < 500; ++i) {
        HexagonInput h{r.range(70, WIDTH - 71), r.range(70, HEIGHT - 71), r.range(1, 255), {}, {}, {}, {}};
        const float radius = static_cast<float>(r.range(20, 60));
        const float turn = static_cast<float>(r.range(0, 59)) * 3.1415927f / 180.0f;
        for (int k = 0; k < 6; ++k) {
            const float a = turn + static_cast<float>(k) * 3.1415927f / 3.0f;
            h.corner_x[k] = radius * std::cos(a);
            h.corner_y[k] = radius * std::sin(a);
            h.screen_x[k] = static_cast<int>(static_cast<float>(h.centre_x) + h.corner_x[k]);
            h.screen_y[k] = static_cast<int>(static_cast<float>(h.centre_y) + h.corner_y[k]);
        }
        in.hexagons.push_back(h);
    }
    return in;
}

}  // namespace

const Inputs& bench_vector::inputs()
{
    static const Inputs in = make_inputs();
    return in;
}

// ---- ours ----

// Every run reports microseconds per whole set.
template <class Fn> static void add(const std::string& name, Fn fn)
{
    benchmark::RegisterBenchmark(name.c_str(), fn)->Unit(benchmark::kMicrosecond);
}

static std::vector<uint8_t> frame(WIDTH* HEIGHT);

template <class Draw> static void run(benchmark::State& state, size_t items, Draw draw)
{
    for (auto _ : state) {
        draw();
        benchmark::DoNotOptimize(frame.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * items));
}

static void vorlash_lines(benchmark::State& state)
{
    const auto& lines = inputs().lines;
    run(state, lines.size(), [&] {
        for (const LineInput& l : lines)
            draw_line8(l.x0, l.y0, l.x1, l.y1, l.color, frame.data(), WIDTH);
    });
}

static void vorlash_triangles(benchmark::State& state)
{
    const auto& triangles = inputs().triangles;
    run(state, triangles.size(), [&] {
        for (const TriangleInput& t : triangles)
            triangle_fill8(t.x1, t.y1, t.x2, t.y2, t.x3, t.y3, t.color, frame.data(), WIDTH);
    });
}

static void vorlash_triangles_fixed(benchmark::State& state)
{
    const auto& triangles = inputs().triangles;
    run(state, triangles.size(), [&] {
        for (const TriangleInput& t : triangles)
            triangle_fill8_fixed(t.x1, t.y1, t.x2, t.y2, t.x3, t.y3, t.color, frame.data(), WIDTH);
    });
}

using PolygonFill = int (*)(struct Polygon*, uint8_t*, int);

static void hexagons_by(benchmark::State& state, PolygonFill fill)
{
    const auto& hexagons = inputs().hexagons;
    std::vector<Vertex> corners(hexagons.size() * 6);
    std::vector<struct Polygon> polygons;
    for (size_t i = 0; i < hexagons.size(); ++i) {
        for (int k = 0; k < 6; ++k)
            corners[i * 6 + k] = {hexagons[i].corner_x[k], hexagons[i].corner_y[k]};
        polygons.push_back({1, 6, hexagons[i].centre_x, hexagons[i].centre_y, hexagons[i].color, &corners[i * 6]});
    }
    run(state, polygons.size(), [&] {
        for (struct Polygon& p : polygons)
            fill(&p, frame.data(), WIDTH);
    });
}

static void vorlash_hexagons(benchmark::State& state) { hexagons_by(state, polygon_fill8); }

// ---- the fast kernels beside their plain twins, the tests' oracles ----

using LineStepper = int (*)(int, int, int, int, int, uint8_t*, int);

// The same lines with both ends moved onto the screen, so the unclipped steppers draw them whole.
static void lines_on_screen_by(benchmark::State& state, LineStepper line)
{
    std::vector<LineInput> lines = inputs().lines;
    for (LineInput& l : lines) {
        l.x0 = std::clamp(l.x0, 0, WIDTH - 1), l.x1 = std::clamp(l.x1, 0, WIDTH - 1);
        l.y0 = std::clamp(l.y0, 0, HEIGHT - 1), l.y1 = std::clamp(l.y1, 0, HEIGHT - 1);
    }
    run(state, lines.size(), [&] {
        for (const LineInput& l : lines)
            line(l.x0, l.y0, l.x1, l.y1, l.color, frame.data(), WIDTH);
    });
}

// ---- the peers ----

static void allegro4_lines(benchmark::State& state)
{
    run(state, inputs().lines.size(), [] { allegro_lines(inputs().lines); });
}

static void allegro4_triangles(benchmark::State& state)
{
    run(state, inputs().triangles.size(), [] { allegro_triangles(inputs().triangles); });
}

static void allegro4_hexagons(benchmark::State& state)
{
    run(state, inputs().hexagons.size(), [] { allegro_hexagons(inputs().hexagons); });
}

// SDL2_gfx on one target; the target is made for each run and released after it.
template <class Draw> static void sdlgfx_run(benchmark::State& state, bool index8, size_t items, Draw draw)
{
    if (!sdlgfx_open(index8)) {
        sdlgfx_close();
        state.SkipWithError("no SDL software renderer");
        return;
    }
    run(state, items, draw);
    sdlgfx_close();
}

static void register_sdlgfx(bool index8)
{
    const std::string target = index8 ? "SDL2gfx_Index8" : "SDL2gfx_ARGB8888";
    add("Lines/" + target, [index8](benchmark::State& s) {
        sdlgfx_run(s, index8, inputs().lines.size(), [] { sdlgfx_lines(inputs().lines); });
    });
    add("Triangles/" + target, [index8](benchmark::State& s) {
        sdlgfx_run(s, index8, inputs().triangles.size(), [] { sdlgfx_triangles(inputs().triangles); });
    });
    add("Hexagons/" + target, [index8](benchmark::State& s) {
        sdlgfx_run(s, index8, inputs().hexagons.size(), [] { sdlgfx_hexagons(inputs().hexagons); });
    });
}

// ---- the program ----

static void describe_inputs()
{
    int crossing = 0, outside = 0;
    for (const TriangleInput& t : inputs().triangles) {
        const int x0 = std::min({t.x1, t.x2, t.x3}), x1 = std::max({t.x1, t.x2, t.x3});
        const int y0 = std::min({t.y1, t.y2, t.y3}), y1 = std::max({t.y1, t.y2, t.y3});
        if (x1 < 0 || y1 < 0 || x0 >= WIDTH || y0 >= HEIGHT)
            ++outside;
        else if (x0 < 0 || y0 < 0 || x1 >= WIDTH || y1 >= HEIGHT)
            ++crossing;
    }
    std::printf("inputs: 1000 lines, 1000 triangles (%d cross a screen edge, %d wholly off), 500 hexagons\n", crossing,
                outside);
}

static long vorlash_coverage()
{
    long n = 0;
    for (uint8_t p : frame)
        n += p != 0;
    return n;
}

// Each set drawn once on a clear target by every implementation: the pixels each one covers.
static void print_coverage(bool have_allegro)
{
    const char* sets[] = {"lines", "triangles", "hexagons"};
    std::printf("pixels covered by one set:  %-10s %12s %12s %12s %12s\n", "", "Vorlash", "Allegro4", "SDL2gfx_8",
                "SDL2gfx_32");
    for (int set = 0; set < 3; ++set) {
        std::fill(frame.begin(), frame.end(), 0);
        benchmark::State* none = nullptr;
        (void)none;
        const Inputs& in = inputs();
        if (set == 0)
            for (const LineInput& l : in.lines)
                draw_line8(l.x0, l.y0, l.x1, l.y1, l.color, frame.data(), WIDTH);
        if (set == 1)
            for (const TriangleInput& t : in.triangles)
                triangle_fill8(t.x1, t.y1, t.x2, t.y2, t.x3, t.y3, t.color, frame.data(), WIDTH);
        long counts[4] = {vorlash_coverage(), -1, -1, -1};
        if (set == 2) {
            std::vector<Vertex> corners(6);
            for (const HexagonInput& h : in.hexagons) {
                for (int k = 0; k < 6; ++k)
                    corners[k] = {h.corner_x[k], h.corner_y[k]};
                struct Polygon p = {1, 6, h.centre_x, h.centre_y, h.color, corners.data()};
                polygon_fill8(&p, frame.data(), WIDTH);
            }
            counts[0] = vorlash_coverage();
        }
        if (have_allegro) {
            allegro_clear();
            set == 0   ? allegro_lines(in.lines)
            : set == 1 ? allegro_triangles(in.triangles)
                       : allegro_hexagons(in.hexagons);
            counts[1] = allegro_coverage();
        }
        for (int t = 0; t < 2; ++t) {
            if (!sdlgfx_open(t == 0)) {
                sdlgfx_close();
                continue;
            }
            sdlgfx_clear();
            set == 0   ? sdlgfx_lines(in.lines)
            : set == 1 ? sdlgfx_triangles(in.triangles)
                       : sdlgfx_hexagons(in.hexagons);
            counts[2 + t] = sdlgfx_coverage();
            sdlgfx_close();
        }
        std::printf("%-39s %12ld %12ld %12ld %12ld\n", sets[set], counts[0], counts[1], counts[2], counts[3]);
    }
}

int main(int argc, char** argv)
{
    clip_min_x = 0, clip_min_y = 0, clip_max_x = WIDTH - 1, clip_max_y = HEIGHT - 1;
    describe_inputs();
    const bool have_allegro = allegro_open();
    if (!have_allegro)
        std::printf("Allegro 4 could not start; its runs are left out\n");
    print_coverage(have_allegro);

    add("Lines/Vorlash", vorlash_lines);
    if (have_allegro)
        add("Lines/Allegro4", allegro4_lines);
    add("Triangles/Vorlash", vorlash_triangles);
    add("Triangles/Vorlash_fixed", vorlash_triangles_fixed);
    if (have_allegro)
        add("Triangles/Allegro4", allegro4_triangles);
    add("Hexagons/Vorlash", vorlash_hexagons);
    add("BM_Vorlash_LinesOnScreen", [](benchmark::State& s) { lines_on_screen_by(s, line8); });
    add("BM_VorlashPlain_LinesOnScreen", [](benchmark::State& s) { lines_on_screen_by(s, line8_reference); });
    add("BM_Vorlash_HexagonFill", [](benchmark::State& s) { hexagons_by(s, polygon_fill8); });
    add("BM_VorlashPlain_HexagonFill", [](benchmark::State& s) { hexagons_by(s, polygon_fill8_reference); });
    if (have_allegro)
        add("Hexagons/Allegro4", allegro4_hexagons);
    register_sdlgfx(true);
    register_sdlgfx(false);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (have_allegro)
        allegro_close();
    return 0;
}
