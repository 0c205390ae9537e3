// frame_pacer.cpp -- the 60 Hz grid over the high-resolution counter: a sleep for the bulk of each
// wait, a short spin for its end. FrameClock stays apart: its millisecond tick moves in steps of 10
// to 16 ms on Windows, far too coarse for this.
#include "frame_pacer.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

#include "refresh_grid.h"

// ---- constants ----
// A frame this close to its deadline is on time: the flip waited for the refresh (a 60 Hz display,
// or a host that paces its presents) and a second wait would only shift the next frame.
static constexpr int64_t ON_TIME_MICROSECONDS = 500;
// The end of a wait is spun: a sleep wakes late by its own overrun, so it stops this much earlier.
static constexpr int64_t SPIN_MICROSECONDS = 300;
static constexpr UINT TIMER_PERIOD_MS = 1;

// ---- state ----
static int64_t frequency = 0;      // counter counts per second; 0 before pacer_begin
static int64_t next_tick = 0;      // the grid tick the next frame ends on; 0 until the grid starts
static int64_t sleep_overrun = 0;  // how late recent sleeps woke, in counts, decaying slowly
static bool timer_period_set = false;

// ---- helpers ----

static int64_t counter_now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

static int64_t from_microseconds(int64_t us) { return frequency * us / 1000000; }

static void wait_until(int64_t deadline)
{
    for (;;) {
        const int64_t now = counter_now();
        const int64_t left = deadline - now;
        if (left <= 0)
            return;
        const int64_t margin = sleep_overrun + from_microseconds(SPIN_MICROSECONDS);
        const int64_t ms = (left - margin) * 1000 / frequency;
        if (ms <= 0)
            continue;  // the last stretch: spin
        Sleep(static_cast<DWORD>(ms));
        // Remember the worst recent overrun; one slow wake-up costs spinning only for a while.
        const int64_t overrun = counter_now() - now - ms * frequency / 1000;
        sleep_overrun = overrun > sleep_overrun ? overrun : sleep_overrun - sleep_overrun / 64;
    }
}

// ---- public operations ----

void pacer_begin()
{
    LARGE_INTEGER f;
    frequency = QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? f.QuadPart : 0;
    next_tick = 0;
    sleep_overrun = 0;
    timer_period_set = timeBeginPeriod(TIMER_PERIOD_MS) == TIMERR_NOERROR;
}

void pacer_wait()
{
    if (frequency <= 0)
        return;  // no counter: the flip alone sets the pace
    const int64_t now = counter_now();
    const int64_t period = frequency / REFRESH_HZ;
    if (next_tick == 0 || now - refresh_tick_time(next_tick, frequency) > period) {
        next_tick = refresh_tick_at_or_before(now, frequency) + 1;  // the missed ticks are dropped, not caught up
        return;
    }
    const int64_t deadline = refresh_tick_time(next_tick, frequency);
    if (deadline - now > from_microseconds(ON_TIME_MICROSECONDS))
        wait_until(deadline);
    ++next_tick;
}

void pacer_end()
{
    if (timer_period_set)
        timeEndPeriod(TIMER_PERIOD_MS);
    timer_period_set = false;
    frequency = 0;
}
