// art_energy.cpp -- the energy bolt: a ball of light pulsing through eight frames, in two colours.
#include <cmath>

#include "art.h"

// ---- records ----

// The colour of a bolt from its hot core (t = 0) to its rim (t = 1).
struct BoltColours {
    Col core, mid, rim;
};

// ---- helpers ----

static Image8 bolt_frame(int step, const BoltColours& colours)
{
    const float phase = 2.0f * PI * static_cast<float>(step) / 8.0f;
    const float radius = 2.55f + 0.75f * std::sin(phase);
    const float spin = phase * 0.5f;
    // The hot core swells a quarter-cycle after the ball, so no two frames of a cycle look alike.
    const float core = 0.42f + 0.2f * std::cos(phase);
    Canvas canvas(BOLT_SHEET.cell_width, BOLT_SHEET.cell_height);
    paint(canvas, 0, 0, BOLT_SHEET.cell_width, BOLT_SHEET.cell_height, 4, [&](float x, float y) -> Rgba {
        const float dx = x - 4.0f, dy = y - 4.0f;
        const float d = std::sqrt(dx * dx + dy * dy);
        // Four short sparks turning with the pulse poke out of the ball.
        const float angle = std::atan2(dy, dx) - spin;
        const float spark = std::pow(std::fabs(std::cos(2.0f * angle)), 16.0f);
        const float reach = radius + 0.9f * spark;
        if (d > std::min(reach, 3.45f))
            return {};
        const float t = d / reach;
        const Col c = t < core ? mix(colours.core, colours.mid, t / core)
                               : mix(colours.mid, colours.rim, (t - core) / (1.0f - core));
        return {c, 1.0f};
    });
    return quantise_sprite(canvas, game_palette(), 0.0f);
}

// ---- public operations ----

std::vector<Image8> energy_frames()
{
    const BoltColours cyan{{240, 255, 255}, {70, 230, 255}, {0, 110, 170}};
    const BoltColours violet{{255, 236, 255}, {255, 110, 250}, {130, 20, 170}};
    std::vector<Image8> frames;
    for (int i = 0; i < BOLT_SHEET.frames; ++i)
        frames.push_back(bolt_frame(i % 8, i < 8 ? cyan : violet));
    return frames;
}

Image8 make_energy_sheet() { return make_sheet(energy_frames(), BOLT_SHEET); }
