// intro.cpp -- the three intro screens: title, how to play, get ready; each gets a palette of its own.
#include <cmath>
#include <functional>

#include "art.h"
#include "font.h"
#include "median_cut.h"
#include "noise.h"
#include "rng.h"

// ---- records ----

struct Lettering {
    float unit = 4.0f, thickness = 1.0f, slant = 0.0f;  // thickness in grid units
    std::function<Col(float)> fill;  // colour by height within the letters, 0 top .. 1 bottom
    Col outline{0, 0, 0};
    float outline_px = 2.0f;
    Col glow{0, 0, 0};
    float glow_px = 0.0f;
};

// ---- backgrounds ----

// Deep space: a dark gradient with faint clouds of two colours.
static void paint_space(Canvas& c, Col top, Col bottom, Col cloud_a, Col cloud_b, uint32_t seed)
{
    for (int y = 0; y < c.h; ++y) {
        for (int x = 0; x < c.w; ++x) {
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            const float n1 = smoothstep(0.0f, 0.8f, fbm2(fx * 0.006f, fy * 0.006f, 5, 0.55f, seed));
            const float n2 = smoothstep(0.1f, 0.9f, fbm2(fx * 0.009f + 3.0f, fy * 0.009f, 5, 0.5f, seed + 1));
            const Col base = mix(top, bottom, fy / static_cast<float>(c.h));
            c.at(x, y) = {base + cloud_a * n1 + cloud_b * (n2 * n2), 1.0f};
        }
    }
}

// Stars of many brightnesses; the brightest get a small four-point glint.
static void paint_stars(Canvas& c, int count, uint32_t seed)
{
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        const int x = rng.below(c.w), y = rng.below(c.h);
        const float b = std::pow(rng.unit(), 3.0f);
        const Col tint = mix(Col{170, 190, 255}, Col{255, 230, 200}, rng.unit());
        c.blend(x, y, mix(tint, Col{255, 255, 255}, b), 0.35f + 0.65f * b);
        if (b > 0.7f) {
            for (int k = 1; k <= 3; ++k) {
                const float a = (1.0f - k / 4.0f) * 0.6f;
                c.blend(x + k, y, tint, a);
                c.blend(x - k, y, tint, a);
                c.blend(x, y + k, tint, a);
                c.blend(x, y - k, tint, a);
            }
        }
    }
}

// ---- lettering ----

static void paint_text(Canvas& c, const std::string& text, float x, float y, const Lettering& l)
{
    DistanceField field(c.w, c.h, l.glow_px + l.outline_px + l.thickness * l.unit);
    add_text(field, text, x, y, l.unit, l.slant);
    const float half = l.thickness * l.unit * 0.5f;
    const float top = y - half, height = 6.0f * l.unit + 2.0f * half;
    for (int py = 0; py < c.h; ++py) {
        for (int px = 0; px < c.w; ++px) {
            const float d = field.at(px, py);
            if (d >= field.reach)
                continue;
            if (l.glow_px > 0.0f)
                c.blend(px, py, l.glow, 0.55f * std::exp(-std::max(d - half, 0.0f) / (l.glow_px * 0.4f)));
            c.blend(px, py, l.outline, clamp01(half + l.outline_px + 0.5f - d));
            c.blend(px, py, l.fill((static_cast<float>(py) - top) / height), clamp01(half + 0.5f - d));
        }
    }
}

static void paint_centred(Canvas& c, const std::string& text, float y, const Lettering& l)
{
    paint_text(c, text, (static_cast<float>(c.w) - text_width(text, l.unit)) * 0.5f, y, l);
}

static Lettering plain(float unit, Col colour)
{
    Lettering l;
    l.unit = unit;
    l.thickness = 0.42f;
    l.fill = [colour](float) { return colour; };
    l.outline = {6, 6, 14};
    l.outline_px = 1.5f;
    return l;
}

// The molten-metal look of the big words: white-hot top through gold and orange to deep red, with a
// bright horizon line across the middle like polished chrome.
static Col molten(float t)
{
    const Col c = t < 0.5f ? mix(Col{255, 252, 220}, Col{255, 196, 60}, t * 2.0f)
                           : mix(Col{255, 120, 20}, Col{150, 20, 12}, (t - 0.5f) * 2.0f);
    return std::fabs(t - 0.5f) < 0.035f ? Col{255, 240, 200} : c;
}

// The headings of the screens: molten letters in a dark outline, glowing orange.
static Lettering molten_heading(float unit, float thickness, float slant, float outline_px, float glow_px)
{
    Lettering l;
    l.unit = unit;
    l.thickness = thickness;
    l.slant = slant;
    l.fill = molten;
    l.outline = {36, 6, 4};
    l.outline_px = outline_px;
    l.glow = {255, 90, 20};
    l.glow_px = glow_px;
    return l;
}

// ---- keycaps and panels ----

static void paint_panel(Canvas& c, int x0, int y0, int x1, int y1, Col fill, Col edge)
{
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const bool border = x < x0 + 2 || y < y0 + 2 || x >= x1 - 2 || y >= y1 - 2;
            c.blend(x, y, border ? edge : fill, border ? 0.9f : 0.7f);
        }
    }
}

// A keyboard key with its label; returns the x just right of it.
static float paint_key(Canvas& c, const std::string& label, float x, float y)
{
    const float unit = 2.6f;
    const float w = std::max(text_width(label, unit) + 20.0f, 34.0f), h = 34.0f;
    for (int py = static_cast<int>(y); py < static_cast<int>(y + h); ++py) {
        for (int px = static_cast<int>(x); px < static_cast<int>(x + w); ++px) {
            const float u = (px - x) / w, v = (py - y) / h;
            const bool rim = u < 0.04f || u > 0.96f || v < 0.08f || v > 0.84f;
            Col k = rim ? (v > 0.84f ? Col{70, 74, 92} : Col{200, 206, 222})
                        : mix(Col{168, 174, 194}, Col{120, 126, 146}, v);
            const bool corner = (u < 0.03f || u > 0.97f) && (v < 0.06f || v > 0.94f);
            if (!corner)
                c.blend(px, py, k, 1.0f);
        }
    }
    Lettering l = plain(unit, Col{20, 22, 34});
    l.outline_px = 0.0f;
    paint_text(c, label, x + (w - text_width(label, unit)) * 0.5f, y + 7.0f, l);
    return x + w + 8.0f;
}

static Picture finish(const Canvas& canvas)
{
    const Palette p = median_cut_palette(canvas);
    return {quantise_opaque(canvas, p, 3.0f), p};
}

// ---- the three screens ----

static Picture title_screen()
{
    Canvas c(SCREEN_PICTURE_WIDTH, SCREEN_PICTURE_HEIGHT);
    paint_space(c, {2, 2, 12}, {14, 4, 22}, {40, 14, 70}, {10, 30, 70}, 11u);
    paint_stars(c, 420, 12u);
    // A lava world rising at the bottom, its rim lit by its own glow.
    paint(c, 0, 330, SCREEN_PICTURE_WIDTH, SCREEN_PICTURE_HEIGHT, 2, [](float x, float y) -> Rgba {
        const float cx = 320.0f, cy = 1180.0f, r = 820.0f;
        const float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
        if (d > r + 30.0f)
            return {};
        if (d > r)
            return {Col{255, 90, 20}, 0.6f * std::pow(1.0f - (d - r) / 30.0f, 2.0f)};
        float f1, f2;
        cells2(x / 40.0f, y / 14.0f, 5u, f1, f2);
        const float seam = std::exp(-(f2 - f1) * 10.0f);
        const float rim = std::exp(-(r - d) / 12.0f);
        return {Col{26, 8, 6} + Col{200, 50, 8} * seam * 0.8f + Col{255, 140, 40} * rim, 1.0f};
    });
    const Lettering logo = molten_heading(13.0f, 1.25f, 0.18f, 4.0f, 22.0f);
    paint_centred(c, "VORLASH", 48.0f, logo);
    paint_centred(c, "DEFEND THE LAVA BELT", 168.0f, plain(3.2f, {150, 200, 255}));
    // The gunship racing right, trailing its exhaust, with rocks and the saucer ahead.
    paint(c, 20, 278, 170, 300, 2, [](float x, float y) -> Rgba {
        const float t = (x - 20.0f) / 150.0f, dy = std::fabs(y - 289.0f) / (2.0f + 8.0f * t);
        return {mix(Col{255, 90, 20}, Col{255, 240, 180}, t), clamp01(1.0f - dy) * t * 0.9f};
    });
    paint_gunship(c, 150.0f, 240.0f, 3.0f);
    paint_rock(c, 470.0f, 210.0f, 1.2f, 3);
    paint_rock(c, 560.0f, 320.0f, 0.6f, 9);
    paint_rock(c, 420.0f, 350.0f, 0.45f, 13);
    paint_ufo(c, 520.0f, 185.0f, 0.9f);
    paint_centred(c, "BLAST THE ROCKS  -  SHOOT THE SAUCER", 440.0f, plain(2.4f, {255, 220, 160}));
    return finish(c);
}

static Picture how_to_play_screen()
{
    Canvas c(SCREEN_PICTURE_WIDTH, SCREEN_PICTURE_HEIGHT);
    paint_space(c, {4, 6, 20}, {2, 10, 28}, {10, 30, 60}, {30, 10, 50}, 21u);
    paint_stars(c, 260, 22u);
    const Lettering head = molten_heading(6.0f, 1.1f, 0.15f, 2.5f, 10.0f);
    paint_centred(c, "HOW TO PLAY", 18.0f, head);

    paint_panel(c, 24, 78, 616, 278, {8, 14, 36}, {70, 110, 200});
    const Lettering label = plain(3.0f, {235, 240, 255});
    const Lettering title = plain(2.6f, {120, 190, 255});
    paint_text(c, "CONTROLS", 40.0f, 88.0f, title);
    float x = paint_key(c, "^", 44.0f, 112.0f);
    x = paint_key(c, "_", x, 112.0f);
    x = paint_key(c, "<", x, 112.0f);
    paint_key(c, ">", x, 112.0f);
    paint_text(c, "MOVE", 300.0f, 120.0f, label);
    paint_key(c, "LEFT SHIFT", 44.0f, 152.0f);
    paint_text(c, "TOGGLE SPEED", 300.0f, 160.0f, label);
    paint_key(c, "SPACE", 44.0f, 192.0f);
    paint_text(c, "FIRE", 300.0f, 200.0f, label);
    x = paint_key(c, "F2", 44.0f, 232.0f);
    paint_text(c, "RESTART", x + 8.0f, 240.0f, label);
    x = paint_key(c, "ESC", 300.0f, 232.0f);
    paint_text(c, "QUIT", x + 8.0f, 240.0f, label);

    paint_panel(c, 24, 290, 616, 462, {8, 14, 36}, {70, 110, 200});
    paint_text(c, "SCORING", 40.0f, 300.0f, title);
    const Lettering gold = plain(2.8f, {255, 214, 90});
    paint_rock(c, 44.0f, 322.0f, 0.5f, 2);
    paint_text(c, "ROCK 100", 100.0f, 340.0f, gold);
    paint_ufo(c, 346.0f, 324.0f, 0.62f);
    paint_text(c, "UFO 1000", 412.0f, 340.0f, gold);
    paint_rock(c, 44.0f, 390.0f, 0.5f, 7);
    paint_text(c, "MISSED ROCK -1", 100.0f, 408.0f, plain(2.8f, {255, 110, 100}));
    for (int i = 0; i < 3; ++i)
        paint_gunship(c, 352.0f, 386.0f + 20.0f * static_cast<float>(i), 0.5f);
    paint_text(c, "THREE LIVES", 412.0f, 408.0f, plain(2.8f, {140, 255, 160}));
    return finish(c);
}

static Picture get_ready_screen()
{
    Canvas c(SCREEN_PICTURE_WIDTH, SCREEN_PICTURE_HEIGHT);
    paint_space(c, {2, 2, 10}, {6, 2, 14}, {20, 10, 60}, {50, 10, 30}, 31u);
    // Stars streaking out from the middle: the jump to the battle zone.
    Rng rng(32u);
    for (int i = 0; i < 260; ++i) {
        const float a = rng.range(0.0f, 2.0f * PI), r0 = rng.range(20.0f, 300.0f), len = r0 * rng.range(0.1f, 0.35f);
        const Col tint = mix(Col{120, 160, 255}, Col{255, 255, 255}, rng.unit());
        for (float r = r0; r < r0 + len; r += 0.5f) {
            const float fade = (r - r0) / len;
            c.blend(static_cast<int>(320.0f + std::cos(a) * r * 1.2f), static_cast<int>(240.0f + std::sin(a) * r), tint,
                    0.8f * fade);
        }
    }
    const Lettering big = molten_heading(11.0f, 1.2f, 0.18f, 4.0f, 20.0f);
    paint_centred(c, "GET READY", 90.0f, big);
    paint_gunship(c, 200.0f, 230.0f, 3.0f);
    paint_centred(c, "LEVEL 1", 380.0f, plain(4.0f, {150, 200, 255}));
    paint_centred(c, "THREE LIVES  -  GOOD LUCK, PILOT", 430.0f, plain(2.4f, {255, 220, 160}));
    return finish(c);
}

// ---- public operations ----

Picture make_intro(int screen)
{
    switch (screen) {
    case 1: return title_screen();
    case 2: return how_to_play_screen();
    default: return get_ready_screen();
    }
}
