// ddraw_object.cpp -- the DirectDraw object: cooperative level, display mode, and the factory for
// surfaces, palettes and clippers. One display: the exclusive owner's mode is what the host shows.
#include <algorithm>
#include <cstring>
#include <new>

#include "ddraw_internal.h"
#include "host.h"
#include "internal.h"

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDirectDraw7 = {0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

// The desktop the stand-in pretends to run on when no exclusive mode is set.
static constexpr int DESKTOP_WIDTH = 1024;
static constexpr int DESKTOP_HEIGHT = 768;

struct DisplayMode {
    int width, height;
};
static constexpr DisplayMode SUPPORTED_MODES[] = {
    {320, 200}, {320, 240}, {640, 400}, {640, 480}, {800, 600}, {1024, 768}, {1280, 1024},
};

static DirectDraw* exclusive_owner = nullptr;

// ---- helpers ----

static PixelFormat format_for_bpp(int bpp)
{
    if (bpp == 16)
        return {16, machine.modes_16bit_are_555 ? 15 : 16};
    return {8, 8};
}

PixelFormat desktop_format() { return format_for_bpp(machine.desktop_bpp); }

static bool mode_supported(DWORD width, DWORD height, DWORD bpp)
{
    if (bpp != 8 && bpp != 16)
        return false;
    return std::any_of(std::begin(SUPPORTED_MODES), std::end(SUPPORTED_MODES), [&](const DisplayMode& m) {
        return static_cast<DWORD>(m.width) == width && static_cast<DWORD>(m.height) == height;
    });
}

// A pixel format a caller may ask for in DDSD_PIXELFORMAT: 8-bit indexed, 16-bit 5.6.5 or 5.5.5.
static bool format_from_desc(const DDPIXELFORMAT& pf, PixelFormat* out)
{
    if ((pf.dwFlags & DDPF_PALETTEINDEXED8) && pf.dwRGBBitCount == 8) {
        *out = {8, 8};
        return true;
    }
    if ((pf.dwFlags & DDPF_RGB) && (pf.dwRGBBitCount == 16 || pf.dwRGBBitCount == 15)) {
        if (pf.dwRBitMask == 0xF800 && pf.dwGBitMask == 0x07E0 && pf.dwBBitMask == 0x001F) {
            *out = {16, 16};
            return true;
        }
        if (pf.dwRBitMask == 0x7C00 && pf.dwGBitMask == 0x03E0 && pf.dwBBitMask == 0x001F) {
            *out = {16, 15};
            return true;
        }
    }
    return false;
}

static void refresh_wait()
{
    host().wait_refresh();
    clock_refresh_tick();
    screen_show_locked(clock_now(), true);
}

// ---- creation ----

HRESULT WINAPI DirectDrawCreateEx(GUID* guid, LPVOID* direct_draw, REFIID iid, IUnknown* outer)
{
    if (!direct_draw)
        return DDERR_INVALIDPARAMS;
    *direct_draw = nullptr;
    if (const HRESULT hr = fault_check("DirectDrawCreateEx"); FAILED(hr))
        return hr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (iid != IID_IDirectDraw7)
        return DDERR_INVALIDPARAMS;
    (void)guid;  // one display device: the default and any named one are the same
    auto* dd = new (std::nothrow) DirectDraw;
    if (!dd)
        return DDERR_OUTOFMEMORY;
    *direct_draw = static_cast<IDirectDraw7*>(dd);
    return DD_OK;
}

DirectDraw::~DirectDraw()
{
    if (mode_set)
        RestoreDisplayMode();
    if (exclusive_owner == this)
        exclusive_owner = nullptr;
    // Surfaces outlive their DirectDraw object only as dead handles: every call on them fails.
    for (Surface* s : surfaces)
        s->owner = nullptr;
}

void DirectDraw::forget(Surface* surface)
{
    std::erase(surfaces, surface);
    if (primary == surface)
        primary = nullptr;
}

PixelFormat DirectDraw::display_format() const { return mode_set ? format_for_bpp(mode_bpp) : desktop_format(); }

HRESULT DirectDraw::SetCooperativeLevel(HWND window, DWORD flags)
{
    if (const HRESULT hr = fault_check("IDirectDraw7::SetCooperativeLevel"); FAILED(hr))
        return hr;
    const bool fullscreen = flags & DDSCL_FULLSCREEN;
    const bool exclusive = flags & DDSCL_EXCLUSIVE;
    const bool normal = flags & DDSCL_NORMAL;
    if (fullscreen != exclusive || fullscreen == normal)
        return DDERR_INVALIDPARAMS;
    if (exclusive) {
        if (!IsWindow(window))
            return DDERR_INVALIDPARAMS;
        if (exclusive_owner && exclusive_owner != this)
            return DDERR_EXCLUSIVEMODEALREADYSET;
        exclusive_owner = this;
    } else {
        if (mode_set)
            RestoreDisplayMode();
        if (exclusive_owner == this)
            exclusive_owner = nullptr;
    }
    cooperative_flags = flags;
    cooperative_window = window;
    return DD_OK;
}

HRESULT DirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD, DWORD)
{
    if (const HRESULT hr = fault_check("IDirectDraw7::SetDisplayMode"); FAILED(hr))
        return hr;
    if (!(cooperative_flags & DDSCL_EXCLUSIVE))
        return DDERR_NOEXCLUSIVEMODE;
    if (!mode_supported(width, height, bpp))
        return DDERR_INVALIDMODE;
    // A mode change takes the display memory away from every surface made before it.
    for (Surface* s : surfaces)
        s->lost = true;
    mode_set = true;
    mode_width = static_cast<int>(width);
    mode_height = static_cast<int>(height);
    mode_bpp = static_cast<int>(bpp);
    host().set_display_mode(mode_width, mode_height, mode_bpp);
    return DD_OK;
}

HRESULT DirectDraw::RestoreDisplayMode()
{
    if (mode_set) {
        mode_set = false;
        host().restore_display_mode();
    }
    return DD_OK;
}

HRESULT DirectDraw::WaitForVerticalBlank(DWORD flags, HANDLE)
{
    if (const HRESULT hr = fault_check("IDirectDraw7::WaitForVerticalBlank"); FAILED(hr))
        return hr;
    if (!(flags & DDWAITVB_BLOCKBEGIN))
        return DDERR_UNSUPPORTED;
    refresh_wait();
    return DD_OK;
}

HRESULT DirectDraw::RestoreAllSurfaces()
{
    if (const HRESULT hr = fault_check("IDirectDraw7::RestoreAllSurfaces"); FAILED(hr))
        return hr;
    for (Surface* s : surfaces)
        s->lost = false;
    return DD_OK;
}

// ---- surfaces ----

static HRESULT new_surface(DirectDraw* dd, int width, int height, PixelFormat format, DWORD caps, Surface** out)
{
    *out = new (std::nothrow) Surface(dd, width, height, format, caps);
    if (!*out)
        return DDERR_OUTOFMEMORY;
    if (!(*out)->storage) {
        delete *out;
        *out = nullptr;
        return DDERR_OUTOFMEMORY;
    }
    dd->surfaces.push_back(*out);
    return DD_OK;
}

static HRESULT create_primary(DirectDraw* dd, const DDSURFACEDESC2& desc, Surface** out)
{
    const DWORD caps = desc.ddsCaps.dwCaps;
    if (dd->primary)
        return DDERR_PRIMARYSURFACEALREADYEXISTS;
    if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT))
        return DDERR_INVALIDPARAMS;
    const bool flip = caps & DDSCAPS_FLIP;
    if (flip) {
        if (!(caps & DDSCAPS_COMPLEX) || !(desc.dwFlags & DDSD_BACKBUFFERCOUNT) || desc.dwBackBufferCount == 0)
            return DDERR_INVALIDCAPS;
        if (!(dd->cooperative_flags & DDSCL_EXCLUSIVE))
            return DDERR_NOEXCLUSIVEMODE;
        if (desc.dwBackBufferCount != 1)
            return DDERR_UNSUPPORTED;  // the library only ever asks for one back buffer
    }
    const int width = dd->mode_set ? dd->mode_width : DESKTOP_WIDTH;
    const int height = dd->mode_set ? dd->mode_height : DESKTOP_HEIGHT;
    const PixelFormat format = dd->display_format();
    Surface* front = nullptr;
    if (const HRESULT hr = new_surface(dd, width, height, format, caps | DDSCAPS_FRONTBUFFER, &front); FAILED(hr))
        return hr;
    if (flip) {
        Surface* back = nullptr;
        const DWORD back_caps = (caps & ~(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER)) | DDSCAPS_BACKBUFFER;
        if (const HRESULT hr = new_surface(dd, width, height, format, back_caps, &back); FAILED(hr)) {
            front->Release();
            return hr;
        }
        front->attach_back_buffer(back);
    }
    dd->primary = front;
    *out = front;
    return DD_OK;
}

static HRESULT create_offscreen(DirectDraw* dd, const DDSURFACEDESC2& desc, Surface** out)
{
    if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT))
        return DDERR_INVALIDPARAMS;
    if (desc.dwWidth == 0 || desc.dwHeight == 0 || desc.dwWidth > static_cast<DWORD>(SURFACE_MAX_SIDE) ||
        desc.dwHeight > static_cast<DWORD>(SURFACE_MAX_SIDE))
        return DDERR_INVALIDPARAMS;
    PixelFormat format = dd->display_format();
    if ((desc.dwFlags & DDSD_PIXELFORMAT) && !format_from_desc(desc.ddpfPixelFormat, &format))
        return DDERR_INVALIDPIXELFORMAT;
    const DWORD caps = (desc.dwFlags & DDSD_CAPS) ? desc.ddsCaps.dwCaps : DDSCAPS_OFFSCREENPLAIN;
    return new_surface(dd, static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight), format, caps, out);
}

HRESULT DirectDraw::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface, IUnknown* outer)
{
    if (!surface || !desc || desc->dwSize != sizeof(DDSURFACEDESC2))
        return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (const HRESULT hr = fault_check("IDirectDraw7::CreateSurface"); FAILED(hr))
        return hr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (!cooperative_flags)
        return DDERR_NOCOOPERATIVELEVELSET;
    Surface* made = nullptr;
    const bool primary_asked = (desc->dwFlags & DDSD_CAPS) && (desc->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE);
    const HRESULT hr = primary_asked ? create_primary(this, *desc, &made) : create_offscreen(this, *desc, &made);
    if (SUCCEEDED(hr))
        *surface = made;
    return hr;
}

// ---- palettes and clippers ----

HRESULT DirectDraw::CreatePalette(DWORD flags, LPPALETTEENTRY entries, LPDIRECTDRAWPALETTE* palette, IUnknown* outer)
{
    if (!palette)
        return DDERR_INVALIDPARAMS;
    *palette = nullptr;
    if (const HRESULT hr = fault_check("IDirectDraw7::CreatePalette"); FAILED(hr))
        return hr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    if (!(flags & DDPCAPS_8BIT) || !entries)
        return DDERR_INVALIDPARAMS;
    auto* made = new (std::nothrow) Palette(flags, entries);
    if (!made)
        return DDERR_OUTOFMEMORY;
    *palette = made;
    return DD_OK;
}

HRESULT DirectDraw::CreateClipper(DWORD, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer)
{
    if (!clipper)
        return DDERR_INVALIDPARAMS;
    *clipper = nullptr;
    if (const HRESULT hr = fault_check("IDirectDraw7::CreateClipper"); FAILED(hr))
        return hr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    auto* made = new (std::nothrow) Clipper;
    if (!made)
        return DDERR_OUTOFMEMORY;
    *clipper = made;
    return DD_OK;
}

// ---- the process's end ----

void ddraw_process_end() { exclusive_owner = nullptr; }
