// text.cpp -- text on a surface through the device context it lends: one GetDC and one ReleaseDC
// per call, the default font, a transparent background. Nothing is kept between calls.
#include <climits>
#include <cstring>

#include "display.h"

int text_draw(const char* text, int x, int y, COLORREF color, LPDIRECTDRAWSURFACE7 surface)
{
    if (!text || !surface)
        return 0;
    HDC dc = nullptr;
    if (FAILED(surface->GetDC(&dc)))
        return 0;  // a locked surface lends no device context
    SetTextColor(dc, color);
    SetBkMode(dc, TRANSPARENT);
    const size_t length = std::strlen(text);
    TextOutA(dc, x, y, text, length > INT_MAX ? INT_MAX : static_cast<int>(length));
    surface->ReleaseDC(dc);
    return 1;
}

int text_draw_indexed(const char* text, int x, int y, int palette_index, LPDIRECTDRAWSURFACE7 surface)
{
    if (palette_index < 0 || palette_index > 255)
        return 0;
    const PALETTEENTRY& e = shadow_palette[palette_index];
    return text_draw(text, x, y, RGB(e.peRed, e.peGreen, e.peBlue), surface);
}
