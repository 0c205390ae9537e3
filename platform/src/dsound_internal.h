// dsound_internal.h -- the stand-in's DirectSound objects: the device object and software sound
// buffers whose samples a duplicate shares, each one a voice of the mixer.
#pragma once
#include <dsound.h>

#include <cstdint>
#include <memory>

#include "audio_internal.h"
#include "com_object.h"

// The samples of a buffer and of its duplicates.
struct SampleData {
    std::unique_ptr<uint8_t[]> bytes;
    DWORD size;
};

class SoundBuffer final : public ComObject<IDirectSoundBuffer>, public MixerVoice {
public:
    SoundBuffer(std::shared_ptr<SampleData> samples, const WAVEFORMATEX& format, DWORD caps);
    ~SoundBuffer() override;

    HRESULT STDMETHODCALLTYPE GetStatus(LPDWORD status) override;
    HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD audio1_bytes, LPVOID* audio2,
                                   LPDWORD audio2_bytes, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE SetCurrentPosition(DWORD position) override;
    HRESULT STDMETHODCALLTYPE SetVolume(LONG volume) override;
    HRESULT STDMETHODCALLTYPE SetPan(LONG pan) override;
    HRESULT STDMETHODCALLTYPE SetFrequency(DWORD frequency) override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID audio1, DWORD audio1_bytes, LPVOID audio2, DWORD audio2_bytes) override;

    void mix(float* sums, int frames) override;
    // A buffer sharing these samples, with this one's volume, pan and frequency, stopped at the start.
    SoundBuffer* duplicate() const;

private:
    void attach();
    void update_gains();
    void fade_out_from_here();
    void mix_fade(float* sums, int count);
    void fill_span(int64_t first, int count, bool wrap) const;
    int render(uint64_t& cursor, float* planes[2], int count, bool wrap) const;
    bool bytes_inside(const void* start, DWORD bytes) const;

    std::shared_ptr<SampleData> samples;
    WAVEFORMATEX format;
    DWORD caps;
    DWORD frame_bytes;  // bytes per frame: channels × bytes per sample
    DWORD frames;  // whole frames in the buffer
    // Play state: read and written under mixer_lock(), since the device's thread advances it.
    LONG volume = DSBVOLUME_MAX;
    LONG pan = DSBPAN_CENTER;
    DWORD frequency;  // the playing rate in Hz
    uint64_t position = 0;  // 32.32 fixed-point frame index
    uint64_t tail = 0;  // where an ended one-shot's filter still rings out, past its end; 0: none
    uint64_t step = 0;  // position advance per output frame
    uint64_t fade = 0;  // where the sound a cut left behind goes on while it fades out
    int fade_left = 0;  // frames of that fade still to mix; 0: none
    bool fade_wraps = false;  // the cut sound was a loop
    float gain_left = 1.0f;
    float gain_right = 1.0f;
    bool playing = false;
    bool looping = false;
};

class DirectSound final : public ComObject<IDirectSound> {
public:
    ~DirectSound() override;

    HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC desc, LPLPDIRECTSOUNDBUFFER buffer,
                                                IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original,
                                                   LPLPDIRECTSOUNDBUFFER duplicate) override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD level) override;

private:
    DWORD cooperative_level = 0;
};
