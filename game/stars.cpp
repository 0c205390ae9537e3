// stars.cpp -- 256 single-pixel stars drifting left over the backdrop, plotted straight into the
// locked back buffer. Coordinates stay on the screen, so no clipping is needed.
#include "game.h"

// ---- constants ----
static constexpr uint8_t STAR_COLOR = 15;  // the palette entry every star is drawn in
static constexpr int STAR_SPEED = 5;

// ---- public operations ----

void stars_init()
{
    for (Star& star : stars) {
        star.color = STAR_COLOR;
        star.x = random_next() % 640;
        star.y = random_next() % 480;
    }
}

void stars_move()
{
    for (Star& star : stars) {
        star.x -= STAR_SPEED;
        if (star.x >= 640)
            star.x -= 640;
        else if (star.x < 0)
            star.x += 640;
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
