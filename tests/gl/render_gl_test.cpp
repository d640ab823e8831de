// Models drawn through the real OpenGL pipeline: a lit mesh in its material
// colours, textured planes whose texels land in the right colours for every
// upload depth, the additive sprite, and the sky sphere.
#include <gtest/gtest.h>

#include <allegro.h>
#include <GL/gl.h>

#include <cmath>
#include <memory>
#include <string>

#include "game/globals.h"
#include "gl_window.h"
#include "render/ftexmodel.h"
#include "render/hcmodel.h"
#include "render/material.h"
#include "render/meshmodel.h"
#include "render/texture.h"
#include "scene/states.h"
#include "test_allegro.h"

namespace {

// The pixel of a point at depth 5 in front of the test camera, where the
// view spans +-2.5 across and +-1.875 up and down, within a few steps of
// the expected colour (lighting and fades round).
void expect_pixel(float x, float y, int r, int g, int b, int tolerance = 4)
{
    int sx = (int)(GL_TEST_W / 2 + x / 2.5f * GL_TEST_W / 2), sy = (int)(GL_TEST_H / 2 - y / 1.875f * GL_TEST_H / 2);
    unsigned char px[3];
    gl_test_pixel(sx, sy, px);
    EXPECT_NEAR(px[0], r, tolerance) << "red at " << x << "," << y;
    EXPECT_NEAR(px[1], g, tolerance) << "green at " << x << "," << y;
    EXPECT_NEAR(px[2], b, tolerance) << "blue at " << x << "," << y;
}

// A square of two materials facing the camera, x and y in -1..1 at z = 0:
// red on the left, blue on the right, wound clockwise as the game sees it.
MESHMODEL* two_colour_square()
{
    MESHMODEL* m = new MESHMODEL();
    MATERIAL* mat[2] = {new MATERIAL("red"), new MATERIAL("blue")};
    for (int i = 0; i < 2; i++) {
        mat[i]->set_ambient(0, 0, 0);
        mat[i]->set_diffuse(1 - i, 0, i);
        m->add_material(mat[i]);
    }
    float p[6][3] = {{-1, -1, 0}, {-1, 1, 0}, {0, 1, 0}, {0, -1, 0}, {1, 1, 0}, {1, -1, 0}};
    m->initialize_vtx_list(6);
    for (unsigned int i = 0; i < 6; i++)
        m->load_vtx(i, p[i][0], p[i][1], p[i][2]);
    unsigned int f[4][3] = {{0, 1, 2}, {0, 2, 3}, {3, 2, 4}, {3, 4, 5}};
    for (int i = 0; i < 4; i++)
        m->set_face_material(m->add_face(f[i][0], f[i][1], f[i][2]), mat[i / 2]);
    return m;
}

// A frame with a white light from the viewer and the solid pass as the
// driver sets it up.
void lit_frame()
{
    gl_test_begin_frame();
    const float dir[4] = {0, 0, 1, 0}, white[4] = {1, 1, 1, 1}, none[4] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, dir);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, none);
    glLightfv(GL_LIGHT0, GL_SPECULAR, none);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glEnable(GL_LIGHT0);
    enable_z_buffer();
    enable_bfc();
    enable_lights();
    glTranslatef(0, 0, -5);
}

// A 2 x 2 picture: red, green / blue, white (top row first).
BITMAP* four_texels(int depth)
{
    BITMAP* b = create_bitmap_ex(depth, 2, 2);
    putpixel(b, 0, 0, makeacol_depth(depth, 255, 0, 0, 255));
    putpixel(b, 1, 0, makeacol_depth(depth, 0, 255, 0, 255));
    putpixel(b, 0, 1, makeacol_depth(depth, 0, 0, 255, 255));
    putpixel(b, 1, 1, makeacol_depth(depth, 255, 255, 255, 255));
    return b;
}

TEXTURE* texture_of(const char* name, BITMAP* b, int flags)
{
    TEXTURE* t = assign_texture(name, b, flags);
    destroy_bitmap(b);
    return t;
}

// A large ground disc turned to face the camera: texture coordinates are
// (x / 2, z / 2), so texel centres sit at 0.5 and 1.5 units; the disc's x
// is the screen's x, its z the screen's -y.
void paint_plane(TEXTURE* t, int blend_mode, unsigned short pass, float offset = 0.0f)
{
    gl_test_begin_frame();
    TEX_PLANE_MODEL plane(t, 1000.0f);
    float params[] = {2.0f, offset, 0, offset, (float)(blend_mode & 1), (float)(blend_mode >> 1), 0, 1.0f};
    plane.set_parameters(1, 8, params);
    glTranslatef(0, 0, -5);
    glRotatef(90, 1, 0, 0);  // local y (the disc's normal) toward the camera
    plane.paint(pass);
}

// A sprite of the named texture, a unit square facing the camera.
void paint_sprite(FTEXMODEL& sprite)
{
    glPushMatrix();
    glTranslatef(0, 0, -5);
    glRotatef(90, 1, 0, 0);
    sprite.paint(PAINT_MATERIALS | PAINT_BLENDED);
    glPopMatrix();
}

}  // namespace

TEST(RenderGl, LitMeshShowsEachMaterialAfterWhateverTheSkyLeftAndNoBackFaces)
{
    std::unique_ptr<MESHMODEL> mesh(two_colour_square());
    mesh->sort_faces();
    light_materials = true;
    for (bool smooth : {false, true}) {
        smooth_light = smooth;
        // Twice: the first paint compiles the list, the second replays it.
        for (int frame = 0; frame < 2; frame++) {
            lit_frame();
            // The sky and the planes switch lights and culling off and leave
            // a black colour: the mesh must not come out black.
            disable_lights();
            disable_bfc();
            glColor4f(0, 0, 0, 0);
            mesh->paint(PAINT_MATERIALS | PAINT_SOLID);
            EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
            expect_pixel(-0.5f, 0.5f, 255, 0, 0);
            expect_pixel(0.5f, -0.5f, 0, 0, 255);
            expect_pixel(1.5f, 0, 0, 0, 0);
            EXPECT_TRUE(lights_enabled() && bfc_enabled());
        }
    }
    gl_test_save("/tmp/sortie-render-mesh.png");

    // One face alone: the upper left triangle of the red half.
    lit_frame();
    mesh->paint_face(0, PAINT_MATERIALS | PAINT_SOLID);
    expect_pixel(-0.75f, 0.5f, 255, 0, 0);
    expect_pixel(-0.25f, -0.5f, 0, 0, 0);

    // The blended pass draws no faces; turned away, the square is culled.
    lit_frame();
    mesh->paint(PAINT_MATERIALS | PAINT_BLENDED);
    expect_pixel(-0.5f, 0.5f, 0, 0, 0);
    for (unsigned int i = 0; i < mesh->get_nr_face(); i++)
        mesh->flip_face(i);
    mesh->paint(PAINT_MATERIALS | PAINT_SOLID);
    expect_pixel(-0.5f, 0.5f, 0, 0, 0);

    // The bounding box alone: grey lines at its edge x = -1 (within a pixel
    // or two, as lines rasterise), nothing inside, and the cache told that
    // lights and culling went off.
    lit_frame();
    mesh->paint(PAINT_BOUNDING_BOX);  // compiles
    mesh->paint(PAINT_BOUNDING_BOX);  // replays
    EXPECT_FALSE(lights_enabled() || glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(bfc_enabled() || glIsEnabled(GL_CULL_FACE));
    int grey = 0;
    for (int x = GL_TEST_W * 3 / 10 - 2; x <= GL_TEST_W * 3 / 10 + 2; x++) {
        unsigned char px[3];
        gl_test_pixel(x, GL_TEST_H / 2, px);
        grey += px[0] == px[1] && px[1] == px[2] && px[0] > 150;
    }
    EXPECT_GE(grey, 1);
    expect_pixel(-0.5f, 0.5f, 0, 0, 0);
    glDisable(GL_LIGHT0);
    disable_lights();
    light_materials = false;
    smooth_light = false;
}

TEST(RenderGl, TexturedPlaneShowsTexelsInTheirColoursAtEveryDepthAndEightBitsAsCoverage)
{
    for (int depth : {32, 24}) {
        SCOPED_TRACE(depth);
        std::string name = "&gl-plane-" + std::to_string(depth);
        TEXTURE* t = texture_of(name.c_str(), four_texels(depth), TEXTURE_8BIT_CHANNELS);
        paint_plane(t, 0, PAINT_MATERIALS | PAINT_SOLID);
        expect_pixel(0.5f, -0.5f, 255, 0, 0);
        expect_pixel(1.5f, -0.5f, 0, 255, 0);
        expect_pixel(0.5f, -1.5f, 0, 0, 255);
        expect_pixel(1.5f, -1.5f, 255, 255, 255);
        paint_plane(t, 0, PAINT_MATERIALS | PAINT_SOLID, 1.0f);  // shifted a texel either way
        expect_pixel(0.5f, -0.5f, 255, 255, 255);
        expect_pixel(1.5f, -0.5f, 0, 0, 255);
        paint_plane(t, 0, PAINT_MATERIALS | PAINT_BLENDED);  // painted in the solid pass only
        expect_pixel(0.5f, -0.5f, 0, 0, 0);
        EXPECT_FALSE(blend_enabled());
    }
    // Mipmapped uploads draw the same picture.
    paint_plane(texture_of("&gl-mipmapped", four_texels(32), TEXTURE_8BIT_CHANNELS | TEXTURE_MIPMAPS), 0, PAINT_SOLID);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    expect_pixel(1.5f, -0.5f, 0, 255, 0, 12);

    BITMAP* b = create_bitmap_ex(8, 2, 2);
    int coverage[4] = {255, 0, 128, 64};
    for (int i = 0; i < 4; i++)
        putpixel(b, i % 2, i / 2, coverage[i]);
    paint_plane(texture_of("&gl-alpha", b, 0), 2, PAINT_MATERIALS | PAINT_BLENDED);  // alpha blended over black
    for (int i = 0; i < 4; i++)
        expect_pixel(0.5f + i % 2, -0.5f - i / 2, coverage[i], coverage[i], coverage[i]);
    gl_test_save("/tmp/sortie-render-plane.png");
    select_texture(nullptr);
}

TEST(RenderGl, SpriteAddsItsLightToWhatIsBehindAndShowsItsPictureUpright)
{
    BITMAP* b = create_bitmap_ex(32, 4, 4);
    clear_to_color(b, makeacol32(255, 255, 255, 255));
    texture_of("&gl-sprite", b, TEXTURE_8BIT_CHANNELS);
    FTEXMODEL sprite("&gl-sprite", false);
    sprite.set_color(0, 1.0f, 0.5f, 0.0f);
    sprite.set_parameter(0, 0.5f);
    gl_test_begin_frame();
    select_texture(nullptr);
    glColor3f(0, 0, 0.5f);  // a dark blue wall behind
    glBegin(GL_QUADS);
    glVertex3f(-10, -10, -8);
    glVertex3f(10, -10, -8);
    glVertex3f(10, 10, -8);
    glVertex3f(-10, 10, -8);
    glEnd();
    sprite.paint(PAINT_MATERIALS | PAINT_SOLID);  // nothing in the solid pass
    expect_pixel(0, 0, 0, 0, 128);
    paint_sprite(sprite);
    paint_sprite(sprite);  // from the shared list
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    // Twice added: orange light saturates red, doubles green, adds to blue.
    expect_pixel(0, 0, 255, 255, 128);
    expect_pixel(1.0f, 0, 0, 0, 128);  // outside the half-unit quad
    gl_test_save("/tmp/sortie-render-sprite.png");

    // A picture of four texels shows upright and whole on a quad of twice
    // its size, each quarter one texel.
    texture_of("&gl-sprite4", four_texels(32), TEXTURE_8BIT_CHANNELS);
    FTEXMODEL quarters("&gl-sprite4", false);
    gl_test_begin_frame();
    paint_sprite(quarters);
    expect_pixel(-0.5f, 0.5f, 255, 0, 0);  // the picture's top left
    expect_pixel(0.5f, 0.5f, 0, 255, 0);
    expect_pixel(-0.5f, -0.5f, 0, 0, 255);
    expect_pixel(0.5f, -0.5f, 255, 255, 255);
    for (float x : {-1.05f, 1.05f})
        for (float y : {-1.05f, 0.0f, 1.05f}) {
            expect_pixel(x, y, 0, 0, 0);
            expect_pixel(y, x, 0, 0, 0);
        }
    select_texture(nullptr);
}

TEST(RenderGl, SkySphereSurroundsTheViewerAndStarsAddLight)
{
    SPHERE_MODEL sky(100.0f, 0, 0, 1, 0, 1, 0, 1, 0, 0);  // blue top, green equator, red bottom
    // No gap in any direction: turned a few steps about its axis, every
    // pixel of the view is sky.
    for (float turn = 30.0f; turn < 360.0f; turn += 75.0f) {
        gl_test_begin_frame();
        glRotatef(turn, 0, 1, 0);
        sky.paint(PAINT_MATERIALS | PAINT_SOLID);
        std::vector<unsigned char> all = gl_test_read();
        int black = 0;
        for (size_t i = 0; i < all.size(); i += 3)
            black += all[i] + all[i + 1] + all[i + 2] == 0;
        EXPECT_EQ(black, 0) << turn;
    }
    gl_test_begin_frame();
    sky.paint(PAINT_MATERIALS | PAINT_SOLID);
    // Looking along -z: the equator ahead, the top (local +y) above.
    expect_pixel(0, 0, 0, 255, 0, 50);
    unsigned char px[3];
    gl_test_pixel(GL_TEST_W / 2, 5, px);
    EXPECT_GT(px[2], px[0]);
    DOTMODEL star;
    star.set_color(0, 1.0f, 0.0f, 1.0f);
    star.set_parameter(0, 3.0f);
    select_blend_func(GL_ONE, GL_ONE);
    glTranslatef(0, 0, -5);
    star.paint(PAINT_MATERIALS | PAINT_BLENDED);
    expect_pixel(0, 0, 255, 255, 255, 55);  // the sky's green shows through: light was added
    gl_test_save("/tmp/sortie-render-sky.png");
    disable_blend_func();
}

TEST(RenderGl, ALaserIsTwoPyramidsFromItsRingToAColouredTipAndADarkTail)
{
    LASER_MODEL laser(2.0f, 0.5f, 0, 0, 1, 1, 0, 0);  // blue ring, red tip half a unit ahead
    gl_test_begin_frame();
    glTranslatef(0, 0, -5);
    laser.paint(PAINT_MATERIALS | PAINT_BLENDED);
    glRotatef(180, 0, 1, 0);  // and from behind: both sides drawn
    laser.paint(PAINT_MATERIALS | PAINT_BLENDED);
    disable_blend_func();
    gl_test_save("/tmp/sortie-render-laser.png");
    // Seen from the side: the front pyramid's outline is |x| + |y| = 0.5,
    // the tail's 4 |x| + |y| = 2; colours run from the ring to the ends.
    int lit_outside = 0, lit_inside = 0;
    for (float x = -1.0f; x <= 1.0f; x += 0.05f)
        for (float y = -1.8f; y <= 1.0f; y += 0.05f) {
            float edge = y >= 0 ? fabsf(x) + y - 0.5f : fabsf(x) - (2.0f + y) / 4;
            unsigned char px[3];
            gl_test_pixel((int)(GL_TEST_W / 2 + x / 2.5f * GL_TEST_W / 2), (int)(GL_TEST_H / 2 - y / 1.875f * GL_TEST_H / 2), px);
            lit_outside += edge > 0.03f && px[0] + px[1] + px[2] > 0;
            lit_inside += edge < -0.03f && px[2] > 0;
        }
    EXPECT_EQ(lit_outside, 0);
    EXPECT_GT(lit_inside, 100);
    expect_pixel(0, 0.4f, 200, 0, 50, 55);   // near the tip: mostly red
    expect_pixel(0, -1.8f, 0, 0, 25, 25);    // near the tail: dark
}

TEST(RenderGl, TextureFilesComeFromTheDataDirectoryOpaqueAndAmpersandNamesNever)
{
    TEMP_DIR dir;
    dir.write("textures/.keep", "");
    set_color_depth(32);
    BITMAP* b = create_bitmap_ex(32, 2, 2);
    clear_to_color(b, makecol32(200, 100, 50));
    PALETTE pal;
    get_palette(pal);
    ASSERT_EQ(save_bitmap(dir.file("textures/rock.bmp").c_str(), b, pal), 0);  // 24-bit, no alpha
    ASSERT_EQ(save_bitmap(dir.file("textures/&rock.bmp").c_str(), b, pal), 0);
    destroy_bitmap(b);
    const char* saved = data_path;
    data_path = dir.path().c_str();
    EXPECT_EQ(find_texture("rock.bmp")->get_width(), 2);
    EXPECT_EQ(find_texture("&rock.bmp")->get_width(), 0);
    data_path = saved;
    // A picture without alpha is opaque: under the sprite's alpha blend it
    // shows in full.
    FTEXMODEL sprite("rock.bmp", false);
    gl_test_begin_frame();
    paint_sprite(sprite);
    expect_pixel(0, 0, 200, 100, 50);
    select_texture(nullptr);
}
