// consumer.cpp -- a program of someone else's, built out of tree against an installed copy of the
// library: its own main(), so the headless host (the default when no other is installed) runs it.
// It brings the display up, draws through the software and blit paths, writes text, flips, and
// takes everything down; exit 0 only when each step did what its header says.
#include <windows.h>

#include <cstdio>

#include "display.h"
#include "services.h"
#include "sprites.h"

static int failed(const char* step)
{
    std::fprintf(stderr, "consumer: %s failed\n", step);
    display_shutdown();
    return 1;
}

int main()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "CONSUMER";
    RegisterClassA(&wc);
    main_window = CreateWindowExA(0, "CONSUMER", "consumer", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                                  nullptr, nullptr);
    if (!main_window || !display_init(640, 480, 8, 0))
        return failed("display_init");

    for (int frame = 0; frame < 10; ++frame) {
        surface_fill(back_surface, 0, nullptr);
        rect_fill(0, 0, 64, 64, 9, back_surface);
        uint8_t* bits = back_lock();
        if (!bits)
            return failed("back_lock");
        triangle_fill8(100, 100, 300, 100, 200, 250, 7, bits, back_pitch);
        const int inside = bits[150 * back_pitch + 200], blitted = bits[10 * back_pitch + 10];
        back_unlock();
        if (inside != 7 || blitted != 9)
            return failed("drawing");
        if (!text_draw("consumer", 400, 20, RGB(255, 255, 255), back_surface))
            return failed("text_draw");
        if (!display_flip())
            return failed("display_flip");
    }
    display_shutdown();
    std::printf("consumer: 10 frames drawn and shown on the installed library\n");
    return 0;
}
