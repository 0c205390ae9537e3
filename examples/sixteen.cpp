// sixteen.cpp -- a 16-bit display: 65536 colours with no palette, each pixel its own red, green and
// blue packed into 16 bits (5.6.5, or 5.5.5 on some cards: rgb16 packs for the display in use). A
// 24-bit picture read in the display's own format and drawn as an image; the UFO as a 16-bit sprite,
// with a far-off copy drawn at half size; and a panel of software drawing at 16 bits: a gradient
// filled a row at a time, a triangle and a polygon filled and outlined, lines cut to the panel,
// spans and pixels, and a colour scan that lights a bar while the triangle passes a strip. Files: dusk24.bmp
// (640 × 480) and ufo24.bmp (one 80 × 55 cell with one-pixel borders, black around the UFO), both
// 24-bit; run it in the folder that holds them.
#include <cmath>
#include <cstdio>

#include "display.h"
#include "skeleton.h"
#include "sprites.h"

// ---- constants ----
static constexpr int UFO_W = 80, UFO_H = 55;
static constexpr RECT PANEL = {20, 250, 320, 460};  // the software-drawing panel
static constexpr RECT SCANNED = {160, 251, 200, 459};  // the colour scan looks for yellow in here
static constexpr RECT SENSOR = {330, 250, 346, 460};   // and lights this bar when it finds some

// ---- globals ----
static BitmapFile file;
static BitmapImage dusk;
static Sprite ufo, far_ufo;
static int yellow, cyan, white;  // colours packed once the display's format is known

// ---- helpers ----

static int set_up()
{
    // Colours: rgb16 is rgb16_565 or rgb16_555, whichever the display's pixel format asks for.
    yellow = rgb16(255, 220, 0), cyan = rgb16(0, 220, 255), white = rgb16(255, 255, 255);
    // A 24-bit file loads as 16-bit pixels in the display's format: after display_init, then.
    if (!bitmap_load(&file, "dusk24.bmp") || !image_create(&dusk, 0, 0, SCREEN_W, SCREEN_H, 16) ||
        !image_load16(&dusk, &file, 0, 0, 1))
        return 0;
    // The sprite: frame surfaces of 16 bits, key colour 0 (black), from cell (0, 0) of ufo24.bmp.
    if (!bitmap_load(&file, "ufo24.bmp") ||
        !sprite_create(&ufo, 400, 60, UFO_W, UFO_H, 1, SPRITE_ATTR_VISIBLE | SPRITE_ATTR_SINGLE_FRAME | SPRITE_ATTR_BOUNCE,
                       DDSCAPS_SYSTEMMEMORY, 0, 16) ||
        !sprite_load_frame16(&ufo, &file, 0, 0, 0, 0))
        return 0;
    bitmap_unload(&file);
    sprite_set_velocity(&ufo, 3, 2);
    sprite_copy(&ufo, &far_ufo);  // shares the UFO's surface; moves on its own
    sprite_set_position(&far_ufo, 100, 40);
    sprite_set_velocity(&far_ufo, -1, 0);
    return 1;
}

// The panel: every row of the gradient one call of fill_words16, then shapes over it.
static void draw_panel(int frame, uint16_t* bits, int pitch)
{
    const int words = pitch / 2;  // pitch is in bytes; a row holds pitch / 2 pixels
    for (int y = PANEL.top; y < PANEL.bottom; ++y) {
        const int t = (y - PANEL.top) * 255 / (PANEL.bottom - PANEL.top);
        fill_words16(bits + y * words + PANEL.left, rgb16(t / 3, 40 + t / 2, 255 - t / 2), PANEL.right - PANEL.left);
    }
    const float a = static_cast<float>(frame) * 0.04f;
    const int cx = 110, cy = 355;  // a triangle turning about (cx, cy)
    auto corner = [&](int i, int* x, int* y) {
        *x = cx + static_cast<int>(70 * std::cos(a + 2.094f * static_cast<float>(i)));
        *y = cy + static_cast<int>(70 * std::sin(a + 2.094f * static_cast<float>(i)));
    };
    int x[3], y[3];
    for (int i = 0; i < 3; ++i)
        corner(i, &x[i], &y[i]);
    triangle_fill16(x[0], y[0], x[1], y[1], x[2], y[2], yellow, bits, pitch);

    static Vertex hexagon[6];  // a hexagon sliding right and back: filled, then outlined
    for (int i = 0; i < 6; ++i)
        hexagon[i] = {36 * std::cos(1.0472f * static_cast<float>(i)), 36 * std::sin(1.0472f * static_cast<float>(i))};
    struct Polygon shape = {1, 6, 240 + static_cast<int>(30 * std::sin(a)), 330, cyan, hexagon};
    polygon_fill16(&shape, bits, pitch);
    shape.color = white;
    polygon_draw16(&shape, bits, pitch);

    // Spokes out to far beyond the screen, cut to the panel: the clip rectangle, inclusive.
    clip_min_x = PANEL.left, clip_min_y = PANEL.top, clip_max_x = PANEL.right - 1, clip_max_y = PANEL.bottom - 1;
    for (int i = 0; i < 12; ++i)
        draw_line16(250, 420, 250 + static_cast<int>(9000 * std::cos(a + 0.52f * static_cast<float>(i))),
                    420 + static_cast<int>(9000 * std::sin(a + 0.52f * static_cast<float>(i))), rgb16(255, 120, 0),
                    bits, pitch);
    clip_min_x = 0, clip_min_y = 0, clip_max_x = SCREEN_W - 1, clip_max_y = SCREEN_H - 1;
    line16(PANEL.left + 4, PANEL.bottom - 4, PANEL.left + 100, PANEL.bottom - 60, white, bits, pitch);  // unclipped
    hline16(PANEL.left, PANEL.right - 1, PANEL.top, white, bits, pitch);
    hline16(PANEL.left, PANEL.right - 1, PANEL.bottom - 1, white, bits, pitch);
    vline16(PANEL.top, PANEL.bottom - 1, PANEL.left, white, bits, pitch);
    vline16(PANEL.top, PANEL.bottom - 1, PANEL.right - 1, white, bits, pitch);
    vline16(PANEL.top, PANEL.bottom - 1, SCANNED.left - 1, rgb16(128, 128, 128), bits, pitch);  // the strip
    vline16(PANEL.top, PANEL.bottom - 1, SCANNED.right + 1, rgb16(128, 128, 128), bits, pitch);
    for (int i = 0; i < 40; ++i)  // sparkles
        plot_pixel16(PANEL.left + (i * 53 + frame * 3) % 290, PANEL.top + (i * 97) % 200, white, bits, pitch);
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the display at 16 bits a pixel, then the picture and the sprites.
    if (!example_open_window(instance, "Vorlash example: a 16-bit display") ||
        !display_init(SCREEN_W, SCREEN_H, 16, 0) || !set_up()) {
        sprite_destroy(&ufo);
        bitmap_unload(&file);
        display_shutdown();
        return 1;
    }

    // Loop: move, draw the picture and the panel into the locked buffer, blit the sprites, flip.
    for (int frame = 0; example_running(); ++frame) {
        sprite_move(&ufo), sprite_move(&far_ufo);
        int seen = 0;
        if (uint8_t* bytes = back_lock()) {
            uint16_t* bits = reinterpret_cast<uint16_t*>(bytes);
            image_draw16(&dusk, bits, back_pitch, 0);
            draw_panel(frame, bits, back_pitch);
            // Is the triangle's yellow anywhere in the strip? (A second colour could be asked for too.)
            seen = color_scan16(SCANNED.left, SCANNED.top, SCANNED.right, SCANNED.bottom, yellow, yellow, bits,
                                back_pitch);
            back_unlock();
        }
        rect_fill(SENSOR.left, SENSOR.top, SENSOR.right, SENSOR.bottom, seen ? yellow : rgb16(60, 60, 60), back_surface);
        sprite_draw_scaled16(&far_ufo, UFO_W / 2, UFO_H / 2, back_surface);  // far off, so half size
        sprite_draw16(&ufo, back_surface);

        char line[96];
        std::snprintf(line, sizeof line, "pixel format %d: white is %04X as 5.6.5, %04X as 5.5.5", pixel_format,
                      rgb16_565(255, 255, 255), rgb16_555(255, 255, 255));
        text_draw(line, 10, 10, RGB(255, 255, 255), back_surface);
        text_draw(seen ? "colour scan: yellow in the strip" : "colour scan: clear", 350, 440,
                  RGB(255, 255, 255), back_surface);
        display_flip();
    }

    // Take down: the sprite (its copy only shares its surface), the image, the display.
    sprite_destroy(&far_ufo), sprite_destroy(&ufo);
    image_destroy(&dusk);
    display_shutdown();
    return example_exit_code();
}
