// bitmaps.cpp -- bitmaps and images: .BMP files loaded whole (from disk, and from bytes already in
// memory) and cut into images; the backdrop drawn into the locked back buffer and scrolled a pixel a
// frame; the UFO drawn over it with its key colour left out, and its reflection made by flipping the
// file's rows; a strip of rocks composed with image_copy_region from cells of a sheet, sliding the
// other way. Files: backdrop.bmp (640 × 480), ufo.bmp (one 80 × 55 cell) and rocks.bmp (4 × 4 cells
// of 96 × 96), sheets with one-pixel borders, all in one 256-colour palette; run it in their folder.
#include <cstdio>
#include <vector>

#include "display.h"
#include "skeleton.h"

// ---- constants ----
static constexpr int UFO_W = 80, UFO_H = 55;  // the cell of ufo.bmp
static constexpr int ROCK = 96;               // the cells of rocks.bmp, each at (1 + 97 × column, 1 + 97 × row)
static constexpr int STRIP_Y = 372;           // where the strip of rocks lies

// ---- globals ----
static BitmapFile file;  // one load buffer, reused for each file
static BitmapImage backdrop, ufo, reflection, sheet, strip;

// ---- helpers ----

// The whole of a file's bytes, as a program that keeps its pictures in an archive would have them.
static std::vector<uint8_t> read_bytes(const char* name)
{
    std::vector<uint8_t> bytes;
    if (std::FILE* f = std::fopen(name, "rb")) {
        uint8_t block[4096];
        for (size_t got; (got = std::fread(block, 1, sizeof block, f)) > 0;)
            bytes.insert(bytes.end(), block, block + got);
        std::fclose(f);
    }
    return bytes;
}

// A strip the screen's width, composed of rock cells copied out of the sheet image side by side.
static int compose_strip()
{
    if (!image_create(&strip, 0, STRIP_Y, SCREEN_W, ROCK, 8))
        return 0;
    for (int i = 0; i < SCREEN_W / 128; ++i) {
        const int cell = i * 3 % 16;  // every third frame of the turning rock
        if (!image_copy_region(&strip, 16 + i * 128, 0, &sheet, 1 + cell % 4 * (ROCK + 1), 1 + cell / 4 * (ROCK + 1),
                               ROCK, ROCK))
            return 0;
    }
    strip.attr |= BITMAP_ATTR_LOADED;  // the draws take only loaded images: this one was composed instead
    return 1;
}

static int load_pictures()
{
    // The backdrop: the whole picture (mode 1: the image's size from the pixel corner 0, 0).
    if (!bitmap_load(&file, "backdrop.bmp") || !image_create(&backdrop, 0, 0, SCREEN_W, SCREEN_H, 8) ||
        !image_load8(&backdrop, &file, 0, 0, 1))
        return 0;
    palette_set_all(file.palette);  // the file's colours are the display's from now on
    // The UFO: cell (0, 0) of a sheet (mode 0: cells of the image's size with one-pixel borders).
    if (!bitmap_load(&file, "ufo.bmp") || !image_create(&ufo, 0, 0, UFO_W, UFO_H, 8) ||
        !image_load8(&ufo, &file, 0, 0, 0))
        return 0;
    // The same file from memory, its rows turned upside down: the UFO's reflection.
    const std::vector<uint8_t> bytes = read_bytes("ufo.bmp");
    if (!bitmap_load_memory(&file, bytes.data(), bytes.size()) ||
        !bitmap_flip_rows(file.pixels, file.info_header.biWidth, file.info_header.biHeight) ||
        !image_create(&reflection, 0, 0, UFO_W, UFO_H, 8) || !image_load8(&reflection, &file, 0, 0, 0))
        return 0;
    // The rock sheet whole, as one image the strip's cells are copied from.
    if (!bitmap_load(&file, "rocks.bmp") ||
        !image_create(&sheet, 0, 0, file.info_header.biWidth, file.info_header.biHeight, 8) ||
        !image_load8(&sheet, &file, 0, 0, 1) || !compose_strip())
        return 0;
    bitmap_unload(&file);  // the images hold copies; the file's buffer can go
    return 1;
}

// The UFO flies a slow wave; its reflection follows it upside down, lower on the lava.
static void place_ufo(int frame)
{
    ufo.x = 40 + (frame * 2) % (SCREEN_W - 80 - UFO_W);  // images draw only when wholly on the screen
    ufo.y = 120 + (frame % 120 < 60 ? frame % 60 : 60 - frame % 60) / 2;
    reflection.x = ufo.x;
    reflection.y = ufo.y + UFO_H + 60;
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: window and display, then the pictures.
    if (!example_open_window(instance, "Vorlash example: bitmaps and images") ||
        !display_init(SCREEN_W, SCREEN_H, 8, 0) || !load_pictures()) {
        // The display layer keeps why its last load or init failed: "the file ends inside its pixels".
        std::fprintf(stderr, "bitmaps: %s\n", display_reason());
        bitmap_unload(&file);
        display_shutdown();
        return 1;
    }

    // Loop: move the pictures, draw them into the locked back buffer, write, flip.
    for (int frame = 0; example_running(); ++frame) {
        image_scroll(&backdrop, 1, 0);  // rows rotate one pixel to the right, wrapping around
        image_scroll(&strip, -2, 0);    // and the strip's two to the left
        place_ufo(frame);
        if (uint8_t* bits = back_lock()) {
            image_draw8(&backdrop, bits, back_pitch, 0);
            image_draw8(&reflection, bits, back_pitch, 1);  // 1: pixels of value 0 leave what is under them
            image_draw8(&ufo, bits, back_pitch, 1);
            image_draw8(&strip, bits, back_pitch, 1);
            back_unlock();
        }
        text_draw("backdrop.bmp scrolling; ufo.bmp, and its rows flipped", 10, 10, RGB(255, 255, 255), back_surface);
        text_draw("a strip composed of rocks.bmp's cells", 10, STRIP_Y - 24, RGB(255, 255, 255), back_surface);
        display_flip();
    }

    // Take down: the images, then the display.
    image_destroy(&strip);
    image_destroy(&sheet);
    image_destroy(&reflection);
    image_destroy(&ufo);
    image_destroy(&backdrop);
    display_shutdown();
    return example_exit_code();
}
