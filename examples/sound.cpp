// sound.cpp -- sound effects: WAV files loaded into DirectSound buffers, one looping with its pan
// swept from left to right (held still while SPACE is down), one fired at rising frequencies, one
// fired at falling volumes and replicated so that several copies of the same samples sound at once,
// and a chirp played once and then deleted. A row on the screen shows each slot's settings and
// lights while DirectSound reports it playing. Files: engine.wav, boom.wav, laser.wav and chirp.wav;
// run it in the folder that holds them.
#include <cstdio>

#include "audio.h"
#include "display.h"
#include "input.h"
#include "skeleton.h"

// ---- constants ----
static constexpr DWORD CONTROLS = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;
static constexpr int COPIES = 3;  // the laser and two replicas of it
static constexpr int DIM = 1, LIT = 2, BAR = 3, MARK = 4;  // palette entries set here, with 5 white and 6 grey

// ---- records ----
struct Row {
    int id;
    const char* what;
    int volume, pan, frequency;  // as last set, for the screen
};

// ---- globals ----
static Row rows[3 + COPIES];
static int chirp = -1;

// ---- helpers ----

static void set_palette()
{
    const PALETTEENTRY colours[] = {{50, 54, 70, 0},    {255, 214, 64, 0},  {90, 160, 255, 0},
                                    {255, 120, 200, 0}, {255, 255, 255, 0}, {128, 128, 136, 0}};
    for (int i = 0; i < 6; ++i)
        palette_set_entry(DIM + i, &colours[i]);
}

static int set_up()
{
    const int engine = sound_load_wav("engine.wav", CONTROLS);
    const int boom = sound_load_wav("boom.wav", CONTROLS);
    const int laser = sound_load_wav("laser.wav", CONTROLS);
    chirp = sound_load_wav("chirp.wav", 0);  // asks for no controls: it is only played
    rows[0] = {engine, "engine, looping, pan swept", 70, 0, 0};
    rows[1] = {boom, "boom, frequency rising", 100, 0, 0};
    rows[2] = {chirp, "chirp, once, then deleted", 100, 0, 0};
    for (int i = 0; i < COPIES; ++i)  // a replica shares the samples and plays on its own
        rows[3 + i] = {i == 0 ? laser : sound_replicate(laser), i == 0 ? "laser, volume falling" : "laser replica", 100,
                       0, 0};
    return engine >= 0 && boom >= 0 && laser >= 0 && chirp >= 0 && sound_set_volume(engine, rows[0].volume) &&
           sound_play(engine, DSBPLAY_LOOPING) && sound_play(chirp, 0);
}

// Every frame the engine's pan moves, unless SPACE stops it; every 40 frames the boom sounds higher;
// every 10 the next laser copy fires a little quieter, so copies overlap. The chirp, once ended,
// gives its buffer back.
static void play(int frame)
{
    keyboard_read();
    if (keyboard_state[DIK_SPACE] & 0x80) {
        sound_stop(rows[0].id);  // stops and rewinds
    } else {
        if (!(sound_status(rows[0].id) & DSBSTATUS_PLAYING))
            sound_play(rows[0].id, DSBPLAY_LOOPING);
        rows[0].pan = (frame * 100) % 20000 - 10000;
        sound_set_pan(rows[0].id, rows[0].pan);
    }
    if (frame % 40 == 0) {
        rows[1].frequency = 5000 + (frame / 40) % 8 * 2500;
        sound_set_frequency(rows[1].id, rows[1].frequency);
        sound_play(rows[1].id, 0);
    }
    if (frame % 10 == 0) {
        Row& copy = rows[3 + frame / 10 % COPIES];
        copy.volume = 100 - (frame / 10) % 10 * 10;
        sound_set_volume(copy.id, copy.volume);
        sound_play(copy.id, 0);
    }
    if (chirp >= 0 && sound_status(chirp) == 0) {  // loaded and no longer playing
        sound_delete(chirp);  // the buffer goes; the slot stays taken until the next sound_init
        chirp = -1;
    }
}

static void show()
{
    surface_fill(back_surface, 0, nullptr);
    for (int i = 0; i < 3 + COPIES; ++i) {
        const Row& r = rows[i];
        const int y = 30 + i * 66;
        const int status = sound_status(r.id);  // -1 once a slot holds no buffer
        rect_fill(20, y, 40, y + 20, status > 0 && (status & DSBSTATUS_PLAYING) ? LIT : DIM, back_surface);
        rect_fill(60, y + 28, 60 + r.volume * 2, y + 36, BAR, back_surface);                  // volume bar
        rect_fill(380 + r.pan / 100, y + 24, 388 + r.pan / 100, y + 40, MARK, back_surface);  // pan marker
        char line[120];
        std::snprintf(line, sizeof line, "slot %d: %s   volume %d  pan %d  %d Hz%s", r.id, r.what, r.volume, r.pan,
                      r.frequency ? r.frequency : sound_slots[r.id].rate, status < 0 ? "  (deleted)" : "");
        text_draw(line, 60, y, RGB(255, 255, 255), back_surface);
    }
    text_draw("SPACE: hold the engine   ESC: end", 20, 440, RGB(128, 128, 136), back_surface);
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: the display, the keyboard, then DirectSound (sound_init also empties the slot table)
    // and the effects.
    if (!example_open_window(instance, "Vorlash example: sound effects") ||
        !display_init(SCREEN_W, SCREEN_H, 8, 0) || !input_init() || !keyboard_init() || !sound_init() || !set_up()) {
        // Each layer keeps why its last load or init failed; the first to fail says it.
        const char* reason = *display_reason() ? display_reason() : *input_reason() ? input_reason() : audio_reason();
        std::fprintf(stderr, "sound: %s\n", reason);
        sound_shutdown();
        keyboard_release(), input_shutdown();
        display_shutdown();
        return 1;
    }
    set_palette();

    // Loop: change and start sounds, show the slots, flip (which paces the loop at 60 a second).
    for (int frame = 0; example_running(); ++frame) {
        play(frame);
        show();
        display_flip();
    }

    // Take down: stop everything and give every buffer back (what a game does between levels, with
    // DirectSound kept), then DirectSound itself.
    sound_stop_all();
    sound_delete_all();
    sound_shutdown();
    keyboard_release(), input_shutdown();
    display_shutdown();
    return example_exit_code();
}
