// Skipping what the camera cannot see changes no pixel: the start scene
// drawn by the real frame code with culling and without, from the start
// view, the chase view and the view from the origin to the ship, frame by
// frame while the world goes on, and a good share of the scene skipped.
#include <gtest/gtest.h>

#include <allegro.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "game/controls.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/render.h"
#include "game/world.h"
#include "gl_window.h"
#include "scene/thing.h"
#include "scene/view_cull.h"
#include "vessel/vessel.h"

namespace {

std::vector<unsigned char> back_buffer()
{
    std::vector<unsigned char> px(GL_TEST_W * GL_TEST_H * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, GL_TEST_W, GL_TEST_H, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    return px;
}

int pixels_differing(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    int n = 0;
    for (size_t i = 0; i < a.size(); i += 3)
        n += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    return n;
}

void advance(GAME& g)
{
    simulate_frame(g, 1.0f / 60.0f);
    place_cameras(g);
    follow_viewer(g);
}

// Draws the frame without and with culling; answers the pixels that differ
// and how many subtrees culling skipped.
int compare_frame(GAME& g, const std::string& name, unsigned long* skipped)
{
    view_culling = false;
    draw_frame(g);
    std::vector<unsigned char> full = back_buffer();
    if (!name.empty())
        gl_test_save("/tmp/sortie-cull-" + name + "-all.png");
    view_culling = true;
    draw_frame(g);
    *skipped = view_cull_skipped;
    if (!name.empty())
        gl_test_save("/tmp/sortie-cull-" + name + "-culled.png");
    return pixels_differing(full, back_buffer());
}

}  // namespace

TEST(ViewCullGl, CulledFramesMatchFullFramesPixelForPixel)
{
    GAME g;
    srand(1);
    ASSERT_TRUE(start_scene(g));
    select_viewpoint(nullptr);
    advance(g);  // the first target wave
    struct {
        VIEW view;
        const char* name;
    } views[] = {{VIEW_FIXED, "start"}, {VIEW_EXTERNAL, "chase"}, {VIEW_ORIGIN_TO_SHIP, "origin"}};
    bool first_view = true;
    for (const auto& v : views) {
        // The start view is the free viewpoint the game begins with.
        if (!first_view) {
            ASSERT_TRUE(select_view(g, v.view)) << v.name;
        }
        first_view = false;
        unsigned long most_skipped = 0;
        for (int frame = 0; frame < 30; frame++) {
            advance(g);
            unsigned long skipped = 0;
            int differing = compare_frame(g, frame == 0 ? v.name : "", &skipped);
            EXPECT_EQ(differing, 0) << v.name << " frame " << frame;
            most_skipped = std::max(most_skipped, skipped);
        }
        // The rocks behind and beside the camera, the stars below the
        // horizon's far side: well over a hundred things.
        EXPECT_GT(most_skipped, 100u) << v.name;
        printf("%s view: up to %lu subtrees skipped\n", v.name, most_skipped);
    }
    view_culling = true;
    destroy_world(g);
}

// From the cockpit with the trigger held: the bolts leave the guns in front
// of the camera, and every one drawn without culling is drawn with it.
TEST(ViewCullGl, BoltsSeenFromTheCockpitAreDrawn)
{
    GAME g;
    srand(1);
    ASSERT_TRUE(start_scene(g));
    select_viewpoint(nullptr);
    advance(g);
    ASSERT_TRUE(select_view(g, VIEW_PILOT));
    // The first picture after the view changes differs in the HUD from the
    // next picture of the same frame, culled or not: it is drawn once first.
    draw_frame(g);
    VESSEL* v = static_cast<VESSEL*>(g.player.get());
    ASSERT_NE(v, nullptr);
    v->next_gun_type();  // the lasers
    v->set_trigger(true);
    int bolts_seen = 0;
    for (int frame = 0; frame < 40; frame++) {
        advance(g);
        unsigned long skipped = 0;
        int differing = compare_frame(g, frame == 6 ? "cockpit" : "", &skipped);
        EXPECT_EQ(differing, 0) << "frame " << frame;
        bolts_seen += g.player_projectile ? 1 : 0;
    }
    EXPECT_GT(bolts_seen, 0);
    v->set_trigger(false);
    destroy_world(g);
}
