// frame_clock_test.cpp -- FrameClock on the virtual clock: starts, waits, and the tick-count wrap.
#include <gtest/gtest.h>

#include "services.h"
#include "testing.h"

TEST(FrameClock, StartStoresAndReturnsTheTick)
{
    testing_clock_set(1234);
    testing_clock_read_step(0);
    EXPECT_EQ(clock_start(), 1234u);
    EXPECT_EQ(clock_start_tick, 1234u);
    EXPECT_EQ(clock_read(), 1234u);
}

TEST(FrameClock, WaitZeroReturnsAtOnce)
{
    testing_clock_set(500);
    clock_start();
    const uint32_t now = clock_wait(0);
    EXPECT_LE(now - 500u, 3u) << "got " << now;
}

TEST(FrameClock, WaitCountsFromTheStartNotFromTheCall)
{
    testing_clock_set(10000);
    clock_start();
    testing_clock_advance(300);
    const uint32_t now = clock_wait(1000);
    EXPECT_GE(now - 10000u, 1000u);
    EXPECT_LE(now - 10000u, 1002u) << "got " << now;
}

TEST(FrameClock, WaitIsRightAcrossTheTickCountWrap)
{
    testing_clock_set(0xFFFFFF00u);  // 256 ms before the wrap
    const uint32_t start = clock_start();
    const uint32_t now = clock_wait(1000);
    EXPECT_GE(now - start, 1000u);
    EXPECT_LE(now - start, 1002u);
    EXPECT_LT(now, 1000u) << "the tick count wrapped to " << now;
}
