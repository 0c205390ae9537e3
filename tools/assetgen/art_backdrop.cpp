// art_backdrop.cpp -- the backdrop: dark plates of cooled lava split by dim glowing seams, kept low so play reads over
// it.
#include <cmath>

#include "art.h"
#include "noise.h"

// ---- constants ----

static constexpr uint32_t LAVA_SEED = 1999u;

// ---- helpers ----

// Heat of the lava at a point: bright along the seams between crust plates, a faint halo beside them,
// all under a slow swell so some regions smoulder and others have gone cold.
static float lava_heat(float x, float y)
{
    const float wx = x + 26.0f * fbm2(x * 0.006f, y * 0.006f, 3, 0.5f, LAVA_SEED);
    const float wy = y + 26.0f * fbm2(x * 0.006f + 7.3f, y * 0.006f, 3, 0.5f, LAVA_SEED + 1);
    float f1, f2, g1, g2;
    cells2(wx / 70.0f, wy / 70.0f, LAVA_SEED + 2, f1, f2);
    cells2(wx / 26.0f + 4.1f, wy / 26.0f, LAVA_SEED + 3, g1, g2);
    const float wide = f2 - f1, fine = g2 - g1;
    const float seam = std::exp(-wide * 16.0f) + 0.3f * std::exp(-fine * 14.0f);
    const float halo = 0.35f * std::exp(-wide * 4.0f);
    const float swell = smoothstep(-0.5f, 0.6f, fbm2(x * 0.003f, y * 0.003f, 3, 0.5f, LAVA_SEED + 4));
    return clamp01((seam + halo) * (0.15f + 0.85f * swell));
}

// ---- public operations ----

Image8 make_backdrop()
{
    Canvas canvas(SCREEN_PICTURE_WIDTH, SCREEN_PICTURE_HEIGHT);
    for (int y = 0; y < SCREEN_PICTURE_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_PICTURE_WIDTH; ++x) {
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            const float heat = lava_heat(fx, fy);
            const float crust = 0.5f + 0.5f * fbm2(fx * 0.045f, fy * 0.045f, 4, 0.6f, LAVA_SEED + 5);
            Col c = mix(Col{12, 5, 5}, Col{38, 14, 10}, crust);
            c = c + Col{92, 16, 3} * (heat * heat) + Col{50, 26, 4} * std::pow(heat, 5.0f);
            canvas.at(x, y) = {c, 1.0f};
        }
    }
    return quantise_opaque(canvas, game_palette(), 5.0f);
}
