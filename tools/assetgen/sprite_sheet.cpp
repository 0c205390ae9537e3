// sprite_sheet.cpp -- lays sprite frames into the game's cells with one-pixel key-coloured borders, and
// paints the one-frame sprites.
#include "art.h"

// ---- public operations ----

Image8 make_sheet(const std::vector<Image8>& frames, const SheetLayout& sheet)
{
    const int w = sheet.cell_width, h = sheet.cell_height;
    const int sheet_w = ((sheet.columns * (w + 1) + 1) + 3) & ~3;
    Image8 out(sheet_w, sheet.rows * (h + 1) + 1);
    for (int i = 0; i < static_cast<int>(frames.size()); ++i)
        blit8(out, frames[static_cast<size_t>(i)], (i % sheet.columns) * (w + 1) + 1,
              (i / sheet.columns) * (h + 1) + 1);
    return out;
}

void paint_shape(Canvas& canvas, float x, float y, float scale, const SheetLayout& sheet, ShapeAt shape)
{
    const int ss = scale < 2.0f ? 4 : 2;
    paint(canvas, static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + sheet.cell_width * scale) + 1,
          static_cast<int>(y + sheet.cell_height * scale) + 1, ss,
          [&](float px, float py) { return shape((px - x) / scale, (py - y) / scale); });
}

Image8 make_shape_sheet(const SheetLayout& sheet, ShapeAt shape, float dither)
{
    Canvas canvas(sheet.cell_width, sheet.cell_height);
    paint_shape(canvas, 0.0f, 0.0f, 1.0f, sheet, shape);
    return make_sheet({quantise_sprite(canvas, game_palette(), dither)}, sheet);
}
