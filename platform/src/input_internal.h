// input_internal.h -- the mouse and the game controllers as the host reported them, for the
// DirectInput stand-in (the keyboard is key_is_down in internal.h).
#pragma once
#include <windows.h>

#include <cstdint>

#include "host_reports.h"

// ---- mouse.cpp ----
// Running sums of all motion since the start; they wrap, so only differences between two reads count.
struct MouseTotals {
    uint64_t x, y, wheel;  // the wheel in the devices' units, 120 per notch
};
MouseTotals mouse_totals();
bool mouse_button_down(int button);  // false while the window lacks focus

// ---- controllers.cpp ----
struct ControllerState {
    int axes[HOST_AXES];  // HOST_AXIS_MIN … HOST_AXIS_MAX
    DWORD povs[HOST_POVS];
    bool buttons[HOST_BUTTONS];
};
struct ControllerInfo {
    int id;         // the host's name for it
    GUID instance;  // unique for each attach, never reused
    char name[MAX_PATH];
    bool gamepad;
};
// The attached controllers in attach order, up to `capacity`; returns how many were written.
int controllers_attached(ControllerInfo* out, int capacity);
bool controller_is_attached(const GUID& instance);
bool controller_state(const GUID& instance, ControllerState* out);  // false once it is detached
