// clock.cpp -- GetTickCount, Sleep, the performance counter and the timer resolution over the
// host's real clock or the tests' virtual one.
#include <mmsystem.h>

#include <chrono>

#include "host.h"
#include "internal.h"

// The virtual clock's performance counter runs at 3 MHz: a millisecond is 3000 counts and a 60 Hz
// refresh exactly 50000, so sixty refreshes make exactly one second.
static constexpr uint32_t VIRTUAL_COUNTS_PER_MS = 3000;
static constexpr uint32_t VIRTUAL_COUNTS_PER_REFRESH = VIRTUAL_COUNTS_PER_MS * 1000 / 60;
static constexpr LONGLONG REAL_COUNTS_PER_SECOND = 1000000000;  // nanoseconds of the monotonic clock

static bool virtual_clock = false;
static uint32_t virtual_tick = 0;
static uint32_t read_step = 1;
static uint32_t sub_tick = 0;  // virtual time below the millisecond, in counter counts
// The counter never runs backwards: it adds each forward step of the tick, across its wrap.
static uint64_t counter_ms = 0;
static uint32_t counter_tick_seen = 0;

static void advance_counts(uint32_t counts)
{
    sub_tick += counts;
    virtual_tick += sub_tick / VIRTUAL_COUNTS_PER_MS;
    sub_tick %= VIRTUAL_COUNTS_PER_MS;
}

void clock_use_virtual(uint32_t start_tick)
{
    virtual_clock = true;
    virtual_tick = start_tick;
    read_step = 1;
    sub_tick = 0;
    counter_ms = 0;
    counter_tick_seen = start_tick;
}

void clock_use_real() { virtual_clock = false; }
bool clock_is_virtual() { return virtual_clock; }
void clock_advance(uint32_t ms) { virtual_tick += ms; }
void clock_set(uint32_t tick) { virtual_tick = tick; }
void clock_set_read_step(uint32_t ms) { read_step = ms; }

void clock_refresh_tick()
{
    if (virtual_clock)
        advance_counts(VIRTUAL_COUNTS_PER_REFRESH);
}

uint32_t clock_now() { return virtual_clock ? virtual_tick : host().real_ticks(); }

// The frame clock's waits read the tick count until enough has passed: a locked primary is shown
// on the way, as the screen would show it.
DWORD WINAPI GetTickCount(void)
{
    const uint32_t now = clock_now();
    if (virtual_clock)
        virtual_tick += read_step;  // a busy wait on the virtual clock must see time pass
    screen_show_locked(now, false);
    return now;
}

void WINAPI Sleep(DWORD milliseconds)
{
    if (virtual_clock)
        virtual_tick += milliseconds;
    else
        host().real_sleep(milliseconds);
    screen_show_locked(clock_now(), false);
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (!frequency)
        return FALSE;
    frequency->QuadPart = virtual_clock ? VIRTUAL_COUNTS_PER_MS * 1000LL : REAL_COUNTS_PER_SECOND;
    return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count)
{
    if (!count)
        return FALSE;
    if (!virtual_clock) {
        using namespace std::chrono;
        count->QuadPart = duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
        return TRUE;
    }
    counter_ms += virtual_tick - counter_tick_seen;
    counter_tick_seen = virtual_tick;
    count->QuadPart = static_cast<LONGLONG>(counter_ms * VIRTUAL_COUNTS_PER_MS + sub_tick);
    advance_counts(1);  // a spin on the counter must see time pass, by a third of a microsecond
    return TRUE;
}

// Linux timers already wake within microseconds: the resolution only has to be asked for properly.
MMRESULT WINAPI timeBeginPeriod(UINT period_ms) { return period_ms >= 1 ? TIMERR_NOERROR : TIMERR_NOCANDO; }
MMRESULT WINAPI timeEndPeriod(UINT period_ms) { return period_ms >= 1 ? TIMERR_NOERROR : TIMERR_NOCANDO; }
