// wav_file.cpp -- sound_load_wav and sound_load_wav_memory: a RIFF WAVE PCM file (plain or
// extensible), from disk or from memory, into a static DirectSound buffer of 8-bit mono samples at
// the file's own rate. The file's claims are checked before anything is taken: a copy grows only
// with the bytes the file really holds, and nothing is written past it. Every refusal says why
// through audio_reason().
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "audio.h"
#include "audio_failure.h"

// ---- constants ----
// The rates every DirectSound version plays a buffer at.
static constexpr DWORD WAV_RATE_MIN = DSBFREQUENCY_MIN;
static constexpr DWORD WAV_RATE_MAX = 100000;
// Read in steps this large, so a size the file does not back costs no more memory than it holds.
static constexpr DWORD READ_STEP = 64 * 1024;
// More channels than any speaker layout has; every one is mixed into the mono buffer.
static constexpr WORD WAV_CHANNELS_MAX = 32;
// An extensible format chunk: WAVEFORMATEX, then valid bits (2 bytes), channel mask (4) and the
// subformat GUID (16), which for integer PCM is 00000001-0000-0010-8000-00AA00389B71, stored as here.
static constexpr WORD WAV_TAG_EXTENSIBLE = 0xFFFE;
static constexpr LONG FORMAT_BYTES = 18;
static constexpr LONG EXTENSION_BYTES = 22;
static constexpr WORD WAV_TAG_FLOAT = 3;
static constexpr uint8_t PCM_SUBFORMAT[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                              0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// ---- helpers ----

static int lowest_free_slot()
{
    for (int i = 0; i < SOUND_SLOT_COUNT; ++i)
        if (sound_slots[i].state == SOUND_SLOT_FREE)
            return i;
    return -1;
}

// PCM layouts the loader turns into 8-bit mono: whole bytes a sample, up to 32 bits.
static bool layout_supported(const WAVEFORMATEX& f)
{
    const WORD bits = f.wBitsPerSample;
    if (f.nChannels < 1 || f.nChannels > WAV_CHANNELS_MAX)
        return audio_fail("%u channels are not read (only 1 to 32)", f.nChannels);
    if (bits < 8 || bits > 32 || bits % 8 != 0)
        return audio_fail("%u-bit samples are not read (only 8, 16, 24 and 32 bits)", bits);
    if (f.nSamplesPerSec < WAV_RATE_MIN || f.nSamplesPerSec > WAV_RATE_MAX)
        return audio_fail("a rate of %lu samples a second is not played (only %lu to %lu)",
                          static_cast<unsigned long>(f.nSamplesPerSec), static_cast<unsigned long>(WAV_RATE_MIN),
                          static_cast<unsigned long>(WAV_RATE_MAX));
    return true;
}

// The rest of an extensible format chunk, read from where its first 18 bytes end: it must lie
// inside the chunk and name integer PCM whose valid bits fit their containers.
static bool extension_is_pcm(HMMIO file, const MMCKINFO& chunk, const WAVEFORMATEX& f)
{
    uint8_t extension[EXTENSION_BYTES];
    if (f.cbSize < EXTENSION_BYTES || chunk.cksize < static_cast<DWORD>(FORMAT_BYTES + EXTENSION_BYTES))
        return audio_fail("the extensible format chunk is cut short");
    if (mmioRead(file, reinterpret_cast<HPSTR>(extension), EXTENSION_BYTES) != EXTENSION_BYTES)
        return audio_fail("the file ends inside its format chunk");
    const unsigned valid_bits = extension[0] | extension[1] << 8;
    if (valid_bits > f.wBitsPerSample)
        return audio_fail("%u valid bits do not fit %u-bit samples", valid_bits, f.wBitsPerSample);
    return std::memcmp(extension + 6, PCM_SUBFORMAT, sizeof PCM_SUBFORMAT) == 0 ||
           audio_fail("the extensible format's samples are not integer PCM");
}

static const char NOT_A_WAV_FILE[] = "not a WAV file: it holds no RIFF WAVE chunk";

// Reads the format chunk (its first sub-chunk, whatever its name) and leaves the file after it.
static bool read_format(HMMIO file, MMCKINFO* riff, WAVEFORMATEX* format)
{
    riff->fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(file, riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR)
        return audio_fail(NOT_A_WAV_FILE);
    MMCKINFO chunk{};
    if (mmioDescend(file, &chunk, riff, 0) != MMSYSERR_NOERROR)
        return audio_fail("the RIFF WAVE chunk holds no format chunk");
    // 18 bytes even from a 16-byte chunk: the read runs on into what follows, and a plain PCM
    // format's cbSize is unused.
    if (mmioRead(file, reinterpret_cast<HPSTR>(format), FORMAT_BYTES) < FORMAT_BYTES)
        return audio_fail("the file ends inside its format chunk");
    // Extensible PCM samples lie in the file as plain ones do, so both convert the same way.
    const WORD tag = format->wFormatTag;
    const bool pcm = tag == WAVE_FORMAT_PCM || (tag == WAV_TAG_EXTENSIBLE && extension_is_pcm(file, chunk, *format));
    if (!pcm && tag == WAV_TAG_FLOAT)
        audio_say("floating-point samples are not read (only integer PCM)");
    else if (!pcm && tag != WAV_TAG_EXTENSIBLE)
        audio_say("compressed samples (format %u) are not read (only integer PCM)", tag);
    // Whatever its name, the first chunk is read as the format; when it is not named so, that says why.
    if (!pcm || !layout_supported(*format)) {
        if (chunk.ckid != mmioFOURCC('f', 'm', 't', ' '))
            audio_say("the format chunk does not come first");
        return false;
    }
    return mmioAscend(file, &chunk, 0) == MMSYSERR_NOERROR ||
           audio_fail("the format chunk runs past the end of the file");
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
                audio_say("no memory for the samples");
                return nullptr;
            }
            copy = grown;
        }
        const LONG read = mmioRead(file, reinterpret_cast<HPSTR>(copy + got), static_cast<LONG>(capacity - got));
        if (read <= 0) {
            std::free(copy);
            audio_say("the file ends inside its samples");
            return nullptr;
        }
        got += static_cast<DWORD>(read);
    }
    return copy;
}

// One sample on the 16-bit scale: 8-bit samples are unsigned; wider ones are signed, left-justified
// in their container, and keep their top two bytes.
static int32_t sample_at(const uint8_t* p, int bytes)
{
    if (bytes == 1)
        return (static_cast<int32_t>(p[0]) - 128) * 256;
    return static_cast<int16_t>(static_cast<uint16_t>(p[bytes - 2] | (p[bytes - 1] << 8)));
}

// Turns `frames` frames of the file's layout into 8-bit mono in place; frame n is read before byte n
// is written, so no sample is overwritten before it is used. The channels are averaged, rounding
// down: the sum is made non-negative first, so the division's truncation is a floor.
static void convert_to_8bit_mono(uint8_t* data, DWORD frames, const WAVEFORMATEX& f)
{
    const int bytes_per_sample = f.wBitsPerSample / 8;
    const int channels = f.nChannels;
    const DWORD frame_bytes = static_cast<DWORD>(channels * bytes_per_sample);
    for (DWORD n = 0; n < frames; ++n) {
        const uint8_t* frame = data + static_cast<size_t>(n) * frame_bytes;
        int32_t sum = 32768 * channels;
        for (int c = 0; c < channels; ++c)
            sum += sample_at(frame + c * bytes_per_sample, bytes_per_sample);
        data[n] = static_cast<uint8_t>(sum / channels >> 8);
    }
}

// The samples of the file's data chunk as 8-bit mono, and their count; null on any failure.
static uint8_t* load_samples(HMMIO file, const MMCKINFO& riff, const WAVEFORMATEX& format, DWORD* size)
{
    MMCKINFO data{};
    data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(file, &data, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR) {
        audio_say("no data chunk follows the format chunk");
        return nullptr;
    }
    const DWORD frame_bytes = format.nChannels * (format.wBitsPerSample / 8);
    const DWORD frames = data.cksize / frame_bytes;
    // No samples, or more than a buffer holds: nothing to load.
    if (frames < DSBSIZE_MIN || frames > DSBSIZE_MAX) {
        audio_say(frames < DSBSIZE_MIN ? "the data chunk holds fewer than 4 samples a channel"
                                       : "the data chunk holds more samples than a sound buffer");
        return nullptr;
    }
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
    HRESULT hr = buffer->Lock(0, size, &first, &first_bytes, &second, &second_bytes, DSBLOCK_FROMWRITECURSOR);
    if (FAILED(hr))
        return audio_fail("the sound buffer cannot be locked (error 0x%08lX)", audio_error(hr));
    if (first_bytes > size)
        first_bytes = size;
    if (second_bytes > size - first_bytes)
        second_bytes = size - first_bytes;
    std::memcpy(first, samples, first_bytes);
    if (second)
        std::memcpy(second, samples + first_bytes, second_bytes);
    hr = buffer->Unlock(first, first_bytes, second, second_bytes);
    return SUCCEEDED(hr) || audio_fail("the sound buffer cannot be unlocked (error 0x%08lX)", audio_error(hr));
}

// ---- the loader ----

// A file by its name, or with no name the bytes `memory` describes: both read the same way.
static int load_wav(const char* filename, MMIOINFO* memory, DWORD control_flags)
{
    const int id = lowest_free_slot();
    HMMIO file = id >= 0 ? mmioOpenA(const_cast<LPSTR>(filename), memory, MMIO_READ | MMIO_ALLOCBUF) : nullptr;
    if (!file) {
        audio_say(id < 0 ? "all 256 sound slots are taken"
                  : memory ? "the bytes cannot be read as a file"
                           : "the file cannot be opened");
        return -1;
    }
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
    bool made = false;
    if (!dsound)
        audio_say("there is no DirectSound object: sound_init comes first");
    else if (const HRESULT hr = dsound->CreateSoundBuffer(&sound_buffer_desc, &slot.buffer, nullptr); FAILED(hr))
        audio_say("the sound buffer cannot be made (error 0x%08lX)", audio_error(hr));
    else
        made = fill_buffer(slot.buffer, samples, size);
    std::free(samples);
    if (!made)
        return -1;
    audio_succeed();
    return id;
}

int sound_load_wav(const char* filename, DWORD control_flags)
{
    if (!filename) {
        audio_say("a null file name");
        return -1;
    }
    return load_wav(filename, nullptr, control_flags);
}

int sound_load_wav_memory(const uint8_t* data, size_t size, DWORD control_flags)
{
    // No bytes at all are an empty file, which holds no WAV file either.
    if (size == 0 || !data || size > 0x7FFFFFFF) {
        audio_say(size == 0 ? NOT_A_WAV_FILE : !data ? "no bytes given" : "more than 2 GiB in memory");
        return -1;
    }
    // The system's memory reader: the bytes are only read, though the record names them writable.
    MMIOINFO memory{};
    memory.fccIOProc = FOURCC_MEM;
    memory.pchBuffer = reinterpret_cast<HPSTR>(const_cast<uint8_t*>(data));
    memory.cchBuffer = static_cast<LONG>(size);
    return load_wav(nullptr, &memory, control_flags);
}
