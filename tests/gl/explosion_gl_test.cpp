// Explosions drawn for real: the glow sprite texture, a fireball glowing in
// the blended pass (and not at all with explosions off), black debris in the
// solid pass. The picture is saved for a look.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "effects/debris.h"
#include "effects/debris_model.h"
#include "effects/explosion.h"
#include "effects/fireball.h"
#include "game/globals.h"
#include "gl_window.h"
#include "render/model.h"
#include "render/texture.h"
#include "scene/states.h"
#include "scene/thing.h"

namespace {

// The game's camera: world z up, looking along +y from the origin.
void begin_world_frame(float grey)
{
    gl_test_begin_frame();
    glClearColor(grey, grey, grey, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    glEnable(GL_TEXTURE_2D);
    select_texture(nullptr);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
}

void paint_passes(THING* world)
{
    disable_blend_func();
    enable_z_buffer();
    world->paint(PAINT_MATERIALS | PAINT_SOLID);
    disable_bfc();
    disable_lights();
    select_blend_func(GL_ONE, GL_ONE);
    enable_z_check();
    disable_z_write();
    world->paint(PAINT_MATERIALS | PAINT_BLENDED);
    glFlush();
}

}  // namespace

TEST(ExplosionGL, TheSpriteTextureIsMadeAtItsSize)
{
    make_explosion_sprite(16);
    TEXTURE* t = find_texture("$FBSPRITE");
    ASSERT_NE(t, nullptr);
    EXPECT_NE(t->get_gl_name(), 0u);
    EXPECT_EQ(t->get_width(), 16);
    EXPECT_EQ(t->get_height(), 16);
    set_color_depth(32);
}

TEST(ExplosionGL, AFireballGlowsInTheBlendedPassUnlessExplosionsAreOff)
{
    make_explosion_sprite(16);
    set_color_depth(32);
    THING world;
    FIREBALL* f = new FIREBALL();
    f->reset(1.0f, 2.0f, 2.0f, false);
    f->locate_rel(0.0f, 10.0f, 0.0f);
    world.add_child(f);
    f->tick(0.3f);  // at its peak: full size
    float v[3] = {0, 0, 0};
    DEBRIS* d = new DEBRIS(v);
    float a[3] = {-1.0f, 0.0f, -1.0f}, b[3] = {1.0f, 0.0f, -1.0f}, c[3] = {0.0f, 0.0f, 1.0f};
    d->set_model(new DEBRIS_MODEL(a, b, c));
    d->locate_rel(-1.5f, 8.0f, 0.0f);
    world.add_child(d);
    world.update_abs_matrix();

    show_explosions = true;
    begin_world_frame(0.3f);
    paint_passes(&world);
    std::string path = (std::filesystem::temp_directory_path() / "sortie-explosion.png").string();
    gl_test_save(path);
    printf("explosion picture: %s\n", path.c_str());
    unsigned char centre[3], edge[3], piece[3];
    gl_test_pixel(GL_TEST_W / 2, GL_TEST_H / 2, centre);
    gl_test_pixel(GL_TEST_W / 2 + 60, GL_TEST_H / 2, edge);
    // Debris: 1.5 m left at 8 m, 120 pixels left of the centre.
    gl_test_pixel(GL_TEST_W / 2 - 120, GL_TEST_H / 2, piece);
    EXPECT_GT(centre[0], 220);             // fire colour added to the grey
    EXPECT_GT(centre[0], centre[2] + 60);  // red over blue
    EXPECT_GT(edge[0], 76 + 10);           // the glow falls off but still adds
    EXPECT_LT(edge[0], centre[0]);
    EXPECT_LT(piece[0], 10);               // black triangle
    EXPECT_LT(piece[1], 10);

    show_explosions = false;
    begin_world_frame(0.3f);
    paint_passes(&world);
    gl_test_pixel(GL_TEST_W / 2, GL_TEST_H / 2, centre);
    gl_test_pixel(GL_TEST_W / 2 - 120, GL_TEST_H / 2, piece);
    EXPECT_NEAR(centre[0], 76, 2);  // only the grey
    EXPECT_LT(piece[0], 10);        // debris is still drawn
    show_explosions = true;
}
