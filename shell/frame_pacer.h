// frame_pacer.h -- holds the frame loop to at most 60 frames a second on a fixed grid, whatever the
// display does. Every speed of the game is in pixels per frame, made for one frame per 60 Hz
// refresh: where the flip returns at once (no vertical blank) or follows a faster monitor, the loop
// waits out the rest of the frame here; where the flip already waited for the refresh, nothing is added.
#pragma once

// Asks for a 1 ms system timer for the program's lifetime; the grid starts at the first pacer_wait.
void pacer_begin();
// Once after each frame: returns at the frame's tick on the 1/60 s grid (at once when the frame is
// already there). A frame late by less than a frame keeps the grid (the next one waits less); one
// late by more starts again at the next tick after now, so a stall is never followed by a burst of
// catch-up frames.
void pacer_wait();
// Gives the system timer back.
void pacer_end();
