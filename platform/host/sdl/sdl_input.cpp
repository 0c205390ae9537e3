// sdl_input.cpp -- the SDL2 host's input: SDL scancodes (physical keys, whatever the layout) to
// DirectInput key codes through one bounds-checked table, the mouse, and game controllers and
// joysticks opened and closed as they are plugged in and out, the first game controller also
// pressing keys.
#include "sdl_input.h"

#include <dinput.h>

#include <algorithm>
#include <array>
#include <cstdint>

#include "../../src/host_reports.h"
#include "host.h"
#include "sdl_pad_keys.h"

// ---- constants ----

struct ScancodeKey {
    SDL_Scancode scancode;
    uint8_t dik;
};

// Every SDL scancode that has a DirectInput key code. SDL scancodes are USB key usages; DirectInput
// codes are the PC scan codes Windows gives those usages (extended keys with bit 7 set). Two pairs
// share a code on purpose: the ISO key left of Enter is the US backslash key, and mute comes both
// from the keyboard page and the consumer page.
static constexpr ScancodeKey SCANCODE_KEYS[] = {
    // letters, by position: the key right of Tab is DIK_Q on every layout
    {SDL_SCANCODE_A, DIK_A}, {SDL_SCANCODE_B, DIK_B}, {SDL_SCANCODE_C, DIK_C}, {SDL_SCANCODE_D, DIK_D},
    {SDL_SCANCODE_E, DIK_E}, {SDL_SCANCODE_F, DIK_F}, {SDL_SCANCODE_G, DIK_G}, {SDL_SCANCODE_H, DIK_H},
    {SDL_SCANCODE_I, DIK_I}, {SDL_SCANCODE_J, DIK_J}, {SDL_SCANCODE_K, DIK_K}, {SDL_SCANCODE_L, DIK_L},
    {SDL_SCANCODE_M, DIK_M}, {SDL_SCANCODE_N, DIK_N}, {SDL_SCANCODE_O, DIK_O}, {SDL_SCANCODE_P, DIK_P},
    {SDL_SCANCODE_Q, DIK_Q}, {SDL_SCANCODE_R, DIK_R}, {SDL_SCANCODE_S, DIK_S}, {SDL_SCANCODE_T, DIK_T},
    {SDL_SCANCODE_U, DIK_U}, {SDL_SCANCODE_V, DIK_V}, {SDL_SCANCODE_W, DIK_W}, {SDL_SCANCODE_X, DIK_X},
    {SDL_SCANCODE_Y, DIK_Y}, {SDL_SCANCODE_Z, DIK_Z},
    // the digit row
    {SDL_SCANCODE_1, DIK_1}, {SDL_SCANCODE_2, DIK_2}, {SDL_SCANCODE_3, DIK_3}, {SDL_SCANCODE_4, DIK_4},
    {SDL_SCANCODE_5, DIK_5}, {SDL_SCANCODE_6, DIK_6}, {SDL_SCANCODE_7, DIK_7}, {SDL_SCANCODE_8, DIK_8},
    {SDL_SCANCODE_9, DIK_9}, {SDL_SCANCODE_0, DIK_0},
    // editing and punctuation keys of the main block
    {SDL_SCANCODE_RETURN, DIK_RETURN}, {SDL_SCANCODE_ESCAPE, DIK_ESCAPE}, {SDL_SCANCODE_BACKSPACE, DIK_BACK},
    {SDL_SCANCODE_TAB, DIK_TAB}, {SDL_SCANCODE_SPACE, DIK_SPACE}, {SDL_SCANCODE_MINUS, DIK_MINUS},
    {SDL_SCANCODE_EQUALS, DIK_EQUALS}, {SDL_SCANCODE_LEFTBRACKET, DIK_LBRACKET},
    {SDL_SCANCODE_RIGHTBRACKET, DIK_RBRACKET}, {SDL_SCANCODE_BACKSLASH, DIK_BACKSLASH},
    {SDL_SCANCODE_NONUSHASH, DIK_BACKSLASH},  // # ~ on ISO keyboards: the same key as the US backslash
    {SDL_SCANCODE_SEMICOLON, DIK_SEMICOLON}, {SDL_SCANCODE_APOSTROPHE, DIK_APOSTROPHE},
    {SDL_SCANCODE_GRAVE, DIK_GRAVE}, {SDL_SCANCODE_COMMA, DIK_COMMA}, {SDL_SCANCODE_PERIOD, DIK_PERIOD},
    {SDL_SCANCODE_SLASH, DIK_SLASH}, {SDL_SCANCODE_CAPSLOCK, DIK_CAPITAL},
    {SDL_SCANCODE_NONUSBACKSLASH, DIK_OEM_102},  // < > | beside left Shift on ISO keyboards
    // function keys: F11 and F12 came later and sit apart from F1 to F10
    {SDL_SCANCODE_F1, DIK_F1}, {SDL_SCANCODE_F2, DIK_F2}, {SDL_SCANCODE_F3, DIK_F3}, {SDL_SCANCODE_F4, DIK_F4},
    {SDL_SCANCODE_F5, DIK_F5}, {SDL_SCANCODE_F6, DIK_F6}, {SDL_SCANCODE_F7, DIK_F7}, {SDL_SCANCODE_F8, DIK_F8},
    {SDL_SCANCODE_F9, DIK_F9}, {SDL_SCANCODE_F10, DIK_F10}, {SDL_SCANCODE_F11, DIK_F11},
    {SDL_SCANCODE_F12, DIK_F12}, {SDL_SCANCODE_F13, DIK_F13}, {SDL_SCANCODE_F14, DIK_F14},
    {SDL_SCANCODE_F15, DIK_F15},
    // the block above the arrows, and the arrows
    {SDL_SCANCODE_PRINTSCREEN, DIK_SYSRQ}, {SDL_SCANCODE_SCROLLLOCK, DIK_SCROLL}, {SDL_SCANCODE_PAUSE, DIK_PAUSE},
    {SDL_SCANCODE_INSERT, DIK_INSERT}, {SDL_SCANCODE_HOME, DIK_HOME}, {SDL_SCANCODE_PAGEUP, DIK_PRIOR},
    {SDL_SCANCODE_DELETE, DIK_DELETE}, {SDL_SCANCODE_END, DIK_END}, {SDL_SCANCODE_PAGEDOWN, DIK_NEXT},
    {SDL_SCANCODE_RIGHT, DIK_RIGHT}, {SDL_SCANCODE_LEFT, DIK_LEFT}, {SDL_SCANCODE_DOWN, DIK_DOWN},
    {SDL_SCANCODE_UP, DIK_UP},
    // the numeric keypad
    {SDL_SCANCODE_NUMLOCKCLEAR, DIK_NUMLOCK}, {SDL_SCANCODE_KP_DIVIDE, DIK_DIVIDE},
    {SDL_SCANCODE_KP_MULTIPLY, DIK_MULTIPLY}, {SDL_SCANCODE_KP_MINUS, DIK_SUBTRACT},
    {SDL_SCANCODE_KP_PLUS, DIK_ADD}, {SDL_SCANCODE_KP_ENTER, DIK_NUMPADENTER}, {SDL_SCANCODE_KP_1, DIK_NUMPAD1},
    {SDL_SCANCODE_KP_2, DIK_NUMPAD2}, {SDL_SCANCODE_KP_3, DIK_NUMPAD3}, {SDL_SCANCODE_KP_4, DIK_NUMPAD4},
    {SDL_SCANCODE_KP_5, DIK_NUMPAD5}, {SDL_SCANCODE_KP_6, DIK_NUMPAD6}, {SDL_SCANCODE_KP_7, DIK_NUMPAD7},
    {SDL_SCANCODE_KP_8, DIK_NUMPAD8}, {SDL_SCANCODE_KP_9, DIK_NUMPAD9}, {SDL_SCANCODE_KP_0, DIK_NUMPAD0},
    {SDL_SCANCODE_KP_PERIOD, DIK_DECIMAL}, {SDL_SCANCODE_KP_EQUALS, DIK_NUMPADEQUALS},
    {SDL_SCANCODE_KP_COMMA, DIK_ABNT_C2},  // the keypad's second separator key, as Windows codes it
    // modifiers
    {SDL_SCANCODE_LCTRL, DIK_LCONTROL}, {SDL_SCANCODE_LSHIFT, DIK_LSHIFT}, {SDL_SCANCODE_LALT, DIK_LMENU},
    {SDL_SCANCODE_LGUI, DIK_LWIN}, {SDL_SCANCODE_RCTRL, DIK_RCONTROL}, {SDL_SCANCODE_RSHIFT, DIK_RSHIFT},
    {SDL_SCANCODE_RALT, DIK_RMENU}, {SDL_SCANCODE_RGUI, DIK_RWIN}, {SDL_SCANCODE_APPLICATION, DIK_APPS},
    // Japanese and Brazilian keys
    {SDL_SCANCODE_INTERNATIONAL1, DIK_ABNT_C1},  // Ro, and / ? on Brazilian keyboards
    {SDL_SCANCODE_INTERNATIONAL2, DIK_KANA}, {SDL_SCANCODE_INTERNATIONAL3, DIK_YEN},
    {SDL_SCANCODE_INTERNATIONAL4, DIK_CONVERT}, {SDL_SCANCODE_INTERNATIONAL5, DIK_NOCONVERT},
    // media, browser and power keys
    {SDL_SCANCODE_MUTE, DIK_MUTE}, {SDL_SCANCODE_AUDIOMUTE, DIK_MUTE},  // keyboard page and consumer page
    {SDL_SCANCODE_VOLUMEUP, DIK_VOLUMEUP}, {SDL_SCANCODE_VOLUMEDOWN, DIK_VOLUMEDOWN},
    {SDL_SCANCODE_AUDIONEXT, DIK_NEXTTRACK}, {SDL_SCANCODE_AUDIOPREV, DIK_PREVTRACK},
    {SDL_SCANCODE_AUDIOSTOP, DIK_MEDIASTOP}, {SDL_SCANCODE_AUDIOPLAY, DIK_PLAYPAUSE},
    {SDL_SCANCODE_MEDIASELECT, DIK_MEDIASELECT}, {SDL_SCANCODE_MAIL, DIK_MAIL},
    {SDL_SCANCODE_CALCULATOR, DIK_CALCULATOR}, {SDL_SCANCODE_COMPUTER, DIK_MYCOMPUTER},
    {SDL_SCANCODE_AC_SEARCH, DIK_WEBSEARCH}, {SDL_SCANCODE_AC_HOME, DIK_WEBHOME},
    {SDL_SCANCODE_AC_BACK, DIK_WEBBACK}, {SDL_SCANCODE_AC_FORWARD, DIK_WEBFORWARD},
    {SDL_SCANCODE_AC_STOP, DIK_WEBSTOP}, {SDL_SCANCODE_AC_REFRESH, DIK_WEBREFRESH},
    {SDL_SCANCODE_AC_BOOKMARKS, DIK_WEBFAVORITES}, {SDL_SCANCODE_POWER, DIK_POWER},
    {SDL_SCANCODE_SLEEP, DIK_SLEEP},
};

static constexpr std::array<uint8_t, SDL_NUM_SCANCODES> scancode_table()
{
    std::array<uint8_t, SDL_NUM_SCANCODES> table{};
    for (const ScancodeKey& k : SCANCODE_KEYS)
        table[k.scancode] = k.dik;  // a scancode past the end would stop compilation here
    return table;
}
static constexpr std::array<uint8_t, SDL_NUM_SCANCODES> SCANCODE_TO_DIK = scancode_table();

static constexpr bool no_scancode_listed_twice()
{
    for (size_t i = 0; i < std::size(SCANCODE_KEYS); ++i)
        for (size_t j = i + 1; j < std::size(SCANCODE_KEYS); ++j)
            if (SCANCODE_KEYS[i].scancode == SCANCODE_KEYS[j].scancode)
                return false;
    return true;
}
static_assert(no_scancode_listed_twice(), "each scancode is listed once");

// SDL's mouse buttons (1 left, 2 middle, 3 right, 4 first extra) in the devices' order.
static constexpr int MOUSE_BUTTON_OF_SDL[] = {-1, 0, 2, 1, 3};

static constexpr int MAX_OPEN_PADS = HOST_CONTROLLERS;

// Buttons of a game controller in the order gamepads report them through DirectInput: A B X Y,
// shoulders, back, start, stick presses, then the rest. The d-pad becomes POV 0 instead.
static constexpr struct {
    SDL_GameControllerButton sdl;
    int button;
} PAD_BUTTONS[] = {
    {SDL_CONTROLLER_BUTTON_A, 0},
    {SDL_CONTROLLER_BUTTON_B, 1},
    {SDL_CONTROLLER_BUTTON_X, 2},
    {SDL_CONTROLLER_BUTTON_Y, 3},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 4},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 5},
    {SDL_CONTROLLER_BUTTON_BACK, 6},
    {SDL_CONTROLLER_BUTTON_START, 7},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, 8},
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 9},
    {SDL_CONTROLLER_BUTTON_GUIDE, 10},
    {SDL_CONTROLLER_BUTTON_MISC1, 11},
    {SDL_CONTROLLER_BUTTON_PADDLE1, 12},
    {SDL_CONTROLLER_BUTTON_PADDLE2, 13},
    {SDL_CONTROLLER_BUTTON_PADDLE3, 14},
    {SDL_CONTROLLER_BUTTON_PADDLE4, 15},
    {SDL_CONTROLLER_BUTTON_TOUCHPAD, 16},
};

// ---- records ----

// A controller SDL opened for us: a game controller (known layout) or a plain joystick.
struct OpenPad {
    SDL_JoystickID instance;
    SDL_GameController* controller;  // null for a plain joystick
    SDL_Joystick* joystick;          // the controller's own joystick, or the plain one
    int host_id;                     // 0: free slot
};

// ---- globals ----
static OpenPad pads[MAX_OPEN_PADS];
static bool controllers_started = false;

// ---- helpers: directions ----

// Hundredths of a degree clockwise from up, as DirectInput reports a POV hat, or centred.
static uint32_t pov_of(bool up, bool right, bool down, bool left)
{
    const int dx = (right ? 1 : 0) - (left ? 1 : 0);
    const int dy = (down ? 1 : 0) - (up ? 1 : 0);
    static constexpr uint32_t ANGLES[3][3] = {
        {31500, 0, 4500},                 // up-left, up, up-right
        {27000, HOST_POV_CENTRED, 9000},  // left, centre, right
        {22500, 18000, 13500},            // down-left, down, down-right
    };
    return ANGLES[dy + 1][dx + 1];
}

static uint32_t pov_of_hat(Uint8 hat)
{
    return pov_of(hat & SDL_HAT_UP, hat & SDL_HAT_RIGHT, hat & SDL_HAT_DOWN, hat & SDL_HAT_LEFT);
}

// ---- helpers: controllers ----

static OpenPad* pad_of(SDL_JoystickID instance)
{
    for (OpenPad& p : pads)
        if (p.host_id != 0 && p.instance == instance)
            return &p;
    return nullptr;
}

// A game controller as gamepads show through DirectInput: left stick X/Y, right stick Rx/Ry, the
// two triggers sharing Z (left pulls it up, right down), the d-pad as POV 0.
static void report_game_controller(const OpenPad& p)
{
    SDL_GameController* c = p.controller;
    const int left_trigger = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    const int right_trigger = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    host_controller_axis(p.host_id, HOST_AXIS_X, SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX));
    host_controller_axis(p.host_id, HOST_AXIS_Y, SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY));
    host_controller_axis(p.host_id, HOST_AXIS_Z, left_trigger - right_trigger);
    host_controller_axis(p.host_id, HOST_AXIS_RX, SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_RIGHTX));
    host_controller_axis(p.host_id, HOST_AXIS_RY, SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_RIGHTY));
    for (const auto& b : PAD_BUTTONS)
        host_controller_button(p.host_id, b.button, SDL_GameControllerGetButton(c, b.sdl) != 0);
    host_controller_pov(p.host_id, 0,
                        pov_of(SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_UP),
                               SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_RIGHT),
                               SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_DOWN),
                               SDL_GameControllerGetButton(c, SDL_CONTROLLER_BUTTON_DPAD_LEFT)));
}

// A plain joystick: its axes, hats and buttons in order, as many as the device has room for.
static void report_joystick(const OpenPad& p)
{
    SDL_Joystick* j = p.joystick;
    const int axes = std::min(SDL_JoystickNumAxes(j), static_cast<int>(HOST_AXES));
    for (int axis = 0; axis < axes; ++axis)
        host_controller_axis(p.host_id, axis, SDL_JoystickGetAxis(j, axis));
    const int hats = std::min(SDL_JoystickNumHats(j), HOST_POVS);
    for (int hat = 0; hat < hats; ++hat)
        host_controller_pov(p.host_id, hat, pov_of_hat(SDL_JoystickGetHat(j, hat)));
    const int buttons = std::min(SDL_JoystickNumButtons(j), HOST_BUTTONS);
    for (int button = 0; button < buttons; ++button)
        host_controller_button(p.host_id, button, SDL_JoystickGetButton(j, button) != 0);
}

// The first game controller still attached, in attach order: the one that presses keys.
static SDL_GameController* first_game_controller()
{
    const OpenPad* first = nullptr;
    for (const OpenPad& p : pads)
        if (p.host_id != 0 && p.controller && (!first || p.host_id < first->host_id))
            first = &p;
    return first ? first->controller : nullptr;
}

static void report_pad(SDL_JoystickID instance)
{
    if (const OpenPad* p = pad_of(instance))
        p->controller ? report_game_controller(*p) : report_joystick(*p);
    pad_keys_update(first_game_controller());
}

// Whatever keys it held are let go of, or passed to the next game controller.
static void close_pad(OpenPad* p)
{
    host_controller_detached(p->host_id);
    if (p->controller)
        SDL_GameControllerClose(p->controller);
    else if (p->joystick)
        SDL_JoystickClose(p->joystick);
    *p = OpenPad{};
    pad_keys_update(first_game_controller());
}

// Opens the device at `device_index` unless it is open already (it was attached at start and its
// plug-in event arrives later) or every slot is taken.
static void open_pad(int device_index)
{
    const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(device_index);
    if (instance < 0 || pad_of(instance))
        return;
    OpenPad* slot = nullptr;
    for (OpenPad& p : pads)
        if (p.host_id == 0) {
            slot = &p;
            break;
        }
    if (!slot)
        return;
    OpenPad p{instance, nullptr, nullptr, 0};
    if (SDL_IsGameController(device_index)) {
        p.controller = SDL_GameControllerOpen(device_index);
        p.joystick = p.controller ? SDL_GameControllerGetJoystick(p.controller) : nullptr;
    }
    if (!p.joystick)
        p.joystick = SDL_JoystickOpen(device_index);  // no known layout: its raw axes and buttons
    if (!p.joystick)
        return;
    const char* name = p.controller ? SDL_GameControllerName(p.controller) : SDL_JoystickName(p.joystick);
    p.host_id = host_controller_attached(name ? name : "Game controller", p.controller != nullptr);
    if (p.host_id == 0) {
        close_pad(&p);
        return;
    }
    *slot = p;
    report_pad(instance);
}

// ---- helpers: keyboard and mouse ----

static void let_go_of_everything()
{
    for (int key = 0; key < 256; ++key)
        host_key_changed(key, false);
    for (int button = 0; button < HOST_MOUSE_BUTTONS; ++button)
        host_mouse_button(button, false);
}

static void mouse_button_event(const SDL_MouseButtonEvent& e)
{
    if (e.button < std::size(MOUSE_BUTTON_OF_SDL) && MOUSE_BUTTON_OF_SDL[e.button] >= 0)
        host_mouse_button(MOUSE_BUTTON_OF_SDL[e.button], e.type == SDL_MOUSEBUTTONDOWN);
}

static void mouse_wheel_event(const SDL_MouseWheelEvent& e)
{
    host_mouse_wheel(e.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.y : e.y);
}

// ---- public ----

int sdl_scancode_to_dik(int scancode)
{
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES)
        return 0;
    return SCANCODE_TO_DIK[scancode];
}

bool sdl_input_open()
{
    if (controllers_started)
        return true;
    // Devices at the background level read controllers whichever window has the focus.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) != 0)
        return false;
    controllers_started = true;
    pad_keys_configure();
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        open_pad(i);
    return true;
}

void sdl_input_close()
{
    if (!controllers_started)
        return;
    for (OpenPad& p : pads)
        if (p.host_id != 0)
            close_pad(&p);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER);
    controllers_started = false;
}

void sdl_input_event(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (const int dik = sdl_scancode_to_dik(e.key.keysym.scancode))
            host_key_changed(dik, e.type == SDL_KEYDOWN);
        break;
    case SDL_WINDOWEVENT:
        // Keys and buttons let go of while another window has the focus send nothing here.
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            let_go_of_everything();
        break;
    case SDL_MOUSEMOTION:
        host_mouse_moved(e.motion.xrel, e.motion.yrel);
        break;
    case SDL_MOUSEWHEEL:
        mouse_wheel_event(e.wheel);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        mouse_button_event(e.button);
        break;
    case SDL_JOYDEVICEADDED:
        if (controllers_started)
            open_pad(e.jdevice.which);
        break;
    case SDL_JOYDEVICEREMOVED:
        if (OpenPad* p = pad_of(e.jdevice.which))
            close_pad(p);
        break;
    case SDL_JOYAXISMOTION:
        report_pad(e.jaxis.which);
        break;
    case SDL_JOYHATMOTION:
        report_pad(e.jhat.which);
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        report_pad(e.jbutton.which);
        break;
    case SDL_CONTROLLERAXISMOTION:
        report_pad(e.caxis.which);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        report_pad(e.cbutton.which);
        break;
    default:
        break;
    }
}
