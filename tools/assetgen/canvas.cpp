// canvas.cpp -- painting with supersampling, "over" blending and 8-bit copies.
#include "canvas.h"

// ---- public operations ----

void Canvas::blend(int x, int y, Col c, float a)
{
    if (x < 0 || y < 0 || x >= w || y >= h || a <= 0.0f)
        return;
    Rgba& d = at(x, y);
    const float out_a = a + d.a * (1.0f - a);
    if (out_a <= 0.0f)
        return;
    d.c = (c * a + d.c * (d.a * (1.0f - a))) * (1.0f / out_a);
    d.a = out_a;
}

void paint(Canvas& canvas, int x0, int y0, int x1, int y1, int ss, const Shader& shader)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, canvas.w);
    y1 = std::min(y1, canvas.h);
    const float step = 1.0f / static_cast<float>(ss);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            Col sum{};
            float cover = 0.0f;
            for (int sy = 0; sy < ss; ++sy) {
                for (int sx = 0; sx < ss; ++sx) {
                    const Rgba s = shader(x + (sx + 0.5f) * step, y + (sy + 0.5f) * step);
                    sum = sum + s.c * s.a;
                    cover += s.a;
                }
            }
            if (cover > 0.0f)
                canvas.blend(x, y, sum * (1.0f / cover), cover * step * step);
        }
    }
}

void blit8(Image8& dst, const Image8& src, int dx, int dy)
{
    for (int y = 0; y < src.h; ++y) {
        for (int x = 0; x < src.w; ++x) {
            const int tx = dx + x, ty = dy + y;
            if (tx >= 0 && ty >= 0 && tx < dst.w && ty < dst.h)
                dst.at(tx, ty) = src.at(x, y);
        }
    }
}

float bayer4(int x, int y)
{
    static const int m[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (static_cast<float>(m[y & 3][x & 3]) + 0.5f) / 16.0f - 0.5f;
}
