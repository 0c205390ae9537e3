// dmusic_performance.cpp -- the performance: its one port is a FluidSynth synthesizer with the
// system's General MIDI soundfont, voiced in the mixer; a primary segment plays through
// FluidSynth's own MIDI player, timed by the samples the mixer renders.
#include <fluidsynth.h>

#include <algorithm>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>

#include "dmusic_internal.h"
#include "host.h"
#include "internal.h"

const CLSID CLSID_DirectMusicPerformance = {0xd2ac2881, 0xb39b, 0x11d1,
                                            {0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xb1, 0xbd}};
const IID IID_IDirectMusicPerformance = {0x07d43d03, 0x6523, 0x11d2, {0x87, 0x1d, 0x00, 0x60, 0x08, 0x93, 0xb1, 0xbd}};

// ---- constants ----
// Where Debian and its relatives put General MIDI soundfonts: the system's chosen default first.
static const char* const SOUNDFONTS[] = {
    "/usr/share/sounds/sf2/default-GM.sf2",     "/usr/share/sounds/sf3/default-GM.sf3",
    "/usr/share/sounds/sf2/default-GM.sf3",     "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf3/FluidR3Mono_GM.sf3", "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf3/MuseScore_General.sf3", "/usr/share/sounds/sf2/MuseScore_General.sf2",
};
static const char NO_SOUNDFONT[] = "no General MIDI soundfont found under /usr/share/sounds";
static const char BAD_SOUNDFONT[] = "the General MIDI soundfont cannot be read";

// ---- globals ----

// ---- helpers ----

// FluidSynth's console messages are of no use to a player of the game.
static void discard_log(int, const char*, void*) {}

static void quiet_fluidsynth()
{
    static bool done = false;
    if (done)
        return;
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, discard_log, nullptr);
    done = true;
}

std::string soundfont_path()
{
    if (machine.soundfont)
        return *machine.soundfont;
    for (const char* path : SOUNDFONTS) {
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error))
            return path;
    }
    return "";
}

// ---- life ----

Performance::~Performance() { CloseDown(); }

HRESULT Performance::QueryInterface(REFIID iid, void** object)
{
    return query_interface<IDirectMusicPerformance>(this, IID_IDirectMusicPerformance, iid, object);
}

HRESULT Performance::Init(IDirectMusic** direct_music, LPDIRECTSOUND output, HWND)
{
    if (const HRESULT hr = fault_check("IDirectMusicPerformance::Init"); FAILED(hr))
        return hr;
    if (initialized || closed)
        return DMUS_E_ALREADY_INITED;
    if (direct_music)
        return E_NOTIMPL;  // the stand-in has no IDirectMusic object to hand out
    // Music goes to the same device as the sound buffers, whether or not a DirectSound object is given.
    if (!mixer_open_device())
        return DSERR_NODRIVER;
    if (output) {
        output->AddRef();
        direct_sound = output;
    }
    initialized = true;
    return S_OK;
}

HRESULT Performance::start_synthesizer()
{
    const std::string path = soundfont_path();
    if (path.empty()) {
        host().music_unavailable(NO_SOUNDFONT);
        return DMUS_E_DRIVER_FAILED;
    }
    quiet_fluidsynth();
    settings = new_fluid_settings();
    if (settings) {
        fluid_settings_setnum(settings, "synth.sample-rate", MIXER_RATE);
        fluid_settings_setstr(settings, "player.timing-source", "sample");
        fluid_settings_setint(settings, "synth.threadsafe-api", 0);  // every call is under mixer_lock()
        synth = new_fluid_synth(settings);
    }
    if (!synth || fluid_synth_sfload(synth, path.c_str(), 1) == FLUID_FAILED) {
        free_synthesizer();
        host().music_unavailable(BAD_SOUNDFONT);
        return DMUS_E_DRIVER_FAILED;
    }
    std::lock_guard<std::mutex> hold(mixer_lock());
    mixer_attach(this);
    return S_OK;
}

void Performance::free_synthesizer()
{
    if (synth)
        delete_fluid_synth(synth);
    if (settings)
        delete_fluid_settings(settings);
    synth = nullptr;
    settings = nullptr;
}

HRESULT Performance::AddPort(IDirectMusicPort* port)
{
    if (const HRESULT hr = fault_check("IDirectMusicPerformance::AddPort"); FAILED(hr))
        return hr;
    if (!initialized || closed)
        return DMUS_E_NOT_INIT;
    if (port)
        return E_NOTIMPL;  // the default port, the synthesizer, is the only one there is
    if (synth)
        return S_OK;
    return start_synthesizer();
}

HRESULT Performance::CloseDown()
{
    if (!initialized || closed)
        return S_OK;
    closed = true;
    {
        std::lock_guard<std::mutex> hold(mixer_lock());
        stop_playing();
        mixer_detach(this);
    }
    free_synthesizer();
    release_and_clear(direct_sound);
    mixer_close_device();
    return S_OK;
}

// ---- playing ----

void Performance::stop_playing()
{
    if (player) {
        fluid_player_stop(player);
        delete_fluid_player(player);
        player = nullptr;
        // Stopping silences at once: no note is left to ring out.
        fluid_synth_all_sounds_off(synth, -1);
    }
    release_and_clear(current);
}

bool Performance::is_current(IDirectMusicSegment* segment, IDirectMusicSegmentState* segment_state) const
{
    if (!current)
        return false;
    if (segment && segment != static_cast<IDirectMusicSegment*>(current))
        return false;
    if (segment_state) {
        auto* state = dynamic_cast<SegmentState*>(segment_state);
        if (!state || state->play_id != current_play)
            return false;
    }
    return true;
}

HRESULT Performance::PlaySegment(IDirectMusicSegment* segment, DWORD flags, LONGLONG,
                                 IDirectMusicSegmentState** segment_state)
{
    if (segment_state)
        *segment_state = nullptr;
    if (const HRESULT hr = fault_check("IDirectMusicPerformance::PlaySegment"); FAILED(hr))
        return hr;
    if (!initialized || closed || !synth)
        return DMUS_E_NOT_INIT;
    auto* piece = dynamic_cast<Segment*>(segment);
    if (!piece)
        return E_POINTER;
    if (flags & DMUS_SEGF_SECONDARY)
        return E_NOTIMPL;  // only primary segments: one piece at a time
    SegmentState* state = nullptr;
    if (segment_state && !(state = new (std::nothrow) SegmentState(plays + 1)))
        return E_OUTOFMEMORY;

    std::lock_guard<std::mutex> hold(mixer_lock());
    // A new primary segment takes the place of the one playing, from its own start.
    stop_playing();
    if (!piece->midi.empty()) {
        player = new_fluid_player(synth);
        if (player && fluid_player_add_mem(player, piece->midi.data(), piece->midi.size()) == FLUID_OK)
            fluid_player_play(player);
    }
    current = piece;
    current->AddRef();
    current_play = ++plays;
    if (segment_state)
        *segment_state = state;
    return S_OK;
}

HRESULT Performance::Stop(IDirectMusicSegment* segment, IDirectMusicSegmentState* segment_state, MUSIC_TIME, DWORD)
{
    if (const HRESULT hr = fault_check("IDirectMusicPerformance::Stop"); FAILED(hr))
        return hr;
    if (!initialized || closed)
        return DMUS_E_NOT_INIT;
    std::lock_guard<std::mutex> hold(mixer_lock());
    // Neither named: everything stops.
    if (is_current(segment, segment_state))
        stop_playing();
    return S_OK;
}

HRESULT Performance::IsPlaying(IDirectMusicSegment* segment, IDirectMusicSegmentState* segment_state)
{
    if (const HRESULT hr = fault_check("IDirectMusicPerformance::IsPlaying"); FAILED(hr))
        return hr;
    if (!segment && !segment_state)
        return E_POINTER;
    if (!initialized || closed)
        return DMUS_E_NOT_INIT;
    std::lock_guard<std::mutex> hold(mixer_lock());
    return piece_running() && is_current(segment, segment_state) ? S_OK : S_FALSE;
}

// The segment plays until the time of its last event. The player runs on a while after that,
// letting the last notes ring out, but the piece itself has ended.
bool Performance::piece_running() const
{
    if (!player || fluid_player_get_status(player) != FLUID_PLAYER_PLAYING)
        return false;
    const int total = fluid_player_get_total_ticks(player);  // 0 until the player has read the file
    return total <= 0 || fluid_player_get_current_tick(player) < total;
}

// ---- the mixer's voice ----

void Performance::mix(float* sums, int frames)
{
    // Nothing playing: silence at once, and no cost. A piece that has ended renders on only
    // while its last notes ring.
    if (!synth || !player)
        return;
    if (fluid_player_get_status(player) != FLUID_PLAYER_PLAYING && fluid_synth_get_active_voice_count(synth) == 0)
        return;
    fluid_synth_write_float(synth, frames, rendered, 0, 2, rendered, 1, 2);
    mixer_add_fast(sums, rendered, frames, 32768.0f, 32768.0f);  // from ±1 to the 16-bit scale
}
