/// @file
/// input.h -- the input layer's chief header: the keyboard, and optionally the mouse and one game
/// controller, through DirectInput 8 in immediate mode. Each read copies a device's whole state into
/// its global below; the rest of the program looks at the globals. Operations are listed in the
/// order a caller uses them. Results: 1 success, 0 failure, unless stated.
///
/// Layers, each including and calling only those below it:
///   shell -> game -> [lib] -> services -> platform (the SDK) -> host -> system libraries
/// input/ binds its devices to the window handle in services.h, and calls nothing above lib/.
#pragma once
#define DIRECTINPUT_VERSION 0x0800  ///< DirectInput 8, for <dinput.h>
#include <windows.h>
#include <dinput.h>

/// @name Input globals (input.cpp); all zero or null until their init
//@{
extern LPDIRECTINPUT8A dinput;                ///< the DirectInput object
extern LPDIRECTINPUTDEVICE8A keyboard_device;  ///< the system keyboard; null until keyboard_init made it
extern LPDIRECTINPUTDEVICE8A mouse_device;     ///< the system mouse
extern LPDIRECTINPUTDEVICE8A joystick_device;  ///< the first attached game controller
extern unsigned char keyboard_state[256];      ///< by DIK_ code: 0x80 while down, 0 while up (any non-zero is down)
extern DIMOUSESTATE mouse_state;               ///< axes: relative motion since the previous read
extern DIJOYSTATE joystick_state;              ///< axes: absolute positions in the ranges joystick_init set
extern GUID joystick_guid;                     ///< instance GUID of the controller found; GUID_NULL until then
extern char joystick_name[80];                 ///< its product name, cut to 79 characters, NUL-terminated
extern int joystick_found;                     ///< 1 once joystick_init succeeded; joystick_read needs it
//@}

/// @name Failure reasons (input.cpp)
//@{
/// Why the layer's last init call failed, in a few plain words. The calls are input_init,
/// keyboard_init, mouse_init and joystick_init: "no game controller is attached", "the keyboard
/// cannot be acquired (error 0x80070005)". "" when that call succeeded; kept until the next of
/// those calls. Not for several threads.
const char* input_reason();
//@}

/// @name The DirectInput object
//@{
int input_init();       ///< creates `dinput` for main_instance; 1 on any non-negative result
void input_shutdown();  ///< releases `dinput` if any and nulls it; devices made from it live on
//@}

/// @name Keyboard: the only device the game uses
//@{
/// Create, level 10 on main_window, c_dfDIKeyboard, acquire; 0 at a failed step (what was made stays).
int keyboard_init();
int keyboard_read();      ///< 256 bytes into keyboard_state; no device: zero-fills, 0; read fails: 0, state untouched
void keyboard_release();  ///< unacquires and releases if made; a later read takes the no-device path
//@}

/// @name Mouse: the same, with c_dfDIMouse and mouse_state
//@{
int mouse_init();     ///< as keyboard_init
int mouse_read();     ///< as keyboard_read, into mouse_state
void mouse_release(); ///< as keyboard_release
//@}

/// @name Joystick
//@{
/// First attached controller, its level and c_dfDIJoystick, X/Y ranges and dead zone (percent,
/// clamped to 0 … 100); 0 when there is none, or a checked step failed.
int joystick_init(int min_x, int max_x, int min_y, int max_y, int dead_zone);
int joystick_read();      ///< needs joystick_found; no device: zero-fills, 0; Poll or read fails: 0, state untouched
void joystick_release();  ///< unacquires and releases if made; joystick_found stays
/// For EnumDevices: the GUID into *reference, the name into joystick_name; always DIENUM_STOP (first
/// controller wins).
BOOL CALLBACK joystick_enum_callback(LPCDIDEVICEINSTANCEA instance, LPVOID reference);
//@}
