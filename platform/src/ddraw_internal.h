// ddraw_internal.h -- the stand-in's DirectDraw objects: a display, system-memory surfaces with
// their flip chain, 256-entry palettes, and rectangle-list clippers.
#pragma once
#include <ddraw.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "com_object.h"

class DirectDraw;
class Palette;
class Clipper;

struct PixelFormat {
    int bpp;       // 8 or 16
    int rgb_bits;  // 8, 15 (5.5.5) or 16 (5.6.5)
};

// A device context handed out by IDirectDrawSurface7::GetDC: the GDI state text drawing reads.
struct DeviceContext {
    HDC__ handle;  // what the HDC points at
    class Surface* surface;
    COLORREF text_color;
    COLORREF background_color;
    int background_mode;
};
DeviceContext* device_context_of(HDC dc);  // null for a handle no surface handed out

// The opaque runs of each row of a surface under one colour key: what a keyed blit copies. Built
// on the first keyed blit after the pixels or the key changed, so a sprite frame that does not
// change is scanned once, not at every blit.
struct KeyRuns {
    struct Span {
        uint16_t begin, end;  // [begin, end) of pixels outside the key range
    };
    uint64_t write_count = ~uint64_t{0};  // the surface's write_count the runs were built from
    DWORD low = 0, high = 0;
    std::vector<uint32_t> row_first;  // spans of row y: [row_first[y], row_first[y + 1])
    std::vector<Span> spans;
    // For surfaces whose rows fit in 8 bytes: per row, 0xFF in each byte to copy. A whole narrow
    // row is then one masked 8-byte move.
    std::vector<uint64_t> row_mask;
};

class Surface final : public ComObject<IDirectDrawSurface7> {
public:
    Surface(DirectDraw* owner, int width, int height, PixelFormat format, DWORD caps);
    ~Surface() override;

    HRESULT STDMETHODCALLTYPE Blt(LPRECT dest_rect, LPDIRECTDRAWSURFACE7 source, LPRECT source_rect, DWORD flags,
                                  LPDDBLTFX fx) override;
    HRESULT STDMETHODCALLTYPE Flip(LPDIRECTDRAWSURFACE7 target_override, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE7* attached) override;
    HRESULT STDMETHODCALLTYPE GetDC(HDC* dc) override;
    HRESULT STDMETHODCALLTYPE GetPixelFormat(LPDDPIXELFORMAT format) override;
    HRESULT STDMETHODCALLTYPE GetSurfaceDesc(LPDDSURFACEDESC2 desc) override;
    HRESULT STDMETHODCALLTYPE IsLost() override;
    HRESULT STDMETHODCALLTYPE Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) override;
    HRESULT STDMETHODCALLTYPE Restore() override;
    HRESULT STDMETHODCALLTYPE SetClipper(LPDIRECTDRAWCLIPPER clipper) override;
    HRESULT STDMETHODCALLTYPE SetColorKey(DWORD flags, LPDDCOLORKEY key) override;
    HRESULT STDMETHODCALLTYPE SetPalette(LPDIRECTDRAWPALETTE palette) override;
    HRESULT STDMETHODCALLTYPE Unlock(LPRECT rect) override;

    // ---- for the rest of the stand-in ----
    uint8_t* row(int y) { return pixels + static_cast<size_t>(y) * pitch; }
    int bytes_per_pixel() const { return format.bpp / 8; }
    bool busy() const { return locked || dc != nullptr; }  // refuses blits, flips and new locks
    bool usable() const { return owner != nullptr; }       // its DirectDraw object still exists
    HRESULT ready() const  // DD_OK when its pixels may be read or written now, else why not
    {
        if (!usable())
            return DDERR_INVALIDOBJECT;
        if (lost)
            return DDERR_SURFACELOST;
        return busy() ? DDERR_SURFACEBUSY : DD_OK;
    }
    void attach_back_buffer(Surface* back);                // makes this the head of a flip chain
    void present_if_primary();                             // shows the primary's picture now
    void mark_written() { ++write_count; }

    DirectDraw* owner;
    const int width, height, pitch;
    const PixelFormat format;
    const DWORD caps;
    uint8_t* pixels;                  // the current buffer; a flip swaps it with the back buffer's
    std::unique_ptr<uint8_t[]> storage;
    Surface* back_buffer = nullptr;   // the flip chain's back buffer (primary only; one reference)
    Surface* front = nullptr;         // the primary a back buffer belongs to (no reference)
    Palette* palette = nullptr;       // one reference
    Clipper* clipper = nullptr;       // one reference
    bool locked = false;
    bool lost = false;
    bool has_source_key = false;
    DDCOLORKEY source_key{};
    std::unique_ptr<DeviceContext> dc;  // while a DC is out
    uint64_t write_count = 0;           // bumped by every change of the pixels, for caches
    KeyRuns key_runs;                   // for keyed blits from this surface
};

class Palette final : public ComObject<IDirectDrawPalette> {
public:
    Palette(DWORD caps, const PALETTEENTRY* initial);
    HRESULT STDMETHODCALLTYPE GetEntries(DWORD flags, DWORD base, DWORD count, LPPALETTEENTRY entries) override;
    HRESULT STDMETHODCALLTYPE SetEntries(DWORD flags, DWORD start, DWORD count, LPPALETTEENTRY entries) override;

    const DWORD caps;
    PALETTEENTRY entries[256];
};

class Clipper final : public ComObject<IDirectDrawClipper> {
public:
    HRESULT STDMETHODCALLTYPE GetClipList(LPRECT rect, LPRGNDATA clip_list, LPDWORD size) override;
    HRESULT STDMETHODCALLTYPE SetClipList(LPRGNDATA clip_list, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE SetHWnd(DWORD flags, HWND window) override;

    // The rectangles blits are cut to: the clip list, or the window's rectangle when bound to one.
    std::vector<RECT> rectangles() const;

    std::vector<RECT> clip_list;
    HWND window = nullptr;
};

// At most this many rectangles in a clip list: a region is a handful of rectangles in practice,
// and the bound keeps a bad RGNDATA count from asking for gigabytes.
constexpr DWORD CLIPPER_MAX_RECTS = 4096;
// Surfaces larger than this on either side are refused, as the display memory could not hold them.
constexpr int SURFACE_MAX_SIDE = 16384;

class DirectDraw final : public ComObject<IDirectDraw7> {
public:
    ~DirectDraw() override;
    HRESULT STDMETHODCALLTYPE CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE CreatePalette(DWORD flags, LPPALETTEENTRY entries, LPDIRECTDRAWPALETTE* palette,
                                            IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface,
                                            IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE RestoreAllSurfaces() override;
    HRESULT STDMETHODCALLTYPE RestoreDisplayMode() override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refresh_rate,
                                             DWORD flags) override;
    HRESULT STDMETHODCALLTYPE WaitForVerticalBlank(DWORD flags, HANDLE event) override;

    PixelFormat display_format() const;
    void forget(Surface* surface);  // a surface is gone

    DWORD cooperative_flags = 0;
    HWND cooperative_window = nullptr;
    bool mode_set = false;
    int mode_width = 0, mode_height = 0, mode_bpp = 0;
    Surface* primary = nullptr;       // no reference: the caller owns it
    std::vector<Surface*> surfaces;   // every live surface made here, to cut them loose at the end
};

// ---- rectangles (inline: every blit cuts its rectangle with them) ----
inline bool rect_empty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }
inline RECT rect_intersect(const RECT& a, const RECT& b)
{
    return {a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top, a.right < b.right ? a.right : b.right,
            a.bottom < b.bottom ? a.bottom : b.bottom};
}

// ---- blit kernels (ddraw_blit.cpp, ddraw_blit_fast.cpp) ----
// What one copy reads and writes: the whole destination and source rectangles (their ratio is
// the scale, taken before any clipping), the key range left out, and for the fast copies the
// source's runs under that key. The kernels copy one piece, already cut to the destination.
struct BlitCopy {
    Surface* dest;
    Surface* source;
    RECT dest_rect;
    RECT src_rect;
    bool keyed;           // false: copy every pixel
    DWORD low, high;      // the key range, when keyed
    const KeyRuns* runs;  // the fast copies' runs of the source under the key; null when unkeyed
};
void key_runs_build(Surface* s, DWORD low, DWORD high);  // scans the source for its runs under the key
// The source's runs under the key, rebuilt when the pixels or the key changed (inline: every keyed
// blit asks, and all but the first find them current).
inline const KeyRuns& key_runs_for(Surface* s, DWORD low, DWORD high)
{
    const KeyRuns& k = s->key_runs;
    if (k.write_count != s->write_count || k.low != low || k.high != high)
        key_runs_build(s, low, high);
    return k;
}
void blit_copy_fast(const BlitCopy& c, const RECT& piece);
// The fast same-size copy of one piece: destination pixel (x, y) of `piece` reads source pixel
// (x + dx, y + dy), left out where `runs` (null: unkeyed) has no opaque run. What blit_copy_fast
// does for a copy of the same size, callable without assembling a BlitCopy.
void blit_copy_same_size(Surface* dest, const Surface* source, const KeyRuns* runs, RECT piece, int dx, int dy);
void blit_copy_plain(const BlitCopy& c, const RECT& piece);  // one pixel at a time: the reference
// Blt with every copy made by the plain kernel: the same checks, clipping and pixels as
// IDirectDrawSurface7::Blt (without its fault check). The tests' oracle for the fast copies.
HRESULT blt_reference(LPDIRECTDRAWSURFACE7 dest, LPRECT dest_rect, LPDIRECTDRAWSURFACE7 source, LPRECT source_rect,
                      DWORD flags, LPDDBLTFX fx);

// ---- ddraw_object.cpp ----
PixelFormat desktop_format();
