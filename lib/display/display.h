// display.h -- the display and drawing layer's chief header: the display globals and records, and
// every operation in the order a caller uses them. Results: 1 success, 0 failure, unless stated.
#pragma once
#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <cstdio>

// ---- display globals (display.cpp) ----
extern LPDIRECTDRAW7 dd;                     // the DirectDraw object
extern LPDIRECTDRAWSURFACE7 primary_surface;  // the primary; full screen: head of the flip chain
extern LPDIRECTDRAWSURFACE7 back_surface;     // the back buffer (windowed: an off-screen surface)
extern LPDIRECTDRAWPALETTE display_palette;   // the 256 colours set on the primary (8-bit modes)
extern LPDIRECTDRAWCLIPPER back_clipper;      // the back buffer's whole-screen clipper
extern LPDIRECTDRAWCLIPPER window_clipper;    // windowed only: the primary's clipper on the window
extern uint8_t* primary_buffer;               // first byte of the locked primary, null while unlocked
extern int primary_pitch;                     // bytes per line of the locked primary, 0 while unlocked
extern uint8_t* back_buffer;                  // first byte of the locked back buffer, null while unlocked
extern int back_pitch;                        // bytes per line of the locked back buffer, 0 while unlocked
extern int screen_width, screen_height;       // display size in pixels (640 × 480 until init)
extern int screen_bpp;                        // bits per pixel asked for at init: 8 or 16
extern int pixel_format;                      // primary's RGB bit count: 8, 15 (5.5.5) or 16 (5.6.5)
extern int windowed;                          // 0 full-screen exclusive, else windowed
extern int clip_min_x, clip_min_y;            // software clip rectangle, inclusive on all sides
extern int clip_max_x, clip_max_y;
extern PALETTEENTRY shadow_palette[256];      // the colours last given to display_palette
extern DDSURFACEDESC2 surface_desc;           // shared by display_init and every lock (not reentrant)
extern uint16_t (*rgb16)(int red, int green, int blue);  // the packer matching pixel_format

// ---- display surfaces (display.cpp) ----
int display_init(int width, int height, int bpp, int windowed_mode);  // sets every display global
int display_shutdown();                                                // releases in reverse; always 1
// A plain off-screen surface with a source colour key of the low 16 bits of color_key, or null.
LPDIRECTDRAWSURFACE7 surface_create(int width, int height, DWORD memory_caps, int color_key);
// A new clipper with these rectangles set on surface, or null (nothing is left behind then).
LPDIRECTDRAWCLIPPER clipper_attach(LPDIRECTDRAWSURFACE7 surface, int rect_count, LPRECT rects);
int display_flip();         // 0 while either buffer is locked, or when the flip cannot be made
int display_wait_vblank();  // waits for the start of the next vertical blank; always 1
int surface_fill(LPDIRECTDRAWSURFACE7 surface, int color, LPRECT rect);  // rect null: whole; always 1
int rect_fill(int left, int top, int right, int bottom, int color, LPDIRECTDRAWSURFACE7 surface);
uint8_t* surface_lock(LPDIRECTDRAWSURFACE7 surface, int* pitch_out);  // null if no surface or lock fails
int surface_unlock(LPDIRECTDRAWSURFACE7 surface);                     // 0 if the surface is null
uint8_t* primary_lock();  // primary_buffer; a second lock returns the same pointer
int primary_unlock();     // 0 if the primary was not locked
uint8_t* back_lock();     // back_buffer; a second lock returns the same pointer
int back_unlock();        // 0 if the back buffer was not locked
uint16_t rgb16_565(int red, int green, int blue);
uint16_t rgb16_555(int red, int green, int blue);
int plot_pixel8(int x, int y, int color, uint8_t* buffer, int pitch);     // unclipped; always 1
int plot_pixel16(int x, int y, int color, uint16_t* buffer, int pitch);  // pitch in bytes; always 1

// ---- palette file (palette_file.cpp) ----
// 256 entries of "red green blue flags" in decimal; a short or malformed file loads what it holds.
int palette_file_load(const char* filename, PALETTEENTRY palette[256]);  // 0: cannot open, untouched
int palette_file_save(const char* filename, const PALETTEENTRY palette[256]);

// ---- diagnostic log (log.cpp) ----
int log_open(const char* filename, FILE* stream);  // stream null: create filename; stamps the log
int log_close();                                   // 0 if no log is open
int log_write(const char* format, ...)             // 0 if format is null or no log is open
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// ---- lines and clipping (lines.cpp) ----
// Lines are clipped to the inclusive clip rectangle clip_min_x .. clip_max_y, which callers keep
// inside the locked buffer; any int coordinates are safe. A null buffer draws nothing.
// Cuts the line to the clip rectangle: 1 and the clipped end points when some part lies inside,
// 0 (coordinates untouched) when none does.
int clip_line(int* x0, int* y0, int* x1, int* y1);
int draw_line8(int x0, int y0, int x1, int y1, int color, uint8_t* buffer, int pitch);    // clipped; 1
int draw_line16(int x0, int y0, int x1, int y1, int color, uint16_t* buffer, int pitch);  // pitch in bytes; 1
// Unclipped: both end points must lie inside the buffer. Both ends are drawn; always 1.
int line8(int x0, int y0, int x1, int y1, int color, uint8_t* buffer, int pitch);
int line16(int x0, int y0, int x1, int y1, int color, uint16_t* buffer, int pitch);  // pitch in bytes
