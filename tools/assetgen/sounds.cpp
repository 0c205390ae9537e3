// sounds.cpp -- the four sound effects, synthesised from oscillators, noise, envelopes and filters.
#include <cmath>
#include <numbers>

#include "asset_contract.h"
#include "assets.h"
#include "maths.h"
#include "synth.h"
#include "wav_writer.h"

// ---- helpers ----

// A short bright zap: two saw-like voices a fifth apart diving from a high pitch, fast decay.
static Signal laser()
{
    Signal s(static_cast<size_t>(samples(0.30f)));
    Oscillator a(24, false), b(24, false);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        const float f = 320.0f + 2600.0f * std::exp(-t * 14.0f);
        const float wobble = 1.0f + 0.03f * std::sin(t * 2.0f * PI * 38.0f);
        s[i] = (a.next(f * wobble) + 0.5f * b.next(f * 1.5f)) * envelope(t, 0.003f, 0.075f);
    }
    fade_out(s, 0.02f);
    return s;
}

// A heavy boom: a sine thump falling in pitch under a burst of noise whose brightness dies away,
// driven into a soft saturation for weight.
static Signal cannon()
{
    Signal s(static_cast<size_t>(samples(1.5f)));
    Rng rng(2024u);
    LowPass body, crack;
    double phase = 0.0;
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        phase += (36.0 + 90.0 * std::exp(-t * 9.0)) / SAMPLE_RATE;
        const float thump = static_cast<float>(std::sin(2.0 * std::numbers::pi * phase)) * envelope(t, 0.004f, 0.32f);
        const float n = white(rng);
        const float rumble = body.next(n, 180.0f + 2600.0f * std::exp(-t * 6.0f)) * envelope(t, 0.002f, 0.45f) * 2.2f;
        const float snap = crack.next(n, 4000.0f) * envelope(t, 0.001f, 0.025f) * 0.8f;
        s[i] = std::tanh(1.6f * (thump + rumble + snap));
    }
    fade_out(s, 0.25f);
    return s;
}

// A rising level-up chirp: five quick square-toned notes climbing a major arpeggio, each gliding up
// into its pitch, over a soft rising whistle.
static Signal chirp()
{
    static const float notes[] = {523.25f, 659.25f, 783.99f, 1046.5f, 1318.5f};
    const float step = 0.075f;
    Signal s(static_cast<size_t>(samples(0.62f)));
    Oscillator tone(9, true), whistle(1, false);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        const int k = std::min(static_cast<int>(t / step), 4);
        const float local = t - static_cast<float>(k) * step;
        const float f = notes[k] * (1.0f - 0.06f * std::exp(-local * 60.0f)) * (1.0f + 0.008f * std::sin(t * 40.0f));
        const float decay = k == 4 ? 0.14f : 0.06f;
        const float v = tone.next(f) * envelope(local, 0.004f, decay);
        const float w = 0.25f * whistle.next(500.0f + 2000.0f * t) * envelope(t, 0.05f, 0.25f);
        s[i] = v + w;
    }
    fade_out(s, 0.05f);
    return s;
}

// A low engine hum: a saw-like drone and its fifth, a throb, and filtered rumble; two seconds long,
// whole cycles of every part, so it loops without a seam. A tenth of a second more is made and laid
// over the head, so the noise loops smoothly too.
static Signal engine_hum()
{
    Signal s(static_cast<size_t>(samples(2.1f)));
    Oscillator low(40, false), fifth(40, false);
    LowPass tone, rumble;
    Rng rng(77u);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = static_cast<float>(i) / SAMPLE_RATE;
        const float throb = 1.0f + 0.18f * std::sin(2.0f * PI * 6.0f * t);
        const float drone = tone.next(low.next(55.0f) + 0.5f * fifth.next(82.5f), 700.0f);
        s[i] = (drone + 0.6f * rumble.next(white(rng), 150.0f) * 3.0f) * throb;
    }
    const int blend = samples(0.1f);
    for (int i = 0; i < blend; ++i) {
        const float w = static_cast<float>(i) / static_cast<float>(blend);
        const size_t tail = s.size() - static_cast<size_t>(blend) + static_cast<size_t>(i);
        s[static_cast<size_t>(i)] = s[static_cast<size_t>(i)] * w + s[tail] * (1.0f - w);
    }
    s.resize(s.size() - static_cast<size_t>(blend));
    return s;
}

// ---- public operations ----

std::vector<SoundAsset> make_sounds()
{
    return {{ENGINE_SOUND_FILE, engine_hum()},
            {LASER_SOUND_FILE, laser()},
            {EXPLOSION_SOUND_FILE, cannon()},
            {LEVEL_SOUND_FILE, chirp()}};
}
