// audio_fixtures.h -- what the audio tests share: RIFF and MIDI files built in memory, the sound
// and music layers brought up on the headless host, and measures of the rendered output.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "audio.h"
#include "fixtures.h"

typedef std::vector<uint8_t> Bytes;

// ---- files ----

inline void put16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void put32(Bytes& b, uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
inline void put_be16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}
inline void put_be32(Bytes& b, uint32_t v)
{
    put_be16(b, v >> 16);
    put_be16(b, v & 0xFFFF);
}
inline void put_id(Bytes& b, const char* id)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(id[i]));
}

inline void write_file(const std::string& name, const Bytes& bytes)
{
    std::FILE* f = std::fopen(name.c_str(), "wb");
    ASSERT_NE(f, nullptr) << name;
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// A RIFF chunk: identifier, claimed size (the body's own unless given), body, and the pad byte
// of an odd-sized body.
inline Bytes riff_chunk(const char* id, const Bytes& body, int64_t claimed = -1)
{
    Bytes b;
    put_id(b, id);
    put32(b, claimed < 0 ? static_cast<uint32_t>(body.size()) : static_cast<uint32_t>(claimed));
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1)
        b.push_back(0);
    return b;
}

inline Bytes fmt_body(int channels, int bits, int rate, int tag = 1)
{
    Bytes b;
    put16(b, tag);
    put16(b, channels);
    put32(b, rate);
    put32(b, rate * channels * bits / 8);
    put16(b, channels * bits / 8);
    put16(b, bits);
    return b;
}

// An extensible format: the plain one with tag 0xFFFE, then its extension (cbSize bytes claimed):
// valid bits, a channel mask, and the subformat GUID xxxxxxxx-0000-0010-8000-00AA00389B71 whose
// first field is the plain format's tag (1 integer PCM, 3 floating point).
inline Bytes fmt_extensible_body(int channels, int bits, int rate, int valid_bits, uint32_t subformat = 1,
                                 int cb_size = 22)
{
    Bytes b = fmt_body(channels, bits, rate, 0xFFFE);
    put16(b, cb_size);
    put16(b, valid_bits);
    put32(b, channels == 2 ? 3 : 0);  // front left and right, or no positions
    put32(b, subformat);
    for (uint8_t v : {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71})
        b.push_back(v);
    return b;
}

// A WAVE form of these sub-chunks, in a RIFF chunk whose size is right.
inline Bytes wave_file(const std::vector<Bytes>& chunks, const char* form = "WAVE")
{
    Bytes body;
    put_id(body, form);
    for (const Bytes& c : chunks)
        body.insert(body.end(), c.begin(), c.end());
    return riff_chunk("RIFF", body);
}

inline Bytes simple_wav(int channels, int bits, int rate, const Bytes& data)
{
    return wave_file({riff_chunk("fmt ", fmt_body(channels, bits, rate)), riff_chunk("data", data)});
}

inline Bytes pcm16(const std::vector<int16_t>& samples)
{
    Bytes b;
    for (int16_t s : samples)
        put16(b, static_cast<uint16_t>(s));
    return b;
}

// A standard MIDI file track: events appended in order, each after its delta time in ticks.
struct MidiTrack {
    Bytes events;
    void delta(uint32_t ticks)
    {
        uint8_t groups[4];
        int n = 0;
        do {
            groups[n++] = ticks & 0x7F;
            ticks >>= 7;
        } while (ticks && n < 4);
        while (n-- > 0)
            events.push_back(static_cast<uint8_t>(groups[n] | (n ? 0x80 : 0)));
    }
    void event(uint32_t ticks, std::initializer_list<uint8_t> bytes)
    {
        delta(ticks);
        for (uint8_t b : bytes)
            events.push_back(b);
    }
    void tempo(uint32_t us_per_beat)
    {
        event(0, {0xFF, 0x51, 0x03, static_cast<uint8_t>(us_per_beat >> 16), static_cast<uint8_t>(us_per_beat >> 8),
                  static_cast<uint8_t>(us_per_beat)});
    }
    void end(uint32_t ticks = 0) { event(ticks, {0xFF, 0x2F, 0x00}); }
};

inline Bytes midi_file(const std::vector<MidiTrack>& tracks, int format = 1, int division = 480)
{
    Bytes b;
    put_id(b, "MThd");
    put_be32(b, 6);
    put_be16(b, format);
    put_be16(b, static_cast<unsigned>(tracks.size()));
    put_be16(b, division);
    for (const MidiTrack& t : tracks) {
        put_id(b, "MTrk");
        put_be32(b, static_cast<uint32_t>(t.events.size()));
        b.insert(b.end(), t.events.begin(), t.events.end());
    }
    return b;
}

// One loud piano note of `beats` beats at 120 beats a minute (half a second each), then the end.
inline Bytes one_note_midi(uint32_t beats = 1)
{
    MidiTrack t;
    t.tempo(500000);
    t.event(0, {0xC0, 0x00});
    t.event(0, {0x90, 60, 120});
    t.event(480 * beats, {0x80, 60, 0});
    t.end();
    return midi_file({t}, 0);
}

// ---- the rendered output ----

struct Rendered {
    std::vector<int16_t> samples;  // left, right interleaved
    int frames() const { return static_cast<int>(samples.size() / 2); }
    int16_t left(int frame) const { return samples[2 * frame]; }
    int16_t right(int frame) const { return samples[2 * frame + 1]; }
    int peak() const
    {
        int p = 0;
        for (int16_t s : samples)
            p = std::max(p, std::abs(static_cast<int>(s)));
        return p;
    }
};

inline Rendered render(int frames) { return Rendered{testing_audio_render(frames)}; }

// ---- the layers ----

// The sound layer up on a fresh DirectSound object, in a scratch folder of the test's own.
class SoundTest : public testing::Test {
protected:
    void SetUp() override
    {
        make_test_window();
        sound_first_init = 1;  // each test starts the layer as the program does
        ASSERT_EQ(sound_init(), 1);
    }
    void TearDown() override
    {
        music_shutdown();
        sound_shutdown();
        EXPECT_EQ(testing_sound_buffers_alive(), 0) << "a buffer outlived the layer";
        EXPECT_EQ(testing_music_segments_alive(), 0) << "a segment outlived the layer";
    }
    // Writes the file and loads it with every control.
    int load(const char* name, const Bytes& file, DWORD flags = DSBCAPS_CTRLDEFAULT)
    {
        write_file(name, file);
        return sound_load_wav(name, flags);
    }
    ScratchFolder folder;
};

// Both layers up, as the game brings them up.
class MusicTest : public SoundTest {
protected:
    void SetUp() override
    {
        SoundTest::SetUp();
        ASSERT_EQ(music_init(), 1) << "no General MIDI soundfont on this machine?";
    }
    int load_midi(const char* name, const Bytes& file)
    {
        write_file(name, file);
        return music_load_midi(name);
    }
};
