// web_page.cpp -- the program's calls into its page, each handed to the page object the page gave
// the module (Module.page, page/vorlash.js). EM_JS bodies pass through the C preprocessor: they hold
// no line comments, and strings in them use double quotes.
#include "web_page.h"

#include <emscripten.h>

EM_JS(void, web_page_key_name, (const char* code, int dik), { Module.page.keyCodes[UTF8ToString(code)] = dik; });

EM_JS(void, web_page_open, (int width, int height), { Module.page.open(width, height); });

EM_JS(void, web_page_draw, (const uint8_t* rgba, int width, int height, int top, int rows), {
    Module.page.draw(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width, height, top, rows);
});

// An EM_ASYNC_JS function is imported under another name than its own, so other files reach these
// two through plain functions.
EM_ASYNC_JS(void, page_next_frame, (), { await Module.page.nextFrame(); });
EM_ASYNC_JS(void, page_sleep, (int ms), { await Module.page.sleep(ms); });
EM_ASYNC_JS(void, page_turn, (), { await Module.page.turn(); });
void web_page_refresh() { page_next_frame(); }
void web_page_sleep(int ms) { page_sleep(ms); }
void web_page_turn() { page_turn(); }

EM_JS(int, web_page_events, (int* out, int max_events), {
    const queue = Module.page.events;
    const taken = Math.min(queue.length / 3, max_events);
    for (let i = 0; i < taken * 3; ++i)
        HEAP32[(out >> 2) + i] = queue[i];
    queue.splice(0, taken * 3);
    return taken;
});

EM_JS(double, web_page_now, (), { return Module.page.now(); });

EM_JS(bool, web_page_gamepad, (uint32_t* buttons, int* x, int* y), {
    const pad = Module.page.gamepad();
    if (!pad)
        return false;
    let bits = 0;
    for (let i = 0; i < pad.buttons.length && i < 32; ++i)
        if (pad.buttons[i].pressed)
            bits |= 1 << i;
    const axis = v => Math.max(-32768, Math.min(32767, Math.round((v || 0) * 32767)));
    HEAPU32[buttons >> 2] = bits >>> 0;
    HEAP32[x >> 2] = axis(pad.axes[0]);
    HEAP32[y >> 2] = axis(pad.axes[1]);
    return true;
});

EM_JS(void, web_page_cursor, (bool visible), { Module.page.cursor(visible); });

EM_JS(bool, web_page_audio_open, (int rate, int channels, int16_t* buffer, int frames), {
    return Module.page.openAudio(rate, channels, frames, function() {
        Module._web_audio_pull();
        return new Int16Array(HEAP16.buffer, buffer, frames * channels);
    });
});

EM_JS(void, web_page_audio_close, (), { Module.page.closeAudio(); });

EM_JS(void, web_page_notice, (const char* text), { Module.page.notice(UTF8ToString(text)); });

EM_JS(void, web_page_ended, (int code), { Module.page.ended(code); });
