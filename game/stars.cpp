// stars.cpp -- 256 single-pixel stars drifting left over the backdrop, plotted straight into the
// locked back buffer. Coordinates stay on the screen, so no clipping is needed.
#include "game.h"

// ---- constants ----
static constexpr int STAR_SPEED = 5;

// ---- public operations ----

void stars_init()
{
    for (Star& star : stars) {
        star.color = PALETTE_STAR;
        star.x = random_next() % screen_width;
        star.y = random_next() % screen_height;
    }
}

void stars_move()
{
    for (Star& star : stars) {
        star.x -= STAR_SPEED;
        if (star.x >= screen_width)
            star.x -= screen_width;
        else if (star.x < 0)
            star.x += screen_width;
    }
}

void stars_draw()
{
    if (!back_lock())
        return;
    for (const Star& star : stars)
        plot_pixel8(star.x, star.y, star.color, back_buffer, back_pitch);
    back_unlock();
}
