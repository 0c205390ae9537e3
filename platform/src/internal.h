// internal.h -- what the stand-in's sources share among themselves, and what platform/testing may
// set and read: the machine's description, the clock, the fault seam and the counts.
//
// Layers, each including and calling only those below it:
//   shell -> game -> lib -> services -> [platform] -> host -> system libraries
// platform/src is the SDK stand-in alone: it implements platform/include over host.h and includes
// no test hook. Fault injection goes through the seam in fault_seam.cpp, which the program leaves
// empty.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

// ---- machine.cpp ----
// What the machine under the stand-in is like. The defaults describe the machine the program is
// made for; a test describes another by writing here before the program starts.
struct Machine {
    int desktop_bpp = 8;               // 8 or 16
    bool modes_16bit_are_555 = false;  // 16-bit modes hold 5-5-5 pixels instead of 5-6-5
    std::optional<std::string> font_file;  // text's font; unset: the one fontconfig finds
    std::optional<std::string> soundfont;  // unset: the system's usual files; "": none at all
};
extern Machine machine;

// ---- fault_seam.cpp ----
// S_OK, or the failure a test asked this call of `operation` to produce. Every stand-in entry
// point that can fail asks once per call.
HRESULT fault_check(const char* operation);
// What fault_check asks; null (the program's case) lets every call go on.
using FaultChecker = HRESULT (*)(const char* operation);
void faults_install(FaultChecker checker);

// ---- clock.cpp ----
// The virtual clock, started afresh at `start_tick` with a read step of 1, or the host's real one.
void clock_use_virtual(uint32_t start_tick);
void clock_use_real();
bool clock_is_virtual();
void clock_advance(uint32_t ms);
void clock_set_read_step(uint32_t ms);
void clock_set(uint32_t tick);
// Advances a virtual clock by one refresh of a 60 Hz display (16 or 17 ms, no drift).
void clock_refresh_tick();
uint32_t clock_now();  // the tick count, without a read's step of the virtual clock

// ---- window.cpp ----
void windows_process_end();  // every window and class gone, the queue empty, the focus back
bool window_has_focus();  // false while the program's window has lost the input focus
HWND window_first_live();
void window_set_cursor_count(int count);

// ---- keys.cpp ----
bool key_is_down(int key_code);  // by DirectInput key code; false while the window lacks focus

// ---- ddraw_surface.cpp ----
// The program waits for time to pass (the tick count read, a sleep, or a refresh wait when
// `refresh`): each locked primary is shown as it stands, as a screen would show it, at most once a
// 60 Hz refresh of `now_ms` unless the wait was for the refresh itself. Without a locked primary
// nothing happens.
void screen_show_locked(uint32_t now_ms, bool refresh);

// ---- ddraw_object.cpp ----
void ddraw_process_end();  // the display's exclusive mode is free again

// ---- files.cpp ----
void files_process_end();  // closes every file the program left open
int files_open_count();    // files opened with OpenFile and not yet closed

// ---- codepage.cpp ----
// Wide text (up to its NUL or max_chars) in the stand-in's ANSI code page, UTF-8.
std::string utf8_from_wide(const WCHAR* wide, size_t max_chars);
