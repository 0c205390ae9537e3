// frame_pacer_test.cpp -- the 60 Hz grid on the virtual clock: flips that return at once are held to
// 60 a second, flips that wait for the refresh get nothing added, and a stall is followed by normal
// frames, not a burst.
#include <gtest/gtest.h>

#include <ddraw.h>

#include <vector>

#include "flip_chain.h"
#include "frame_pacer.h"
#include "testing.h"

namespace {

class FramePacer : public testing::Test {
protected:
    void SetUp() override
    {
        testing_reset(5000);
        ASSERT_NO_FATAL_FAILURE(make_flip_chain(testing_make_window(), &dd, &primary));
        pacer_begin();
    }
    void TearDown() override
    {
        pacer_end();
        if (primary)
            primary->Release();
        if (dd)
            dd->Release();
    }

    // One turn of the frame loop: a flip, waiting for the refresh or not, then the pacer.
    void frame(bool flip_waits)
    {
        ASSERT_EQ(primary->Flip(nullptr, flip_waits ? DDFLIP_WAIT : DDFLIP_NOVSYNC), DD_OK);
        pacer_wait();
    }

    // Virtual milliseconds now, read without moving the clock on.
    static uint32_t now_ms()
    {
        testing_clock_read_step(0);
        const uint32_t now = GetTickCount();
        testing_clock_read_step(1);
        return now;
    }

    LPDIRECTDRAW7 dd = nullptr;
    LPDIRECTDRAWSURFACE7 primary = nullptr;
};

}  // namespace

TEST_F(FramePacer, FlipsThatReturnAtOnceAreHeldToSixtyASecond)
{
    frame(false);  // starts the grid
    frame(false);  // ends on its first tick
    const uint32_t start = now_ms();
    int frames = 0;
    while (now_ms() - start < 1000) {
        frame(false);
        ++frames;
    }
    EXPECT_EQ(frames, 60);
}

TEST_F(FramePacer, FlipsThatWaitForTheRefreshGetNothingAdded)
{
    frame(true);
    const uint32_t start = now_ms();
    for (int i = 0; i < 600; ++i)
        frame(true);
    // Ten seconds of refreshes; the counter reads themselves move the virtual clock a little.
    const uint32_t took = now_ms() - start;
    EXPECT_GE(took, 10000u);
    EXPECT_LE(took, 10001u) << "the pacer waited on top of the flips";
}

TEST_F(FramePacer, AStallIsFollowedByNormalFramesNotABurst)
{
    for (int i = 0; i < 10; ++i)
        frame(false);
    testing_clock_advance(50);  // a frame that took three refreshes' time
    frame(false);
    std::vector<uint32_t> gaps;
    uint32_t last = now_ms();
    for (int i = 0; i < 10; ++i) {
        frame(false);
        const uint32_t now = now_ms();
        gaps.push_back(now - last);
        last = now;
    }
    for (uint32_t gap : gaps)
        EXPECT_TRUE(gap == 16 || gap == 17) << "gap of " << gap << " ms after the stall";
}

TEST_F(FramePacer, AFrameLateByLessThanAFrameKeepsTheGrid)
{
    frame(false);
    frame(false);
    const uint32_t start = now_ms();
    frame(false);
    testing_clock_advance(10);  // this frame's work took 10 ms: its wait is shorter, the grid holds
    frame(false);
    frame(false);
    EXPECT_EQ(now_ms() - start, 50u) << "three frames on the grid: 50 ms";
}
