// window.cpp -- window classes, windows and the thread's message queue, as Win32 keeps them.
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "host.h"
#include "host_reports.h"
#include "internal.h"

struct WindowClass {
    std::string name;
    WNDPROC proc;
};

// The handle is the record's address; a destroyed window keeps its record (never reused), so a
// stale handle is recognised rather than dereferenced into freed memory.
struct Window {
    HWND__ handle_storage;  // what an HWND points at
    WNDPROC proc;
    RECT rect;
    bool alive;
    bool needs_paint;
};

static std::vector<WindowClass> classes;
static std::vector<std::unique_ptr<Window>> windows;
static std::deque<MSG> queue;
static bool quit_posted = false;
static int quit_code = 0;
static int cursor_count = 0;
static bool focused = true;

// Stock objects and icons are never drawn here; they only need distinct, non-null handles.
static HICON__ application_icon;
static HICON__ arrow_cursor;
static int stock_objects[6];

// ---- helpers ----

static Window* window_of(HWND handle)
{
    for (auto& w : windows)
        if (&w->handle_storage == handle)
            return w->alive ? w.get() : nullptr;
    return nullptr;
}

static HWND handle_of(Window* w) { return &w->handle_storage; }

static bool message_matches(const MSG& m, HWND filter, UINT min, UINT max)
{
    if (filter && m.hwnd != filter)
        return false;
    if (min == 0 && max == 0)
        return true;
    return m.message >= min && m.message <= max;
}

static MSG make_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    MSG m{};
    m.hwnd = window;
    m.message = message;
    m.wParam = wparam;
    m.lParam = lparam;
    m.time = GetTickCount();
    return m;
}

void windows_process_end()
{
    classes.clear();
    windows.clear();
    queue.clear();
    quit_posted = false;
    quit_code = 0;
    cursor_count = 0;
    focused = true;
}

HWND window_first_live()
{
    for (auto& w : windows)
        if (w->alive)
            return handle_of(w.get());
    return nullptr;
}

// ---- classes and windows ----

ATOM WINAPI RegisterClassA(const WNDCLASSA* wc)
{
    if (FAILED(fault_check("RegisterClassA")))
        return 0;
    if (!wc || !wc->lpfnWndProc || !wc->lpszClassName)
        return 0;
    for (const WindowClass& c : classes)
        if (c.name == wc->lpszClassName)
            return 0;  // already registered
    classes.push_back({wc->lpszClassName, wc->lpfnWndProc});
    return static_cast<ATOM>(0xC000 + classes.size());
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y, int width,
                            int height, HWND, HMENU, HINSTANCE, LPVOID)
{
    if (FAILED(fault_check("CreateWindowExA")) || !class_name)
        return nullptr;
    const WindowClass* wc = nullptr;
    for (const WindowClass& c : classes)
        if (c.name == class_name)
            wc = &c;
    if (!wc)
        return nullptr;
    if ((style & WS_VISIBLE) && !host().open_window(width, height, window_name ? window_name : ""))
        return nullptr;

    windows.push_back(std::make_unique<Window>());
    Window* w = windows.back().get();
    w->proc = wc->proc;
    w->rect = {x, y, x + width, y + height};
    w->alive = true;
    w->needs_paint = (style & WS_VISIBLE) != 0;
    HWND handle = handle_of(w);
    if (w->proc(handle, WM_CREATE, 0, 0) == -1) {
        w->alive = false;  // creation refused by the window procedure
        host().close_window();
        return nullptr;
    }
    return handle;
}

BOOL WINAPI DestroyWindow(HWND handle)
{
    Window* w = window_of(handle);
    if (!w)
        return FALSE;
    w->proc(handle, WM_DESTROY, 0, 0);
    w->proc(handle, WM_NCDESTROY, 0, 0);
    w->alive = false;
    std::erase_if(queue, [handle](const MSG& m) { return m.hwnd == handle; });
    host().close_window();
    return TRUE;
}

BOOL WINAPI IsWindow(HWND handle) { return window_of(handle) != nullptr; }

BOOL WINAPI GetWindowRect(HWND handle, LPRECT rect)
{
    Window* w = window_of(handle);
    if (!w || !rect)
        return FALSE;
    *rect = w->rect;
    return TRUE;
}

// ---- the queue ----

// Win32 hands out WM_QUIT only once nothing else is queued, and WM_PAINT after that.
static bool take_message(LPMSG msg, HWND filter, UINT min, UINT max, bool remove)
{
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (!message_matches(*it, filter, min, max))
            continue;
        *msg = *it;
        if (remove)
            queue.erase(it);
        return true;
    }
    if (quit_posted && message_matches(make_message(nullptr, WM_QUIT, 0, 0), nullptr, min, max)) {
        *msg = make_message(nullptr, WM_QUIT, static_cast<WPARAM>(quit_code), 0);
        if (remove)
            quit_posted = false;
        return true;
    }
    for (auto& w : windows) {
        HWND handle = handle_of(w.get());
        if (w->alive && w->needs_paint && (!filter || filter == handle) &&
            message_matches(make_message(handle, WM_PAINT, 0, 0), nullptr, min, max)) {
            *msg = make_message(handle, WM_PAINT, 0, 0);  // stays until BeginPaint validates
            return true;
        }
    }
    return false;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND filter, UINT min, UINT max, UINT remove)
{
    if (!msg)
        return FALSE;
    host().pump_events();
    return take_message(msg, filter, min, max, (remove & PM_REMOVE) != 0) ? TRUE : FALSE;
}

// Character messages are never needed: keys are read through the input devices.
BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }

LRESULT WINAPI DispatchMessageA(const MSG* msg)
{
    if (!msg)
        return 0;
    Window* w = window_of(msg->hwnd);
    if (!w)
        return 0;
    return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI PostMessageA(HWND handle, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (FAILED(fault_check("PostMessageA")))
        return FALSE;
    if (handle && !window_of(handle))
        return FALSE;
    queue.push_back(make_message(handle, message, wparam, lparam));
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND handle, UINT message, WPARAM wparam, LPARAM lparam)
{
    Window* w = window_of(handle);
    return w ? w->proc(handle, message, wparam, lparam) : 0;
}

void WINAPI PostQuitMessage(int exit_code)
{
    quit_posted = true;
    quit_code = exit_code;
}

LRESULT WINAPI DefWindowProcA(HWND handle, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(handle);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(handle, &ps);
        EndPaint(handle, &ps);
        return 0;
    }
    default:
        return 0;
    }
}

// ---- painting, icons, cursors, stock objects ----

HDC WINAPI BeginPaint(HWND handle, LPPAINTSTRUCT paint)
{
    Window* w = window_of(handle);
    if (!w || !paint)
        return nullptr;
    std::memset(paint, 0, sizeof *paint);
    paint->rcPaint = {0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    w->needs_paint = false;
    // The display layer owns the screen; a window DC has nothing to draw into.
    static HDC__ window_dc;
    paint->hdc = &window_dc;
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND handle, const PAINTSTRUCT*) { return window_of(handle) ? TRUE : FALSE; }

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) { return &application_icon; }
HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR) { return &arrow_cursor; }

HGDIOBJ WINAPI GetStockObject(int object)
{
    if (object < 0 || object >= static_cast<int>(std::size(stock_objects)))
        return nullptr;
    return &stock_objects[object];
}

int WINAPI ShowCursor(BOOL show)
{
    cursor_count += show ? 1 : -1;
    host().show_cursor(cursor_count >= 0);
    return cursor_count;
}

// ---- message boxes ----

// No dialog on this side: the text goes to standard error, where a console program's user reads it,
// and the box counts as answered at once.
int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT)
{
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "Error", text ? text : "");
    return IDOK;
}

// ---- what the hosts report ----

BOOL host_post_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    HWND handle = window_first_live();
    if (!handle)
        return FALSE;
    queue.push_back(make_message(handle, message, wparam, lparam));
    return TRUE;
}

void host_focus_changed(bool has_focus) { focused = has_focus; }
bool window_has_focus() { return focused; }
