/// @file
/// services.h -- the process-wide services: the window and instance handles every device binds to,
/// and the FrameClock. A leaf below the library: it includes only <windows.h> and calls only the SDK.
///
/// Layers, each including and calling only those below it:
///   shell/       process entry (WinMain), window procedure, message pump and frame loop
///   game/        the game: world, frame logic, one module per kind of thing
///   lib/         display, sprites, input, audio: the general-purpose 2D library
///   [services/]  this module: the handles set once by the entry, read by lib/ and game/
///   platform/    the SDK: the real one on Windows; on Linux our stand-in (platform/src) over a host
///                (platform/host: SDL2 or headless), the test hooks apart in platform/testing
/// Only the window procedure and the audio callback call upward; contract/ is a leaf beside them all.
#pragma once
#include <windows.h>

#include <cstdint>

/// @name Process-wide handles, set by WinMain before game_init and never changed after
//@{
extern HWND main_window;          ///< the game window: devices bind to it, the game posts to it
extern HINSTANCE main_instance;   ///< the process instance given to WinMain
//@}

/// @name FrameClock: milliseconds from the system tick count, in wrapping 32-bit arithmetic
//@{
extern uint32_t clock_start_tick;  ///< the tick of the last clock_start; 0 before the first
uint32_t clock_read();             ///< the current tick count
uint32_t clock_start();            ///< marks now in clock_start_tick and returns it
uint32_t clock_wait(uint32_t ms);  ///< spins until ms have passed since clock_start; returns now
//@}
