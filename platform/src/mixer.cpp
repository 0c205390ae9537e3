// mixer.cpp -- the one mixer: sums every attached voice at MIXER_RATE with saturation and hands the
// frames to the host's audio device; the device opens with the first user and closes with the last.
#include <algorithm>
#include <cmath>
#include <vector>

#include "audio_internal.h"
#include "host.h"

// ---- globals ----
// At namespace scope, so they outlive a host whose device thread still runs during exit.
static std::mutex lock;
static std::vector<MixerVoice*> voices;
static int device_users = 0;
static int32_t sums[MIXER_BLOCK * MIXER_CHANNELS];  // one render at a time: guarded by lock

// ---- voices ----

std::mutex& mixer_lock() { return lock; }

void mixer_attach(MixerVoice* voice) { voices.push_back(voice); }

void mixer_detach(MixerVoice* voice) { std::erase(voices, voice); }

int32_t mixer_gain(long hundredths_db)
{
    if (hundredths_db >= 0)
        return 32768;
    return static_cast<int32_t>(std::lround(32768.0 * std::pow(10.0, static_cast<double>(hundredths_db) / 2000.0)));
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
        std::fill_n(sums, n * MIXER_CHANNELS, 0);
        for (MixerVoice* voice : voices)
            voice->mix(sums, n);
        for (int i = 0; i < n * MIXER_CHANNELS; ++i)
            out[i] = static_cast<int16_t>(std::clamp(sums[i], -32768, 32767));
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
