// shell.h -- the application shell: process entry, the window procedure and the frame loop.
// The top layer: it sets the process-wide handles (services.h) and calls the game only through
// game_init, game_frame and game_shutdown (game.h). Nothing below includes this header.
//
// Layers, each including and calling only those below it:
//   [shell] -> game -> lib -> services -> platform (the SDK) -> host -> system libraries
// The window procedure is the one call upward, made by the system.
#pragma once
#include <windows.h>

#include "game.h"
#include "services.h"

// ---- entry ----
// WinMain (declared by <windows.h>): registers "WINXCLASS", opens the window, runs game_init, then
// one message (at most) and one game_frame per turn until WM_QUIT; returns the quit code, or 0
// when the class or the window cannot be made (the game is then never started).
LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
