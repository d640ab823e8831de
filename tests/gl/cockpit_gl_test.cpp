// The cockpit drawn for real: the five panels lit from the pilot's seat with
// a target selected, the same textures reused frame after frame, and a
// textured model that follows a HUD mark still textured.
#include <gtest/gtest.h>

#include <allegro.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

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
#include "render/model.h"
#include "render/texture.h"
#include "scene/states.h"
#include "vessel/vessel.h"

namespace {

int brightness(int x, int y)
{
    unsigned char c[3];
    gl_test_pixel(x, y, c);
    return c[0] + c[1] + c[2];
}

// The game's start (scene, player vessel, projection, boot lines), the first
// target wave, the pilot's seat and the first target selected.
VESSEL* fly_with_target(GAME& g)
{
    light_materials = true;
    smooth_light = true;
    gl_test_begin_frame();
    if (!start_scene(g))
        return nullptr;
    simulate_frame(g, 0.0f);
    VESSEL* v = dynamic_cast<VESSEL*>(g.player.get());
    if (!v || !select_view(g, VIEW_PILOT))
        return nullptr;
    v->select_next_target(THING_TARGETABLE, THING_NAVPOINT);
    return v;
}

void next_frame(GAME& g)
{
    simulate_frame(g, 1.0f / 60.0f);
    follow_viewer(g);
    draw_frame(g);
}

// Screen centre of panel i at 640 x 480: its eye-space centre through the
// game's 4:3 frustum (half-width 0.5 and half-height 0.375 at 1 m).
void panel_centre(int i, int* x, int* y)
{
    static const float cx[5] = {-0.335f, 0.0f, 0.335f, -0.415f, 0.415f};
    static const float cy[5] = {-0.25f, -0.25f, -0.25f, 0.305f, 0.305f};
    static const float cz[5] = {1.1f, 1.12f, 1.1f, 1.05f, 1.05f};
    *x = (int)(GL_TEST_W * 0.5f * (1.0f + cx[i] / cz[i] / 0.5f));
    *y = (int)(GL_TEST_H * 0.5f * (1.0f - cy[i] / cz[i] / 0.375f));
}

// Share of the 21 x 21 pixels around (x, y) that the screens' dark green
// background tints: green well above red and blue.
float green_share(int x, int y)
{
    int n = 0, green = 0;
    for (int yy = y - 10; yy <= y + 10; yy++)
        for (int xx = x - 10; xx <= x + 10; xx++) {
            unsigned char c[3];
            gl_test_pixel(xx, yy, c);
            n++;
            green += c[1] > c[0] + 20 && c[1] > c[2] + 20;
        }
    return (float)green / n;
}

}  // namespace

TEST(CockpitGl, FivePanelsLitAndTheirTexturesReused)
{
    GAME g;
    VESSEL* v = fly_with_target(g);
    ASSERT_NE(v, nullptr);
    ASSERT_NE(v->get_target(), nullptr);
    for (int i = 0; i < 3; i++)
        next_frame(g);
    gl_test_save("/tmp/sortie-cockpit.png");
    for (int i = 0; i < 5; i++) {
        int x, y;
        panel_centre(i, &x, &y);
        EXPECT_GT(green_share(x, y), 0.5f) << "panel " << i << " at " << x << "," << y;
    }
    // An hour of play re-uploads into the same five textures.
    int textures = nrtex;
    TEXTURE* before[5];
    unsigned names[5];
    for (int i = 0; i < 5; i++) {
        ASSERT_NE(mfd_tex[i], nullptr) << i;
        before[i] = mfd_tex[i];
        names[i] = mfd_tex[i]->get_gl_name();
    }
    for (int i = 0; i < 200; i++)
        next_frame(g);
    EXPECT_EQ(nrtex, textures);
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(mfd_tex[i], before[i]) << i;
        EXPECT_EQ(mfd_tex[i]->get_gl_name(), names[i]) << i;
    }
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    destroy_world(g);
}

// Pixels of the 61 x 41 box around (x, y) as RGB bytes.
std::vector<unsigned char> grab(int x, int y)
{
    std::vector<unsigned char> px;
    for (int yy = y - 20; yy <= y + 20; yy++)
        for (int xx = x - 30; xx <= x + 30; xx++) {
            unsigned char c[3];
            gl_test_pixel(xx, yy, c);
            px.insert(px.end(), c, c + 3);
        }
    return px;
}

int differing(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    int n = 0;
    for (size_t i = 0; i + 2 < a.size() && i + 2 < b.size(); i += 3)
        n += abs(a[i] - b[i]) + abs(a[i + 1] - b[i + 1]) + abs(a[i + 2] - b[i + 2]) > 60;
    return n;
}

TEST(CockpitGl, KeyOneTwicePutsTheConsoleOnTheFirstPanel)
{
    GAME g;
    VESSEL* v = fly_with_target(g);
    ASSERT_NE(v, nullptr);
    int saved[5];
    for (int i = 0; i < 5; i++)
        saved[i] = mfd_screen_mode[i];
    next_frame(g);
    int x, y;
    panel_centre(0, &x, &y);
    y -= 30;  // the upper rows, where the slot list is
    std::vector<unsigned char> slots = grab(x, y);
    dispatch_key(g, KEY_1);
    dispatch_key(g, KEY_1);
    EXPECT_EQ(mfd_screen_mode[0], -1);
    // The same scene again: only what panel 0 shows has changed.
    draw_frame(g);
    std::vector<unsigned char> console = grab(x, y);
    EXPECT_GT(differing(slots, console), 200);
    mfd_screen_mode[0] = 0;  // the status screen now
    draw_frame(g);
    EXPECT_GT(differing(console, grab(x, y)), 200);
    for (int i = 0; i < 5; i++)
        mfd_screen_mode[i] = saved[i];
    destroy_world(g);
}

TEST(CockpitGl, TexturedModelAfterAHudMarkIsStillTextured)
{
    // Left half black, right half white.
    BITMAP* b = create_bitmap_ex(32, 8, 8);
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
    // Sprite, HUD mark, sprite of the same texture: the paint order of a
    // vessel's HUD among the world's textured things.
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
    // The frustum is 0.2 wide at 0.2 m: at 2 m a unit spans 320 pixels.
    for (float x : {at[0], at[2]}) {
        int left = brightness((int)(320 + (x - 0.1f) * 320), 240);
        int right = brightness((int)(320 + (x + 0.1f) * 320), 240);
        EXPECT_LT(std::min(left, right), 60) << "sprite at " << x << " drawn without its texture";
        EXPECT_GT(std::max(left, right), 600) << "sprite at " << x;
    }
    gl_test_save("/tmp/sortie-cockpit-hud-then-sprite.png");
    select_texture(nullptr);
}
