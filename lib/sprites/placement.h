// placement.h -- where a polygon's vertices land on the screen; shared by the outline and the fill
// so both put every vertex on the same pixel. Internal to the sprites layer.
#pragma once
#include <cstdint>

#include "sprites.h"

struct ScreenPoint {
    int x, y;
};

// Truncation toward zero that saturates at the int range instead of overflowing; NaN gives
// INT32_MIN, far outside any clip rectangle.
inline int trunc_to_int(double v)
{
    if (!(v >= -2147483648.0))
        return INT32_MIN;
    if (v >= 2147483648.0)
        return INT32_MAX;
    return static_cast<int>(v);
}

// (trunc(pos_x + x), trunc(pos_y + y)), the sums formed in single precision.
inline ScreenPoint vertex_place(const struct Polygon* polygon, int index)
{
    const Vertex& v = polygon->vertices[index];
    return {trunc_to_int(static_cast<float>(polygon->pos_x) + v.x),
            trunc_to_int(static_cast<float>(polygon->pos_y) + v.y)};
}
