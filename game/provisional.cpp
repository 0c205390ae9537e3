// provisional.cpp -- the smallest game the shell can run until the real one exists: a black
// full-screen display, cleared and flipped every frame; ESC ends the program.
#include "display.h"
#include "shell.h"

int game_init(void*)
{
    display_init(640, 480, 8, 0);
    return 1;
}

int game_frame(void*)
{
    surface_fill(back_surface, 0, nullptr);
    display_flip();
    if (GetAsyncKeyState(VK_ESCAPE) & 0x8000)
        PostMessageA(main_window, WM_DESTROY, 0, 0);
    return 1;
}

int game_shutdown(void*)
{
    display_shutdown();
    return 1;
}
