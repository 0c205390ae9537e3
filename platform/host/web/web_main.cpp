// web_main.cpp -- the program's entry in a page: installs the web host, runs WinMain, and tells the
// page when it has ended (the page then offers to play again).
#include <windows.h>

#include <unistd.h>

#include "../../src/host_reports.h"
#include "web_host.h"
#include "web_page.h"

int main()
{
    // The program's files are in a folder of the page's data (/game, or /examples for the library's
    // examples); it runs there, as `make play` runs the game in build/assets.
    if (chdir(VORLASH_WEB_FOLDER) != 0)
        return 1;
    static WebHost web;
    host_install(&web);
    static HINSTANCE__ instance;
    static char command_line[] = "";
    const int code = WinMain(&instance, nullptr, command_line, SW_SHOWNORMAL);
    web.close_audio();
    host_process_ended();  // what the program left open goes before the host does
    web.close_window();
    host_install(nullptr);
    web_page_ended(code);
    return code;
}
