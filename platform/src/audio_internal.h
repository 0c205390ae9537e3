// audio_internal.h -- what the stand-in's sound and music share: the mixer, its lock and its voices.
// The host's audio device pulls the mixer on a thread of its own, so every change to what a voice
// plays, and every render, happens under mixer_lock().
#pragma once
#include <cstdint>
#include <mutex>
#include <string>

// ---- mixer.cpp ----
constexpr int MIXER_RATE = 44100;  // output frames per second
constexpr int MIXER_CHANNELS = 2;  // left, right interleaved
constexpr int MIXER_BLOCK = 1024;  // frames a voice is asked for at most at once

// Something the mixer plays: a sound buffer or the synthesizer.
class MixerVoice {
public:
    // Adds `frames` (≤ MIXER_BLOCK) stereo frames into sums (left, right interleaved, on the 16-bit
    // scale). Runs under mixer_lock() on the device's thread: no allocation, no waiting.
    virtual void mix(float* sums, int frames) = 0;

protected:
    ~MixerVoice() = default;
};

std::mutex& mixer_lock();
void mixer_attach(MixerVoice* voice);  // caller holds mixer_lock()
void mixer_detach(MixerVoice* voice);  // caller holds mixer_lock(); unknown voices are ignored
// The first user opens the host's audio device, the last one closes it; false when there is none.
bool mixer_open_device();
void mixer_close_device();
// Renders interleaved 16-bit stereo frames of every attached voice, sums saturated.
void mixer_render(int16_t* out, int frames);
void mixer_reset();  // detaches every voice and forgets the device's users

// The gain of an attenuation in hundredths of a decibel: 1 for 0, silence at -10000 and below.
float mixer_gain(long hundredths_db);
// sums += frames × (gain_left, gain_right), for `count` interleaved stereo frames.
void mixer_add(float* sums, const float* frames, int count, float gain_left, float gain_right);
// The same for resampled frames: one value a frame (mono) or two, each `bias` off the 16-bit scale.
void mixer_add_mono(float* sums, const int32_t* frames, int count, float bias, float gain_left, float gain_right);
void mixer_add_stereo(float* sums, const int32_t* frames, int count, float bias, float gain_left,
                      float gain_right);

// ---- dmusic_performance.cpp ----
void music_reset();  // forgets the test's soundfont choice and the COM start-up count
// The soundfont the synthesizer loads: a test's choice, else the first of the system's usual
// General MIDI files that exists; "" when there is none.
std::string soundfont_path();
void soundfont_override(const char* path);  // null: the system's search; "": none

// ---- dsound_buffer.cpp, dmusic_segment.cpp ----
int sound_buffers_alive();
int music_segments_alive();

// ---- com.cpp ----
void com_reset();

// ---- testing_audio.cpp ----
void audio_reset();  // the mixer, the soundfont choice and COM, as at the start
