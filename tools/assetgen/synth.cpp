// synth.cpp -- additive oscillators and simple filters at the effect sample rate.
#include "synth.h"

#include <cmath>
#include <numbers>

#include "maths.h"
#include "wav_writer.h"

// ---- public operations ----

float Oscillator::next(float frequency)
{
    phase_ += static_cast<double>(frequency) / SAMPLE_RATE;
    phase_ -= std::floor(phase_);
    float sum = 0.0f;
    const int step = odd_only_ ? 2 : 1;
    for (int k = 1; k <= harmonics_ && k * frequency < 5000.0f; k += step)
        sum += static_cast<float>(std::sin(2.0 * std::numbers::pi * phase_ * k)) / static_cast<float>(k);
    return sum;
}

float LowPass::next(float in, float cutoff_hz)
{
    const float a = 1.0f - std::exp(-2.0f * PI * cutoff_hz / SAMPLE_RATE);
    state_ += a * (in - state_);
    return state_;
}

int samples(float seconds) { return static_cast<int>(seconds * SAMPLE_RATE); }

float envelope(float t, float attack, float decay)
{
    if (t < attack)
        return t / attack;
    return std::exp(-(t - attack) / decay);
}

float white(Rng& rng) { return rng.unit() * 2.0f - 1.0f; }

void fade_out(Signal& s, float seconds)
{
    const int n = std::min(samples(seconds), static_cast<int>(s.size()));
    for (int i = 0; i < n; ++i)
        s[s.size() - 1 - static_cast<size_t>(i)] *= static_cast<float>(i) / static_cast<float>(n);
}
