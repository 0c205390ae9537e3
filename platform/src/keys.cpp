// keys.cpp -- the keyboard as the host reports it: who holds each DirectInput key code down, the
// keyboard itself or a game controller pressing keys; a key is down while either holds it.
#include <cstdint>

#include "host_reports.h"
#include "internal.h"

static constexpr int KEY_CODES = 256;
static constexpr int DIK_ESCAPE_CODE = 0x01;
static constexpr uint8_t HELD_BY_KEYBOARD = 1;
static constexpr uint8_t HELD_BY_CONTROLLER = 2;

static uint8_t holders[KEY_CODES];  // HELD_BY_ bits

static void hold(int key_code, uint8_t holder, bool down)
{
    if (key_code < 0 || key_code >= KEY_CODES)
        return;
    holders[key_code] = down ? holders[key_code] | holder : holders[key_code] & ~holder;
}

void host_key_changed(int key_code, bool down) { hold(key_code, HELD_BY_KEYBOARD, down); }

void host_controller_key_changed(int key_code, bool down) { hold(key_code, HELD_BY_CONTROLLER, down); }

bool key_is_down(int key_code)
{
    return key_code >= 0 && key_code < KEY_CODES && holders[key_code] != 0 && window_has_focus();
}

SHORT WINAPI GetAsyncKeyState(int virtual_key)
{
    // Only the one key the library asks about by virtual-key code.
    if (virtual_key == VK_ESCAPE && key_is_down(DIK_ESCAPE_CODE))
        return static_cast<SHORT>(0x8000);
    return 0;
}
