// broken_assets_test.cpp -- the program started in a folder with each asset in turn missing,
// truncated or garbled: a picture it cannot use ends the start with one line naming the file and
// why; a sound or a music piece it cannot use is named in one line too, and the game plays on
// without it, as it does in silence without the palette file. Never a crash, a hang, or a file,
// buffer or segment left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "program_run.h"

namespace {

constexpr int TURNS = 30;

enum class Damage { missing, truncated, garbled };

bool is_picture(const std::string& name)
{
    const std::string ext = std::filesystem::path(name).extension().string();
    return ext == ".bmp" || ext == ".BMP";
}
bool is_music(const std::string& name) { return std::filesystem::path(name).extension() == ".MID"; }
bool is_sound(const std::string& name) { return std::filesystem::path(name).extension() == ".WAV"; }

std::vector<char> read_all(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void write_all(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class BrokenAssets : public testing::Test {
protected:
    void SetUp() override
    {
        for (const auto& entry : std::filesystem::directory_iterator(VORLASH_ASSETS_DIR)) {
            const std::string name = entry.path().filename().string();
            if (name[0] == '.' || !entry.is_regular_file())
                continue;
            std::filesystem::copy_file(entry.path(), folder_.file(name));
            names_.push_back(name);
        }
        std::sort(names_.begin(), names_.end());
        ASSERT_GE(names_.size(), 30u) << "the generated assets are all there";
    }

    // Breaks each asset in turn, runs the program, and puts the asset back.
    void sweep(Damage damage)
    {
        for (const std::string& name : names_) {
            SCOPED_TRACE(name);
            const std::string path = folder_.file(name);
            const std::vector<char> original = read_all(path);
            std::vector<char> broken = original;
            if (damage == Damage::truncated)
                broken.resize(broken.size() / 2);
            if (damage == Damage::garbled)
                // The headers garbled: every byte of the first 64 past the 2-byte signature, from
                // a fixed generator, so a run repeats the same damage.
                for (size_t i = 2, state = 12345; i < std::min<size_t>(broken.size(), 66); ++i) {
                    state = state * 1103515245u + 12345u;
                    broken[i] = static_cast<char>(broken[i] ^ static_cast<char>(1 + (state >> 16) % 255));
                }
            if (damage == Damage::missing)
                std::filesystem::remove(path);
            else
                write_all(path, broken);

            const ProgramRun run = run_program(TURNS, is_music(name));
            expect_nothing_left(run);
            if (is_picture(name)) {
                // Each damage here leaves a picture the loader refuses or the game cannot use.
                expect_ended_with_one_line(run);
                EXPECT_NE(run.error.find(name), std::string::npos) << "names the file: " << run.error;
                const char* reason = damage == Damage::missing     ? ": the file cannot be opened\n"
                                     : damage == Damage::truncated ? ": the file ends inside its pixels\n"
                                                                   : ": ";
                EXPECT_NE(run.error.find(reason), std::string::npos) << "says why: " << run.error;
            } else {
                expect_played_on(run, TURNS);
                EXPECT_EQ(run.frames_shown, TURNS);
                if (is_sound(name) || is_music(name)) {
                    EXPECT_EQ(run.error.rfind("vorlash: cannot load the ", 0), 0u) << run.error;
                    EXPECT_NE(run.error.find(name + " from "), std::string::npos) << "names the file: " << run.error;
                    EXPECT_EQ(run.error.find(": ;"), std::string::npos) << "says why: " << run.error;
                    EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1) << "one line: " << run.error;
                } else {
                    EXPECT_TRUE(run.error.empty()) << "the palette file fails in silence: " << run.error;
                }
            }
            write_all(path, original);
            testing_reset();
        }
    }

    ScratchFolder folder_;
    std::vector<std::string> names_;
};

}  // namespace

TEST_F(BrokenAssets, EachMissing) { sweep(Damage::missing); }
TEST_F(BrokenAssets, EachTruncatedToHalf) { sweep(Damage::truncated); }
TEST_F(BrokenAssets, EachWithGarbledHeaders) { sweep(Damage::garbled); }
