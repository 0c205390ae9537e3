// dsound_object.cpp -- the DirectSound object: holds the host's audio device open while it lives,
// and makes software buffers in the PCM formats a sound card takes (8 or 16 bits, 1 or 2 channels).
#include <cstddef>
#include <cstring>
#include <new>

#include "dsound_internal.h"
#include "internal.h"

const GUID DSDEVID_DefaultPlayback = {0xDEF00000, 0x9C6D, 0x47ED, {0xAA, 0xF1, 0x4D, 0xDA, 0x8F, 0x2B, 0x5C, 0x03}};

// The rates a buffer may play at: the DirectSound 7 range, which later versions widen.
static constexpr DWORD RATE_MIN = DSBFREQUENCY_MIN;
static constexpr DWORD RATE_MAX = 100000;

// ---- helpers ----

static bool format_supported(const WAVEFORMATEX& f)
{
    if (f.wFormatTag != WAVE_FORMAT_PCM || (f.nChannels != 1 && f.nChannels != 2))
        return false;
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16)
        return false;
    if (f.nSamplesPerSec < RATE_MIN || f.nSamplesPerSec > RATE_MAX)
        return false;
    return f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}

// Description sizes of DirectSound 7 and later, and of earlier versions (no 3D algorithm).
static bool desc_size_known(DWORD size)
{
    return size == sizeof(DSBUFFERDESC) || size == offsetof(DSBUFFERDESC, guid3DAlgorithm);
}

// ---- creation ----

HRESULT WINAPI DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* direct_sound, LPUNKNOWN outer)
{
    if (!direct_sound)
        return DSERR_INVALIDPARAM;
    *direct_sound = nullptr;
    if (const HRESULT hr = fault_check("DirectSoundCreate"); FAILED(hr))
        return hr;
    if (outer)
        return DSERR_NOAGGREGATION;
    if (device && *device != DSDEVID_DefaultPlayback)
        return DSERR_NODRIVER;  // one output device: the default
    if (!mixer_open_device())
        return DSERR_NODRIVER;
    auto* ds = new (std::nothrow) DirectSound;
    if (!ds) {
        mixer_close_device();
        return DSERR_OUTOFMEMORY;
    }
    *direct_sound = ds;
    return DS_OK;
}

DirectSound::~DirectSound() { mixer_close_device(); }

// ---- methods ----

HRESULT DirectSound::SetCooperativeLevel(HWND window, DWORD level)
{
    if (const HRESULT hr = fault_check("IDirectSound::SetCooperativeLevel"); FAILED(hr))
        return hr;
    if (!IsWindow(window) || level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY)
        return DSERR_INVALIDPARAM;
    cooperative_level = level;
    return DS_OK;
}

HRESULT DirectSound::CreateSoundBuffer(LPCDSBUFFERDESC desc, LPLPDIRECTSOUNDBUFFER buffer, IUnknown* outer)
{
    if (!buffer)
        return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (const HRESULT hr = fault_check("IDirectSound::CreateSoundBuffer"); FAILED(hr))
        return hr;
    if (outer)
        return DSERR_NOAGGREGATION;
    if (!desc || !desc_size_known(desc->dwSize))
        return DSERR_INVALIDPARAM;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER)
        return DSERR_UNSUPPORTED;  // the library mixes through secondary buffers only
    if (!desc->lpwfxFormat || desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX)
        return DSERR_INVALIDPARAM;
    const WAVEFORMATEX& format = *desc->lpwfxFormat;
    if (!format_supported(format))
        return DSERR_BADFORMAT;

    auto samples = std::make_shared<SampleData>();
    samples->size = desc->dwBufferBytes;
    samples->bytes.reset(new (std::nothrow) uint8_t[samples->size]);
    if (!samples->bytes)
        return DSERR_OUTOFMEMORY;
    // A new buffer holds silence: the midpoint for unsigned 8-bit samples, zero for signed 16-bit.
    std::memset(samples->bytes.get(), format.wBitsPerSample == 8 ? 0x80 : 0, samples->size);
    auto* made = new (std::nothrow) SoundBuffer(std::move(samples), format, desc->dwFlags);
    if (!made)
        return DSERR_OUTOFMEMORY;
    *buffer = made;
    return DS_OK;
}

HRESULT DirectSound::DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPLPDIRECTSOUNDBUFFER duplicate)
{
    if (!duplicate)
        return DSERR_INVALIDPARAM;
    *duplicate = nullptr;
    if (const HRESULT hr = fault_check("IDirectSound::DuplicateSoundBuffer"); FAILED(hr))
        return hr;
    auto* source = dynamic_cast<SoundBuffer*>(original);
    if (!source)
        return DSERR_INVALIDPARAM;
    SoundBuffer* made = source->duplicate();
    if (!made)
        return DSERR_OUTOFMEMORY;
    *duplicate = made;
    return DS_OK;
}
