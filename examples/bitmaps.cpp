// bitmaps.cpp -- bitmaps and palettes: a .BMP file loaded whole and cut into images, the backdrop
// drawn into the locked back buffer and scrolled a pixel a frame, the UFO drawn over it with its
// key colour left out; the palette from the file, its lava ramp rotated so the seams glow, and two
// entries blinking on their own clocks.
#include <cstdio>

#include "asset_contract.h"
#include "display.h"
#include "skeleton.h"

// ---- constants ----
static constexpr int LAVA_FIRST = 16, LAVA_LAST = 47;  // the game palette's lava ramp
static constexpr int YELLOW = 10, PINK = 13;           // two single entries of the game palette

// ---- globals ----
static BitmapFile file;          // one load buffer, reused for every picture
static BitmapImage backdrop, ufo;

// ---- helpers ----

// A whole picture (mode 1: from the pixel corner 0, 0) or one cell of a sheet (mode 0) as an image.
static int image_from_file(BitmapImage* image, const char* name, int x, int y, int width, int height, int mode)
{
    return bitmap_load(&file, name) && image_create(image, x, y, width, height, 8) &&
           image_load8(image, &file, 0, 0, mode);
}

// Entry `index` switches between two colours: `on_frames` frames lit, as many dark.
static void blink(int index, PALETTEENTRY on, int on_frames)
{
    BlinkEntry entry = {index, on, {static_cast<BYTE>(on.peRed / 5), static_cast<BYTE>(on.peGreen / 5),
                                    static_cast<BYTE>(on.peBlue / 5), PC_NOCOLLAPSE}, on_frames, on_frames, 0, 1};
    palette_blink(PALETTE_BLINK_ADD, &entry, 0);
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: window and display, then the pictures; the backdrop's palette is the game palette.
    if (!example_open_window(instance, "Vorlash example: bitmaps and palettes") ||
        !display_init(SCREEN_W, SCREEN_H, 8, 0) ||
        !image_from_file(&ufo, UFO_SHEET.file, 280, 200, UFO_SHEET.cell_width, UFO_SHEET.cell_height, 0) ||
        !image_from_file(&backdrop, BACKDROP_FILE, 0, 0, SCREEN_W, SCREEN_H, 1)) {
        display_shutdown();
        return 1;
    }
    palette_set_all(file.palette);
    blink(YELLOW, {255, 214, 64, PC_NOCOLLAPSE}, 20);
    blink(PINK, {255, 120, 200, PC_NOCOLLAPSE}, 45);

    // Loop: move the pictures, draw them into the locked back buffer, then the palette's turn.
    for (int frame = 0; example_running(); ++frame) {
        image_scroll(&backdrop, 1, 0);  // rows rotate one pixel to the right, wrapping around
        ufo.x = 40 + (frame * 2) % (SCREEN_W - 160);  // images draw only when wholly on the screen
        ufo.y = 200 + (frame % 120 < 60 ? frame % 60 : 60 - frame % 60);
        if (uint8_t* bits = back_lock()) {
            image_draw8(&backdrop, bits, back_pitch, 0);
            image_draw8(&ufo, bits, back_pitch, 1);  // 1: pixels of value 0 leave the backdrop showing
            back_unlock();
        }
        rect_fill(40, 400, 140, 440, YELLOW, back_surface);
        rect_fill(500, 400, 600, 440, PINK, back_surface);
        char line[64];
        std::snprintf(line, sizeof line, "frame %d: lava entries %d-%d rotating", frame, LAVA_FIRST, LAVA_LAST);
        text_draw(line, 10, 10, RGB(255, 255, 255), back_surface);
        if (frame % 4 == 0)
            palette_rotate(LAVA_FIRST, LAVA_LAST);
        palette_blink(PALETTE_BLINK_RUN, nullptr, 0);
        display_flip();
    }

    // Take down: the images and the file's buffer, then the display.
    image_destroy(&ufo);
    image_destroy(&backdrop);
    bitmap_unload(&file);
    display_shutdown();
    return example_exit_code();
}
