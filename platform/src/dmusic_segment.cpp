// dmusic_segment.cpp -- a segment: one standard MIDI file held whole, with the parameters a
// caller sets on it (its kind, and its instruments downloaded to a performance or unloaded).
#include "dmusic_internal.h"
#include "internal.h"

const GUID GUID_Download = {0xd2ac28a7, 0xb39b, 0x11d1, {0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xb1, 0xbd}};
const GUID GUID_StandardMIDIFile = {0x06621075, 0xe92e, 0x11d1, {0xa8, 0xc5, 0x00, 0xc0, 0x4f, 0xa3, 0x72, 0x6e}};
const GUID GUID_Unload = {0xd2ac28a8, 0xb39b, 0x11d1, {0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xb1, 0xbd}};
const IID IID_IDirectMusicSegment = {0xf96029a2, 0x4282, 0x11d2, {0x87, 0x17, 0x00, 0x60, 0x08, 0x93, 0xb1, 0xbd}};
const IID IID_IDirectMusicSegmentState = {0xa3afdcc7, 0xd3ee, 0x11d1,
                                          {0xbc, 0x8d, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xeb}};

// ---- globals ----
static int alive = 0;  // segments not yet released, for the tests

// ---- life ----

Segment::Segment(std::vector<uint8_t> midi_file) : midi(std::move(midi_file)) { ++alive; }

Segment::~Segment() { --alive; }

int music_segments_alive() { return alive; }

HRESULT Segment::QueryInterface(REFIID iid, void** object)
{
    return query_interface<IDirectMusicSegment>(this, IID_IDirectMusicSegment, iid, object);
}

HRESULT SegmentState::QueryInterface(REFIID iid, void** object)
{
    return query_interface<IDirectMusicSegmentState>(this, IID_IDirectMusicSegmentState, iid, object);
}

// ---- parameters ----

HRESULT Segment::SetParam(REFGUID type, DWORD, DWORD, MUSIC_TIME, void* param)
{
    if (const HRESULT hr = fault_check("IDirectMusicSegment::SetParam"); FAILED(hr))
        return hr;
    // The file is read as General MIDI whatever this says; bank selects are the synthesizer's own.
    if (type == GUID_StandardMIDIFile)
        return S_OK;
    if (type == GUID_Download || type == GUID_Unload) {
        if (!param)
            return E_POINTER;
        // The caller names the performance whose synthesizer takes the instruments.
        auto* performance = dynamic_cast<Performance*>(static_cast<IDirectMusicPerformance*>(param));
        if (!performance)
            return E_INVALIDARG;
        if (type == GUID_Unload) {
            downloaded = false;
            return S_OK;
        }
        // Every instrument of the soundfont is already in the synthesizer; there must be one.
        if (!performance->has_synthesizer())
            return DMUS_E_NOT_INIT;
        downloaded = true;
        return S_OK;
    }
    return DMUS_E_SET_UNSUPPORTED;
}
