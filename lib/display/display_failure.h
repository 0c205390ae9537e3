// display_failure.h -- how the display layer's loaders and inits keep the reason display_reason()
// gives: a failing path says why as it returns, a success empties it. Internal to lib/display.
#pragma once
#include <windows.h>

#include <cstdint>

// Keeps the reason, printf-style.
void display_say(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// Says why and gives 0, so that a failing path reads `return display_fail(...)`: a macro, so that the
// compiler sees the 0 the path returns.
#define display_fail(...) (display_say(__VA_ARGS__), 0)
int display_succeed();  // empties the reason; returns 1

// An HRESULT as "%08lX" prints it, the same on the 32- and 64-bit builds.
static inline unsigned long display_error(HRESULT hr) { return static_cast<uint32_t>(hr); }
