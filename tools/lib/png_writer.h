// PNG files through libpng: 8-bit RGB or RGBA, compressed. Same pixels in,
// same bytes out (no time stamp), so generated pictures can be compared.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// pixels: w * h * 3 (RGB) or w * h * 4 (RGBA) bytes, rows top to bottom.
// Empty when the picture cannot be encoded (no pixels, sizes that disagree).
std::vector<uint8_t> encode_png_rgb(int w, int h, const std::vector<uint8_t>& rgb);
std::vector<uint8_t> encode_png_rgba(int w, int h, const std::vector<uint8_t>& rgba);
bool write_png_rgb(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb);
