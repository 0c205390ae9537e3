// frame_clock.cpp -- FrameClock: start marks, timed busy waits. Unsigned subtraction keeps every
// wait right across the 49.7-day wrap of the tick count.
#include "services.h"

uint32_t clock_start_tick = 0;

uint32_t clock_read() { return GetTickCount(); }

uint32_t clock_start()
{
    clock_start_tick = clock_read();
    return clock_start_tick;
}

uint32_t clock_wait(uint32_t ms)
{
    // A pure busy wait: the restart pause and the transition steps must not give up the thread.
    while (clock_read() - clock_start_tick < ms) {
    }
    return clock_read();
}
