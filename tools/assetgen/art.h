// art.h -- every picture of the game: the sprite sheets, the rock frames, the backdrop and the intro screens.
#pragma once
#include <vector>

#include "canvas.h"
#include "palette.h"

// Frame sizes and sheet layouts the game reads its sprites with.
constexpr int kShipW = 80, kShipH = 32;
constexpr int kBoltW = 8, kBoltH = 8, kBoltFrames = 16, kBoltColumns = 8;
constexpr int kRockW = 96, kRockH = 96, kRockFrames = 16;
constexpr int kUfoW = 80, kUfoH = 55;
constexpr int kExplW = 42, kExplH = 36, kExplFrames = 14, kExplColumns = 6;
constexpr int kScreenW = 640, kScreenH = 480;

// Lays frames out as cells of a sheet: cell (cx, cy) starts at pixel (cx * (w + 1) + 1, cy * (h + 1) + 1),
// frame i going to cell (i % columns, i / columns). Borders hold the key colour; the sheet is widened to
// a multiple of four pixels so its rows need no padding.
Image8 make_sheet(const std::vector<Image8>& frames, int columns);

// Painters that draw a picture at any size, so the intro screens can show the game's own craft large.
// Each paints its shape with its top-left corner at (x, y), `scale` canvas pixels per sprite pixel.
void paint_gunship(Canvas& canvas, float x, float y, float scale);
void paint_ufo(Canvas& canvas, float x, float y, float scale);
void paint_rock(Canvas& canvas, float x, float y, float scale, int step);

// The game pictures, in the game palette.
Image8 make_gunship_sheet();
Image8 make_energy_sheet();
std::vector<Image8> make_rock_frames();
Image8 make_ufo_sheet();
Image8 make_explosion_sheet();
Image8 make_backdrop();

// The sprite frames before they are laid out in sheets (for checks and the contact sheet).
std::vector<Image8> energy_frames();
std::vector<Image8> explosion_frames();

// An intro screen (1, 2 or 3) with the palette made for it.
struct Picture {
    Image8 image;
    Palette palette;
};
Picture make_intro(int screen);
