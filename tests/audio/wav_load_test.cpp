// wav_load_test.cpp -- sound_load_wav (and from memory): slots taken in order and exhausted, the files it refuses
// (each leaving its slot free), the chunk layouts it walks, and the conversions to 8-bit mono.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "audio_fixtures.h"

class WavLoad : public SoundTest {};

// The bytes a loaded effect's buffer holds.
static Bytes buffer_bytes(int id)
{
    const SoundSlot& slot = sound_slots[id];
    void* first = nullptr;
    void* second = nullptr;
    DWORD first_bytes = 0, second_bytes = 0;
    Bytes out;
    if (!slot.buffer || FAILED(slot.buffer->Lock(0, slot.size, &first, &first_bytes, &second, &second_bytes, 0)))
        return out;
    out.assign(static_cast<uint8_t*>(first), static_cast<uint8_t*>(first) + first_bytes);
    slot.buffer->Unlock(first, first_bytes, second, second_bytes);
    return out;
}

static const Bytes RAMP = {0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0};

// ---- slots ----

TEST_F(WavLoad, SlotsFillInOrderUntilAllAreTaken)
{
    write_file("a.wav", simple_wav(1, 8, 11025, RAMP));
    for (int i = 0; i < SOUND_SLOT_COUNT; ++i)
        ASSERT_EQ(sound_load_wav("a.wav", 0), i);
    EXPECT_EQ(sound_load_wav("a.wav", 0), -1) << "the 257th load";
    EXPECT_EQ(sound_replicate(0), -1) << "no slot for a replica either";
    EXPECT_EQ(testing_sound_buffers_alive(), SOUND_SLOT_COUNT);
    EXPECT_EQ(sound_slots[255].id, 255);
}

TEST_F(WavLoad, GameEffectsTakeIdsZeroToThreeAfterAFreshInit)
{
    write_file("a.wav", simple_wav(1, 8, 11025, RAMP));
    EXPECT_EQ(sound_load_wav("a.wav", 224), 0);
    EXPECT_EQ(sound_load_wav("a.wav", 224), 1);
    ASSERT_EQ(sound_init(), 1);
    EXPECT_EQ(testing_sound_buffers_alive(), 0) << "a second init releases every buffer";
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(sound_load_wav("a.wav", 224), i);
}

// ---- refused files ----

struct Refused {
    const char* what;
    Bytes file;
    const char* reason;  // what audio_reason() says after the refusal
};

TEST_F(WavLoad, RefusedFilesReturnMinusOneLeaveTheSlotFreeAndSayWhy)
{
    const Bytes fmt = riff_chunk("fmt ", fmt_body(1, 8, 11025));
    const Bytes data = riff_chunk("data", RAMP);
    const char* const NOT_WAV = "not a WAV file: it holds no RIFF WAVE chunk";
    const char* const SHORT_EXTENSION = "the extensible format chunk is cut short";
    Bytes truncated = simple_wav(1, 8, 11025, Bytes(400, 0x80));
    truncated.resize(truncated.size() - 100);
    const std::vector<Refused> files = {
        {"not RIFF", Bytes{'R', 'I', 'F', 'X', 8, 0, 0, 0, 'W', 'A', 'V', 'E'}, NOT_WAV},
        {"RIFF of another form", wave_file({fmt, data}, "AVI "), NOT_WAV},
        {"format tag 3 (floating point)", wave_file({riff_chunk("fmt ", fmt_body(1, 8, 11025, 3)), data}),
         "floating-point samples are not read (only integer PCM)"},
        {"no data chunk", wave_file({fmt, riff_chunk("junk", RAMP)}), "no data chunk follows the format chunk"},
        {"data before the format", wave_file({data, fmt}), "the format chunk does not come first"},
        {"data shorter than its chunk claims", truncated, "the file ends inside its samples"},
        {"data claiming 4 GB", wave_file({fmt, riff_chunk("data", RAMP, 0xFFFFFFF0)}),
         "the data chunk holds more samples than a sound buffer"},
        {"empty data", wave_file({fmt, riff_chunk("data", {})}), "the data chunk holds fewer than 4 samples a channel"},
        {"12-bit samples", wave_file({riff_chunk("fmt ", fmt_body(1, 12, 11025)), data}),
         "12-bit samples are not read (only 8, 16, 24 and 32 bits)"},
        {"33 channels", wave_file({riff_chunk("fmt ", fmt_body(33, 8, 11025)), data}),
         "33 channels are not read (only 1 to 32)"},
        {"extensible floating point", wave_file({riff_chunk("fmt ", fmt_extensible_body(1, 32, 11025, 32, 3)), data}),
         "the extensible format's samples are not integer PCM"},
        {"extensible with valid bits above the container's",
         wave_file({riff_chunk("fmt ", fmt_extensible_body(1, 16, 11025, 17)), data}),
         "17 valid bits do not fit 16-bit samples"},
        {"extensible with a short extension",
         wave_file({riff_chunk("fmt ", fmt_extensible_body(1, 16, 11025, 16, 1, 21)), data}), SHORT_EXTENSION},
        {"extensible in a format chunk too short for its extension",
         [&] {
             Bytes body = fmt_extensible_body(1, 16, 11025, 16);
             body.pop_back();
             return wave_file({riff_chunk("fmt ", body), data});
         }(),
         SHORT_EXTENSION},
        {"a rate of 0", wave_file({riff_chunk("fmt ", fmt_body(1, 8, 0)), data}),
         "a rate of 0 samples a second is not played (only 100 to 100000)"},
        {"a format chunk past the end", wave_file({riff_chunk("fmt ", fmt_body(1, 8, 11025), 0x7FFFFFF0)}),
         "the file ends inside its format chunk"},
        {"a format chunk cut short",
         Bytes{'R', 'I', 'F', 'F', 20, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0},
         "the file ends inside its format chunk"},
        {"an empty file", Bytes{}, NOT_WAV},
    };
    for (const Refused& r : files) {
        write_file("bad.wav", r.file);
        EXPECT_EQ(sound_load_wav("bad.wav", 224), -1) << r.what;
        EXPECT_STREQ(audio_reason(), r.reason) << r.what;
        EXPECT_EQ(sound_load_wav_memory(r.file.data(), r.file.size(), 224), -1) << r.what << ", from memory";
        EXPECT_STREQ(audio_reason(), r.reason) << r.what << ", from memory";
        EXPECT_EQ(sound_slots[0].state, SOUND_SLOT_FREE) << r.what;
        EXPECT_EQ(sound_slots[0].buffer, nullptr) << r.what;
    }
    EXPECT_EQ(sound_load_wav("missing.wav", 224), -1);
    EXPECT_EQ(sound_load_wav(nullptr, 224), -1);
    EXPECT_EQ(testing_sound_buffers_alive(), 0);
    EXPECT_EQ(load("good.wav", simple_wav(1, 8, 11025, RAMP)), 0) << "slot 0 is still the first free one";
}

// The same bytes from memory load as from their file: the same samples at the same rate.
TEST_F(WavLoad, MemoryLoadsWhatItsFileLoads)
{
    const Bytes wav = simple_wav(2, 16, 22050, Bytes(64, 0x40));
    const int from_file = load("two.wav", wav);
    const int from_memory = sound_load_wav_memory(wav.data(), wav.size(), 224);
    ASSERT_GE(from_file, 0);
    ASSERT_EQ(from_memory, from_file + 1);
    EXPECT_EQ(buffer_bytes(from_memory), buffer_bytes(from_file));
    EXPECT_EQ(sound_slots[from_memory].rate, 22050);
    EXPECT_EQ(sound_load_wav_memory(nullptr, 16, 224), -1);
}

// A RIFF chunk claiming more than the file: the search for data stops at the file's end.
TEST_F(WavLoad, RiffSizeBeyondTheFileIsSearchedOnlyToTheEnd)
{
    Bytes file = simple_wav(1, 8, 11025, RAMP);
    file[4] = file[5] = file[6] = 0xFF;
    EXPECT_EQ(load("long.wav", file), 0) << "the data lies inside the file";
    Bytes no_data = wave_file({riff_chunk("fmt ", fmt_body(1, 8, 11025))});
    no_data[4] = no_data[5] = no_data[6] = no_data[7] = 0xFF;
    EXPECT_EQ(load("nodata.wav", no_data), -1);
}

// ---- chunk layouts ----

TEST_F(WavLoad, OddSizedChunksAndTheirPadBytesAreSkipped)
{
    const Bytes odd_fmt = [] {
        Bytes b = fmt_body(1, 8, 11025);
        b.push_back(0);  // cbSize, low byte only: a 17-byte format chunk
        return b;
    }();
    const Bytes file = wave_file({riff_chunk("fmt ", odd_fmt), riff_chunk("junk", {1, 2, 3}), riff_chunk("data", RAMP)});
    ASSERT_EQ(load("odd.wav", file), 0);
    EXPECT_EQ(buffer_bytes(0), RAMP);
}

TEST_F(WavLoad, ListChunkBeforeTheDataIsPassedOver)
{
    Bytes info;
    put_id(info, "INFO");
    const Bytes inam = riff_chunk("INAM", {'z', 'a', 'p', 0});
    info.insert(info.end(), inam.begin(), inam.end());
    const Bytes file =
        wave_file({riff_chunk("fmt ", fmt_body(1, 8, 11025)), riff_chunk("LIST", info), riff_chunk("data", RAMP)});
    ASSERT_EQ(load("list.wav", file), 0);
    EXPECT_EQ(buffer_bytes(0), RAMP);
}

TEST_F(WavLoad, FirstSubChunkIsTheFormatWhateverItsName)
{
    const Bytes file = wave_file({riff_chunk("xyz ", fmt_body(1, 8, 22050)), riff_chunk("data", RAMP)});
    ASSERT_EQ(load("named.wav", file), 0);
    EXPECT_EQ(sound_slots[0].rate, 22050);
}

// ---- what a load records ----

TEST_F(WavLoad, EightBitMonoLoadsByteForByteAtItsRate)
{
    ASSERT_EQ(load("m.wav", simple_wav(1, 8, 11025, RAMP), 224), 0);
    const SoundSlot& slot = sound_slots[0];
    EXPECT_EQ(slot.state, SOUND_SLOT_LOADED);
    EXPECT_EQ(slot.rate, 11025);
    EXPECT_EQ(slot.size, 8);
    EXPECT_EQ(slot.id, 0);
    EXPECT_EQ(buffer_bytes(0), RAMP);
    EXPECT_EQ(sound_wave_format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(sound_wave_format.nChannels, 1);
    EXPECT_EQ(sound_wave_format.nSamplesPerSec, 11025u);
    EXPECT_EQ(sound_wave_format.nAvgBytesPerSec, 11025u);
    EXPECT_EQ(sound_wave_format.nBlockAlign, 1);
    EXPECT_EQ(sound_wave_format.wBitsPerSample, 8);
    EXPECT_EQ(sound_buffer_desc.dwSize, sizeof(DSBUFFERDESC));
    EXPECT_EQ(sound_buffer_desc.dwFlags, 224u | DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE);
    EXPECT_EQ(sound_buffer_desc.dwBufferBytes, 8u);
    EXPECT_EQ(sound_buffer_desc.lpwfxFormat, &sound_wave_format);
}

TEST_F(WavLoad, SixteenBitAndStereoBecomeEightBitMono)
{
    ASSERT_EQ(load("m16.wav", simple_wav(1, 16, 11025, pcm16({-32768, -1, 0, 255, 256, 32767}))), 0);
    EXPECT_EQ(buffer_bytes(0), (Bytes{0, 127, 128, 128, 129, 255}));
    EXPECT_EQ(sound_slots[0].size, 6) << "size is the buffer's: one byte a frame";

    ASSERT_EQ(load("s8.wav", simple_wav(2, 8, 11025, {10, 20, 0, 1, 255, 255, 0x80, 0x80, 200, 100})), 1);
    EXPECT_EQ(buffer_bytes(1), (Bytes{15, 0, 255, 128, 150})) << "the mean of the two channels";

    ASSERT_EQ(load("s16.wav", simple_wav(2, 16, 11025, pcm16({1000, -1000, 32767, 32767, -32768, 32767, -32768,
                                                              -32768}))),
              2);
    EXPECT_EQ(buffer_bytes(2), (Bytes{128, 255, 127, 0}));
}

// Samples wider than 16 bits keep their top 16, any number of channels is averaged like two, and an
// extensible PCM file gives the buffer its plain twin gives.
TEST_F(WavLoad, WideSamplesManyChannelsAndExtensibleFiles)
{
    struct Case {
        const char* what;
        int channels, bits, valid_bits;
        Bytes data, expected;
    };
    const std::vector<Case> cases = {
        {"16-bit stereo", 2, 16, 16, pcm16({1000, -1000, 32767, 32767, -32768, 32767, -32768, -32768}),
         {128, 255, 127, 0}},
        // 0x7FFFF0, 0x800000, 0x000010 and 0xFF7F00: top 16 bits 32767, -32768, 0 and -129.
        {"24-bit mono, 20 bits valid", 1, 24, 20, {0xF0, 0xFF, 0x7F, 0x00, 0x00, 0x80, 0x10, 0, 0, 0x00, 0x7F, 0xFF},
         {255, 0, 128, 127}},
        // Frames of 0x7FFFFFFF and 0x80000000 (mean -0.5, rounded down), silence, both full, both least.
        {"32-bit stereo", 2, 32, 32, {0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0, 0,
                                      0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0x80, 0, 0, 0, 0x80},
         {127, 128, 255, 0}},
        // 8-bit samples are 128 above zero: (3 × -128 + 3 × 127) × 256 / 6 = -128, which is 127.
        {"six 8-bit channels", 6, 8, 8,
         {255, 255, 255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 128, 128, 128, 128, 128, 128, 0, 0, 0, 0, 0, 0},
         {255, 127, 128, 0}},
    };
    int id = 0;
    for (const Case& c : cases) {
        const Bytes format = fmt_extensible_body(c.channels, c.bits, 11025, c.valid_bits);
        ASSERT_EQ(load("plain.wav", simple_wav(c.channels, c.bits, 11025, c.data)), id) << c.what;
        EXPECT_EQ(buffer_bytes(id++), c.expected) << c.what;
        ASSERT_EQ(load("extensible.wav", wave_file({riff_chunk("fmt ", format), riff_chunk("data", c.data)})), id)
            << c.what;
        EXPECT_EQ(buffer_bytes(id++), c.expected) << c.what << ", extensible";
    }
}

TEST_F(WavLoad, TrailingPartialFrameIsDropped)
{
    Bytes data = pcm16({100, 200, 300, 400});
    data.push_back(0x7F);  // half a sample
    ASSERT_EQ(load("part.wav", simple_wav(1, 16, 11025, data)), 0);
    EXPECT_EQ(sound_slots[0].size, 4);
}

TEST_F(WavLoad, FileRateIsRecordedAndGivenToTheBuffer)
{
    ASSERT_EQ(load("fast.wav", simple_wav(1, 8, 22050, RAMP)), 0);
    EXPECT_EQ(sound_slots[0].rate, 22050);
    EXPECT_EQ(sound_wave_format.nSamplesPerSec, 22050u);
    EXPECT_EQ(sound_wave_format.nAvgBytesPerSec, 22050u);
}

// The generated game effects are 8-bit mono at 11025 Hz: each buffer holds exactly the file's data.
TEST_F(WavLoad, GameEffectsLoadByteForByte)
{
    const std::filesystem::path assets = VORLASH_ASSETS_DIR;
    for (const char* name : {"engines.WAV", "lasertw.WAV", "cannon2.WAV", "bat3.WAV"}) {
        const std::filesystem::path file = assets / name;
        if (!std::filesystem::exists(file))
            GTEST_SKIP() << "the game's assets have not been generated";
        std::ifstream in(file, std::ios::binary);
        const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // The data chunk follows a 16-byte format chunk in these files.
        ASSERT_EQ(std::memcmp(bytes.data() + 36, "data", 4), 0) << name;
        const uint32_t size = bytes[40] | (bytes[41] << 8) | (bytes[42] << 16) | (uint32_t{bytes[43]} << 24);
        const int id = sound_load_wav(file.string().c_str(), 224);
        ASSERT_GE(id, 0) << name;
        EXPECT_EQ(sound_slots[id].rate, 11025) << name;
        EXPECT_EQ(sound_slots[id].size, static_cast<int>(size)) << name;
        EXPECT_EQ(buffer_bytes(id), Bytes(bytes.begin() + 44, bytes.begin() + 44 + size)) << name;
    }
}

// ---- failures after the slot is taken ----

TEST_F(WavLoad, FailedLockLeavesTheSlotTakenWithItsBuffer)
{
    testing_fault("IDirectSoundBuffer::Lock", 1, DSERR_BUFFERLOST);
    EXPECT_EQ(load("a.wav", simple_wav(1, 8, 11025, RAMP)), -1);
    EXPECT_EQ(sound_slots[0].state, SOUND_SLOT_LOADED);
    EXPECT_NE(sound_slots[0].buffer, nullptr);
    EXPECT_EQ(load("a.wav", simple_wav(1, 8, 11025, RAMP)), 1) << "the slot is not offered again";
}

TEST_F(WavLoad, FailedBufferCreationLeavesTheSlotTakenWithoutBuffer)
{
    testing_fault("IDirectSound::CreateSoundBuffer", 1, DSERR_OUTOFMEMORY);
    EXPECT_EQ(load("a.wav", simple_wav(1, 8, 11025, RAMP)), -1);
    EXPECT_EQ(sound_slots[0].state, SOUND_SLOT_LOADED);
    EXPECT_EQ(sound_slots[0].buffer, nullptr);
    EXPECT_EQ(sound_status(0), -1);
}

TEST_F(WavLoad, FailedReadLeavesTheSlotFree)
{
    testing_fault("mmioRead", 2, static_cast<HRESULT>(E_FAIL));  // the first read is the format's
    EXPECT_EQ(load("a.wav", simple_wav(1, 8, 11025, RAMP)), -1);
    EXPECT_EQ(sound_slots[0].state, SOUND_SLOT_FREE);
}
