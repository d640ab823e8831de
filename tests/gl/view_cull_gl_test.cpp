// Skipping what the camera cannot see changes no pixel: the start scene drawn
// with culling and without, frame by frame, from the start, chase and pilot views.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

#include "game/controls.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/render.h"
#include "game/world.h"
#include "gl_window.h"
#include "scene/thing.h"
#include "scene/view_cull.h"

TEST(ViewCullGl, CulledFramesMatchFullFramesPixelForPixel)
{
    GAME g;
    srand(1);
    ASSERT_TRUE(start_scene(g));
    select_viewpoint(nullptr);  // the free viewpoint the game begins with
    for (VIEW view : {VIEW_FIXED, VIEW_EXTERNAL, VIEW_PILOT}) {
        ASSERT_TRUE(view == VIEW_FIXED || select_view(g, view)) << view;
        draw_frame(g);  // the first picture after a change of view differs in the HUD
        unsigned long skipped = 0;
        for (int frame = 0; frame < 30; frame++) {
            simulate_frame(g, 1.0f / 60.0f);
            place_cameras(g);
            follow_viewer(g);
            view_culling = false;
            draw_frame(g);
            auto full = gl_test_read();
            view_culling = true;
            draw_frame(g);
            skipped += view_cull_skipped;
            EXPECT_TRUE(gl_test_read() == full) << "view " << view << " frame " << frame;
        }
        EXPECT_GT(skipped, 30 * 100u) << "view " << view;  // rocks behind, stars below the horizon
    }
    destroy_world(g);
}

// Down -z through a 90-degree frustum from an eye away from the origin, a
// thing 100 m ahead and a step aside (on each of the four sides) is cut only
// when step / sqrt(2) passes its radius and the margin (0.01 rad of its 141 m
// from the eye); behind the eye, nearer than the near plane and past the far
// plane it is cut.
TEST(ViewCullGl, ThingsAreCutOnlyPastTheMargin)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 1, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(-50.0f, -20.0f, 30.0f);
    const float eye[3] = {50.0f, 20.0f, -30.0f};
    begin_view_cull();  // culling is on, as the other test leaves it
    const float cases[][3] = {{1.9f, 0, 0}, {2.2f, 0, 1}, {6.0f, 3, 0}, {6.5f, 3, 1}};  // step, radius, cut
    const int sides[][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (const auto& side : sides)
        for (const auto& c : cases) {
            float at[3] = {eye[0] + side[0] * (100.0f + c[0]), eye[1] + side[1] * (100.0f + c[0]), eye[2] - 100.0f};
            EXPECT_EQ(sphere_outside_view(at, c[1]), c[2] != 0) << side[0] << "," << side[1] << ": " << c[0];
        }
    const float behind[3] = {eye[0], eye[1], eye[2] + 5.0f}, beyond[3] = {eye[0], eye[1], eye[2] - 1100.0f};
    const float near[3] = {eye[0], eye[1], eye[2] - 0.5f}, ahead[3] = {eye[0], eye[1], eye[2] - 500.0f};
    EXPECT_TRUE(sphere_outside_view(behind, 1.0f) && sphere_outside_view(beyond, 10.0f));
    EXPECT_TRUE(sphere_outside_view(near, 0.1f));
    EXPECT_FALSE(sphere_outside_view(ahead, 1.0f));
    for (float unbounded : {-1.0f, INFINITY, NAN})  // no radius to cut by: always drawn
        EXPECT_FALSE(sphere_outside_view(behind, unbounded)) << unbounded;
}
