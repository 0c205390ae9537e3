// dsound_buffer.cpp -- a software sound buffer: locks into its samples, play state, the volume,
// pan and frequency controls its caps allow, and its voice in the mixer (band-limited resampling).
#include <algorithm>
#include <cstring>
#include <type_traits>
#include <new>

#include "dsound_internal.h"
#include "internal.h"

// ---- constants ----
static constexpr DWORD RATE_MIN = DSBFREQUENCY_MIN;
static constexpr DWORD RATE_MAX = 100000;  // the DirectSound 7 range
// Source frames one render step reads, a channel: enough for a block at the highest rate with the
// stretched filter's reach on both sides; longer runs are rendered in pieces.
static constexpr int SPAN_FRAMES = 4096;
static_assert(MIXER_BLOCK * uint64_t{RATE_MAX} / MIXER_RATE + RESAMPLE_TAPS * RATE_MAX / MIXER_RATE + 8 < SPAN_FRAMES);

// ---- globals ----
static int alive = 0;  // buffers not yet released, for the tests
// The frames a voice is rendering, as floats, and what it made of them: one render at a time,
// under mixer_lock().
alignas(32) static float span[2][SPAN_FRAMES];
alignas(32) static float planes[2][MIXER_BLOCK];

// ---- helpers ----

static uint64_t step_for(DWORD frequency) { return (static_cast<uint64_t>(frequency) << 32) / MIXER_RATE; }

// One 16-bit sample, however the buffer's bytes are aligned.
static inline int32_t sample16_at(const uint8_t* data, size_t index)
{
    int16_t value;
    std::memcpy(&value, data + index * 2, 2);
    return value;
}

// `count` samples of one channel as floats on the 16-bit scale, `stride` samples apart.
template <int Bits> static void convert_samples(const uint8_t* data, size_t first, int stride, float* out, int count)
{
    using Sample = std::conditional_t<Bits == 8, uint8_t, int16_t>;
    typedef Sample Sample4 __attribute__((vector_size(4 * sizeof(Sample))));
    typedef int32_t Int4 __attribute__((vector_size(16)));
    typedef float Float4 __attribute__((vector_size(16)));
    const auto store4 = [&](Int4 values, float* to) {
        if constexpr (Bits == 8)
            values = (values - 128) * 256;
        const Float4 floats = __builtin_convertvector(values, Float4);
        std::memcpy(to, &floats, sizeof floats);
    };
    const uint8_t* run = data + first * sizeof(Sample);
    int i = 0;
    if (stride == 1) {  // one channel: a straight run, four samples at a time
        for (; i + 4 <= count; i += 4) {
            Sample4 samples;
            std::memcpy(&samples, run + i * sizeof(Sample), sizeof samples);
            store4(__builtin_convertvector(samples, Int4), out + i);
        }
    } else if (stride == 2) {
        // One channel of two, four frames at a time: each frame read as one word holding both
        // channels' samples (the first channel's in its low half, as the bytes lie), and this
        // channel's half taken out of it by shifts, which extend its sign.
        using Frame = std::conditional_t<Bits == 8, uint16_t, int32_t>;
        typedef Frame Frame4 __attribute__((vector_size(4 * sizeof(Frame))));
        const int channel = static_cast<int>(first % 2);
        const uint8_t* frames = run - channel * sizeof(Sample);
        for (; i + 4 <= count; i += 4) {
            Frame4 words;
            std::memcpy(&words, frames + i * sizeof(Frame), sizeof words);
            const Int4 both = __builtin_convertvector(words, Int4);
            if constexpr (Bits == 8)
                store4(channel ? both >> 8 : both & 0xFF, out + i);
            else
                store4(channel ? both >> 16 : (both << 16) >> 16, out + i);
        }
    }
    for (; i < count; ++i) {
        const size_t at = first + static_cast<size_t>(i) * stride;
        if constexpr (Bits == 8)
            out[i] = static_cast<float>((data[at] - 128) * 256);
        else
            out[i] = static_cast<float>(sample16_at(data, at));
    }
}

// ---- life ----

SoundBuffer::SoundBuffer(std::shared_ptr<SampleData> data, const WAVEFORMATEX& wave_format, DWORD buffer_caps)
    : samples(std::move(data)), format(wave_format), caps(buffer_caps)
{
    frame_bytes = format.nBlockAlign;
    frames = samples->size / frame_bytes;
    frequency = format.nSamplesPerSec;
    step = step_for(frequency);
    resample_taps();  // built here, not by the device's thread in its first render
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
    if (!playing)
        fade_out_from_here();  // what still rang of the last play
    playing = true;
    looping = (flags & DSBPLAY_LOOPING) != 0;
    tail = 0;
    return DS_OK;
}

HRESULT SoundBuffer::Stop()
{
    if (const HRESULT hr = fault_check("IDirectSoundBuffer::Stop"); FAILED(hr))
        return hr;
    std::lock_guard<std::mutex> hold(mixer_lock());
    fade_out_from_here();
    playing = false;  // the position stays where the mixer left it
    tail = 0;
    return DS_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(DWORD new_position)
{
    if (const HRESULT hr = fault_check("IDirectSoundBuffer::SetCurrentPosition"); FAILED(hr))
        return hr;
    if (new_position >= samples->size)
        return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> hold(mixer_lock());
    if (playing)
        fade_out_from_here();
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
// The samples are written in place; a static buffer is locked while it is silent, and a lock ends
// the fade a stop left and the ring of a one-shot that ended, so the mixer never reads a
// half-written region.

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
    {
        std::lock_guard<std::mutex> hold(mixer_lock());
        fade_left = 0;
        tail = 0;
        if (flags & DSBLOCK_FROMWRITECURSOR)
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

// Source frames first … first + count - 1 as floats on the 16-bit scale, one plane a channel.
// Frames outside the buffer are silence, or the buffer again when it wraps.
void SoundBuffer::fill_span(int64_t first, int count, bool wrap) const
{
    const uint8_t* data = samples->bytes.get();
    const int channels = format.nChannels;
    const auto convert = format.wBitsPerSample == 8 ? convert_samples<8> : convert_samples<16>;
    const int64_t whole = frames;
    const auto outside = [&](int64_t frame, int c, float* out) {
        if (wrap)
            convert(data, static_cast<size_t>((frame % whole + whole) % whole) * channels + c, channels, out, 1);
        else
            *out = 0.0f;
    };
    // Plane indices [inside, past) hold the buffer's own frames.
    const int inside = static_cast<int>(std::clamp<int64_t>(-first, 0, count));
    const int past = static_cast<int>(std::clamp<int64_t>(whole - first, inside, count));
    for (int c = 0; c < channels; ++c) {
        float* plane = span[c];
        for (int i = 0; i < inside; ++i)
            outside(first + i, c, plane + i);
        convert(data, static_cast<size_t>(first + inside) * channels + c, channels, plane + inside, past - inside);
        for (int i = past; i < count; ++i)
            outside(first + i, c, plane + i);
    }
}

// Renders up to `count` frames from `cursor` into the planes, one a channel. A wrapping cursor
// runs round the buffer; any other stops where the filter has rung out past the last frame.
int SoundBuffer::render(uint64_t& cursor, float* out[2], int count, bool wrap) const
{
    const uint64_t length = static_cast<uint64_t>(frames) << 32;
    const int reach = resample_reach(step);
    const uint64_t end = length + (static_cast<uint64_t>(reach) << 32);
    const uint64_t most = (static_cast<uint64_t>(SPAN_FRAMES - 2 * reach - 2) << 32) / step;
    int done = 0;
    while (done < count) {
        if (wrap)
            cursor %= length;
        else if (cursor >= end)
            break;
        uint64_t n = std::min<uint64_t>(count - done, most);
        if (!wrap)
            n = std::min(n, (end - cursor + step - 1) / step);
        const int64_t first = static_cast<int64_t>(cursor >> 32) - reach;
        const int64_t last = static_cast<int64_t>((cursor + (n - 1) * step) >> 32) + reach;
        fill_span(first, static_cast<int>(last - first + 1), wrap);
        const uint64_t from = (cursor & 0xFFFFFFFF) + (static_cast<uint64_t>(reach) << 32);
        for (int c = 0; c < format.nChannels; ++c)
            resample(span[c], from, step, out[c] + done, static_cast<int>(n));
        cursor += n * step;
        done += static_cast<int>(n);
    }
    if (wrap)
        cursor %= length;
    return done;
}

// Caller holds mixer_lock(): what the voice sounds now, the play or the ringing tail, goes on as
// the fade, while the play state changes at once. A fade still running is cut where it got to.
void SoundBuffer::fade_out_from_here()
{
    if (frames == 0 || (!playing && tail == 0))
        return;
    fade = playing ? position : tail;
    fade_wraps = playing && looping;
    fade_left = MIXER_DECLICK_FRAMES;
}

void SoundBuffer::mix_fade(float* sums, int count)
{
    float* out[2] = {planes[0], planes[1]};
    const int wanted = std::min(count, fade_left);
    const int made = render(fade, out, wanted, fade_wraps);
    const float* gains = mixer_declick_gains() + (MIXER_DECLICK_FRAMES - fade_left);
    for (int c = 0; c < format.nChannels; ++c)
        for (int i = 0; i < made; ++i)
            out[c][i] *= gains[i];
    mixer_add_planes_fast(sums, out[0], out[format.nChannels - 1], made, gain_left, gain_right);
    fade_left = made < wanted ? 0 : fade_left - made;
}

void SoundBuffer::mix(float* sums, int count)
{
    if (fade_left > 0)
        mix_fade(sums, count);
    if (frames == 0 || (!playing && tail == 0))
        return;
    float* out[2] = {planes[0], planes[1]};
    uint64_t& cursor = playing ? position : tail;
    const int made = render(cursor, out, count, playing && looping);
    mixer_add_planes_fast(sums, out[0], out[format.nChannels - 1], made, gain_left, gain_right);
    if (playing && !looping && position >= static_cast<uint64_t>(frames) << 32) {
        // A one-shot stops as soon as its last frame has been mixed, and rewinds as the device
        // does; the filter rings out from where it got to.
        playing = false;
        tail = made < count ? 0 : position;
        position = 0;
    } else if (!playing && made < count) {
        tail = 0;
    }
}
