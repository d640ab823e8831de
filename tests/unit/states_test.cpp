// The render-state cache records what it switched (no GL context needed:
// calls without a context are ignored by the driver).
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "scene/states.h"

TEST(RenderStates, SwitchesAreRecordedAndOneZeroMeansNoBlending)
{
    enable_lights();
    enable_bfc();
    EXPECT_TRUE(lights_enabled() && bfc_enabled());
    disable_lights();
    disable_bfc();
    EXPECT_FALSE(lights_enabled() || bfc_enabled());
    enable_z_buffer();
    EXPECT_TRUE(z_check_enabled() && z_write_enabled());
    disable_z_write();
    EXPECT_FALSE(z_write_enabled());
    EXPECT_TRUE(z_check_enabled());
    disable_z_check();
    EXPECT_FALSE(z_check_enabled());

    select_blend_func(GL_SRC_ALPHA, GL_ONE);
    EXPECT_TRUE(blend_enabled());
    select_blend_func(GL_ONE, GL_ZERO);  // blending off, the factors kept
    EXPECT_FALSE(blend_enabled());
    EXPECT_EQ(get_blend_src(), (unsigned)GL_SRC_ALPHA);
    EXPECT_EQ(get_blend_dst(), (unsigned)GL_ONE);
    select_blend_func(GL_ONE, GL_ONE);
    disable_blend_func();
    EXPECT_FALSE(blend_enabled());
    EXPECT_EQ(get_blend_src(), (unsigned)GL_ONE);
}
