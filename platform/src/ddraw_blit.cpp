// ddraw_blit.cpp -- Blt: colour fills and surface-to-surface copies, source colour key, nearest-
// pixel stretching, cut to the destination's clipper. Checks and clips once, then plain loops.
#include <algorithm>
#include <cstring>

#include "ddraw_internal.h"
#include "internal.h"

// ---- rectangles ----

bool rect_empty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

RECT rect_intersect(const RECT& a, const RECT& b)
{
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

std::vector<RECT> clip_to_clipper(const RECT& dest, const Clipper* clipper)
{
    std::vector<RECT> pieces;
    for (const RECT& c : clipper->rectangles()) {
        const RECT piece = rect_intersect(dest, c);
        if (!rect_empty(piece))
            pieces.push_back(piece);
    }
    return pieces;
}

// The destination pieces a blit writes: cut to the clipper when one is attached (and to the
// surface), otherwise the rectangle must lie inside the surface.
static HRESULT destination_pieces(Surface* dest, const RECT& rect, std::vector<RECT>* pieces)
{
    const RECT whole = {0, 0, dest->width, dest->height};
    if (dest->clipper) {
        for (const RECT& piece : clip_to_clipper(rect, dest->clipper)) {
            const RECT inside = rect_intersect(piece, whole);
            if (!rect_empty(inside))
                pieces->push_back(inside);
        }
        return DD_OK;
    }
    if (rect.left < 0 || rect.top < 0 || rect.right > dest->width || rect.bottom > dest->height)
        return DDERR_INVALIDRECT;
    pieces->push_back(rect);
    return DD_OK;
}

// ---- kernels ----

static void fill_piece(Surface* dest, const RECT& r, DWORD color)
{
    const int count = r.right - r.left;
    for (int y = r.top; y < r.bottom; ++y) {
        if (dest->format.bpp == 8) {
            std::memset(dest->row(y) + r.left, static_cast<uint8_t>(color), static_cast<size_t>(count));
        } else {
            auto* p = reinterpret_cast<uint16_t*>(dest->row(y)) + r.left;
            std::fill(p, p + count, static_cast<uint16_t>(color));
        }
    }
}

// Copies the part of the stretched source that lands in `piece`; the scale is that of the whole
// rectangles, so a clipped blit shows exactly what the unclipped one shows there.
template <class Pixel>
static void copy_piece(Surface* dest, const RECT& piece, const RECT& dest_rect, Surface* source,
                       const RECT& src_rect, bool keyed, DWORD key_low, DWORD key_high)
{
    const int64_t dw = dest_rect.right - dest_rect.left, dh = dest_rect.bottom - dest_rect.top;
    const int64_t sw = src_rect.right - src_rect.left, sh = src_rect.bottom - src_rect.top;
    for (int y = piece.top; y < piece.bottom; ++y) {
        const int64_t sy = src_rect.top + (y - dest_rect.top) * sh / dh;
        const auto* in = reinterpret_cast<const Pixel*>(source->row(static_cast<int>(sy)));
        auto* out = reinterpret_cast<Pixel*>(dest->row(y));
        for (int x = piece.left; x < piece.right; ++x) {
            const Pixel p = in[src_rect.left + (x - dest_rect.left) * sw / dw];
            if (keyed && p >= key_low && p <= key_high)
                continue;
            out[x] = p;
        }
    }
}

// ---- Blt ----

static HRESULT color_fill(Surface* dest, const RECT& rect, const DDBLTFX* fx)
{
    if (!fx || fx->dwSize != sizeof(DDBLTFX))
        return DDERR_INVALIDPARAMS;
    std::vector<RECT> pieces;
    if (const HRESULT hr = destination_pieces(dest, rect, &pieces); FAILED(hr))
        return hr;
    for (const RECT& piece : pieces)
        fill_piece(dest, piece, fx->dwFillColor);
    return DD_OK;
}

static HRESULT surface_copy(Surface* dest, const RECT& rect, Surface* source, LPRECT source_rect, DWORD flags,
                            const DDBLTFX* fx)
{
    if (!source->usable())
        return DDERR_INVALIDOBJECT;
    if (source->lost)
        return DDERR_SURFACELOST;
    if (source != dest && source->busy())
        return DDERR_SURFACEBUSY;
    if (source->format.bpp != dest->format.bpp)
        return DDERR_INVALIDPIXELFORMAT;  // Blt never converts between pixel formats
    const RECT src = source_rect ? *source_rect : RECT{0, 0, source->width, source->height};
    if (src.left > src.right || src.top > src.bottom)
        return DDERR_INVALIDRECT;
    if (src.left < 0 || src.top < 0 || src.right > source->width || src.bottom > source->height)
        return DDERR_INVALIDRECT;
    if (rect_empty(src))
        return DD_OK;
    bool keyed = false;
    DWORD low = 0, high = 0;
    if (flags & DDBLT_KEYSRCOVERRIDE) {
        if (!fx || fx->dwSize != sizeof(DDBLTFX))
            return DDERR_INVALIDPARAMS;
        keyed = true;
        low = fx->ddckSrcColorkey.dwColorSpaceLowValue;
        high = fx->ddckSrcColorkey.dwColorSpaceHighValue;
    } else if (flags & DDBLT_KEYSRC) {
        if (!source->has_source_key)
            return DDERR_INVALIDPARAMS;  // asked to key with a key the source does not have
        keyed = true;
        low = source->source_key.dwColorSpaceLowValue;
        high = source->source_key.dwColorSpaceHighValue;
    }
    std::vector<RECT> pieces;
    if (const HRESULT hr = destination_pieces(dest, rect, &pieces); FAILED(hr))
        return hr;
    for (const RECT& piece : pieces) {
        if (dest->format.bpp == 8)
            copy_piece<uint8_t>(dest, piece, rect, source, src, keyed, low, high);
        else
            copy_piece<uint16_t>(dest, piece, rect, source, src, keyed, low, high);
    }
    return DD_OK;
}

HRESULT Surface::Blt(LPRECT dest_rect, LPDIRECTDRAWSURFACE7 source, LPRECT source_rect, DWORD flags, LPDDBLTFX fx)
{
    if (const HRESULT hr = fault_check("IDirectDrawSurface7::Blt"); FAILED(hr))
        return hr;
    if (!usable())
        return DDERR_INVALIDOBJECT;
    if (lost)
        return DDERR_SURFACELOST;
    if (busy())
        return DDERR_SURFACEBUSY;
    const RECT rect = dest_rect ? *dest_rect : RECT{0, 0, width, height};
    if (rect.left > rect.right || rect.top > rect.bottom)
        return DDERR_INVALIDRECT;
    if (rect_empty(rect))
        return DD_OK;
    HRESULT hr = DDERR_INVALIDPARAMS;
    if (flags & DDBLT_COLORFILL)
        hr = color_fill(this, rect, fx);
    else if (source)
        hr = surface_copy(this, rect, static_cast<Surface*>(source), source_rect, flags, fx);
    if (SUCCEEDED(hr)) {
        mark_written();
        present_if_primary();
    }
    return hr;
}
