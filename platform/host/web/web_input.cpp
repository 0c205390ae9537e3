// web_input.cpp -- KeyboardEvent.code to DirectInput key codes, and the first gamepad as keys.
#include "web_input.h"

#include <dinput.h>

#include <cstddef>
#include <cstdint>
#include <iterator>

#include "web_page.h"
#include "../../src/host_reports.h"

// ---- keys ----

// Every KeyboardEvent.code (the USB key usage it names, as SDL's scancodes do) that has a
// DirectInput key code, in the order of the SDL2 host's table.
static constexpr struct {
    const char* code;
    uint8_t dik;
} KEYS[] = {
    {"KeyA", DIK_A}, {"KeyB", DIK_B}, {"KeyC", DIK_C}, {"KeyD", DIK_D}, {"KeyE", DIK_E}, {"KeyF", DIK_F},
    {"KeyG", DIK_G}, {"KeyH", DIK_H}, {"KeyI", DIK_I}, {"KeyJ", DIK_J}, {"KeyK", DIK_K}, {"KeyL", DIK_L},
    {"KeyM", DIK_M}, {"KeyN", DIK_N}, {"KeyO", DIK_O}, {"KeyP", DIK_P}, {"KeyQ", DIK_Q}, {"KeyR", DIK_R},
    {"KeyS", DIK_S}, {"KeyT", DIK_T}, {"KeyU", DIK_U}, {"KeyV", DIK_V}, {"KeyW", DIK_W}, {"KeyX", DIK_X},
    {"KeyY", DIK_Y}, {"KeyZ", DIK_Z},
    {"Digit1", DIK_1}, {"Digit2", DIK_2}, {"Digit3", DIK_3}, {"Digit4", DIK_4}, {"Digit5", DIK_5},
    {"Digit6", DIK_6}, {"Digit7", DIK_7}, {"Digit8", DIK_8}, {"Digit9", DIK_9}, {"Digit0", DIK_0},
    {"Enter", DIK_RETURN}, {"Escape", DIK_ESCAPE}, {"Backspace", DIK_BACK}, {"Tab", DIK_TAB},
    {"Space", DIK_SPACE}, {"Minus", DIK_MINUS}, {"Equal", DIK_EQUALS}, {"BracketLeft", DIK_LBRACKET},
    {"BracketRight", DIK_RBRACKET}, {"Backslash", DIK_BACKSLASH}, {"Semicolon", DIK_SEMICOLON},
    {"Quote", DIK_APOSTROPHE}, {"Backquote", DIK_GRAVE}, {"Comma", DIK_COMMA}, {"Period", DIK_PERIOD},
    {"Slash", DIK_SLASH}, {"CapsLock", DIK_CAPITAL},
    {"IntlBackslash", DIK_OEM_102},  // < > | beside left Shift on ISO keyboards
    {"F1", DIK_F1}, {"F2", DIK_F2}, {"F3", DIK_F3}, {"F4", DIK_F4}, {"F5", DIK_F5}, {"F6", DIK_F6},
    {"F7", DIK_F7}, {"F8", DIK_F8}, {"F9", DIK_F9}, {"F10", DIK_F10}, {"F11", DIK_F11}, {"F12", DIK_F12},
    {"F13", DIK_F13}, {"F14", DIK_F14}, {"F15", DIK_F15},
    {"PrintScreen", DIK_SYSRQ}, {"ScrollLock", DIK_SCROLL}, {"Pause", DIK_PAUSE}, {"Insert", DIK_INSERT},
    {"Home", DIK_HOME}, {"PageUp", DIK_PRIOR}, {"Delete", DIK_DELETE}, {"End", DIK_END},
    {"PageDown", DIK_NEXT}, {"ArrowRight", DIK_RIGHT}, {"ArrowLeft", DIK_LEFT}, {"ArrowDown", DIK_DOWN},
    {"ArrowUp", DIK_UP},
    {"NumLock", DIK_NUMLOCK}, {"NumpadDivide", DIK_DIVIDE}, {"NumpadMultiply", DIK_MULTIPLY},
    {"NumpadSubtract", DIK_SUBTRACT}, {"NumpadAdd", DIK_ADD}, {"NumpadEnter", DIK_NUMPADENTER},
    {"Numpad1", DIK_NUMPAD1}, {"Numpad2", DIK_NUMPAD2}, {"Numpad3", DIK_NUMPAD3}, {"Numpad4", DIK_NUMPAD4},
    {"Numpad5", DIK_NUMPAD5}, {"Numpad6", DIK_NUMPAD6}, {"Numpad7", DIK_NUMPAD7}, {"Numpad8", DIK_NUMPAD8},
    {"Numpad9", DIK_NUMPAD9}, {"Numpad0", DIK_NUMPAD0}, {"NumpadDecimal", DIK_DECIMAL},
    {"NumpadEqual", DIK_NUMPADEQUALS}, {"NumpadComma", DIK_ABNT_C2},
    {"ControlLeft", DIK_LCONTROL}, {"ShiftLeft", DIK_LSHIFT}, {"AltLeft", DIK_LMENU}, {"MetaLeft", DIK_LWIN},
    {"ControlRight", DIK_RCONTROL}, {"ShiftRight", DIK_RSHIFT}, {"AltRight", DIK_RMENU},
    {"MetaRight", DIK_RWIN}, {"ContextMenu", DIK_APPS},
    {"IntlRo", DIK_ABNT_C1}, {"KanaMode", DIK_KANA}, {"IntlYen", DIK_YEN}, {"Convert", DIK_CONVERT},
    {"NonConvert", DIK_NOCONVERT},
    {"AudioVolumeMute", DIK_MUTE}, {"AudioVolumeUp", DIK_VOLUMEUP}, {"AudioVolumeDown", DIK_VOLUMEDOWN},
    {"MediaTrackNext", DIK_NEXTTRACK}, {"MediaTrackPrevious", DIK_PREVTRACK}, {"MediaStop", DIK_MEDIASTOP},
    {"MediaPlayPause", DIK_PLAYPAUSE}, {"MediaSelect", DIK_MEDIASELECT}, {"LaunchMail", DIK_MAIL},
    {"LaunchApp2", DIK_CALCULATOR}, {"LaunchApp1", DIK_MYCOMPUTER}, {"BrowserSearch", DIK_WEBSEARCH},
    {"BrowserHome", DIK_WEBHOME}, {"BrowserBack", DIK_WEBBACK}, {"BrowserForward", DIK_WEBFORWARD},
    {"BrowserStop", DIK_WEBSTOP}, {"BrowserRefresh", DIK_WEBREFRESH}, {"BrowserFavorites", DIK_WEBFAVORITES},
    {"Power", DIK_POWER}, {"Sleep", DIK_SLEEP},
};

static constexpr bool same_code(const char* a, const char* b)
{
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}

static constexpr bool no_code_listed_twice()
{
    for (size_t i = 0; i < std::size(KEYS); ++i)
        for (size_t j = i + 1; j < std::size(KEYS); ++j)
            if (same_code(KEYS[i].code, KEYS[j].code))
                return false;
    return true;
}
static_assert(no_code_listed_twice(), "each KeyboardEvent.code is listed once");

void web_keys_register()
{
    for (const auto& k : KEYS)
        web_page_key_name(k.code, k.dik);
}

// ---- the gamepad ----

// As the SDL2 host: an arrow goes down past 30 % of the stick's travel and up inside 20 %.
static constexpr int STICK_PRESS = 32767 * 30 / 100;
static constexpr int STICK_RELEASE = 32767 * 20 / 100;

// The keys a gamepad presses, by the Gamepad API's standard mapping. The first four are the arrows,
// in the order of the stick's directions, which press them too.
static constexpr struct {
    uint8_t dik;
    int button;
} PAD_KEYS[] = {
    {DIK_UP, 12}, {DIK_RIGHT, 15}, {DIK_DOWN, 13}, {DIK_LEFT, 14},
    {DIK_SPACE, 0}, {DIK_LSHIFT, 2}, {DIK_F2, 9}, {DIK_ESCAPE, 8},
};
static constexpr int PAD_KEY_COUNT = static_cast<int>(std::size(PAD_KEYS));
enum StickDirection { STICK_UP, STICK_RIGHT, STICK_DOWN, STICK_LEFT, STICK_DIRECTIONS };

static bool stick_held[STICK_DIRECTIONS];
static bool key_held[PAD_KEY_COUNT];

void web_pad_update()
{
    uint32_t buttons = 0;
    int x = 0, y = 0;
    bool wanted[PAD_KEY_COUNT] = {};
    if (web_page_gamepad(&buttons, &x, &y)) {
        const int toward[STICK_DIRECTIONS] = {-y, x, y, -x};
        for (int d = 0; d < STICK_DIRECTIONS; ++d)
            stick_held[d] = toward[d] > (stick_held[d] ? STICK_RELEASE : STICK_PRESS);
        for (int k = 0; k < PAD_KEY_COUNT; ++k)
            wanted[k] = (buttons >> PAD_KEYS[k].button & 1) || (k < STICK_DIRECTIONS && stick_held[k]);
    } else {
        for (bool& held : stick_held)
            held = false;
    }
    for (int k = 0; k < PAD_KEY_COUNT; ++k)
        if (wanted[k] != key_held[k]) {
            key_held[k] = wanted[k];
            host_controller_key_changed(PAD_KEYS[k].dik, wanted[k]);
        }
}
