// sdl_pad_keys.h -- the first game controller pressed as the keys the game reads, as a player's
// mapping tool would: d-pad and left stick as the arrows, A as SPACE, X as LEFT SHIFT, Start as
// F2, Back as ESC.
#pragma once
#include <SDL.h>

// The environment variable that turns the mapping off when it reads 0, off, no or false.
constexpr const char* PAD_KEYS_VARIABLE = "VORLASH_GAMEPAD_KEYS";

// Lets go of every key the controller holds, then reads PAD_KEYS_VARIABLE: on unless it says off.
void pad_keys_configure();

// Presses and lets go of keys to match `controller` as it is now; null (no game controller left)
// lets go of everything. Does nothing while the mapping is off.
void pad_keys_update(SDL_GameController* controller);
