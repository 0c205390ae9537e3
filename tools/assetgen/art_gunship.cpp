// art_gunship.cpp -- the player's gunship: a sleek lit hull facing right, canopy, fins and a hot engine.
#include <cmath>

#include "art.h"
#include "vec3.h"

// ---- constants ----

static const Col STEEL{150, 160, 184};
static const Col HULL_BLUE{40, 92, 210};

// ---- helpers ----

// The hull outline above and below its centre line at x (ship pixels; nose at the right).
static float hull_top(float u)
{
    if (u < 48.0f)
        return 5.2f + 2.3f * smoothstep(7.0f, 44.0f, u);
    return 7.5f * (1.0f - std::pow((u - 48.0f) / 30.0f, 1.7f));
}

static float hull_bottom(float u)
{
    if (u < 52.0f)
        return 5.0f;
    return 5.0f * (1.0f - std::pow((u - 52.0f) / 26.0f, 1.25f));
}

static bool in_polygon(const float (*pts)[2], int n, float u, float v)
{
    bool inside = false;
    for (int i = 0, j = n - 1; i < n; j = i++) {
        if ((pts[i][1] > v) != (pts[j][1] > v)) {
            const float cross_u = pts[j][0] + (v - pts[j][1]) * (pts[i][0] - pts[j][0]) / (pts[i][1] - pts[j][1]);
            if (u < cross_u)
                inside = !inside;
        }
    }
    return inside;
}

// Lights a surface colour with the key light, a soft highlight and a warm glow from the lava below.
static Col lit(Col base, Vec3 n, float shine)
{
    const float diffuse = std::max(dot(n, key_light()), 0.0f);
    Col c = base * (0.26f + 0.9f * diffuse);
    c = c + Col{255, 255, 255} * (shine * highlight(n, 24.0f));
    return c + Col{70, 22, 6} * (0.45f * std::max(n.y, 0.0f));
}

static Rgba canopy(float u, float v)
{
    const float du = (u - 54.0f) / 12.0f, dv = (v - 12.2f) / 4.6f;
    if (du * du + dv * dv > 1.0f)
        return {};
    const Vec3 n = normalize({du * 0.7f, dv, std::sqrt(std::max(1.0f - du * du - dv * dv, 0.02f))});
    Col glass = mix(Col{14, 26, 70}, Col{70, 180, 240}, smoothstep(0.9f, -0.8f, dv));
    glass = lit(glass, n, 1.2f);
    const float hu = (u - 50.5f) / 5.5f, hv = (v - 10.4f) / 1.1f;
    if (hu * hu + hv * hv < 1.0f)
        glass = mix(glass, Col{240, 252, 255}, 0.85f);
    return {glass, 1.0f};
}

static Rgba fuselage(float u, float v)
{
    if (u < 7.0f || u > 78.0f)
        return {};
    const float top = 17.0f - hull_top(u), bottom = 17.0f + hull_bottom(u);
    if (v < top || v > bottom)
        return {};
    const float half = std::max((bottom - top) * 0.5f, 0.3f);
    const float s = std::clamp((v - (top + bottom) * 0.5f) / half, -0.98f, 0.98f);
    const Vec3 n = normalize({0.7f * smoothstep(56.0f, 78.0f, u), s, std::sqrt(1.0f - s * s)});
    Col base = STEEL;
    if (std::fabs(v - 18.0f) < 1.1f && u > 11.0f && u < 70.0f)
        base = HULL_BLUE;
    else if (std::fabs(v - 16.2f) < 0.5f && u > 11.0f && u < 66.0f)
        base = Col{210, 220, 236};
    Col c = lit(base, n, 0.7f);
    for (float seam : {24.0f, 38.0f, 64.0f})
        if (std::fabs(u - seam) < 0.45f)
            c = c * 0.55f;
    if (u > 28.0f && u < 37.0f && v > bottom - 3.0f && v < bottom - 1.4f)
        c = Col{16, 16, 22};
    return {c, 1.0f};
}

static Rgba fins(float u, float v)
{
    static const float dorsal[4][2] = {{9.0f, 12.5f}, {27.0f, 11.0f}, {16.0f, 2.2f}, {10.5f, 2.2f}};
    static const float wing[4][2] = {{17.0f, 20.0f}, {52.0f, 20.0f}, {31.0f, 29.6f}, {19.0f, 29.6f}};
    if (in_polygon(dorsal, 4, u, v)) {
        if (u < 12.6f && v < 4.0f)
            return {Col{255, 70, 60}, 1.0f};
        const float edge = smoothstep(2.0f, 0.0f, std::fabs((u - 16.0f) - (v - 2.2f) * (11.0f / 8.8f)));
        return {mix(Col{30, 64, 160}, Col{120, 170, 255}, edge * 0.8f + (12.5f - v) / 30.0f), 1.0f};
    }
    if (in_polygon(wing, 4, u, v)) {
        const float shade = 0.55f + 0.45f * (29.6f - v) / 9.6f;
        Col c = mix(Col{60, 66, 86}, Col{124, 134, 160}, shade);
        if (v > 27.8f)
            c = Col{40, 84, 200};
        if (std::fabs(u - 34.0f) < 0.45f)
            c = c * 0.6f;
        return {c, 1.0f};
    }
    return {};
}

static Rgba engine(float u, float v)
{
    if (u >= 4.0f && u <= 9.5f && std::fabs(v - 17.0f) <= 4.6f) {
        const float s = (v - 17.0f) / 4.6f;
        Col c = mix(Col{86, 90, 104}, Col{30, 30, 38}, std::fabs(s + 0.35f) * 0.8f);
        if (u < 5.2f)
            c = mix(Col{255, 200, 90}, Col{255, 120, 30}, std::fabs(s));
        return {c, 1.0f};
    }
    const float du = (u - 4.2f) / 3.4f, dv = (v - 17.0f) / 3.6f;
    const float d = du * du + dv * dv;
    if (u < 4.0f && u >= 1.0f && d < 1.0f) {
        const Col c = d < 0.25f ? Col{255, 255, 230} : d < 0.55f ? Col{255, 220, 110} : Col{255, 130, 30};
        return {c, 1.0f};
    }
    return {};
}

static Rgba ship_at(float u, float v)
{
    for (auto layer : {canopy, fuselage, fins, engine}) {
        const Rgba r = layer(u, v);
        if (r.a > 0.0f)
            return r;
    }
    return {};
}

// ---- public operations ----

void paint_gunship(Canvas& canvas, float x, float y, float scale)
{
    paint_shape(canvas, x, y, scale, SHIP_SHEET, ship_at);
}

Image8 make_gunship_sheet() { return make_shape_sheet(SHIP_SHEET, ship_at, 3.0f); }
