// mouse.cpp -- the mouse: a small paint program. The mouse reports motion, not a place, so the
// program adds the motion up into a pointer of its own; the left button paints lines into a canvas
// image, each new stroke in the next colour; the wheel picks a colour too; the right button clears
// the canvas. The canvas is drawn into the locked back buffer each frame, the pointer over it.
#include <algorithm>
#include <cstring>

#include "display.h"
#include "input.h"
#include "skeleton.h"

// ---- constants ----
static constexpr int WHITE = 1, GREY = 2;
static constexpr int PAINT_FIRST = 16, PAINTS = 8;  // entries 16 … 23: the paints
static constexpr int WHEEL_NOTCH = 120;             // mouse_state.lZ moves this much a notch

// ---- globals ----
static BitmapImage canvas;
static int pointer_x = SCREEN_W / 2, pointer_y = SCREEN_H / 2;
static int paint = 0;  // 0 … PAINTS - 1
static int wheel = 0;  // the wheel's motion not yet turned into a whole notch

// ---- helpers ----

static void set_palette()
{
    const PALETTEENTRY plain[] = {{255, 255, 255, 0}, {70, 70, 80, 0}};
    const PALETTEENTRY paints[PAINTS] = {{255, 64, 64, 0},  {255, 160, 32, 0}, {255, 230, 60, 0}, {80, 230, 90, 0},
                                         {60, 200, 255, 0}, {90, 110, 255, 0}, {200, 90, 255, 0}, {255, 255, 255, 0}};
    palette_set_entry(WHITE, &plain[0]);
    palette_set_entry(GREY, &plain[1]);
    for (int i = 0; i < PAINTS; ++i)
        palette_set_entry(PAINT_FIRST + i, &paints[i]);
}

// One read's worth of the mouse: move the pointer, paint or clear, turn the wheel into colours.
static void use_mouse(bool* was_down)
{
    const int old_x = pointer_x, old_y = pointer_y;
    pointer_x = std::clamp(pointer_x + static_cast<int>(mouse_state.lX), 0, SCREEN_W - 1);
    pointer_y = std::clamp(pointer_y + static_cast<int>(mouse_state.lY), 40, SCREEN_H - 1);
    const bool down = mouse_state.rgbButtons[0] & 0x80;  // 0 left, 1 right, 2 middle
    if (down && !*was_down)
        paint = (paint + 1) % PAINTS;  // a new stroke, a new colour
    if (down)  // three lines side by side make a thicker one; the canvas is the screen's size
        for (int d = -1; d <= 1; ++d)
            draw_line8(old_x + d, old_y, pointer_x + d, pointer_y, PAINT_FIRST + paint, canvas.pixels, canvas.width);
    *was_down = down;
    if (mouse_state.rgbButtons[1] & 0x80)
        std::memset(canvas.pixels, 0, static_cast<size_t>(canvas.num_bytes));
    wheel += static_cast<int>(mouse_state.lZ);
    for (; wheel >= WHEEL_NOTCH; wheel -= WHEEL_NOTCH)
        paint = (paint + 1) % PAINTS;
    for (; wheel <= -WHEEL_NOTCH; wheel += WHEEL_NOTCH)
        paint = (paint + PAINTS - 1) % PAINTS;
}

// The paints along the top, the one in use framed; the pointer as a small cross.
static void draw_tools()
{
    rect_fill(0, 0, SCREEN_W, 40, GREY, back_surface);
    for (int i = 0; i < PAINTS; ++i) {
        if (i == paint)
            rect_fill(8 + i * 36, 4, 40 + i * 36, 36, WHITE, back_surface);
        rect_fill(12 + i * 36, 8, 36 + i * 36, 32, PAINT_FIRST + i, back_surface);
    }
    text_draw("left: paint   right: clear   wheel: colour", 310, 12, RGB(255, 255, 255), back_surface);
    rect_fill(pointer_x - 6, pointer_y, pointer_x + 7, pointer_y + 1, WHITE, back_surface);
    rect_fill(pointer_x, pointer_y - 6, pointer_x + 1, pointer_y + 7, WHITE, back_surface);
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the display, the canvas (a zeroed image the screen's size), DirectInput and the mouse.
    if (!example_open_window(instance, "Vorlash example: the mouse") || !display_init(SCREEN_W, SCREEN_H, 8, 0) ||
        !image_create(&canvas, 0, 0, SCREEN_W, SCREEN_H, 8) || !input_init() || !mouse_init()) {
        mouse_release(), input_shutdown();
        image_destroy(&canvas);
        display_shutdown();
        return 1;
    }
    canvas.attr |= BITMAP_ATTR_LOADED;  // the draws take only loaded images: this one is painted instead
    set_palette();
    ShowCursor(FALSE);  // the program draws its own pointer

    // Loop: read the mouse, use what it says, draw the canvas and the tools, flip.
    bool was_down = false;
    while (example_running()) {
        if (mouse_read())
            use_mouse(&was_down);
        if (uint8_t* bits = back_lock()) {
            image_draw8(&canvas, bits, back_pitch, 0);
            back_unlock();
        }
        draw_tools();
        display_flip();
    }

    // Take down: the mouse, DirectInput, the canvas, the display.
    mouse_release();
    input_shutdown();
    image_destroy(&canvas);
    display_shutdown();
    return example_exit_code();
}
