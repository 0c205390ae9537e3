// reasons_test.cpp -- audio_reason(): each reason the sound and music inits and loaders give but for
// the files each loader refuses, whose reasons their own tables check (wav_load_test.cpp,
// music_test.cpp). Not here: "no memory for the samples" (no allocation can be made to fail).
#include <cstring>
#include <filesystem>

#include "audio_fixtures.h"
#include "reason_rows.h"

namespace {

int sound_up()
{
    sound_first_init = 1;
    return sound_init();
}
int music_up() { return sound_up() && music_init(); }
int sound(const char* name) { return sound_load_wav(name, 0) >= 0; }
int loads(const Bytes& file)
{
    write_file("a.wav", file);
    return sound("a.wav");
}
int wav() { return loads(simple_wav(1, 8, 11025, Bytes(64, 0x80))); }
int midi(const char* name)
{
    write_file("note.mid", one_note_midi());
    return music_load_midi(name) >= 0;
}
int note() { return midi("note.mid"); }

int format_past_the_end()  // a whole format chunk (with its cbSize) claiming more than the file holds
{
    sound_up();
    Bytes format = fmt_body(1, 8, 11025);
    format.resize(18);
    return loads(wave_file({riff_chunk("fmt ", format, 1 << 30)}));
}

int note_in_a_deep_folder()  // five folders of 60-character names: past 259 characters
{
    music_up();
    for (int i = 0; i < 5; ++i) {
        std::filesystem::create_directory(std::string(60, 'd'));
        std::filesystem::current_path(std::string(60, 'd'));
    }
    return note();
}

// The layers up to `up` (none when null), `operation`'s `nth` call failing, then `call`.
std::function<int()> failing(int (*up)(), const char* operation, int (*call)(), int nth = 1)
{
    return [=] {
        if (up)
            up();
        testing_fault(operation, nth, E_FAIL);
        return call();
    };
}

// clang-format off: one row per reason reads better than one field per line
const ReasonRow ROWS[] = {
    {[] { testing_audio_unavailable(true); return sound_up(); }, "there is no sound device"},
    {failing(nullptr, "DirectSoundCreate", sound_up), "DirectSound cannot start (error 0x80004005)"},
    {failing(nullptr, "IDirectSound::SetCooperativeLevel", sound_up),
     "the window cannot take the sound device (error 0x80004005)"},
    {[] { main_window = nullptr; return sound_up(); },
     "the sound device cannot be bound to a window: main_window is null"},
    {[] { sound_up(); for (int i = 0; i < SOUND_SLOT_COUNT; ++i) wav(); return wav(); },
     "all 256 sound slots are taken"},
    {[] { sound_up(); return sound(nullptr); }, "a null file name"},
    {[] { sound_up(); return sound("missing.wav"); }, "the file cannot be opened"},
    {[] { sound_up(); return loads(wave_file({})); }, "the RIFF WAVE chunk holds no format chunk"},
    {[] { sound_up(); return loads(wave_file({riff_chunk("fmt ", fmt_body(1, 4, 8000, 2)), riff_chunk("data", {})})); },
     "compressed samples (format 2) are not read (only integer PCM)"},
    {format_past_the_end, "the format chunk runs past the end of the file"},
    {wav, "there is no DirectSound object: sound_init comes first"},
    {failing(sound_up, "IDirectSound::CreateSoundBuffer", wav), "the sound buffer cannot be made (error 0x80004005)"},
    {failing(sound_up, "IDirectSoundBuffer::Lock", wav), "the sound buffer cannot be locked (error 0x80004005)"},
    {failing(sound_up, "IDirectSoundBuffer::Unlock", wav), "the sound buffer cannot be unlocked (error 0x80004005)"},
    {failing(sound_up, "CoInitialize", music_init), "COM cannot start (error 0x80004005)"},
    {failing(sound_up, "CoCreateInstance", music_init), "DirectMusic cannot start (error 0x80004005)"},
    {failing(sound_up, "IDirectMusicPerformance::Init", music_init),
     "the music cannot start on the sound device (error 0x80004005)"},
    {[] { testing_audio_unavailable(true); return music_init(); }, "there is no sound device"},
    {failing(sound_up, "IDirectMusicPerformance::AddPort", music_init),
     "the synthesizer cannot start (error 0x80004005)"},
    {failing(sound_up, "CoCreateInstance", music_init, 2), "the music loader cannot be made (error 0x80004005)"},
    {note, "music is not started: music_init comes first"},
    {[] { music_up(); return midi(nullptr); }, "a null file name"},
    {[] { music_up(); for (int i = 0; i < MUSIC_SLOT_COUNT; ++i) note(); return note(); },
     "all 64 music slots are taken"},
    {[] { music_up(); return midi("missing.mid"); }, "the file cannot be opened"},
    {failing(music_up, "IDirectMusicLoader::SetSearchDirectory", note),
     "the music loader refuses the current folder (error 0x80004005)"},
    {failing(music_up, "IDirectMusicLoader::GetObject", note),
     "the music loader cannot read the file (error 0x80004005)"},
    {failing(music_up, "IDirectMusicSegment::SetParam", note),
     "the piece cannot be made ready to play (error 0x80004005)"},
    {note_in_a_deep_folder, "the current folder's name cannot be read (or is over 259 characters)"},
    {[] { music_up(); return midi(std::string(300, 'n').c_str()); }, "the file name is over 259 characters"},
    {[] { music_up(); midi("missing.mid"); return wav() && note(); }, ""},  // a success empties it
};
// clang-format on

class AudioReasons : public testing::TestWithParam<ReasonRow> {
protected:
    void SetUp() override
    {
        make_test_window();
        std::memset(sound_slots, 0, sizeof sound_slots);  // every slot free, as before a first init
    }
    void TearDown() override
    {
        music_shutdown();
        sound_shutdown();
    }
    ScratchFolder folder;
};

}  // namespace

REASON_TABLE(AudioReasons, ROWS, audio_reason);
