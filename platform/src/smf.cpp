// smf.cpp -- the standard MIDI file check the loader makes before a file becomes a segment: every
// chunk inside the file, every event inside its track, so the synthesizer's player gets only files
// it reads to the end.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "dmusic_internal.h"

// ---- constants ----
static constexpr size_t CHUNK_HEADER = 8;
static constexpr int VLQ_MAX_BYTES = 4;  // a variable-length quantity holds at most 28 bits

// ---- helpers ----

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
    bool skip(uint32_t bytes)
    {
        if (bytes > static_cast<size_t>(end - at))
            return false;
        at += bytes;
        return true;
    }
};

// Meta events whose length the player insists on; 0 for the others.
static int meta_length(uint8_t type)
{
    switch (type) {
    case 0x2F: return 0;  // end of track (checked apart)
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

// A meta event after its 0xFF; *ended when it closes the track.
static bool meta_event(TrackReader& r, bool* ended)
{
    uint8_t type;
    uint32_t length;
    if (!r.byte(&type) || type >= 0x80 || !r.quantity(&length))
        return false;
    const int required = meta_length(type);
    if (type == 0x2F) {
        *ended = true;
        return length == 0;
    }
    if (required >= 0 && length != static_cast<uint32_t>(required))
        return false;
    return r.skip(length);
}

static bool track_parses(const uint8_t* data, size_t size)
{
    TrackReader r{data, data + size};
    uint8_t running = 0;  // the last channel status, for running status
    for (;;) {
        uint32_t delta;
        uint8_t b;
        if (!r.quantity(&delta) || !r.byte(&b))
            return false;
        if (b == 0xFF) {
            bool ended = false;
            if (!meta_event(r, &ended))
                return false;
            if (ended)
                return true;
            continue;
        }
        if (b == 0xF0 || b == 0xF7) {
            uint32_t length;
            if (!r.quantity(&length) || !r.skip(length))
                return false;
            running = 0;  // system exclusive cancels running status
            continue;
        }
        if (b > 0xF0)
            return false;  // system common and real-time messages have no place in a file
        int needed = data_bytes(b >= 0x80 ? b : running);
        if (b >= 0x80) {
            running = b;
        } else {
            if (running == 0)
                return false;  // a data byte with no status before it
            --needed;          // b was the first data byte
        }
        for (; needed > 0; --needed)
            if (!r.byte(&b) || b >= 0x80)
                return false;
    }
}

// ---- the check ----

bool smf_parses(const uint8_t* data, size_t size)
{
    if (!data || size < CHUNK_HEADER + 6 || std::memcmp(data, "MThd", 4) != 0)
        return false;
    const uint32_t header_size = big_endian32(data + 4);
    if (header_size < 6 || header_size > size - CHUNK_HEADER)
        return false;
    const int format = (data[8] << 8) | data[9];
    const int tracks = (data[10] << 8) | data[11];
    const int division = (data[12] << 8) | data[13];
    // SMPTE time (division's top bit) is left out: the player times only in ticks per beat.
    if (format > 1 || tracks == 0 || (format == 0 && tracks != 1) || division == 0 || (division & 0x8000))
        return false;

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
            if (!track_parses(data + body, length))
                return false;
            ++found;
        }
        at = body + length;
    }
    return true;
}
