// The tools' PNG writer: files that read back as exactly the pixels given,
// compressed, and nothing written for a picture that does not add up.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdint>
#include <vector>

#include "png_writer.h"

namespace {

// Decodes with libpng's reader into the given format; empty on failure.
std::vector<uint8_t> decode(const std::vector<uint8_t>& file, png_uint_32 format, int* w, int* h)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return {};
    image.format = format;
    std::vector<uint8_t> out(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.data(), 0, nullptr))
        return {};
    *w = int(image.width);
    *h = int(image.height);
    return out;
}

std::vector<uint8_t> pattern(size_t n)
{
    std::vector<uint8_t> p(n);
    for (size_t i = 0; i < n; i++)
        p[i] = uint8_t(i * 7 + i / 3);
    return p;
}

}  // namespace

TEST(PngWriter, RgbAndRgbaReadBackAsThePixelsGiven)
{
    const int w = 200, h = 120;
    std::vector<uint8_t> rgb = pattern(size_t(w) * h * 3);
    int rw = 0, rh = 0;
    EXPECT_EQ(decode(encode_png_rgb(w, h, rgb), PNG_FORMAT_RGB, &rw, &rh), rgb);
    EXPECT_EQ(rw, w);
    EXPECT_EQ(rh, h);

    std::vector<uint8_t> rgba = pattern(size_t(w) * h * 4);
    for (size_t i = 3; i < rgba.size(); i += 4)
        rgba[i] = i % 8 == 3 ? 0 : 255;  // transparent and opaque pixels
    std::vector<uint8_t> back = decode(encode_png_rgba(w, h, rgba), PNG_FORMAT_RGBA, &rw, &rh);
    ASSERT_EQ(back.size(), rgba.size());
    for (size_t i = 0; i < rgba.size(); i += 4) {
        ASSERT_EQ(back[i + 3], rgba[i + 3]) << i;
        if (!rgba[i + 3])
            continue;  // colour under a transparent pixel may be anything
        for (size_t k = 0; k < 3; k++)
            ASSERT_EQ(back[i + k], rgba[i + k]) << i + k;
    }
}

TEST(PngWriter, CompressesAndRefusesPicturesThatDoNotAddUp)
{
    const int w = 256, h = 256;
    std::vector<uint8_t> sky(size_t(w) * h * 3, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            sky[(size_t(y) * w + x) * 3 + 2] = uint8_t(y);  // a smooth gradient
    std::vector<uint8_t> png = encode_png_rgb(w, h, sky);
    ASSERT_FALSE(png.empty());
    EXPECT_LT(png.size(), sky.size() / 20);
    EXPECT_EQ(encode_png_rgb(w, h, sky), png) << "the same pixels give the same bytes";
    EXPECT_TRUE(encode_png_rgb(w, h + 1, sky).empty());
    EXPECT_TRUE(encode_png_rgb(0, 0, {}).empty());
    EXPECT_FALSE(write_png_rgb("/nonexistent-dir/x.png", w, h, sky));
}
