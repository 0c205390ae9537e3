// audio_bench.cpp -- one second of audio at 44100 Hz stereo: the mixer with 16 effects at
// different rates, volumes and pans beside SDL2 resampling and mixing the same 16; the
// synthesizer playing one of the game's pieces through the performance beside bare FluidSynth.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <fluidsynth.h>

#include <dmusici.h>
#include <dsound.h>
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "audio_internal.h"
#include "testing.h"

static constexpr int RATE = 44100;
static constexpr int EFFECTS = 16;

// ---- the effects ----

struct Effect {
    int channels, bits, rate;
    LONG volume, pan;
    std::vector<uint8_t> bytes;  // two seconds of a rough sawtooth
};

static std::vector<Effect> effects()
{
    static const int RATES[] = {8000, 11025, 16000, 22050, 32000, 44100, 11025, 22050};
    std::vector<Effect> list;
    for (int i = 0; i < EFFECTS; ++i) {
        Effect e{i % 4 == 3 ? 2 : 1, i % 2 ? 16 : 8, RATES[i % 8], -150 * i, -3000 + 400 * i, {}};
        const size_t frames = static_cast<size_t>(e.rate) * 2;
        const int frame_bytes = e.channels * e.bits / 8;
        e.bytes.resize(frames * frame_bytes);
        for (size_t f = 0; f < frames; ++f)
            for (int c = 0; c < e.channels; ++c) {
                const int value = static_cast<int>((f * (7 + i)) % 512) - 256;  // -256 … 255
                uint8_t* at = e.bytes.data() + f * frame_bytes + c * e.bits / 8;
                if (e.bits == 8) {
                    at[0] = static_cast<uint8_t>(128 + value / 4);
                } else {
                    const int16_t s = static_cast<int16_t>(value * 64);
                    std::memcpy(at, &s, 2);
                }
            }
        list.push_back(std::move(e));
    }
    return list;
}

static void BM_Vorlash_MixSixteenEffects(benchmark::State& state)
{
    testing_reset();
    LPDIRECTSOUND ds = nullptr;
    if (FAILED(DirectSoundCreate(nullptr, &ds, nullptr))) {
        state.SkipWithError("no DirectSound");
        return;
    }
    std::vector<LPDIRECTSOUNDBUFFER> buffers;
    for (const Effect& e : effects()) {
        WAVEFORMATEX f{WAVE_FORMAT_PCM, static_cast<WORD>(e.channels), static_cast<DWORD>(e.rate),
                       static_cast<DWORD>(e.rate * e.channels * e.bits / 8), static_cast<WORD>(e.channels * e.bits / 8),
                       static_cast<WORD>(e.bits), 0};
        DSBUFFERDESC d{sizeof d, DSBCAPS_CTRLDEFAULT | DSBCAPS_STATIC, static_cast<DWORD>(e.bytes.size()), 0, &f, {}};
        LPDIRECTSOUNDBUFFER b = nullptr;
        ds->CreateSoundBuffer(&d, &b, nullptr);
        void *p1, *p2;
        DWORD n1, n2;
        b->Lock(0, static_cast<DWORD>(e.bytes.size()), &p1, &n1, &p2, &n2, 0);
        std::memcpy(p1, e.bytes.data(), n1);
        b->Unlock(p1, n1, p2, n2);
        b->SetVolume(e.volume);
        b->SetPan(e.pan);
        b->Play(0, 0, DSBPLAY_LOOPING);
        buffers.push_back(b);
    }
    std::vector<int16_t> out(RATE * 2);
    for (auto _ : state) {
        host_audio_render(out.data(), RATE);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * RATE);
    for (LPDIRECTSOUNDBUFFER b : buffers)
        b->Release();
    ds->Release();
}
BENCHMARK(BM_Vorlash_MixSixteenEffects)->Unit(benchmark::kMicrosecond);

// The mixer's polyphase pass alone, beside its plain twin: one second of an 11025 Hz effect
// resampled to 44100 Hz, the step of every effect the game plays.
static void polyphase_second(benchmark::State& state,
                             void (*pass)(const float*, uint64_t, uint64_t, float*, int))
{
    constexpr int SOURCE_RATE = 11025;
    std::vector<float> source(SOURCE_RATE + 2 * RESAMPLE_TAPS), out(RATE);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<float>(static_cast<int>(i * 37 % 512) - 256);
    const uint64_t step = RESAMPLE_UNIT * SOURCE_RATE / RATE;
    for (auto _ : state) {
        pass(source.data(), uint64_t{RESAMPLE_TAPS} << 32, step, out.data(), RATE);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * RATE);
}

static void BM_Vorlash_PolyphaseSecond(benchmark::State& state) { polyphase_second(state, resample_polyphase_fast); }
BENCHMARK(BM_Vorlash_PolyphaseSecond)->Unit(benchmark::kMicrosecond);

static void BM_VorlashPlain_PolyphaseSecond(benchmark::State& state)
{
    polyphase_second(state, resample_polyphase_plain);
}
BENCHMARK(BM_VorlashPlain_PolyphaseSecond)->Unit(benchmark::kMicrosecond);

// SDL2 doing the same work: each effect resampled to 44100 Hz stereo by an audio stream, then
// mixed in at its volume (SDL's mixer has no pan).
static void BM_SDL2_MixSixteenStreams(benchmark::State& state)
{
    const std::vector<Effect> list = effects();
    std::vector<SDL_AudioStream*> streams;
    for (const Effect& e : list)
        streams.push_back(SDL_NewAudioStream(e.bits == 8 ? AUDIO_U8 : AUDIO_S16SYS, static_cast<Uint8>(e.channels),
                                             e.rate, AUDIO_S16SYS, 2, RATE));
    std::vector<int16_t> out(RATE * 2), one(RATE * 2);
    const int bytes = RATE * 4;
    for (auto _ : state) {
        std::memset(out.data(), 0, bytes);
        for (int i = 0; i < EFFECTS; ++i) {
            const Effect& e = list[i];
            // One second of source in, one second out.
            SDL_AudioStreamPut(streams[i], e.bytes.data(), static_cast<int>(e.bytes.size() / 2));
            SDL_AudioStreamGet(streams[i], one.data(), bytes);
            const int volume = static_cast<int>(SDL_MIX_MAXVOLUME * std::pow(10.0, e.volume / 2000.0));
            SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()), reinterpret_cast<const Uint8*>(one.data()),
                               AUDIO_S16SYS, bytes, volume);
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * RATE);
    for (SDL_AudioStream* s : streams)
        SDL_FreeAudioStream(s);
}
BENCHMARK(BM_SDL2_MixSixteenStreams)->Unit(benchmark::kMicrosecond);

// ---- the synthesizer ----

// One of the game's pieces when the assets are built, else a piece written here: four channels
// of steady eighth notes.
static std::string piece_path()
{
    const std::filesystem::path game_piece = std::filesystem::path(VORLASH_ASSETS_DIR) / "MM1CUT.MID";
    if (std::filesystem::exists(game_piece))
        return game_piece.string();
    std::vector<uint8_t> track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
    for (int ch = 0; ch < 4; ++ch)
        track.insert(track.end(), {0x00, static_cast<uint8_t>(0xC0 | ch), static_cast<uint8_t>(ch * 8)});
    for (int n = 0; n < 64; ++n)
        for (int ch = 0; ch < 4; ++ch) {
            const uint8_t key = static_cast<uint8_t>(48 + ch * 7 + n % 12);
            track.insert(track.end(), {0x00, static_cast<uint8_t>(0x90 | ch), key, 100});
            track.insert(track.end(), {static_cast<uint8_t>(ch == 0 ? 0x81 : 0x00), static_cast<uint8_t>(ch == 0 ? 0x70 : 0x00),
                                       static_cast<uint8_t>(0x80 | ch), key, 0});
        }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
    const uint32_t n = static_cast<uint32_t>(track.size());
    file.insert(file.end(), {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8),
                             static_cast<uint8_t>(n)});
    file.insert(file.end(), track.begin(), track.end());
    const std::string path = (std::filesystem::temp_directory_path() / "vorlash-bench-piece.mid").string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    return path;
}

static void BM_Vorlash_SynthOneSecond(benchmark::State& state)
{
    testing_reset();
    CoInitialize(nullptr);
    IDirectMusicPerformance* performance = nullptr;
    IDirectMusicLoader* loader = nullptr;
    IDirectMusicSegment* segment = nullptr;
    CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance,
                     reinterpret_cast<void**>(&performance));
    CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader,
                     reinterpret_cast<void**>(&loader));
    DMUS_OBJECTDESC desc{};
    desc.dwSize = sizeof desc;
    desc.guidClass = CLSID_DirectMusicSegment;
    desc.dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_FILENAME | DMUS_OBJ_FULLPATH;
    MultiByteToWideChar(CP_ACP, 0, piece_path().c_str(), -1, desc.wszFileName, DMUS_MAX_FILENAME);
    if (FAILED(performance->Init(nullptr, nullptr, nullptr)) || FAILED(performance->AddPort(nullptr)) ||
        FAILED(loader->GetObject(&desc, IID_IDirectMusicSegment, reinterpret_cast<void**>(&segment)))) {
        state.SkipWithError("no synthesizer or no piece");
        return;
    }
    performance->PlaySegment(segment, 0, 0, nullptr);
    std::vector<int16_t> out(RATE * 2);
    for (auto _ : state) {
        if (performance->IsPlaying(segment, nullptr) != S_OK)
            performance->PlaySegment(segment, 0, 0, nullptr);
        host_audio_render(out.data(), RATE);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * RATE);
    segment->Release();
    loader->Release();
    performance->CloseDown();
    performance->Release();
    CoUninitialize();
}
BENCHMARK(BM_Vorlash_SynthOneSecond)->Unit(benchmark::kMillisecond);

// FluidSynth alone, with the same settings, soundfont and piece, writing straight to a buffer.
static void discard_log(int, const char*, void*) {}

static void BM_FluidSynth_RenderOneSecond(benchmark::State& state)
{
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, discard_log, nullptr);
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", RATE);
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    fluid_settings_setint(settings, "synth.threadsafe-api", 0);
    fluid_synth_t* synth = new_fluid_synth(settings);
    if (fluid_synth_sfload(synth, "/usr/share/sounds/sf2/default-GM.sf2", 1) == FLUID_FAILED) {
        state.SkipWithError("no soundfont");
        return;
    }
    const std::string path = piece_path();
    fluid_player_t* player = nullptr;
    std::vector<int16_t> out(RATE * 2);
    for (auto _ : state) {
        if (!player || fluid_player_get_status(player) != FLUID_PLAYER_PLAYING) {
            if (player)
                delete_fluid_player(player);
            player = new_fluid_player(synth);
            fluid_player_add(player, path.c_str());
            fluid_player_play(player);
        }
        fluid_synth_write_s16(synth, RATE, out.data(), 0, 2, out.data(), 1, 2);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * RATE);
    if (player)
        delete_fluid_player(player);
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
}
BENCHMARK(BM_FluidSynth_RenderOneSecond)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
