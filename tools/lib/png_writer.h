// PNG files without a compression library: 8-bit RGB, stored (uncompressed)
// deflate blocks. Big, but exact and dependency-free.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// rgb: w * h * 3 bytes, rows top to bottom.
std::vector<uint8_t> encode_png_rgb(int w, int h, const std::vector<uint8_t>& rgb);
bool write_png_rgb(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb);
