// ddraw_blit.cpp -- Blt: colour fills and surface-to-surface copies, source colour key, nearest-
// pixel stretching, cut to the destination's clipper. Checks and clips once at the entry; the
// kernels then trust their rectangles. The copy in its plain form, one pixel at a time, is here
// as the reference; Blt copies through the fast kernels of ddraw_blit_fast.cpp, which must match it.
#include <algorithm>
#include <cstring>

#include "ddraw_internal.h"
#include "internal.h"

// ---- rectangles ----

// A caller's rectangle, read field by field. Callers fill a RECT with four separate stores, and a
// plain copy compiles to one wide load, which the processor cannot forward from those stores: it
// waits for them to retire, longer than a small sprite's whole copy takes.
static RECT read_rect(const RECT* r)
{
    const volatile RECT* v = r;
    return {v->left, v->top, v->right, v->bottom};
}

// Calls `draw` for each piece of `rect` the destination shows: cut to its clipper's rectangles and
// to the surface when a clipper is attached; without one the rectangle must lie inside the surface.
template <class Draw> static HRESULT for_each_piece(Surface* dest, const RECT& rect, Draw&& draw)
{
    const RECT whole = {0, 0, dest->width, dest->height};
    const Clipper* clipper = dest->clipper;
    if (!clipper) {
        if (rect.left < 0 || rect.top < 0 || rect.right > dest->width || rect.bottom > dest->height)
            return DDERR_INVALIDRECT;
        draw(rect);
        return DD_OK;
    }
    auto cut = [&](const RECT& c) {
        const RECT piece = rect_intersect(rect_intersect(rect, c), whole);
        if (!rect_empty(piece))
            draw(piece);
    };
    if (clipper->window) {
        RECT w;
        if (GetWindowRect(clipper->window, &w))
            cut(w);
    } else {
        for (const RECT& c : clipper->clip_list)
            cut(c);
    }
    return DD_OK;
}

// ---- kernels ----

template <class Pixel> static void fill_piece(Surface* dest, const RECT& r, DWORD color)
{
    const int count = r.right - r.left;
    for (int y = r.top; y < r.bottom; ++y) {
        auto* p = reinterpret_cast<Pixel*>(dest->row(y)) + r.left;
        if constexpr (sizeof(Pixel) == 1)
            std::memset(p, static_cast<uint8_t>(color), static_cast<size_t>(count));
        else
            std::fill(p, p + count, static_cast<Pixel>(color));
    }
}

// The plain copy: destination pixel (x, y) reads source pixel (sl + (x - dl) × sw / dw,
// st + (y - dt) × sh / dh) of the whole rectangles, and leaves it out when it lies in the key range.
// Source and destination are taken to be apart (an overlapping copy within one surface is not its case).
template <class Pixel> static void plain_piece(const BlitCopy& c, const RECT& piece)
{
    const int64_t dw = int64_t{c.dest_rect.right} - c.dest_rect.left;
    const int64_t dh = int64_t{c.dest_rect.bottom} - c.dest_rect.top;
    const int64_t sw = c.src_rect.right - c.src_rect.left, sh = c.src_rect.bottom - c.src_rect.top;
    for (int y = piece.top; y < piece.bottom; ++y) {
        const int64_t sy = c.src_rect.top + (int64_t{y} - c.dest_rect.top) * sh / dh;
        const auto* in = reinterpret_cast<const Pixel*>(c.source->row(static_cast<int>(sy)));
        auto* out = reinterpret_cast<Pixel*>(c.dest->row(y));
        for (int x = piece.left; x < piece.right; ++x) {
            const DWORD p = in[c.src_rect.left + (int64_t{x} - c.dest_rect.left) * sw / dw];
            if (!c.keyed || p < c.low || p > c.high)
                out[x] = static_cast<Pixel>(p);
        }
    }
}

void blit_copy_plain(const BlitCopy& c, const RECT& piece)
{
    if (c.dest->format.bpp == 8)
        plain_piece<uint8_t>(c, piece);
    else
        plain_piece<uint16_t>(c, piece);
}

// ---- Blt ----

static HRESULT color_fill(Surface* dest, const RECT& rect, const DDBLTFX* fx)
{
    if (!fx || fx->dwSize != sizeof(DDBLTFX))
        return DDERR_INVALIDPARAMS;
    const DWORD color = fx->dwFillColor;
    return for_each_piece(dest, rect, [&](const RECT& piece) {
        if (dest->format.bpp == 8)
            fill_piece<uint8_t>(dest, piece, color);
        else
            fill_piece<uint16_t>(dest, piece, color);
    });
}

// The key a copy leaves out, from the flags: the source's own, or one given with the blit.
static HRESULT copy_key(Surface* source, DWORD flags, const DDBLTFX* fx, bool* keyed, DWORD* low, DWORD* high)
{
    *keyed = false;
    if (flags & DDBLT_KEYSRCOVERRIDE) {
        if (!fx || fx->dwSize != sizeof(DDBLTFX))
            return DDERR_INVALIDPARAMS;
        *keyed = true;
        *low = fx->ddckSrcColorkey.dwColorSpaceLowValue;
        *high = fx->ddckSrcColorkey.dwColorSpaceHighValue;
    } else if (flags & DDBLT_KEYSRC) {
        if (!source->has_source_key)
            return DDERR_INVALIDPARAMS;  // asked to key with a key the source does not have
        *keyed = true;
        *low = source->source_key.dwColorSpaceLowValue;
        *high = source->source_key.dwColorSpaceHighValue;
    }
    return DD_OK;
}

static HRESULT surface_copy(Surface* dest, const RECT& rect, Surface* source, LPRECT source_rect, DWORD flags,
                            const DDBLTFX* fx, bool plain)
{
    if (!source->usable())
        return DDERR_INVALIDOBJECT;
    if (source->lost)
        return DDERR_SURFACELOST;
    if (source != dest && source->busy())
        return DDERR_SURFACEBUSY;
    if (source->format.bpp != dest->format.bpp)
        return DDERR_INVALIDPIXELFORMAT;  // Blt never converts between pixel formats
    const RECT src = source_rect ? read_rect(source_rect) : RECT{0, 0, source->width, source->height};
    if (src.left > src.right || src.top > src.bottom)
        return DDERR_INVALIDRECT;
    if (src.left < 0 || src.top < 0 || src.right > source->width || src.bottom > source->height)
        return DDERR_INVALIDRECT;
    if (rect_empty(src))
        return DD_OK;
    bool keyed;
    DWORD low = 0, high = 0;
    if (const HRESULT hr = copy_key(source, flags, fx, &keyed, &low, &high); FAILED(hr))
        return hr;

    BlitCopy c = {dest, source, rect, src, keyed, low, high, nullptr};
    if (plain)
        return for_each_piece(dest, rect, [&](const RECT& piece) { blit_copy_plain(c, piece); });
    if (keyed)
        c.runs = &key_runs_for(source, low, high);
    return for_each_piece(dest, rect, [&](const RECT& piece) { blit_copy_fast(c, piece); });
}

// The whole of Blt after its fault check; `plain` picks the copy kernel.
static HRESULT blt(Surface* dest, LPRECT dest_rect, LPDIRECTDRAWSURFACE7 source, LPRECT source_rect, DWORD flags,
                   LPDDBLTFX fx, bool plain)
{
    if (const HRESULT hr = dest->ready(); FAILED(hr))
        return hr;
    const RECT rect = dest_rect ? read_rect(dest_rect) : RECT{0, 0, dest->width, dest->height};
    if (rect.left > rect.right || rect.top > rect.bottom)
        return DDERR_INVALIDRECT;
    if (rect_empty(rect))
        return DD_OK;
    HRESULT hr = DDERR_INVALIDPARAMS;
    if (flags & DDBLT_COLORFILL)
        hr = color_fill(dest, rect, fx);
    else if (source)
        hr = surface_copy(dest, rect, static_cast<Surface*>(source), source_rect, flags, fx, plain);
    if (SUCCEEDED(hr)) {
        dest->mark_written();
        dest->present_if_primary();
    }
    return hr;
}

// A sprite's blit, checked and cut here in a few scalar steps and handed straight to the kernel:
// a same-size copy, with the source's own key or none, between two ready surfaces of one depth,
// onto a destination with no clipper or one clip rectangle. For a small sprite the general way's
// records, pieces and calls cost more than its pixels. False, having done nothing, for anything
// else (every refusal included): blt then gives the result, the same it gives for this case.
static bool quick_copy(Surface* dest, const RECT* dest_rect, LPDIRECTDRAWSURFACE7 source_surface,
                       const RECT* source_rect, DWORD flags)
{
    auto* source = static_cast<Surface*>(source_surface);
    if (!source || source == dest || !dest_rect || (flags & (DDBLT_COLORFILL | DDBLT_KEYSRCOVERRIDE)))
        return false;
    const bool keyed = flags & DDBLT_KEYSRC;
    if (dest->ready() != DD_OK || source->ready() != DD_OK || source->format.bpp != dest->format.bpp ||
        (keyed && !source->has_source_key))
        return false;
    // Field by field and into plain integers, as read_rect says why.
    const volatile RECT* d = dest_rect;
    const int64_t left = d->left, top = d->top, right = d->right, bottom = d->bottom;
    int64_t sl = 0, st = 0, sr = source->width, sb = source->height;
    if (source_rect) {
        const volatile RECT* r = source_rect;
        sl = r->left, st = r->top, sr = r->right, sb = r->bottom;
    }
    if (sl < 0 || st < 0 || sr > source->width || sb > source->height || sl >= sr || st >= sb ||
        right - left != sr - sl || bottom - top != sb - st)
        return false;
    int64_t cl = 0, ct = 0, cr = dest->width, cb = dest->height;  // what the destination shows
    if (const Clipper* clipper = dest->clipper) {
        if (clipper->window || clipper->clip_list.size() != 1)
            return false;
        const RECT& c = clipper->clip_list.front();
        cl = std::max<int64_t>(cl, c.left), ct = std::max<int64_t>(ct, c.top);
        cr = std::min<int64_t>(cr, c.right), cb = std::min<int64_t>(cb, c.bottom);
    } else if (left < 0 || top < 0 || right > dest->width || bottom > dest->height) {
        return false;
    }
    const int64_t pl = std::max(left, cl), pt = std::max(top, ct), pr = std::min(right, cr), pb = std::min(bottom, cb);
    if (pl < pr && pt < pb) {
        const KeyRuns* runs =
            keyed ? &key_runs_for(source, source->source_key.dwColorSpaceLowValue,
                                  source->source_key.dwColorSpaceHighValue)
                  : nullptr;
        const RECT piece = {static_cast<LONG>(pl), static_cast<LONG>(pt), static_cast<LONG>(pr), static_cast<LONG>(pb)};
        blit_copy_same_size(dest, source, runs, piece, static_cast<int>(sl - left), static_cast<int>(st - top));
    }
    dest->mark_written();
    dest->present_if_primary();
    return true;
}

HRESULT Surface::Blt(LPRECT dest_rect, LPDIRECTDRAWSURFACE7 source, LPRECT source_rect, DWORD flags, LPDDBLTFX fx)
{
    if (const HRESULT hr = fault_check("IDirectDrawSurface7::Blt"); FAILED(hr))
        return hr;
    if (quick_copy(this, dest_rect, source, source_rect, flags))
        return DD_OK;
    return blt(this, dest_rect, source, source_rect, flags, fx, false);
}

HRESULT blt_reference(LPDIRECTDRAWSURFACE7 dest, LPRECT dest_rect, LPDIRECTDRAWSURFACE7 source, LPRECT source_rect,
                      DWORD flags, LPDDBLTFX fx)
{
    return blt(static_cast<Surface*>(dest), dest_rect, source, source_rect, flags, fx, true);
}
