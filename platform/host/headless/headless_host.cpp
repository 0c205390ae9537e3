// headless_host.cpp -- the headless host: presents copy the frame for inspection, refreshes return
// at once (the virtual clock counts them), a window and an audio device open unless a test says
// otherwise, and the tests pull the mixer themselves.
#include "headless_host.h"

#include <chrono>
#include <cstring>
#include <thread>

uint32_t HeadlessFrame::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0;
    if (bpp == 8)
        return pixels[static_cast<size_t>(y) * width + x];
    const size_t at = (static_cast<size_t>(y) * width + x) * 2;
    return pixels[at] | (uint32_t{pixels[at + 1]} << 8);
}

bool HeadlessHost::open_window(int, int, const char*) { return !window_unavailable; }

void HeadlessHost::present(const HostFrame& frame)
{
    ++presents;
    HeadlessFrame& f = last_frame;
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

void HeadlessHost::pump_events()
{
    ++pumps;
    const std::vector<std::pair<int, bool>> keys = std::move(queued_keys);
    queued_keys.clear();
    for (const auto& [code, down] : keys)
        host_key_changed(code, down);
}

uint32_t HeadlessHost::real_ticks()
{
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

void HeadlessHost::real_sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void HeadlessHost::reset()
{
    last_frame = HeadlessFrame{};
    presents = 0;
    refreshes = 0;
    window_unavailable = false;
    audio_unavailable = false;
    music_notes.clear();
    pumps = 0;
    queued_keys.clear();
}

HeadlessHost& headless_host()
{
    static HeadlessHost instance;
    return instance;
}
