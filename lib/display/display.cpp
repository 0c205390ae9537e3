// display.cpp -- the display: DirectDraw start-up and shut-down, flips, fills, locks, the 16-bit
// colour packers and the shared display globals every drawing routine reads.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "asset_contract.h"
#include "display.h"
#include "display_failure.h"
#include "services.h"

// ---- constants ----
static constexpr DWORD FULLSCREEN_LEVEL =
    DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX | DDSCL_MULTITHREADED;
// A flip that fails this many times in a row is given up: a display taken away for good must not
// hang the frame loop.
static constexpr int FLIP_ATTEMPTS = 100;
// More rectangles than any screen layout needs; keeps the region allocation bounded.
static constexpr int CLIPPER_MAX_RECTS = 1024;

// ---- globals ----
LPDIRECTDRAW7 dd = nullptr;
LPDIRECTDRAWSURFACE7 primary_surface = nullptr;
LPDIRECTDRAWSURFACE7 back_surface = nullptr;
LPDIRECTDRAWPALETTE display_palette = nullptr;
LPDIRECTDRAWCLIPPER back_clipper = nullptr;
LPDIRECTDRAWCLIPPER window_clipper = nullptr;
uint8_t* primary_buffer = nullptr;
int primary_pitch = 0;
uint8_t* back_buffer = nullptr;
int back_pitch = 0;
int screen_width = 640;
int screen_height = 480;
int screen_bpp = 8;
int pixel_format = 16;
int windowed = 0;
int clip_min_x = 0;
int clip_min_y = 0;
int clip_max_x = 639;
int clip_max_y = 479;
PALETTEENTRY shadow_palette[256];
DDSURFACEDESC2 surface_desc;
uint16_t (*rgb16)(int red, int green, int blue) = nullptr;

static char reason[160] = "";  // display_reason()'s text

// ---- helpers ----

template <class T>
static void release(T*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}

static void clear_surface_desc()
{
    std::memset(&surface_desc, 0, sizeof surface_desc);
    surface_desc.dwSize = sizeof surface_desc;
}

// Reads the primary's pixel format and picks the 16-bit packer that matches it.
static void read_pixel_format()
{
    DDPIXELFORMAT pf;
    std::memset(&pf, 0, sizeof pf);
    pf.dwSize = sizeof pf;
    primary_surface->GetPixelFormat(&pf);
    pixel_format = static_cast<int>(pf.dwRGBBitCount);
    log_write("\npixel format = %d", pixel_format);
    if (pixel_format == 15) {
        rgb16 = rgb16_555;
        log_write("\npixel format = 5.5.5");
    } else {
        rgb16 = rgb16_565;
        log_write("\npixel format = 5.6.5");
    }
}

// The first 8-bit palette, from the palette file when there is one (all black otherwise).
static int create_display_palette()
{
    std::memset(shadow_palette, 0, sizeof shadow_palette);
    palette_file_load(PALETTE_FILE_NAME, shadow_palette);
    DWORD caps = DDPCAPS_8BIT | DDPCAPS_ALLOW256;
    if (windowed) {
        // The desktop keeps its twenty static colours in a window.
        for (int i = 0; i < 10; ++i) {
            shadow_palette[i].peFlags = PC_EXPLICIT;
            shadow_palette[255 - i].peFlags = PC_EXPLICIT;
        }
        caps = DDPCAPS_8BIT;
    }
    if (FAILED(dd->CreatePalette(caps, shadow_palette, &display_palette, nullptr)))
        return 0;
    return SUCCEEDED(primary_surface->SetPalette(display_palette)) ? 1 : 0;
}

static int create_window_clipper()
{
    if (FAILED(dd->CreateClipper(0, &window_clipper, nullptr)))
        return 0;
    if (FAILED(window_clipper->SetHWnd(0, main_window)))
        return 0;
    return SUCCEEDED(primary_surface->SetClipper(window_clipper)) ? 1 : 0;
}

// ---- display surfaces ----

int display_init(int width, int height, int bpp, int windowed_mode)
{
    HRESULT hr = DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr);
    if (FAILED(hr))
        return display_fail("DirectDraw cannot start (error 0x%08lX)", display_error(hr));
    if (FAILED(hr = dd->SetCooperativeLevel(main_window, windowed_mode ? DDSCL_NORMAL : FULLSCREEN_LEVEL)))
        return main_window ? display_fail("the window cannot take the display (error 0x%08lX)", display_error(hr))
                           : display_fail("there is no window: main_window is null");
    if (!windowed_mode && FAILED(hr = dd->SetDisplayMode(width, height, bpp, 0, 0)))
        return display_fail("the display mode %d x %d with %d bits a pixel is refused (error 0x%08lX)", width, height,
                            bpp, display_error(hr));
    screen_width = width;
    screen_height = height;
    screen_bpp = bpp;
    windowed = windowed_mode;

    clear_surface_desc();
    if (windowed) {
        surface_desc.dwFlags = DDSD_CAPS;
        surface_desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    } else {
        surface_desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        surface_desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        surface_desc.dwBackBufferCount = 1;
    }
    if (FAILED(hr = dd->CreateSurface(&surface_desc, &primary_surface, nullptr)))
        return display_fail("the primary surface cannot be made (error 0x%08lX)", display_error(hr));
    read_pixel_format();

    if (windowed) {
        back_surface = surface_create(width, height, 0, 0);
    } else {
        DDSCAPS2 caps{};
        caps.dwCaps = DDSCAPS_BACKBUFFER;
        if (FAILED(hr = primary_surface->GetAttachedSurface(&caps, &back_surface)))
            return display_fail("the back buffer cannot be found (error 0x%08lX)", display_error(hr));
    }
    if (screen_bpp == 8 && !create_display_palette())
        return display_fail("the 8-bit palette cannot be made or set on the primary surface");

    if (windowed) {
        surface_fill(back_surface, 0, nullptr);
    } else {
        surface_fill(primary_surface, 0, nullptr);
        surface_fill(back_surface, 0, nullptr);
    }
    clip_min_x = 0;
    clip_min_y = 0;
    clip_max_x = screen_width - 1;
    clip_max_y = screen_height - 1;
    RECT whole = {0, 0, screen_width, screen_height};
    back_clipper = clipper_attach(back_surface, 1, &whole);
    if (windowed && !create_window_clipper())
        return display_fail("the window's clipper cannot be made or set on the primary surface");
    return display_succeed();
}

int display_shutdown()
{
    // Released objects are also forgotten, so a second shut-down or a late draw finds nothing to use.
    release(back_clipper);
    release(window_clipper);
    release(display_palette);
    release(back_surface);
    release(primary_surface);
    release(dd);
    primary_buffer = back_buffer = nullptr;
    primary_pitch = back_pitch = 0;
    return 1;
}

LPDIRECTDRAWSURFACE7 surface_create(int width, int height, DWORD memory_caps, int color_key)
{
    if (!dd)
        return nullptr;
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | memory_caps;
    LPDIRECTDRAWSURFACE7 surface = nullptr;
    if (FAILED(dd->CreateSurface(&desc, &surface, nullptr)))
        return nullptr;
    DDCOLORKEY key;
    key.dwColorSpaceLowValue = static_cast<DWORD>(color_key) & 0xFFFF;
    key.dwColorSpaceHighValue = key.dwColorSpaceLowValue;
    surface->SetColorKey(DDCKEY_SRCBLT, &key);
    return surface;
}

LPDIRECTDRAWCLIPPER clipper_attach(LPDIRECTDRAWSURFACE7 surface, int rect_count, LPRECT rects)
{
    if (!dd || !surface || rect_count < 0 || rect_count > CLIPPER_MAX_RECTS || (rect_count > 0 && !rects))
        return nullptr;
    LPDIRECTDRAWCLIPPER clipper = nullptr;
    if (FAILED(dd->CreateClipper(0, &clipper, nullptr)))
        return nullptr;

    const size_t rect_bytes = sizeof(RECT) * static_cast<size_t>(rect_count);
    std::vector<uint8_t> storage(sizeof(RGNDATAHEADER) + rect_bytes);
    auto* region = reinterpret_cast<LPRGNDATA>(storage.data());
    if (rect_bytes)
        std::memcpy(region->Buffer, rects, rect_bytes);
    RGNDATAHEADER& h = region->rdh;
    h.dwSize = sizeof(RGNDATAHEADER);
    h.iType = RDH_RECTANGLES;
    h.nCount = static_cast<DWORD>(rect_count);
    h.nRgnSize = static_cast<DWORD>(rect_bytes);
    h.rcBound = {64000, 64000, -64000, -64000};
    for (int i = 0; i < rect_count; ++i) {
        h.rcBound.left = rects[i].left < h.rcBound.left ? rects[i].left : h.rcBound.left;
        h.rcBound.top = rects[i].top < h.rcBound.top ? rects[i].top : h.rcBound.top;
        h.rcBound.right = rects[i].right > h.rcBound.right ? rects[i].right : h.rcBound.right;
        h.rcBound.bottom = rects[i].bottom > h.rcBound.bottom ? rects[i].bottom : h.rcBound.bottom;
    }
    if (FAILED(clipper->SetClipList(region, 0)) || FAILED(surface->SetClipper(clipper))) {
        clipper->Release();  // nothing half-made is left behind
        return nullptr;
    }
    return clipper;
}

int display_flip()
{
    if (primary_buffer || back_buffer || !primary_surface)
        return 0;
    if (windowed) {
        RECT where;
        if (!GetWindowRect(main_window, &where))
            return 0;
        where.right = where.left + screen_width;
        where.bottom = where.top + screen_height;
        return SUCCEEDED(primary_surface->Blt(&where, back_surface, nullptr, DDBLT_WAIT, nullptr)) ? 1 : 0;
    }
    for (int attempt = 0; attempt < FLIP_ATTEMPTS; ++attempt) {
        const HRESULT hr = primary_surface->Flip(nullptr, DDFLIP_WAIT);
        if (SUCCEEDED(hr))
            return 1;
        // Lost surfaces come back with Restore once the display is ours again; if it is not, stop.
        if (hr == DDERR_SURFACELOST && FAILED(primary_surface->Restore()))
            return 0;
    }
    return 0;
}

int display_wait_vblank()
{
    if (dd)
        dd->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    return 1;
}

int surface_fill(LPDIRECTDRAWSURFACE7 surface, int color, LPRECT rect)
{
    if (!surface)
        return 1;
    DDBLTFX fx;
    std::memset(&fx, 0, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwFillColor = static_cast<DWORD>(color) & 0xFFFF;
    surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    return 1;
}

int rect_fill(int left, int top, int right, int bottom, int color, LPDIRECTDRAWSURFACE7 surface)
{
    if (!surface)
        return 1;
    DDBLTFX fx;
    std::memset(&fx, 0, sizeof fx);
    fx.dwSize = sizeof fx;
    fx.dwFillColor = static_cast<DWORD>(color);
    RECT rect = {left, top, right, bottom};
    surface->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    return 1;
}

// ---- failure reasons ----

void display_say(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vsnprintf(reason, sizeof reason, format, args);
    va_end(args);
}

int display_succeed()
{
    reason[0] = '\0';
    return 1;
}

const char* display_reason() { return reason; }

// ---- locks ----

uint8_t* surface_lock(LPDIRECTDRAWSURFACE7 surface, int* pitch_out)
{
    if (!surface)
        return nullptr;
    clear_surface_desc();
    // A failed lock leaves the cleared description: a null pointer and a pitch of 0.
    surface->Lock(nullptr, &surface_desc, DDLOCK_SURFACEMEMORYPTR | DDLOCK_WAIT, nullptr);
    if (pitch_out)
        *pitch_out = surface_desc.lPitch;
    return static_cast<uint8_t*>(surface_desc.lpSurface);
}

int surface_unlock(LPDIRECTDRAWSURFACE7 surface)
{
    if (!surface)
        return 0;
    // A surface left locked by one failed unlock would refuse every later lock and flip, and the
    // screen would stay frozen for good; the unlock is tried once more before giving up on it.
    const HRESULT hr = surface->Unlock(nullptr);
    if (FAILED(hr) && hr != DDERR_NOTLOCKED)
        surface->Unlock(nullptr);
    return 1;
}

uint8_t* primary_lock()
{
    if (!primary_buffer)
        primary_buffer = surface_lock(primary_surface, &primary_pitch);
    return primary_buffer;
}

int primary_unlock()
{
    if (!primary_buffer)
        return 0;
    surface_unlock(primary_surface);
    primary_buffer = nullptr;
    primary_pitch = 0;
    return 1;
}

uint8_t* back_lock()
{
    if (!back_buffer)
        back_buffer = surface_lock(back_surface, &back_pitch);
    return back_buffer;
}

int back_unlock()
{
    if (!back_buffer)
        return 0;
    surface_unlock(back_surface);
    back_buffer = nullptr;
    back_pitch = 0;
    return 1;
}

// ---- colours and pixels ----

uint16_t rgb16_565(int red, int green, int blue)
{
    return static_cast<uint16_t>((blue >> 3 & 0x1F) + ((green >> 2 & 0x3F) << 5) + ((red >> 3 & 0x1F) << 11));
}

uint16_t rgb16_555(int red, int green, int blue)
{
    return static_cast<uint16_t>((blue >> 3 & 0x1F) + ((green >> 3 & 0x1F) << 5) + ((red >> 3 & 0x1F) << 10));
}

int plot_pixel8(int x, int y, int color, uint8_t* buffer, int pitch)
{
    buffer[static_cast<ptrdiff_t>(y) * pitch + x] = static_cast<uint8_t>(color);
    return 1;
}

int plot_pixel16(int x, int y, int color, uint16_t* buffer, int pitch)
{
    buffer[static_cast<ptrdiff_t>(y) * (pitch >> 1) + x] = static_cast<uint16_t>(color);
    return 1;
}
