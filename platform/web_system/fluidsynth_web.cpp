// fluidsynth_web.cpp -- the synthesizer's seam in the web build: FluidSynth's C interface (the part that
// platform/src/dmusic_performance.cpp calls, fluidsynth.h beside this file) handed on to FluidSynth compiled to
// WebAssembly (npm js-synthesizer's libfluidsynth, loaded by the page as a module of its own). Its
// handles are addresses in that module's memory; strings, the MIDI file and the soundfont are copied
// over, and rendered samples copied back. The music then renders where it does on the desktop: in
// the mixer's pull, timed by the samples it renders.
#include <fluidsynth.h>

#include <emscripten.h>

#include <cstdint>

// The synthesizer keeps FluidSynth's default gain: with the same soundfont, rate and settings this
// FluidSynth (2.4.6) renders the game's pieces within 2 dB of Debian's native one (AIRMAN.MID at the
// same RMS, WOODMAN3.MID 1.6 dB lower, over their first 20 seconds).

// ---- the synthesizer's module ----

// The page's synthesizer module once it has loaded (the first call waits for it): false when the
// page has none, and music is then off.
EM_ASYNC_JS(int, fluid_web_ready, (), {
    if (Module.fluid === undefined)
        Module.fluid = Module.page.synthesizer ? await Module.page.synthesizer() : null;
    return Module.fluid ? 1 : 0;
});

static bool ready()
{
    static int loaded = -1;  // not asked yet
    if (loaded < 0)
        loaded = fluid_web_ready();
    return loaded != 0;
}

EM_JS(int, fluid_web_call, (const char* name, int a, int b, int c), {
    return Module.fluid["_" + UTF8ToString(name)](a, b, c);
});

// A setting: its name and a string value are copied into the synthesizer's memory for the call.
EM_JS(int, fluid_web_setting, (int settings, const char* name, int kind, double number, const char* text), {
    const fluid = Module.fluid;
    const copy = s => {
        const bytes = new TextEncoder().encode(s);
        const at = fluid._malloc(bytes.length + 1);
        fluid.HEAPU8.set(bytes, at);
        fluid.HEAPU8[at + bytes.length] = 0;
        return at;
    };
    const key = copy(UTF8ToString(name));
    let result;
    if (kind === 0)
        result = fluid._fluid_settings_setnum(settings, key, number);
    else if (kind === 1)
        result = fluid._fluid_settings_setint(settings, key, number);
    else {
        const value = copy(UTF8ToString(text));
        result = fluid._fluid_settings_setstr(settings, key, value);
        fluid._free(value);
    }
    fluid._free(key);
    return result;
});

// The soundfont, read from this program's files, written at the same path into the synthesizer's.
EM_JS(int, fluid_web_sfload, (int synth, const char* filename, int reset), {
    const fluid = Module.fluid;
    const path = UTF8ToString(filename);
    let data;
    try {
        data = FS.readFile(path);
    } catch (e) {
        return -1;
    }
    const folder = path.substring(0, path.lastIndexOf("/"));
    if (folder)
        fluid.FS.mkdirTree(folder);
    fluid.FS.writeFile(path, data);
    const bytes = new TextEncoder().encode(path);
    const at = fluid._malloc(bytes.length + 1);
    fluid.HEAPU8.set(bytes, at);
    fluid.HEAPU8[at + bytes.length] = 0;
    const id = fluid._fluid_synth_sfload(synth, at, reset);
    fluid._free(at);
    return id;
});

EM_JS(int, fluid_web_add_mem, (int player, const void* buffer, int length), {
    const fluid = Module.fluid;
    const at = fluid._malloc(length);
    fluid.HEAPU8.set(HEAPU8.subarray(buffer, buffer + length), at);
    const result = fluid._fluid_player_add_mem(player, at, length);
    fluid._free(at);
    return result;
});

// `frames` stereo frames rendered into the synthesizer's scratch memory, copied to `out` as the
// interleaved pairs the caller asked for.
EM_JS(int, fluid_web_write, (int synth, int frames, float* out), {
    const fluid = Module.fluid;
    const bytes = frames * 8;
    if (!Module.fluidScratch || Module.fluidScratchBytes < bytes) {
        if (Module.fluidScratch)
            fluid._free(Module.fluidScratch);
        Module.fluidScratch = fluid._malloc(bytes);
        Module.fluidScratchBytes = bytes;
    }
    const at = Module.fluidScratch;
    const result = fluid._fluid_synth_write_float(synth, frames, at, 0, 2, at, 1, 2);
    HEAPF32.set(fluid.HEAPF32.subarray(at >> 2, (at >> 2) + frames * 2), out >> 2);
    return result;
});

// ---- the interface ----

template <typename T>
static T* handle(int address)
{
    return reinterpret_cast<T*>(static_cast<uintptr_t>(address));
}

static int address(const void* handle) { return static_cast<int>(reinterpret_cast<uintptr_t>(handle)); }

// Log messages go nowhere in the page: the program's own log function cannot be called from the
// synthesizer's module, and none is set there.
fluid_log_function_t fluid_set_log_function(int level, fluid_log_function_t, void*)
{
    if (ready())
        fluid_web_call("fluid_set_log_function", level, 0, 0);
    return nullptr;
}

fluid_settings_t* new_fluid_settings(void)
{
    if (!ready())
        return nullptr;
    return handle<fluid_settings_t>(fluid_web_call("new_fluid_settings", 0, 0, 0));
}

void delete_fluid_settings(fluid_settings_t* settings) { fluid_web_call("delete_fluid_settings", address(settings), 0, 0); }

int fluid_settings_setnum(fluid_settings_t* settings, const char* name, double value)
{
    return fluid_web_setting(address(settings), name, 0, value, nullptr);
}

int fluid_settings_setint(fluid_settings_t* settings, const char* name, int value)
{
    return fluid_web_setting(address(settings), name, 1, value, nullptr);
}

int fluid_settings_setstr(fluid_settings_t* settings, const char* name, const char* value)
{
    return fluid_web_setting(address(settings), name, 2, 0, value);
}

fluid_synth_t* new_fluid_synth(fluid_settings_t* settings)
{
    return handle<fluid_synth_t>(fluid_web_call("new_fluid_synth", address(settings), 0, 0));
}

void delete_fluid_synth(fluid_synth_t* synth) { fluid_web_call("delete_fluid_synth", address(synth), 0, 0); }

int fluid_synth_sfload(fluid_synth_t* synth, const char* filename, int reset_presets)
{
    return fluid_web_sfload(address(synth), filename, reset_presets);
}

int fluid_synth_all_sounds_off(fluid_synth_t* synth, int channel)
{
    return fluid_web_call("fluid_synth_all_sounds_off", address(synth), channel, 0);
}

int fluid_synth_get_active_voice_count(fluid_synth_t* synth)
{
    return fluid_web_call("fluid_synth_get_active_voice_count", address(synth), 0, 0);
}

// Only the form the stand-in uses: both channels into one buffer, left then right, two apart.
int fluid_synth_write_float(fluid_synth_t* synth, int len, void* lout, int loff, int lincr, void* rout, int roff,
                            int rincr)
{
    if (lout != rout || loff != 0 || roff != 1 || lincr != 2 || rincr != 2)
        return FLUID_FAILED;
    return fluid_web_write(address(synth), len, static_cast<float*>(lout));
}

fluid_player_t* new_fluid_player(fluid_synth_t* synth)
{
    return handle<fluid_player_t>(fluid_web_call("new_fluid_player", address(synth), 0, 0));
}

void delete_fluid_player(fluid_player_t* player) { fluid_web_call("delete_fluid_player", address(player), 0, 0); }

int fluid_player_add_mem(fluid_player_t* player, const void* buffer, size_t len)
{
    return fluid_web_add_mem(address(player), buffer, static_cast<int>(len));
}

int fluid_player_play(fluid_player_t* player) { return fluid_web_call("fluid_player_play", address(player), 0, 0); }
int fluid_player_stop(fluid_player_t* player) { return fluid_web_call("fluid_player_stop", address(player), 0, 0); }

int fluid_player_get_status(fluid_player_t* player)
{
    return fluid_web_call("fluid_player_get_status", address(player), 0, 0);
}

int fluid_player_get_current_tick(fluid_player_t* player)
{
    return fluid_web_call("fluid_player_get_current_tick", address(player), 0, 0);
}

int fluid_player_get_total_ticks(fluid_player_t* player)
{
    return fluid_web_call("fluid_player_get_total_ticks", address(player), 0, 0);
}
