// The start scene drawn by the real frame code, seen from the start view.
#include <gtest/gtest.h>

#include <allegro.h>
#include <GL/gl.h>

#include <set>

#include "game/frame.h"
#include "game/game.h"
#include "game/light.h"
#include "game/render.h"
#include "game/world.h"
#include "gl_window.h"
#include "render/material.h"
#include "scene/states.h"

namespace {

struct PIXEL {
    unsigned char c[3];
    int brightness() const { return c[0] + c[1] + c[2]; }
};

PIXEL pixel(int x, int y)
{
    PIXEL p;
    gl_test_pixel(x, y, p.c);
    return p;
}

void draw_start_view(GAME& g)
{
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
}

}  // namespace

TEST(SceneGl, StartViewShowsSkyAboveAndTexturedGroundBelow)
{
    GAME g;
    draw_start_view(g);
    gl_test_save("/tmp/sortie-start-view.png");
    // Sky: lit, bluish or grey towards the horizon, above the middle.
    PIXEL sky = pixel(320, 40);
    EXPECT_GT(sky.brightness(), 60);
    EXPECT_GE(sky.c[2], sky.c[0]);
    // Ground: brown below the horizon; towards the horizon the texture's
    // fields make the picture differ along a row.
    PIXEL ground = pixel(320, 430);
    EXPECT_GT(ground.brightness(), 60);
    EXPECT_GT(ground.c[0], ground.c[2]);
    std::set<int> shades;
    for (int y = 250; y < 290; y += 4)
        for (int x = 20; x < 620; x += 8)
            shades.insert(pixel(x, y).brightness());
    EXPECT_GT(shades.size(), 12u);
    destroy_world(g);
}
