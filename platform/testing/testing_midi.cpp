// testing_midi.cpp -- the MIDI oracle: a file the stand-in's reader takes is played, as the reader's
// canonical copy, through the synthesizer's own player, and must play every channel message the
// reader counted and end no earlier than the length the reader counted. Offline and bounded: no
// soundfont, no audio device, and a fast clock for whatever a piece holds past its first seconds.
#include <fluidsynth.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "dmusic_internal.h"
#include "testing.h"

// ---- constants ----
static constexpr int RATE = 8000;  // the synthesizer's lowest: the most music per block rendered
static constexpr int BLOCK = 64;   // frames: the synthesizer runs the player once a block
static_assert(BLOCK * 1000 / RATE == TESTING_MIDI_BLOCK_MS);
static constexpr int OWN_TEMPO_BLOCKS = TESTING_MIDI_OWN_TEMPO_MS / TESTING_MIDI_BLOCK_MS;
// The fast clock: a beat of one microsecond, the shortest the player takes, makes a block of 8 ms
// pass 8000 ticks times the division, so even the longest track the reader takes (2^28 ticks, at
// one tick a beat) ends within 33554 blocks.
static constexpr double FAST_TEMPO_US = 1.0;
static constexpr int64_t FAST_TICKS_PER_BLOCK_PER_DIVISION = int64_t{TESTING_MIDI_BLOCK_MS} * 1000;
// The player goes on for a while after its last track ends, letting the last notes ring (two
// seconds in FluidSynth 2.3), before it reports that it is done; this leaves room for that. Its
// tick goes on counting meanwhile, so the fast clock gives way to the player's own default first:
// two seconds of the fast clock would carry the count past its int.
static constexpr int RING_OUT_BLOCKS = 4000 / TESTING_MIDI_BLOCK_MS;
static constexpr double RING_OUT_TEMPO_US = 500000;

// ---- records ----

// What the player's callbacks saw while one copy played.
struct Playing {
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    int block = 0;           // the block being rendered
    int64_t length = 0;      // the reader's
    bool loaded = false;     // the player read the copy: it counted its first tick
    bool backwards = false;  // the player's tick went back
    int last_tick = -1;      // the last tick the player counted
    int reached_end_at = -1; // the first tick at or past the length the player counted
    uint64_t channel_messages = 0;
    std::vector<TestingMidiNote>* notes = nullptr;
};

// ---- helpers ----

static void discard_log(int, const char*, void*) {}

static int on_tick(void* data, int tick)
{
    auto* p = static_cast<Playing*>(data);
    p->loaded = true;
    // Only the piece's own ticks must run forwards: the count a player goes on with after the
    // end at a very fast tempo may run past its int (a beat of under about 34 microseconds).
    if (p->reached_end_at < 0) {
        p->backwards = p->backwards || tick < p->last_tick;
        if (tick >= p->length)
            p->reached_end_at = tick;
    }
    p->last_tick = tick;
    return FLUID_OK;
}

// Every event the player sends goes on to the synthesizer, as in the game; channel messages are
// counted and note-ons kept with the tick and the time they were sent at.
static int on_event(void* data, fluid_midi_event_t* event)
{
    auto* p = static_cast<Playing*>(data);
    const int type = fluid_midi_event_get_type(event);
    if (type >= 0x80 && type < 0xF0)
        ++p->channel_messages;
    if (type == 0x90 && fluid_midi_event_get_velocity(event) > 0)
        p->notes->push_back(TestingMidiNote{fluid_player_get_current_tick(p->player), p->block * TESTING_MIDI_BLOCK_MS,
                                            fluid_midi_event_get_channel(event), fluid_midi_event_get_key(event)});
    return fluid_synth_handle_midi_event(p->synth, event);
}

// The synthesizer every copy plays through: no soundfont and no effects, so notes change its
// state but make no voices. Made once, since making one costs more than playing most files.
static fluid_synth_t* silent_synthesizer()
{
    static fluid_synth_t* synth = nullptr;
    if (synth)
        return synth;
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, discard_log, nullptr);
    fluid_settings_t* settings = new_fluid_settings();
    if (!settings)
        return nullptr;
    fluid_settings_setnum(settings, "synth.sample-rate", RATE);
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    fluid_settings_setint(settings, "synth.threadsafe-api", 0);
    fluid_settings_setint(settings, "synth.reverb.active", 0);
    fluid_settings_setint(settings, "synth.chorus.active", 0);
    fluid_settings_setint(settings, "synth.polyphony", 16);
    synth = new_fluid_synth(settings);  // keeps the settings for as long as it lives
    return synth;
}

// Renders until the player ends, or until it reaches the piece's length when `to_length`, or until
// `blocks` more have passed; true when it ended.
static bool render(Playing& p, int64_t blocks, bool to_length = false)
{
    float left[BLOCK], right[BLOCK];
    for (int64_t i = 0; i < blocks && !(to_length && p.reached_end_at >= 0); ++i) {
        if (fluid_player_get_status(p.player) != FLUID_PLAYER_PLAYING)
            return true;
        fluid_synth_write_float(p.synth, BLOCK, left, 0, 1, right, 0, 1);
        ++p.block;
    }
    return fluid_player_get_status(p.player) != FLUID_PLAYER_PLAYING;
}

// Plays the copy: the piece's first seconds at its own tempo, the rest on the fast clock. Empty
// when it played to its end, else what went wrong.
static std::string play_copy(Playing& p, const std::vector<uint8_t>& copy, const SmfSummary& counted, int division)
{
    fluid_player_set_tick_callback(p.player, on_tick, &p);
    fluid_player_set_playback_callback(p.player, on_event, &p);
    if (fluid_player_add_mem(p.player, copy.data(), copy.size()) != FLUID_OK || fluid_player_play(p.player) != FLUID_OK)
        return "the player took no copy";
    bool ended = render(p, OWN_TEMPO_BLOCKS);
    if (!ended && p.reached_end_at < 0) {
        // The tempo the file sets from here on is remembered but no longer followed.
        fluid_player_set_tempo(p.player, FLUID_PLAYER_TEMPO_EXTERNAL_MIDI, FAST_TEMPO_US);
        const int64_t left = std::max<int64_t>(p.length - std::max(p.last_tick, 0), 0);
        ended = render(p, left / (FAST_TICKS_PER_BLOCK_PER_DIVISION * division) + 2, true);
        fluid_player_set_tempo(p.player, FLUID_PLAYER_TEMPO_EXTERNAL_MIDI, RING_OUT_TEMPO_US);
    }
    if (!ended)
        ended = render(p, RING_OUT_BLOCKS);
    const std::string of = " of " + std::to_string(p.length);
    if (!p.loaded)
        return "the player refused the copy";
    if (p.backwards)
        return "the player's tick went back";
    if (fluid_player_get_total_ticks(p.player) != p.length)
        return "the player counts " + std::to_string(fluid_player_get_total_ticks(p.player)) + " ticks" + of;
    if (p.reached_end_at < 0)
        return "the player stopped at tick " + std::to_string(p.last_tick) + of;
    if (!ended)
        return "the player had not ended at tick " + std::to_string(p.last_tick) + of;
    if (p.channel_messages != counted.channel_messages)
        return "the player sent " + std::to_string(p.channel_messages) + " channel messages of " +
               std::to_string(counted.channel_messages);
    return "";
}

// ---- the oracle ----

TestingMidiPlay testing_midi_play(const uint8_t* data, size_t size)
{
    TestingMidiPlay result;
    std::vector<uint8_t> copy;
    SmfSummary counted;
    result.accepted = smf_canonical(data, size, &copy, &counted);
    if (!result.accepted)
        return result;
    result.tracks = counted.tracks;
    result.length = static_cast<int>(counted.length);
    const int division = (copy[12] << 8) | copy[13];  // the copy's header: 6 bytes after its 8

    Playing p;
    p.length = counted.length;
    p.notes = &result.notes;
    p.synth = silent_synthesizer();
    if (!p.synth) {
        result.failure = "no synthesizer";
        return result;
    }
    // Each piece from the synthesizer's start-up state, whatever the last one left.
    fluid_synth_system_reset(p.synth);
    p.player = new_fluid_player(p.synth);
    result.failure = p.player ? play_copy(p, copy, counted, division) : "no player";
    result.reached_end_at = p.reached_end_at;
    if (p.player)
        delete_fluid_player(p.player);
    return result;
}
