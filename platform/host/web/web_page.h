// web_page.h -- the calls from the program into its page (page/vorlash.js), each a few lines of
// JavaScript (web_page.cpp). The page queues what the player does; the program takes it in its own
// time (web_page_events), as the SDL2 host polls SDL's queue.
#pragma once
#include <cstdint>

// What the page queued: three ints an event, {kind, a, b}.
enum WebEvent { WEB_KEY = 1, WEB_FOCUS = 2 };  // WEB_KEY: a = DirectInput code, b = down; WEB_FOCUS: a = focused
constexpr int WEB_EVENT_INTS = 3;

extern "C" {
void web_page_key_name(const char* code, int dik);  // KeyboardEvent.code `code` is the key `dik`
void web_page_open(int width, int height);          // the canvas takes the display's size
// The picture `rgba` (width × height RGBA bytes), of which only `rows` rows from row `top` changed.
void web_page_draw(const uint8_t* rgba, int width, int height, int top, int rows);
void web_page_refresh();                            // until the page's next animation frame
void web_page_sleep(int ms);
void web_page_turn();                               // the page's turn now, as soon as it has had it
int web_page_events(int* out, int max_events);      // events taken, at most max_events
double web_page_now();                              // milliseconds, the page's clock
// The first standard gamepad: its buttons as bits (button i at bit i) and its left stick's x and
// y in -32768 … 32767; false when none is connected.
bool web_page_gamepad(uint32_t* buttons, int* x, int* y);
void web_page_cursor(bool visible);
bool web_page_audio_open(int rate, int channels, int16_t* buffer, int frames);
void web_page_audio_close();
void web_page_notice(const char* text);
void web_page_ended(int code);
}
