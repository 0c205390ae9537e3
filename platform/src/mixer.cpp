// mixer.cpp -- the one mixer: sums every attached voice at MIXER_RATE with saturation and hands the
// frames to the host's audio device; the device opens with the first user and closes with the last.
// The plain passes here are the references of the vector ones in mixer_fast.cpp.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "audio_internal.h"
#include "host.h"
#include "host_reports.h"

// ---- globals ----
// At namespace scope, so they outlive a host whose device thread still runs during exit.
static std::mutex lock;
static std::vector<MixerVoice*> voices;
static int device_users = 0;
alignas(16) static float sums[MIXER_BLOCK * MIXER_CHANNELS];  // one render at a time: guarded by lock

// ---- voices and gains ----

std::mutex& mixer_lock() { return lock; }

void mixer_attach(MixerVoice* voice) { voices.push_back(voice); }

void mixer_detach(MixerVoice* voice) { std::erase(voices, voice); }

float mixer_gain(long hundredths_db)
{
    if (hundredths_db >= 0)
        return 1.0f;
    if (hundredths_db <= -10000)
        return 0.0f;  // DirectSound's floor is silence
    return static_cast<float>(std::pow(10.0, static_cast<double>(hundredths_db) / 2000.0));
}

// Half a cosine period, so the fade starts and ends without a bend as well as without a step.
static const std::array<float, MIXER_DECLICK_FRAMES> declick_gains = [] {
    std::array<float, MIXER_DECLICK_FRAMES> gains{};
    for (int i = 0; i < MIXER_DECLICK_FRAMES; ++i)
        gains[i] =
            static_cast<float>(0.5 + 0.5 * std::cos(3.14159265358979323846 * (i + 1) / (MIXER_DECLICK_FRAMES + 1)));
    return gains;
}();

const float* mixer_declick_gains() { return declick_gains.data(); }

// ---- the plain passes ----
// One sample at a time: the references of the vector passes in mixer_fast.cpp.

void mixer_add_plain(float* sums, const float* frames, int count, float gain_left, float gain_right)
{
    for (int i = 0; i < count; ++i) {
        sums[2 * i] += frames[2 * i] * gain_left;
        sums[2 * i + 1] += frames[2 * i + 1] * gain_right;
    }
}

void mixer_add_planes_plain(float* sums, const float* left, const float* right, int count, float gain_left,
                            float gain_right)
{
    for (int i = 0; i < count; ++i) {
        sums[2 * i] += left[i] * gain_left;
        sums[2 * i + 1] += right[i] * gain_right;
    }
}

void mixer_saturate_plain(const float* sums, int16_t* out, int count)
{
    for (int i = 0; i < count; ++i) {
        const float v = std::clamp(sums[i], -32768.0f, 32767.0f);
        out[i] = static_cast<int16_t>(v < 0.0f ? v - 0.5f : v + 0.5f);
    }
}

// ---- the device ----
// Opened and closed outside the lock: closing waits for the device's thread, which takes it.

bool mixer_open_device()
{
    if (device_users == 0 && !host().open_audio(MIXER_RATE, MIXER_CHANNELS))
        return false;
    ++device_users;
    return true;
}

void mixer_close_device()
{
    if (device_users > 0 && --device_users == 0)
        host().close_audio();
}

// ---- rendering ----

void mixer_render(int16_t* out, int frames)
{
    std::lock_guard<std::mutex> hold(lock);
    while (frames > 0) {
        const int n = std::min(frames, MIXER_BLOCK);
        std::fill_n(sums, n * MIXER_CHANNELS, 0.0f);
        for (MixerVoice* voice : voices)
            voice->mix(sums, n);
        mixer_saturate_fast(sums, out, n * MIXER_CHANNELS);
        out += n * MIXER_CHANNELS;
        frames -= n;
    }
}

void host_audio_render(int16_t* samples, int frames) { mixer_render(samples, frames); }

void mixer_process_end()
{
    std::lock_guard<std::mutex> hold(lock);
    voices.clear();
    device_users = 0;
}
