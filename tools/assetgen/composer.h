// composer.h -- rules that turn a style (key, tempo, chords, form, instruments, grooves) into a MIDI piece.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bytes.h"

// The grooves each part can play; a style picks one for each part.
enum class BassStyle { Drive, Octave, Walk, Pulse, Gallop };
enum class ChordStyle { Pad, Stabs, Power, Arpeggio };
enum class DrumStyle { Rock, Electro, March, Sparse, Fast };

// One section of the form: a letter for its melody (sections with the same letter share a tune),
// its chords (scale degrees, one per bar, repeated to fill the section) and its length in bars.
// 'I' (intro) and 'O' (outro) carry no tune.
struct Section {
    char tune;
    std::vector<int> chords;
    int bars;
};

struct Style {
    std::string title;
    uint32_t seed;
    double bpm;
    int root;  // MIDI key of the tonic in the melody's octave
    std::array<int, 7> scale;  // semitones of the seven scale degrees above the tonic
    int sharps;  // key signature, for the file's key-signature event
    bool minor;
    std::vector<Section> form;
    // General MIDI programs (0-based) of the lead, the chords, the bass and the second chord part.
    int lead_program, chord_program, bass_program, extra_program;
    ChordStyle chord_style, extra_style;
    BassStyle bass_style;
    DrumStyle drum_style;
    std::vector<int> note_lengths;  // the lead's note lengths in sixteenths, most likely first
    float rest_chance;  // how often the lead leaves a gap instead of a note
};

// Composes the piece: a conductor track (tempo, metre, key), then lead, chords, second chords, bass
// and drums (channel 10) as tracks of their own. The same style always gives the same bytes.
Bytes compose(const Style& style);

// Length of the composed piece in seconds, the final chord's ring included.
double piece_seconds(const Style& style);
