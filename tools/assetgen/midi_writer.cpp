// midi_writer.cpp -- sorts each track's events and writes them with variable-length delta times.
#include "midi_writer.h"

#include <algorithm>
#include <cmath>

// ---- helpers ----

static void put_varlen(Bytes& out, uint32_t v)
{
    uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = static_cast<uint8_t>(v & 0x7Fu);
        v >>= 7;
    } while (v);
    while (n > 1)
        out.push_back(static_cast<uint8_t>(groups[--n] | 0x80u));
    out.push_back(groups[0]);
}

static Bytes meta(uint8_t type, const Bytes& payload)
{
    Bytes b{0xFF, type};
    put_varlen(b, static_cast<uint32_t>(payload.size()));
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}

static Bytes encode_track(const MidiTrack& track)
{
    std::vector<MidiEvent> events = track.events();
    std::stable_sort(events.begin(), events.end(), [](const MidiEvent& a, const MidiEvent& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    Bytes body;
    put_varlen(body, 0);
    const Bytes name = meta(0x03, Bytes(track.name().begin(), track.name().end()));
    body.insert(body.end(), name.begin(), name.end());
    uint32_t now = 0;
    for (const MidiEvent& e : events) {
        put_varlen(body, e.tick - now);
        now = e.tick;
        body.insert(body.end(), e.data.begin(), e.data.end());
    }
    put_varlen(body, std::max(now, track.end_tick()) - now);
    const Bytes end = meta(0x2F, {});
    body.insert(body.end(), end.begin(), end.end());
    Bytes out;
    put_text(out, "MTrk");
    put_be32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// ---- public operations ----

void MidiTrack::tempo(uint32_t tick, double bpm)
{
    const auto us = static_cast<uint32_t>(std::lround(60000000.0 / bpm));
    events_.push_back(
        {tick, 0,
         meta(0x51, {static_cast<uint8_t>(us >> 16), static_cast<uint8_t>(us >> 8), static_cast<uint8_t>(us)})});
}

void MidiTrack::time_signature(uint32_t tick, int numerator, int denominator_power)
{
    events_.push_back(
        {tick, 0, meta(0x58, {static_cast<uint8_t>(numerator), static_cast<uint8_t>(denominator_power), 24, 8})});
}

void MidiTrack::key_signature(uint32_t tick, int sharps, bool minor)
{
    events_.push_back(
        {tick, 0,
         meta(0x59, {static_cast<uint8_t>(static_cast<int8_t>(sharps)), static_cast<uint8_t>(minor ? 1 : 0)})});
}

void MidiTrack::program(uint32_t tick, int channel, int program)
{
    events_.push_back({tick, 1, {static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(program)}});
}

void MidiTrack::control(uint32_t tick, int channel, int controller, int value)
{
    events_.push_back(
        {tick,
         1,
         {static_cast<uint8_t>(0xB0 | channel), static_cast<uint8_t>(controller), static_cast<uint8_t>(value)}});
}

void MidiTrack::note(uint32_t tick, uint32_t length, int channel, int key, int velocity)
{
    key = std::clamp(key, 0, 127);
    velocity = std::clamp(velocity, 1, 127);
    events_.push_back(
        {tick, 3, {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(key), static_cast<uint8_t>(velocity)}});
    events_.push_back(
        {tick + std::max(length, 1u), 2, {static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(key), 64}});
}

Bytes encode_midi(const std::vector<MidiTrack>& tracks, int ticks_per_quarter)
{
    Bytes out;
    put_text(out, "MThd");
    put_be32(out, 6);
    put_be16(out, 1);
    put_be16(out, static_cast<uint32_t>(tracks.size()));
    put_be16(out, static_cast<uint32_t>(ticks_per_quarter));
    for (const MidiTrack& t : tracks) {
        const Bytes chunk = encode_track(t);
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}
