// synth.h -- the sound-effect building blocks: band-limited oscillators, noise, envelopes and filters.
#pragma once
#include <cstdint>
#include <vector>

#include "rng.h"

using Signal = std::vector<float>;

// An oscillator whose pitch may change every sample; it keeps its phase, so sweeps stay smooth.
// Harmonics above 5 kHz are left out, which keeps sweeps free of aliasing at 11025 Hz.
class Oscillator {
public:
    // `odd_only` gives a square-like tone, otherwise saw-like; `harmonics` caps the brightness.
    Oscillator(int harmonics, bool odd_only) : harmonics_(harmonics), odd_only_(odd_only) {}
    float next(float frequency);

private:
    int harmonics_;
    bool odd_only_;
    double phase_ = 0.0;
};

// One-pole low-pass filter; the cutoff may change every sample.
class LowPass {
public:
    float next(float in, float cutoff_hz);

private:
    float state_ = 0.0f;
};

// Seconds to samples at the effect rate.
int samples(float seconds);

// Attack-then-exponential-decay envelope at time t: rises linearly over `attack`, then falls with
// time constant `decay`.
float envelope(float t, float attack, float decay);

// White noise in [-1, 1].
float white(Rng& rng);

// Lets the last `seconds` fade to silence so an effect never ends on a click.
void fade_out(Signal& s, float seconds);
