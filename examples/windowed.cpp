// windowed.cpp -- a windowed display, and surfaces of your own: the display does not take the screen
// over: the primary is the window's part of the desktop (window_clipper keeps drawing inside it),
// the back buffer is an off-screen surface, and display_flip copies it into the window. Beside it,
// an off-screen "view" surface with a clipper of two rectangles: UFOs blitted across it show only
// through those two portholes, with lines drawn into the locked view, and the whole view then
// blitted onto the back buffer with its key colour left out. The UFO's surface is filled straight
// from a cell of its sheet. File: ufo.bmp (one 80 × 55 cell with one-pixel borders); run it in the
// folder that holds it. The display in a window takes the desktop's depth: 8 bits here.
#include <cstdio>

#include "display.h"
#include "skeleton.h"
#include "sprites.h"

// ---- constants ----
static constexpr int UFO_W = 80, UFO_H = 55;
static RECT PORTHOLES[2] = {{40, 60, 300, 300}, {340, 140, 600, 420}};
static constexpr int GREY = 3, BLUE = 108, STEEL = 90;  // entries of ufo.bmp's palette

// ---- globals ----
static LPDIRECTDRAWSURFACE7 ufo_surface, view;
static LPDIRECTDRAWCLIPPER portholes;

// ---- helpers ----

static int set_up()
{
    BitmapFile file{};
    const int loaded = bitmap_load(&file, "ufo.bmp");
    if (loaded)
        palette_set_all(file.palette);
    // A surface the size of one cell, its key colour 0, filled from cell (0, 0) of the sheet.
    ufo_surface = loaded ? surface_create(UFO_W, UFO_H, DDSCAPS_SYSTEMMEMORY, 0) : nullptr;
    const int filled = ufo_surface && surface_load_cell(&file, ufo_surface, 0, 0);
    bitmap_unload(&file);
    // The view: a screen-sized surface, cleared to its key colour while nothing clips it yet, whose
    // blits and fills are from then on clipped to the two portholes.
    view = surface_create(SCREEN_W, SCREEN_H, DDSCAPS_SYSTEMMEMORY, 0);
    if (view)
        surface_fill(view, 0, nullptr);
    portholes = view ? clipper_attach(view, 2, PORTHOLES) : nullptr;
    return filled && portholes;
}

// Into the locked view: slanting lines. A clipper clips blits, not software drawing, which the clip
// rectangle cuts instead: set to each porthole in turn (inclusive), then back to the whole screen.
static void draw_lines(int frame)
{
    int pitch = 0;
    if (uint8_t* bits = surface_lock(view, &pitch)) {
        for (const RECT& hole : PORTHOLES) {
            clip_min_x = hole.left, clip_min_y = hole.top, clip_max_x = hole.right - 1, clip_max_y = hole.bottom - 1;
            for (int x = frame % 40 - 160; x < SCREEN_W; x += 40)
                draw_line8(x, 0, x + 120, SCREEN_H - 1, STEEL, bits, pitch);
        }
        clip_min_x = 0, clip_min_y = 0, clip_max_x = SCREEN_W - 1, clip_max_y = SCREEN_H - 1;
        surface_unlock(view);
    }
}

// The portholes' backgrounds (a fill of the whole view, clipped to them), lines, then UFOs in rows
// sliding across the view: only the parts inside a porthole are drawn.
static void draw_view(int frame)
{
    surface_fill(view, BLUE, nullptr);
    draw_lines(frame);
    for (int row = 0; row < 5; ++row) {
        for (int i = 0; i < 6; ++i) {
            const int x = (frame * (row + 1) + i * 130) % (SCREEN_W + UFO_W) - UFO_W;
            RECT to = {x, 40 + row * 80, x + UFO_W, 40 + row * 80 + UFO_H};
            view->Blt(&to, ufo_surface, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
        }
    }
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the display in a window (the fourth argument), then the surfaces.
    if (!example_open_window(instance, "Vorlash example: a windowed display") ||
        !display_init(SCREEN_W, SCREEN_H, 8, 1) || !set_up()) {
        if (portholes)
            portholes->Release();
        if (view)
            view->Release();
        if (ufo_surface)
            ufo_surface->Release();
        display_shutdown();
        return 1;
    }

    // Loop: draw the view, lay it over the back buffer, write, flip into the window.
    for (int frame = 0; example_running(); ++frame) {
        draw_view(frame);
        surface_fill(back_surface, GREY, nullptr);
        back_surface->Blt(nullptr, view, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);  // whole onto whole
        char line[96];
        std::snprintf(line, sizeof line, "windowed %d: %d x %d at %d bits, window clipper %s", windowed,
                      screen_width, screen_height, pixel_format, window_clipper ? "set" : "missing");
        text_draw(line, 10, 10, RGB(255, 255, 255), back_surface);
        text_draw("two portholes: one clipper with two rectangles", 10, 446, RGB(255, 255, 255), back_surface);
        display_flip();
    }

    // Take down: what we made, then the display.
    portholes->Release();
    view->Release();
    ufo_surface->Release();
    display_shutdown();
    return example_exit_code();
}
