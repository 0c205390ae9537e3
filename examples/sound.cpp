// sound.cpp -- sound effects: WAV files loaded into DirectSound buffers, one looping with its pan
// swept from left to right, one fired at falling volumes, one at rising frequencies, and one
// replicated so that several copies of the same samples sound at once. A row on the screen shows
// each slot's settings and lights while DirectSound reports it playing.
#include <cstdio>

#include "asset_contract.h"
#include "audio.h"
#include "display.h"
#include "skeleton.h"

// ---- constants ----
static constexpr DWORD CONTROLS = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;
static constexpr int COPIES = 3;  // the laser and two replicas of it

// ---- records ----
struct Row {
    int id;
    const char* what;
    int volume, pan, frequency;  // as last set, for the screen
};

// ---- globals ----
static Row rows[2 + COPIES];

// ---- helpers ----

static int set_up()
{
    const int engine = sound_load_wav(ENGINE_SOUND_FILE, CONTROLS);
    const int cannon = sound_load_wav(EXPLOSION_SOUND_FILE, CONTROLS);
    const int laser = sound_load_wav(LASER_SOUND_FILE, CONTROLS);
    rows[0] = {engine, "engines, looping, pan swept", 70, 0, 0};
    rows[1] = {cannon, "cannon, frequency rising", 100, 0, 0};
    for (int i = 0; i < COPIES; ++i)  // a replica shares the samples and plays on its own
        rows[2 + i] = {i == 0 ? laser : sound_replicate(laser), i == 0 ? "laser, volume falling" : "laser replica", 100,
                       0, 0};
    return engine >= 0 && cannon >= 0 && laser >= 0 && sound_set_volume(engine, rows[0].volume) &&
           sound_play(engine, DSBPLAY_LOOPING);
}

// Every frame the engine's pan moves; every 40 frames the cannon fires higher, and every 10 the
// next laser copy fires a little quieter, so copies overlap.
static void play(int frame)
{
    rows[0].pan = (frame * 100) % 20000 - 10000;
    sound_set_pan(rows[0].id, rows[0].pan);
    if (frame % 40 == 0) {
        rows[1].frequency = 5000 + (frame / 40) % 8 * 2500;
        sound_set_frequency(rows[1].id, rows[1].frequency);
        sound_play(rows[1].id, 0);
    }
    if (frame % 10 == 0) {
        Row& copy = rows[2 + frame / 10 % COPIES];
        copy.volume = 100 - (frame / 10) % 10 * 10;
        sound_set_volume(copy.id, copy.volume);
        sound_play(copy.id, 0);
    }
}

static void show()
{
    surface_fill(back_surface, 0, nullptr);
    for (int i = 0; i < 2 + COPIES; ++i) {
        const Row& r = rows[i];
        const int y = 60 + i * 70;
        const bool playing = sound_status(r.id) > 0 && (sound_status(r.id) & DSBSTATUS_PLAYING);
        rect_fill(20, y, 40, y + 20, playing ? 10 : 3, back_surface);
        rect_fill(60, y + 28, 60 + r.volume * 2, y + 36, 104 + 12, back_surface);  // volume bar
        rect_fill(380 + r.pan / 100, y + 24, 388 + r.pan / 100, y + 40, 13, back_surface);  // pan marker
        char line[120];
        std::snprintf(line, sizeof line, "slot %d: %s   volume %d  pan %d  %d Hz", r.id, r.what, r.volume, r.pan,
                      r.frequency ? r.frequency : sound_slots[r.id].rate);
        text_draw(line, 60, y, RGB(255, 255, 255), back_surface);
    }
    text_draw("ESC ends the example", 20, 440, RGB(128, 128, 136), back_surface);
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the display, then DirectSound (sound_init also empties the slot table) and the effects.
    if (!example_open_window(instance, "Vorlash example: sound effects") ||
        !display_init(SCREEN_W, SCREEN_H, 8, 0) || !sound_init() || !set_up()) {
        sound_shutdown();
        display_shutdown();
        return 1;
    }

    // Loop: change and start sounds, show the slots, flip (which paces the loop at 60 a second).
    for (int frame = 0; example_running(); ++frame) {
        play(frame);
        show();
        display_flip();
    }

    // Take down: stop, give every buffer back, then DirectSound itself.
    sound_stop_all();
    sound_shutdown();
    display_shutdown();
    return example_exit_code();
}
