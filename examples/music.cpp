// music.cpp -- music: MIDI pieces loaded through DirectMusic and played through the synthesizer. A
// short opening piece plays once and, when it has ended, is deleted to free its slot; then four
// pieces play one after another, the next one started whenever the piece in play has ended or SPACE
// is pressed; S stops the music and SPACE starts it again. Without a General MIDI soundfont
// music_init fails and the example shows why it is silent. Files: music1.mid … music5.mid; run it
// in the folder that holds them.
#include <cstdio>

#include "audio.h"
#include "display.h"
#include "input.h"
#include "skeleton.h"

// ---- constants ----
static constexpr int PIECES = 4;  // music1.mid … music4.mid; music5.mid opens
static constexpr int DIM = 1, LIT = 2;  // the palette entries this program sets, with 3 grey and 4 red

// ---- globals ----
static int ids[PIECES];
static int opening = -1;   // the opening piece's id while it is loaded
static int playing = -1;   // index into ids of the piece started last, -1 before the first
static bool stopped = false;

// ---- helpers ----

static void set_palette()
{
    const PALETTEENTRY colours[] = {{50, 54, 70, 0}, {255, 214, 64, 0}, {128, 128, 136, 0}, {255, 0, 0, 0}};
    for (int i = 0; i < 4; ++i)
        palette_set_entry(DIM + i, &colours[i]);
}

static int load_pieces()
{
    for (int i = 0; i < PIECES; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "music%d.mid", i + 1);
        if ((ids[i] = music_load_midi(name)) < 0)
            return 0;
    }
    opening = music_load_midi("music5.mid");
    return opening >= 0 && music_play(opening);
}

static void next_piece()
{
    playing = (playing + 1) % PIECES;
    music_play(ids[playing]);  // stops what plays, then plays this piece once from its start
    stopped = false;
}

// The opening, then the pieces in turn; SPACE and S as the header says.
static void choose(bool space_pressed, bool s_pressed)
{
    if (opening >= 0) {
        if (music_status(opening) != MUSIC_SLOT_STOPPED && !space_pressed)
            return;
        music_delete(opening);  // frees the slot; the piece has ended (or SPACE cut it short)
        opening = -1;
        next_piece();
    } else if (s_pressed && !stopped) {
        music_stop(ids[playing]);
        stopped = true;
    } else if (space_pressed || (!stopped && music_status(ids[playing]) == MUSIC_SLOT_STOPPED)) {
        next_piece();
    }
}

// The pieces as a list, the one in play lit, with what music_status says of it.
static void show(int has_music, int frame)
{
    surface_fill(back_surface, 0, nullptr);
    if (!has_music)
        text_draw("no music: the synthesizer found no soundfont", 40, 40, RGB(255, 0, 0), back_surface);
    else if (opening >= 0)
        text_draw("music5.mid opens, once", 40, 40, RGB(255, 214, 64), back_surface);
    for (int i = 0; i < PIECES; ++i) {
        const int y = 100 + i * 60;
        const bool lit = has_music && i == playing && !stopped;
        rect_fill(40, y, 40 + (lit ? 40 + frame % 60 * 4 : 20), y + 20, lit ? LIT : DIM, back_surface);
        const int status = has_music ? music_status(ids[i]) : 0;
        char line[80];
        std::snprintf(line, sizeof line, "music%d.mid  %s", i + 1, status == MUSIC_SLOT_PLAYING ? "playing" : "stopped");
        text_draw(line, 360, y, lit ? RGB(255, 214, 64) : RGB(128, 128, 136), back_surface);
    }
    text_draw("SPACE: next piece   S: stop   ESC: end", 40, 440, RGB(128, 128, 136), back_surface);
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
    set_palette();
    const int has_music = music_init() && load_pieces();

    // Loop: read the keyboard, choose what plays, show it, flip.
    bool space_was_down = false, s_was_down = false;
    for (int frame = 0; example_running(); ++frame) {
        keyboard_read();
        const bool space = keyboard_state[DIK_SPACE] & 0x80, s = keyboard_state[DIK_S] & 0x80;
        if (has_music)
            choose(space && !space_was_down, s && !s_was_down);  // fresh presses only
        space_was_down = space, s_was_down = s;
        show(has_music, frame);
        display_flip();
    }

    // Take down in reverse: the music stopped and every piece's slot freed, then music, sound, input,
    // display. (music_shutdown would do the first two itself.)
    if (music_current >= 0)
        music_stop(music_current);
    music_delete_all();
    music_shutdown();
    sound_shutdown();
    keyboard_release(), input_shutdown();
    display_shutdown();
    return example_exit_code();
}
