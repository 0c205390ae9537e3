// testing.cpp -- the test hooks: reset, virtual clock, display options, presented frames, files and
// text, keys, windows and messages (faults: testing_faults.cpp; sound: testing_audio.cpp).
#include "testing.h"

#include "host_reports.h"
#include "internal.h"
#include "testing_internal.h"

// Each test starts as a program starts on a machine of its own: the last program's process ended,
// the machine as the program expects it, no key, button or controller held, no faults set.
void testing_reset(uint32_t start_tick)
{
    host_install(&testing_host());
    testing_host().reset();
    host_process_ended();
    machine = Machine{};
    input_let_go();
    fault_table_reset();
    clock_use_virtual(start_tick);
}

void testing_clock_set(uint32_t tick) { clock_set(tick); }
void testing_clock_advance(uint32_t ms) { clock_advance(ms); }
void testing_clock_read_step(uint32_t ms) { clock_set_read_step(ms); }
void testing_clock_real() { clock_use_real(); }

void testing_display_16bit_555(bool on) { machine.modes_16bit_are_555 = on; }
void testing_desktop_bpp(int bpp) { machine.desktop_bpp = bpp == 16 ? 16 : 8; }

const TestingFrame& testing_presented_frame() { return testing_host().last_frame; }
int testing_present_count() { return testing_host().presents; }
int testing_refresh_count() { return testing_host().refreshes; }
void testing_window_unavailable(bool on) { testing_host().window_unavailable = on; }

int testing_open_files() { return files_open_count(); }
void testing_font_file(const char* path)
{
    if (path)
        machine.font_file = path;
    else
        machine.font_file.reset();
}

void testing_key(int key_code, bool down) { host_key_changed(key_code, down); }
void testing_key_queued(int key_code, bool down) { testing_host().queued_keys.emplace_back(key_code, down); }
int testing_pump_count() { return testing_host().pumps; }

HWND testing_make_window(HINSTANCE* instance)
{
    static HINSTANCE__ process_instance;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = &process_instance;
    wc.lpszClassName = "TESTINGWINDOW";
    RegisterClassA(&wc);  // fails harmlessly when the class is already there
    if (instance)
        *instance = &process_instance;
    return CreateWindowExA(0, "TESTINGWINDOW", "testing", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                           &process_instance, nullptr);
}

BOOL testing_post_host_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    return host_post_message(message, wparam, lparam);
}
