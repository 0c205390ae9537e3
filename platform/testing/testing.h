// testing.h -- hooks for tests on the headless host: a virtual clock, fault injection, the last
// presented frame, scripted input devices, and messages posted as the host would post them.
//
// Beside the layers, not in them: tests, benchmarks, fuzzers and the soak link these hooks (the
// vorlash_platform_testing library); the program never does. They reach into the stand-in
// (platform/src) and install their own host (testing_host.h); nothing in lib/, game/, services/,
// platform/src or platform/host includes this header.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../src/host_reports.h"
#include "host.h"
#include "testing_host.h"

// Returns the platform to its start: the test hooks' host installed and cleared, the last program's
// process ended (no windows or classes, empty queue, no open files, the display's exclusive mode
// free), the machine's defaults (desktop of 8 bits, 5-6-5 16-bit modes, the system's font and
// soundfont), no faults, virtual clock at `start_tick`, no keys or buttons down, no controllers
// attached. The mouse's motion sums go on; only differences of them count.
void testing_reset(uint32_t start_tick = 0);

// ---- virtual clock: GetTickCount, Sleep, busy waits and display refreshes advance it ----
void testing_clock_set(uint32_t tick);
void testing_clock_advance(uint32_t ms);
// Each GetTickCount read advances virtual time by `ms` (default 1), so busy waits end.
void testing_clock_read_step(uint32_t ms);
void testing_clock_real();  // back to the host's real clock

// ---- fault injection: the `nth` call from now (1-based; 0 = every call) of `operation` fails with `code` ----
// Operations are named as the caller sees them: "DirectDrawCreateEx", "IDirectDraw7::CreateSurface".
void testing_fault(const char* operation, int nth, HRESULT code);
void testing_faults_clear();
// Every operation name that was checked for a fault since the last reset, in first-call order.
std::vector<std::string> testing_operations_seen();

// ---- display ----
// The 16-bit display modes report 5.5.5 (15) instead of 5.6.5 (16).
void testing_display_16bit_555(bool on);
// The desktop's depth for windowed use (8 or 16).
void testing_desktop_bpp(int bpp);
// The last frame the host was asked to present, as the test hooks' host copied it; count of presents
// since reset.
const TestingFrame& testing_presented_frame();
int testing_present_count();
int testing_refresh_count();  // display refreshes waited for (flips, vertical blanks)

// ---- files and text ----
int testing_open_files();  // files opened with OpenFile and not yet closed
// TextOutA draws with this font file instead of the one fontconfig finds; a path that does not
// load leaves the device contexts without a font (TextOutA then fails). Null: back to fontconfig.
void testing_font_file(const char* path);

// ---- input devices, as the host would report them ----
// A key by its DirectInput key code.
void testing_key(int key_code, bool down);
// A key event waiting in the machine's queue: it reaches the devices only when the host next pumps
// its events (as a window system's key reaches the SDL2 host).
void testing_key_queued(int key_code, bool down);
int testing_pump_count();  // event pumps since reset
// The window losing or regaining the input focus (devices read keys and buttons as up without it).
void testing_focus(bool focused);
// The mouse: relative motion, wheel notches, buttons 0 left, 1 right, 2 middle, 3 fourth.
void testing_mouse_move(int dx, int dy);
void testing_mouse_wheel(int notches);
void testing_mouse_button(int button, bool down);
// A virtual game controller, enumerated after those attached before it: its id, or 0 when the
// table is full. Axes take HOST_AXIS_ numbers and raw positions -32768 … 32767 (0 centred); a POV
// takes hundredths of a degree clockwise from up, or HOST_POV_CENTRED.
int testing_controller_attach(const char* name, bool gamepad = true);
void testing_controller_detach(int id);
void testing_controller_axis(int id, int axis, int position);
void testing_controller_button(int id, int button, bool down);
void testing_controller_pov(int id, int pov, uint32_t hundredths);

// ---- windows and messages ----
// A plain window of the default procedure, as WinMain would make one; `instance` receives the
// instance handle it was made with. For tests, benchmarks and fuzzers that bring devices up.
HWND testing_make_window(HINSTANCE* instance = nullptr);
// Posts `message` to the first live window, as the host does for a window close.
BOOL testing_post_host_message(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
// Make the host unable to open a window (as with no display).
void testing_window_unavailable(bool on);

// ---- audio: the mixer's output rendered on demand, the synthesizer's soundfont ----
int testing_audio_rate();  // output frames per second
// The mixer's next `frames` stereo frames (left, right interleaved), as the audio device pulls them.
std::vector<int16_t> testing_audio_render(int frames);
// The host has no audio device, as a machine without a sound card.
void testing_audio_unavailable(bool on);
// The soundfont the synthesizer loads: a file, "" for none at all; null: the system's usual search.
void testing_soundfont(const char* path);
// What the host was told each time music could not start, since the reset.
const std::vector<std::string>& testing_music_unavailable_notes();
// Stand-in objects not yet released: sound buffers and music segments.
int testing_sound_buffers_alive();
int testing_music_segments_alive();

// ---- music files: the stand-in's reader, and its copy played through the synthesizer's player ----
// The oracle of the MIDI fuzzer, its replay and the reader's tests. A file the reader takes is played
// as its canonical copy, offline and with no soundfont, in blocks of TESTING_MIDI_BLOCK_MS of music:
// the first TESTING_MIDI_OWN_TEMPO_MS at the piece's own tempo (a tick at most a block, where the
// piece's ticks are no shorter than a block), the rest, if any, at a beat a microsecond, so that no
// length takes long. It has played when the player read the copy, counted its ticks forwards up to
// the reader's length while still playing, sent every channel message the reader counted, counts
// the reader's length as its own, and then ended.
constexpr int TESTING_MIDI_BLOCK_MS = 8;
constexpr int TESTING_MIDI_OWN_TEMPO_MS = 12000;

struct TestingMidiNote {
    int tick;     // the player's tick when it sent the note
    int ms;       // the music's time then, at the start of its block
    int channel;
    int key;
};

struct TestingMidiPlay {
    bool accepted = false;               // the reader took the file
    std::string failure;                 // empty when refused or played; else how it failed to play
    int tracks = 0;                      // in the copy
    int length = 0;                      // ticks to the end of its longest track, as the reader counted
    int reached_end_at = -1;             // the first tick at or past the length the player counted
    std::vector<TestingMidiNote> notes;  // note-ons, in the order the player sent them
};

TestingMidiPlay testing_midi_play(const uint8_t* data, size_t size);
