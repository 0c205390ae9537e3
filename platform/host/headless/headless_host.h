// headless_host.h -- the host without a window, a display or a sound device, as a null video driver
// is: a window and an audio device open and nothing is shown or heard; time is the machine's own.
// What tests set and read lives in the test hooks' host (platform/testing/testing_host.h).
#pragma once
#include <cstdint>

#include "host.h"

// Not final: the test hooks' host adds what tests set and read.
class HeadlessHost : public Host {
public:
    bool open_window(int, int, const char*) override { return true; }
    void close_window() override {}
    const char* reason() const override { return "no display is available"; }
    void set_display_mode(int, int, int) override {}
    void restore_display_mode() override {}
    void present(const HostFrame&) override {}
    void wait_refresh() override {}
    void pump_events() override {}
    void show_cursor(bool) override {}
    uint32_t real_ticks() override;
    void real_sleep(uint32_t ms) override;
    bool open_audio(int, int) override { return true; }  // nothing pulls the mixer
    void close_audio() override {}
    void music_unavailable(const char*) override {}
};

HeadlessHost& headless_host();
