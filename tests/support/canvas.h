// canvas.h -- a pixel buffer for the drawing tests: a visible area with a guard band of untouched
// pixels around it (so a stray write is seen, not a crash) and a pitch wider than the width; a
// fixture that keeps each test's clip rectangle to itself.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "display.h"
#include "test_random.h"

template <class Pixel> class Canvas {
public:
    static constexpr int GUARD = 16;

    Canvas(int width, int height)
        : width_(width), height_(height), line_(width + 2 * GUARD + 5),
          memory_(static_cast<size_t>(line_) * (height + 2 * GUARD), 0)
    {
    }

    // What the drawing routines are given: the first visible pixel and the pitch in bytes.
    Pixel* buffer() { return memory_.data() + GUARD * line_ + GUARD; }
    int pitch() const { return line_ * static_cast<int>(sizeof(Pixel)); }
    int width() const { return width_; }
    int height() const { return height_; }

    // Any pixel from -GUARD to size + GUARD - 1 on either axis.
    Pixel at(int x, int y) const { return memory_[static_cast<size_t>((y + GUARD) * line_ + x + GUARD)]; }

    void clear() { std::fill(memory_.begin(), memory_.end(), Pixel{0}); }

    int count() const
    {
        int n = 0;
        for (Pixel p : memory_)
            n += p != 0;
        return n;
    }

    // The set pixels of row y as "left..right", or "" when none; a row with a gap reads "gap".
    std::string row(int y) const
    {
        int left = -GUARD - 1, right = 0;
        for (int x = -GUARD; x < width_ + GUARD; ++x) {
            if (!at(x, y))
                continue;
            if (left < -GUARD)
                left = x;
            else if (x != right + 1)
                return "gap";
            right = x;
        }
        return left < -GUARD ? "" : std::to_string(left) + ".." + std::to_string(right);
    }

    // The first set pixel outside the rectangle x0..x1 × y0..y1 (inclusive), as "x,y", or "".
    std::string written_outside(int x0, int y0, int x1, int y1) const
    {
        for (int y = -GUARD; y < height_ + GUARD; ++y)
            for (int x = -GUARD; x < width_ + GUARD; ++x)
                if (at(x, y) && (x < x0 || x > x1 || y < y0 || y > y1))
                    return std::to_string(x) + "," + std::to_string(y);
        return "";
    }

private:
    int width_, height_, line_;
    std::vector<Pixel> memory_;
};

// Keeps the clip rectangle of every test to itself.
class ClipTest : public testing::Test {
protected:
    void SetUp() override
    {
        saved_[0] = clip_min_x, saved_[1] = clip_min_y, saved_[2] = clip_max_x, saved_[3] = clip_max_y;
    }
    void TearDown() override
    {
        clip_min_x = saved_[0], clip_min_y = saved_[1], clip_max_x = saved_[2], clip_max_y = saved_[3];
    }
    static void set_clip(int x0, int y0, int x1, int y1)
    {
        clip_min_x = x0, clip_min_y = y0, clip_max_x = x1, clip_max_y = y1;
    }

private:
    int saved_[4];
};
