// The colour table: packed pixels at 32 bits and the answers outside it.
#include <gtest/gtest.h>

#include <allegro.h>

#include "ui/colors.h"

namespace {

struct RGBA8 {
    int r, g, b, a;
};

// Float components times 255, truncated: what every screen expects.
const RGBA8 packed32[KVOR_COLORS] = {
    {0, 0, 0, 0},         {15, 63, 0, 165},     {31, 127, 0, 204},    {63, 255, 0, 255},
    {0, 0, 0, 178},       {0, 204, 0, 204},     {0, 229, 204, 204},   {51, 102, 255, 204},
    {191, 0, 127, 204},   {191, 0, 0, 204},     {204, 102, 0, 204},   {191, 191, 0, 204},
    {255, 255, 255, 255}, {191, 191, 191, 191}, {127, 127, 127, 191}, {255, 0, 0, 255},
    {0, 255, 0, 255},     {63, 127, 255, 255},  {229, 229, 0, 255},   {229, 229, 229, 255},
};

class ColorTable : public ::testing::Test {
protected:
    void TearDown() override { setup_kvor_colors(32); }  // other tests expect 32 bits
};

}  // namespace

TEST_F(ColorTable, PacksEveryEntryWithAlphaAt32Bits)
{
    setup_kvor_colors(32);
    for (int i = 0; i < KVOR_COLORS; i++) {
        int c = get_kvor_color(i);
        EXPECT_EQ(getr32(c), packed32[i].r) << "entry " << i;
        EXPECT_EQ(getg32(c), packed32[i].g) << "entry " << i;
        EXPECT_EQ(getb32(c), packed32[i].b) << "entry " << i;
        EXPECT_EQ(geta32(c), packed32[i].a) << "entry " << i;
    }
    EXPECT_EQ(get_color_depth(), 32);
}

TEST_F(ColorTable, OtherDepthsPackWithoutAlpha)
{
    setup_kvor_colors(16);
    EXPECT_EQ(get_color_depth(), 16);
    EXPECT_EQ(get_kvor_color(3), makecol16(63, 255, 0));
    EXPECT_EQ(get_kvor_color(19), makecol16(229, 229, 229));
}

TEST_F(ColorTable, FloatComponentsAndNamedScreenColours)
{
    EXPECT_FLOAT_EQ(get_kvor_color_r(1), 0.06125f);
    EXPECT_FLOAT_EQ(get_kvor_color_g(7), 0.4f);
    EXPECT_FLOAT_EQ(get_kvor_color_b(17), 1.0f);
    EXPECT_FLOAT_EQ(get_kvor_color_a(4), 0.7f);
    float rgba[4] = {9, 9, 9, 9};
    get_kvor_color(8, rgba, 3);
    EXPECT_FLOAT_EQ(rgba[0], 0.75f);
    EXPECT_FLOAT_EQ(rgba[1], 0.0f);
    EXPECT_FLOAT_EQ(rgba[2], 0.5f);
    EXPECT_FLOAT_EQ(rgba[3], 9.0f);  // only n components are written
    EXPECT_EQ(mfd_energy_color, 6);
    EXPECT_EQ(mfd_shield_color, 7);
    EXPECT_EQ(mfd_laser_color, 5);
    EXPECT_EQ(mfd_missile_color, 11);
    EXPECT_EQ(mfd_jet_color, 9);
    EXPECT_EQ(mfd_rjet_color, 8);
}

TEST_F(ColorTable, IndicesOutsideTheTableAnswerTheDefaults)
{
    setup_kvor_colors(32);
    for (int i : {-1, 20, 25, -100000}) {
        EXPECT_EQ(get_kvor_color(i), 0) << i;
        EXPECT_EQ(get_kvor_color_r(i), 0.0f) << i;
        EXPECT_EQ(get_kvor_color_g(i), 0.0f) << i;
        EXPECT_EQ(get_kvor_color_b(i), 0.0f) << i;
        EXPECT_EQ(get_kvor_color_a(i), 1.0f) << i;
        float out[5] = {7, 7, 7, 7, 7};
        get_kvor_color(i, out, 9);  // more than four asked: four written
        EXPECT_EQ(out[0], 0.0f);
        EXPECT_EQ(out[3], 0.0f);
        EXPECT_EQ(out[4], 7.0f);
    }
}
