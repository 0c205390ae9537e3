// virtual_pad_play.cpp -- the real game on the SDL2 host with a virtual game controller that lines
// on standard input plug in and move, so the smoke run can play with a gamepad on a machine that
// has none. The program itself stays free of such a hook: this wraps its host from outside.
// Lines: "attach", "axis N VALUE", "button N 0|1" (SDL's game controller numbering); others are ignored.
#include <fcntl.h>
#include <unistd.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "sdl_host.h"

// ---- records ----

// The SDL host with the controller's lines read in before each pump of events.
class ScriptedPadHost final : public Host {
public:
    explicit ScriptedPadHost(SdlHost& sdl) : sdl(sdl) {}

    bool open_window(int width, int height, const char* title) override
    {
        return sdl.open_window(width, height, title);
    }
    void close_window() override { sdl.close_window(); }
    const char* reason() const override { return sdl.reason(); }
    void set_display_mode(int width, int height, int bpp) override { sdl.set_display_mode(width, height, bpp); }
    void restore_display_mode() override { sdl.restore_display_mode(); }
    void present(const HostFrame& frame) override { sdl.present(frame); }
    void wait_refresh() override { sdl.wait_refresh(); }
    void pump_events() override
    {
        read_lines();
        sdl.pump_events();
    }
    void show_cursor(bool visible) override { sdl.show_cursor(visible); }
    uint32_t real_ticks() override { return sdl.real_ticks(); }
    void real_sleep(uint32_t ms) override { sdl.real_sleep(ms); }
    bool open_audio(int rate, int channels) override { return sdl.open_audio(rate, channels); }
    void close_audio() override { sdl.close_audio(); }
    void music_unavailable(const char* why) override { sdl.music_unavailable(why); }

private:
    void read_lines()
    {
        char chunk[256];
        ssize_t got;
        while ((got = read(STDIN_FILENO, chunk, sizeof chunk)) > 0)
            pending.append(chunk, static_cast<size_t>(got));
        for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1))
            obey(pending.substr(0, end));
    }

    void obey(const std::string& line)
    {
        int number = 0, value = 0;
        if (line == "attach" && !pad) {
            const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                        SDL_CONTROLLER_BUTTON_MAX, 0);
            pad = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
            std::fprintf(stderr, "virtual pad: %s\n", pad ? "attached" : SDL_GetError());
        } else if (pad && std::sscanf(line.c_str(), "axis %d %d", &number, &value) == 2) {
            SDL_JoystickSetVirtualAxis(pad, number, static_cast<Sint16>(value));
        } else if (pad && std::sscanf(line.c_str(), "button %d %d", &number, &value) == 2) {
            SDL_JoystickSetVirtualButton(pad, number, value ? SDL_PRESSED : SDL_RELEASED);
        }
    }

    SdlHost& sdl;
    SDL_Joystick* pad = nullptr;  // our own reference; the host opens the same device as a game controller
    std::string pending;
};

// ---- entry ----

int main()
{
    fcntl(STDIN_FILENO, F_SETFL, fcntl(STDIN_FILENO, F_GETFL) | O_NONBLOCK);
    SdlHost& sdl = *new SdlHost;  // never destroyed, for the reason the program's own main() gives
    ScriptedPadHost scripted(sdl);
    host_install(&scripted);
    static HINSTANCE__ instance;
    char no_arguments[] = "";
    const int code = WinMain(&instance, nullptr, no_arguments, SW_SHOWNORMAL);
    sdl.close_audio();
    if (sdl.window_failed()) {
        std::fprintf(stderr, "virtual_pad_play: cannot open a window: %s\n", sdl.reason());
        return 1;
    }
    sdl.close_window();
    host_install(nullptr);
    return code;
}
