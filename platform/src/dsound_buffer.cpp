// dsound_buffer.cpp -- a software sound buffer: locks into its samples, play state, the volume,
// pan and frequency controls its caps allow, and its voice in the mixer (linear interpolation).
#include <algorithm>
#include <cstring>
#include <new>

#include "dsound_internal.h"
#include "internal.h"

// ---- constants ----
static constexpr DWORD RATE_MIN = DSBFREQUENCY_MIN;
static constexpr DWORD RATE_MAX = 100000;  // the DirectSound 7 range
static constexpr int FRACTION_BITS = 15;  // 16-bit interpolation weight: ±65535 × 32767 still fits 32 bits

// ---- globals ----
static int alive = 0;  // buffers not yet released, for the tests

// ---- helpers ----

static uint64_t step_for(DWORD frequency) { return (static_cast<uint64_t>(frequency) << 32) / MIXER_RATE; }

// One 16-bit sample, however the buffer's bytes are aligned.
static inline int32_t sample16_at(const uint8_t* data, size_t index)
{
    int16_t value;
    std::memcpy(&value, data + index * 2, 2);
    return value;
}

// One interpolated sample, `fraction` of the way from frame a to frame b. 16-bit samples come out
// on their own scale; 8-bit ones 32768 above it (the mixer takes the bias off four at a time),
// weighed in 8 bits, which keeps every step of a 16-bit result.
template <int Bits>
static inline int32_t interpolate(const uint8_t* data, size_t a, size_t b, uint32_t fraction)
{
    if constexpr (Bits == 8) {
        const int32_t s0 = data[a];
        const int32_t s1 = data[b];
        return s0 * 256 + (s1 - s0) * static_cast<int32_t>(fraction >> 24);
    } else {
        const int32_t s0 = sample16_at(data, a);
        const int32_t s1 = sample16_at(data, b);
        return s0 + (((s1 - s0) * static_cast<int32_t>(fraction >> (32 - FRACTION_BITS))) >> FRACTION_BITS);
    }
}

// Resamples n frames into out (one value a frame, or left and right), all of which have a next
// source frame to interpolate towards; returns the position after them. The position advances as
// a frame index and a 32-bit fraction whose carry moves the index on.
template <int Bits, int Channels>
static uint64_t resample_run(const uint8_t* data, uint64_t position, uint64_t step, int32_t* out, int n)
{
    auto index = static_cast<uint32_t>(position >> 32);
    auto fraction = static_cast<uint32_t>(position);
    const auto step_index = static_cast<uint32_t>(step >> 32);
    const auto step_fraction = static_cast<uint32_t>(step);
#pragma GCC unroll 4
    for (int i = 0; i < n; ++i) {
        const size_t at = static_cast<size_t>(index) * Channels;
        out[i * Channels] = interpolate<Bits>(data, at, at + Channels, fraction);
        if constexpr (Channels == 2)
            out[i * 2 + 1] = interpolate<Bits>(data, at + 1, at + 3, fraction);
        const uint32_t next = fraction + step_fraction;
        index += step_index + (next < fraction ? 1 : 0);
        fraction = next;
    }
    return (static_cast<uint64_t>(index) << 32) | fraction;
}

typedef uint64_t (*ResampleRun)(const uint8_t*, uint64_t, uint64_t, int32_t*, int);

static ResampleRun resample_run_for(const WAVEFORMATEX& f)
{
    if (f.wBitsPerSample == 8)
        return f.nChannels == 1 ? resample_run<8, 1> : resample_run<8, 2>;
    return f.nChannels == 1 ? resample_run<16, 1> : resample_run<16, 2>;
}

// ---- life ----

SoundBuffer::SoundBuffer(std::shared_ptr<SampleData> data, const WAVEFORMATEX& wave_format, DWORD buffer_caps)
    : samples(std::move(data)), format(wave_format), caps(buffer_caps)
{
    frame_bytes = format.nBlockAlign;
    frames = samples->size / frame_bytes;
    frequency = format.nSamplesPerSec;
    step = step_for(frequency);
    ++alive;
    attach();
}

void SoundBuffer::attach()
{
    std::lock_guard<std::mutex> hold(mixer_lock());
    mixer_attach(this);
}

SoundBuffer::~SoundBuffer()
{
    std::lock_guard<std::mutex> hold(mixer_lock());
    mixer_detach(this);
    --alive;
}

SoundBuffer* SoundBuffer::duplicate() const
{
    auto* copy = new (std::nothrow) SoundBuffer(samples, format, caps);
    if (!copy)
        return nullptr;
    std::lock_guard<std::mutex> hold(mixer_lock());
    copy->volume = volume;
    copy->pan = pan;
    copy->frequency = frequency;
    copy->step = step;
    copy->update_gains();
    return copy;
}

int sound_buffers_alive() { return alive; }

// ---- play state ----

HRESULT SoundBuffer::Play(DWORD reserved, DWORD priority, DWORD flags)
{
    if (const HRESULT hr = fault_check("IDirectSoundBuffer::Play"); FAILED(hr))
        return hr;
    if (reserved != 0 || (priority != 0 && !(caps & DSBCAPS_LOCDEFER)))
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(mixer_lock());
    playing = true;
    looping = (flags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
}

HRESULT SoundBuffer::Stop()
{
    if (const HRESULT hr = fault_check("IDirectSoundBuffer::Stop"); FAILED(hr))
        return hr;
    std::lock_guard<std::mutex> hold(mixer_lock());
    playing = false;  // the position stays where the mixer left it
    return DS_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(DWORD new_position)
{
    if (const HRESULT hr = fault_check("IDirectSoundBuffer::SetCurrentPosition"); FAILED(hr))
        return hr;
    if (new_position >= samples->size)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(mixer_lock());
    position = static_cast<uint64_t>(new_position / frame_bytes) << 32;
    return DS_OK;
}

HRESULT SoundBuffer::GetStatus(LPDWORD status)
{
    if (!status)
        return DSERR_INVALIDPARAM;
    if (const HRESULT hr = fault_check("IDirectSoundBuffer::GetStatus"); FAILED(hr))
        return hr;
    std::lock_guard<std::mutex> hold(mixer_lock());
    *status = playing ? (DSBSTATUS_PLAYING | (looping ? DSBSTATUS_LOOPING : 0)) : 0;
    return DS_OK;
}

// ---- controls ----

void SoundBuffer::update_gains()
{
    gain_left = mixer_gain(volume + (pan > 0 ? -pan : 0));
    gain_right = mixer_gain(volume + (pan < 0 ? pan : 0));
}

HRESULT SoundBuffer::SetVolume(LONG new_volume)
{
    if (const HRESULT hr = fault_check("IDirectSoundBuffer::SetVolume"); FAILED(hr))
        return hr;
    if (!(caps & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    if (new_volume < DSBVOLUME_MIN || new_volume > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(mixer_lock());
    volume = new_volume;
    update_gains();
    return DS_OK;
}

HRESULT SoundBuffer::SetPan(LONG new_pan)
{
    if (const HRESULT hr = fault_check("IDirectSoundBuffer::SetPan"); FAILED(hr))
        return hr;
    if (!(caps & DSBCAPS_CTRLPAN))
        return DSERR_CONTROLUNAVAIL;
    if (new_pan < DSBPAN_LEFT || new_pan > DSBPAN_RIGHT)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(mixer_lock());
    pan = new_pan;
    update_gains();
    return DS_OK;
}

HRESULT SoundBuffer::SetFrequency(DWORD new_frequency)
{
    if (const HRESULT hr = fault_check("IDirectSoundBuffer::SetFrequency"); FAILED(hr))
        return hr;
    if (!(caps & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    if (new_frequency == DSBFREQUENCY_ORIGINAL)
        new_frequency = format.nSamplesPerSec;
    if (new_frequency < RATE_MIN || new_frequency > RATE_MAX)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(mixer_lock());
    frequency = new_frequency;
    step = step_for(frequency);
    return DS_OK;
}

// ---- locks ----
// The samples are written in place; a static buffer is locked while it is silent, so the mixer
// never reads a half-written region.

HRESULT SoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD audio1_bytes, LPVOID* audio2,
                          LPDWORD audio2_bytes, DWORD flags)
{
    if (!audio1 || !audio1_bytes)
        return DSERR_INVALIDPARAM;
    *audio1 = nullptr;
    *audio1_bytes = 0;
    if (audio2)
        *audio2 = nullptr;
    if (audio2_bytes)
        *audio2_bytes = 0;
    if (const HRESULT hr = fault_check("IDirectSoundBuffer::Lock"); FAILED(hr))
        return hr;
    const DWORD size = samples->size;
    if (flags & DSBLOCK_FROMWRITECURSOR) {
        std::lock_guard<std::mutex> hold(mixer_lock());
        offset = static_cast<DWORD>(position >> 32) * frame_bytes;
    }
    if (flags & DSBLOCK_ENTIREBUFFER)
        bytes = size;
    if (bytes == 0 || bytes > size || offset >= size)
        return DSERR_INVALIDPARAM;
    const DWORD first = std::min(bytes, size - offset);
    if (first < bytes && (!audio2 || !audio2_bytes))
        return DSERR_INVALIDPARAM;  // the region wraps, and the caller has nowhere to take the rest
    *audio1 = samples->bytes.get() + offset;
    *audio1_bytes = first;
    if (first < bytes) {
        *audio2 = samples->bytes.get();
        *audio2_bytes = bytes - first;
    }
    return DS_OK;
}

bool SoundBuffer::bytes_inside(const void* start, DWORD bytes) const
{
    const uint8_t* begin = samples->bytes.get();
    const auto* p = static_cast<const uint8_t*>(start);
    return p >= begin && p <= begin + samples->size && bytes <= static_cast<DWORD>(begin + samples->size - p);
}

HRESULT SoundBuffer::Unlock(LPVOID audio1, DWORD audio1_bytes, LPVOID audio2, DWORD audio2_bytes)
{
    if (const HRESULT hr = fault_check("IDirectSoundBuffer::Unlock"); FAILED(hr))
        return hr;
    if (!audio1 || !bytes_inside(audio1, audio1_bytes))
        return DSERR_INVALIDPARAM;
    if (audio2 && !bytes_inside(audio2, audio2_bytes))
        return DSERR_INVALIDPARAM;
    return DS_OK;
}

// ---- the mixer's voice ----

// The last frame interpolates towards the first when the buffer loops, else it holds its value.
void SoundBuffer::resample_tail_frame(int32_t* out)
{
    const uint8_t* data = samples->bytes.get();
    const int channels = format.nChannels;
    const size_t last = static_cast<size_t>(frames - 1) * channels;
    const size_t next = looping ? 0 : last;
    const auto fraction = static_cast<uint32_t>(position);
    for (int c = 0; c < channels; ++c)
        out[c] = format.wBitsPerSample == 8 ? interpolate<8>(data, last + c, next + c, fraction)
                                            : interpolate<16>(data, last + c, next + c, fraction);
    position += step;
}

// Resamples up to `count` frames into `out`; fewer when a one-shot ends first.
int SoundBuffer::resample(int32_t* out, int count)
{
    const ResampleRun run = resample_run_for(format);
    const int channels = format.nChannels;
    const uint64_t length = static_cast<uint64_t>(frames) << 32;
    const uint64_t last = static_cast<uint64_t>(frames - 1) << 32;  // positions before it have a next frame
    int done = 0;
    while (done < count) {
        if (position >= length) {
            if (!looping)
                break;
            position %= length;
        }
        if (position < last) {
            const uint64_t ahead = (last - position + step - 1) / step;
            const int left = count - done;
            const int n = ahead < static_cast<uint64_t>(left) ? static_cast<int>(ahead) : left;
            position = run(samples->bytes.get(), position, step, out + channels * done, n);
            done += n;
        } else {
            resample_tail_frame(out + channels * done);
            ++done;
        }
    }
    return done;
}

void SoundBuffer::mix(float* sums, int count)
{
    if (!playing || frames == 0)
        return;
    alignas(16) int32_t resampled[MIXER_BLOCK * MIXER_CHANNELS];
    const int made = resample(resampled, count);
    const float bias = format.wBitsPerSample == 8 ? -32768.0f : 0.0f;
    if (format.nChannels == 1)
        mixer_add_mono(sums, resampled, made, bias, gain_left, gain_right);
    else
        mixer_add_stereo(sums, resampled, made, bias, gain_left, gain_right);
    // A one-shot stops as soon as its last frame has been mixed, and rewinds as the device does.
    if (!looping && position >= static_cast<uint64_t>(frames) << 32) {
        playing = false;
        position = 0;
    }
}
