// font.h -- the generator's own stroke font: letters as line strokes on a 4 x 6 grid, drawn at any size.
#pragma once
#include <string>
#include <vector>

// Distance in pixels from each pixel to the nearest stroke of some text (capped at `reach`).
// Fill, outline and glow are all read off it: the stroke is where distance < half the thickness.
struct DistanceField {
    int w, h;
    float reach;
    std::vector<float> d;
    DistanceField(int width, int height, float max_reach)
        : w(width), h(height), reach(max_reach), d(static_cast<size_t>(width) * height, max_reach)
    {
    }
    float at(int x, int y) const { return d[static_cast<size_t>(y) * w + x]; }
};

// Width in pixels of `text` at `unit` pixels per grid step (letters 4 wide plus 2 of spacing).
float text_width(const std::string& text, float unit);

// Adds the strokes of `text` (upper case, digits, - + : . , ! / ' ( ) and arrows < > ^ _) with the
// top-left of its first letter at (x, y); `slant` leans the letters right by that much per unit of height.
void add_text(DistanceField& field, const std::string& text, float x, float y, float unit, float slant);
