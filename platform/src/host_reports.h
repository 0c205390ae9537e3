// host_reports.h -- what a host reports about the machine, as a system reports it to a program: the
// stand-in (platform/src) implements every function here, and the hosts call them. Calls go down
// through the Host interface (platform/host/host.h); this is the one way back up, as the window
// procedure and the audio callback are on a real system. Out-of-range values are ignored or
// clamped, never trusted.
#pragma once
#include <cstdint>

// ---- the process (machine.cpp) ----
// The program has returned from WinMain: what the system frees when a process ends goes, as it
// would (windows and their classes, the message queue, open files, the display's exclusive mode,
// sound voices, COM's start-up count). The machine and what its devices hold stay as they are.
void host_process_ended();

// ---- windows (window.cpp) ----
// A message posted to the program's window, as the system does on a close request; false when no
// window is open.
int host_post_message(unsigned message, uintptr_t wparam = 0, intptr_t lparam = 0);
// The window lost or regained the input focus (devices read keys and buttons as up without it).
void host_focus_changed(bool focused);

// ---- keys (keys.cpp) ----
// A key, named by its DirectInput key code (0 … 255), went down or up.
void host_key_changed(int key_code, bool down);
// A game controller mapped onto keys holds a key or lets go of it. A key is down while the keyboard
// or the controller holds it; neither lets go of what the other still holds.
void host_controller_key_changed(int key_code, bool down);

// ---- mouse (mouse.cpp) ----
// Buttons in the devices' order: 0 left, 1 right, 2 middle, 3 fourth.
constexpr int HOST_MOUSE_BUTTONS = 4;
void host_mouse_moved(int dx, int dy);  // relative motion in pixels, right and down positive
void host_mouse_wheel(int notches);     // positive away from the user
void host_mouse_button(int button, bool down);

// ---- game controllers (controllers.cpp) ----
enum HostAxis {
    HOST_AXIS_X,  // main stick: left -, right +
    HOST_AXIS_Y,  // main stick: up -, down +
    HOST_AXIS_Z,
    HOST_AXIS_RX,
    HOST_AXIS_RY,
    HOST_AXIS_RZ,
    HOST_AXIS_SLIDER0,
    HOST_AXIS_SLIDER1,
    HOST_AXES
};
constexpr int HOST_AXIS_MIN = -32768;  // raw axis positions; 0 is the centre
constexpr int HOST_AXIS_MAX = 32767;
constexpr int HOST_POVS = 4;
constexpr uint32_t HOST_POV_CENTRED = 0xFFFFFFFF;  // else hundredths of a degree clockwise from up, < 36000
constexpr int HOST_BUTTONS = 32;
constexpr int HOST_CONTROLLERS = 16;  // attached at once

// A controller plugged in (after any already attached, in enumeration order), centred with nothing
// pressed: its id (> 0), or 0 when HOST_CONTROLLERS are attached already. A null name reads "".
int host_controller_attached(const char* name, bool gamepad);
void host_controller_detached(int id);  // devices made for it report their input lost
void host_controller_axis(int id, int axis, int position);  // clamped to HOST_AXIS_MIN … HOST_AXIS_MAX
void host_controller_button(int id, int button, bool down);
void host_controller_pov(int id, int pov, uint32_t hundredths);  // anything else than a direction is centred

// ---- sound (mixer.cpp) ----
// For the hosts' audio devices, on their own thread: the mixer's next `frames` stereo frames.
void host_audio_render(int16_t* samples, int frames);
