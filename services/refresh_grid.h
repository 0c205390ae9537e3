// refresh_grid.h -- the 60 Hz grid of a display's refreshes, on any monotonic clock. Its ticks are
// the whole sixtieths of a second of the clock, not counted from some first frame: the frame pacer
// and a host that waits for refreshes on the same clock tick at the same instants, so the two never
// wait one after the other. Arithmetic alone, no call and no SDK type, so the SDL2 host below the
// services shares it with the shell instead of writing it again.
#pragma once
#include <cstdint>

constexpr int64_t REFRESH_HZ = 60;

// The last tick at or before `time`, on a clock of `per_second` counts a second. Split in seconds
// and their rest, so nothing overflows.
constexpr int64_t refresh_tick_at_or_before(int64_t time, int64_t per_second)
{
    return time / per_second * REFRESH_HZ + time % per_second * REFRESH_HZ / per_second;
}

// The instant of tick `tick`, in counts of the same clock.
constexpr int64_t refresh_tick_time(int64_t tick, int64_t per_second)
{
    return tick / REFRESH_HZ * per_second + tick % REFRESH_HZ * per_second / REFRESH_HZ;
}
