// smf.cpp -- the standard MIDI file reader the loader runs before a file becomes a segment: every
// chunk inside the file, every event inside its track, and out of it a canonical copy that the
// synthesizer's player reads event for event as this reader did, so a file taken here plays.
// A file of more tracks than the player reads has its last ones merged into one, in time order.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <queue>

#include "dmusic_internal.h"

// ---- constants ----
static constexpr size_t CHUNK_HEADER = 8;
static constexpr uint32_t HEADER_BYTES = 6;  // format, tracks, division: all the player reads
static constexpr int VLQ_MAX_BYTES = 4;      // a variable-length quantity holds at most 28 bits
static constexpr uint32_t VLQ_MAX = 0x0FFFFFFF;
// The tracks the player reads: it keeps 128, but takes the header's count through a signed char,
// so a count of 128 reads as none at all, and one over 255 as more than it keeps. The copy holds
// no more than this.
static constexpr int PLAYER_TRACKS_MAX = 127;
// A track no longer than one quantity's reach: a delta carried past dropped events, and the gap
// between two events of a merged track, still fit one, and the player's tick counts stay far
// inside their 32 bits.
static constexpr uint64_t TRACK_TICKS_MAX = VLQ_MAX;
// The player reads a track's size as a signed 32-bit count.
static constexpr size_t TRACK_BYTES_MAX = 0x7FFFFFFF;
static const uint8_t END_OF_TRACK[] = {0xFF, 0x2F, 0x00};

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

// Starts an MTrk chunk whose size close_chunk fills in; its offset in `out`.
static size_t open_chunk(std::vector<uint8_t>* out)
{
    const size_t chunk = out->size();
    out->insert(out->end(), {'M', 'T', 'r', 'k', 0, 0, 0, 0});
    return chunk;
}

// False for a track too large for the player to read.
static bool close_chunk(std::vector<uint8_t>* out, size_t chunk)
{
    const size_t body = out->size() - chunk - CHUNK_HEADER;
    if (body > TRACK_BYTES_MAX)
        return false;
    for (int i = 0; i < 4; ++i)
        (*out)[chunk + 4 + i] = static_cast<uint8_t>(body >> (8 * (3 - i)));
    return true;
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
// `summary` gains the track's channel messages, and its length when that is the longest yet.
static bool copy_track(const uint8_t* data, size_t size, std::vector<uint8_t>* out, SmfSummary* summary)
{
    const size_t chunk = open_chunk(out);
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
            ++summary->channel_messages;
        }
        if (!ok)
            return false;
    }
    summary->length = std::max(summary->length, static_cast<uint32_t>(ticks));
    return close_chunk(out, chunk);
}

// ---- helpers: merging ----
// The tracks merged are canonical copies this reader has just made, so each event is whole and
// each track closes with its end of track: these loops trust that.

// A canonical track being merged: where its next event lies and the tick it falls on.
struct MergeCursor {
    TrackReader events;  // at the next event's status byte
    uint32_t tick;       // the next event's tick from the start of the piece
};

// The bytes of the event at the cursor, status byte first.
static size_t event_size(TrackReader r)
{
    const uint8_t* start = r.at;
    uint8_t status = 0, type = 0;
    uint32_t length = 0;
    r.byte(&status);
    if (status == 0xFF) {
        r.byte(&type);
        r.quantity(&length);
        r.take(length);
    } else if (status == 0xF0) {
        r.quantity(&length);
        r.take(length);
    } else {
        r.take(static_cast<uint32_t>(data_bytes(status)));
    }
    return static_cast<size_t>(r.at - start);
}

// Moves the cursor past `bytes` and over the next delta; false when the track has no event left.
static bool advance(MergeCursor* c, size_t bytes)
{
    c->events.at += bytes;
    uint32_t delta;
    if (!c->events.quantity(&delta))
        return false;
    c->tick += delta;
    return true;
}

// Appends one MTrk chunk holding every event of the canonical tracks at `starts` in `tracks`, in
// the order of their ticks (a tie goes to the track earlier in the file, as the player sends
// them), each at its own tick, and one end of track, at the end of the longest of them.
static bool merge_tracks(const std::vector<uint8_t>& tracks, const std::vector<size_t>& starts,
                         std::vector<uint8_t>* out)
{
    std::vector<MergeCursor> cursors;
    cursors.reserve(starts.size());
    // Smallest first: the next tick in the high bits, the track's place below it.
    std::priority_queue<uint64_t, std::vector<uint64_t>, std::greater<uint64_t>> next;
    for (const size_t start : starts) {
        const uint8_t* body = tracks.data() + start + CHUNK_HEADER;
        MergeCursor c{{body, body + big_endian32(tracks.data() + start + 4)}, 0};
        if (!advance(&c, 0))
            return false;
        next.push(uint64_t{c.tick} << 32 | cursors.size());
        cursors.push_back(c);
    }
    const size_t chunk = open_chunk(out);
    uint32_t written_tick = 0;  // the tick of the last event written
    uint32_t end_tick = 0;
    while (!next.empty()) {
        MergeCursor& c = cursors[static_cast<uint32_t>(next.top())];
        next.pop();
        const size_t bytes = event_size(c.events);
        if (bytes == sizeof END_OF_TRACK && std::memcmp(c.events.at, END_OF_TRACK, bytes) == 0) {
            end_tick = std::max(end_tick, c.tick);  // the last event of its track
            continue;
        }
        uint32_t delta = c.tick - written_tick;
        put_event(out, &delta, c.events.at, bytes);
        written_tick = c.tick;
        if (!advance(&c, bytes))
            return false;
        next.push(uint64_t{c.tick} << 32 | static_cast<uint64_t>(&c - cursors.data()));
    }
    uint32_t delta = end_tick - written_tick;
    put_event(out, &delta, END_OF_TRACK, sizeof END_OF_TRACK);
    return close_chunk(out, chunk);
}

// ---- the reader ----

bool smf_canonical(const uint8_t* data, size_t size, std::vector<uint8_t>* out, SmfSummary* summary)
{
    SmfSummary counted;
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
    if (format > 1 || tracks == 0 || (format == 0 && tracks != 1) || division == 0 || (division & 0x8000))
        return false;
    // Tracks past the player's last are merged into its last: tracks kept - 1 onwards.
    const int kept = std::min(tracks, PLAYER_TRACKS_MAX);
    const int merged_from = tracks > PLAYER_TRACKS_MAX ? kept - 1 : tracks;
    out->insert(out->end(), {'M', 'T', 'h', 'd'});
    put_be(out, HEADER_BYTES, 4);
    put_be(out, static_cast<uint32_t>(format), 2);
    put_be(out, static_cast<uint32_t>(kept), 2);
    put_be(out, static_cast<uint32_t>(division), 2);

    // The tracks to merge, each copied alone first, so the merge reads only checked events. An
    // event's copy is its own bytes (a status byte more, for running status) after a delta of at
    // most 4 bytes, and every event of the file takes at least 2, so these copies and the merged
    // track stay within 4 times the file's size; close_chunk refuses a track the player cannot count.
    std::vector<uint8_t> to_merge;
    std::vector<size_t> to_merge_starts;

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
            if (found >= merged_from)
                to_merge_starts.push_back(to_merge.size());
            if (!copy_track(data + body, length, found < merged_from ? out : &to_merge, &counted))
                return false;
            ++found;
        }
        at = body + length;
    }
    if (!to_merge_starts.empty() && !merge_tracks(to_merge, to_merge_starts, out))
        return false;
    counted.tracks = kept;
    if (summary)
        *summary = counted;
    return true;
}
