// log.cpp -- the diagnostic log: opened before the display, so the display's own notes go into it
// too; a line written whenever something happens (here, a ball meeting an edge); and the log file
// read back now and then and its last lines shown on the screen. The log is the library's only
// output: nothing else prints. It writes log-example.log in the folder it runs in.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "display.h"
#include "skeleton.h"

// ---- constants ----
static constexpr const char* LOG_FILE = "log-example.log";
static constexpr int SHOWN_LINES = 16;
static constexpr int GREEN = 1, BALL = 2, WHITE = 3;  // the palette entries this program sets

// ---- helpers ----

// The last lines of the log file, without the opening line, which carries the date and time.
static std::vector<std::string> last_lines()
{
    std::vector<std::string> lines;
    if (std::FILE* f = std::fopen(LOG_FILE, "r")) {
        char line[128];
        while (std::fgets(line, sizeof line, f)) {
            line[std::strcspn(line, "\n")] = '\0';
            if (line[0] && !std::strstr(line, "Opening Error Output File"))
                lines.push_back(line);
        }
        std::fclose(f);
    }
    if (lines.size() > SHOWN_LINES)
        lines.erase(lines.begin(), lines.end() - SHOWN_LINES);
    return lines;
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the log first. log_open(nullptr, stderr) would send it to a stream the program
    // already has instead of a file.
    const int logging = log_open(LOG_FILE, nullptr);
    if (!example_open_window(instance, "Vorlash example: the log") || !display_init(SCREEN_W, SCREEN_H, 8, 0)) {
        log_write("\nthe display did not start");
        log_close();
        display_shutdown();
        return 1;
    }
    log_write("\ndisplay: %d x %d, %d bits a pixel", screen_width, screen_height, screen_bpp);
    const PALETTEENTRY colours[] = {{120, 255, 140, 0}, {255, 160, 40, 0}, {255, 255, 255, 0}};
    for (int i = 0; i < 3; ++i)
        palette_set_entry(GREEN + i, &colours[i]);

    // Loop: move the ball and log its bounces; every half second read the log back; draw; flip.
    int x = 500, y = 80, dx = 5, dy = 4;
    std::vector<std::string> shown;
    for (int frame = 0; example_running(); ++frame) {
        x += dx, y += dy;
        if (x < 300 || x > SCREEN_W - 20) {
            dx = -dx;
            log_write("\nframe %d: the ball turned at x = %d", frame, x);
        }
        if (y < 0 || y > SCREEN_H - 20) {
            dy = -dy;
            log_write("\nframe %d: the ball turned at y = %d", frame, y);
        }
        if (frame % 30 == 0)
            shown = last_lines();

        surface_fill(back_surface, 0, nullptr);
        rect_fill(x, y, x + 20, y + 20, BALL, back_surface);
        text_draw_indexed(logging ? "the last lines of log-example.log:" : "the log could not be opened here", 10, 10,
                          WHITE, back_surface);
        for (size_t i = 0; i < shown.size(); ++i)
            text_draw_indexed(shown[i].c_str(), 10, 40 + static_cast<int>(i) * 24, GREEN, back_surface);
        display_flip();
    }

    // Take down: the display, then the log, which writes its closing line.
    display_shutdown();
    log_write("\nthe example ended after the window closed");
    log_close();
    return example_exit_code();
}
