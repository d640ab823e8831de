#include "png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

namespace {

void append(png_structp png, png_bytep data, png_size_t n)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

void no_flush(png_structp) {}

// libpng reports its errors by jumping back to the setjmp: nothing in this
// function is changed after it, and nothing with a destructor is made here.
bool encode_into(std::vector<uint8_t>* out, int w, int h, int channels, const uint8_t* pixels)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, append, no_flush);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    size_t stride = size_t(w) * size_t(channels);
    for (int y = 0; y < h; y++)
        png_write_row(png, pixels + size_t(y) * stride);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

std::vector<uint8_t> encode(int w, int h, int channels, const std::vector<uint8_t>& pixels)
{
    std::vector<uint8_t> out;
    if (w <= 0 || h <= 0 || pixels.size() != size_t(w) * size_t(h) * size_t(channels))
        return out;
    if (!encode_into(&out, w, h, channels, pixels.data()))
        out.clear();
    return out;
}

}  // namespace

std::vector<uint8_t> encode_png_rgb(int w, int h, const std::vector<uint8_t>& rgb) { return encode(w, h, 3, rgb); }

std::vector<uint8_t> encode_png_rgba(int w, int h, const std::vector<uint8_t>& rgba) { return encode(w, h, 4, rgba); }

bool write_png_rgb(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb)
{
    std::vector<uint8_t> png = encode_png_rgb(w, h, rgb);
    if (png.empty())
        return false;
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(png.data(), 1, png.size(), f) == png.size();
    return fclose(f) == 0 && ok;
}
