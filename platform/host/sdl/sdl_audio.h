/// @file
/// sdl_audio.h -- the SDL2 host's audio device: 16-bit frames pulled from the mixer on SDL's own
/// thread, through a buffer small enough (about 10 ms) that an effect sounds with its frame.
#pragma once
#include <SDL.h>

/// The SDL2 host's audio device, pulling the mixer's frames on SDL's own thread.
class SdlAudio {
public:
    ~SdlAudio() { close(); }

    bool open(int rate, int channels);  ///< false when there is no device; SDL_GetError() says why
    void close();  ///< closes the device, if open

private:
    static void SDLCALL pull(void* self, Uint8* stream, int bytes);

    SDL_AudioDeviceID device = 0;
    int frame_bytes = 4;
};
