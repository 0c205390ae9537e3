// internal.h -- what the stand-in's sources share among themselves and with the test hooks.
//
// Layers, each including and calling only those below it:
//   shell -> game -> lib -> services -> [platform] -> host -> system libraries
// platform/src is the SDK stand-in alone: it implements platform/include over host.h and includes
// no test hook. The hooks in platform/testing reach in through the functions here; fault injection
// goes through the seam in fault_seam.cpp, which the program leaves empty.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// ---- fault_seam.cpp ----
// S_OK, or the failure a test asked this call of `operation` to produce. Every stand-in entry
// point that can fail asks once per call.
HRESULT fault_check(const char* operation);
// What fault_check asks; null (the program's case) lets every call go on.
using FaultChecker = HRESULT (*)(const char* operation);
void faults_install(FaultChecker checker);

// ---- clock.cpp ----
void clock_reset_virtual(uint32_t start_tick);
void clock_use_real();
bool clock_is_virtual();
void clock_advance(uint32_t ms);
void clock_set_read_step(uint32_t ms);
void clock_set(uint32_t tick);
// Advances a virtual clock by one refresh of a 60 Hz display (16 or 17 ms, no drift).
void clock_refresh_tick();
uint32_t clock_now();  // the tick count, without a read's step of the virtual clock

// ---- window.cpp ----
void windows_reset();
bool window_has_focus();  // false while the program's window has lost the input focus
HWND window_first_live();
void window_set_cursor_count(int count);

// ---- keys.cpp ----
void keys_reset();
bool key_is_down(int key_code);  // by DirectInput key code; false while the window lacks focus

// ---- ddraw_surface.cpp ----
// The program waits for time to pass (the tick count read, a sleep, or a refresh wait when
// `refresh`): each locked primary is shown as it stands, as a screen would show it, at most once a
// 60 Hz refresh of `now_ms` unless the wait was for the refresh itself. Without a locked primary
// nothing happens.
void screen_show_locked(uint32_t now_ms, bool refresh);

// ---- ddraw_object.cpp ----
void ddraw_reset();
void ddraw_set_16bit_555(bool on);
void ddraw_set_desktop_bpp(int bpp);

// ---- files.cpp ----
void files_reset();  // closes every file a test left open
int files_open_count();  // files opened with OpenFile and not yet closed

// ---- gdi_text.cpp ----
void gdi_text_reset();  // back to the font fontconfig chooses
// TextOutA draws with this font file instead of the one fontconfig finds; null: back to fontconfig.
void gdi_text_font_file(const char* path);

// ---- codepage.cpp ----
// Wide text (up to its NUL or max_chars) in the stand-in's ANSI code page, UTF-8.
std::string utf8_from_wide(const WCHAR* wide, size_t max_chars);
