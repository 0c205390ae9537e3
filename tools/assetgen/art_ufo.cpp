// art_ufo.cpp -- the UFO: a lit metal saucer seen a little from above, with a glass dome and rim lights.
#include <cmath>

#include "art.h"
#include "vec3.h"

// ---- constants ----

static constexpr float PITCH = 0.30f;  // how far the saucer tips toward the viewer, radians

// ---- records ----

// Saucer space: x right, y up, z toward the viewer, unit = one sprite pixel, centre of the disc at 0.
struct Hit {
    float t = 1e9f;
    Vec3 p, n;
    int part = -1;  // 0 disc, 1 dome, 2 lower pod, 3 antenna mast, 4 antenna light
};

// ---- helpers ----

// Ray p0 + t * d against an ellipsoid with centre c and radii r; keeps the nearest hit.
static void hit_ellipsoid(Vec3 p0, Vec3 d, Vec3 c, Vec3 r, int part, Hit& best)
{
    const Vec3 o{(p0.x - c.x) / r.x, (p0.y - c.y) / r.y, (p0.z - c.z) / r.z};
    const Vec3 v{d.x / r.x, d.y / r.y, d.z / r.z};
    const float a = dot(v, v), b = 2.0f * dot(o, v), k = dot(o, o) - 1.0f;
    const float disc = b * b - 4.0f * a * k;
    if (disc < 0.0f)
        return;
    const float t = (-b - std::sqrt(disc)) / (2.0f * a);
    if (t <= 0.0f || t >= best.t)
        return;
    const Vec3 p = p0 + d * t;
    if (part == 1 && p.y < c.y + 0.5f)
        return;
    const Vec3 q = p - c;
    best = {t, p, normalize({q.x / (r.x * r.x), q.y / (r.y * r.y), q.z / (r.z * r.z)}), part};
}

// Back from saucer space to screen space (y down) for lighting.
static Vec3 to_screen(Vec3 n)
{
    const float c = std::cos(PITCH), s = std::sin(PITCH);
    return {n.x, -(n.y * c - n.z * s), n.y * s + n.z * c};
}

static Col shade_disc(const Hit& h)
{
    const Vec3 n = to_screen(h.n);
    const float angle = std::atan2(h.p.z, h.p.x);
    const float r = std::sqrt(h.p.x * h.p.x + h.p.z * h.p.z);
    Col base{70, 180, 84};
    if (std::fabs(h.p.y) < 1.3f)
        base = Col{150, 156, 170};  // the rim band
    else if (h.p.y < 0.0f)
        base = Col{40, 100, 52};
    const float seam = std::fabs(std::sin(angle * 8.0f));
    if (h.p.y > 0.0f && seam < 0.06f * 38.0f / std::max(r, 4.0f))
        base = base * 0.6f;
    const float diffuse = std::max(dot(n, key_light()), 0.0f);
    return base * (0.25f + 0.9f * diffuse) + Col{255, 255, 255} * (0.8f * highlight(n, 30.0f));
}

static Col shade_dome(const Hit& h)
{
    const Vec3 n = to_screen(h.n);
    const float diffuse = std::max(dot(n, key_light()), 0.0f);
    Col c = mix(Col{20, 60, 100}, Col{140, 220, 250}, diffuse);
    // A dim figure sits under the glass.
    if (std::fabs(h.p.x) < 4.5f && h.p.y > 9.0f && h.p.y < 17.5f)
        c = mix(c, Col{20, 40, 30}, 0.6f);
    return c + Col{255, 255, 255} * highlight(n, 40.0f);
}

// Six lights round the rim, on the side toward the viewer; a light's colour follows its index.
static bool rim_light(Vec3 p, Col& c)
{
    for (int k = 0; k < 12; ++k) {
        const float a = PI * (static_cast<float>(k) + 0.5f) / 12.0f;
        const Vec3 l{38.0f * std::cos(a), 0.0f, 38.0f * std::sin(a) * 0.99f};
        const Vec3 d = p - l;
        if (l.z > 5.0f && dot(d, d) < 5.0f) {
            static const Col colours[3] = {{255, 230, 90}, {255, 80, 60}, {120, 255, 140}};
            c = mix(Col{255, 255, 255}, colours[k % 3], smoothstep(0.0f, 5.0f, dot(d, d)));
            return true;
        }
    }
    return false;
}

static Rgba ufo_at(float u, float v)
{
    // Sprite pixel (u, v) to a ray in saucer space; the disc's centre is at sprite pixel (40, 35).
    const float c = std::cos(PITCH), s = std::sin(PITCH);
    const Vec3 screen{u - 40.0f, 35.0f - v, 100.0f};
    const Vec3 p0{screen.x, screen.y * c + screen.z * s, -screen.y * s + screen.z * c};
    const Vec3 d{0.0f, -s, -c};
    Hit h;
    hit_ellipsoid(p0, d, {0, 0, 0}, {38.0f, 8.0f, 38.0f}, 0, h);
    hit_ellipsoid(p0, d, {0, 3.0f, 0}, {17.0f, 17.0f, 17.0f}, 1, h);
    hit_ellipsoid(p0, d, {0, -7.0f, 0}, {16.0f, 7.0f, 16.0f}, 2, h);
    hit_ellipsoid(p0, d, {0, 24.0f, 0}, {0.8f, 5.0f, 0.8f}, 3, h);
    hit_ellipsoid(p0, d, {0, 29.5f, 0}, {2.2f, 2.2f, 2.2f}, 4, h);
    if (h.part < 0)
        return {};
    Col col;
    if (h.part == 1)
        col = shade_dome(h);
    else if (h.part == 3)
        col = Col{120, 124, 140};
    else if (h.part == 4)
        col = mix(Col{255, 255, 220}, Col{255, 60, 50}, smoothstep(-1.0f, 1.0f, h.n.x - h.n.y));
    else if (h.part == 2)
        col = mix(Col{50, 56, 70}, Col{255, 200, 90}, smoothstep(-9.0f, -13.5f, h.p.y));
    else if (!rim_light(h.p, col))
        col = shade_disc(h);
    return {col, 1.0f};
}

// ---- public operations ----

void paint_ufo(Canvas& canvas, float x, float y, float scale) { paint_shape(canvas, x, y, scale, UFO_SHEET, ufo_at); }

Image8 make_ufo_sheet() { return make_shape_sheet(UFO_SHEET, ufo_at, 3.0f); }
