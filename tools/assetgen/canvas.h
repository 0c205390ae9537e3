// canvas.h -- float colour canvases that the pictures are painted on, and the 8-bit images they become.
#pragma once
#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include "maths.h"

// A colour with components on the 0..255 scale; sums may leave that range until stored.
struct Col {
    float r = 0, g = 0, b = 0;
};
inline Col operator+(Col a, Col b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Col operator-(Col a, Col b) { return {a.r - b.r, a.g - b.g, a.b - b.b}; }
inline Col operator*(Col a, float s) { return {a.r * s, a.g * s, a.b * s}; }
inline Col operator*(Col a, Col b) { return {a.r * b.r / 255.0f, a.g * b.g / 255.0f, a.b * b.b / 255.0f}; }
inline Col mix(Col a, Col b, float t) { return a + (b - a) * t; }

// Colour plus coverage: a = 0 is nothing, a = 1 fully covered.
struct Rgba {
    Col c;
    float a = 0;
};

// A picture being painted: premultiplication is never used, `a` is the coverage of `c`.
struct Canvas {
    int w = 0, h = 0;
    std::vector<Rgba> px;
    Canvas(int width, int height) : w(width), h(height), px(static_cast<size_t>(width) * height) {}
    Rgba& at(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
    const Rgba& at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
    // Lays `c` with coverage `a` over the pixel (the usual "over" rule); outside the canvas nothing happens.
    void blend(int x, int y, Col c, float a);
};

// An 8-bit picture: one palette index per pixel, rows top-down.
struct Image8 {
    int w = 0, h = 0;
    std::vector<uint8_t> px;
    Image8() = default;
    Image8(int width, int height) : w(width), h(height), px(static_cast<size_t>(width) * height, 0) {}
    uint8_t& at(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
    uint8_t at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

// What a shape looks like at one point in canvas coordinates: colour and coverage (0 = outside).
using Shader = std::function<Rgba(float x, float y)>;

// Paints `shader` over the rectangle (x0, y0)-(x1, y1) of the canvas, averaging ss x ss samples a pixel,
// and lays the result over what is there.
void paint(Canvas& canvas, int x0, int y0, int x1, int y1, int ss, const Shader& shader);

// Copies `src` into `dst` with its top-left corner at (dx, dy), clipped to `dst`.
void blit8(Image8& dst, const Image8& src, int dx, int dy);

// Threshold of a 4 x 4 ordered-dither matrix at (x, y), in [-0.5, 0.5).
float bayer4(int x, int y);
