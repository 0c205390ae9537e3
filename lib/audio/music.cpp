// music.cpp -- the music table: DirectMusic through COM, standard MIDI files into segments with
// their instruments downloaded at load, and at most one piece sounding through the layer's own
// calls. Ids outside the table hold nothing. The init and the loader say why they failed through
// audio_reason().
#include <unistd.h>  // getcwd; mingw-w64 declares it here too

#include <cstdio>
#include <cstring>

#include "audio.h"
#include "audio_failure.h"
#include "services.h"

// ---- constants ----
static constexpr int PATH_CHARS = 260;
static constexpr DWORD ALL_TRACK_GROUPS = 0xFFFFFFFF;
static constexpr size_t MIDI_HEADER_BYTES = 14;  // "MThd", its length, format, track count, division

// ---- globals ----
IDirectMusicPerformance* music_performance = nullptr;
IDirectMusicLoader* music_loader = nullptr;
MusicSlot music_slots[MUSIC_SLOT_COUNT];
int music_current = -1;

// ---- helpers ----

static MusicSlot* slot_of(int id) { return id >= 0 && id < MUSIC_SLOT_COUNT ? &music_slots[id] : nullptr; }

// The slot of an id that holds a piece, or null.
static MusicSlot* piece_of(int id)
{
    MusicSlot* slot = slot_of(id);
    return slot && slot->segment && slot->state != MUSIC_SLOT_FREE ? slot : nullptr;
}

static int lowest_free_slot()
{
    for (int i = 0; i < MUSIC_SLOT_COUNT; ++i)
        if (music_slots[i].state == MUSIC_SLOT_FREE)
            return i;
    return -1;
}

// A play hands back a segment state holding a reference; it is dropped when the slot's next play
// or its deletion replaces it, so pieces played again and again leave nothing behind.
static void forget_segment_state(MusicSlot& slot)
{
    if (slot.segment_state) {
        slot.segment_state->Release();
        slot.segment_state = nullptr;
    }
}

// Why the loader refused the file (`hr`): what its header shows when that is reason enough, else
// the loader's own word. Only a failed load comes here, so nothing the loader takes is refused.
static void say_why_refused(const char* filename, HRESULT hr)
{
    uint8_t head[MIDI_HEADER_BYTES] = {};
    std::FILE* f = std::fopen(filename, "rb");
    if (!f) {
        audio_say("the file cannot be opened");
        return;
    }
    const size_t got = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    const unsigned format = head[8] << 8 | head[9];
    const unsigned division = head[12] << 8 | head[13];
    if (got < sizeof head || std::memcmp(head, "MThd", 4) != 0)
        audio_say("not a standard MIDI file: it does not begin with an MThd header");
    else if (format == 2)
        audio_say("format 2 files are not played (separate pieces, which would sound at once)");
    else if (division & 0x8000)
        audio_say("SMPTE time is not played (only ticks a beat)");
    else if (division == 0)
        audio_say("0 ticks a beat cannot play");
    else if (hr == DMUS_E_INVALIDFILE)
        audio_say("its tracks do not parse, or cannot play (error 0x%08lX)", audio_error(hr));
    else
        audio_say("the music loader cannot read the file (error 0x%08lX)", audio_error(hr));
}

// The segment of a standard MIDI file, found in the current directory, with its instruments
// downloaded; null on any failure, leaving nothing behind.
static IDirectMusicSegment* load_segment(const char* filename)
{
    char directory[PATH_CHARS];
    WCHAR wide_directory[PATH_CHARS];
    if (!getcwd(directory, PATH_CHARS) ||
        MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, directory, -1, wide_directory, PATH_CHARS) == 0) {
        audio_say("the current folder's name cannot be read (or is over 259 characters)");
        return nullptr;
    }
    // Set again on every load: the directory current at this moment, the loader's cache kept.
    if (const HRESULT hr = music_loader->SetSearchDirectory(GUID_DirectMusicAllTypes, wide_directory, FALSE);
        FAILED(hr)) {
        audio_say("the music loader refuses the current folder (error 0x%08lX)", audio_error(hr));
        return nullptr;
    }

    DMUS_OBJECTDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.guidClass = CLSID_DirectMusicSegment;
    desc.dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_FILENAME;
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, filename, -1, desc.wszFileName, DMUS_MAX_FILENAME) == 0) {
        audio_say("the file name is over 259 characters");
        return nullptr;
    }
    IDirectMusicSegment* segment = nullptr;
    HRESULT hr = music_loader->GetObject(&desc, IID_IDirectMusicSegment, reinterpret_cast<void**>(&segment));
    if (FAILED(hr)) {
        say_why_refused(filename, hr);
        return nullptr;
    }
    if (FAILED(hr = segment->SetParam(GUID_StandardMIDIFile, ALL_TRACK_GROUPS, 0, 0, music_performance)) ||
        FAILED(hr = segment->SetParam(GUID_Download, ALL_TRACK_GROUPS, 0, 0, music_performance))) {
        audio_say("the piece cannot be made ready to play (error 0x%08lX)", audio_error(hr));
        segment->Release();
        return nullptr;
    }
    return segment;
}

// ---- start-up ----

int music_init()
{
    HRESULT hr = CoInitialize(nullptr);
    if (FAILED(hr))
        return audio_fail("COM cannot start (error 0x%08lX)", audio_error(hr));
    if (FAILED(hr = CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance,
                                     reinterpret_cast<void**>(&music_performance))))
        return audio_fail("DirectMusic cannot start (error 0x%08lX)", audio_error(hr));
    if (FAILED(hr = music_performance->Init(nullptr, dsound, main_window)))
        return hr == DSERR_NODRIVER
                   ? audio_fail("there is no sound device")
                   : audio_fail("the music cannot start on the sound device (error 0x%08lX)", audio_error(hr));
    if (FAILED(hr = music_performance->AddPort(nullptr)))  // the default port: the synthesizer
        return audio_fail("the synthesizer cannot start (error 0x%08lX)", audio_error(hr));
    if (FAILED(hr = CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader,
                                     reinterpret_cast<void**>(&music_loader))))
        return audio_fail("the music loader cannot be made (error 0x%08lX)", audio_error(hr));
    for (int i = 0; i < MUSIC_SLOT_COUNT; ++i)
        music_slots[i] = MusicSlot{nullptr, nullptr, i, MUSIC_SLOT_FREE};
    music_current = -1;
    return audio_succeed();
}

// ---- loading ----

int music_load_midi(const char* filename)
{
    const int id = lowest_free_slot();
    if (!music_loader || !filename || id < 0) {
        audio_say(!music_loader ? "music is not started: music_init comes first"
                  : !filename   ? "a null file name"
                                : "all 64 music slots are taken");
        return -1;
    }
    IDirectMusicSegment* segment = load_segment(filename);
    if (!segment)
        return -1;
    MusicSlot& slot = music_slots[id];
    slot.segment = segment;
    slot.segment_state = nullptr;
    slot.state = MUSIC_SLOT_LOADED;
    audio_succeed();
    return id;
}

// ---- playing ----

int music_play(int id)
{
    MusicSlot* slot = piece_of(id);
    if (!slot)
        return 0;
    if (music_current != -1)
        music_stop(music_current);
    forget_segment_state(*slot);
    // A refused start is not detected: the slot reads as playing until music_status asks.
    if (music_performance)
        music_performance->PlaySegment(slot->segment, 0, 0, &slot->segment_state);
    slot->state = MUSIC_SLOT_PLAYING;
    music_current = id;
    return 1;
}

int music_stop(int id)
{
    MusicSlot* slot = piece_of(id);
    if (!slot)
        return 0;
    if (music_performance)
        music_performance->Stop(slot->segment, nullptr, 0, 0);
    slot->state = MUSIC_SLOT_STOPPED;
    music_current = -1;
    return 1;
}

int music_status(int id)
{
    MusicSlot* slot = piece_of(id);
    if (!slot)
        return 0;
    // Exactly S_OK means playing: S_FALSE, and any error, read as stopped.
    const bool playing = music_performance && music_performance->IsPlaying(slot->segment, nullptr) == S_OK;
    slot->state = playing ? MUSIC_SLOT_PLAYING : MUSIC_SLOT_STOPPED;
    return slot->state;
}

// ---- deleting and shut-down ----

int music_delete(int id)
{
    MusicSlot* slot = slot_of(id);
    if (!slot || !slot->segment)
        return 1;
    slot->segment->SetParam(GUID_Unload, ALL_TRACK_GROUPS, 0, 0, music_performance);
    slot->segment->Release();
    slot->segment = nullptr;
    forget_segment_state(*slot);
    slot->state = MUSIC_SLOT_FREE;
    return 1;
}

int music_delete_all()
{
    for (int id = 0; id < MUSIC_SLOT_COUNT; ++id)
        music_delete(id);
    return 1;
}

int music_shutdown()
{
    if (music_performance)
        music_performance->Stop(nullptr, nullptr, 0, 0);
    music_delete_all();
    if (music_performance) {
        music_performance->CloseDown();
        music_performance->Release();
        music_performance = nullptr;
    }
    if (music_loader) {
        music_loader->Release();
        music_loader = nullptr;
    }
    CoUninitialize();
    return 1;
}
