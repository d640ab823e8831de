// The tools' PNG writer: files that read back as exactly the pixels given,
// compressed, and nothing written for a picture that does not add up.
#include <gtest/gtest.h>

#include <png.h>

#include <vector>

#include "png_writer.h"

TEST(PngWriter, PicturesReadBackAsThePixelsGivenCompressedAndWrongSizesAreRefused)
{
    const int w = 200, h = 120;
    for (png_uint_32 format : {PNG_FORMAT_RGB, PNG_FORMAT_RGBA}) {
        size_t channels = PNG_IMAGE_PIXEL_CHANNELS(format);
        std::vector<uint8_t> px(size_t(w) * h * channels);
        for (size_t i = 0; i < px.size(); i++)  // a smooth picture with opaque pixels
            px[i] = channels == 4 && i % 4 == 3 ? 255 : uint8_t(i / (w * channels) + i % 3);
        std::vector<uint8_t> file = channels == 3 ? encode_png_rgb(w, h, px) : encode_png_rgba(w, h, px);
        EXPECT_LT(file.size(), px.size() / 10);
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_memory(&image, file.data(), file.size()));
        EXPECT_EQ(image.width * 1000 + image.height, w * 1000u + h);
        image.format = format;
        std::vector<uint8_t> back(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, back.data(), 0, nullptr));
        EXPECT_EQ(back, px);
    }
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    EXPECT_TRUE(encode_png_rgb(w, h + 1, rgb).empty());
    EXPECT_TRUE(encode_png_rgb(0, 0, {}).empty());
    EXPECT_FALSE(write_png_rgb("/nonexistent-dir/x.png", w, h, rgb));
}
