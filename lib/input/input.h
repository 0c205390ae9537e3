// input.h -- the input layer's chief header: the keyboard, and optionally the mouse and one game
// controller, through DirectInput 8 in immediate mode. Each read copies a device's whole state into
// its global below; the rest of the program looks at the globals. Operations are listed in the
// order a caller uses them. Results: 1 success, 0 failure, unless stated.
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
void input_shutdown();  // releases `dinput` if any and nulls it; devices keep their own references

// ---- keyboard (the only device the game uses) ----
// Creates, sets the background non-exclusive level on main_window and c_dfDIKeyboard, acquires.
// 0 at the first failing step, or without `dinput`; what was made stays in keyboard_device.
int keyboard_init();
// All 256 bytes into keyboard_state. No device: zero-fills it, 0. A failed read: 0, state untouched.
int keyboard_read();
void keyboard_release();  // unacquires and releases if made; a later read takes the no-device path

// ---- mouse: the same steps with c_dfDIMouse and mouse_state (16 bytes) ----
int mouse_init();
int mouse_read();
void mouse_release();

// ---- joystick ----
// Finds the first attached game controller, creates it, sets the level and c_dfDIJoystick, sets the
// X and Y ranges and their dead zone (dead_zone in percent, 0 … 100, outside which it is clamped),
// acquires and sets joystick_found. 0 when no controller is attached or a checked step fails;
// the four property results are not checked.
int joystick_init(int min_x, int max_x, int min_y, int max_y, int dead_zone);
// Before a successful joystick_init: 0, touching nothing. No device: zero-fills joystick_state, 0.
// Otherwise polls and reads all 80 bytes; 0 if either fails, leaving joystick_state untouched.
int joystick_read();
void joystick_release();  // unacquires and releases if made; joystick_found stays
// For EnumDevices: copies the instance GUID into the GUID `reference` points at and the product
// name into joystick_name, then stops the enumeration (DIENUM_STOP) at this first controller.
BOOL CALLBACK joystick_enum_callback(LPCDIDEVICEINSTANCEA instance, LPVOID reference);
