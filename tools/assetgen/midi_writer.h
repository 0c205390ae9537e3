// midi_writer.h -- standard MIDI files of format 1: a conductor track, then one track per instrument.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "bytes.h"

// One event at an absolute tick; `order` keeps meta and set-up events before note-offs, and note-offs
// before note-ons, when they share a tick.
struct MidiEvent {
    uint32_t tick;
    int order;
    Bytes data;
};

class MidiTrack {
public:
    explicit MidiTrack(std::string name) : name_(std::move(name)) {}
    void tempo(uint32_t tick, double bpm);
    void time_signature(uint32_t tick, int numerator, int denominator_power);
    void key_signature(uint32_t tick, int sharps, bool minor);
    void program(uint32_t tick, int channel, int program);
    void control(uint32_t tick, int channel, int controller, int value);
    // A note from `tick` lasting `length` ticks (at least one).
    void note(uint32_t tick, uint32_t length, int channel, int key, int velocity);
    // The track ends no earlier than `tick`, so a last chord can ring out after its note-offs.
    void end_at(uint32_t tick) { end_tick_ = tick; }
    uint32_t end_tick() const { return end_tick_; }
    const std::string& name() const { return name_; }
    const std::vector<MidiEvent>& events() const { return events_; }

private:
    std::string name_;
    std::vector<MidiEvent> events_;
    uint32_t end_tick_ = 0;
};

// The whole file: "MThd" (format 1, the track count, ticks per quarter note) and one "MTrk" per track,
// each starting with its name and ending with an end-of-track event.
Bytes encode_midi(const std::vector<MidiTrack>& tracks, int ticks_per_quarter);
