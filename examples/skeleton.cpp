// skeleton.cpp -- the examples' window and message pump: the Win32 part every program on the
// library writes once, as the game's shell does.
#include "skeleton.h"

#include "services.h"

static const char WINDOW_CLASS[] = "VORLASHEXAMPLE";
static MSG quit_message{};

// The library draws the whole screen, so the window only has to end the loop when it goes.
static LRESULT CALLBACK example_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

int example_open_window(HINSTANCE instance, const char* title)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = example_window_proc;
    wc.hInstance = instance;
    wc.lpszClassName = WINDOW_CLASS;
    if (!RegisterClassA(&wc))
        return 0;
    // A borderless popup: the display takes the screen over at display_init.
    main_window = CreateWindowExA(0, WINDOW_CLASS, title, WS_POPUP | WS_VISIBLE, 0, 0, SCREEN_W, SCREEN_H, nullptr,
                                  nullptr, instance, nullptr);
    main_instance = instance;
    return main_window != nullptr;
}

int example_running()
{
    static bool closing = false;
    if (!closing && (GetAsyncKeyState(VK_ESCAPE) & 0x8000)) {
        closing = true;
        PostMessageA(main_window, WM_CLOSE, 0, 0);
    }
    MSG msg{};
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit_message = msg;
            return 0;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 1;
}

int example_exit_code() { return static_cast<int>(quit_message.wParam); }
