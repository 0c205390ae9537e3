// frame_web.cpp -- the game's heavy frame (frame_scene.h, the moment bench_frame times natively) as
// WebAssembly under node: many frames timed one by one, the median printed in microseconds as
// {"heavy_frame_us": N} on standard output (`make web-bench` writes it to build-web/bench.json).
// Built with the page's own code generation flags, ASYNCIFY included, so the figure is the page's.
// usage: node frame_web.js [FRAMES]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "frame_scene.h"
#include "testing_host.h"

// A present that costs nothing: the frame's own work is what is timed, as in BM_GameFrameHeavy.
class FrameHost final : public TestingHost {
public:
    void present(const HostFrame&) override { ++presents; }
};

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::atoi(argv[1]) : 3000;
    if (frames < 1 || !heavy_moment()) {
        std::fprintf(stderr, "frame_web: the game did not start\n");
        return 1;
    }
    FrameHost host;
    host_install(&host);
    // Warm-up: the glyph cache, and the engine's optimising compiler, which takes the hot functions
    // over in the background, in its own time on a busy machine.
    int warm = 0;
    const auto warm_until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (warm < 200 || std::chrono::steady_clock::now() < warm_until) {
        scene_restore();
        game_frame(nullptr);
        ++warm;
    }
    std::vector<double> us(frames);
    bool heavy = true;
    for (double& t : us) {
        scene_restore();
        const auto start = std::chrono::steady_clock::now();
        game_frame(nullptr);
        t = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
        heavy = heavy && scene_is_heavy();
    }
    host_install(nullptr);
    if (!heavy || host.presents != frames + warm) {
        std::fprintf(stderr, "frame_web: %s\n", heavy ? "a frame did not present" : "the scene lost part of its load");
        return 1;
    }
    std::sort(us.begin(), us.end());
    std::fprintf(stderr, "frame_web: %d heavy frames: median %.1f us, quartiles %.1f to %.1f us\n", frames,
                 us[frames / 2], us[frames / 4], us[frames * 3 / 4]);
    std::printf("{\"heavy_frame_us\": %.1f}\n", us[frames / 2]);
    return 0;
}
