// sdl_audio.cpp -- the SDL2 host's audio device and its notices: SDL converts nothing, the mixer
// renders at the device's rate in the device's format.
#include "sdl_audio.h"

#include <cstdio>

#include "sdl_host.h"
#include "../../src/host_reports.h"

// ---- constants ----
// 512 frames at 44100 Hz: 11.6 ms, short enough to feel immediate, long enough to never starve.
static constexpr Uint16 DEVICE_FRAMES = 512;

// ---- the device ----

bool SdlAudio::open(int rate, int channels)
{
    if (device)
        return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<Uint8>(channels);
    want.samples = DEVICE_FRAMES;
    want.callback = pull;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the hardware wants, the mixer keeps its format.
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!device) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    frame_bytes = channels * static_cast<int>(sizeof(int16_t));
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void SdlAudio::close()
{
    if (!device)
        return;
    SDL_CloseAudioDevice(device);  // waits for a running callback to return
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device = 0;
}

void SDLCALL SdlAudio::pull(void* self, Uint8* stream, int bytes)
{
    const int frames = bytes / static_cast<SdlAudio*>(self)->frame_bytes;
    host_audio_render(reinterpret_cast<int16_t*>(stream), frames);
}

// ---- the host's audio ----

bool SdlHost::open_audio(int rate, int channels) { return audio.open(rate, channels); }

void SdlHost::close_audio() { audio.close(); }

void SdlHost::music_unavailable(const char* reason)
{
    static bool said = false;
    if (said)
        return;
    said = true;
    std::fprintf(stderr, "vorlash: %s; music is off\n", reason);
}
