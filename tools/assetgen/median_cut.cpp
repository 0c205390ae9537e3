// median_cut.cpp -- median-cut palette design over a 15-bit colour histogram.
#include "median_cut.h"

#include <algorithm>
#include <array>
#include <cmath>

// ---- records ----

struct Bin {
    int r, g, b;  // 5-bit components
    uint32_t count;
};

struct Box {
    std::vector<Bin> bins;
    int range(int& channel) const
    {
        int lo[3] = {31, 31, 31}, hi[3] = {0, 0, 0};
        for (const Bin& b : bins) {
            const int v[3] = {b.r, b.g, b.b};
            for (int c = 0; c < 3; ++c) {
                lo[c] = std::min(lo[c], v[c]);
                hi[c] = std::max(hi[c], v[c]);
            }
        }
        // Green differences count most to the eye, blue least.
        const int w[3] = {(hi[0] - lo[0]) * 3, (hi[1] - lo[1]) * 4, (hi[2] - lo[2]) * 2};
        channel = static_cast<int>(std::max_element(w, w + 3) - w);
        return w[channel];
    }
};

// ---- helpers ----

static int channel_of(const Bin& b, int c) { return c == 0 ? b.r : c == 1 ? b.g : b.b; }

// ---- public operations ----

Palette median_cut_palette(const Canvas& canvas)
{
    std::vector<uint32_t> hist(32768, 0);
    for (const Rgba& p : canvas.px) {
        auto q = [](float v) { return std::clamp(static_cast<int>(v) >> 3, 0, 31); };
        ++hist[static_cast<size_t>((q(p.c.r * p.a) << 10) | (q(p.c.g * p.a) << 5) | q(p.c.b * p.a))];
    }
    std::vector<Box> boxes(1);
    for (int k = 0; k < 32768; ++k)
        if (hist[static_cast<size_t>(k)])
            boxes[0].bins.push_back({k >> 10, (k >> 5) & 31, k & 31, hist[static_cast<size_t>(k)]});
    while (boxes.size() < 255) {
        // Split the box with the widest spread (ties: the first), at its weighted median.
        int best = -1, best_range = 0, channel = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            int c;
            const int r = boxes[i].range(c);
            if (boxes[i].bins.size() > 1 && r > best_range) {
                best_range = r;
                best = static_cast<int>(i);
                channel = c;
            }
        }
        if (best < 0)
            break;
        std::vector<Bin>& bins = boxes[static_cast<size_t>(best)].bins;
        std::stable_sort(bins.begin(), bins.end(),
                         [&](const Bin& a, const Bin& b) { return channel_of(a, channel) < channel_of(b, channel); });
        uint64_t total = 0, acc = 0;
        for (const Bin& b : bins)
            total += b.count;
        size_t cut = 1;
        for (; cut < bins.size() - 1; ++cut) {
            acc += bins[cut - 1].count;
            if (acc * 2 >= total)
                break;
        }
        Box upper{std::vector<Bin>(bins.begin() + static_cast<long>(cut), bins.end())};
        bins.resize(cut);
        boxes.push_back(std::move(upper));
    }
    Palette p{};
    for (size_t i = 0; i < boxes.size(); ++i) {
        double r = 0, g = 0, b = 0, n = 0;
        for (const Bin& bin : boxes[i].bins) {
            r += (bin.r * 8 + 4) * static_cast<double>(bin.count);
            g += (bin.g * 8 + 4) * static_cast<double>(bin.count);
            b += (bin.b * 8 + 4) * static_cast<double>(bin.count);
            n += bin.count;
        }
        p[i + 1] = {static_cast<uint8_t>(std::lround(r / n)), static_cast<uint8_t>(std::lround(g / n)),
                    static_cast<uint8_t>(std::lround(b / n))};
    }
    return p;
}
