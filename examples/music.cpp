// music.cpp -- music: the five MIDI pieces loaded through DirectMusic and played one after another
// through the synthesizer, the next one started whenever the piece in play has ended or SPACE is
// pressed. Without a General MIDI soundfont music_init fails and the example shows why it is silent.
#include <cstdio>

#include "asset_contract.h"
#include "audio.h"
#include "display.h"
#include "input.h"
#include "skeleton.h"

// ---- globals ----
static int ids[MUSIC_COUNT];
static int playing = 0;  // index into ids of the piece started last

// ---- helpers ----

static int load_pieces()
{
    for (int i = 0; i < MUSIC_COUNT; ++i)
        if ((ids[i] = music_load_midi(MUSIC_FILES[i])) < 0)
            return 0;
    return music_play(ids[playing]);
}

// The pieces as a list, the one in play lit, with what music_status says of it.
static void show(int has_music, int frame)
{
    surface_fill(back_surface, 0, nullptr);
    if (!has_music)
        text_draw("no music: the synthesizer found no soundfont", 40, 40, RGB(255, 0, 0), back_surface);
    for (int i = 0; i < MUSIC_COUNT; ++i) {
        const int y = 100 + i * 50;
        const bool lit = has_music && i == playing;
        rect_fill(40, y, 40 + (lit ? 40 + frame % 60 * 4 : 20), y + 20, lit ? 10 : 3, back_surface);
        const int status = has_music ? music_status(ids[i]) : 0;
        char line[80];
        std::snprintf(line, sizeof line, "%s  %s", MUSIC_FILES[i], status == MUSIC_SLOT_PLAYING ? "playing" : "stopped");
        text_draw(line, 340, y, lit ? RGB(255, 214, 64) : RGB(128, 128, 136), back_surface);
    }
    text_draw("SPACE: next piece   ESC: end", 40, 440, RGB(128, 128, 136), back_surface);
}

// ---- the program ----

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Set up: music plays through the sound layer's DirectSound object, so sound_init comes first.
    if (!example_open_window(instance, "Vorlash example: music") || !display_init(SCREEN_W, SCREEN_H, 8, 0) ||
        !input_init() || !keyboard_init() || !sound_init()) {
        keyboard_release(), input_shutdown();
        display_shutdown();
        return 1;
    }
    const int has_music = music_init() && load_pieces();

    // Loop: the next piece when this one has ended (status 3) or on a fresh press of SPACE.
    bool space_was_down = false;
    for (int frame = 0; example_running(); ++frame) {
        keyboard_read();
        const bool space = keyboard_state[DIK_SPACE] & 0x80;
        if (has_music && ((space && !space_was_down) || music_status(ids[playing]) == MUSIC_SLOT_STOPPED)) {
            playing = (playing + 1) % MUSIC_COUNT;
            music_play(ids[playing]);
        }
        space_was_down = space;
        show(has_music, frame);
        display_flip();
    }

    // Take down in reverse: music, sound, input, display.
    music_shutdown();
    sound_shutdown();
    keyboard_release(), input_shutdown();
    display_shutdown();
    return example_exit_code();
}
