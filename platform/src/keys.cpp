// keys.cpp -- the keyboard as the host reports it: one down/up byte per DirectInput key code.
#include <cstring>

#include "host.h"
#include "internal.h"

static constexpr int KEY_CODES = 256;
static constexpr int DIK_ESCAPE_CODE = 0x01;

static bool keys_down[KEY_CODES];

void keys_reset() { std::memset(keys_down, 0, sizeof keys_down); }

void host_key_changed(int key_code, bool down)
{
    if (key_code >= 0 && key_code < KEY_CODES)
        keys_down[key_code] = down;
}

bool key_is_down(int key_code)
{
    return key_code >= 0 && key_code < KEY_CODES && keys_down[key_code] && window_has_focus();
}

SHORT WINAPI GetAsyncKeyState(int virtual_key)
{
    // Only the one key the library asks about by virtual-key code.
    if (virtual_key == VK_ESCAPE && key_is_down(DIK_ESCAPE_CODE))
        return static_cast<SHORT>(0x8000);
    return 0;
}
