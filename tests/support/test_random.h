// test_random.h -- a small repeatable random source for the tests that draw many random cases.
#pragma once
#include <cstdint>

struct TestRandom {
    uint32_t state = 12345;
    uint32_t next()
    {
        state = state * 1664525u + 1013904223u;
        return state;
    }
    int range(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<uint32_t>(hi - lo + 1)); }
    int any() { return static_cast<int>(next() ^ (next() >> 16)); }
};
