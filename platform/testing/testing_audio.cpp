// testing_audio.cpp -- the test hooks for sound and music: on-demand rendering, the machine's
// soundfont, the host's audio device, and counts of live buffers and segments.
#include "audio_internal.h"
#include "internal.h"
#include "testing.h"

int testing_audio_rate() { return MIXER_RATE; }

std::vector<int16_t> testing_audio_render(int frames)
{
    std::vector<int16_t> out(static_cast<size_t>(frames > 0 ? frames : 0) * MIXER_CHANNELS);
    if (frames > 0)
        mixer_render(out.data(), frames);
    return out;
}

void testing_audio_unavailable(bool on) { testing_host().audio_unavailable = on; }

void testing_soundfont(const char* path)
{
    if (path)
        machine.soundfont = path;
    else
        machine.soundfont.reset();
}

const std::vector<std::string>& testing_music_unavailable_notes() { return testing_host().music_notes; }

int testing_sound_buffers_alive() { return sound_buffers_alive(); }

int testing_music_segments_alive() { return music_segments_alive(); }
