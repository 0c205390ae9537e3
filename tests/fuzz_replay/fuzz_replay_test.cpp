// fuzz_replay_test.cpp -- every file kept under fuzz/corpus/<kind>/ replayed through its fuzz
// target's own entry, so the checks those targets make (and the sanitizers, in the sanitizer
// build) run on the corpora with every test run. The targets' entries are renamed per kind at
// compile time, as the four of them are linked into this one program. The MIDI target's oracle
// also runs here on its own, so a file that fails it is named.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "testing.h"

extern "C" int bitmap_fuzz_one(const uint8_t* data, size_t size);
extern "C" int palette_file_fuzz_one(const uint8_t* data, size_t size);
extern "C" int wav_fuzz_init(int*, char***);
extern "C" int wav_fuzz_one(const uint8_t* data, size_t size);
extern "C" int midi_fuzz_init(int*, char***);
extern "C" int midi_fuzz_one(const uint8_t* data, size_t size);

namespace {

using FuzzOne = int (*)(const uint8_t*, size_t);

// The corpus files of one kind, sorted so a failure names the same file each run.
std::vector<std::filesystem::path> corpus(const char* kind)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(VORLASH_FUZZ_CORPUS) / kind))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> read_bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Replays every file of the kind; returns how many were replayed.
size_t replay(const char* kind, FuzzOne one)
{
    const std::vector<std::filesystem::path> files = corpus(kind);
    static const uint8_t nothing = 0;  // the fuzzer never passes a null pointer, even for no bytes
    EXPECT_EQ(one(&nothing, 0), 0) << "the empty input";
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        const std::vector<uint8_t> bytes = read_bytes(path);
        EXPECT_EQ(one(bytes.data(), bytes.size()), 0);
    }
    return files.size();
}

}  // namespace

TEST(FuzzReplay, Bitmaps) { EXPECT_GT(replay("bitmap", bitmap_fuzz_one), 0u); }

TEST(FuzzReplay, PaletteFiles) { EXPECT_GT(replay("palette", palette_file_fuzz_one), 0u); }

TEST(FuzzReplay, Waves)
{
    wav_fuzz_init(nullptr, nullptr);
    EXPECT_GT(replay("wav", wav_fuzz_one), 0u);
}

TEST(FuzzReplay, MidiFiles)
{
    midi_fuzz_init(nullptr, nullptr);
    EXPECT_GT(replay("midi", midi_fuzz_one), 0u);
}

// Every file of the corpus the reader takes plays through the synthesizer's player to its end.
TEST(FuzzReplay, MidiFilesTakenPlayToTheirEnd)
{
    size_t taken = 0;
    for (const auto& path : corpus("midi")) {
        const std::vector<uint8_t> bytes = read_bytes(path);
        const TestingMidiPlay play = testing_midi_play(bytes.data(), bytes.size());
        EXPECT_EQ(play.failure, "") << path.filename().string();
        taken += play.accepted;
    }
    EXPECT_GE(taken, 10u) << "the corpus keeps files the reader takes, of 1 to 1000 tracks";
}
