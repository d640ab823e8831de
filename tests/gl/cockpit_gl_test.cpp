// The cockpit drawn for real: the panels re-upload into the same textures
// frame after frame, and a textured model after a HUD mark stays textured.
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
#include "render/ftexmodel.h"
#include "render/hudmodel.h"
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

TEST(CockpitGl, TexturedModelAfterAHudMarkIsStillTextured)
{
    BITMAP* b = create_bitmap_ex(32, 8, 8);  // left half black, right half white
    clear_to_color(b, makeacol32(255, 255, 255, 255));
    rectfill(b, 0, 0, 3, 7, makeacol32(0, 0, 0, 255));
    assign_texture("&gl-halves", b, TEXTURE_8BIT_CHANNELS);
    destroy_bitmap(b);
    FTEXMODEL sprite("&gl-halves", false);
    sprite.set_parameter(0, 0.2f);
    HUDMODEL mark;
    mark.set_style(HUD_SQUARE);
    mark.set_size(0.05f);
    gl_test_begin_frame();
    select_texture(nullptr);
    // Sprite, HUD mark, sprite: a vessel's HUD among the world's textured things.
    const float at[3] = {-0.5f, 0.0f, 0.5f};
    for (int i = 0; i < 3; i++) {
        glPushMatrix();
        glTranslatef(at[i], 0, -2);
        glRotatef(-90, 1, 0, 0);
        if (i == 1)
            mark.paint(PAINT_MATERIALS | PAINT_BLENDED);
        else
            sprite.paint(PAINT_MATERIALS | PAINT_BLENDED);
        glPopMatrix();
    }
    // At 2 m a unit spans 320 pixels: each sprite dark on one side, bright on the other.
    for (float x : {at[0], at[2]}) {
        unsigned char l[3], r[3];
        gl_test_pixel((int)(320 + (x - 0.1f) * 320), 240, l);
        gl_test_pixel((int)(320 + (x + 0.1f) * 320), 240, r);
        int left = l[0] + l[1] + l[2], right = r[0] + r[1] + r[2];
        EXPECT_LT(std::min(left, right), 60) << "sprite at " << x << " drawn without its texture";
        EXPECT_GT(std::max(left, right), 600) << "sprite at " << x;
    }
    select_texture(nullptr);
}
