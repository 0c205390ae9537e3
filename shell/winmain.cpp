// winmain.cpp -- the process entry: window class, window, and the never-blocking message-and-frame
// loop. Each turn takes at most one message, then runs exactly one frame, held to the 60 Hz grid.
#include "frame_pacer.h"
#include "shell.h"

static const char WINDOW_CLASS[] = "WINXCLASS";
static const char WINDOW_TITLE[] = "Vorlash";

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_PAINT: {
        // The display layer owns the screen; painting only validates the window.
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

static bool register_window_class(HINSTANCE instance)
{
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC | CS_DBLCLKS;
    wc.lpfnWndProc = window_proc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = WINDOW_CLASS;
    return RegisterClassA(&wc) != 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (!register_window_class(instance))
        return 0;
    // The size does not matter: the display takes the screen over in game_init.
    HWND window = CreateWindowExA(0, WINDOW_CLASS, WINDOW_TITLE, WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr,
                                  nullptr, instance, nullptr);
    if (!window)
        return 0;
    main_window = window;
    main_instance = instance;

    pacer_begin();
    game_init(nullptr);
    MSG msg{};
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        game_frame(nullptr);
        pacer_wait();
    }
    game_shutdown(nullptr);
    pacer_end();
    return static_cast<int>(msg.wParam);
}
