// music.cpp -- the music table: DirectMusic through COM, standard MIDI files into segments with
// their instruments downloaded at load, and at most one piece sounding through the layer's own
// calls. Ids outside the table hold nothing.
#include <unistd.h>  // getcwd; mingw-w64 declares it here too

#include <cstring>

#include "audio.h"
#include "services.h"

// ---- constants ----
static constexpr int PATH_CHARS = 260;
static constexpr DWORD ALL_TRACK_GROUPS = 0xFFFFFFFF;

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

// The segment of a standard MIDI file, found in the current directory, with its instruments
// downloaded; null on any failure, leaving nothing behind.
static IDirectMusicSegment* load_segment(const char* filename)
{
    char directory[PATH_CHARS];
    WCHAR wide_directory[PATH_CHARS];
    if (!getcwd(directory, PATH_CHARS) ||
        MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, directory, -1, wide_directory, PATH_CHARS) == 0)
        return nullptr;
    // Set again on every load: the directory current at this moment, the loader's cache kept.
    if (FAILED(music_loader->SetSearchDirectory(GUID_DirectMusicAllTypes, wide_directory, FALSE)))
        return nullptr;

    DMUS_OBJECTDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.guidClass = CLSID_DirectMusicSegment;
    desc.dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_FILENAME;
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, filename, -1, desc.wszFileName, DMUS_MAX_FILENAME) == 0)
        return nullptr;
    IDirectMusicSegment* segment = nullptr;
    if (FAILED(music_loader->GetObject(&desc, IID_IDirectMusicSegment, reinterpret_cast<void**>(&segment))))
        return nullptr;
    if (FAILED(segment->SetParam(GUID_StandardMIDIFile, ALL_TRACK_GROUPS, 0, 0, music_performance)) ||
        FAILED(segment->SetParam(GUID_Download, ALL_TRACK_GROUPS, 0, 0, music_performance))) {
        segment->Release();
        return nullptr;
    }
    return segment;
}

// ---- start-up ----

int music_init()
{
    if (FAILED(CoInitialize(nullptr)))
        return 0;
    if (FAILED(CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance,
                                reinterpret_cast<void**>(&music_performance))))
        return 0;
    if (FAILED(music_performance->Init(nullptr, dsound, main_window)))
        return 0;
    if (FAILED(music_performance->AddPort(nullptr)))  // the default port: the synthesizer
        return 0;
    if (FAILED(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader,
                                reinterpret_cast<void**>(&music_loader))))
        return 0;
    for (int i = 0; i < MUSIC_SLOT_COUNT; ++i)
        music_slots[i] = MusicSlot{nullptr, nullptr, i, MUSIC_SLOT_FREE};
    music_current = -1;
    return 1;
}

// ---- loading ----

int music_load_midi(const char* filename)
{
    if (!music_loader || !filename)
        return -1;
    const int id = lowest_free_slot();
    if (id < 0)
        return -1;
    IDirectMusicSegment* segment = load_segment(filename);
    if (!segment)
        return -1;
    MusicSlot& slot = music_slots[id];
    slot.segment = segment;
    slot.segment_state = nullptr;
    slot.state = MUSIC_SLOT_LOADED;
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
