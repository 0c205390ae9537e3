// main.cpp -- the program's process entry on the stand-in: installs the SDL2 host, runs WinMain.
#include <windows.h>

#include <cstdio>
#include <string>

#include "../../src/host_reports.h"
#include "sdl_host.h"

int main(int argc, char** argv)
{
    // Never destroyed: when the display goes away, the X library's error handler calls exit(),
    // and a destructor closing the window then would call back into the dead connection and hang.
    // A normal end closes the window below.
    SdlHost& sdl = *new SdlHost;
    host_install(&sdl);

    std::string command_line;
    for (int i = 1; i < argc; ++i)
        command_line += (i > 1 ? " " : "") + std::string(argv[i]);
    static HINSTANCE__ instance;
    const int code = WinMain(&instance, nullptr, command_line.data(), SW_SHOWNORMAL);
    sdl.close_audio();    // the device's thread stops before anything it reads is torn down
    host_process_ended();  // what the program left open goes before the host does

    if (sdl.window_failed()) {
        std::fprintf(stderr, "vorlash: cannot open a window: %s\n", sdl.reason());
        return 1;
    }
    sdl.close_window();
    host_install(nullptr);
    return code;
}
