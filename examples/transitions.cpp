// transitions.cpp -- screen transitions: all nine, one after another over the same picture: three
// palette fades and washes of the palette in force, the closing bars and the dissolve painted into
// the locked primary. Each runs to its end inside one call; between them the picture comes back with
// its palette and is held for a second, named. File: title.bmp (640 × 480, with a palette of its
// own); run it in the folder that holds it.
#include "display.h"
#include "skeleton.h"

// ---- constants ----
static const char* const NAMES[] = {"fade to black", "fade to white", "bars from the sides",
                                    "bars from top and bottom", "dissolve", "bars from all sides",
                                    "wash to blue", "wash to red", "wash to green"};
static constexpr int HOLD_FRAMES = 60;  // the picture is shown this long before each transition

// ---- globals ----
static BitmapFile picture;
static BitmapImage image;

// ---- helpers ----

// The picture with its own palette and the name of the transition that comes next.
static void show_picture(int effect)
{
    palette_set_all(picture.palette);  // the palette effects left theirs changed
    if (uint8_t* bits = back_lock()) {
        image_draw8(&image, bits, back_pitch, 0);
        back_unlock();
    }
    text_draw(NAMES[effect], 8, 462, RGB(255, 255, 255), back_surface);
    display_flip();
}

// The pixel effects paint colour 0 into the buffer they are given: the primary's, so each step is
// the screen itself. The bars show as they close in, since the screen refreshes during each step's
// wait; the dissolve never waits, and shows once it has run. Starting at the vertical blank gives
// the first step a whole refresh.
static void run_transition(int effect)
{
    display_wait_vblank();
    if (uint8_t* screen = primary_lock()) {
        screen_transition(effect, screen, primary_pitch);
        primary_unlock();
    }
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the title picture, which comes with a palette of its own.
    if (!example_open_window(instance, "Vorlash example: screen transitions") ||
        !display_init(SCREEN_W, SCREEN_H, 8, 0) || !bitmap_load(&picture, "title.bmp") ||
        !image_create(&image, 0, 0, SCREEN_W, SCREEN_H, 8) || !image_load8(&image, &picture, 0, 0, 1)) {
        bitmap_unload(&picture);
        display_shutdown();
        return 1;
    }

    // Loop: hold the picture, then take it away with the next effect, all nine in turn.
    for (int frame = 0; example_running(); ++frame) {
        const int effect = frame / HOLD_FRAMES % 9;
        show_picture(effect);
        if (frame % HOLD_FRAMES == HOLD_FRAMES - 1)
            run_transition(effect);
    }

    // Take down.
    image_destroy(&image);
    bitmap_unload(&picture);
    display_shutdown();
    return example_exit_code();
}
