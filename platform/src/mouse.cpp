// mouse.cpp -- the mouse as the host reports it: motion summed since the start, the wheel, the buttons.

#include "input_internal.h"
#include "internal.h"

// ---- constants ----
static constexpr int64_t WHEEL_UNITS_PER_NOTCH = 120;  // WHEEL_DELTA

// ---- globals ----
static MouseTotals totals;
static bool buttons_down[HOST_MOUSE_BUTTONS];

// ---- for the devices ----

MouseTotals mouse_totals() { return totals; }

bool mouse_button_down(int button)
{
    return button >= 0 && button < HOST_MOUSE_BUTTONS && buttons_down[button] && window_has_focus();
}

// ---- for the hosts ----

// Unsigned sums wrap instead of overflowing; a reader takes differences of them.
void host_mouse_moved(int dx, int dy)
{
    totals.x += static_cast<uint64_t>(static_cast<int64_t>(dx));
    totals.y += static_cast<uint64_t>(static_cast<int64_t>(dy));
}

void host_mouse_wheel(int notches)
{
    totals.wheel += static_cast<uint64_t>(static_cast<int64_t>(notches) * WHEEL_UNITS_PER_NOTCH);
}

void host_mouse_button(int button, bool down)
{
    if (button >= 0 && button < HOST_MOUSE_BUTTONS)
        buttons_down[button] = down;
}
