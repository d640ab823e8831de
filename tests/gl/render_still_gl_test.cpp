// The modders' still of a model: the shipped hulls drawn by the game's mesh
// code, framed on the background from the angles asked for. The pictures
// are saved in the temporary directory (sortie-still-*.png) for a person
// to judge.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "data_render.h"
#include "gl_window.h"
#include "png_writer.h"

namespace {

struct EXTENT {
    int left = GL_TEST_W, right = -1, top = GL_TEST_H, bottom = -1;
    int pixels = 0;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

bool is_background(const uint8_t* p)
{
    // Clear colour (0.2, 0.3, 0.4).
    return std::abs(p[0] - 51) <= 2 && std::abs(p[1] - 77) <= 2 && std::abs(p[2] - 102) <= 2;
}

EXTENT extent_of(const std::vector<uint8_t>& rgb)
{
    EXTENT e;
    for (int y = 0; y < GL_TEST_H; y++)
        for (int x = 0; x < GL_TEST_W; x++)
            if (!is_background(&rgb[(size_t(y) * GL_TEST_W + x) * 3])) {
                e.left = std::min(e.left, x);
                e.right = std::max(e.right, x);
                e.top = std::min(e.top, y);
                e.bottom = std::max(e.bottom, y);
                e.pixels++;
            }
    return e;
}

std::vector<uint8_t> still(const std::string& hull, float yaw, float pitch)
{
    std::vector<uint8_t> rgb;
    std::string error;
    std::string file = std::string(SORTIE_SOURCE_DIR) + "/data/models/" + hull + ".3ds";
    EXPECT_TRUE(render_model_still(file, yaw, pitch, GL_TEST_W, GL_TEST_H, rgb, error)) << error;
    std::string name = "sortie-still-" + hull + "_" + std::to_string(int(yaw)) + "_" + std::to_string(int(pitch)) + ".png";
    write_png_rgb((std::filesystem::temp_directory_path() / name).string(), GL_TEST_W, GL_TEST_H, rgb);
    return rgb;
}

}  // namespace

TEST(RenderStill, EveryHullFillsTheMiddleFromTheFrontAndFromAbove)
{
    for (const char* hull : {"kestrel", "bison", "heron", "falcon", "raider"}) {
        SCOPED_TRACE(hull);
        std::vector<uint8_t> front = still(hull, 0, 0);
        std::vector<uint8_t> above = still(hull, 0, 90);
        EXTENT f = extent_of(front), a = extent_of(above);
        ASSERT_GT(f.pixels, 500);
        ASSERT_GT(a.pixels, 5000);
        // Centred, and the corners are background.
        EXPECT_NEAR((f.left + f.right) / 2, GL_TEST_W / 2, 12);
        EXPECT_NEAR((a.left + a.right) / 2, GL_TEST_W / 2, 12);
        EXPECT_TRUE(is_background(&front[0]));
        EXPECT_TRUE(is_background(&above[(size_t(GL_TEST_H) * GL_TEST_W - 1) * 3]));
        // From the front a fighter is all wingspan; from above it is about
        // as long as it is wide, and seen bigger.
        EXPECT_GT(f.width(), 2 * f.height());
        EXPECT_GT(a.height(), f.height() * 3);
        EXPECT_GT(a.pixels, f.pixels);
    }
}

TEST(RenderStill, YawTurnsTheCameraRoundTheUpAxis)
{
    // From the right side (yaw 90) the fuselage is long and the wings are
    // edge-on: wider than from the front, and the nose is to the right.
    std::vector<uint8_t> side = still("kestrel", 90, 0);
    EXTENT s = extent_of(side);
    EXTENT f = extent_of(still("kestrel", 0, 0));
    EXPECT_GT(s.width(), f.width());
    EXPECT_LT(s.height(), s.width() / 3);
    // The pitot tube on the nose is the thinnest part: the right end of the
    // side view has fewer lit pixels per column than the left (the fin).
    auto column = [&](int x) {
        int n = 0;
        for (int y = 0; y < GL_TEST_H; y++)
            n += !is_background(&side[(size_t(y) * GL_TEST_W + x) * 3]);
        return n;
    };
    EXPECT_LT(column(s.right - 2), column(s.left + 20));
}

TEST(RenderStill, AFileThatDoesNotLoadIsReported)
{
    std::vector<uint8_t> rgb;
    std::string error;
    EXPECT_FALSE(render_model_still("no/such/model.3ds", 0, 0, GL_TEST_W, GL_TEST_H, rgb, error));
    EXPECT_NE(error.find("no/such/model.3ds"), std::string::npos);
}
