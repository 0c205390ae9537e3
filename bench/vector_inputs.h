// vector_inputs.h -- the shared work of the vector benchmarks: the same lines, triangles and
// hexagons for every implementation, made once from a fixed seed, and the peers' entry points
// (each peer lives in its own source so its headers stay apart from ours).
#pragma once
#include <cstdint>
#include <vector>

namespace bench_vector {

constexpr int WIDTH = 640, HEIGHT = 480;

struct LineInput {
    int x0, y0, x1, y1, color;
};
struct TriangleInput {
    int x1, y1, x2, y2, x3, y3, color;
};
// A hexagon twice over: float corners about a centre for our polygon record, and the same corners
// placed on the screen (as our fill places them) for the peers.
struct HexagonInput {
    int centre_x, centre_y, color;
    float corner_x[6], corner_y[6];
    int screen_x[6], screen_y[6];
};

struct Inputs {
    std::vector<LineInput> lines;          // 1,000, end points in -100 .. 740 × -100 .. 580
    std::vector<TriangleInput> triangles;  // 1,000, many crossing a screen edge
    std::vector<HexagonInput> hexagons;    // 500 convex hexagons wholly on screen
};

const Inputs& inputs();

// Each peer: open (false when it cannot run here), draw a whole set, close; clear and coverage
// (the pixels not 0) let the program check that every implementation draws the same work.
bool allegro_open();
void allegro_clear();
long allegro_coverage();
void allegro_lines(const std::vector<LineInput>& lines);
void allegro_triangles(const std::vector<TriangleInput>& triangles);
void allegro_hexagons(const std::vector<HexagonInput>& hexagons);
void allegro_close();

// The SDL2_gfx target: the software renderer over an 8-bit palettised surface or over a 32-bit
// ARGB8888 surface.
bool sdlgfx_open(bool index8);
void sdlgfx_clear();
long sdlgfx_coverage();
void sdlgfx_lines(const std::vector<LineInput>& lines);
void sdlgfx_triangles(const std::vector<TriangleInput>& triangles);
void sdlgfx_hexagons(const std::vector<HexagonInput>& hexagons);
void sdlgfx_close();

}  // namespace bench_vector
