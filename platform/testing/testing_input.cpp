// testing_input.cpp -- the test hooks for the mouse, the controllers and the focus: each reports exactly
// what a host would (keys: testing_key in testing.cpp).
#include "input_internal.h"
#include "testing.h"
#include "testing_internal.h"

void input_let_go()
{
    constexpr int KEY_CODES = 256;  // DirectInput's, 0 … 255
    for (int key = 0; key < KEY_CODES; ++key) {
        host_key_changed(key, false);
        host_controller_key_changed(key, false);
    }
    for (int button = 0; button < HOST_MOUSE_BUTTONS; ++button)
        host_mouse_button(button, false);
    ControllerInfo attached[HOST_CONTROLLERS];
    const int count = controllers_attached(attached, HOST_CONTROLLERS);
    for (int i = 0; i < count; ++i)
        host_controller_detached(attached[i].id);
}

void testing_focus(bool focused) { host_focus_changed(focused); }

void testing_mouse_move(int dx, int dy) { host_mouse_moved(dx, dy); }
void testing_mouse_wheel(int notches) { host_mouse_wheel(notches); }
void testing_mouse_button(int button, bool down) { host_mouse_button(button, down); }

int testing_controller_attach(const char* name, bool gamepad) { return host_controller_attached(name, gamepad); }
void testing_controller_detach(int id) { host_controller_detached(id); }
void testing_controller_axis(int id, int axis, int position) { host_controller_axis(id, axis, position); }
void testing_controller_button(int id, int button, bool down) { host_controller_button(id, button, down); }
void testing_controller_pov(int id, int pov, uint32_t hundredths) { host_controller_pov(id, pov, hundredths); }
