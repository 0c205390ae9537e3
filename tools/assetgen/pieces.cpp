// pieces.cpp -- the five pieces as styles for the composer: one driving, one tense, one heroic, one eerie, one fast.
#include "asset_contract.h"
#include "assets.h"
#include "composer.h"

// ---- constants ----

static constexpr std::array<int, 7> AEOLIAN{0, 2, 3, 5, 7, 8, 10};
static constexpr std::array<int, 7> PHRYGIAN{0, 1, 3, 5, 7, 8, 10};
static constexpr std::array<int, 7> IONIAN{0, 2, 4, 5, 7, 9, 11};
static constexpr std::array<int, 7> HARMONIC_MINOR{0, 2, 3, 5, 7, 8, 11};
static constexpr std::array<int, 7> DORIAN{0, 2, 3, 5, 7, 9, 10};

// ---- helpers ----

// A form from section letters: I intro (4 bars), O outro (4 bars, ending on the tonic), the tune
// letters 8 bars each, with the chords given for each letter.
static std::vector<Section> form(const char* letters, const std::vector<int>& a, const std::vector<int>& b,
                                 const std::vector<int>& c, const std::vector<int>& outro)
{
    std::vector<Section> out;
    for (const char* p = letters; *p; ++p) {
        switch (*p) {
        case 'I': out.push_back({'I', a, 4}); break;
        case 'O': out.push_back({'O', outro, 4}); break;
        case 'A': out.push_back({'A', a, 8}); break;
        case 'B': out.push_back({'B', b, 8}); break;
        default: out.push_back({'C', c, 8}); break;
        }
    }
    return out;
}

static std::vector<Style> styles()
{
    // clang-format off: one row per piece reads better than one field per line
    return {
        // Driving: E minor rock, guitars over a pumping pick bass.
        {"Cutting Edge",
         101u,
         150.0,
         64,
         AEOLIAN,
         1,
         true,
         form("IAABACBAO", {0, 5, 6, 0}, {3, 5, 2, 6}, {5, 6, 3, 4}, {5, 6, 4, 0}),
         29,
         30,
         34,
         48,
         ChordStyle::Power,
         ChordStyle::Pad,
         BassStyle::Drive,
         DrumStyle::Rock,
         {2, 4, 2, 6},
         0.12f},
        // Tense: D phrygian electro, a restless arpeggio and octave bass under a saw lead.
        {"Live Wire",
         202u,
         118.0,
         62,
         PHRYGIAN,
         -1,
         true,
         form("IABABCAO", {0, 1, 6, 0}, {3, 5, 1, 4}, {5, 1, 5, 4}, {3, 1, 1, 0}),
         81,
         89,
         38,
         90,
         ChordStyle::Pad,
         ChordStyle::Arpeggio,
         BassStyle::Octave,
         DrumStyle::Electro,
         {2, 1, 3, 4},
         0.18f},
        // Heroic: F major march, trumpet over brass stabs, strings and a galloping bass.
        {"Timber Charge",
         303u,
         132.0,
         65,
         IONIAN,
         -1,
         false,
         form("IAABACABO", {0, 4, 5, 3}, {3, 4, 2, 5}, {5, 3, 1, 4}, {3, 4, 4, 0}),
         56,
         61,
         33,
         48,
         ChordStyle::Stabs,
         ChordStyle::Pad,
         BassStyle::Gallop,
         DrumStyle::March,
         {4, 2, 6, 8},
         0.1f},
        // Eerie: slow A harmonic minor, a breathy flute over choir, celesta and a fretless bass.
        {"Thin Air",
         404u,
         76.0,
         69,
         HARMONIC_MINOR,
         0,
         true,
         form("IABCAO", {0, 5, 3, 4}, {0, 1, 5, 4}, {3, 0, 5, 4}, {3, 4, 4, 0}),
         73,
         52,
         35,
         8,
         ChordStyle::Pad,
         ChordStyle::Arpeggio,
         BassStyle::Pulse,
         DrumStyle::Sparse,
         {4, 8, 2, 6},
         0.22f},
        // Fast: G dorian chase, square lead, string stabs, racing arpeggio and octave bass.
        {"Flashpoint",
         505u,
         176.0,
         67,
         DORIAN,
         -2,
         true,
         form("IAABBACABO", {0, 6, 3, 0}, {2, 3, 6, 0}, {4, 3, 6, 6}, {3, 6, 6, 0}),
         80,
         50,
         39,
         81,
         ChordStyle::Stabs,
         ChordStyle::Arpeggio,
         BassStyle::Octave,
         DrumStyle::Fast,
         {2, 1, 2, 4},
         0.15f},
        // clang-format on
    };
}

// ---- public operations ----

std::vector<MusicAsset> make_music()
{
    std::vector<MusicAsset> out;
    const std::vector<Style> all = styles();
    for (size_t i = 0; i < all.size() && i < MUSIC_COUNT; ++i)
        out.push_back({MUSIC_FILES[i], compose(all[i])});
    return out;
}
