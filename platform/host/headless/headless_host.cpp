// headless_host.cpp -- the headless host: the machine's own clock and sleep; everything else is an
// empty body in its header.
#include "headless_host.h"

#include <chrono>
#include <thread>

uint32_t HeadlessHost::real_ticks()
{
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

void HeadlessHost::real_sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

HeadlessHost& headless_host()
{
    static HeadlessHost instance;
    return instance;
}
