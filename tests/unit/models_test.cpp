// The procedural models: their numbers, colours and the pass each draws in
// (the render-state cache shows which pass drew).
#include <gtest/gtest.h>

#include <allegro.h>
#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "render/ftexmodel.h"
#include "render/hcmodel.h"
#include "render/texture.h"
#include "scene/states.h"
#include "test_allegro.h"

TEST(ProceduralModels, ParametersFollowTheirRules)
{
    LASER_MODEL laser(1, 1, 0, 0, 0, 0, 0, 0);
    laser.set_parameter(0, -3.0f);
    EXPECT_FLOAT_EQ(laser.get_length(), 3.0f);
    float values[2] = {5.0f, 0.25f};
    laser.set_parameters(0, 2, values);
    EXPECT_FLOAT_EQ(laser.get_length(), 5.0f);
    EXPECT_FLOAT_EQ(laser.get_r(), 0.25f);
    laser.set_parameter(1, -0.5f);
    EXPECT_FLOAT_EQ(laser.get_r(), 0.5f);

    TEX_PLANE_MODEL plane(nullptr, 100);
    plane.set_parameter(0, -3.0f);
    EXPECT_FLOAT_EQ(plane.get_radius(), -3.0f);
    plane.set_parameter(5, 0.5f);
    EXPECT_EQ(plane.get_blend_mode(), 1);
    plane.set_parameter(6, 1.0f);
    EXPECT_EQ(plane.get_blend_mode(), 3);
    plane.set_parameter(5, 0.49f);
    EXPECT_EQ(plane.get_blend_mode(), 2);
    plane.set_parameter(9, 0.0f);
    EXPECT_EQ(plane.get_segments(), 3);
    plane.set_parameter(9, 36.7f);
    EXPECT_EQ(plane.get_segments(), 36);
    EXPECT_EQ(plane.get_r(), 0.0f);

    SPHERE_MODEL sky(10, 0, 0, 1, 0, 1, 0, 1, 0, 0);
    EXPECT_EQ(sky.get_slices(), 12);
    EXPECT_EQ(sky.get_stacks(), 10);
    sky.set_parameter(1, 2.9f);
    EXPECT_EQ(sky.get_slices(), 4);
    sky.set_parameter(2, 1.0f);
    EXPECT_EQ(sky.get_stacks(), 2);
    sky.set_parameter(1, 1e30f);  // absurd values do not overflow
    EXPECT_GT(sky.get_slices(), 4);
    sky.set_parameter(0, -7.0f);
    EXPECT_FLOAT_EQ(sky.get_radius(), 7.0f);
    EXPECT_EQ(sky.get_r(), 0.0f);

    SPHERE_RING_MODEL ring(5, 1, 1, 1);
    ring.set_parameter(1, -1.0f);
    EXPECT_EQ(ring.get_slices(), 4);
    ring.set_parameter(2, 0.7f);
    EXPECT_FLOAT_EQ(ring.get_angle(), 0.7f);

    DOTMODEL dot;
    dot.set_parameter(0, 3.0f);
    EXPECT_FLOAT_EQ(dot.get_point_size(), 3.0f);

    BULLET_MODEL bullet(0.1f, 2.0f);
    EXPECT_FLOAT_EQ(bullet.get_r(), 0.1f);
}

TEST(ProceduralModels, ColourIdsReachOnlyTheirColour)
{
    LASER_MODEL laser(1, 1, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f);
    laser.set_color(5, 1, 1, 1);
    EXPECT_FLOAT_EQ(laser.get_ring_color()[0], 0.1f);
    EXPECT_FLOAT_EQ(laser.get_tip_color()[0], 0.4f);
    float rgb[3] = {0.9f, 0.8f, 0.7f};
    laser.set_color(1, rgb);
    EXPECT_FLOAT_EQ(laser.get_tip_color()[2], 0.7f);
    EXPECT_FLOAT_EQ(laser.get_ring_color()[2], 0.3f);

    DOTMODEL dot;
    dot.set_color(5, 0.25f, 0.5f, 0.75f);
    EXPECT_FLOAT_EQ(dot.get_color()[1], 0.5f);

    SPHERE_MODEL sky(10, 0, 0, 1, 0, 1, 0, 1, 0, 0);
    sky.set_color(2, 0.3f, 0.3f, 0.3f);
    sky.set_color(3, 0.9f, 0.9f, 0.9f);
    EXPECT_FLOAT_EQ(sky.get_color(2)[0], 0.3f);
    EXPECT_FLOAT_EQ(sky.get_color(0)[2], 1.0f);
}

TEST(ProceduralModels, FireballColourSchemesFollowIntensity)
{
    FIREBALL_MODEL yellow(8, 6, FIREBALL_YELLOW), red(8, 6, FIREBALL_RED), grey(8, 6, 7);
    auto colour_at = [](FIREBALL_MODEL& f, float v) {
        f.set_intensity(v);
        f.update_color();
        return std::vector<float>(f.get_color(), f.get_color() + 3);
    };
    EXPECT_EQ(colour_at(yellow, 1.0f), (std::vector<float>{1, 1, 1}));
    EXPECT_EQ(colour_at(yellow, 0.75f), (std::vector<float>{1, 1, 0.5f}));
    EXPECT_EQ(colour_at(yellow, 0.25f), (std::vector<float>{0.5f, 0.5f, 0}));
    EXPECT_EQ(colour_at(red, 0.2f), (std::vector<float>{0.6f, 0, 0}));
    std::vector<float> mid = colour_at(red, 0.5f);
    EXPECT_FLOAT_EQ(mid[1], 0.5f);
    EXPECT_EQ(colour_at(red, 2.0f), (std::vector<float>{1, 1, 1}));  // clamped to 1
    EXPECT_FLOAT_EQ(red.get_intensity(), 1.0f);
    EXPECT_EQ(colour_at(grey, -1.0f), (std::vector<float>{0, 0, 0}));
    EXPECT_EQ(colour_at(grey, NAN), (std::vector<float>{0, 0, 0}));
    yellow.set_parameter(0, 4.5f);
    EXPECT_FLOAT_EQ(yellow.get_r(), 4.5f);
}

TEST(ProceduralModels, EachModelDrawsOnlyInItsPass)
{
    DOTMODEL dot;
    enable_z_write();
    dot.paint(PAINT_MATERIALS | PAINT_SOLID);
    EXPECT_TRUE(z_write_enabled());
    dot.paint(PAINT_MATERIALS | PAINT_BLENDED);
    EXPECT_FALSE(z_write_enabled());

    SPHERE_MODEL sky(10, 0, 0, 1, 0, 1, 0, 1, 0, 0);
    enable_z_check();
    sky.paint(PAINT_MATERIALS | PAINT_BLENDED);
    EXPECT_TRUE(z_check_enabled());
    sky.paint(PAINT_MATERIALS | PAINT_SOLID);
    EXPECT_FALSE(z_check_enabled());

    TEX_PLANE_MODEL plane(nullptr, 100);
    plane.set_parameter(7, 1.0f);  // depth writes on, so a paint shows
    disable_z_write();
    plane.paint(PAINT_BLENDED);
    EXPECT_FALSE(z_write_enabled());
    plane.paint(PAINT_SOLID);
    EXPECT_TRUE(z_write_enabled());
    plane.set_parameter(5, 1.0f);
    for (float mode_bit : {0.0f, 1.0f}) {
        plane.set_parameter(6, mode_bit);
        disable_z_write();
        plane.paint(PAINT_SOLID);
        EXPECT_FALSE(z_write_enabled());
        plane.paint(PAINT_BLENDED);
        EXPECT_TRUE(z_write_enabled());
        EXPECT_FALSE(blend_enabled());  // switched off after the fan, and the cache knows
    }

    LASER_MODEL laser(4, 0.2f, 1, 0, 0, 1, 1, 1);
    disable_blend_func();
    laser.paint(PAINT_SOLID);
    EXPECT_FALSE(blend_enabled());
    laser.paint(PAINT_BLENDED);
    EXPECT_TRUE(blend_enabled());
    EXPECT_EQ(get_blend_src(), (unsigned)GL_ONE);
    EXPECT_EQ(get_blend_dst(), (unsigned)GL_ONE);

    BULLET_MODEL bullet(0.1f, 2.0f);
    bullet.paint(PAINT_BLENDED);
    EXPECT_EQ(get_blend_src(), (unsigned)GL_SRC_ALPHA);
    EXPECT_EQ(get_blend_dst(), (unsigned)GL_ONE_MINUS_SRC_ALPHA);
}

TEST(SpriteModel, KeepsItsTextureSizeAndColour)
{
    ensure_headless_allegro();
    FTEXMODEL sprite("&Flame", false);
    EXPECT_EQ(sprite.get_texture(), find_texture("&FLAME"));
    EXPECT_FALSE(sprite.get_flag());
    EXPECT_FLOAT_EQ(sprite.get_r(), 1.0f);
    sprite.set_parameter(0, 3.0f);
    sprite.set_parameter(1, 0.5f);
    EXPECT_FLOAT_EQ(sprite.get_r(), 3.0f);
    EXPECT_FLOAT_EQ(sprite.get_brightness(), 0.5f);
    sprite.set_color(1, 0, 0, 0);
    EXPECT_FLOAT_EQ(sprite.get_color()[0], 1.0f);
    sprite.set_color(0, 0.2f, 0.3f, 0.4f);
    EXPECT_FLOAT_EQ(sprite.get_color()[2], 0.4f);
    sprite.load_texture("&smoke");
    EXPECT_EQ(sprite.get_texture(), find_texture("&smoke"));
    EXPECT_EQ(FTEXMODEL(nullptr, true).get_texture(), nullptr);
    disable_blend_func();
    sprite.paint(PAINT_SOLID);
    EXPECT_FALSE(blend_enabled());
    sprite.paint(PAINT_BLENDED);
    EXPECT_EQ(get_blend_src(), (unsigned)GL_SRC_ALPHA);
    EXPECT_EQ(get_blend_dst(), (unsigned)GL_ONE);
    EXPECT_EQ(current_tex, sprite.get_texture());
}
