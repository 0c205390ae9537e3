// fault_sweep_test.cpp -- every platform operation the game's start, frames and shut-down call,
// made to fail on its first call and on every call: the program ends with its one start-up line
// or plays on, and gives back every file, sound buffer and music segment either way.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "program_run.h"

namespace {

constexpr int SWEEP_FRAMES = 100;

// What a failing operation leads to.
enum Outcome {
    ENDS,  // the start fails: one "vorlash: " line and the quit message with the failure code
    PLAYS_ON,  // the start goes on and every frame is shown
    PLAYS_ON_UNSEEN,  // frames run on but none can reach the screen (nothing could show them)
};

struct SweptOperation {
    const char* name;
    Outcome first_call_fails;
    Outcome every_call_fails;
};

// Every operation a normal start (music on), a hundred frames and a shut-down call, as the platform
// names them, in first-call order. A new call the game starts making must be added here, which
// puts it into the sweep.
const SweptOperation SWEPT[] = {
    {"DirectDrawCreateEx", ENDS, ENDS},
    {"IDirectDraw7::SetCooperativeLevel", ENDS, ENDS},
    {"IDirectDraw7::SetDisplayMode", ENDS, ENDS},
    {"IDirectDraw7::CreateSurface", ENDS, ENDS},
    {"IDirectDrawSurface7::GetPixelFormat", PLAYS_ON, PLAYS_ON},
    {"IDirectDrawSurface7::GetAttachedSurface", ENDS, ENDS},
    {"IDirectDraw7::CreatePalette", ENDS, ENDS},
    {"IDirectDrawSurface7::SetPalette", ENDS, ENDS},
    {"IDirectDrawSurface7::Blt", PLAYS_ON, PLAYS_ON},
    {"IDirectDraw7::CreateClipper", PLAYS_ON, PLAYS_ON},
    {"IDirectDrawClipper::SetClipList", PLAYS_ON, PLAYS_ON},
    {"IDirectDrawSurface7::SetClipper", PLAYS_ON, PLAYS_ON},
    {"OpenFile", ENDS, ENDS},
    {"_llseek", ENDS, ENDS},
    {"_lread", ENDS, ENDS},
    {"_lclose", PLAYS_ON, PLAYS_ON},
    {"IDirectDrawPalette::SetEntries", PLAYS_ON, PLAYS_ON},
    {"IDirectDrawSurface7::Lock", PLAYS_ON, ENDS},
    {"IDirectDrawSurface7::Unlock", PLAYS_ON, PLAYS_ON_UNSEEN},
    {"DirectInput8Create", PLAYS_ON, PLAYS_ON},
    {"IDirectInput8A::CreateDevice", PLAYS_ON, PLAYS_ON},
    {"IDirectInputDevice8A::SetCooperativeLevel", PLAYS_ON, PLAYS_ON},
    {"IDirectInputDevice8A::SetDataFormat", PLAYS_ON, PLAYS_ON},
    {"IDirectInputDevice8A::Acquire", PLAYS_ON, PLAYS_ON},
    {"DirectSoundCreate", PLAYS_ON, PLAYS_ON},
    {"IDirectSound::SetCooperativeLevel", PLAYS_ON, PLAYS_ON},
    {"CoInitialize", PLAYS_ON, PLAYS_ON},
    {"CoCreateInstance", PLAYS_ON, PLAYS_ON},
    {"IDirectMusicPerformance::Init", PLAYS_ON, PLAYS_ON},
    {"IDirectMusicPerformance::AddPort", PLAYS_ON, PLAYS_ON},
    {"mmioOpenA", PLAYS_ON, PLAYS_ON},
    {"mmioDescend", PLAYS_ON, PLAYS_ON},
    {"mmioRead", PLAYS_ON, PLAYS_ON},
    {"mmioAscend", PLAYS_ON, PLAYS_ON},
    {"IDirectSound::CreateSoundBuffer", PLAYS_ON, PLAYS_ON},
    {"IDirectSoundBuffer::Lock", PLAYS_ON, PLAYS_ON},
    {"IDirectSoundBuffer::Unlock", PLAYS_ON, PLAYS_ON},
    {"IDirectMusicLoader::SetSearchDirectory", PLAYS_ON, PLAYS_ON},
    {"IDirectMusicLoader::GetObject", PLAYS_ON, PLAYS_ON},
    {"IDirectMusicSegment::SetParam", PLAYS_ON, PLAYS_ON},
    {"IDirectMusicPerformance::PlaySegment", PLAYS_ON, PLAYS_ON},
    {"IDirectDrawSurface7::SetColorKey", PLAYS_ON, PLAYS_ON},
    {"IDirectInputDevice8A::GetDeviceState", PLAYS_ON, PLAYS_ON},
    {"IDirectDrawSurface7::GetDC", PLAYS_ON, PLAYS_ON},
    {"SetTextColor", PLAYS_ON, PLAYS_ON},
    {"SetBkMode", PLAYS_ON, PLAYS_ON},
    {"TextOutA", PLAYS_ON, PLAYS_ON},
    {"IDirectDrawSurface7::Flip", PLAYS_ON, PLAYS_ON_UNSEEN},
    {"IDirectMusicPerformance::Stop", PLAYS_ON, PLAYS_ON},
    {"IDirectSoundBuffer::Stop", PLAYS_ON, PLAYS_ON},
    {"IDirectSoundBuffer::SetCurrentPosition", PLAYS_ON, PLAYS_ON},
    {"IDirectInputDevice8A::Unacquire", PLAYS_ON, PLAYS_ON},
};

void expect_outcome(const ProgramRun& run, Outcome outcome)
{
    switch (outcome) {
    case ENDS:
        expect_ended_with_one_line(run);
        break;
    case PLAYS_ON:
        expect_played_on(run, SWEEP_FRAMES);
        EXPECT_EQ(run.frames_shown, SWEEP_FRAMES) << "every frame reaches the screen";
        break;
    case PLAYS_ON_UNSEEN:
        expect_played_on(run, SWEEP_FRAMES);
        break;
    }
}

// A closed file whose close reports failure is still counted open by the platform; nothing else
// may be left behind.
void expect_nothing_left_but_failed_closes(const ProgramRun& run, const std::string& failing)
{
    if (failing == "_lclose") {
        EXPECT_EQ(run.sound_buffers, 0);
        EXPECT_EQ(run.music_segments, 0);
    } else {
        expect_nothing_left(run);
    }
}

// Codes beyond the plain failure that callers might treat apart: a lost surface, lost or
// unacquired input, and a success code other than S_OK from the input devices.
std::vector<HRESULT> extra_codes(const std::string& name)
{
    if (name.rfind("IDirectInputDevice8A::", 0) == 0)
        return {DIERR_INPUTLOST, DIERR_NOTACQUIRED, S_FALSE};
    if (name.rfind("IDirectDrawSurface7::", 0) == 0)
        return {DDERR_SURFACELOST};
    return {};
}

class FaultSweep : public testing::Test {
protected:
    void SetUp() override
    {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(VORLASH_ASSETS_DIR);
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

}  // namespace

TEST_F(FaultSweep, SweptListMatchesTheOperationsCalled)
{
    // The window is the test's own, as WinMain's would be: what it calls is not the game's.
    std::vector<std::string> before_start;
    const ProgramRun normal = run_program(SWEEP_FRAMES, true, [&] { before_start = testing_operations_seen(); });
    ASSERT_EQ(normal.started, 1);
    expect_played_on(normal, SWEEP_FRAMES);
    std::vector<std::string> seen = testing_operations_seen();
    seen.erase(seen.begin(), seen.begin() + static_cast<std::ptrdiff_t>(before_start.size()));
    std::set<std::string> swept;
    for (const SweptOperation& op : SWEPT)
        swept.insert(op.name);
    std::string missing;
    for (const std::string& name : seen)
        if (!swept.count(name))
            missing += "    \"" + name + "\"\n";
    EXPECT_TRUE(missing.empty()) << "called but not swept:\n" << missing;
    const std::set<std::string> called(seen.begin(), seen.end());
    for (const std::string& name : swept)
        EXPECT_TRUE(called.count(name)) << name << " is swept but no longer called";
}

TEST_F(FaultSweep, EachOperationFailingOnItsFirstCallAndOnEveryCall)
{
    for (const SweptOperation& op : SWEPT)
        for (const int nth : {1, 0}) {
            SCOPED_TRACE(std::string(op.name) + (nth ? ", first call" : ", every call"));
            const ProgramRun run =
                run_program(SWEEP_FRAMES, true, [&] { testing_fault(op.name, nth, E_FAIL); });
            expect_outcome(run, nth ? op.first_call_fails : op.every_call_fails);
            expect_nothing_left_but_failed_closes(run, op.name);
            testing_reset();
        }
}

TEST_F(FaultSweep, LostSurfacesAndInputAndOtherSuccessCodes)
{
    for (const SweptOperation& op : SWEPT)
        for (const HRESULT code : extra_codes(op.name))
            for (const int nth : {1, 0}) {
                SCOPED_TRACE(std::string(op.name) + " returning " + std::to_string(code) +
                             (nth ? ", first call" : ", every call"));
                const ProgramRun run = run_program(SWEEP_FRAMES, true, [&] { testing_fault(op.name, nth, code); });
                // The callers treat these as they treat any failure of the operation.
                expect_outcome(run, nth ? op.first_call_fails : op.every_call_fails);
                expect_nothing_left(run);
                testing_reset();
            }
}
