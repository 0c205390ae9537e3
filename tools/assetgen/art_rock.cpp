// art_rock.cpp -- the rock: a cratered, lumpy sphere from a height map, lit and turned in sixteen even steps.
#include <array>
#include <cmath>
#include <memory>

#include "art.h"
#include "noise.h"
#include "rng.h"
#include "vec3.h"

// ---- constants ----

static constexpr int FACE = 48;  // texels along a side of each cube-map face
static constexpr uint32_t ROCK_SEED = 7u;

static const Vec3 AXIS = normalize({0.35f, -0.55f, 0.76f});

// ---- records ----

// Height and colour of the rock's surface, stored over the six faces of a cube around it.
struct RockMap {
    std::array<float, 6 * FACE * FACE> radius{};
    std::array<float, 6 * FACE * FACE> tint{};  // 0 grey stone .. 1 brown stone
    float max_radius = 1.0f;
};

struct Crater {
    Vec3 centre;
    float size, depth;
};

// ---- helpers ----

// Face and position on the face for a direction; u, v in [0, FACE).
static int cube_face(Vec3 d, float& u, float& v)
{
    const float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    int face;
    float s, t, m;
    if (ax >= ay && ax >= az) {
        face = d.x > 0 ? 0 : 1;
        m = ax;
        s = d.x > 0 ? -d.z : d.z;
        t = d.y;
    } else if (ay >= az) {
        face = d.y > 0 ? 2 : 3;
        m = ay;
        s = d.x;
        t = d.y > 0 ? -d.z : d.z;
    } else {
        face = d.z > 0 ? 4 : 5;
        m = az;
        s = d.z > 0 ? d.x : -d.x;
        t = d.y;
    }
    u = (s / m * 0.5f + 0.5f) * FACE - 0.5f;
    v = (t / m * 0.5f + 0.5f) * FACE - 0.5f;
    return face;
}

static Vec3 face_direction(int face, float u, float v)
{
    const float s = (u + 0.5f) / FACE * 2.0f - 1.0f, t = (v + 0.5f) / FACE * 2.0f - 1.0f;
    switch (face) {
    case 0: return normalize({1, t, -s});
    case 1: return normalize({-1, t, s});
    case 2: return normalize({s, 1, -t});
    case 3: return normalize({s, -1, t});
    case 4: return normalize({s, t, 1});
    default: return normalize({-s, t, -1});
    }
}

static float crater_height(Vec3 d, const std::vector<Crater>& craters)
{
    float h = 0.0f;
    for (const Crater& c : craters) {
        const float x = length(d - c.centre) / c.size;
        if (x < 1.6f)
            h += c.depth *
                 (x < 1.0f ? (x * x - 1.0f) + 0.35f : 0.35f * std::exp(-((x - 1.0f) / 0.22f) * ((x - 1.0f) / 0.22f)));
    }
    return h;
}

static std::unique_ptr<RockMap> build_rock_map()
{
    Rng rng(ROCK_SEED);
    std::vector<Crater> craters;
    for (int i = 0; i < 22; ++i) {
        const Vec3 c = normalize({rng.range(-1, 1), rng.range(-1, 1), rng.range(-1, 1)});
        const float size = i < 5 ? rng.range(0.28f, 0.42f) : rng.range(0.09f, 0.2f);
        craters.push_back({c, size, size * 0.28f});
    }
    auto map = std::make_unique<RockMap>();
    float top = 0.0f;
    for (int f = 0; f < 6; ++f) {
        for (int v = 0; v < FACE; ++v) {
            for (int u = 0; u < FACE; ++u) {
                const Vec3 d = face_direction(f, static_cast<float>(u), static_cast<float>(v));
                const float lumps = 0.16f * fbm3(d.x * 1.1f, d.y * 1.1f, d.z * 1.1f, 3, 0.5f, ROCK_SEED);
                const float grit = 0.035f * fbm3(d.x * 5.0f, d.y * 5.0f, d.z * 5.0f, 3, 0.55f, ROCK_SEED + 9);
                const float r = 1.0f + lumps + grit + crater_height(d, craters);
                const size_t k = static_cast<size_t>((f * FACE + v) * FACE + u);
                map->radius[k] = r;
                map->tint[k] =
                    clamp01(0.5f + 0.9f * fbm3(d.x * 1.7f + 3.0f, d.y * 1.7f, d.z * 1.7f, 3, 0.5f, ROCK_SEED + 5));
                top = std::max(top, r);
            }
        }
    }
    map->max_radius = top;
    return map;
}

static const RockMap& rock_map()
{
    static const std::unique_ptr<RockMap> map = build_rock_map();
    return *map;
}

// Bilinear read of one of the maps in a direction (texels clamped at face edges).
static float sample(const std::array<float, 6 * FACE * FACE>& m, Vec3 d)
{
    float u, v;
    const int f = cube_face(d, u, v);
    u = std::clamp(u, 0.0f, FACE - 1.001f);
    v = std::clamp(v, 0.0f, FACE - 1.001f);
    const int iu = static_cast<int>(u), iv = static_cast<int>(v);
    const float fu = u - iu, fv = v - iv;
    auto at = [&](int a, int b) { return m[static_cast<size_t>((f * FACE + b) * FACE + a)]; };
    return (at(iu, iv) * (1 - fu) + at(iu + 1, iv) * fu) * (1 - fv) +
           (at(iu, iv + 1) * (1 - fu) + at(iu + 1, iv + 1) * fu) * fv;
}

// Signed distance-like test: negative inside the rock (object space, unit mean radius).
static float rock_field(Vec3 q)
{
    const float r = length(q);
    return r < 1e-4f ? -1.0f : r - sample(rock_map().radius, q * (1.0f / r));
}

// Colour of the rock at screen point (x, y) in units of its own radius, turned by `angle`.
static Rgba rock_at(float x, float y, float angle)
{
    const RockMap& map = rock_map();
    const float top = map.max_radius;
    if (x * x + y * y > top * top)
        return {};
    // March from the front of the bounding sphere toward the back, then refine by bisection.
    const float z0 = std::sqrt(top * top - x * x - y * y);
    const float step = 0.03f;
    float z = z0, prev = z0;
    bool hit = false;
    for (; z > -z0; z -= step) {
        if (rock_field(rotate({x, y, z}, AXIS, -angle)) < 0.0f) {
            hit = true;
            break;
        }
        prev = z;
    }
    if (!hit)
        return {};
    for (int i = 0; i < 6; ++i) {
        const float mid = (z + prev) * 0.5f;
        (rock_field(rotate({x, y, mid}, AXIS, -angle)) < 0.0f ? z : prev) = mid;
    }
    const Vec3 q = rotate({x, y, z}, AXIS, -angle);
    const float e = 0.02f;
    const Vec3 grad{rock_field(q + Vec3{e, 0, 0}) - rock_field(q - Vec3{e, 0, 0}),
                    rock_field(q + Vec3{0, e, 0}) - rock_field(q - Vec3{0, e, 0}),
                    rock_field(q + Vec3{0, 0, e}) - rock_field(q - Vec3{0, 0, e})};
    const Vec3 n = rotate(normalize(grad), AXIS, angle);
    const float tint = sample(map.tint, normalize(q));
    const float cavity = smoothstep(0.97f, 1.06f, length(q));
    Col base = mix(Col{150, 146, 140}, Col{158, 128, 96}, tint) * (0.7f + 0.3f * cavity);
    const float diffuse = std::max(dot(n, key_light()), 0.0f);
    Col c = base * (0.12f + 1.05f * diffuse) + Col{255, 240, 220} * (0.18f * highlight(n, 12.0f));
    // Warm light thrown up from the lava catches the underside.
    c = c + Col{120, 40, 10} * (0.35f * std::max(dot(n, normalize({0.3f, 1.0f, 0.1f})), 0.0f));
    return {c, 1.0f};
}

// ---- public operations ----

void paint_rock(Canvas& canvas, float x, float y, float scale, int step)
{
    const float angle = 2.0f * PI * static_cast<float>(step) / ROCK_FRAMES;
    const float unit = 45.0f / rock_map().max_radius;  // sprite pixels per unit radius: fits a 96 frame
    const float cx = x + 48.0f * scale, cy = y + 48.0f * scale;
    paint(canvas, static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + ROCK_SIZE * scale) + 1,
          static_cast<int>(y + ROCK_SIZE * scale) + 1, 2,
          [&](float px, float py) { return rock_at((px - cx) / (unit * scale), (py - cy) / (unit * scale), angle); });
}

std::vector<Image8> make_rock_frames()
{
    std::vector<Image8> frames;
    for (int i = 0; i < ROCK_FRAMES; ++i) {
        Canvas canvas(ROCK_SIZE, ROCK_SIZE);
        paint_rock(canvas, 0.0f, 0.0f, 1.0f, i);
        frames.push_back(quantise_sprite(canvas, game_palette(), 4.0f));
    }
    return frames;
}
