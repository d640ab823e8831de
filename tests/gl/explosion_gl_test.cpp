// Explosions drawn for real: a fireball glowing in the blended pass (and not
// at all with explosions off) from the glow sprite texture, black debris in
// the solid pass.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "effects/debris.h"
#include "effects/debris_model.h"
#include "effects/explosion.h"
#include "effects/fireball.h"
#include "game/globals.h"
#include "gl_window.h"
#include "render/texture.h"
#include "scene/states.h"

TEST(ExplosionGL, AFireballGlowsInTheBlendedPassUnlessExplosionsAreOffAndDebrisIsBlack)
{
    make_explosion_sprite(16);
    set_color_depth(32);
    TEXTURE* sprite = find_texture("$FBSPRITE");
    EXPECT_NE(sprite->get_gl_name(), 0u);
    EXPECT_EQ(sprite->get_width() * 100 + sprite->get_height(), 1616);
    THING world;
    FIREBALL* f = new FIREBALL();
    f->reset(1.0f, 2.0f, 2.0f, false);
    f->locate_rel(0.0f, 10.0f, 0.0f);
    world.add_child(f);
    f->tick(0.3f);  // at its peak: full size
    float v[3] = {0, 0, 0}, a[3] = {-1.0f, 0.0f, -1.0f}, b[3] = {1.0f, 0.0f, -1.0f}, c[3] = {0.0f, 0.0f, 1.0f};
    DEBRIS* d = new DEBRIS(v);
    d->set_model(new DEBRIS_MODEL(a, b, c));
    d->locate_rel(-1.5f, 8.0f, 0.0f);  // 120 pixels left of the centre
    world.add_child(d);
    world.update_abs_matrix();
    for (bool show : {true, false}) {
        show_explosions = show;
        // The game's camera: world z up, looking along +y; a grey backdrop.
        gl_test_begin_frame();
        glClearColor(0.3f, 0.3f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0, 0, 0, 1);
        glEnable(GL_TEXTURE_2D);
        glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
        world.paint(PAINT_MATERIALS | PAINT_SOLID);
        select_blend_func(GL_ONE, GL_ONE);
        disable_z_write();
        world.paint(PAINT_MATERIALS | PAINT_BLENDED);
        unsigned char centre[3], edge[3], piece[3];
        gl_test_pixel(GL_TEST_W / 2, GL_TEST_H / 2, centre);
        gl_test_pixel(GL_TEST_W / 2 + 60, GL_TEST_H / 2, edge);
        gl_test_pixel(GL_TEST_W / 2 - 120, GL_TEST_H / 2, piece);
        EXPECT_LT(piece[0] + piece[1], 20);  // black triangle, explosions shown or not
        if (!show) {
            EXPECT_NEAR(centre[0], 76, 2);  // only the grey
            continue;
        }
        gl_test_save("/tmp/sortie-explosion.png");
        EXPECT_GT(centre[0], 220);             // fire colour added to the grey
        EXPECT_GT(centre[0], centre[2] + 60);  // red over blue
        EXPECT_GT(edge[0], 76 + 10);           // the glow falls off but still adds
        EXPECT_LT(edge[0], centre[0]);
    }
    show_explosions = true;
    disable_blend_func();
}
