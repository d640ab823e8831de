// The HUD model without a window: its settings and what its tapes show.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/hudmodel.h"

namespace {

std::vector<float> labels(float value)
{
    float out[64];
    return std::vector<float>(out, out + hud_tape_labels(value, out, 64));
}

std::vector<float> ticks(float value)
{
    float out[64];
    return std::vector<float>(out, out + hud_tape_ticks(value, out, 64));
}

}  // namespace

TEST(HudModel, StyleSizeAndColourKeepTheirBounds)
{
    HUDMODEL h;
    h.set_style(9);
    EXPECT_EQ(h.get_style(), 9u);
    h.set_style(10);  // past the last style: the first
    EXPECT_EQ(h.get_style(), 0u);
    h.set_size(-0.3f);
    EXPECT_FLOAT_EQ(h.get_r(), 0.3f);
    float rgba[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    h.set_color(0, rgba);
    h.set_color(1, 1.0f, 1.0f, 1.0f);  // other ids are ignored
    EXPECT_EQ(std::vector<float>(h.get_color(), h.get_color() + 4), std::vector<float>(rgba, rgba + 4));
    h.set_color(0, 0.5f, 0.25f, 0.125f);  // three components: opaque
    EXPECT_EQ(std::vector<float>(h.get_color(), h.get_color() + 4), (std::vector<float>{0.5f, 0.25f, 0.125f, 1}));
}

TEST(HudTape, LabelsEveryFiftyTicksEveryTenWithinAHundredAndNeverBelowZero)
{
    EXPECT_EQ(labels(0.0f), (std::vector<float>{0, 50, 100}));
    EXPECT_EQ(ticks(0.0f).size(), 11u);
    EXPECT_EQ(ticks(0.0f).front(), 0.0f);
    EXPECT_TRUE(labels(-500.0f).empty());
    EXPECT_EQ(labels(230.0f), (std::vector<float>{150, 200, 250, 300}));
    std::vector<float> t = ticks(230.0f);
    ASSERT_EQ(t.size(), 21u);
    EXPECT_EQ(t.front(), 130.0f);
    EXPECT_EQ(t.back(), 330.0f);
    EXPECT_FLOAT_EQ(hud_tape_z(230.0f, 230.0f, 0.1f), 0.0f);
    EXPECT_FLOAT_EQ(hud_tape_z(230.0f, 330.0f, 0.1f), 0.1f);
    EXPECT_FLOAT_EQ(hud_tape_z(230.0f, 130.0f, 0.1f), -0.1f);
    // Huge and unnumbered values stay bounded.
    EXPECT_LE(labels(1e12f).size(), 5u);
    EXPECT_LE(ticks(3e38f).size(), 23u);
    EXPECT_TRUE(labels(NAN).empty());
    EXPECT_TRUE(ticks(INFINITY).empty());
    float out[2];
    EXPECT_EQ(hud_tape_ticks(230.0f, out, 2), 2);  // never more than asked
}

TEST(HudTape, ReadOutShowsTheDeltaOnlyWhenItRoundsToSomething)
{
    char value[32], delta[32];
    hud_readout_texts(230.0f, 0.4f, value, delta, sizeof value);
    EXPECT_STREQ(value, "  230");
    EXPECT_STREQ(delta, "");
    hud_readout_texts(-12.0f, -3.2f, value, delta, sizeof value);
    EXPECT_STREQ(value, "  -12");
    EXPECT_STREQ(delta, "    4");  // 3.7 without decimals
    hud_readout_texts(0.0f, 0.5f, value, delta, sizeof value);
    EXPECT_STREQ(delta, "    1");
    hud_readout_texts(0.0f, NAN, value, delta, sizeof value);
    EXPECT_STREQ(delta, "");
}
