// shell.h -- the application shell: process entry, the window, the frame loop and FrameClock.
// The shell calls the game only through game_init, game_frame and game_shutdown.
#pragma once
#include <windows.h>

#include <cstdint>

// ---- process-wide handles, set by WinMain before game_init and never changed after ----
extern HWND main_window;          // the game window: devices bind to it, the game posts to it
extern HINSTANCE main_instance;   // the process instance given to WinMain

// ---- entry ----
// WinMain (declared by <windows.h>): registers "WINXCLASS", opens the window, runs game_init, then
// one message (at most) and one game_frame per turn until WM_QUIT; returns the quit code, or 0
// when the class or the window cannot be made (the game is then never started).
LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// ---- FrameClock: milliseconds from the system tick count, in wrapping 32-bit arithmetic ----
extern uint32_t clock_start_tick;  // the tick of the last clock_start; 0 before the first
uint32_t clock_read();             // the current tick count
uint32_t clock_start();            // marks now in clock_start_tick and returns it
uint32_t clock_wait(uint32_t ms);  // spins until ms have passed since clock_start; returns now

// ---- the game's entry points (the game defines them; each returns 1, the shell ignores it) ----
int game_init(void* params);
int game_frame(void* params);
int game_shutdown(void* params);
