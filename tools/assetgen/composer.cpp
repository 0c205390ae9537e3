// composer.cpp -- a small rule-based composer: motifs fitted to chords, voice-led chords, grooves and fills.
#include "composer.h"

#include <cmath>
#include <cstdlib>
#include <map>

#include "midi_writer.h"
#include "rng.h"

// ---- constants ----

static constexpr int TICKS_PER_QUARTER = 480;
static constexpr int STEP = TICKS_PER_QUARTER / 4;  // a sixteenth note
static constexpr int BAR = STEP * 16;  // everything is in 4/4
enum Channel { LEAD = 0, CHORDS = 1, EXTRA = 2, BASS = 3, DRUMS = 9 };
// General MIDI drum keys, played on channel DRUMS: drums, cymbals and shaker, toms.
static constexpr int KICK = 36, RIM = 37, SNARE = 38, CLAP = 39;
static constexpr int CLOSED_HAT = 42, OPEN_HAT = 46, CRASH = 49, RIDE = 51, SHAKER = 70;
static constexpr int LOW_TOM = 45, MID_TOM = 47, HIGH_MID_TOM = 48, HIGH_TOM = 50;

// ---- records ----

// What the composer knows about one bar of the form.
struct Bar {
    int section;  // index into the form
    int bar_in_section;
    int chord;  // scale degree of the chord's root
    int next_chord;  // the chord of the following bar (the last bar repeats its own)
};

// A tune: a two-bar rhythm (onset and length in sixteenths) and the melodic steps between its notes.
struct Tune {
    std::vector<std::pair<int, int>> rhythm;
    std::vector<int> steps;
};

// ---- helpers ----

// The key: degree (any integer, 7 per octave) to MIDI key around the style's tonic.
static int pitch_of(const Style& s, int degree)
{
    const int octave = static_cast<int>(std::floor(degree / 7.0));
    return s.root + 12 * octave + s.scale[static_cast<size_t>(degree - 7 * octave)];
}

static bool is_chord_tone(int degree, int chord)
{
    const int rel = ((degree - chord) % 7 + 7) % 7;
    return rel == 0 || rel == 2 || rel == 4;
}

static int nearest_chord_tone(int degree, int chord)
{
    for (int d = 0; d < 4; ++d) {
        if (is_chord_tone(degree - d, chord))
            return degree - d;
        if (is_chord_tone(degree + d, chord))
            return degree + d;
    }
    return degree;
}

static std::vector<Bar> lay_out_bars(const Style& s)
{
    std::vector<Bar> bars;
    for (size_t k = 0; k < s.form.size(); ++k) {
        const Section& sec = s.form[k];
        for (int b = 0; b < sec.bars; ++b)
            bars.push_back({static_cast<int>(k), b, sec.chords[static_cast<size_t>(b) % sec.chords.size()], 0});
    }
    for (size_t i = 0; i < bars.size(); ++i)
        bars[i].next_chord = i + 1 < bars.size() ? bars[i + 1].chord : bars[i].chord;
    return bars;
}

// ---- lead ----

static Tune make_tune(const Style& s, Rng& rng, bool long_notes)
{
    Tune t;
    int pos = 0;
    while (pos < 32) {
        // Mostly one of the first two lengths, now and then any; the bridge doubles them for a broader line.
        const int kinds = static_cast<int>(s.note_lengths.size());
        const int pick = rng.below(rng.below(3) == 0 ? kinds : std::min(2, kinds));
        int len = s.note_lengths[static_cast<size_t>(pick)] * (long_notes ? 2 : 1);
        len = std::min(len, 32 - pos);
        if (pos > 0 && pos % 4 != 0 && len > 4)
            len = 4 - pos % 4;  // keep long notes on the beat
        if (pos == 0 || !rng.chance(s.rest_chance))
            t.rhythm.emplace_back(pos, len);
        pos += len;
    }
    // The motif's contour is an arch (rise then fall) or a valley, in mostly small steps with the odd
    // leap or repeated note, and now and then a step against the shape.
    static const int sizes[] = {1, 1, 2, 1, 2, 3, 0, 4};
    const bool arch = rng.chance(0.6f);
    for (size_t i = 0; i < t.rhythm.size(); ++i) {
        int direction = (i < t.rhythm.size() / 2) == arch ? 1 : -1;
        if (rng.chance(0.2f))
            direction = -direction;
        t.steps.push_back(direction * sizes[rng.below(8)]);
    }
    return t;
}

static void add_lead_unit(const Style& s, const std::vector<Bar>& bars, size_t first_bar, const Tune& tune, int unit,
                          int& prev, Rng& rng, MidiTrack& track)
{
    const bool cadence = unit % 4 == 3;
    const bool answer = unit % 4 == 1;
    bool first = true;
    for (size_t i = 0; i < tune.rhythm.size(); ++i) {
        auto [start, len] = tune.rhythm[i];
        if (cadence && start >= 16)
            break;
        const Bar& bar = bars[first_bar + static_cast<size_t>(start / 16)];
        int step = tune.steps[i];
        if (answer && i % 2 == 1)
            step = -step;  // the answering phrase mirrors some of the motif's steps
        // A line that has wandered high turns down, one that has sunk turns up: it stays singable.
        if ((prev > 7 && step > 0) || (prev < 0 && step < 0))
            step = -step;
        int degree = first ? nearest_chord_tone(prev, bar.chord) : prev + step;
        if (degree > 11 || degree < -3)
            degree = prev - step;
        if (start % 8 == 0)
            degree = nearest_chord_tone(degree, bar.chord);
        while (degree < -4)
            degree += 7;
        while (degree > 12)
            degree -= 7;
        first = false;
        prev = degree;
        const int velocity = 90 + (start % 8 == 0 ? 14 : start % 4 == 0 ? 6 : 0) + rng.below(7) - 3;
        track.note(static_cast<uint32_t>(first_bar * BAR + static_cast<size_t>(start * STEP)),
                   static_cast<uint32_t>(len * STEP * 9 / 10), LEAD, pitch_of(s, degree), velocity);
    }
    if (cadence) {
        // Close the phrase on a long note of the second bar's chord, the tonic when it is the tonic.
        const Bar& bar = bars[first_bar + 1];
        const int degree = nearest_chord_tone(prev, bar.chord);
        const int home = std::abs(degree - 0) < std::abs(degree - 7) ? 0 : 7;
        const int target = bar.chord == 0 ? home : degree;
        prev = target;
        track.note(static_cast<uint32_t>((first_bar + 1) * BAR), static_cast<uint32_t>(STEP * 12), LEAD,
                   pitch_of(s, target), 100);
    }
}

static MidiTrack compose_lead(const Style& s, const std::vector<Bar>& bars, Rng& rng)
{
    MidiTrack track("Lead");
    std::map<char, Tune> tunes;
    int prev = 4;
    for (size_t i = 0; i < bars.size(); i += 2) {
        const Section& sec = s.form[static_cast<size_t>(bars[i].section)];
        if (sec.tune == 'I' || sec.tune == 'O' || i + 1 >= bars.size())
            continue;
        if (!tunes.count(sec.tune)) {
            Rng tune_rng(s.seed * 31u + static_cast<uint32_t>(sec.tune));
            tunes.emplace(sec.tune, make_tune(s, tune_rng, sec.tune == 'C'));
        }
        add_lead_unit(s, bars, i, tunes.at(sec.tune), bars[i].bar_in_section / 2, prev, rng, track);
    }
    return track;
}

// ---- chords ----

// The voicing of a triad nearest (in total movement) to the previous one, inside [low, high].
static std::vector<int> voice_chord(const Style& s, int chord, const std::vector<int>& previous, int low, int high)
{
    std::vector<int> best;
    int best_cost = 1 << 30;
    for (int inversion = 0; inversion < 3; ++inversion) {
        for (int octave = -3; octave <= 2; ++octave) {
            std::vector<int> v;
            for (int k = 0; k < 3; ++k)
                v.push_back(pitch_of(s, chord + 7 * octave + 2 * ((k + inversion) % 3) + (k + inversion >= 3 ? 7 : 0)));
            if (v.front() < low || v.back() > high)
                continue;
            int cost = 0;
            for (size_t k = 0; k < v.size(); ++k)
                cost += previous.empty() ? std::abs(v[k] - (low + high) / 2) : std::abs(v[k] - previous[k]);
            if (cost < best_cost) {
                best_cost = cost;
                best = v;
            }
        }
    }
    return best;
}

static int bass_root(const Style& s, int chord)
{
    int p = pitch_of(s, chord);
    while (p > 47)
        p -= 12;
    while (p < 36)
        p += 12;
    return p;
}

static void add_chord_bar(ChordStyle style, uint32_t at, const std::vector<int>& v, int channel, bool last,
                          MidiTrack& track)
{
    auto hit = [&](int step, int len, int velocity, const std::vector<int>& keys) {
        for (int k : keys)
            track.note(at + static_cast<uint32_t>(step * STEP), static_cast<uint32_t>(len * STEP), channel, k,
                       velocity);
    };
    if (last || style == ChordStyle::Pad) {
        hit(0, last ? 32 : 16, last ? 80 : 62, v);
    } else if (style == ChordStyle::Stabs) {
        for (int step : {0, 3, 6, 10, 12})
            hit(step, 2, step == 0 ? 92 : 78, v);
    } else if (style == ChordStyle::Power) {
        const std::vector<int> power{v.front() - 12, v.front() - 5, v.front()};
        for (int step = 0; step < 16; step += 2)
            hit(step, 2, step % 4 == 0 ? 96 : 80, power);
    } else {
        std::vector<int> tones = v;
        for (int k : v)
            tones.push_back(k + 12);
        static const int order[] = {0, 1, 2, 3, 4, 5, 4, 3, 1, 2, 3, 4, 5, 4, 2, 1};
        for (int step = 0; step < 16; ++step)
            hit(step, 1, step % 4 == 0 ? 84 : 66, {tones[static_cast<size_t>(order[step])]});
    }
}

static MidiTrack compose_chords(const Style& s, const std::vector<Bar>& bars, ChordStyle style, int channel,
                                const char* name, int low, int high)
{
    MidiTrack track(name);
    std::vector<int> voicing;
    for (size_t i = 0; i < bars.size(); ++i) {
        voicing = voice_chord(s, bars[i].chord, voicing, low, high);
        add_chord_bar(style, static_cast<uint32_t>(i * BAR), voicing, channel, i + 1 == bars.size(), track);
    }
    return track;
}

// The lowest key at or above `floor` with the pitch class of `key`.
static int above(int floor, int key) { return floor + ((key - floor) % 12 + 12) % 12; }

// ---- bass ----

static MidiTrack compose_bass(const Style& s, const std::vector<Bar>& bars, Rng& rng)
{
    MidiTrack track("Bass");
    for (size_t i = 0; i < bars.size(); ++i) {
        const uint32_t at = static_cast<uint32_t>(i * BAR);
        const int root = bass_root(s, bars[i].chord);
        const int fifth = above(root, pitch_of(s, bars[i].chord + 4));
        const int third = above(root, pitch_of(s, bars[i].chord + 2));
        const int next = bass_root(s, bars[i].next_chord);
        const int approach = next + (next > root ? -1 : 1);
        auto play = [&](int step, int len, int key, int velocity) {
            track.note(at + static_cast<uint32_t>(step * STEP), static_cast<uint32_t>(len * STEP * 7 / 8), BASS, key,
                       velocity + rng.below(5) - 2);
        };
        if (i + 1 == bars.size()) {
            play(0, 24, root, 100);
            continue;
        }
        switch (s.bass_style) {
        case BassStyle::Drive:
            for (int st = 0; st < 16; st += 2)
                play(st, 2, st == 14 ? approach : (st == 6 && rng.chance(0.5f) ? root + 12 : root),
                     st % 4 == 0 ? 100 : 84);
            break;
        case BassStyle::Octave:
            for (int st = 0; st < 16; st += 2)
                play(st, 2, (st / 2) % 2 ? root + 12 : root, st % 4 == 0 ? 100 : 88);
            break;
        case BassStyle::Walk:
            play(0, 4, root, 100);
            play(4, 4, third, 88);
            play(8, 4, fifth, 92);
            play(12, 4, approach, 86);
            break;
        case BassStyle::Pulse:
            play(0, 6, root, 96);
            play(6, 2, root, 76);
            play(8, 8, fifth, 86);
            break;
        case BassStyle::Gallop:
            for (int beat = 0; beat < 4; ++beat) {
                const int key = beat == 2 ? fifth : beat == 3 ? approach : root;
                play(beat * 4, 2, key, 100);
                play(beat * 4 + 2, 1, key, 80);
                play(beat * 4 + 3, 1, key, 84);
            }
            break;
        }
    }
    return track;
}

// ---- drums ----

// The groove of one bar: which drum hits on which sixteenth, and how hard.
static void add_groove(DrumStyle style, uint32_t at, bool hats_only, Rng& rng, MidiTrack& track)
{
    auto hit = [&](int step, int key, int velocity) {
        track.note(at + static_cast<uint32_t>(step * STEP), STEP / 2, DRUMS, key, velocity + rng.below(7) - 3);
    };
    for (int st = 0; st < 16; ++st) {
        const bool beat = st % 4 == 0;
        switch (style) {
        case DrumStyle::Rock:
            if (st % 2 == 0)
                hit(st, CLOSED_HAT, beat ? 84 : 66);
            if (hats_only)
                break;
            if (st == 0 || st == 8 || st == 10)
                hit(st, KICK, 108);
            if (st == 4 || st == 12)
                hit(st, SNARE, 106);
            break;
        case DrumStyle::Electro:
            hit(st, CLOSED_HAT, st % 4 == 2 ? 40 : 52);
            if (st % 4 == 2)
                hit(st, OPEN_HAT, 70);
            if (hats_only)
                break;
            if (beat)
                hit(st, KICK, 110);
            if (st == 4 || st == 12)
                hit(st, CLAP, 96);
            break;
        case DrumStyle::March:
            if (st % 2 == 0)
                hit(st, CLOSED_HAT, 60);
            if (hats_only)
                break;
            if (st == 0 || st == 8)
                hit(st, KICK, 110);
            if (st == 4 || st == 12)
                hit(st, SNARE, 108);
            if (st == 14 || st == 15 || st == 7)
                hit(st, SNARE, 56);
            break;
        case DrumStyle::Sparse:
            if (beat)
                hit(st, RIDE, 64);
            if (st % 2 == 1)
                hit(st, SHAKER, 34);
            if (hats_only)
                break;
            if (st == 0 || st == 11)
                hit(st, KICK, 88);
            if (st == 8)
                hit(st, RIM, 70);
            break;
        case DrumStyle::Fast:
            hit(st, CLOSED_HAT, beat ? 80 : st % 2 ? 48 : 62);
            if (hats_only)
                break;
            if (st == 0 || st == 6 || st == 8 || st == 11)
                hit(st, KICK, 110);
            if (st == 4 || st == 12)
                hit(st, SNARE, 108);
            break;
        }
    }
}

// A fill over the bar's second half: sixteenths down the toms, ending in the next bar's crash.
static void add_fill(DrumStyle style, uint32_t at, Rng& rng, MidiTrack& track)
{
    add_groove(style, at, true, rng, track);
    static const int toms[] = {HIGH_TOM, HIGH_TOM, HIGH_MID_TOM, HIGH_MID_TOM, MID_TOM, MID_TOM, LOW_TOM, LOW_TOM};
    track.note(at, STEP / 2, DRUMS, KICK, 108);
    track.note(at + 4 * STEP, STEP / 2, DRUMS, SNARE, 100);
    const int stride = style == DrumStyle::Sparse ? 2 : 1;
    for (int k = 0; k < 8; k += stride)
        track.note(at + static_cast<uint32_t>((8 + k) * STEP), STEP / 2, DRUMS, toms[k], 84 + 3 * k);
}

static MidiTrack compose_drums(const Style& s, const std::vector<Bar>& bars, Rng& rng)
{
    MidiTrack track("Drums");
    for (size_t i = 0; i < bars.size(); ++i) {
        const uint32_t at = static_cast<uint32_t>(i * BAR);
        const Section& sec = s.form[static_cast<size_t>(bars[i].section)];
        if (i + 1 == bars.size()) {
            track.note(at, STEP, DRUMS, CRASH, 110);
            track.note(at, STEP, DRUMS, KICK, 110);
            continue;
        }
        if (bars[i].bar_in_section == 0 && i > 0)
            track.note(at, STEP, DRUMS, CRASH, 104);
        const bool last_of_section = bars[i].bar_in_section == sec.bars - 1;
        if (last_of_section && i + 2 < bars.size())
            add_fill(s.drum_style, at, rng, track);
        else
            add_groove(s.drum_style, at, sec.tune == 'I' && bars[i].bar_in_section < sec.bars / 2, rng, track);
    }
    return track;
}

// ---- the piece ----

static void set_up(MidiTrack& track, int channel, int program, int volume, int pan, int reverb)
{
    if (channel != DRUMS)
        track.program(0, channel, program);
    track.control(0, channel, 7, volume);
    track.control(0, channel, 10, pan);
    track.control(0, channel, 91, reverb);
}

// ---- public operations ----

Bytes compose(const Style& s)
{
    const std::vector<Bar> bars = lay_out_bars(s);
    Rng rng(s.seed);
    MidiTrack conductor(s.title);
    conductor.tempo(0, s.bpm);
    conductor.time_signature(0, 4, 2);
    conductor.key_signature(0, s.sharps, s.minor);
    MidiTrack lead = compose_lead(s, bars, rng);
    MidiTrack chords = compose_chords(s, bars, s.chord_style, CHORDS, "Chords", 52, 74);
    MidiTrack extra = compose_chords(s, bars, s.extra_style, EXTRA, "Backing", 57, 81);
    MidiTrack bass = compose_bass(s, bars, rng);
    MidiTrack drums = compose_drums(s, bars, rng);
    set_up(lead, LEAD, s.lead_program, 110, 64, 40);
    set_up(chords, CHORDS, s.chord_program, 84, 44, 50);
    set_up(extra, EXTRA, s.extra_program, 70, 84, 60);
    set_up(bass, BASS, s.bass_program, 104, 64, 20);
    set_up(drums, DRUMS, 0, 100, 64, 30);
    for (MidiTrack* t : {&conductor, &lead, &chords, &extra, &bass, &drums})
        t->end_at(static_cast<uint32_t>((bars.size() + 1) * BAR));
    return encode_midi({conductor, lead, chords, extra, bass, drums}, TICKS_PER_QUARTER);
}

double piece_seconds(const Style& s)
{
    int bars = 0;
    for (const Section& sec : s.form)
        bars += sec.bars;
    return (bars + 1) * 4.0 * 60.0 / s.bpm;
}
