// sdl_input.h -- the SDL2 host's input: physical keys through the scancode table, the mouse, and
// game controllers and joysticks with hot-plug, all reported to the stand-in's input devices.
#pragma once
#include <SDL.h>

// The DirectInput key code (DIK_) of an SDL scancode, or 0 when the key has none or the number is
// not a scancode.
int sdl_scancode_to_dik(int scancode);

// Starts SDL's controller support and attaches every controller plugged in now, so they can be
// enumerated before any event is pumped; from then on the first game controller presses keys
// unless VORLASH_GAMEPAD_KEYS turns that off (sdl_pad_keys.h). False (and no controllers) when SDL
// cannot.
bool sdl_input_open();
void sdl_input_close();  // detaches and closes every controller, letting go of the keys it held

// Feeds one event to the devices: keys, mouse, controllers plugged, unplugged or moved, and a focus
// loss (which lets go of every key and button). Other events are ignored.
void sdl_input_event(const SDL_Event& event);
