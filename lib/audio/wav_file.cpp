// wav_file.cpp -- sound_load_wav: a RIFF WAVE PCM file into a static DirectSound buffer of 8-bit
// mono samples at the file's own rate. The file's claims are checked before anything is taken:
// a copy grows only with the bytes the file really holds, and nothing is written past it.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "audio.h"

// ---- constants ----
// The rates every DirectSound version plays a buffer at.
static constexpr DWORD WAV_RATE_MIN = DSBFREQUENCY_MIN;
static constexpr DWORD WAV_RATE_MAX = 100000;
// Read in steps this large, so a size the file does not back costs no more memory than it holds.
static constexpr DWORD READ_STEP = 64 * 1024;

// ---- helpers ----

static int lowest_free_slot()
{
    for (int i = 0; i < SOUND_SLOT_COUNT; ++i)
        if (sound_slots[i].state == SOUND_SLOT_FREE)
            return i;
    return -1;
}

// PCM layouts the loader turns into 8-bit mono.
static bool layout_supported(const WAVEFORMATEX& f)
{
    return (f.nChannels == 1 || f.nChannels == 2) && (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) &&
           f.nSamplesPerSec >= WAV_RATE_MIN && f.nSamplesPerSec <= WAV_RATE_MAX;
}

// Reads the format chunk (its first sub-chunk, whatever its name) and leaves the file after it.
static bool read_format(HMMIO file, MMCKINFO* riff, WAVEFORMATEX* format)
{
    riff->fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(file, riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR)
        return false;
    MMCKINFO chunk{};
    if (mmioDescend(file, &chunk, riff, 0) != MMSYSERR_NOERROR)
        return false;
    // 18 bytes even from a 16-byte chunk: the read runs on into what follows, and cbSize is unused.
    if (mmioRead(file, reinterpret_cast<HPSTR>(format), sizeof *format) < static_cast<LONG>(sizeof *format))
        return false;
    if (format->wFormatTag != WAVE_FORMAT_PCM || !layout_supported(*format))
        return false;
    return mmioAscend(file, &chunk, 0) == MMSYSERR_NOERROR;
}

// The data chunk's `size` bytes in a heap copy, or null when the file ends first or memory runs out.
static uint8_t* read_data(HMMIO file, DWORD size)
{
    uint8_t* copy = nullptr;
    DWORD capacity = 0;
    DWORD got = 0;
    while (got < size) {
        if (got == capacity) {
            capacity = capacity == 0 ? (size < READ_STEP ? size : READ_STEP)
                                     : (capacity > size / 2 ? size : capacity * 2);
            auto* grown = static_cast<uint8_t*>(std::realloc(copy, capacity));
            if (!grown) {
                std::free(copy);
                return nullptr;
            }
            copy = grown;
        }
        const LONG read = mmioRead(file, reinterpret_cast<HPSTR>(copy + got), static_cast<LONG>(capacity - got));
        if (read <= 0) {
            std::free(copy);
            return nullptr;
        }
        got += static_cast<DWORD>(read);
    }
    return copy;
}

// One sample on the 16-bit scale.
static int32_t sample_at(const uint8_t* p, int bits)
{
    if (bits == 8)
        return (static_cast<int32_t>(p[0]) - 128) * 256;
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

// Turns `frames` frames of the file's layout into 8-bit mono in place; frame n is read before byte n
// is written, so no sample is overwritten before it is used. The channels are averaged.
static void convert_to_8bit_mono(uint8_t* data, DWORD frames, const WAVEFORMATEX& f)
{
    const int bytes_per_sample = f.wBitsPerSample / 8;
    const DWORD frame_bytes = f.nChannels * bytes_per_sample;
    for (DWORD n = 0; n < frames; ++n) {
        const uint8_t* frame = data + static_cast<size_t>(n) * frame_bytes;
        int32_t sum = 0;
        for (int c = 0; c < f.nChannels; ++c)
            sum += sample_at(frame + c * bytes_per_sample, f.wBitsPerSample);
        const int32_t mean = f.nChannels == 2 ? sum >> 1 : sum;
        data[n] = static_cast<uint8_t>((mean + 32768) >> 8);
    }
}

// The samples of the file's data chunk as 8-bit mono, and their count; null on any failure.
static uint8_t* load_samples(HMMIO file, const MMCKINFO& riff, const WAVEFORMATEX& format, DWORD* size)
{
    MMCKINFO data{};
    data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(file, &data, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        return nullptr;
    const DWORD frame_bytes = format.nChannels * (format.wBitsPerSample / 8);
    const DWORD frames = data.cksize / frame_bytes;
    // No samples, or more than a buffer holds: nothing to load.
    if (frames < DSBSIZE_MIN || frames > DSBSIZE_MAX)
        return nullptr;
    uint8_t* copy = read_data(file, frames * frame_bytes);
    if (!copy)
        return nullptr;
    if (frame_bytes > 1)
        convert_to_8bit_mono(copy, frames, format);
    *size = frames;
    return copy;
}

// Copies the samples into the buffer through the one or two regions a lock gives.
static bool fill_buffer(LPDIRECTSOUNDBUFFER buffer, const uint8_t* samples, DWORD size)
{
    void* first = nullptr;
    void* second = nullptr;
    DWORD first_bytes = 0;
    DWORD second_bytes = 0;
    if (FAILED(buffer->Lock(0, size, &first, &first_bytes, &second, &second_bytes, DSBLOCK_FROMWRITECURSOR)))
        return false;
    if (first_bytes > size)
        first_bytes = size;
    if (second_bytes > size - first_bytes)
        second_bytes = size - first_bytes;
    std::memcpy(first, samples, first_bytes);
    if (second)
        std::memcpy(second, samples + first_bytes, second_bytes);
    return SUCCEEDED(buffer->Unlock(first, first_bytes, second, second_bytes));
}

// ---- the loader ----

int sound_load_wav(const char* filename, DWORD control_flags)
{
    const int id = lowest_free_slot();
    if (id < 0 || !filename)
        return -1;
    HMMIO file = mmioOpenA(const_cast<LPSTR>(filename), nullptr, MMIO_READ | MMIO_ALLOCBUF);
    if (!file)
        return -1;
    MMCKINFO riff{};
    WAVEFORMATEX format{};
    DWORD size = 0;
    uint8_t* samples = read_format(file, &riff, &format) ? load_samples(file, riff, format, &size) : nullptr;
    mmioClose(file, 0);
    if (!samples)
        return -1;

    SoundSlot& slot = sound_slots[id];
    slot.rate = static_cast<int>(format.nSamplesPerSec);
    slot.size = static_cast<int>(size);
    slot.state = SOUND_SLOT_LOADED;

    sound_wave_format = WAVEFORMATEX{};
    sound_wave_format.wFormatTag = WAVE_FORMAT_PCM;
    sound_wave_format.nChannels = 1;
    sound_wave_format.nSamplesPerSec = format.nSamplesPerSec;
    sound_wave_format.nAvgBytesPerSec = format.nSamplesPerSec;
    sound_wave_format.nBlockAlign = 1;
    sound_wave_format.wBitsPerSample = 8;
    sound_buffer_desc = DSBUFFERDESC{};
    sound_buffer_desc.dwSize = sizeof sound_buffer_desc;
    sound_buffer_desc.dwFlags = control_flags | DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE;
    sound_buffer_desc.dwBufferBytes = size;
    sound_buffer_desc.lpwfxFormat = &sound_wave_format;

    // From here a failure leaves the slot taken (and any buffer in it) until sound_init.
    const bool made = dsound && SUCCEEDED(dsound->CreateSoundBuffer(&sound_buffer_desc, &slot.buffer, nullptr)) &&
                      fill_buffer(slot.buffer, samples, size);
    std::free(samples);
    return made ? id : -1;
}
