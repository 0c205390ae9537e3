// maths.h -- the scalar helpers every painter and the synthesizer share: the one pi, clamping and
// smooth steps.
#pragma once
#include <algorithm>
#include <numbers>

// ---- constants ----
constexpr float PI = std::numbers::pi_v<float>;

// ---- public operations ----
inline float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }
inline float smoothstep(float e0, float e1, float x)
{
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}
