// palette.h -- the game's one 256-colour palette, colour matching against a palette, and the palette file.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "canvas.h"

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};
using Palette = std::array<Rgb, 256>;

// The palette every game picture shares, its fixed entries in the roles of asset_contract.h: 0 black
// (the colour key), 12 pure red and 15 pure white for the game's text and stars, then ramps for lava,
// rock, hull steel and blue, energy, fire, smoke, the UFO and lights.
const Palette& game_palette();

// Finds the entry nearest to a colour, never entry 0 unless `allow_key`; answers are cached per palette.
class ColourMatcher {
public:
    ColourMatcher(const Palette& palette, bool allow_key);
    uint8_t nearest(Col c);

private:
    const Palette& palette_;
    bool allow_key_;
    std::array<int16_t, 1 << 18> cache_;
};

// Turns a painted sprite into palette indices: pixels under half coverage become the colour key 0,
// the others the nearest non-key entry, nudged by an ordered dither of `dither` levels.
Image8 quantise_sprite(const Canvas& canvas, const Palette& palette, float dither);

// Turns a fully painted picture into palette indices; entry 0 may be used for black.
Image8 quantise_opaque(const Canvas& canvas, const Palette& palette, float dither);

// Writes the 256 entries as "\nR G B FLAGS" lines with the flags byte 4 (no-collapse), the value the
// picture loader gives every entry it reads, so file and pictures hold equal entries. False on I/O failure.
bool write_palette_file(const std::string& path, const Palette& palette);
