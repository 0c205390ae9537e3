// palette.cpp -- the game palette: fixed entries first, then smooth ramps for each material.
#include "palette.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <vector>

#include "asset_contract.h"

// ---- helpers ----

static Rgb to_rgb(Col c)
{
    auto byte = [](float v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 255.0f))); };
    return {byte(c.r), byte(c.g), byte(c.b)};
}

// Fills a ramp's entries with a gradient through evenly spaced colour stops.
static void ramp(Palette& p, const PaletteRamp& r, std::initializer_list<Col> stops)
{
    const int first = r.first, count = r.count;
    const std::vector<Col> s(stops);
    for (int i = 0; i < count; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(count - 1) * static_cast<float>(s.size() - 1);
        const auto k = std::min(static_cast<size_t>(t), s.size() - 2);
        p[static_cast<size_t>(first + i)] = to_rgb(mix(s[k], s[k + 1], t - static_cast<float>(k)));
    }
}

static Palette build_game_palette()
{
    Palette p{};
    // 1..14: near-blacks and neutral greys for dark detail, then the accents and the text colours.
    ramp(p, RAMP_GREY, {{10, 10, 12}, {128, 128, 136}, {236, 236, 240}});
    p[10] = {255, 214, 64};
    p[11] = {96, 255, 120};
    p[PALETTE_TEXT_RED] = {255, 0, 0};
    p[13] = {255, 120, 200};
    p[14] = {110, 170, 255};
    p[PALETTE_STAR] = {255, 255, 255};
    ramp(p, RAMP_LAVA,
         {{6, 1, 1}, {26, 4, 2}, {52, 8, 3}, {86, 16, 4}, {128, 30, 6}, {178, 58, 10}, {226, 110, 26}, {255, 180, 70}});
    ramp(p, RAMP_ROCK,
         {{14, 11, 10}, {44, 36, 31}, {78, 66, 56}, {116, 101, 86}, {156, 141, 122}, {198, 186, 166}, {238, 232, 218}});
    ramp(p, RAMP_STEEL, {{16, 18, 26}, {46, 52, 68}, {92, 102, 124}, {146, 156, 178}, {204, 212, 228}, {250, 252, 255}});
    ramp(p, RAMP_BLUE, {{6, 10, 40}, {16, 34, 104}, {34, 80, 190}, {100, 160, 255}, {200, 228, 255}});
    ramp(p, RAMP_CYAN, {{0, 18, 30}, {0, 70, 100}, {0, 160, 200}, {70, 230, 255}, {220, 255, 255}});
    ramp(p, RAMP_VIOLET, {{30, 0, 34}, {100, 0, 120}, {196, 40, 220}, {255, 130, 255}, {255, 226, 255}});
    ramp(p, RAMP_FIRE,
         {{40, 4, 0},
          {110, 16, 0},
          {178, 42, 0},
          {228, 92, 8},
          {255, 150, 30},
          {255, 208, 80},
          {255, 244, 176},
          {255, 255, 236}});
    ramp(p, RAMP_SMOKE, {{22, 20, 20}, {58, 54, 52}, {104, 98, 94}, {152, 146, 140}, {200, 194, 188}});
    ramp(p, RAMP_GREEN, {{4, 20, 10}, {14, 56, 24}, {36, 112, 48}, {84, 180, 84}, {164, 236, 150}, {228, 255, 214}});
    ramp(p, RAMP_SKY, {{8, 24, 44}, {24, 70, 110}, {70, 150, 200}, {150, 220, 250}, {235, 250, 255}});
    ramp(p, RAMP_AMBER, {{90, 44, 0}, {200, 120, 0}, {255, 190, 40}, {255, 244, 170}});
    ramp(p, RAMP_RED, {{90, 0, 0}, {170, 0, 0}, {230, 40, 40}, {255, 130, 120}});
    ramp(p, RAMP_PURPLE, {{40, 10, 70}, {96, 40, 150}, {160, 100, 230}, {210, 180, 255}});
    return p;
}

static Image8 quantise(const Canvas& canvas, const Palette& palette, float dither, bool sprite)
{
    auto matcher = std::make_unique<ColourMatcher>(palette, !sprite);
    Image8 out(canvas.w, canvas.h);
    for (int y = 0; y < canvas.h; ++y) {
        for (int x = 0; x < canvas.w; ++x) {
            const Rgba& p = canvas.at(x, y);
            if (sprite && p.a < 0.5f)
                continue;
            const float d = bayer4(x, y) * dither;
            Col c = sprite ? p.c : p.c * p.a;
            c = c + Col{d, d, d};
            out.at(x, y) = matcher->nearest(c);
        }
    }
    return out;
}

// ---- public operations ----

const Palette& game_palette()
{
    static const Palette palette = build_game_palette();
    return palette;
}

ColourMatcher::ColourMatcher(const Palette& palette, bool allow_key) : palette_(palette), allow_key_(allow_key)
{
    cache_.fill(-1);
}

uint8_t ColourMatcher::nearest(Col c)
{
    auto bin = [](float v) { return std::clamp(static_cast<int>(v) >> 2, 0, 63); };
    const int key = (bin(c.r) << 12) | (bin(c.g) << 6) | bin(c.b);
    if (cache_[static_cast<size_t>(key)] >= 0)
        return static_cast<uint8_t>(cache_[static_cast<size_t>(key)]);
    // Match the bin's centre, weighting green most as the eye does; red weighs more in bright reds.
    const float r = static_cast<float>(bin(c.r) * 4 + 2), g = static_cast<float>(bin(c.g) * 4 + 2);
    const float b = static_cast<float>(bin(c.b) * 4 + 2);
    int best = allow_key_ ? 0 : 1;
    float best_d = 1e30f;
    for (int i = allow_key_ ? 0 : 1; i < 256; ++i) {
        const Rgb& e = palette_[static_cast<size_t>(i)];
        const float rm = (r + e.r) * 0.5f;
        const float dr = r - e.r, dg = g - e.g, db = b - e.b;
        const float d = (2.0f + rm / 256.0f) * dr * dr + 4.0f * dg * dg + (3.0f - rm / 256.0f) * db * db;
        if (d < best_d) {
            best_d = d;
            best = i;
        }
    }
    cache_[static_cast<size_t>(key)] = static_cast<int16_t>(best);
    return static_cast<uint8_t>(best);
}

Image8 quantise_sprite(const Canvas& canvas, const Palette& palette, float dither)
{
    return quantise(canvas, palette, dither, true);
}

Image8 quantise_opaque(const Canvas& canvas, const Palette& palette, float dither)
{
    return quantise(canvas, palette, dither, false);
}

bool write_palette_file(const std::string& path, const Palette& palette)
{
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f)
        return false;
    for (const Rgb& c : palette)
        std::fprintf(f, "\n%d %d %d %d", c.r, c.g, c.b, 4);
    return std::fclose(f) == 0;
}
