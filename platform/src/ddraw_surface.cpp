// ddraw_surface.cpp -- surfaces in system memory: lock, flip chain, colour key, palette, clipper
// and device contexts. The primary's picture goes to the host on every visible change.
#include <algorithm>
#include <cstring>
#include <new>

#include "ddraw_internal.h"
#include "host.h"
#include "internal.h"

// Primaries alive now, so a palette change can find the screens it shows on.
static std::vector<Surface*> primaries;
static std::vector<DeviceContext*> device_contexts;
// A screen refreshes 60 times a second: a locked primary is shown again once this long has passed.
static constexpr uint32_t SCREEN_REFRESH_MS = 17;
// When locked primaries were last shown between presents, or locked (as locked, they are on screen).
static uint32_t locked_shown_at = 0;

// ---- helpers ----

// Rows are padded past the visible width, as display memory is: code that mixes up width and
// pitch draws visibly wrong on this stand-in too.
static int pitch_for(int width, int bytes_per_pixel)
{
    const int row = width * bytes_per_pixel;
    return (row + 16 + 15) & ~15;
}

static void describe_format(PixelFormat format, DDPIXELFORMAT* pf)
{
    std::memset(pf, 0, sizeof *pf);
    pf->dwSize = sizeof *pf;
    if (format.bpp == 8) {
        pf->dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
        pf->dwRGBBitCount = 8;
        return;
    }
    pf->dwFlags = DDPF_RGB;
    pf->dwRGBBitCount = static_cast<DWORD>(format.rgb_bits);
    if (format.rgb_bits == 15) {
        pf->dwRBitMask = 0x7C00;
        pf->dwGBitMask = 0x03E0;
    } else {
        pf->dwRBitMask = 0xF800;
        pf->dwGBitMask = 0x07E0;
    }
    pf->dwBBitMask = 0x001F;
}

static bool rect_inside(const RECT& r, int width, int height)
{
    return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height && r.left < r.right &&
           r.top < r.bottom;
}

DeviceContext* device_context_of(HDC dc)
{
    for (DeviceContext* c : device_contexts)
        if (&c->handle == dc)
            return c;
    return nullptr;
}

// ---- life ----

Surface::Surface(DirectDraw* owner_, int width_, int height_, PixelFormat format_, DWORD caps_)
    : owner(owner_), width(width_), height(height_), pitch(pitch_for(width_, format_.bpp / 8)), format(format_),
      caps(caps_), pixels(nullptr)
{
    storage.reset(new (std::nothrow) uint8_t[static_cast<size_t>(pitch) * height]());
    pixels = storage.get();
    if (caps & DDSCAPS_PRIMARYSURFACE)
        primaries.push_back(this);
}

Surface::~Surface()
{
    std::erase(primaries, this);
    if (dc) {
        std::erase(device_contexts, dc.get());
        dc.reset();
    }
    if (back_buffer)
        back_buffer->front = nullptr;
    release_and_clear(back_buffer);
    release_and_clear(palette);
    release_and_clear(clipper);
    if (owner)
        owner->forget(this);
}

void Surface::attach_back_buffer(Surface* back)
{
    back_buffer = back;  // the chain's own reference
    back->front = this;
}

void Surface::present_if_primary()
{
    if (!(caps & DDSCAPS_PRIMARYSURFACE) || !owner)
        return;
    HostFrame frame{};
    frame.pixels = pixels;
    frame.pitch = pitch;
    frame.width = width;
    frame.height = height;
    frame.bpp = format.bpp;
    frame.rgb_bits = format.rgb_bits;
    static const PALETTEENTRY black[256] = {};
    frame.palette = reinterpret_cast<const uint8_t*>(palette ? palette->entries : black);
    if (format.bpp != 8)
        frame.palette = nullptr;
    host().present(frame);
}

// A display scans its visible surface out at every refresh, so what a program writes into the locked
// primary shows as it is written: closing bars are seen closing. The stand-in cannot watch writes,
// only the program's waits, and stands in for the refresh there.
void screen_show_locked(uint32_t now_ms, bool refresh)
{
    if (!refresh && now_ms - locked_shown_at < SCREEN_REFRESH_MS)
        return;  // the screen has not refreshed since it last showed them
    for (Surface* s : primaries)
        if (s->locked) {
            locked_shown_at = now_ms;
            s->present_if_primary();
        }
}

// ---- locking ----

HRESULT Surface::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD, HANDLE)
{
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    if (const HRESULT hr = fault_check("IDirectDrawSurface7::Lock"); FAILED(hr))
        return hr;
    if (const HRESULT hr = ready(); FAILED(hr))
        return hr;
    if (rect && !rect_inside(*rect, width, height))
        return DDERR_INVALIDRECT;
    GetSurfaceDesc(desc);
    uint8_t* first = pixels;
    if (rect)
        first = row(rect->top) + rect->left * bytes_per_pixel();
    desc->dwFlags |= DDSD_LPSURFACE;
    desc->lpSurface = first;
    locked = true;
    if (caps & DDSCAPS_PRIMARYSURFACE)
        locked_shown_at = clock_now();
    return DD_OK;
}

HRESULT Surface::Unlock(LPRECT)
{
    if (const HRESULT hr = fault_check("IDirectDrawSurface7::Unlock"); FAILED(hr))
        return hr;
    if (!usable())
        return DDERR_INVALIDOBJECT;
    if (!locked)
        return DDERR_NOTLOCKED;
    locked = false;
    mark_written();
    present_if_primary();
    return DD_OK;
}

HRESULT Surface::GetSurfaceDesc(LPDDSURFACEDESC2 desc)
{
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    std::memset(desc, 0, sizeof *desc);
    desc->dwSize = sizeof *desc;
    desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
    desc->dwWidth = static_cast<DWORD>(width);
    desc->dwHeight = static_cast<DWORD>(height);
    desc->lPitch = pitch;
    desc->ddsCaps.dwCaps = caps;
    if (has_source_key) {
        desc->dwFlags |= DDSD_CKSRCBLT;
        desc->ddckCKSrcBlt = source_key;
    }
    describe_format(format, &desc->ddpfPixelFormat);
    return DD_OK;
}

HRESULT Surface::GetPixelFormat(LPDDPIXELFORMAT pf)
{
    if (!pf || pf->dwSize != sizeof(DDPIXELFORMAT))
        return DDERR_INVALIDPARAMS;
    if (const HRESULT hr = fault_check("IDirectDrawSurface7::GetPixelFormat"); FAILED(hr))
        return hr;
    describe_format(format, pf);
    return DD_OK;
}

// ---- device contexts ----

HRESULT Surface::GetDC(HDC* out)
{
    if (!out)
        return DDERR_INVALIDPARAMS;
    if (const HRESULT hr = fault_check("IDirectDrawSurface7::GetDC"); FAILED(hr)) {
        *out = nullptr;
        return hr;
    }
    // A second GetDC leaves the caller's handle as it was; the other failures null it.
    if (dc)
        return DDERR_DCALREADYCREATED;
    *out = nullptr;
    if (!usable())
        return DDERR_INVALIDOBJECT;
    if (lost)
        return DDERR_SURFACELOST;
    // A locked surface lends no device context; the system answers with an invalid-parameter error.
    if (locked)
        return DDERR_INVALIDPARAMS;
    dc.reset(new (std::nothrow) DeviceContext{});
    if (!dc)
        return DDERR_OUTOFMEMORY;
    dc->surface = this;
    dc->text_color = RGB(0, 0, 0);
    dc->background_color = RGB(255, 255, 255);
    dc->background_mode = OPAQUE;
    device_contexts.push_back(dc.get());
    *out = &dc->handle;
    return DD_OK;
}

HRESULT Surface::ReleaseDC(HDC handle)
{
    if (!dc)
        return DDERR_NODC;
    if (handle != &dc->handle)
        return DDERR_INVALIDPARAMS;
    std::erase(device_contexts, dc.get());
    dc.reset();
    mark_written();
    present_if_primary();
    return DD_OK;
}

// ---- the flip chain ----

HRESULT Surface::GetAttachedSurface(LPDDSCAPS2 wanted, LPDIRECTDRAWSURFACE7* attached)
{
    if (!wanted || !attached)
        return DDERR_INVALIDPARAMS;
    *attached = nullptr;
    if (const HRESULT hr = fault_check("IDirectDrawSurface7::GetAttachedSurface"); FAILED(hr))
        return hr;
    if (!usable())
        return DDERR_INVALIDOBJECT;
    if (!back_buffer || (wanted->dwCaps & back_buffer->caps) != wanted->dwCaps)
        return DDERR_NOTFOUND;
    back_buffer->AddRef();
    *attached = back_buffer;
    return DD_OK;
}

HRESULT Surface::Flip(LPDIRECTDRAWSURFACE7 target_override, DWORD flags)
{
    if (const HRESULT hr = fault_check("IDirectDrawSurface7::Flip"); FAILED(hr))
        return hr;
    if (!usable())
        return DDERR_INVALIDOBJECT;
    if (!back_buffer)
        return DDERR_NOTFLIPPABLE;
    if (target_override && target_override != back_buffer)
        return DDERR_INVALIDPARAMS;
    if (lost || back_buffer->lost)
        return DDERR_SURFACELOST;
    if (busy() || back_buffer->busy())
        return DDERR_SURFACEBUSY;
    std::swap(pixels, back_buffer->pixels);
    std::swap(storage, back_buffer->storage);
    mark_written();
    back_buffer->mark_written();
    if (!(flags & DDFLIP_NOVSYNC)) {
        host().wait_refresh();
        clock_refresh_tick();
    }
    present_if_primary();
    return DD_OK;
}

HRESULT Surface::IsLost() { return lost ? DDERR_SURFACELOST : DD_OK; }

HRESULT Surface::Restore()
{
    if (const HRESULT hr = fault_check("IDirectDrawSurface7::Restore"); FAILED(hr))
        return hr;
    if (!usable())
        return DDERR_INVALIDOBJECT;
    lost = false;
    if (back_buffer)
        back_buffer->lost = false;
    return DD_OK;
}

// ---- attachments ----

HRESULT Surface::SetColorKey(DWORD flags, LPDDCOLORKEY key)
{
    if (const HRESULT hr = fault_check("IDirectDrawSurface7::SetColorKey"); FAILED(hr))
        return hr;
    if (!usable())
        return DDERR_INVALIDOBJECT;
    if (!(flags & DDCKEY_SRCBLT))
        return DDERR_UNSUPPORTED;  // destination keys are never asked for
    has_source_key = key != nullptr;
    if (key) {
        source_key = *key;
        if (!(flags & DDCKEY_COLORSPACE))
            source_key.dwColorSpaceHighValue = source_key.dwColorSpaceLowValue;
    }
    mark_written();
    return DD_OK;
}

HRESULT Surface::SetPalette(LPDIRECTDRAWPALETTE new_palette)
{
    if (const HRESULT hr = fault_check("IDirectDrawSurface7::SetPalette"); FAILED(hr))
        return hr;
    if (!usable())
        return DDERR_INVALIDOBJECT;
    if (format.bpp != 8)
        return DDERR_NOTPALETTIZED;
    auto* p = static_cast<Palette*>(new_palette);
    if (p)
        p->AddRef();
    release_and_clear(palette);
    palette = p;
    present_if_primary();
    return DD_OK;
}

HRESULT Surface::SetClipper(LPDIRECTDRAWCLIPPER new_clipper)
{
    if (const HRESULT hr = fault_check("IDirectDrawSurface7::SetClipper"); FAILED(hr))
        return hr;
    if (!usable())
        return DDERR_INVALIDOBJECT;
    auto* c = static_cast<Clipper*>(new_clipper);
    if (c)
        c->AddRef();
    release_and_clear(clipper);
    clipper = c;
    return DD_OK;
}

// ---- palettes ----

Palette::Palette(DWORD caps_, const PALETTEENTRY* initial) : caps(caps_)
{
    std::memcpy(entries, initial, sizeof entries);
    if (!(caps & DDPCAPS_ALLOW256)) {
        // Without ALLOW256 the first and last entries stay the system's black and white.
        entries[0] = {0, 0, 0, 0};
        entries[255] = {255, 255, 255, 0};
    }
}

HRESULT Palette::GetEntries(DWORD, DWORD base, DWORD count, LPPALETTEENTRY out)
{
    if (!out || base > 256 || count > 256 - base)
        return DDERR_INVALIDPARAMS;
    std::memcpy(out, entries + base, count * sizeof(PALETTEENTRY));
    return DD_OK;
}

HRESULT Palette::SetEntries(DWORD, DWORD start, DWORD count, LPPALETTEENTRY in)
{
    if (const HRESULT hr = fault_check("IDirectDrawPalette::SetEntries"); FAILED(hr))
        return hr;
    if (!in || start > 256 || count > 256 - start)
        return DDERR_INVALIDPARAMS;
    for (DWORD i = 0; i < count; ++i) {
        const DWORD index = start + i;
        if (!(caps & DDPCAPS_ALLOW256) && (index == 0 || index == 255))
            continue;
        entries[index] = in[i];
    }
    // A palette change shows on the screen at once, without a flip.
    for (Surface* s : primaries)
        if (s->palette == this)
            s->present_if_primary();
    return DD_OK;
}
