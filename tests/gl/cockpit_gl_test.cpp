// The cockpit drawn for real: the panels re-upload into the same textures
// frame after frame.
#include <gtest/gtest.h>

#include <allegro.h>
#include <GL/gl.h>

#include <algorithm>

#include "game/controls.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/light.h"
#include "game/render.h"
#include "game/world.h"
#include "gl_window.h"
#include "render/material.h"
#include "render/texture.h"
#include "vessel/vessel.h"

TEST(CockpitGl, ThePanelsKeepTheirTexturesFrameAfterFrame)
{
    GAME g;
    light_materials = smooth_light = true;
    gl_test_begin_frame();
    ASSERT_TRUE(start_scene(g));
    simulate_frame(g, 0.0f);
    VESSEL* v = dynamic_cast<VESSEL*>(g.player.get());
    ASSERT_TRUE(v && select_view(g, VIEW_PILOT));
    v->select_next_target(THING_TARGETABLE, THING_NAVPOINT);
    ASSERT_NE(v->get_target(), nullptr);
    auto next_frame = [&g] {
        simulate_frame(g, 1.0f / 60.0f);
        follow_viewer(g);
        draw_frame(g);
    };
    for (int i = 0; i < 3; i++)
        next_frame();
    auto panels = [] {  // an hour of play re-uploads into the same five textures
        std::vector<std::pair<TEXTURE*, unsigned>> p = {{nullptr, nrtex}};
        for (TEXTURE* t : mfd_tex)
            p.push_back({t, t ? t->get_gl_name() : 0});
        return p;
    };
    std::vector<std::pair<TEXTURE*, unsigned>> before = panels();
    ASSERT_TRUE(std::all_of(before.begin() + 1, before.end(), [](auto& p) { return p.first != nullptr; }));
    mfd_screen_mode[0] = 5;  // the message console on the first panel
    for (int i = 0; i < 200; i++)
        next_frame();
    mfd_screen_mode[0] = 1;
    EXPECT_EQ(panels(), before);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);

    destroy_world(g);
}
