// testing.h -- hooks for tests on the headless host: a virtual clock, fault injection, the last
// presented frame, and messages posted as the host would post them.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host.h"

// Returns the platform to its start: headless host, no windows or classes, empty queue, no faults,
// virtual clock at `start_tick`, no DirectDraw objects' display mode, desktop of 8 bits.
void testing_reset(uint32_t start_tick = 0);

// ---- virtual clock: GetTickCount, Sleep, busy waits and display refreshes advance it ----
void testing_clock_set(uint32_t tick);
void testing_clock_advance(uint32_t ms);
// Each GetTickCount read advances virtual time by `ms` (default 1), so busy waits end.
void testing_clock_read_step(uint32_t ms);
void testing_clock_real();  // back to the host's real clock

// ---- fault injection: the `nth` call from now (1-based; 0 = every call) of `operation` fails with `code` ----
// Operations are named as the caller sees them: "DirectDrawCreateEx", "IDirectDraw7::CreateSurface".
void testing_fault(const char* operation, int nth, HRESULT code);
void testing_faults_clear();
// Every operation name that was checked for a fault since the last reset, in first-call order.
std::vector<std::string> testing_operations_seen();

// ---- display ----
// The 16-bit display modes report 5.5.5 (15) instead of 5.6.5 (16).
void testing_display_16bit_555(bool on);
// The desktop's depth for windowed use (8 or 16).
void testing_desktop_bpp(int bpp);
// The last frame the host was asked to present, copied; count of presents since reset.
struct TestingFrame {
    int width = 0, height = 0, bpp = 0, rgb_bits = 0;
    std::vector<uint8_t> pixels;        // rows packed without gaps (width × bytes per pixel)
    std::vector<PALETTEENTRY> palette;  // 256 entries for 8-bit frames
    uint32_t pixel(int x, int y) const;  // index or 16-bit value
};
const TestingFrame& testing_presented_frame();
int testing_present_count();
int testing_refresh_count();  // display refreshes waited for (flips, vertical blanks)

// ---- files and text ----
int testing_open_files();  // files opened with OpenFile and not yet closed
// TextOutA draws with this font file instead of the one fontconfig finds; a path that does not
// load leaves the device contexts without a font (TextOutA then fails). Null: back to fontconfig.
void testing_font_file(const char* path);

// ---- keys: press or release a key by its DirectInput key code, as the host would ----
void testing_key(int key_code, bool down);

// ---- windows and messages ----
// Posts `message` to the first live window, as the host does for a window close.
BOOL testing_post_host_message(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
// Make the host unable to open a window (as with no display).
void testing_window_unavailable(bool on);
