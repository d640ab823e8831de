// The tools' PNG writer: a file any reader accepts, holding exactly the
// pixels given.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "png_writer.h"

namespace {

uint32_t be32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

uint32_t crc32_of(const uint8_t* p, size_t n)
{
    uint32_t crc = 0xffffffffu;
    for (size_t i = 0; i < n; i++) {
        crc ^= p[i];
        for (int k = 0; k < 8; k++)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

}  // namespace

TEST(PngWriter, ChunksCarryTheirCrcAndTheImageDataInflatesToThePixels)
{
    // Wide enough that the scanlines span two stored deflate blocks.
    const int w = 200, h = 120;
    std::vector<uint8_t> rgb(size_t(w) * h * 3);
    for (size_t i = 0; i < rgb.size(); i++)
        rgb[i] = uint8_t(i * 7 + i / 3);
    std::vector<uint8_t> png = encode_png_rgb(w, h, rgb);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png[1], 'P');
    std::vector<uint8_t> idat;
    size_t at = 8;
    std::vector<std::string> types;
    while (at + 12 <= png.size()) {
        uint32_t len = be32(png, at);
        std::string type(png.begin() + long(at) + 4, png.begin() + long(at) + 8);
        types.push_back(type);
        ASSERT_LE(at + 12 + len, png.size());
        EXPECT_EQ(be32(png, at + 8 + len), crc32_of(&png[at + 4], len + 4)) << type;
        if (type == "IHDR") {
            EXPECT_EQ(be32(png, at + 8), uint32_t(w));
            EXPECT_EQ(be32(png, at + 12), uint32_t(h));
            EXPECT_EQ(png[at + 16], 8);  // bits
            EXPECT_EQ(png[at + 17], 2);  // RGB
        }
        if (type == "IDAT")
            idat.insert(idat.end(), png.begin() + long(at) + 8, png.begin() + long(at) + 8 + len);
        at += 12 + len;
    }
    EXPECT_EQ(at, png.size());
    ASSERT_EQ(types.size(), 3u);
    EXPECT_EQ(types.back(), "IEND");

    // Walk the stored blocks of the zlib stream.
    ASSERT_GE(idat.size(), 6u);
    EXPECT_EQ((idat[0] * 256 + idat[1]) % 31, 0);  // valid zlib header
    std::vector<uint8_t> raw;
    size_t p = 2;
    bool last = false;
    int blocks = 0;
    while (!last) {
        ASSERT_LT(p + 5, idat.size());
        last = idat[p] & 1;
        EXPECT_EQ(idat[p] & 6, 0);  // stored
        unsigned n = idat[p + 1] | idat[p + 2] << 8;
        unsigned nn = idat[p + 3] | idat[p + 4] << 8;
        EXPECT_EQ(n ^ 0xffffu, nn);
        raw.insert(raw.end(), idat.begin() + long(p) + 5, idat.begin() + long(p + 5 + n));
        p += 5 + n;
        blocks++;
    }
    EXPECT_GE(blocks, 2);
    ASSERT_EQ(raw.size(), size_t(h) * (w * 3 + 1));
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(be32(idat, p), (b << 16) | a);
    for (int y = 0; y < h; y++) {
        EXPECT_EQ(raw[size_t(y) * (w * 3 + 1)], 0);  // no filter
        for (int x = 0; x < w * 3; x++)
            ASSERT_EQ(raw[size_t(y) * (w * 3 + 1) + 1 + x], rgb[size_t(y) * w * 3 + x]);
    }
}
