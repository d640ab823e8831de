// The ground and sky pictures: tileable, 24-bit, drawn from noise.
#pragma once

#include <cstdint>
#include <vector>

// An RGB picture, rows top to bottom, 3 bytes per pixel.
struct PICTURE {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
};

// A 24-bit uncompressed BMP file of the picture.
std::vector<uint8_t> encode_bmp24(const PICTURE& p);

// Noise that repeats every `period` units on both axes (period a power of
// two); fbm sums `octaves` of it, each at twice the frequency.
float tile_noise(float x, float y, int period, uint32_t seed);
float tile_fbm(float x, float y, int period, int octaves, uint32_t seed);

PICTURE make_ground_texture(int size);  // farmland, meadows, woods and rock
PICTURE make_sky_texture(int size);     // white clouds on black (added to the sky)
