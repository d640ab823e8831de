// The colour table: packed pixels at each depth and the answers outside it.
#include <gtest/gtest.h>

#include <allegro.h>

#include <array>
#include <vector>

#include "ui/colors.h"

TEST(ColorTable, PacksTruncatedComponentsAndAnswersDefaultsOutsideTheTable)
{
    setup_kvor_colors(16);  // no alpha below 32 bits
    EXPECT_EQ(get_kvor_color(1), makecol16(15, 63, 0));
    setup_kvor_colors(32);
    // (0.06125, 0.25, 0, 0.65) and (0.9, 0.9, 0.9, 1) times 255, truncated.
    for (auto [i, r, g, b, a] : {std::array<int, 5>{1, 15, 63, 0, 165}, {19, 229, 229, 229, 255}}) {
        int c = get_kvor_color(i);
        EXPECT_EQ(getr32(c), r) << i;
        EXPECT_EQ(getg32(c), g) << i;
        EXPECT_EQ(getb32(c), b) << i;
        EXPECT_EQ(geta32(c), a) << i;
    }
    float rgba[4] = {9, 9, 9, 9};
    get_kvor_color(8, rgba, 3);  // only n components are written
    EXPECT_EQ(std::vector<float>(rgba, rgba + 4), (std::vector<float>{0.75f, 0.0f, 0.5f, 9.0f}));
    EXPECT_FLOAT_EQ(get_kvor_color_r(1), 0.06125f);
    EXPECT_FLOAT_EQ(get_kvor_color_g(KVOR_COLORS - 1), 0.9f);  // the last entry is inside
    EXPECT_FLOAT_EQ(get_kvor_color_b(17), 1.0f);
    EXPECT_FLOAT_EQ(get_kvor_color_a(4), 0.7f);
    for (int i : {-1, KVOR_COLORS}) {
        EXPECT_EQ(get_kvor_color(i), 0) << i;
        EXPECT_EQ(get_kvor_color_r(i) + get_kvor_color_g(i) + get_kvor_color_b(i), 0.0f) << i;
        EXPECT_EQ(get_kvor_color_a(i), 1.0f) << i;
        float out[5] = {7, 7, 7, 7, 7};
        get_kvor_color(i, out, 9);  // more than four asked: four written
        EXPECT_EQ(std::vector<float>(out, out + 5), (std::vector<float>{0, 0, 0, 0, 7})) << i;
    }
}
