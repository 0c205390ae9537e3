// gdi_text.cpp -- GDI text on the device contexts surfaces lend: text and background colours,
// background mode, and TextOutA in the default font. The font is a bold sans-serif found through
// fontconfig, on a 16-pixel line, rendered one bit deep by FreeType (the target may be palettised)
// and kept per character after its first use.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include "ddraw_internal.h"
#include "internal.h"

// ---- constants ----
// The default system font's cell: 16 rows, 13 above the baseline and 3 below.
static constexpr int LINE_HEIGHT = 16;
static constexpr int LINE_ASCENT = 13;
static constexpr int LINE_DESCENT = LINE_HEIGHT - LINE_ASCENT;
static constexpr int SIZE_LARGEST = 16;  // pixels per em tried first
static constexpr int SIZE_SMALLEST = 6;
static const char FONT_PATTERN[] = "sans-serif:bold";

// Windows-1252, the ANSI code page, for bytes 0x80 … 0x9F; the other bytes are Latin-1 already.
static constexpr uint16_t CP1252_HIGH[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// ---- records ----

// Private to this file: the unnamed namespace keeps the names out of the rest of the program.
namespace {

// One character as drawn: a mask of inked pixels placed relative to the pen and the cell's top.
struct Glyph {
    bool rendered = false;
    int left = 0;   // columns from the pen to the mask
    int top = 0;    // rows from the cell's top to the mask (negative above the cell)
    int width = 0, height = 0;
    int pitch = 0;  // bytes from one row of the mask to the next: the width rounded up to eight
    int advance = 0;
    std::vector<uint8_t> mask;  // pitch × height, 0xFF where inked, 0 elsewhere (and past the width)
};

struct Font {
    enum State { UNTRIED, READY, MISSING } state = UNTRIED;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    bool synthetic_bold = false;  // the face found is not bold: its outlines are widened
    Glyph glyphs[256];
};

}  // namespace

// ---- globals ----
static Font font;
// The machine's font file the font was tried with: text follows a change of it.
static std::optional<std::string> font_tried_with;

// ---- the font ----

static void font_unload()
{
    if (font.face)
        FT_Done_Face(font.face);
    if (font.library)
        FT_Done_FreeType(font.library);
    font.face = nullptr;
    font.library = nullptr;
    font.synthetic_bold = false;
    font.state = Font::UNTRIED;
    for (Glyph& g : font.glyphs)
        g = Glyph{};
}

// The file and face index fontconfig offers for a bold sans-serif; false when it offers none.
static bool font_find(std::string* path, int* index, bool* bold)
{
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return false;
    bool found = false;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(FONT_PATTERN));
    if (pattern) {
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcChar8* file = nullptr;
        if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
            *path = reinterpret_cast<const char*>(file);
            if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch)
                *index = 0;
            int weight = FC_WEIGHT_REGULAR;
            FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
            *bold = weight >= FC_WEIGHT_BOLD;
            found = true;
        }
        if (match)
            FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
    FcConfigDestroy(config);
    return found;
}

// The largest size whose ascender and descender fit the 13 + 3 rows of the cell.
static bool font_size_to_cell(FT_Face face)
{
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0)
        return face->num_fixed_sizes > 0 && FT_Select_Size(face, 0) == 0;
    const double ascender = static_cast<double>(face->ascender) / face->units_per_EM;
    const double descender = -static_cast<double>(face->descender) / face->units_per_EM;
    int size = SIZE_LARGEST;
    while (size > SIZE_SMALLEST &&
           (ascender * size > LINE_ASCENT + 0.5 || descender * size > LINE_DESCENT + 0.5))
        --size;
    return FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) == 0;
}

static bool font_load()
{
    std::string path;
    int index = 0;
    bool bold = true;
    if (machine.font_file)
        path = *machine.font_file;
    else if (!font_find(&path, &index, &bold))
        return false;
    if (FT_Init_FreeType(&font.library) != 0) {
        font.library = nullptr;
        return false;
    }
    if (FT_New_Face(font.library, path.c_str(), index, &font.face) != 0) {
        font.face = nullptr;
        return false;
    }
    font.synthetic_bold = !bold && !(font.face->style_flags & FT_STYLE_FLAG_BOLD);
    return font_size_to_cell(font.face);
}

// True when the font is ready to draw with; a font that cannot be had is tried once only.
static bool font_ready()
{
    if (font.state != Font::UNTRIED && font_tried_with != machine.font_file)
        font_unload();
    if (font.state == Font::UNTRIED) {
        font_tried_with = machine.font_file;
        if (font_load()) {
            font.state = Font::READY;
        } else {
            const bool told = machine.font_file.has_value();
            font_unload();
            font.state = Font::MISSING;
            if (!told)
                std::fprintf(stderr, "vorlash: no %s font found through fontconfig; text is not drawn\n",
                             FONT_PATTERN);
        }
    }
    return font.state == Font::READY;
}

static uint32_t code_point(uint8_t c)
{
    return (c >= 0x80 && c < 0xA0) ? CP1252_HIGH[c - 0x80] : c;
}

// Renders a character one bit deep into its mask; a character the font cannot render draws nothing
// but still advances.
static void glyph_render(uint8_t c, Glyph* g)
{
    g->rendered = true;
    FT_GlyphSlot slot = font.face->glyph;
    if (FT_Load_Char(font.face, code_point(c), FT_LOAD_TARGET_MONO) != 0)
        return;
    if (font.synthetic_bold && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_Outline_EmboldenXY(&slot->outline, 64, 0);
        slot->advance.x += 64;
    }
    g->advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0)
        return;
    const FT_Bitmap& b = slot->bitmap;
    if (b.pixel_mode != FT_PIXEL_MODE_MONO || b.pitch <= 0)
        return;
    g->left = slot->bitmap_left;
    g->top = LINE_ASCENT - slot->bitmap_top;
    g->width = static_cast<int>(b.width);
    g->height = static_cast<int>(b.rows);
    g->pitch = (g->width + 7) / 8 * 8;
    g->mask.assign(static_cast<size_t>(g->pitch) * g->height, 0);
    for (int y = 0; y < g->height; ++y) {
        const uint8_t* bits = b.buffer + static_cast<size_t>(y) * b.pitch;
        for (int x = 0; x < g->width; ++x)
            g->mask[static_cast<size_t>(y) * g->pitch + x] = (bits[x >> 3] >> (7 - (x & 7))) & 1 ? 0xFF : 0;
    }
}

static const Glyph& glyph_of(uint8_t c)
{
    Glyph& g = font.glyphs[c];
    if (!g.rendered)
        glyph_render(c, &g);
    return g;
}

// ---- colours ----

// The palette GDI matches colours against on an 8-bit surface: the primary's, as the screen shows
// it; failing that the surface's own; failing both, black throughout.
static const PALETTEENTRY* palette_for(const Surface* surface)
{
    static const PALETTEENTRY black[256] = {};
    const Surface* primary = surface->owner ? surface->owner->primary : nullptr;
    if (primary && primary->palette)
        return primary->palette->entries;
    if (surface->palette)
        return surface->palette->entries;
    return black;
}

// The last colour matched and the palette it was matched in: text drawn in one colour frame after
// frame is matched once, as comparing the palette whole costs a fraction of matching entry by entry.
static struct {
    bool valid;
    COLORREF color;
    uint32_t index;
    PALETTEENTRY palette[256];
} last_match;

static uint32_t nearest_index(const PALETTEENTRY* palette, COLORREF color)
{
    if (last_match.valid && last_match.color == color &&
        std::memcmp(last_match.palette, palette, sizeof last_match.palette) == 0)
        return last_match.index;
    const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    uint32_t best = 0;
    int best_distance = 1 << 30;
    for (int i = 0; i < 256; ++i) {
        const int dr = palette[i].peRed - r, dg = palette[i].peGreen - g, db = palette[i].peBlue - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < best_distance) {
            best_distance = distance;
            best = static_cast<uint32_t>(i);
        }
    }
    std::memcpy(last_match.palette, palette, sizeof last_match.palette);
    last_match.color = color;
    last_match.index = best;
    last_match.valid = true;
    return best;
}

// The pixel value a COLORREF becomes on this surface.
static uint32_t pixel_for(const Surface* surface, COLORREF color)
{
    if (surface->format.bpp == 8)
        return nearest_index(palette_for(surface), color);
    const uint32_t r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    if (surface->format.rgb_bits == 15)
        return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
    return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
}

// ---- drawing ----

static void put_pixel(Surface* s, int x, int y, uint32_t value)
{
    if (s->format.bpp == 8)
        s->row(y)[x] = static_cast<uint8_t>(value);
    else
        reinterpret_cast<uint16_t*>(s->row(y))[x] = static_cast<uint16_t>(value);
}

// Coordinates are 64-bit so that text placed far off the surface cannot overflow on its way.
static void fill_cell(Surface* s, int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t value)
{
    left = left < 0 ? 0 : left;
    top = top < 0 ? 0 : top;
    right = right > s->width ? s->width : right;
    bottom = bottom > s->height ? s->height : bottom;
    for (int64_t y = top; y < bottom; ++y)
        for (int64_t x = left; x < right; ++x)
            put_pixel(s, static_cast<int>(x), static_cast<int>(y), value);
}

// Draws a glyph's inked pixels with its top-left corner at (x, y), cut to the surface. On an 8-bit
// surface each row goes through its mask eight pixels a word, with no branch on whether a pixel is
// inked: a glyph's pixels come in no order a processor could guess, and a branch a pixel cost more
// than the pixels. A word may run past the glyph's width into its mask row's zeros, but never past
// that row or the surface's right edge: the pixels there are left to one at a time.
static void draw_glyph(Surface* s, const Glyph& g, int64_t x, int64_t y, uint32_t value)
{
    const int64_t row_first = y < 0 ? -y : 0;
    const int64_t row_end = y + g.height > s->height ? s->height - y : g.height;
    const int64_t col_first = x < 0 ? -x : 0;
    const int64_t col_end = x + g.width > s->width ? s->width - x : g.width;
    const auto ink8 = static_cast<uint8_t>(value);
    const uint64_t ink = 0x0101010101010101ull * ink8;
    for (int64_t r = row_first; r < row_end; ++r) {
        const uint8_t* mask = g.mask.data() + r * g.pitch;
        if (s->format.bpp != 8) {
            for (int64_t c = col_first; c < col_end; ++c)
                if (mask[c])
                    put_pixel(s, static_cast<int>(x + c), static_cast<int>(y + r), value);
            continue;
        }
        uint8_t* out = s->row(static_cast<int>(y + r));  // pixel x + c of the row, never left of it
        int64_t c = col_first;
        for (; c < col_end && c + 8 <= g.pitch && x + c + 8 <= s->width; c += 8) {
            uint64_t inked, was;
            std::memcpy(&inked, mask + c, 8);
            std::memcpy(&was, out + x + c, 8);
            const uint64_t now = (was & ~inked) | (ink & inked);
            std::memcpy(out + x + c, &now, 8);
        }
        for (; c < col_end; ++c)
            out[x + c] = static_cast<uint8_t>((out[x + c] & ~mask[c]) | (ink8 & mask[c]));
    }
}

// The text and background colours are set alike: the flag byte is dropped and the old colour returned.
static COLORREF swap_color(HDC dc, COLORREF DeviceContext::*slot, const char* operation, COLORREF color)
{
    DeviceContext* c = device_context_of(dc);
    if (!c || FAILED(fault_check(operation)))
        return CLR_INVALID;
    const COLORREF previous = c->*slot;
    c->*slot = color & 0xFFFFFF;
    return previous;
}

// ---- GDI ----

COLORREF WINAPI SetTextColor(HDC dc, COLORREF color)
{
    return swap_color(dc, &DeviceContext::text_color, "SetTextColor", color);
}

COLORREF WINAPI SetBkColor(HDC dc, COLORREF color)
{
    return swap_color(dc, &DeviceContext::background_color, "SetBkColor", color);
}

int WINAPI SetBkMode(HDC dc, int mode)
{
    DeviceContext* c = device_context_of(dc);
    if (!c || FAILED(fault_check("SetBkMode")) || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    const int previous = c->background_mode;
    c->background_mode = mode;
    return previous;
}

BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int length)
{
    DeviceContext* c = device_context_of(dc);
    if (!c || !c->surface || length < 0 || (!text && length > 0))
        return FALSE;
    if (FAILED(fault_check("TextOutA")))
        return FALSE;
    if (length == 0)
        return TRUE;
    if (!font_ready())
        return FALSE;
    Surface* s = c->surface;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text);
    if (c->background_mode == OPAQUE) {
        int64_t width = 0;
        for (int i = 0; i < length; ++i)
            width += glyph_of(bytes[i]).advance;
        fill_cell(s, x, y, int64_t{x} + width, int64_t{y} + LINE_HEIGHT, pixel_for(s, c->background_color));
    }
    const uint32_t ink = pixel_for(s, c->text_color);
    int64_t pen = x;
    for (int i = 0; i < length && pen < s->width; ++i) {
        const Glyph& g = glyph_of(bytes[i]);
        draw_glyph(s, g, pen + g.left, int64_t{y} + g.top, ink);
        pen += g.advance;
    }
    return TRUE;
}
