// rng.h -- the generator's only source of chance: a seeded PCG32, so every run draws the same numbers.
#pragma once
#include <cstdint>

class Rng {
public:
    explicit Rng(uint64_t seed) : state_(0), inc_((seed << 1u) | 1u)
    {
        next();
        state_ += seed * 0x9E3779B97F4A7C15ull;
        next();
    }

    // 32 uniform bits.
    uint32_t next()
    {
        const uint64_t old = state_;
        state_ = old * 6364136223846793005ull + inc_;
        const auto xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
        const auto rot = static_cast<uint32_t>(old >> 59u);
        return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
    }

    // Uniform in [0, 1).
    float unit() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }

    // Uniform in [lo, hi).
    float range(float lo, float hi) { return lo + (hi - lo) * unit(); }

    // Uniform integer in [0, n); n must be positive.
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

    // True with probability p.
    bool chance(float p) { return unit() < p; }

private:
    uint64_t state_;
    uint64_t inc_;
};
