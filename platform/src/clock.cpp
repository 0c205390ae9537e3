// clock.cpp -- GetTickCount and Sleep over the host's real clock or the tests' virtual one.
#include "host.h"
#include "internal.h"

static bool virtual_clock = false;
static uint32_t virtual_tick = 0;
static uint32_t read_step = 1;
static uint32_t refresh_phase = 0;  // thirds of a millisecond carried between refreshes

void clock_reset_virtual(uint32_t start_tick)
{
    virtual_clock = true;
    virtual_tick = start_tick;
    read_step = 1;
    refresh_phase = 0;
}

void clock_use_real() { virtual_clock = false; }
bool clock_is_virtual() { return virtual_clock; }
void clock_advance(uint32_t ms) { virtual_tick += ms; }
void clock_set(uint32_t tick) { virtual_tick = tick; }
void clock_set_read_step(uint32_t ms) { read_step = ms; }

void clock_refresh_tick()
{
    if (!virtual_clock)
        return;
    // 1000 / 60 = 16 2/3 ms: count in thirds so sixty refreshes make exactly one second.
    refresh_phase += 50;
    virtual_tick += refresh_phase / 3;
    refresh_phase %= 3;
}

DWORD WINAPI GetTickCount(void)
{
    if (!virtual_clock)
        return host().real_ticks();
    const uint32_t now = virtual_tick;
    virtual_tick += read_step;  // a busy wait on the virtual clock must see time pass
    return now;
}

void WINAPI Sleep(DWORD milliseconds)
{
    if (virtual_clock)
        virtual_tick += milliseconds;
    else
        host().real_sleep(milliseconds);
}
