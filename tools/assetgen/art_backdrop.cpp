// art_backdrop.cpp -- the backdrop: a dark crust of cooled lava with dim glowing veins, kept low so play reads over it.
#include <cmath>

#include "art.h"
#include "noise.h"

static constexpr uint32_t kLavaSeed = 1999u;

// Brightness of the glow at a point: thin bright veins where the warped field crosses zero, wide dim
// pools where it stays low, all under a slow large-scale swell.
static float lava_glow(float x, float y)
{
    const float wx = x + 38.0f * fbm2(x * 0.004f, y * 0.004f, 3, 0.5f, kLavaSeed);
    const float wy = y + 38.0f * fbm2(x * 0.004f + 7.3f, y * 0.004f, 3, 0.5f, kLavaSeed + 1);
    const float field = fbm2(wx * 0.011f, wy * 0.011f, 5, 0.52f, kLavaSeed + 2);
    const float vein = std::exp(-std::fabs(field) * 22.0f);
    const float pool = smoothstep(-0.15f, -0.55f, field);
    const float swell = 0.55f + 0.45f * fbm2(x * 0.0025f, y * 0.0025f, 2, 0.5f, kLavaSeed + 3);
    return clamp01((0.75f * vein + 0.35f * pool) * swell);
}

Image8 make_backdrop()
{
    Canvas canvas(kScreenW, kScreenH);
    for (int y = 0; y < kScreenH; ++y) {
        for (int x = 0; x < kScreenW; ++x) {
            const float g = lava_glow(static_cast<float>(x), static_cast<float>(y));
            const float crust = 0.5f + 0.5f * fbm2(x * 0.05f, y * 0.05f, 3, 0.6f, kLavaSeed + 4);
            Col c = Col{14, 5, 4} * (0.6f + 0.7f * crust);
            c = c + Col{150, 34, 6} * (g * g) + Col{40, 18, 4} * (g * g * g * g);
            canvas.at(x, y) = {c, 1.0f};
        }
    }
    return quantise_opaque(canvas, game_palette(), 5.0f);
}
