// winmain_only.cpp -- a program of someone else's that brings only a WinMain, as on Windows: the
// installed entry supplies main(), which installs the SDL2 host and calls it.
#include <windows.h>

#include "services.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    main_instance = instance;
    return instance ? 0 : 1;  // the entry hands over an instance, as Windows does
}
