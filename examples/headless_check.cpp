// headless_check.cpp -- an example's process entry under CTest: the headless host on the virtual
// clock, keyboard, mouse and a game controller played by script, the window closed after a fixed
// number of presented frames as a person would close it, then a look at what the example showed
// and played. Exit 0 only when the example ended by itself with code 0 and every check held.
// usage: example_NAME_check FRAMES MIN_COLOURS [sound]
#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "testing.h"

// ---- constants ----
constexpr int AUDIO_FRAMES_PER_PRESENT = 735;  // a sixtieth of a second at 44100 frames per second
constexpr int AUDIBLE_PEAK = 1000;            // of 32767: well above rounding noise, far below a whisper

// ---- the host ----

// The test hooks' host that also watches: each presented picture is hashed and its colours counted,
// the mixer is pulled as an audio device would pull it, and input moves as if a person played.
class CheckHost final : public TestingHost {
public:
    CheckHost(int frames, int pad) : frames_(frames), pad_(pad) {}

    void present(const HostFrame& frame) override
    {
        TestingHost::present(frame);
        look();
        listen();
        play(presents);
        if (presents == frames_)
            host_post_message(WM_CLOSE);
    }

    int most_colours = 0;
    std::set<uint64_t> pictures;  // hashes of the distinct pictures shown
    int peak = 0;                 // loudest sample the mixer gave

private:
    // Colours as the eye sees them: 8-bit indices through the frame's palette, 16-bit pixels as
    // they are. A picture is told from the others by its pixels and the colours they show.
    void look()
    {
        const int bytes = last_frame.bpp / 8;
        std::vector<bool> used(bytes == 2 ? 65536 : 256);
        uint64_t hash = 1469598103934665603ull;
        for (size_t i = 0; i + bytes <= last_frame.pixels.size(); i += bytes) {
            const uint32_t value = last_frame.pixels[i] | (bytes == 2 ? uint32_t{last_frame.pixels[i + 1]} << 8 : 0);
            used[value] = true;
            hash = (hash ^ value) * 1099511628211ull;
        }
        std::set<uint32_t> colours;
        for (uint32_t value = 0; value < used.size(); ++value) {
            if (!used[value])
                continue;
            uint32_t colour = value;
            if (bytes == 1) {
                const PALETTEENTRY& p = last_frame.palette[value];
                colour = uint32_t{p.peRed} << 16 | uint32_t{p.peGreen} << 8 | p.peBlue;
            }
            colours.insert(colour);
            hash = (hash ^ colour) * 1099511628211ull;
        }
        most_colours = std::max(most_colours, static_cast<int>(colours.size()));
        pictures.insert(hash);
    }

    void listen()
    {
        std::vector<int16_t> samples(AUDIO_FRAMES_PER_PRESENT * 2);
        host_audio_render(samples.data(), AUDIO_FRAMES_PER_PRESENT);
        for (int16_t s : samples)
            peak = std::max(peak, std::abs(static_cast<int>(s)));
    }

    // Space and the right arrow held now and then, the mouse circling with its left button pressed
    // at times, the controller's stick circling the other way with its first button pressed at times.
    void play(int n)
    {
        testing_key(DIK_SPACE, n % 40 < 20);
        testing_key(DIK_RIGHT, n % 60 < 30);
        const float a = static_cast<float>(n) * 0.1f;
        testing_mouse_move(static_cast<int>(8 * std::cos(a)), static_cast<int>(8 * std::sin(a)));
        testing_mouse_button(0, n % 50 < 25);
        testing_controller_axis(pad_, HOST_AXIS_X, static_cast<int>(30000 * std::cos(-a)));
        testing_controller_axis(pad_, HOST_AXIS_Y, static_cast<int>(30000 * std::sin(-a)));
        testing_controller_button(pad_, 0, n % 30 < 15);
    }

    int frames_;
    int pad_;
};

// ---- the program ----

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FRAMES MIN_COLOURS [sound]\n", argv[0]);
        return 2;
    }
    const int frames = std::atoi(argv[1]), min_colours = std::atoi(argv[2]);
    const bool sound = argc > 3 && std::strcmp(argv[3], "sound") == 0;

    testing_reset();
    CheckHost check(frames, testing_controller_attach("Example pad"));
    host_install(&check);
    static HINSTANCE__ instance;
    const int code = WinMain(&instance, nullptr, const_cast<char*>(""), SW_SHOWNORMAL);
    host_install(nullptr);

    int failures = 0;
    auto expect = [&](bool held, const char* what, int got) {
        std::printf("%s: %s (%d)\n", held ? "ok" : "FAIL", what, got);
        failures += !held;
    };
    expect(code == 0, "ended by itself with exit code 0", code);
    expect(check.presents >= frames, "ran until the window was closed: frames presented", check.presents);
    expect(check.most_colours >= min_colours, "enough colours in one picture", check.most_colours);
    expect(check.pictures.size() >= 4, "the picture changes: distinct pictures", static_cast<int>(check.pictures.size()));
    if (sound)
        expect(check.peak >= AUDIBLE_PEAK, "the mixer plays something: peak sample", check.peak);
    std::printf("%d passed, %d failed\n", 4 + sound - failures, failures);
    return failures ? 1 : 0;
}
