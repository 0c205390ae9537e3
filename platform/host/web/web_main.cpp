// web_main.cpp -- the program's entry in a page: installs the web host, runs WinMain, and tells the
// page when it has ended (the page then offers to play again).
#include <windows.h>

#include <unistd.h>

#include "web_host.h"
#include "web_page.h"

int main()
{
    // The program's files are in /game of the page's data; it runs there, as `make play` runs it in
    // build/assets.
    if (chdir("/game") != 0)
        return 1;
    static WebHost web;
    host_install(&web);
    static HINSTANCE__ instance;
    static char command_line[] = "";
    const int code = WinMain(&instance, nullptr, command_line, SW_SHOWNORMAL);
    web.close_audio();
    web.close_window();
    host_install(nullptr);
    web_page_ended(code);
    return code;
}
