// The start scene drawn by the real frame code, seen from the start view:
// lit sky above, textured ground below.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <set>

#include "game/frame.h"
#include "game/game.h"
#include "game/light.h"
#include "game/render.h"
#include "game/world.h"
#include "gl_window.h"
#include "render/material.h"

TEST(SceneGl, StartViewShowsSkyAboveAndTexturedGroundBelow)
{
    GAME g;
    light_materials = true;
    smooth_light = true;
    ASSERT_TRUE(build_scene(g));
    update_light();
    gl_test_begin_frame();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.5 * NEAR_DIST, 0.5 * NEAR_DIST, -0.375 * NEAR_DIST, 0.375 * NEAR_DIST, NEAR_DIST, FAR_DIST);
    glMatrixMode(GL_MODELVIEW);
    simulate_frame(g, 0.0f);
    follow_viewer(g);
    draw_frame(g);
    gl_test_save("/tmp/sortie-start-view.png");
    unsigned char sky[3], ground[3], px[3];
    gl_test_pixel(320, 40, sky);  // bluish or grey towards the horizon
    EXPECT_GT(sky[0] + sky[1] + sky[2], 60);
    EXPECT_GE(sky[2], sky[0]);
    gl_test_pixel(320, 430, ground);  // brown
    EXPECT_GT(ground[0] + ground[1] + ground[2], 60);
    EXPECT_GT(ground[0], ground[2]);
    // Towards the horizon the texture's fields make the picture differ.
    std::set<int> shades;
    for (int y = 250; y < 290; y += 4)
        for (int x = 20; x < 620; x += 8) {
            gl_test_pixel(x, y, px);
            shades.insert(px[0] + px[1] + px[2]);
        }
    EXPECT_GT(shades.size(), 12u);
    destroy_world(g);
}
