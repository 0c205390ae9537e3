// input.h -- the input layer's chief header: the keyboard, and optionally the mouse and one game
// controller, through DirectInput 8 in immediate mode. Each read copies a device's whole state into
// its global below; the rest of the program looks at the globals. Operations are listed in the
// order a caller uses them. Results: 1 success, 0 failure, unless stated.
//
// Layers, each including and calling only those below it:
//   shell -> game -> [lib] -> services -> platform (the SDK) -> host -> system libraries
// input/ binds its devices to the window handle in services.h, and calls nothing above lib/.
#pragma once
#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>

// ---- input globals (input.cpp); all zero or null until their init ----
extern LPDIRECTINPUT8A dinput;                // the DirectInput object
extern LPDIRECTINPUTDEVICE8A keyboard_device;  // the system keyboard; null until keyboard_init made it
extern LPDIRECTINPUTDEVICE8A mouse_device;     // the system mouse
extern LPDIRECTINPUTDEVICE8A joystick_device;  // the first attached game controller
extern unsigned char keyboard_state[256];      // by DIK_ code: 0x80 while down, 0 while up (any non-zero is down)
extern DIMOUSESTATE mouse_state;               // axes: relative motion since the previous read
extern DIJOYSTATE joystick_state;              // axes: absolute positions in the ranges joystick_init set
extern GUID joystick_guid;                     // instance GUID of the controller found; GUID_NULL until then
extern char joystick_name[80];                 // its product name, cut to 79 characters, NUL-terminated
extern int joystick_found;                     // 1 once joystick_init succeeded; joystick_read needs it

// ---- the DirectInput object ----
int input_init();       // creates `dinput` for main_instance; 1 on any non-negative result
void input_shutdown();  // releases `dinput` if any and nulls it; devices made from it live on

// ---- keyboard: the only device the game uses ----
int keyboard_init();      // create, level 10 on main_window, c_dfDIKeyboard, acquire; 0 at a failed step (made stays)
int keyboard_read();      // 256 bytes into keyboard_state; no device: zero-fills, 0; read fails: 0, state untouched
void keyboard_release();  // unacquires and releases if made; a later read takes the no-device path

// ---- mouse: the same, with c_dfDIMouse and mouse_state ----
int mouse_init();
int mouse_read();
void mouse_release();

// ---- joystick ----
// First attached controller, its level and c_dfDIJoystick, X/Y ranges and dead zone (percent, clamped to 0 … 100).
int joystick_init(int min_x, int max_x, int min_y, int max_y, int dead_zone);  // 0: none, or a checked step failed
int joystick_read();      // needs joystick_found; no device: zero-fills, 0; Poll or read fails: 0, state untouched
void joystick_release();  // unacquires and releases if made; joystick_found stays
// For EnumDevices: the GUID into *reference, the name into joystick_name; always DIENUM_STOP (first controller wins).
BOOL CALLBACK joystick_enum_callback(LPCDIDEVICEINSTANCEA instance, LPVOID reference);
