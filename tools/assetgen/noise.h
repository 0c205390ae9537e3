// noise.h -- seeded value noise in two and three dimensions and its fractal sums, smooth and tileable-free.
#pragma once
#include <cstdint>

// Smooth noise in [-1, 1]; the same seed and point always give the same value.
float noise2(float x, float y, uint32_t seed);
float noise3(float x, float y, float z, uint32_t seed);

// Fractal sums of octaves (each octave twice the frequency and `gain` times the amplitude),
// normalised back to about [-1, 1].
float fbm2(float x, float y, int octaves, float gain, uint32_t seed);
float fbm3(float x, float y, float z, int octaves, float gain, uint32_t seed);

// Cellular noise: distances to the nearest and second-nearest of one jittered point per unit cell.
// f2 - f1 is small along the borders between cells, which makes cracks between plates.
void cells2(float x, float y, uint32_t seed, float& f1, float& f2);
