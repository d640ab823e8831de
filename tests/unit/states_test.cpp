// The render-state cache records what it switched (no GL context needed:
// calls without a context are ignored by the driver).
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "scene/states.h"

TEST(RenderStates, SwitchesAreRecorded)
{
    enable_lights();
    EXPECT_TRUE(lights_enabled());
    disable_lights();
    EXPECT_FALSE(lights_enabled());
    enable_bfc();
    EXPECT_TRUE(bfc_enabled());
    disable_bfc();
    EXPECT_FALSE(bfc_enabled());
    enable_z_buffer();
    EXPECT_TRUE(z_check_enabled());
    EXPECT_TRUE(z_write_enabled());
    disable_z_write();
    EXPECT_FALSE(z_write_enabled());
    EXPECT_TRUE(z_check_enabled());
    disable_z_check();
    EXPECT_FALSE(z_check_enabled());
}

TEST(RenderStates, OneZeroMeansNoBlendingAndKeepsTheFactors)
{
    select_blend_func(GL_SRC_ALPHA, GL_ONE);
    EXPECT_TRUE(blend_enabled());
    select_blend_func(GL_ONE, GL_ZERO);
    EXPECT_FALSE(blend_enabled());
    EXPECT_EQ(get_blend_src(), (unsigned)GL_SRC_ALPHA);
    EXPECT_EQ(get_blend_dst(), (unsigned)GL_ONE);
    select_blend_func(GL_ONE, GL_ONE);
    disable_blend_func();
    EXPECT_FALSE(blend_enabled());
    EXPECT_EQ(get_blend_src(), (unsigned)GL_ONE);
}
