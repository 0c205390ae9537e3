// assets.h -- the whole asset set by file name, and the two ways out: the asset folder and the contact sheet.
#pragma once
#include <string>
#include <vector>

#include "bytes.h"
#include "canvas.h"
#include "palette.h"

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

// Writes one 24-bit BMP showing every picture and frame, sprites enlarged over a checker for the key.
bool write_contact_sheet(const std::string& path);
