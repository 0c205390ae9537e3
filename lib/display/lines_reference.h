// lines_reference.h -- the unclipped lines by the plain midpoint stepper, one pixel and one error
// test per step: the pixels line8 and line16 must light. Their fast forms (lines_fast.cpp) fall back
// on these, and the tests and benchmarks compare with them. Internal to the library, not installed.
#pragma once
#include <cstdint>

int line8_reference(int x0, int y0, int x1, int y1, int color, uint8_t* buffer, int pitch);
int line16_reference(int x0, int y0, int x1, int y1, int color, uint16_t* buffer, int pitch);  // pitch in bytes
