// fluidsynth.h (web build) -- the part of FluidSynth's C interface that the stand-in's music calls
// (platform/src/dmusic_performance.cpp), declared as FluidSynth 2 declares it. The web build gives
// it an implementation (fluidsynth_web.cpp) over FluidSynth compiled to WebAssembly by js-synthesizer,
// which the page loads as a module of its own.
#pragma once
#include <cstddef>

#include "fluidsynth/types.h"

#define FLUID_OK (0)
#define FLUID_FAILED (-1)

enum fluid_log_level { FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG, LAST_LOG_LEVEL };
typedef void (*fluid_log_function_t)(int level, const char* message, void* data);
fluid_log_function_t fluid_set_log_function(int level, fluid_log_function_t fun, void* data);

enum fluid_player_status { FLUID_PLAYER_READY, FLUID_PLAYER_PLAYING, FLUID_PLAYER_STOPPING, FLUID_PLAYER_DONE };

fluid_settings_t* new_fluid_settings(void);
void delete_fluid_settings(fluid_settings_t* settings);
int fluid_settings_setnum(fluid_settings_t* settings, const char* name, double value);
int fluid_settings_setstr(fluid_settings_t* settings, const char* name, const char* value);
int fluid_settings_setint(fluid_settings_t* settings, const char* name, int value);

fluid_synth_t* new_fluid_synth(fluid_settings_t* settings);
void delete_fluid_synth(fluid_synth_t* synth);
int fluid_synth_sfload(fluid_synth_t* synth, const char* filename, int reset_presets);
int fluid_synth_all_sounds_off(fluid_synth_t* synth, int channel);
int fluid_synth_get_active_voice_count(fluid_synth_t* synth);
int fluid_synth_write_float(fluid_synth_t* synth, int len, void* lout, int loff, int lincr, void* rout, int roff,
                            int rincr);

fluid_player_t* new_fluid_player(fluid_synth_t* synth);
void delete_fluid_player(fluid_player_t* player);
int fluid_player_add_mem(fluid_player_t* player, const void* buffer, size_t len);
int fluid_player_play(fluid_player_t* player);
int fluid_player_stop(fluid_player_t* player);
int fluid_player_get_status(fluid_player_t* player);
int fluid_player_get_current_tick(fluid_player_t* player);
int fluid_player_get_total_ticks(fluid_player_t* player);
