// fluidsynth/types.h (web build) -- FluidSynth's handle types, as the stand-in's music names them.
// In the browser they are addresses in js-synthesizer's own FluidSynth module (fluidsynth_web.cpp).
#pragma once
typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_player_t fluid_player_t;
