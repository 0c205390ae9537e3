// vec3.h -- the small 3D vector algebra the lit renderings (rock, hull, saucer) share.
#pragma once
#include <cmath>

struct Vec3 {
    float x = 0, y = 0, z = 0;
};
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float length(Vec3 a) { return std::sqrt(dot(a, a)); }
inline Vec3 normalize(Vec3 a)
{
    const float l = length(a);
    return l > 0.0f ? a * (1.0f / l) : Vec3{0, 0, 1};
}

// Rotates `v` by `angle` radians about the unit axis `k` (Rodrigues' formula).
inline Vec3 rotate(Vec3 v, Vec3 k, float angle)
{
    const float c = std::cos(angle), s = std::sin(angle);
    return v * c + cross(k, v) * s + k * (dot(k, v) * (1.0f - c));
}

// Screen space for every lit picture: x right, y down, z toward the viewer. The key light comes from
// the upper left and in front, as players expect on a screen lit from above.
inline Vec3 key_light() { return normalize({-0.55f, -0.62f, 0.56f}); }

// Blinn-Phong highlight strength for a normal, seen straight on.
inline float highlight(Vec3 n, float power)
{
    const Vec3 h = normalize(key_light() + Vec3{0, 0, 1});
    return std::pow(std::max(dot(n, h), 0.0f), power);
}
