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

// A cut (a stop, a rewind, a restart) does not end a voice's sound at once: what it was playing
// fades out over this many frames (2 ms) beside whatever starts, since a step is heard as a click
// across the whole band. The gain of fade frame i (0 … MIXER_DECLICK_FRAMES - 1), falling from 1 to 0.
constexpr int MIXER_DECLICK_FRAMES = 88;
const float* mixer_declick_gains();

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
void mixer_process_end();  // detaches every voice and forgets the device's users

// The gain of an attenuation in hundredths of a decibel: 1 for 0, silence at -10000 and below.
float mixer_gain(long hundredths_db);

// ---- the mixer's passes: mixer_fast.cpp, each beside its plain twin in mixer.cpp ----
// sums += frames × (gain_left, gain_right), for `count` interleaved stereo frames.
void mixer_add_fast(float* sums, const float* frames, int count, float gain_left, float gain_right);
void mixer_add_plain(float* sums, const float* frames, int count, float gain_left, float gain_right);
// The same for a voice's two planes (a mono voice passes its one plane twice).
void mixer_add_planes_fast(float* sums, const float* left, const float* right, int count, float gain_left,
                           float gain_right);
void mixer_add_planes_plain(float* sums, const float* left, const float* right, int count, float gain_left,
                            float gain_right);
// `count` sums (an even number) as 16-bit samples: rounded to the nearest, saturated, not wrapped.
void mixer_saturate_fast(const float* sums, int16_t* out, int count);
void mixer_saturate_plain(const float* sums, int16_t* out, int count);

// ---- resampler.cpp: band-limited resampling ----
// Each output frame below the source's rate is made from RESAMPLE_TAPS source frames around its
// position, weighed by the windowed-sinc taps of the nearest of RESAMPLE_PHASES steps between two
// frames (row RESAMPLE_PHASES is row 0 moved on by one frame).
constexpr int RESAMPLE_TAPS = 24;
constexpr int RESAMPLE_PHASE_BITS = 10;
constexpr int RESAMPLE_PHASES = 1 << RESAMPLE_PHASE_BITS;
constexpr uint64_t RESAMPLE_UNIT = uint64_t{1} << 32;  // one frame in a 32.32 fixed-point position

// The tap rows, (RESAMPLE_PHASES + 1) × RESAMPLE_TAPS floats, 32-byte aligned; built on the first call.
const float* resample_taps();
// The row for a 32.32 position: the phase nearest its fraction.
inline int resample_phase(uint64_t position)
{
    return static_cast<int>(((position & 0xFFFFFFFF) + (uint64_t{1} << (31 - RESAMPLE_PHASE_BITS))) >>
                            (32 - RESAMPLE_PHASE_BITS));
}
// Source frames a resampler reads on each side of a position's frame for this step: 0 at the
// source's own rate (frames are copied), RESAMPLE_TAPS / 2 below it, more above it.
int resample_reach(uint64_t step);
// out[j] = source at position + j × step (32.32, frames of `source`) for j < count, filtered below
// both rates' Nyquist frequencies; `source` holds resample_reach(step) frames on each side of every
// position's frame. Chooses the copy, the polyphase pass or the stretched filter by the step.
void resample(const float* source, uint64_t position, uint64_t step, float* out, int count);
// The polyphase pass for steps below one frame: the vector form and its plain twin.
void resample_polyphase_fast(const float* source, uint64_t position, uint64_t step, float* out, int count);
void resample_polyphase_plain(const float* source, uint64_t position, uint64_t step, float* out, int count);

// ---- dmusic_performance.cpp ----
// The soundfont the synthesizer loads: the machine's, else the first of the system's usual General
// MIDI files that exists; "" when there is none.
std::string soundfont_path();

// ---- dsound_buffer.cpp, dmusic_segment.cpp ----
int sound_buffers_alive();
int music_segments_alive();

// ---- com.cpp ----
void com_process_end();  // as if every CoInitialize had been matched
