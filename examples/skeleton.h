// skeleton.h -- what every example shares around the library: the window the library's devices bind
// to, and the message pump whose quit message ends the loop. Part of the examples, not the library:
// copy skeleton.h and skeleton.cpp beside an example to build it on its own.
#pragma once
#include <windows.h>

constexpr int SCREEN_W = 640, SCREEN_H = 480;

// Registers a window class, opens a window titled `title` and stores it in main_window and
// main_instance, where the display, input and sound layers look for it; 0 when none can be made.
int example_open_window(HINSTANCE instance, const char* title);
// One turn of the pump: takes at most one waiting message and, while ESC is held, asks the window to
// close. 0 once the quit message has come (ESC, or the window closed by its owner).
int example_running();
int example_exit_code();  // the quit message's code, for WinMain to return
