// font.cpp -- glyph strokes and their distance field; all lettering on the intro screens comes from here.
#include "font.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

// ---- records ----

struct Segment {
    float x0, y0, x1, y1;
};

// ---- helpers ----

// Each glyph: strokes separated by '|', each stroke a run of x,y points on the 4 x 6 grid (y down).
static const char* glyph(char c)
{
    switch (c) {
    case 'A': return "0,6 0,2 2,0 4,2 4,6|0,4 4,4";
    case 'B': return "0,0 0,6 3,6 4,5 4,4 3,3 0,3|0,0 3,0 4,1 4,2 3,3";
    case 'C': return "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5";
    case 'D': return "0,0 0,6 2,6 4,4 4,2 2,0 0,0";
    case 'E': return "4,0 0,0 0,6 4,6|0,3 3,3";
    case 'F': return "4,0 0,0 0,6|0,3 3,3";
    case 'G': return "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,3 2,3";
    case 'H': return "0,0 0,6|4,0 4,6|0,3 4,3";
    case 'I': return "1,0 3,0|2,0 2,6|1,6 3,6";
    case 'J': return "4,0 4,5 3,6 1,6 0,5";
    case 'K': return "0,0 0,6|4,0 0,4|1,3 4,6";
    case 'L': return "0,0 0,6 4,6";
    case 'M': return "0,6 0,0 2,3 4,0 4,6";
    case 'N': return "0,6 0,0 4,6 4,0";
    case 'O': return "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0";
    case 'P': return "0,6 0,0 3,0 4,1 4,2 3,3 0,3";
    case 'Q': return "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|2,4 4,6";
    case 'R': return "0,6 0,0 3,0 4,1 4,2 3,3 0,3|2,3 4,6";
    case 'S': return "4,1 3,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5";
    case 'T': return "0,0 4,0|2,0 2,6";
    case 'U': return "0,0 0,5 1,6 3,6 4,5 4,0";
    case 'V': return "0,0 2,6 4,0";
    case 'W': return "0,0 1,6 2,3 3,6 4,0";
    case 'X': return "0,0 4,6|4,0 0,6";
    case 'Y': return "0,0 2,3 4,0|2,3 2,6";
    case 'Z': return "0,0 4,0 0,6 4,6";
    case '0': return "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|3,1 1,5";
    case '1': return "1,1 2,0 2,6|1,6 3,6";
    case '2': return "0,1 1,0 3,0 4,1 4,2 0,6 4,6";
    case '3': return "0,0 4,0 2,2 3,2 4,3 4,5 3,6 1,6 0,5";
    case '4': return "3,6 3,0 0,4 4,4";
    case '5': return "4,0 0,0 0,3 3,3 4,4 4,5 3,6 1,6 0,5";
    case '6': return "3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,4 3,3 0,3";
    case '7': return "0,0 4,0 1,6";
    case '8': return "1,0 3,0 4,1 4,2 3,3 1,3 0,2 0,1 1,0|1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3";
    case '9': return "4,3 1,3 0,2 0,1 1,0 3,0 4,1 4,5 3,6 1,6";
    case '-': return "1,3 3,3";
    case '+': return "0,3 4,3|2,1 2,5";
    case ':': return "2,1.5 2,1.6|2,4.5 2,4.6";
    case '.': return "2,6 2,5.9";
    case ',': return "2,5.6 1.4,7";
    case '!': return "2,0 2,4|2,6 2,5.9";
    case '/': return "4,0 0,6";
    case '\'': return "2,0 2,1.5";
    case '(': return "3,0 2,1 2,5 3,6";
    case ')': return "1,0 2,1 2,5 1,6";
    case '<': return "4,3 0,3|2,1 0,3 2,5";
    case '>': return "0,3 4,3|2,1 4,3 2,5";
    case '^': return "2,6 2,0|0,2 2,0 4,2";
    case '_': return "2,0 2,6|0,4 2,6 4,4";
    default: return "";
    }
}

static std::vector<Segment> glyph_segments(char c)
{
    std::vector<Segment> out;
    const char* p = glyph(c);
    bool have = false;
    float px = 0, py = 0;
    while (*p) {
        if (*p == '|' || *p == ' ') {
            have = have && *p == ' ';
            ++p;
            continue;
        }
        char* end = nullptr;
        const float x = std::strtof(p, &end);
        const float y = std::strtof(end + 1, &end);
        p = end;
        if (have)
            out.push_back({px, py, x, y});
        px = x;
        py = y;
        have = true;
    }
    return out;
}

static float segment_distance(const Segment& s, float x, float y)
{
    const float dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    const float len2 = dx * dx + dy * dy;
    const float t = len2 > 0.0f ? std::clamp(((x - s.x0) * dx + (y - s.y0) * dy) / len2, 0.0f, 1.0f) : 0.0f;
    const float ex = x - (s.x0 + t * dx), ey = y - (s.y0 + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

static float advance(char c)
{
    return c == ' ' ? 4.0f : (c == ':' || c == '.' || c == '!' || c == ',' || c == '\'') ? 3.0f : 6.0f;
}

// ---- public operations ----

float text_width(const std::string& text, float unit)
{
    float w = 0.0f;
    for (char c : text)
        w += advance(c);
    return (w - 2.0f) * unit;
}

void add_text(DistanceField& field, const std::string& text, float x, float y, float unit, float slant)
{
    float pen = x;
    for (char c : text) {
        const float shift = (c == ':' || c == '.' || c == '!' || c == ',' || c == '\'') ? -1.0f * unit : 0.0f;
        std::vector<Segment> segs = glyph_segments(c);
        for (Segment& s : segs) {
            s = {pen + shift + (s.x0 + slant * (6.0f - s.y0)) * unit, y + s.y0 * unit,
                 pen + shift + (s.x1 + slant * (6.0f - s.y1)) * unit, y + s.y1 * unit};
        }
        const int x0 = std::max(0, static_cast<int>(pen - field.reach - unit));
        const int x1 = std::min(field.w, static_cast<int>(pen + (4.0f + 6.0f * slant) * unit + field.reach + unit) + 1);
        const int y0 = std::max(0, static_cast<int>(y - field.reach - unit));
        const int y1 = std::min(field.h, static_cast<int>(y + 7.0f * unit + field.reach) + 1);
        for (int py = y0; py < y1 && !segs.empty(); ++py) {
            for (int px = x0; px < x1; ++px) {
                float& d = field.d[static_cast<size_t>(py) * field.w + px];
                for (const Segment& s : segs)
                    d = std::min(d, segment_distance(s, px + 0.5f, py + 0.5f));
            }
        }
        pen += advance(c) * unit;
    }
}
