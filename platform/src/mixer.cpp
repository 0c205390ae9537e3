// mixer.cpp -- the one mixer: sums every attached voice at MIXER_RATE with saturation and hands the
// frames to the host's audio device; the device opens with the first user and closes with the last.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "audio_internal.h"
#include "host.h"

// ---- records ----
// Four lanes the compiler keeps in one vector register, whatever the machine.
typedef float Float4 __attribute__((vector_size(16)));
typedef int32_t Int4 __attribute__((vector_size(16)));
typedef int16_t Short4 __attribute__((vector_size(8)));

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

// Interleaved frames of either kind into the sums: four lanes at a time, then the last pair.
template <class Sample, class Sample4>
static void add_stereo(float* to, const Sample* frames, int count, float bias, float gain_left, float gain_right)
{
    const Float4 gains = {gain_left, gain_right, gain_left, gain_right};
    const int samples = count * MIXER_CHANNELS;
    int i = 0;
    for (; i + 4 <= samples; i += 4) {
        Sample4 values;
        Float4 sum;
        std::memcpy(&values, frames + i, sizeof values);
        std::memcpy(&sum, to + i, sizeof sum);
        sum += (__builtin_convertvector(values, Float4) + bias) * gains;
        std::memcpy(to + i, &sum, sizeof sum);
    }
    for (; i < samples; i += 2) {
        to[i] += (static_cast<float>(frames[i]) + bias) * gain_left;
        to[i + 1] += (static_cast<float>(frames[i + 1]) + bias) * gain_right;
    }
}

void mixer_add(float* to, const float* frames, int count, float gain_left, float gain_right)
{
    add_stereo<float, Float4>(to, frames, count, 0.0f, gain_left, gain_right);
}

void mixer_add_stereo(float* to, const int32_t* frames, int count, float bias, float gain_left, float gain_right)
{
    add_stereo<int32_t, Int4>(to, frames, count, bias, gain_left, gain_right);
}

void mixer_add_mono(float* to, const int32_t* frames, int count, float bias, float gain_left, float gain_right)
{
    const Float4 gains = {gain_left, gain_right, gain_left, gain_right};
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        Int4 values;
        Float4 sum_low, sum_high;
        std::memcpy(&values, frames + i, sizeof values);
        const Float4 f = __builtin_convertvector(values, Float4) + bias;
        std::memcpy(&sum_low, to + 2 * i, sizeof sum_low);
        std::memcpy(&sum_high, to + 2 * i + 4, sizeof sum_high);
        sum_low += __builtin_shufflevector(f, f, 0, 0, 1, 1) * gains;
        sum_high += __builtin_shufflevector(f, f, 2, 2, 3, 3) * gains;
        std::memcpy(to + 2 * i, &sum_low, sizeof sum_low);
        std::memcpy(to + 2 * i + 4, &sum_high, sizeof sum_high);
    }
    for (; i < count; ++i) {
        const float f = static_cast<float>(frames[i]) + bias;
        to[2 * i] += f * gain_left;
        to[2 * i + 1] += f * gain_right;
    }
}

// Four sums as 16-bit samples: rounded to the nearest, saturated rather than wrapped.
static inline void saturate4(const float* from, int16_t* out)
{
    const Float4 low = {-32768.0f, -32768.0f, -32768.0f, -32768.0f};
    const Float4 high = {32767.0f, 32767.0f, 32767.0f, 32767.0f};
    const Float4 zero = {};
    const Float4 half = {0.5f, 0.5f, 0.5f, 0.5f};
    Float4 v;
    std::memcpy(&v, from, sizeof v);
    v = v < low ? low : v;
    v = v > high ? high : v;
    v += v < zero ? -half : half;
    const Short4 samples = __builtin_convertvector(__builtin_convertvector(v, Int4), Short4);
    std::memcpy(out, &samples, sizeof samples);
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
        // MIXER_CHANNELS × n is even: a last pair is padded to four.
        for (int i = 0; i < n * MIXER_CHANNELS; i += 4) {
            if (i + 4 <= n * MIXER_CHANNELS) {
                saturate4(sums + i, out + i);
            } else {
                int16_t last[4];
                saturate4(sums + i, last);
                out[i] = last[0];
                out[i + 1] = last[1];
            }
        }
        out += n * MIXER_CHANNELS;
        frames -= n;
    }
}

void host_audio_render(int16_t* samples, int frames) { mixer_render(samples, frames); }

void mixer_reset()
{
    std::lock_guard<std::mutex> hold(lock);
    voices.clear();
    device_users = 0;
}
