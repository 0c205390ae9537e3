// soak.cpp -- the whole game for many frames on the headless host, driven by random and bot input
// from fixed seeds, with the game's invariants checked after every frame. Built with the tests but
// not run by them: `make soak` runs it in the sanitizer build, where a leak at exit also fails.
// Usage: soak [frames] [seed]; exit code 0 when every frame kept every invariant.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "audio.h"
#include "game.h"
#include "input.h"
#include "services.h"
#include "testing.h"

namespace {

// Keys the soak presses; ESC is left out, as it ends the run rather than the game.
constexpr int KEYS[] = {DIK_LEFT, DIK_RIGHT, DIK_UP, DIK_DOWN, DIK_SPACE, DIK_LSHIFT, DIK_F2};
constexpr int KEY_COUNT = static_cast<int>(sizeof KEYS / sizeof KEYS[0]);

// The soak's own generator, apart from the game's, so the game's draws stay its own.
struct Rng {
    uint64_t state;
    uint32_t next()
    {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state >> 33);
    }
};

long failures = 0;

void fail(long frame, const std::string& what)
{
    if (failures < 20)
        std::fprintf(stderr, "soak: frame %ld: %s\n", frame, what.c_str());
    ++failures;
}

// What must hold after every frame, whatever the input.
void check_invariants(long frame, int presents_before)
{
    auto check = [&](bool ok, const char* what) {
        if (!ok)
            fail(frame, what);
    };
    check(game_ready == 1, "the game is still running");
    check(testing_present_count() == presents_before + 1, "one frame presented per frame");
    check(lives >= 0 && lives <= 3, "lives within 0 … 3");
    check(level >= 1, "level at least 1");
    check(rock_reserve >= 0 && rock_reserve <= ROCK_COUNT - 1, "rock reserve within the table");
    // One bolt may take out several overlapping rocks, so the count runs below 0, but never by
    // more than the rocks a wave can hold.
    check(wave_rocks_left >= -ROCK_COUNT && wave_rocks_left <= ROCK_COUNT, "rocks left within the table");
    check(ship_speed == 3 || ship_speed == 6, "gunship speed 3 or 6");
    check(ship.state == 0 || ship.state == 1, "gunship state 0 or 1");
    check(ship_x() >= -6 && ship_x() <= 646 && ship_y() >= -6 && ship_y() <= 486, "gunship near the screen");
    check(lives > 0 || ship.state == 0, "no gunship in play after game over");
    check(respawn_pending == 0 || respawn_pending == 1, "respawn flag 0 or 1");
    check(entity_x(ufo) >= UFO_AWAY_LIMIT, "UFO held at or past its away limit");
    int rocks_in_play = 0;
    for (const Sprite& r : rocks) {
        check(r.state == 0 || r.state == 1, "rock state 0 or 1");
        rocks_in_play += r.state;
    }
    // At game over the field is cleared every frame before the wave check, which may still arm a
    // fresh wave once; the next frame clears it again.
    const bool wave_just_armed = wave_rocks_left == wave_size() && frame_timer > 100;
    check(lives > 0 || rocks_in_play == 0 || wave_just_armed, "no rock in play after game over");
    for (const Sprite& b : bolts)
        check(b.state == 0 || b.state == 1, "bolt state 0 or 1");
    for (const Sprite& e : explosions)
        check(e.state == 0 || e.state == 1, "explosion state 0 or 1");
    for (const Star& s : stars)
        check(s.x >= 0 && s.x < 640 && s.y >= 0 && s.y < 480, "star on the screen");
    check(sound_first_init == 0, "the sound layer is up");
}

// Random input: each key flips with a small chance, F2 rarely.
void random_input(Rng& rng, bool held[KEY_COUNT])
{
    for (int k = 0; k < KEY_COUNT; ++k) {
        const uint32_t odds = KEYS[k] == DIK_F2 ? 2000 : 8;
        if (rng.next() % odds == 0) {
            held[k] = !held[k];
            testing_key(KEYS[k], held[k]);
        }
    }
}

// The bot: lines up with the nearest rock in play, fires, and restarts after game over.
void bot_input(Rng& rng, long frame)
{
    Sprite* target = nullptr;
    for (Sprite& r : rocks)
        if (r.state == 1 && (!target || entity_x(r) < entity_x(*target)))
            target = &r;
    const int aim = target ? entity_y(*target) + 30 : 240;
    testing_key(DIK_UP, ship_y() > aim + 4);
    testing_key(DIK_DOWN, ship_y() < aim - 4);
    testing_key(DIK_RIGHT, ship_x() < 200 && rng.next() % 2 == 0);
    testing_key(DIK_LEFT, ship_x() > 300);
    testing_key(DIK_SPACE, frame % 3 == 0);
    testing_key(DIK_F2, lives == 0 && frame % 50 == 0);
}

}  // namespace

int main(int argc, char** argv)
{
    const long frames = argc > 1 ? std::atol(argv[1]) : 1000000;
    const uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
    std::filesystem::current_path(VORLASH_ASSETS_DIR);

    testing_reset();
    testing_soundfont("");  // music would only slow the run; its absence is a path of its own
    main_window = testing_make_window(&main_instance);
    if (!game_init(nullptr)) {
        std::fprintf(stderr, "soak: the game did not start\n");
        return 2;
    }

    // Phases of 10,000 frames alternate random input and the bot.
    Rng rng{seed};
    bool held[KEY_COUNT] = {};
    long restarts = 0, game_overs = 0;
    int top_level = level;
    int lives_before = lives;
    for (long frame = 0; frame < frames && failures < 20; ++frame) {
        if ((frame / 10000) % 2 == 0)
            random_input(rng, held);
        else
            bot_input(rng, frame);
        MSG msg{};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        const int presents = testing_present_count();
        game_frame(nullptr);
        check_invariants(frame, presents);
        game_overs += lives == 0 && lives_before > 0;
        restarts += lives == 3 && lives_before == 0;
        lives_before = lives;
        top_level = level > top_level ? level : top_level;
    }

    game_shutdown(nullptr);
    if (testing_open_files() || testing_sound_buffers_alive() || testing_music_segments_alive())
        fail(frames, "something left open after the shut-down");
    std::printf("soak: %ld frames, seed %llu: %ld game overs, %ld restarts, highest level %d; %ld failures\n",
                frames, static_cast<unsigned long long>(seed), game_overs, restarts, top_level, failures);
    return failures ? 1 : 0;
}
