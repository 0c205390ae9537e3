// art_explosion.cpp -- the explosion: a white flash that blooms into a fireball, tears into flame, then smoke.
#include <cmath>

#include "art.h"
#include "noise.h"
#include "rng.h"

// ---- constants ----

static constexpr uint32_t FIRE_SEED = 31u;

// ---- helpers ----

// Fire colour by heat: 1 white-hot, 0.5 orange, 0.2 deep red, below that glowing soot.
static Col fire_colour(float heat)
{
    static const Col stops[] = {{60, 14, 6},    {150, 24, 2},   {226, 84, 6},
                                {255, 150, 28}, {255, 214, 90}, {255, 250, 220}};
    const float t = clamp01(heat) * 5.0f;
    const int k = std::min(static_cast<int>(t), 4);
    return mix(stops[k], stops[k + 1], t - static_cast<float>(k));
}

// Frame `i` of 14. `t` runs 0..1 over the frames; the ball grows fast, then slowly, as a blast does.
static Image8 explosion_frame(int i)
{
    const float t = static_cast<float>(i) / (EXPLOSION_SHEET.frames - 1);
    const float growth = 1.0f - std::pow(1.0f - t, 2.6f);
    const float radius = 5.0f + 12.5f * growth;
    const float heat_fall = std::pow(t, 0.9f);
    Canvas canvas(EXPLOSION_SHEET.cell_width, EXPLOSION_SHEET.cell_height);
    paint(canvas, 0, 0, EXPLOSION_SHEET.cell_width, EXPLOSION_SHEET.cell_height, 3, [&](float x, float y) -> Rgba {
        const float dx = (x - 21.0f) / 1.12f, dy = y - 18.0f;
        const float d = std::sqrt(dx * dx + dy * dy) / radius;
        // Billows rise and turn as the frames pass; the edge breaks up more as the blast ages.
        const float n = fbm3(x * 0.16f, y * 0.16f + t * 3.5f, t * 4.0f, 4, 0.55f, FIRE_SEED);
        const float ragged = 0.18f + 0.55f * t;
        const float body = 1.0f - d + ragged * n;
        const float thinning = 0.05f + 0.42f * smoothstep(0.45f, 1.0f, t);
        if (body < thinning || std::fabs(x - 21.0f) > 19.5f || std::fabs(y - 18.0f) > 16.5f)
            return {};
        const float heat = (1.15f - heat_fall * 1.25f) * (0.55f + 0.7f * (1.0f - d)) + 0.25f * n;
        Col c = fire_colour(heat);
        // As the fire cools it turns to smoke: grey, darker where thin.
        const float smoke = smoothstep(0.35f, 0.05f, heat);
        // Old smoke darkens toward the backdrop, which reads as it thinning away.
        const float age = 1.0f - 0.5f * smoothstep(0.6f, 1.0f, t);
        const Col grey = mix(Col{50, 46, 44}, Col{150, 142, 136}, clamp01(0.4f + 0.8f * n + 0.3f * (1.0f - d))) * age;
        c = mix(c, grey, smoke);
        return {c, 1.0f};
    });
    // Sparks flung out in the early frames.
    Rng rng(FIRE_SEED + static_cast<uint32_t>(i));
    if (i >= 1 && i <= 7) {
        Rng dirs(FIRE_SEED);
        for (int k = 0; k < 10; ++k) {
            const float a = dirs.range(0.0f, 2.0f * PI);
            const float speed = dirs.range(0.8f, 1.2f);
            const float r = (radius + 2.0f + 3.0f * t) * speed;
            const float sx = 21.0f + std::cos(a) * r * 1.12f, sy = 18.0f + std::sin(a) * r;
            if (sx > 1.5f && sx < 40.5f && sy > 1.5f && sy < 34.5f && rng.chance(0.85f))
                canvas.blend(static_cast<int>(sx), static_cast<int>(sy),
                             fire_colour(1.0f - 0.1f * static_cast<float>(i)), 1.0f);
        }
    }
    return quantise_sprite(canvas, game_palette(), 6.0f);
}

// ---- public operations ----

std::vector<Image8> explosion_frames()
{
    std::vector<Image8> frames;
    for (int i = 0; i < EXPLOSION_SHEET.frames; ++i)
        frames.push_back(explosion_frame(i));
    return frames;
}

Image8 make_explosion_sheet() { return make_sheet(explosion_frames(), EXPLOSION_SHEET); }
