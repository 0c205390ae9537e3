// smf.cpp -- the standard MIDI file reader the loader runs before a file becomes a segment: every
// chunk inside the file, every event inside its track, and out of it a canonical copy that the
// synthesizer's player reads event for event as this reader did, so a file taken here plays.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "dmusic_internal.h"

// ---- constants ----
static constexpr size_t CHUNK_HEADER = 8;
static constexpr uint32_t HEADER_BYTES = 6;  // format, tracks, division: all the player reads
static constexpr int VLQ_MAX_BYTES = 4;      // a variable-length quantity holds at most 28 bits
static constexpr uint32_t VLQ_MAX = 0x0FFFFFFF;
// The player keeps this many tracks and gives up on a file with more.
static constexpr int PLAYER_TRACKS_MAX = 128;
// A track no longer than one quantity's reach: a delta carried past dropped events still fits
// one, and the player's tick counts stay far inside their 32 bits.
static constexpr uint64_t TRACK_TICKS_MAX = VLQ_MAX;

// ---- helpers: reading ----

static uint32_t big_endian32(const uint8_t* p)
{
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// A cursor over one track's bytes; every read is checked against its end.
struct TrackReader {
    const uint8_t* at;
    const uint8_t* end;

    bool byte(uint8_t* out)
    {
        if (at == end)
            return false;
        *out = *at++;
        return true;
    }
    bool quantity(uint32_t* out)
    {
        uint32_t value = 0;
        for (int i = 0; i < VLQ_MAX_BYTES; ++i) {
            uint8_t b;
            if (!byte(&b))
                return false;
            value = (value << 7) | (b & 0x7F);
            if (!(b & 0x80)) {
                *out = value;
                return true;
            }
        }
        return false;
    }
    // The next `bytes` bytes, or null when the track ends first.
    const uint8_t* take(uint32_t bytes)
    {
        if (bytes > static_cast<size_t>(end - at))
            return nullptr;
        const uint8_t* taken = at;
        at += bytes;
        return taken;
    }
};

// ---- helpers: writing ----

static void put_be(std::vector<uint8_t>* out, uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

static void put_quantity(std::vector<uint8_t>* out, uint32_t value)
{
    int shift = 21;
    while (shift > 0 && !(value >> shift))
        shift -= 7;
    for (; shift > 0; shift -= 7)
        out->push_back(static_cast<uint8_t>(0x80 | (value >> shift & 0x7F)));
    out->push_back(static_cast<uint8_t>(value & 0x7F));
}

// An event that keeps its place: the ticks since the last one written, then its bytes.
static void put_event(std::vector<uint8_t>* out, uint32_t* pending_ticks, const uint8_t* bytes, size_t n)
{
    put_quantity(out, *pending_ticks);
    *pending_ticks = 0;
    out->insert(out->end(), bytes, bytes + n);
}

// ---- helpers: events ----

// Meta events whose length the player insists on; -1 for the others.
static int meta_length(uint8_t type)
{
    switch (type) {
    case 0x2F: return 0;  // end of track
    case 0x51: return 3;  // tempo
    case 0x54: return 5;  // SMPTE offset
    case 0x58: return 4;  // time signature
    case 0x59: return 2;  // key signature
    default: return -1;
    }
}

static int data_bytes(uint8_t status)
{
    const uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

// A meta event after its 0xFF, copied whole; *ended when it closes the track.
static bool copy_meta(TrackReader& r, std::vector<uint8_t>* out, uint32_t* pending_ticks, bool* ended)
{
    const uint8_t* start = r.at - 1;
    uint8_t type;
    uint32_t length;
    if (!r.byte(&type) || type >= 0x80 || !r.quantity(&length))
        return false;
    const int required = meta_length(type);
    if (required >= 0 && length != static_cast<uint32_t>(required))
        return false;
    const uint8_t* body = r.take(length);
    // A tempo of 0 microseconds a beat would stop the player's clock dead.
    if (!body || (type == 0x51 && (body[0] | body[1] | body[2]) == 0))
        return false;
    *ended = type == 0x2F;
    put_event(out, pending_ticks, start, static_cast<size_t>(r.at - start));
    return true;
}

// A system exclusive event after its 0xF0 or 0xF7. The player reads only the 0xF0 form; an 0xF7
// escape (a continuation packet, or bytes sent as they are) it would refuse together with the
// whole file, so it is left out and its ticks pass to the next event.
static bool copy_sysex(TrackReader& r, uint8_t kind, std::vector<uint8_t>* out, uint32_t* pending_ticks)
{
    const uint8_t* start = r.at - 1;
    uint32_t length;
    if (!r.quantity(&length) || !r.take(length))
        return false;
    if (kind == 0xF0)
        put_event(out, pending_ticks, start, static_cast<size_t>(r.at - start));
    return true;
}

// A channel message whose status byte `b` is given or, for a data byte, is the running status;
// written with its status byte always, so no reader has to know what ran before it.
static bool copy_channel_message(TrackReader& r, uint8_t b, uint8_t* running, std::vector<uint8_t>* out,
                                 uint32_t* pending_ticks)
{
    uint8_t message[3];
    int n = 0;
    if (b >= 0x80) {
        *running = b;
    } else {
        if (*running == 0)
            return false;  // a data byte with no status before it
        message[1] = b;
        n = 1;
    }
    message[0] = *running;
    const int needed = data_bytes(*running);
    while (n < needed) {
        if (!r.byte(&b) || b >= 0x80)
            return false;
        message[++n] = b;
    }
    put_event(out, pending_ticks, message, static_cast<size_t>(needed) + 1);
    return true;
}

// Reads one track and appends its canonical MTrk chunk: every event up to and including the end
// of track, nothing after it. False for a track the player would not read as this reader does.
static bool copy_track(const uint8_t* data, size_t size, std::vector<uint8_t>* out)
{
    const size_t chunk = out->size();
    out->insert(out->end(), {'M', 'T', 'r', 'k', 0, 0, 0, 0});
    TrackReader r{data, data + size};
    uint8_t running = 0;        // the last channel status, for running status
    uint64_t ticks = 0;         // the track's length so far
    uint32_t pending_ticks = 0; // since the last event written
    for (bool ended = false; !ended;) {
        uint32_t delta;
        uint8_t b;
        if (!r.quantity(&delta) || !r.byte(&b))
            return false;
        ticks += delta;
        if (ticks > TRACK_TICKS_MAX)
            return false;
        pending_ticks += delta;
        bool ok;
        if (b == 0xFF) {
            ok = copy_meta(r, out, &pending_ticks, &ended);
        } else if (b == 0xF0 || b == 0xF7) {
            ok = copy_sysex(r, b, out, &pending_ticks);
            running = 0;  // system exclusive cancels running status
        } else if (b > 0xF0) {
            ok = false;  // system common and real-time messages have no place in a file
        } else {
            ok = copy_channel_message(r, b, &running, out, &pending_ticks);
        }
        if (!ok)
            return false;
    }
    const size_t body = out->size() - chunk - CHUNK_HEADER;
    for (int i = 0; i < 4; ++i)
        (*out)[chunk + 4 + i] = static_cast<uint8_t>(body >> (8 * (3 - i)));
    return true;
}

// ---- the reader ----

bool smf_canonical(const uint8_t* data, size_t size, std::vector<uint8_t>* out)
{
    out->clear();
    if (!data || size < CHUNK_HEADER + HEADER_BYTES || std::memcmp(data, "MThd", 4) != 0)
        return false;
    // A longer header keeps its extra bytes to itself: they are skipped.
    const uint32_t header_size = big_endian32(data + 4);
    if (header_size < HEADER_BYTES || header_size > size - CHUNK_HEADER)
        return false;
    const int format = (data[8] << 8) | data[9];
    const int tracks = (data[10] << 8) | data[11];
    const int division = (data[12] << 8) | data[13];
    // SMPTE time (division's top bit) is left out: the player times only in ticks per beat.
    if (format > 1 || tracks == 0 || tracks > PLAYER_TRACKS_MAX || (format == 0 && tracks != 1) || division == 0 ||
        (division & 0x8000))
        return false;
    out->insert(out->end(), {'M', 'T', 'h', 'd'});
    put_be(out, HEADER_BYTES, 4);
    put_be(out, static_cast<uint32_t>(format), 2);
    put_be(out, static_cast<uint32_t>(tracks), 2);
    put_be(out, static_cast<uint32_t>(division), 2);

    // Chunks other than tracks are skipped; the copy holds the tracks alone.
    size_t at = CHUNK_HEADER + header_size;
    for (int found = 0; found < tracks;) {
        if (size - at < CHUNK_HEADER)
            return false;
        for (int i = 0; i < 4; ++i)
            if (data[at + i] >= 0x80)
                return false;  // chunk names are ASCII
        const uint32_t length = big_endian32(data + at + 4);
        const size_t body = at + CHUNK_HEADER;
        if (length > size - body)
            return false;  // the chunk runs past the end of the file
        if (std::memcmp(data + at, "MTrk", 4) == 0) {
            if (!copy_track(data + body, length, out))
                return false;
            ++found;
        }
        at = body + length;
    }
    return true;
}
