// input.cpp -- input: the keyboard, the mouse and the first game controller read through their
// devices once a frame and shown on screen: a cell per key code lit while the key is down, a
// pointer moved by the mouse's relative motion with its buttons, the stick's position and buttons.
// The controller is optional: without one the example says so and goes on.
#include <algorithm>
#include <cstdio>

#include "display.h"
#include "input.h"
#include "skeleton.h"

// ---- constants ----
static constexpr int DIM = 1, LIT = 2, WHITE = 3;         // the palette entries this program sets
static constexpr RECT MOUSE_PANEL = {340, 40, 620, 220};  // where the pointer moves
static constexpr RECT STICK_PANEL = {340, 270, 520, 450};  // the stick's range, -100 … 100 both ways

// ---- globals ----
static int pointer_x = 480, pointer_y = 130;

// ---- helpers ----

static void set_palette()
{
    const PALETTEENTRY colours[] = {{50, 54, 70, 0}, {255, 214, 64, 0}, {255, 255, 255, 0}};
    for (int i = 0; i < 3; ++i)
        palette_set_entry(DIM + i, &colours[i]);
}

// 256 key codes as a 16 × 16 grid of cells; a key held down lights its cell.
static void draw_keyboard()
{
    for (int code = 0; code < 256; ++code) {
        const int x = 20 + (code % 16) * 18, y = 60 + (code / 16) * 18;
        rect_fill(x, y, x + 16, y + 16, (keyboard_state[code] & 0x80) ? LIT : DIM, back_surface);
    }
    text_draw("keyboard: a cell per key code", 20, 36, RGB(255, 255, 255), back_surface);
}

// The mouse reports motion since the last read: the pointer adds it up and stays in its panel.
static void draw_mouse()
{
    const RECT& r = MOUSE_PANEL;
    pointer_x = std::clamp(pointer_x + static_cast<int>(mouse_state.lX), static_cast<int>(r.left), r.right - 8);
    pointer_y = std::clamp(pointer_y + static_cast<int>(mouse_state.lY), static_cast<int>(r.top), r.bottom - 8);
    rect_fill(r.left, r.top, r.right, r.bottom, DIM, back_surface);
    rect_fill(pointer_x, pointer_y, pointer_x + 8, pointer_y + 8, WHITE, back_surface);
    for (int b = 0; b < 3; ++b)
        rect_fill(r.left + b * 40, r.bottom + 8, r.left + b * 40 + 32, r.bottom + 24,
                  (mouse_state.rgbButtons[b] & 0x80) ? LIT : DIM, back_surface);
    text_draw("mouse: pointer and buttons", r.left, r.top - 24, RGB(255, 255, 255), back_surface);
}

// The stick's position in the ranges joystick_init set, and its first eight buttons.
static void draw_joystick()
{
    const RECT& r = STICK_PANEL;
    rect_fill(r.left, r.top, r.right, r.bottom, DIM, back_surface);
    if (!joystick_found) {
        text_draw("no game controller attached", r.left, r.top - 24, RGB(255, 255, 255), back_surface);
        return;
    }
    const int x = (r.left + r.right) / 2 + static_cast<int>(joystick_state.lX) * 80 / 100;
    const int y = (r.top + r.bottom) / 2 + static_cast<int>(joystick_state.lY) * 80 / 100;
    rect_fill(x - 5, y - 5, x + 5, y + 5, WHITE, back_surface);
    for (int b = 0; b < 8; ++b)
        rect_fill(r.right + 12, r.top + b * 22, r.right + 30, r.top + b * 22 + 18,
                  (joystick_state.rgbButtons[b] & 0x80) ? LIT : DIM, back_surface);
    char line[120];
    std::snprintf(line, sizeof line, "controller: %s", joystick_name);
    text_draw(line, r.left, r.top - 24, RGB(255, 255, 255), back_surface);
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the display, then DirectInput and its devices, each bound to main_window.
    if (!example_open_window(instance, "Vorlash example: input") || !display_init(SCREEN_W, SCREEN_H, 8, 0) ||
        !input_init() || !keyboard_init() || !mouse_init()) {
        std::fprintf(stderr, "input: %s\n", input_reason());  // why the last init failed, or ""
        mouse_release(), keyboard_release(), input_shutdown();
        display_shutdown();
        return 1;
    }
    set_palette();
    joystick_init(-100, 100, -100, 100, 10);  // 10 % of dead zone about the centre
    ShowCursor(FALSE);  // the example draws its own pointer

    // Loop: read every device, then show what each one holds.
    while (example_running()) {
        keyboard_read();
        mouse_read();
        if (joystick_found)
            joystick_read();
        surface_fill(back_surface, 0, nullptr);
        draw_keyboard();
        draw_mouse();
        draw_joystick();
        text_draw("ESC ends the example", 20, 440, RGB(128, 128, 136), back_surface);
        display_flip();
    }

    // Take down: the devices, then DirectInput, then the display.
    joystick_release(), mouse_release(), keyboard_release();
    input_shutdown();
    display_shutdown();
    return example_exit_code();
}
