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
static constexpr int FRACTION_BITS = 15;  // interpolation weight: (±65535 × 32767) still fits 32 bits

// ---- globals ----
static int alive = 0;  // buffers not yet released, for the tests

// ---- helpers ----

static uint64_t step_for(DWORD frequency) { return (static_cast<uint64_t>(frequency) << 32) / MIXER_RATE; }

// One sample on the 16-bit scale.
template <int Bits>
static inline int32_t sample_at(const uint8_t* data, size_t index)
{
    if constexpr (Bits == 8) {
        return (static_cast<int32_t>(data[index]) - 128) * 256;
    } else {
        int16_t value;
        std::memcpy(&value, data + index * 2, 2);
        return value;
    }
}

// Mixes n output frames, all of which have a next source frame to interpolate towards.
template <int Bits, int Channels>
static uint64_t mix_run(const uint8_t* data, uint64_t position, uint64_t step, int32_t gain_left,
                        int32_t gain_right, int32_t* sums, int n)
{
    for (int i = 0; i < n; ++i) {
        const size_t at = static_cast<size_t>(position >> 32) * Channels;
        const int32_t weight = static_cast<int32_t>(static_cast<uint32_t>(position) >> (32 - FRACTION_BITS));
        const int32_t l0 = sample_at<Bits>(data, at);
        const int32_t l1 = sample_at<Bits>(data, at + Channels);
        const int32_t left = l0 + (((l1 - l0) * weight) >> FRACTION_BITS);
        int32_t right = left;
        if constexpr (Channels == 2) {
            const int32_t r0 = sample_at<Bits>(data, at + 1);
            const int32_t r1 = sample_at<Bits>(data, at + 3);
            right = r0 + (((r1 - r0) * weight) >> FRACTION_BITS);
        }
        sums[2 * i] += (left * gain_left) >> 15;
        sums[2 * i + 1] += (right * gain_right) >> 15;
        position += step;
    }
    return position;
}

typedef uint64_t (*MixRun)(const uint8_t*, uint64_t, uint64_t, int32_t, int32_t, int32_t*, int);

static MixRun mix_run_for(const WAVEFORMATEX& f)
{
    if (f.wBitsPerSample == 8)
        return f.nChannels == 1 ? mix_run<8, 1> : mix_run<8, 2>;
    return f.nChannels == 1 ? mix_run<16, 1> : mix_run<16, 2>;
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
    const int64_t level = mixer_gain(volume);
    gain_left = static_cast<int32_t>(level * mixer_gain(pan > 0 ? -pan : 0) >> 15);
    gain_right = static_cast<int32_t>(level * mixer_gain(pan < 0 ? pan : 0) >> 15);
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

void SoundBuffer::frame_at(DWORD index, int32_t* left, int32_t* right) const
{
    const uint8_t* data = samples->bytes.get();
    const size_t at = static_cast<size_t>(index) * format.nChannels;
    if (format.wBitsPerSample == 8) {
        *left = sample_at<8>(data, at);
        *right = format.nChannels == 2 ? sample_at<8>(data, at + 1) : *left;
    } else {
        *left = sample_at<16>(data, at);
        *right = format.nChannels == 2 ? sample_at<16>(data, at + 1) : *left;
    }
}

// The last frame interpolates towards the first when the buffer loops, else it holds its value.
void SoundBuffer::mix_tail_frame(int32_t* sums)
{
    int32_t l0, r0, l1, r1;
    frame_at(frames - 1, &l0, &r0);
    frame_at(looping ? 0 : frames - 1, &l1, &r1);
    const int32_t weight = static_cast<int32_t>(static_cast<uint32_t>(position) >> (32 - FRACTION_BITS));
    const int32_t left = l0 + (((l1 - l0) * weight) >> FRACTION_BITS);
    const int32_t right = r0 + (((r1 - r0) * weight) >> FRACTION_BITS);
    sums[0] += (left * gain_left) >> 15;
    sums[1] += (right * gain_right) >> 15;
    position += step;
}

void SoundBuffer::mix(int32_t* sums, int count)
{
    if (!playing || frames == 0)
        return;
    const MixRun run = mix_run_for(format);
    const uint64_t length = static_cast<uint64_t>(frames) << 32;
    const uint64_t last = static_cast<uint64_t>(frames - 1) << 32;  // positions before it have a next frame
    while (count > 0) {
        if (position >= length) {
            if (!looping)
                break;
            position %= length;
        }
        if (position < last) {
            const uint64_t ahead = (last - position + step - 1) / step;
            const int n = ahead < static_cast<uint64_t>(count) ? static_cast<int>(ahead) : count;
            position = run(samples->bytes.get(), position, step, gain_left, gain_right, sums, n);
            sums += 2 * n;
            count -= n;
        } else {
            mix_tail_frame(sums);
            sums += 2;
            --count;
        }
    }
    // A one-shot stops as soon as its last frame has been mixed, and rewinds as the device does.
    if (!looping && position >= length) {
        playing = false;
        position = 0;
    }
}
