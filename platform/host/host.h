/// @file
/// host.h -- where the stand-in meets the machine: one window, one screen, one clock, one event pump.
/// The platform sources call only this interface; a host is chosen once by the program (the SDL2
/// host by the game's main(), the test hooks' own host by the tests, and the headless host by
/// default), in host.cpp.
///
/// Layers, each including and calling only those below it:
///   shell -> game -> lib -> services -> platform -> [host] -> system libraries
/// The hosts report the machine's events back through platform/src/host_reports.h, which the stand-in
/// implements, as a system reports to a program. No file of lib/, game/ or services/ includes a
/// host's header.
#pragma once
#include <cstdint>

/// One picture as the display holds it: 8-bit indices with their palette, or 16-bit 5.6.5 / 5.5.5.
struct HostFrame {
    const uint8_t* pixels;   ///< first byte of the top row
    int pitch;               ///< bytes from one row to the next
    int width;               ///< in pixels
    int height;              ///< in pixels
    int bpp;                 ///< 8 or 16
    int rgb_bits;            ///< 8, 15 (5.5.5) or 16 (5.6.5)
    const uint8_t* palette;  ///< 256 × {red, green, blue, flags} for 8-bit frames, else null
};

/// The machine as the stand-in sees it: one window, one screen, one clock, one event pump, sound
/// output. A program installs one host with host_install before its WinMain runs.
class Host {
public:
    virtual ~Host() = default;

    /// The program's window; false when none can be opened (reason() says why).
    virtual bool open_window(int width, int height, const char* title) = 0;
    virtual void close_window() = 0;  ///< closes the window, if open
    virtual const char* reason() const = 0;  ///< why open_window failed; "" before a failure

    /// Exclusive display mode: show width × height full screen.
    virtual void set_display_mode(int width, int height, int bpp) = 0;
    virtual void restore_display_mode() = 0;  ///< gives the desktop back afterwards

    /// Shows a frame now.
    virtual void present(const HostFrame& frame) = 0;
    virtual void wait_refresh() = 0;  ///< waits for the display's next refresh tick (60 per second)

    /// Turns pending machine events into window messages and device state.
    virtual void pump_events() = 0;

    virtual void show_cursor(bool visible) = 0;  ///< shows or hides the pointer over the window

    virtual uint32_t real_ticks() = 0;  ///< real milliseconds since the host started
    virtual void real_sleep(uint32_t ms) = 0;  ///< a real sleep

    /// Sound output: `rate` frames per second of `channels` 16-bit samples, pulled through
    /// host_audio_render until close_audio; false when the machine has no audio device.
    virtual bool open_audio(int rate, int channels) = 0;
    virtual void close_audio() = 0;  ///< stops pulling sound
    /// No synthesizer could be started (`reason` says why): the program plays on without music.
    virtual void music_unavailable(const char* reason) = 0;
};

Host& host();  ///< the host installed, or the headless host
void host_install(Host* host);  ///< installs a host; null returns to the headless host
