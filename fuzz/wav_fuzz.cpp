// wav_fuzz.cpp -- sound_load_wav on any bytes: a file it refuses is -1, one it takes plays.
// Each input is a file of its own in the temporary folder; the table is emptied after each.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "audio.h"
#include "services.h"
#include "testing.h"

static std::string wav_path;

static void remove_file() { std::remove(wav_path.c_str()); }

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    testing_reset();
    main_window = testing_make_window();
    sound_init();
    wav_path = "/tmp/vorlash-wav-fuzz-" + std::to_string(getpid()) + ".wav";
    std::atexit(remove_file);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::FILE* f = std::fopen(wav_path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    const int id = sound_load_wav(wav_path.c_str(), DSBCAPS_CTRLDEFAULT);
    if (id >= 0) {
        // Whatever loaded plays: fast, so a short render reaches its end.
        sound_set_frequency(id, 100000);
        sound_play(id, 0);
        testing_audio_render(512);
        sound_status(id);
    }
    sound_init();  // stops and releases every buffer, frees every slot
    return 0;
}
