// sprite_sheet.cpp -- lays sprite frames into cells with one-pixel key-coloured borders.
#include "art.h"

Image8 make_sheet(const std::vector<Image8>& frames, int columns)
{
    const int w = frames.front().w, h = frames.front().h;
    const int count = static_cast<int>(frames.size());
    const int rows = (count + columns - 1) / columns;
    const int sheet_w = ((std::min(count, columns) * (w + 1) + 1) + 3) & ~3;
    Image8 sheet(sheet_w, rows * (h + 1) + 1);
    for (int i = 0; i < count; ++i)
        blit8(sheet, frames[static_cast<size_t>(i)], (i % columns) * (w + 1) + 1, (i / columns) * (h + 1) + 1);
    return sheet;
}
