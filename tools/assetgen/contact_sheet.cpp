// contact_sheet.cpp -- one review picture of every asset picture: screens as they are, sprites enlarged.
#include <algorithm>

#include "art.h"
#include "assets.h"
#include "bmp_writer.h"

// ---- constants ----

static constexpr int SHEET_WIDTH = 1320;
static constexpr int GAP = 10;

// ---- records ----

struct Placed {
    const PictureAsset* asset;
    int scale;
};

// ---- helpers ----

// Sprites get a checker where they hold the key colour, so transparency is visible.
static Rgb shown(const PictureAsset& a, int x, int y, int scale)
{
    const uint8_t i = a.image.at(x / scale, y / scale);
    if (a.keyed && i == 0)
        return ((x / 4 + y / 4) & 1) ? Rgb{52, 60, 70} : Rgb{70, 78, 90};
    return a.palette[i];
}

// ---- public operations ----

bool write_contact_sheet(const std::string& path)
{
    const std::vector<PictureAsset> pictures = make_pictures();
    std::vector<Placed> items;
    for (const PictureAsset& p : pictures) {
        const int scale = p.keyed ? (p.image.w <= 96 ? (p.image.h <= 40 ? 4 : 2) : 3) : 1;
        items.push_back({&p, p.name.rfind("ROCKL", 0) == 0 ? 2 : scale});
    }
    // Shelf packing: left to right, a new shelf when the next item would pass the right edge.
    std::vector<std::pair<int, int>> at;
    int x = GAP, y = GAP, shelf = 0;
    for (const Placed& it : items) {
        const int w = it.asset->image.w * it.scale, h = it.asset->image.h * it.scale;
        if (x + w + GAP > SHEET_WIDTH) {
            x = GAP;
            y += shelf + GAP;
            shelf = 0;
        }
        at.emplace_back(x, y);
        x += w + GAP;
        shelf = std::max(shelf, h);
    }
    const int height = y + shelf + GAP;
    std::vector<Rgb> px(static_cast<size_t>(SHEET_WIDTH) * height, Rgb{24, 24, 28});
    for (size_t k = 0; k < items.size(); ++k) {
        const PictureAsset& a = *items[k].asset;
        const int s = items[k].scale;
        for (int yy = 0; yy < a.image.h * s; ++yy)
            for (int xx = 0; xx < a.image.w * s; ++xx)
                px[static_cast<size_t>(at[k].second + yy) * SHEET_WIDTH + at[k].first + xx] = shown(a, xx, yy, s);
    }
    return write_file(path, encode_bmp24(px, SHEET_WIDTH, height));
}
