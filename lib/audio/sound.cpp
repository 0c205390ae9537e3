// sound.cpp -- the sound effect table: DirectSound start-up and shut-down, replication, and the
// play, stop, control and status operations on one slot. Ids outside the table hold nothing.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "audio.h"
#include "audio_failure.h"
#include "services.h"

// ---- globals ----
LPDIRECTSOUND dsound = nullptr;
SoundSlot sound_slots[SOUND_SLOT_COUNT];
int sound_first_init = 1;
WAVEFORMATEX sound_wave_format;
DSBUFFERDESC sound_buffer_desc;

static char reason[160] = "";  // audio_reason()'s text

// ---- helpers ----

// The slot of an id, or null for an id outside the table.
static SoundSlot* slot_of(int id)
{
    return id >= 0 && id < SOUND_SLOT_COUNT ? &sound_slots[id] : nullptr;
}

static LPDIRECTSOUNDBUFFER buffer_of(int id)
{
    const SoundSlot* slot = slot_of(id);
    return slot ? slot->buffer : nullptr;
}

static LONG clamp_to_long(int64_t value)
{
    if (value < INT32_MIN)
        return INT32_MIN;
    if (value > INT32_MAX)
        return INT32_MAX;
    return static_cast<LONG>(value);
}

// ---- start-up and shut-down ----

int sound_init()
{
    if (sound_first_init) {
        std::memset(sound_slots, 0, sizeof sound_slots);
        sound_first_init = 0;
        HRESULT hr = DirectSoundCreate(nullptr, &dsound, nullptr);
        if (FAILED(hr))
            return hr == DSERR_NODRIVER ? audio_fail("there is no sound device")
                                        : audio_fail("DirectSound cannot start (error 0x%08lX)", audio_error(hr));
        if (FAILED(hr = dsound->SetCooperativeLevel(main_window, DSSCL_NORMAL)))
            return main_window ? audio_fail("the window cannot take the sound device (error 0x%08lX)", audio_error(hr))
                               : audio_fail("the sound device cannot be bound to a window: main_window is null");
    }
    for (int i = 0; i < SOUND_SLOT_COUNT; ++i) {
        SoundSlot& slot = sound_slots[i];
        if (slot.buffer) {
            slot.buffer->Stop();
            slot.buffer->Release();
        }
        std::memset(&slot, 0, sizeof slot);
        slot.state = SOUND_SLOT_FREE;
        slot.id = i;
    }
    return audio_succeed();
}

int sound_shutdown()
{
    sound_stop_all();
    for (SoundSlot& slot : sound_slots) {
        if (slot.buffer) {
            slot.buffer->Release();
            slot.buffer = nullptr;
        }
    }
    if (dsound) {
        dsound->Release();
        dsound = nullptr;
    }
    return 1;
}

// ---- failure reasons ----

void audio_say(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vsnprintf(reason, sizeof reason, format, args);
    va_end(args);
}

int audio_succeed()
{
    reason[0] = '\0';
    return 1;
}

const char* audio_reason() { return reason; }

// ---- replication ----

int sound_replicate(int source_id)
{
    const SoundSlot* source = slot_of(source_id);
    if (!source)
        return -1;
    for (int i = 0; i < SOUND_SLOT_COUNT; ++i) {
        SoundSlot& slot = sound_slots[i];
        if (slot.state != SOUND_SLOT_FREE)
            continue;
        slot = *source;
        slot.id = i;  // the slot's own index, whether or not the duplicate is made
        if (!dsound || FAILED(dsound->DuplicateSoundBuffer(source->buffer, &slot.buffer))) {
            slot.buffer = nullptr;
            slot.state = SOUND_SLOT_FREE;
            return -1;
        }
        return i;
    }
    return -1;
}

// ---- playing ----

int sound_play(int id, DWORD play_flags)
{
    LPDIRECTSOUNDBUFFER buffer = buffer_of(id);
    if (!buffer)
        return 1;
    if (FAILED(buffer->SetCurrentPosition(0)) || FAILED(buffer->Play(0, 0, play_flags)))
        return 0;
    return 1;
}

int sound_set_volume(int id, int volume)
{
    LPDIRECTSOUNDBUFFER buffer = buffer_of(id);
    return buffer && buffer->SetVolume(clamp_to_long(-30 * (100 - static_cast<int64_t>(volume)))) == DS_OK;
}

int sound_set_frequency(int id, int frequency)
{
    LPDIRECTSOUNDBUFFER buffer = buffer_of(id);
    return buffer && buffer->SetFrequency(static_cast<DWORD>(frequency)) == DS_OK;
}

int sound_set_pan(int id, int pan)
{
    LPDIRECTSOUNDBUFFER buffer = buffer_of(id);
    return buffer && buffer->SetPan(pan) == DS_OK;
}

// -1 (all bits set) also when DirectSound cannot tell: a caller waiting for silence then waits.
int sound_status(int id)
{
    LPDIRECTSOUNDBUFFER buffer = buffer_of(id);
    DWORD status = 0;
    if (!buffer || FAILED(buffer->GetStatus(&status)))
        return -1;
    return static_cast<int>(status);
}

int sound_stop(int id)
{
    if (LPDIRECTSOUNDBUFFER buffer = buffer_of(id)) {
        buffer->Stop();
        buffer->SetCurrentPosition(0);
    }
    return 1;
}

int sound_stop_all()
{
    for (int id = 0; id < SOUND_SLOT_COUNT; ++id)
        sound_stop(id);
    return 1;
}

// ---- deleting ----

int sound_delete(int id)
{
    sound_stop(id);
    if (SoundSlot* slot = slot_of(id); slot && slot->buffer) {
        slot->buffer->Release();
        slot->buffer = nullptr;
    }
    return 1;
}

int sound_delete_all()
{
    for (int id = 0; id < SOUND_SLOT_COUNT; ++id)
        sound_delete(id);
    return 1;
}
