/// @file
/// display.h -- the display and drawing layer's chief header: the display globals and records, and
/// every operation in the order a caller uses them. Results: 1 success, 0 failure, unless stated.
///
/// Layers, each including and calling only those below it:
///   shell -> game -> [lib] -> services -> platform (the SDK) -> host -> system libraries
/// display/ is the base of lib/: sprites/ draws through it; input/ and audio/ stand beside it. It
/// reads the window handle and the FrameClock from services.h, never the shell's header.
#pragma once
#include <windows.h>
#include <ddraw.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

/// @name Display globals (display.cpp)
//@{
extern LPDIRECTDRAW7 dd;                     ///< the DirectDraw object
extern LPDIRECTDRAWSURFACE7 primary_surface;  ///< the primary; full screen: head of the flip chain
extern LPDIRECTDRAWSURFACE7 back_surface;     ///< the back buffer (windowed: an off-screen surface)
extern LPDIRECTDRAWPALETTE display_palette;   ///< the 256 colours set on the primary (8-bit modes)
extern LPDIRECTDRAWCLIPPER back_clipper;      ///< the back buffer's whole-screen clipper
extern LPDIRECTDRAWCLIPPER window_clipper;    ///< windowed only: the primary's clipper on the window
extern uint8_t* primary_buffer;               ///< first byte of the locked primary, null while unlocked
extern int primary_pitch;                     ///< bytes per line of the locked primary, 0 while unlocked
extern uint8_t* back_buffer;                  ///< first byte of the locked back buffer, null while unlocked
extern int back_pitch;                        ///< bytes per line of the locked back buffer, 0 while unlocked
extern int screen_width;                      ///< display width in pixels (640 until init)
extern int screen_height;                     ///< display height in pixels (480 until init)
extern int screen_bpp;                        ///< bits per pixel asked for at init: 8 or 16
extern int pixel_format;                      ///< primary's RGB bit count: 8, 15 (5.5.5) or 16 (5.6.5)
extern int windowed;                          ///< 0 full-screen exclusive, else windowed
extern int clip_min_x;                        ///< software clip rectangle, inclusive on all sides: left
extern int clip_min_y;                        ///< top
extern int clip_max_x;                        ///< right
extern int clip_max_y;                        ///< bottom
extern PALETTEENTRY shadow_palette[256];      ///< the colours last given to display_palette
extern DDSURFACEDESC2 surface_desc;           ///< shared by display_init and every lock (not reentrant)
extern uint16_t (*rgb16)(int red, int green, int blue);  ///< the packer matching pixel_format
//@}

/// @name Failure reasons (display.cpp)
//@{
/// Why the layer's last loader or init call failed, in a few plain words. The calls are
/// display_init, bitmap_load, bitmap_load_memory, image_create, image_load8, image_load16,
/// palette_file_load and palette_file_save; the words leave out the file's name, which the caller
/// knows: "4-bit bitmaps are not read (only 8, 16 and 24 bits)", "the file ends inside its pixels".
/// "" when that call succeeded; kept until the next of those calls. Not for several threads.
const char* display_reason();
//@}

/// @name Display surfaces (display.cpp)
//@{
int display_init(int width, int height, int bpp, int windowed_mode);  ///< sets every display global
int display_shutdown();                                                ///< releases in reverse; always 1
/// A plain off-screen surface with a source colour key of the low 16 bits of color_key, or null.
LPDIRECTDRAWSURFACE7 surface_create(int width, int height, DWORD memory_caps, int color_key);
/// A new clipper with these rectangles set on surface, or null (nothing is left behind then).
LPDIRECTDRAWCLIPPER clipper_attach(LPDIRECTDRAWSURFACE7 surface, int rect_count, LPRECT rects);
int display_flip();         ///< 0 while either buffer is locked, or when the flip cannot be made
int display_wait_vblank();  ///< waits for the start of the next vertical blank; always 1
int surface_fill(LPDIRECTDRAWSURFACE7 surface, int color, LPRECT rect);  ///< rect null: whole; always 1
/// A colour fill of left … right - 1, top … bottom - 1 on the surface; always 1.
int rect_fill(int left, int top, int right, int bottom, int color, LPDIRECTDRAWSURFACE7 surface);
uint8_t* surface_lock(LPDIRECTDRAWSURFACE7 surface, int* pitch_out);  ///< null if no surface or lock fails
int surface_unlock(LPDIRECTDRAWSURFACE7 surface);                     ///< 0 if the surface is null
uint8_t* primary_lock();  ///< primary_buffer; a second lock returns the same pointer
int primary_unlock();     ///< 0 if the primary was not locked
uint8_t* back_lock();     ///< back_buffer; a second lock returns the same pointer
int back_unlock();        ///< 0 if the back buffer was not locked
uint16_t rgb16_565(int red, int green, int blue);  ///< components 0 … 255 packed as 5.6.5
uint16_t rgb16_555(int red, int green, int blue);  ///< components 0 … 255 packed as 5.5.5
int plot_pixel8(int x, int y, int color, uint8_t* buffer, int pitch);     ///< unclipped; always 1
int plot_pixel16(int x, int y, int color, uint16_t* buffer, int pitch);  ///< pitch in bytes; always 1
//@}

// ---- bitmap files (bitmap.cpp) ----
/// A .BMP file loaded whole. Headers as read, except that biHeight is the positive row count and a
/// 24-bit file reads biBitCount 16; the palette of an 8-bit file in red, green, blue, PC_NOCOLLAPSE
/// order (untouched by other depths); the pixels top-down without row gaps, biWidth × biBitCount / 8
/// bytes a row, 16-bit pixels in the display's format.
struct BitmapFile {
    BITMAPFILEHEADER file_header;  ///< as read
    BITMAPINFOHEADER info_header;  ///< as read, but for the positive height and 16 bits for 24
    PALETTEENTRY palette[256];     ///< an 8-bit file's colours; black past those it holds
    uint8_t* pixels;  ///< heap buffer owned by the record; null when nothing is loaded
};
/// @name Bitmap files (bitmap.cpp)
//@{
constexpr int BITMAP_MAX_SIDE = 16384;  ///< wider or taller pictures are refused
/// 8-, 16- and 24-bit files, bottom-up or top-down, uncompressed or (16-bit only) with colour masks
/// (BI_RGB 16-bit pixels are 5.5.5); 0 on any failure, the record then untouched, and
/// display_reason() says why. A success frees the pixels the record held before.
int bitmap_load(BitmapFile* bitmap, const char* filename);
int bitmap_load_memory(BitmapFile* bitmap, const uint8_t* data, size_t size);  ///< the same from memory
int bitmap_flip_rows(uint8_t* buffer, int bytes_per_line, int height);  ///< 0: bad arguments or no memory
int bitmap_unload(BitmapFile* bitmap);  ///< frees the pixels and nulls them; 0 for a null record
//@}

// ---- bitmap images (image.cpp) ----
/// A picture in system memory at a screen position, copied straight into a locked surface.
/// Rectangles that do not lie wholly inside both buffers are refused (0) and nothing is written.
struct BitmapImage {
    int state;        ///< 1 after image_create
    int attr;         ///< BITMAP_ATTR_ bits
    int x;            ///< left edge on the destination
    int y;            ///< top edge on the destination
    int width;        ///< in pixels
    int height;       ///< in pixels
    int num_bytes;    ///< size of pixels: width × height × bpp / 8
    int bpp;          ///< 8 or 16
    uint8_t* pixels;  ///< rows top to bottom without gaps; owned by the record
};
/// @name Bitmap images (image.cpp)
//@{
constexpr int BITMAP_ATTR_LOADED = 0x80;  ///< set by the loads; the draws refuse an image without it
/// A zeroed picture; 0 for a bad size or depth or no memory (display_reason() says which). A buffer
/// the record held is freed.
int image_create(BitmapImage* image, int x, int y, int width, int height, int bpp);
/// Copies the image's size out of an 8-bit picture: mode 0 takes cell (cx, cy) of a sheet of cells
/// with one-pixel borders, any other mode the pixel corner (cx, cy). 0 if it lies outside, or the
/// depths differ; display_reason() says why.
int image_load8(BitmapImage* image, const BitmapFile* source, int cx, int cy, int mode);
int image_load16(BitmapImage* image, const BitmapFile* source, int cx, int cy, int mode);  ///< the same at 16 bits
/// Copies the image into a locked buffer of the display's size (screen_width × screen_height) at its
/// position; transparent non-zero leaves the destination under pixels of value 0. Pitch in bytes.
int image_draw8(const BitmapImage* image, uint8_t* dest, int pitch, int transparent);
int image_draw16(const BitmapImage* image, uint16_t* dest, int pitch, int transparent);  ///< the same at 16 bits
/// Copies width × height pixels from (source_x, source_y) of source to (dest_x, dest_y) of dest, of
/// one depth.
int image_copy_region(BitmapImage* dest, int dest_x, int dest_y, const BitmapImage* source, int source_x,
                      int source_y, int width, int height);
int image_scroll(BitmapImage* image, int dx, int dy);  ///< rotates rows by dx with wrap; 0 if both are 0
int image_destroy(BitmapImage* image);                 ///< 0 if the record or its buffer is null
//@}

// ---- palette (palette.cpp) ----
/// One palette entry switching between two colours on its own clock, run by palette_blink.
struct BlinkEntry {
    int index;               ///< palette entry that blinks
    PALETTEENTRY on_color;   ///< shown during the "on" phase
    PALETTEENTRY off_color;  ///< shown during the "off" phase
    int on_time;             ///< length of the "on" phase, in run commands
    int off_time;            ///< length of the "off" phase
    int counter;             ///< run commands since the phase began
    int state;               ///< 0 free, 1 on, -1 off
};
/// @name Palette (palette.cpp)
/// Every set goes to display_palette (when there is one) and to shadow_palette; reads come from the
/// shadow. Indices, ranges and slots outside 0 … 255 change nothing and give 0 (−1 for blink slots).
//@{
constexpr int PALETTE_BLINK_ADD = 0;     ///< returns the slot, or -1 when all 256 are taken
constexpr int PALETTE_BLINK_DELETE = 1;  ///< returns the slot, or -1 for a free one
constexpr int PALETTE_BLINK_CHANGE = 2;  ///< new colours and times; the slot, or -1 for a free one
constexpr int PALETTE_BLINK_RUN = 3;     ///< once per frame; always 1
int palette_set_all(const PALETTEENTRY palette[256]);           ///< all 256 entries
int palette_save(PALETTEENTRY palette[256]);                    ///< copies the shadow out
int palette_set_entry(int index, const PALETTEENTRY* color);    ///< one entry
int palette_get_entry(int index, PALETTEENTRY* color);          ///< one entry, from the shadow
int palette_rotate(int first, int last);  ///< each colour one entry up, the last to first; 0 without a palette
int palette_blink(int command, BlinkEntry* entry, int slot);  ///< changes display_palette only
//@}

/// @name Text output (text.cpp)
/// Text in the device context's default font with a transparent background, (x, y) its top-left
/// corner; 0 if the surface lends no device context (it is locked) or the text is null.
//@{
int text_draw(const char* text, int x, int y, COLORREF color, LPDIRECTDRAWSURFACE7 surface);  ///< in an RGB colour
/// The same in a palette entry's colour.
int text_draw_indexed(const char* text, int x, int y, int palette_index, LPDIRECTDRAWSURFACE7 surface);
//@}

/// @name Palette file (palette_file.cpp)
/// 256 entries of "red green blue flags" in decimal; a short or malformed file loads what it holds.
/// A failure leaves the palette untouched, and display_reason() says why.
//@{
int palette_file_load(const char* filename, PALETTEENTRY palette[256]);  ///< 0: cannot open, untouched
int palette_file_save(const char* filename, const PALETTEENTRY palette[256]);  ///< 0: not written whole
//@}

/// @name Diagnostic log (log.cpp)
//@{
int log_open(const char* filename, FILE* stream);  ///< stream null: create filename; stamps the log
int log_close();                                   ///< 0 if no log is open
/// printf-style; 0 if format is null or no log is open.
int log_write(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
//@}

/// @name Lines, clipping and spans (lines.cpp, lines_fast.cpp)
/// Lines are clipped to the inclusive clip rectangle clip_min_x .. clip_max_y, which callers keep
/// inside the locked buffer; any int coordinates are safe. A null buffer draws nothing.
//@{
/// Cuts the line to the clip rectangle: 1 and the clipped end points when some part lies inside,
/// 0 (coordinates untouched) when none does.
int clip_line(int* x0, int* y0, int* x1, int* y1);
int draw_line8(int x0, int y0, int x1, int y1, int color, uint8_t* buffer, int pitch);    ///< clipped; 1
int draw_line16(int x0, int y0, int x1, int y1, int color, uint16_t* buffer, int pitch);  ///< pitch in bytes; 1
/// Unclipped: both end points must lie inside the buffer. Both ends are drawn; always 1.
int line8(int x0, int y0, int x1, int y1, int color, uint8_t* buffer, int pitch);
int line16(int x0, int y0, int x1, int y1, int color, uint16_t* buffer, int pitch);  ///< the same; pitch in bytes
/// A clipped row of one colour, ends inclusive and taken in either order; nothing outside the clip
/// rectangle is written. Pitch in bytes at both depths; a null buffer draws nothing.
void hline8(int x1, int x2, int y, int color, uint8_t* buffer, int pitch);
void vline8(int y1, int y2, int x, int color, uint8_t* buffer, int pitch);     ///< the same as a column
void hline16(int x1, int x2, int y, int color, uint16_t* buffer, int pitch);  ///< the same at 16 bits
void vline16(int y1, int y2, int x, int color, uint16_t* buffer, int pitch);  ///< a column at 16 bits
void fill_words16(uint16_t* dest, int value, int count);  ///< low 16 bits of value, count times
//@}

/// @name Screen transitions (transitions.cpp)
/// Each runs to its end inside the call, 12 ms of the frame clock between steps (the dissolve has
/// no pause). The palette effects work on the palette in force and leave it changed; buffer and
/// pitch are not used by them. The pixel effects paint value 0 into the locked buffer given (the
/// primary's, for the steps to show), clipped to the clip rectangle; a null buffer paints nothing.
//@{
constexpr int TRANSITION_FADE_BLACK = 0;       ///< 80 steps: components above 4 lose 3, others 0; entry 0 kept
constexpr int TRANSITION_FADE_WHITE = 1;       ///< 64 steps: every component plus 4
constexpr int TRANSITION_BARS_SIDES = 2;       ///< column bars closing from left and right
constexpr int TRANSITION_BARS_TOP_BOTTOM = 3;  ///< row bars closing from top and bottom
constexpr int TRANSITION_DISSOLVE = 4;         ///< width × height × 4 + 1 random pixels, no pause
constexpr int TRANSITION_BARS_ALL = 5;         ///< both at once
constexpr int TRANSITION_WASH_BLUE = 6;        ///< 64 steps: red and green minus 4, blue plus 6
constexpr int TRANSITION_WASH_RED = 7;         ///< 64 steps: red plus 6, green and blue minus 4
constexpr int TRANSITION_WASH_GREEN = 8;       ///< 64 steps: green plus 6, red and blue minus 4
void screen_transition(int effect, uint8_t* buffer, int pitch);  ///< effects outside 0 … 8 do nothing
//@}
