// testing_host.cpp -- the test hooks' host: presents copy the frame for inspection, refreshes and
// pumps are counted, queued keys reach the devices at the next pump, and a window or an audio
// device opens unless a test says otherwise.
#include "testing_host.h"

#include <cstring>

#include "../src/host_reports.h"

uint32_t TestingFrame::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0;
    if (bpp == 8)
        return pixels[static_cast<size_t>(y) * width + x];
    const size_t at = (static_cast<size_t>(y) * width + x) * 2;
    return pixels[at] | (uint32_t{pixels[at + 1]} << 8);
}

bool TestingHost::open_window(int, int, const char*) { return !window_unavailable; }

bool TestingHost::open_audio(int, int) { return !audio_unavailable; }

void TestingHost::present(const HostFrame& frame)
{
    ++presents;
    TestingFrame& f = last_frame;
    f.width = frame.width;
    f.height = frame.height;
    f.bpp = frame.bpp;
    f.rgb_bits = frame.rgb_bits;
    const size_t row = static_cast<size_t>(frame.width) * (frame.bpp / 8);
    f.pixels.resize(row * frame.height);
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(f.pixels.data() + y * row, frame.pixels + static_cast<size_t>(y) * frame.pitch, row);
    f.palette.assign(256, PALETTEENTRY{});
    if (frame.palette)
        std::memcpy(f.palette.data(), frame.palette, 256 * sizeof(PALETTEENTRY));
}

void TestingHost::pump_events()
{
    ++pumps;
    const std::vector<std::pair<int, bool>> keys = std::move(queued_keys);
    queued_keys.clear();
    for (const auto& [code, down] : keys)
        host_key_changed(code, down);
}

void TestingHost::reset()
{
    last_frame = TestingFrame{};
    presents = 0;
    refreshes = 0;
    window_unavailable = false;
    audio_unavailable = false;
    music_notes.clear();
    pumps = 0;
    queued_keys.clear();
}

TestingHost& testing_host()
{
    static TestingHost instance;
    return instance;
}
