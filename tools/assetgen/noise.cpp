// noise.cpp -- gradient noise from an integer hash: no tables, so any seed is as cheap as another.
#include "noise.h"

#include <cmath>

// ---- helpers ----

static uint32_t hash3(int32_t x, int32_t y, int32_t z, uint32_t seed)
{
    uint32_t h = seed * 0x27d4eb2du;
    h ^= static_cast<uint32_t>(x) * 0x85ebca6bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xc2b2ae35u;
    h = (h << 11) | (h >> 21);
    h ^= static_cast<uint32_t>(z) * 0x165667b1u;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

static float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

static float lerp(float a, float b, float t) { return a + (b - a) * t; }

// Dot product of the corner's pseudo-random gradient (one of 12 cube-edge directions) with the offset.
static float grad3(uint32_t h, float dx, float dy, float dz)
{
    switch (h % 12u) {
    case 0: return dx + dy;
    case 1: return -dx + dy;
    case 2: return dx - dy;
    case 3: return -dx - dy;
    case 4: return dx + dz;
    case 5: return -dx + dz;
    case 6: return dx - dz;
    case 7: return -dx - dz;
    case 8: return dy + dz;
    case 9: return -dy + dz;
    case 10: return dy - dz;
    default: return -dy - dz;
    }
}

// ---- public operations ----

float noise3(float x, float y, float z, uint32_t seed)
{
    const float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    const auto ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy), iz = static_cast<int32_t>(fz);
    const float dx = x - fx, dy = y - fy, dz = z - fz;
    const float u = fade(dx), v = fade(dy), w = fade(dz);
    float corner[8];
    for (int c = 0; c < 8; ++c) {
        const int cx = c & 1, cy = (c >> 1) & 1, cz = (c >> 2) & 1;
        corner[c] = grad3(hash3(ix + cx, iy + cy, iz + cz, seed), dx - cx, dy - cy, dz - cz);
    }
    const float x00 = lerp(corner[0], corner[1], u), x10 = lerp(corner[2], corner[3], u);
    const float x01 = lerp(corner[4], corner[5], u), x11 = lerp(corner[6], corner[7], u);
    return lerp(lerp(x00, x10, v), lerp(x01, x11, v), w);
}

float noise2(float x, float y, uint32_t seed) { return noise3(x, y, 0.37f, seed); }

float fbm3(float x, float y, float z, int octaves, float gain, uint32_t seed)
{
    float sum = 0.0f, amp = 1.0f, norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * noise3(x, y, z, seed + static_cast<uint32_t>(o) * 101u);
        norm += amp;
        amp *= gain;
        x *= 2.03f;
        y *= 2.03f;
        z *= 2.03f;
    }
    return sum / norm * 1.4f;
}

float fbm2(float x, float y, int octaves, float gain, uint32_t seed) { return fbm3(x, y, 0.37f, octaves, gain, seed); }

void cells2(float x, float y, uint32_t seed, float& f1, float& f2)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const auto ix = static_cast<int32_t>(fx), iy = static_cast<int32_t>(fy);
    f1 = f2 = 1e9f;
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            const uint32_t h = hash3(ix + i, iy + j, 0, seed);
            const float px = static_cast<float>(i) + static_cast<float>(h & 0xFFFFu) / 65536.0f;
            const float py = static_cast<float>(j) + static_cast<float>(h >> 16) / 65536.0f;
            const float dx = px - (x - fx), dy = py - (y - fy);
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d < f1) {
                f2 = f1;
                f1 = d;
            } else if (d < f2) {
                f2 = d;
            }
        }
    }
}
