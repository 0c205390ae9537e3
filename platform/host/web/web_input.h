// web_input.h -- the page's keys and gamepads as the game reads them: KeyboardEvent.code (the
// physical key, whatever the layout) to DirectInput key codes, and the first standard gamepad as
// keys, the way the SDL2 host maps a controller (sdl_pad_keys.h): d-pad and left stick as the
// arrows, A as SPACE, X as LEFT SHIFT, Start as F2, Back as ESC.
#pragma once

// Tells the page every KeyboardEvent.code that has a DirectInput key code.
void web_keys_register();

// Presses and lets go of keys to match the first gamepad as it is now (none: lets go of all).
void web_pad_update();
