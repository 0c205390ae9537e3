// median_cut.h -- a palette made for one full-colour picture, for the intro screens that each own one.
#pragma once
#include "canvas.h"
#include "palette.h"

// Splits the picture's colours into boxes at their weighted median until there are 255, and gives
// each box its mean colour; entry 0 stays black.
Palette median_cut_palette(const Canvas& canvas);
