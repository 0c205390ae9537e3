// assets.h -- the whole asset set by file name, and the two ways out: the asset folder and the contact sheet.
#pragma once
#include <string>
#include <vector>

#include "bytes.h"
#include "canvas.h"
#include "palette.h"

// Where every sound peaks: a little under half scale, so that an explosion over a laser shot over
// the music still fits the mixer's 16 bits without clipping.
constexpr float SOUND_PEAK = 0.45f;

// A picture file: its name, pixels and palette; `keyed` pictures use index 0 as transparency.
struct PictureAsset {
    std::string name;
    Image8 image;
    Palette palette;
    bool keyed;
};

// A sound file: its name and the signal before it is scaled to 8 bits.
struct SoundAsset {
    std::string name;
    std::vector<float> signal;
};

// A music file: its name and the encoded standard MIDI file.
struct MusicAsset {
    std::string name;
    Bytes midi;
};

// ROCKL0000.BMP … ROCKL0015.BMP: the file of one rock frame.
std::string rock_file_name(int frame);

std::vector<PictureAsset> make_pictures();
std::vector<SoundAsset> make_sounds();
std::vector<MusicAsset> make_music();

// Writes every asset into the existing folder `dir`; false (and a message on stderr) on the first failure.
bool write_assets(const std::string& dir);

// Writes the examples' own set into the existing folder `dir`: the game's pictures, sounds and music
// under the plain names the examples open, a rock sheet, and two 24-bit pictures for the 16-bit
// display (example_assets.cpp); false (and a message on stderr) on the first failure.
bool write_example_assets(const std::string& dir);

// Writes one 24-bit BMP showing every picture and frame, sprites enlarged over a checker for the key.
bool write_contact_sheet(const std::string& path);
