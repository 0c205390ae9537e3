// music_test.cpp -- the music layer on the synthesizer: loads into slots, the slot states through
// play, stop, status and delete, what the mixer hears, refused files, and music without a soundfont.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <tuple>

#include "audio_fixtures.h"

class Music : public MusicTest {
protected:
    int load_note(const char* name = "note.mid", uint32_t beats = 1) { return load_midi(name, one_note_midi(beats)); }
};

// ---- loading ----

TEST_F(Music, FiveLoadsTakeIdsZeroToFour)
{
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(load_note(), i);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NE(music_slots[i].segment, nullptr);
        EXPECT_EQ(music_slots[i].segment_state, nullptr);
        EXPECT_EQ(music_slots[i].state, MUSIC_SLOT_LOADED);
        EXPECT_EQ(music_slots[i].id, i);
    }
    EXPECT_EQ(music_current, -1);
}

TEST_F(Music, SixtyFifthLoadFindsNoSlot)
{
    write_file("note.mid", one_note_midi());
    for (int i = 0; i < MUSIC_SLOT_COUNT; ++i)
        ASSERT_EQ(music_load_midi("note.mid"), i);
    EXPECT_EQ(music_load_midi("note.mid"), -1);
    EXPECT_EQ(testing_music_segments_alive(), MUSIC_SLOT_COUNT);
}

TEST_F(Music, FileOutsideTheCurrentDirectoryIsNotFound)
{
    std::filesystem::create_directory("elsewhere");
    write_file("elsewhere/piece.mid", one_note_midi());
    EXPECT_EQ(music_load_midi("piece.mid"), -1);
    EXPECT_EQ(music_slots[0].state, MUSIC_SLOT_FREE);
    std::filesystem::current_path("elsewhere");
    EXPECT_EQ(music_load_midi("piece.mid"), 0) << "the search directory follows the current one";
}

TEST_F(Music, FilesThatDoNotParseAreRefusedEachWithItsReason)
{
    Bytes past_end = one_note_midi();
    past_end[21] += 1;  // the track claims one byte more than the file holds
    Bytes no_end = one_note_midi();
    no_end.resize(no_end.size() - 3);  // the end-of-track event cut off...
    no_end[21] -= 3;                   // ...with the track's size to match
    MidiTrack bad_tempo;
    bad_tempo.event(0, {0xFF, 0x51, 0x02, 0x07, 0xA1});
    bad_tempo.end();
    MidiTrack orphan_data;
    orphan_data.event(0, {0x3C, 0x40});  // data bytes with no status before them
    orphan_data.end();
    MidiTrack stopped_clock;
    stopped_clock.tempo(0);
    stopped_clock.end();
    MidiTrack too_long;
    too_long.event(0x0FFFFFFF, {0x90, 60, 100});
    too_long.end(1);
    // What audio_reason() says: the header's fault, or the reader's refusal.
    const char* const NOT_MIDI = "not a standard MIDI file: it does not begin with an MThd header";
    const char* const REFUSED = "its tracks do not parse, or cannot play (error 0x88781200)";
    const std::vector<std::tuple<const char*, Bytes, const char*>> files = {
        {"not MIDI", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0}, NOT_MIDI},
        {"a track running past the file", past_end, REFUSED},
        {"a track without its end", no_end, REFUSED},
        {"a tempo of two bytes", midi_file({bad_tempo}), REFUSED},
        {"data without status", midi_file({orphan_data}), REFUSED},
        {"a tempo of 0", midi_file({stopped_clock}), REFUSED},
        {"a track longer than the player can count", midi_file({too_long}), REFUSED},
        {"SMPTE timing", midi_file({MidiTrack{{0x00, 0xFF, 0x2F, 0x00}}}, 0, 0xE728),
         "SMPTE time is not played (only ticks a beat)"},
        {"format 2", midi_file({MidiTrack{{0x00, 0xFF, 0x2F, 0x00}}}, 2),
         "format 2 files are not played (separate pieces, which would sound at once)"},
        {"0 ticks a beat", midi_file({MidiTrack{{0x00, 0xFF, 0x2F, 0x00}}}, 0, 0), "0 ticks a beat cannot play"},
        {"fewer tracks than the header says",
         [] {
             Bytes b = one_note_midi();
             b[9] = 1;   // format 1...
             b[11] = 2;  // ...of two tracks, with one in the file
             return b;
         }(),
         REFUSED},
        {"empty", Bytes{}, NOT_MIDI},
    };
    for (const auto& [what, file, reason] : files) {
        write_file("bad.mid", file);
        EXPECT_EQ(music_load_midi("bad.mid"), -1) << what;
        EXPECT_STREQ(audio_reason(), reason) << what;
        EXPECT_EQ(music_slots[0].state, MUSIC_SLOT_FREE) << what;
    }
    EXPECT_EQ(music_load_midi("missing.mid"), -1);
    EXPECT_EQ(testing_music_segments_alive(), 0);
}

// Forms other writers use that the synthesizer's own player reads as ended at once or refuses: each
// sounds in its first second and ends where its tempo map says, within 2 %.
TEST_F(Music, OtherWritersFormsPlayToTheirEnd)
{
    // Two beats at 120 a minute, then two at 240: 1.5 seconds.
    MidiTrack tempo_map;
    tempo_map.tempo(500000);
    tempo_map.event(960, {0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90});
    tempo_map.end(960);
    const auto piece = [&](const MidiTrack& notes) { return midi_file({tempo_map, notes}); };
    MidiTrack plain;
    plain.event(0, {0xC0, 0x00, 0x00, 0x90, 60, 120});
    plain.event(1920, {0x80, 60, 0});
    plain.end();
    MidiTrack running_across_meta = plain;
    running_across_meta.events = {0x00, 0x90, 60, 120, 0x00, 0xFF, 0x01, 0x01, 'a', 0x00, 64, 120};
    running_across_meta.event(1920, {0x80, 60, 0, 0x00, 0xFF, 0x06, 0x01, 'b', 0x00, 64, 0});
    running_across_meta.end();
    MidiTrack escape = plain;  // a system exclusive escape halfway through, then the note's end
    escape.events = {0x00, 0x90, 60, 120};
    escape.event(960, {0xF7, 0x02, 0x7E, 0xF7});
    escape.event(960, {0x80, 60, 0});
    escape.end();

    Bytes long_header = piece(plain);
    long_header[7] = 10;
    long_header.insert(long_header.begin() + 14, {1, 2, 3, 4});
    Bytes unknown_chunk = piece(plain);
    const Bytes extra = {'X', 'T', 'R', 'A', 0, 0, 0, 3, 0xFF, 0x90, 0x2F};
    unknown_chunk.insert(unknown_chunk.begin() + 14 + 8 + static_cast<long>(tempo_map.events.size()), extra.begin(),
                         extra.end());
    const std::vector<std::pair<const char*, Bytes>> files = {
        {"a header longer than 6 bytes", long_header},
        {"an unknown chunk between the tracks", unknown_chunk},
        {"running status across meta events", piece(running_across_meta)},
        {"a system exclusive escape", piece(escape)},
    };
    const int rate = testing_audio_rate();
    for (const auto& [what, file] : files) {
        const int id = load_midi("piece.mid", file);
        ASSERT_GE(id, 0) << what;
        ASSERT_EQ(music_play(id), 1) << what;
        EXPECT_GT(render(rate).peak(), 100) << what << ": silent in its first second";
        int frames = rate;
        for (; music_status(id) == MUSIC_SLOT_PLAYING && frames < 3 * rate; frames += rate / 100)
            render(rate / 100);
        EXPECT_NEAR(static_cast<double>(frames) / rate, 1.5, 0.03) << what << ": ends when the tempo map says";
    }
}

// A piece of more tracks than the player reads, each track holding one note at a tick of its own,
// loads, and its copy plays every note at its tick and time and ends at its length: the tracks past
// the 126th are merged into the player's last. The last track slows the tempo halfway through, which
// must take effect at that tick and not at the start of the merged track.
TEST_F(Music, PiecesOfManyTracksPlayEveryNoteAtItsTime)
{
    constexpr double FAST_MS = 800000 / 96.0 / 1000;  // a tick at the first tempo: no shorter than a block
    constexpr double SLOW_MS = 1200000 / 96.0 / 1000;
    for (const int tracks : {129, 200, 1000}) {
        SCOPED_TRACE(std::to_string(tracks) + " tracks");
        const int slower_at = tracks / 2;
        std::vector<MidiTrack> piece(static_cast<size_t>(tracks));
        piece[0].tempo(800000);
        for (int i = 0; i < tracks; ++i) {
            const auto channel = static_cast<uint8_t>(i % 16), key = static_cast<uint8_t>(30 + i % 60);
            MidiTrack& t = piece[static_cast<size_t>(i)];
            uint32_t at = 0;
            if (i == tracks - 1) {
                t.event(static_cast<uint32_t>(slower_at), {0xFF, 0x51, 0x03, 0x12, 0x4F, 0x80});  // 1200000
                at = static_cast<uint32_t>(slower_at);
            }
            t.event(static_cast<uint32_t>(i + 1) - at, {static_cast<uint8_t>(0x90 | channel), key, 100});
            t.event(1, {static_cast<uint8_t>(0x80 | channel), key, 0});
            t.end();
        }
        const Bytes file = midi_file(piece, 1, 96);
        EXPECT_GE(load_midi("many.mid", file), 0);

        const TestingMidiPlay play = testing_midi_play(file.data(), file.size());
        ASSERT_TRUE(play.accepted);
        EXPECT_EQ(play.failure, "");
        EXPECT_EQ(play.tracks, 127);
        EXPECT_EQ(play.length, tracks + 1);
        EXPECT_EQ(play.reached_end_at, tracks + 1) << "the piece ends at its last note's end";
        ASSERT_EQ(play.notes.size(), static_cast<size_t>(tracks));
        for (int i = 0; i < tracks; ++i) {
            const TestingMidiNote& note = play.notes[static_cast<size_t>(i)];
            const int tick = i + 1;
            const double ms = tick <= slower_at ? tick * FAST_MS : slower_at * FAST_MS + (tick - slower_at) * SLOW_MS;
            EXPECT_EQ(note.tick, tick) << "note " << i;
            EXPECT_EQ(note.channel, i % 16) << "note " << i;
            EXPECT_EQ(note.key, 30 + i % 60) << "note " << i;
            EXPECT_NEAR(note.ms, ms, TESTING_MIDI_BLOCK_MS + SLOW_MS) << "note " << i;
        }
    }
}

// The five pieces load into the first slots and play through the synthesizer, none so much quieter
// than the others that a level seems to have no music. Loudness is the RMS of the first 24 seconds.
TEST_F(Music, GamePiecesLoadAndPlayAtSimilarLoudness)
{
    const std::filesystem::path assets = VORLASH_ASSETS_DIR;
    if (!std::filesystem::exists(assets / "MM1CUT.MID"))
        GTEST_SKIP() << "the game's assets have not been generated";
    std::filesystem::current_path(assets);
    std::vector<double> levels;
    int expected_id = 0;
    for (const char* name : {"MM1CUT.MID", "MM1ELEC.MID", "WOODMAN3.MID", "AIRMAN.MID", "FLASH3.MID"}) {
        const int id = music_load_midi(name);
        ASSERT_EQ(id, expected_id++) << name;
        ASSERT_EQ(music_play(id), 1) << name;
        const Rendered r = render(24 * testing_audio_rate());
        music_stop(id);
        double sum = 0;
        for (int16_t v : r.samples)
            sum += static_cast<double>(v) * v;
        levels.push_back(10 * std::log10(sum / static_cast<double>(r.samples.size()) / (32768.0 * 32768.0)));
    }
    const auto [quietest, loudest] = std::minmax_element(levels.begin(), levels.end());
    // With the system's soundfont they lie within 5 dB of each other, about -30 dB; the bounds leave
    // room for another General MIDI soundfont.
    EXPECT_LE(*loudest - *quietest, 8.0) << "from " << *quietest << " to " << *loudest << " dB RMS";
    EXPECT_GT(*quietest, -40.0) << "too quiet to hear under the effects";
}

// A segment made before a step of the load fails is released, not left behind.
TEST_F(Music, LoadFailingAfterTheSegmentIsMadeReleasesIt)
{
    write_file("note.mid", one_note_midi());
    testing_fault("IDirectMusicSegment::SetParam", 2, DMUS_E_NOT_INIT);  // the download
    EXPECT_EQ(music_load_midi("note.mid"), -1);
    EXPECT_EQ(testing_music_segments_alive(), 0);
    EXPECT_EQ(music_slots[0].state, MUSIC_SLOT_FREE);
    testing_fault("IDirectMusicLoader::SetSearchDirectory", 1, E_FAIL);
    EXPECT_EQ(music_load_midi("note.mid"), -1);
    EXPECT_EQ(music_load_midi("note.mid"), 0);
}

// ---- playing ----

TEST_F(Music, PlayingIsHeardAndStoppingSilencesAtOnce)
{
    const int id = load_note();
    EXPECT_EQ(render(4410).peak(), 0) << "nothing before play";
    ASSERT_EQ(music_play(id), 1);
    EXPECT_EQ(music_slots[id].state, MUSIC_SLOT_PLAYING);
    EXPECT_NE(music_slots[id].segment_state, nullptr);
    EXPECT_EQ(music_current, id);
    EXPECT_GT(render(4410).peak(), 100) << "the note sounds within a tenth of a second";
    ASSERT_EQ(music_stop(id), 1);
    EXPECT_EQ(music_slots[id].state, MUSIC_SLOT_STOPPED);
    EXPECT_EQ(music_current, -1);
    EXPECT_EQ(render(441).peak(), 0) << "the note is cut, not released";
    EXPECT_EQ(music_status(id), MUSIC_SLOT_STOPPED);
}

TEST_F(Music, MusicAndEffectsShareTheMixer)
{
    const int piece = load_note();
    const int effect = load("level.wav", simple_wav(1, 8, 44100, Bytes(44100, 0x80 + 100)));
    music_play(piece);
    sound_play(effect, 0);
    const Rendered both = render(4410);
    sound_stop(effect);
    const Rendered music_only = render(4410);
    EXPECT_GT(both.peak(), 25600 - 100) << "the effect is there";
    EXPECT_GT(music_only.peak(), 100) << "and the music goes on without it";
}

TEST_F(Music, PlayingAnotherPieceStopsTheCurrentOne)
{
    const int a = load_note("a.mid", 8);
    const int b = load_note("b.mid", 8);
    music_play(a);
    render(2205);
    music_play(b);
    EXPECT_EQ(music_slots[a].state, MUSIC_SLOT_STOPPED);
    EXPECT_EQ(music_slots[b].state, MUSIC_SLOT_PLAYING);
    EXPECT_EQ(music_current, b);
    EXPECT_EQ(music_performance->IsPlaying(music_slots[a].segment, nullptr), S_FALSE);
    EXPECT_EQ(music_performance->IsPlaying(music_slots[b].segment, nullptr), S_OK);
}

TEST_F(Music, PlayingTheCurrentPieceAgainRestartsIt)
{
    const int a = load_note("a.mid", 2);  // one second
    music_play(a);
    render(44100 * 3 / 4);
    music_play(a);
    EXPECT_EQ(music_current, a);
    render(44100 * 3 / 4);
    EXPECT_EQ(music_status(a), MUSIC_SLOT_PLAYING) << "started again: a second from 0, not from 0.75";
    render(44100 / 2);
    EXPECT_EQ(music_status(a), MUSIC_SLOT_STOPPED);
}

TEST_F(Music, StoppingAPieceThatIsNotCurrentStillClearsCurrent)
{
    const int a = load_note("a.mid", 8);
    const int b = load_note("b.mid", 8);
    music_play(a);
    EXPECT_EQ(music_stop(b), 1);
    EXPECT_EQ(music_current, -1);
    EXPECT_EQ(music_slots[b].state, MUSIC_SLOT_STOPPED);
    EXPECT_EQ(music_status(a), MUSIC_SLOT_PLAYING) << "a was not stopped";
    music_play(b);
    EXPECT_EQ(music_slots[a].state, MUSIC_SLOT_PLAYING) << "nothing was current, so nothing was stopped";
    EXPECT_EQ(music_status(a), MUSIC_SLOT_STOPPED) << "but the performance plays one primary piece";
}

TEST_F(Music, PieceThatEndedReadsStoppedOnlyWhenAsked)
{
    const int id = load_note();  // half a second
    music_play(id);
    EXPECT_EQ(music_status(id), MUSIC_SLOT_PLAYING);
    render(44100);
    EXPECT_EQ(music_slots[id].state, MUSIC_SLOT_PLAYING) << "the layer's last knowledge";
    EXPECT_EQ(music_status(id), MUSIC_SLOT_STOPPED);
    EXPECT_EQ(music_slots[id].state, MUSIC_SLOT_STOPPED);
    EXPECT_EQ(music_current, id) << "status does not touch current";
}

TEST_F(Music, StatusOfALoadedPieceThatNeverPlayedIsStopped)
{
    const int id = load_note();
    EXPECT_EQ(music_status(id), MUSIC_SLOT_STOPPED);
    EXPECT_EQ(music_slots[id].state, MUSIC_SLOT_STOPPED);
}

TEST_F(Music, RefusedPlayGoesUnnoticedUntilStatus)
{
    const int id = load_note();
    testing_fault("IDirectMusicPerformance::PlaySegment", 1, E_FAIL);
    EXPECT_EQ(music_play(id), 1);
    EXPECT_EQ(music_slots[id].state, MUSIC_SLOT_PLAYING);
    EXPECT_EQ(music_status(id), MUSIC_SLOT_STOPPED);
}

// ---- deleting ----

TEST_F(Music, DeleteFreesTheSlotForTheNextLoad)
{
    for (int i = 0; i < 3; ++i)
        load_note();
    EXPECT_EQ(music_delete(10), 1) << "a free slot";
    music_play(1);
    EXPECT_EQ(music_delete(1), 1);
    EXPECT_EQ(music_slots[1].segment, nullptr);
    EXPECT_EQ(music_slots[1].segment_state, nullptr);
    EXPECT_EQ(music_slots[1].state, MUSIC_SLOT_FREE);
    EXPECT_EQ(music_current, 1) << "delete leaves current alone";
    EXPECT_GT(render(4410).peak(), 100) << "and does not stop the piece";
    EXPECT_EQ(music_play(1), 0);
    EXPECT_EQ(load_note(), 1);
    EXPECT_EQ(music_delete_all(), 1);
    EXPECT_EQ(testing_music_segments_alive(), 1) << "the performance holds the piece it plays";
    music_performance->Stop(nullptr, nullptr, 0, 0);
    EXPECT_EQ(testing_music_segments_alive(), 0);
}

TEST_F(Music, SlotsWithoutAPieceChangeNothing)
{
    for (int id : {-1, 0, 5, MUSIC_SLOT_COUNT, 1 << 30}) {
        EXPECT_EQ(music_play(id), 0) << id;
        EXPECT_EQ(music_stop(id), 0) << id;
        EXPECT_EQ(music_status(id), 0) << id;
        EXPECT_EQ(music_delete(id), 1) << id;
    }
    EXPECT_EQ(music_current, -1);
}

// ---- start-up without a synthesizer ----

class MusicWithoutSoundfont : public SoundTest {};

TEST_F(MusicWithoutSoundfont, InitFailsAndNothingLoads)
{
    testing_soundfont("");
    EXPECT_EQ(music_init(), 0);
    EXPECT_NE(music_performance, nullptr) << "what was made stays in its global";
    EXPECT_EQ(music_loader, nullptr);
    ASSERT_EQ(testing_music_unavailable_notes().size(), 1u);
    EXPECT_NE(testing_music_unavailable_notes()[0].find("soundfont"), std::string::npos);
    write_file("note.mid", one_note_midi());
    EXPECT_EQ(music_load_midi("note.mid"), -1);
    EXPECT_EQ(music_play(0), 0);
    EXPECT_EQ(music_shutdown(), 1);
    EXPECT_EQ(music_performance, nullptr);
}

TEST_F(MusicWithoutSoundfont, UnreadableSoundfontIsNoSoundfont)
{
    write_file("broken.sf2", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 's', 'f', 'b', 'k'});
    testing_soundfont(folder.file("broken.sf2").c_str());
    EXPECT_EQ(music_init(), 0);
    EXPECT_EQ(testing_music_unavailable_notes().size(), 1u);
}

TEST_F(MusicWithoutSoundfont, FailedStepsOfInitEachReturnZero)
{
    for (const char* step : {"CoInitialize", "CoCreateInstance", "IDirectMusicPerformance::Init",
                             "IDirectMusicPerformance::AddPort"}) {
        testing_fault(step, 1, E_FAIL);
        EXPECT_EQ(music_init(), 0) << step;
        music_shutdown();
        testing_faults_clear();
    }
    testing_fault("CoCreateInstance", 2, E_OUTOFMEMORY);  // the loader
    EXPECT_EQ(music_init(), 0);
    EXPECT_EQ(music_loader, nullptr);
}
