// The procedural models: their parameter rules and colour schemes (how and
// in which pass they draw is the golden frames' business).
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "render/hcmodel.h"

TEST(ProceduralModels, ParametersTakeMagnitudesAndCountsHaveAFloor)
{
    LASER_MODEL laser(1, 1, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f);
    float values[2] = {-5.0f, -0.25f};
    laser.set_parameters(0, 2, values);
    EXPECT_FLOAT_EQ(laser.get_length() + laser.get_r(), 5.25f);
    laser.set_color(1, 0.9f, 0.8f, 0.7f);  // 1 the tip, 0 the ring, others nothing
    laser.set_color(5, 1, 1, 1);
    EXPECT_EQ(std::vector<float>(laser.get_tip_color(), laser.get_tip_color() + 3), (std::vector<float>{0.9f, 0.8f, 0.7f}));
    EXPECT_FLOAT_EQ(laser.get_ring_color()[2], 0.3f);
    TEX_PLANE_MODEL plane(nullptr, 100);
    for (auto [bit5, bit6, mode] : {std::tuple{0.5f, 0.0f, 1}, {0.5f, 1.0f, 3}, {0.49f, 1.0f, 2}, {0.0f, 0.49f, 0}}) {
        plane.set_parameter(5, bit5);
        plane.set_parameter(6, bit6);
        EXPECT_EQ(plane.get_blend_mode(), mode) << bit5 << " " << bit6;
    }
    for (auto [segments, want] : {std::pair{0.0f, 3}, {36.7f, 36}}) {
        plane.set_parameter(9, segments);
        EXPECT_EQ(plane.get_segments(), want);
    }
    SPHERE_MODEL sky(10, 0, 0, 1, 0, 1, 0, 1, 0, 0);
    sky.set_parameter(1, 2.9f);
    sky.set_parameter(2, 1.0f);
    EXPECT_EQ(sky.get_slices() * 100 + sky.get_stacks(), 402);
    sky.set_parameter(1, 1e30f);  // absurd values do not overflow
    EXPECT_GT(sky.get_slices(), 4);
    sky.set_parameter(0, -7.0f);
    EXPECT_FLOAT_EQ(sky.get_radius(), 7.0f);
    sky.set_color(3, 0.9f, 0.9f, 0.9f);
    sky.set_color(2, 0.3f, 0.3f, 0.3f);
    EXPECT_EQ(std::vector<float>(sky.get_color(2), sky.get_color(2) + 3), (std::vector<float>{0.3f, 0.3f, 0.3f}));
    EXPECT_FLOAT_EQ(sky.get_color(0)[2], 1.0f);
    SPHERE_RING_MODEL ring(5, 1, 1, 1);
    ring.set_parameter(1, -1.0f);
    EXPECT_EQ(ring.get_slices(), 4);
}

TEST(ProceduralModels, FireballColourSchemesFollowIntensity)
{
    FIREBALL_MODEL yellow(8, 6, FIREBALL_YELLOW), red(8, 6, FIREBALL_RED), grey(8, 6, 7);
    const struct { FIREBALL_MODEL* f; float v, r, g, b; } ramp[] = {
        {&yellow, 1, 1, 1, 1}, {&yellow, 0.75f, 1, 1, 0.5f}, {&yellow, 0.25f, 0.5f, 0.5f, 0}, {&red, 0.2f, 0.6f, 0, 0},
        {&red, 0.5f, 1, 0.5f, 0}, {&red, 0.8f, 1, 1, 0.4f}, {&red, 2, 1, 1, 1} /* clamped */, {&grey, -1, 0, 0, 0},
        {&grey, NAN, 0, 0, 0}, {&grey, 0.5f, 0.5f, 0.5f, 0.5f}};
    for (const auto& c : ramp) {
        c.f->set_intensity(c.v);
        c.f->update_color();
        const float* rgb = c.f->get_color();
        EXPECT_NEAR(fabsf(rgb[0] - c.r) + fabsf(rgb[1] - c.g) + fabsf(rgb[2] - c.b), 0, 1e-6f) << c.v;
    }
    EXPECT_FLOAT_EQ(red.get_intensity(), 1.0f);
}
