// art.h -- every picture of the game: the sprite sheets, the rock frames, the backdrop and the intro screens.
#pragma once
#include <vector>

#include "asset_contract.h"
#include "canvas.h"
#include "palette.h"

// ---- sprite sheets (sprite_sheet.cpp) ----

// Lays frames out in the cells of `sheet` (the game's layout: frame i in cell (i % columns, i / columns)).
// Borders hold the key colour; the sheet is widened to a multiple of four pixels so its rows need no padding.
Image8 make_sheet(const std::vector<Image8>& frames, const SheetLayout& sheet);

// A shape in sprite pixels: (u, v) from the top-left corner of its frame.
using ShapeAt = Rgba (*)(float u, float v);
// Paints a shape that fills one cell of `sheet` with its top-left corner at (x, y), `scale` canvas
// pixels per sprite pixel; 4 × 4 samples a pixel below scale 2, 2 × 2 above.
void paint_shape(Canvas& canvas, float x, float y, float scale, const SheetLayout& sheet, ShapeAt shape);
// A one-frame sheet of a shape painted at sprite size, quantised to the game palette with `dither`.
Image8 make_shape_sheet(const SheetLayout& sheet, ShapeAt shape, float dither);

// ---- the pictures ----

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
