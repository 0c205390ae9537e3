// dmusic_internal.h -- the stand-in's DirectMusic objects: a performance whose one port is a
// FluidSynth synthesizer voiced in the mixer, a loader of standard MIDI files, and their segments.
#pragma once
#include <dmusici.h>

#include <cstdint>
#include <string>
#include <vector>

#include <fluidsynth/types.h>

#include "audio_internal.h"
#include "com_object.h"

// ---- COM identity ----
// QueryInterface for an object that answers to IUnknown and to one interface of its own.
template <class Interface>
HRESULT query_interface(Interface* self, const IID& own, REFIID asked, void** object)
{
    if (!object)
        return E_POINTER;
    if (asked != IID_IUnknown && asked != own) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    self->AddRef();
    *object = self;
    return S_OK;
}

// ---- smf.cpp ----
// What the reader counted in a file it took, for checking what the player makes of the copy.
struct SmfSummary {
    int tracks = 0;                  // in the copy: the file's, or the 127 the player reads when it has more
    uint32_t length = 0;             // ticks to the end of the longest track
    uint64_t channel_messages = 0;   // notes, controllers, programs, pressures and bends: each one sent
};

// True when data is a standard MIDI file (format 0 or 1, ticks per quarter note) whose chunks lie
// inside it and whose tracks are well-formed event lists each closed by an end-of-track event,
// none longer than 2^28 - 1 ticks, no tempo 0. `out` then holds the copy the synthesizer's player
// is given: a 6-byte header, the tracks alone, every channel message with its status byte, no 0xF7
// escapes, and at most the 127 tracks the player reads: from the 127th on, a file's tracks are
// merged into one, every event at its own tick. `summary`, when given, receives the counts.
bool smf_canonical(const uint8_t* data, size_t size, std::vector<uint8_t>* out, SmfSummary* summary = nullptr);

// ---- dmusic_segment.cpp ----
class Segment final : public ComObject<IDirectMusicSegment> {
public:
    explicit Segment(std::vector<uint8_t> midi_file);  // canonical (smf_canonical); empty: nothing to play
    ~Segment() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE SetParam(REFGUID type, DWORD group_bits, DWORD index, MUSIC_TIME time,
                                       void* param) override;

    const std::vector<uint8_t> midi;  // the file as the player reads it
    bool downloaded = false;
};

class SegmentState final : public ComObject<IDirectMusicSegmentState> {
public:
    explicit SegmentState(uint64_t play) : play_id(play) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    const uint64_t play_id;  // which PlaySegment of its performance made it
};

// ---- dmusic_performance.cpp ----
class Performance final : public ComObject<IDirectMusicPerformance>, public MixerVoice {
public:
    ~Performance() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE Init(IDirectMusic** direct_music, LPDIRECTSOUND direct_sound, HWND window) override;
    HRESULT STDMETHODCALLTYPE PlaySegment(IDirectMusicSegment* segment, DWORD flags, LONGLONG start_time,
                                          IDirectMusicSegmentState** segment_state) override;
    HRESULT STDMETHODCALLTYPE Stop(IDirectMusicSegment* segment, IDirectMusicSegmentState* segment_state,
                                   MUSIC_TIME time, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE IsPlaying(IDirectMusicSegment* segment,
                                        IDirectMusicSegmentState* segment_state) override;
    HRESULT STDMETHODCALLTYPE AddPort(IDirectMusicPort* port) override;
    HRESULT STDMETHODCALLTYPE CloseDown() override;

    void mix(float* sums, int frames) override;
    bool has_synthesizer() const { return synth != nullptr; }

private:
    bool is_current(IDirectMusicSegment* segment, IDirectMusicSegmentState* segment_state) const;
    bool piece_running() const;  // under mixer_lock()
    void stop_playing();  // under mixer_lock()
    HRESULT start_synthesizer();
    void free_synthesizer();  // once the mixer no longer holds it

    bool initialized = false;
    bool closed = false;
    IDirectSound* direct_sound = nullptr;  // the output it was given, held until CloseDown
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    // What plays, under mixer_lock(): the current primary segment and its player.
    fluid_player_t* player = nullptr;
    Segment* current = nullptr;
    uint64_t current_play = 0;
    uint64_t plays = 0;
    float rendered[MIXER_BLOCK * MIXER_CHANNELS];
};

// ---- dmusic_loader.cpp ----
class Loader final : public ComObject<IDirectMusicLoader> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE GetObject(LPDMUS_OBJECTDESC desc, REFIID iid, LPVOID* object) override;
    HRESULT STDMETHODCALLTYPE SetSearchDirectory(REFGUID object_class, WCHAR* path, BOOL clear) override;

private:
    std::string search_directory;  // UTF-8; empty: the current directory
};
