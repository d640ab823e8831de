// Models drawn through the real OpenGL pipeline: a lit mesh in its material
// colours, textured planes whose texels land in the right colours for every
// upload depth, the additive sprite, and the sky sphere. Each test saves a
// screenshot for a person to look at.
#include <gtest/gtest.h>

#include <allegro.h>
#include <GL/gl.h>

#include <cstdlib>
#include <filesystem>
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

std::string shot_path(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

// Within a few steps of the expected colour (lighting and fades round).
void expect_pixel(int x, int y, int r, int g, int b, int tolerance = 4)
{
    unsigned char px[3];
    gl_test_pixel(x, y, px);
    EXPECT_NEAR(px[0], r, tolerance) << "red at " << x << "," << y;
    EXPECT_NEAR(px[1], g, tolerance) << "green at " << x << "," << y;
    EXPECT_NEAR(px[2], b, tolerance) << "blue at " << x << "," << y;
}

// Screen pixel of a point at depth 5 in front of the test camera: the view
// spans +-2.5 across and +-1.875 up and down there.
int screen_x(float x) { return (int)(GL_TEST_W / 2 + x / 2.5f * GL_TEST_W / 2); }
int screen_y(float y) { return (int)(GL_TEST_H / 2 - y / 1.875f * GL_TEST_H / 2); }

// A square of two materials facing the camera, x and y in -1..1 at z = 0:
// red on the left, blue on the right, wound clockwise as the game sees it.
MESHMODEL* two_colour_square()
{
    MESHMODEL* m = new MESHMODEL();
    MATERIAL* red = new MATERIAL("red");
    red->set_ambient(0, 0, 0);
    red->set_diffuse(1, 0, 0);
    MATERIAL* blue = new MATERIAL("blue");
    blue->set_ambient(0, 0, 0);
    blue->set_diffuse(0, 0, 1);
    m->add_material(red);
    m->add_material(blue);
    float p[6][3] = {{-1, -1, 0}, {-1, 1, 0}, {0, 1, 0}, {0, -1, 0}, {1, 1, 0}, {1, -1, 0}};
    m->initialize_vtx_list(6);
    for (unsigned int i = 0; i < 6; i++)
        m->load_vtx(i, p[i][0], p[i][1], p[i][2]);  // the form that widens the box
    m->set_face_material(m->add_face(0, 1, 2), red);
    m->set_face_material(m->add_face(0, 2, 3), red);
    m->set_face_material(m->add_face(3, 2, 4), blue);
    m->set_face_material(m->add_face(3, 4, 5), blue);
    m->sort_faces();
    return m;
}

void light_from_viewer()
{
    const float dir[4] = {0, 0, 1, 0};
    const float white[4] = {1, 1, 1, 1};
    const float none[4] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, dir);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, none);
    glLightfv(GL_LIGHT0, GL_SPECULAR, none);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glEnable(GL_LIGHT0);
}

// The solid pass as the driver sets it up.
void solid_pass()
{
    disable_blend_func();
    enable_z_buffer();
    enable_bfc();
    if (light_materials)
        enable_lights();
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

// A large ground disc turned to face the camera: texture coordinates are
// (x / 2, z / 2), so texel centres sit at 0.5 and 1.5 units.
void paint_plane(TEXTURE* t, int blend_mode, unsigned short pass)
{
    TEX_PLANE_MODEL plane(t, 1000.0f);
    plane.set_parameter(1, 2.0f);
    plane.set_parameter(5, blend_mode & 1);
    plane.set_parameter(6, (blend_mode >> 1) & 1);
    plane.set_parameter(8, 1.0f);
    glPushMatrix();
    glTranslatef(0, 0, -5);
    glRotatef(90, 1, 0, 0);  // local y (the disc's normal) toward the camera
    plane.paint(pass);
    glPopMatrix();
}

}  // namespace

TEST(RenderGl, LitMeshShowsEachMaterialAndNoBackFaces)
{
    std::unique_ptr<MESHMODEL> mesh(two_colour_square());
    ASSERT_NE(mesh->get_display_lists(), 0u);
    light_materials = true;
    for (bool smooth : {false, true}) {
        smooth_light = smooth;
        // Twice: the first paint compiles the list, the second replays it.
        for (int frame = 0; frame < 2; frame++) {
            gl_test_begin_frame();
            light_from_viewer();
            solid_pass();
            glPushMatrix();
            glTranslatef(0, 0, -5);
            mesh->paint(PAINT_MATERIALS | PAINT_SOLID);
            glPopMatrix();
            EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
            expect_pixel(screen_x(-0.5f), screen_y(0.5f), 255, 0, 0);
            expect_pixel(screen_x(0.5f), screen_y(-0.5f), 0, 0, 255);
            expect_pixel(screen_x(1.5f), screen_y(0), 0, 0, 0);
            EXPECT_TRUE(lights_enabled());
            EXPECT_TRUE(bfc_enabled());
            EXPECT_EQ(current_tex, nullptr);
        }
    }
    gl_test_save(shot_path("sortie-render-mesh.png"));

    // One face alone: the upper left triangle of the red half.
    gl_test_begin_frame();
    light_from_viewer();
    solid_pass();
    glPushMatrix();
    glTranslatef(0, 0, -5);
    mesh->paint_face(0, PAINT_MATERIALS | PAINT_SOLID);
    glPopMatrix();
    unsigned int f[3];
    mesh->get_face(0, f);
    ASSERT_EQ(f[1], 1u);  // (-1, -1), (-1, 1), (0, 1)
    expect_pixel(screen_x(-0.75f), screen_y(0.5f), 255, 0, 0);
    expect_pixel(screen_x(-0.25f), screen_y(-0.5f), 0, 0, 0);

    // The blended pass draws no faces; turned away, the square is culled.
    gl_test_begin_frame();
    light_from_viewer();
    solid_pass();
    glTranslatef(0, 0, -5);
    mesh->paint(PAINT_MATERIALS | PAINT_BLENDED);
    expect_pixel(screen_x(-0.5f), screen_y(0.5f), 0, 0, 0);
    for (unsigned int i = 0; i < mesh->get_nr_face(); i++)
        mesh->flip_face(i);
    mesh->paint(PAINT_MATERIALS | PAINT_SOLID);
    expect_pixel(screen_x(-0.5f), screen_y(0.5f), 0, 0, 0);
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
    glDisable(GL_LIGHT0);
    disable_lights();
    light_materials = false;
    smooth_light = false;
}

TEST(RenderGl, AMeshAfterTheSkyAndGroundIsStillLitAndCulled)
{
    // The sky sphere and the planes switch lights and culling off; a mesh
    // painted after them in the same solid pass must not come out black.
    std::unique_ptr<MESHMODEL> mesh(two_colour_square());
    light_materials = true;
    for (int frame = 0; frame < 2; frame++) {
        gl_test_begin_frame();
        light_from_viewer();
        solid_pass();
        disable_lights();
        disable_bfc();
        glColor4f(0, 0, 0, 0);  // what a plane's rim leaves behind
        glPushMatrix();
        glTranslatef(0, 0, -5);
        mesh->paint(PAINT_MATERIALS | PAINT_SOLID);
        glPopMatrix();
        expect_pixel(screen_x(-0.5f), screen_y(0.5f), 255, 0, 0);
        EXPECT_TRUE(lights_enabled());
        EXPECT_TRUE(bfc_enabled());
    }
    glDisable(GL_LIGHT0);
    disable_lights();
    light_materials = false;
}

TEST(RenderGl, BoundingBoxAloneDrawsGreyLinesAndTellsTheCache)
{
    std::unique_ptr<MESHMODEL> mesh(two_colour_square());
    gl_test_begin_frame();
    enable_lights();
    enable_bfc();
    glTranslatef(0, 0, -5);
    mesh->paint(PAINT_BOUNDING_BOX);  // compiles
    mesh->paint(PAINT_BOUNDING_BOX);  // replays
    EXPECT_FALSE(lights_enabled());
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(bfc_enabled());
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    // The box's left edge runs at x = -1 (a pixel either way, as lines
    // rasterise); the inside stays empty.
    int grey = 0;
    for (int x = screen_x(-1.0f) - 2; x <= screen_x(-1.0f) + 2; x++) {
        unsigned char px[3];
        gl_test_pixel(x, screen_y(0), px);
        if (px[0] == px[1] && px[1] == px[2] && px[0] > 150)
            grey++;
    }
    EXPECT_GE(grey, 1);
    gl_test_save(shot_path("sortie-render-box.png"));
    expect_pixel(screen_x(-0.5f), screen_y(0.5f), 0, 0, 0);
}

TEST(RenderGl, TexturedPlaneShowsTexelsInTheirColoursAtEveryDepth)
{
    for (int depth : {32, 24}) {
        SCOPED_TRACE(depth);
        BITMAP* b = four_texels(depth);
        std::string name = "&gl-plane-" + std::to_string(depth);
        TEXTURE* t = assign_texture(name.c_str(), b, TEXTURE_8BIT_CHANNELS);
        destroy_bitmap(b);
        ASSERT_EQ(t->get_width(), 2);
        gl_test_begin_frame();
        paint_plane(t, 0, PAINT_MATERIALS | PAINT_SOLID);
        EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
        // The disc's x is the screen's x, its z the screen's -y.
        expect_pixel(screen_x(0.5f), screen_y(-0.5f), 255, 0, 0);
        expect_pixel(screen_x(1.5f), screen_y(-0.5f), 0, 255, 0);
        expect_pixel(screen_x(0.5f), screen_y(-1.5f), 0, 0, 255);
        expect_pixel(screen_x(1.5f), screen_y(-1.5f), 255, 255, 255);
        // Painted in the solid pass only.
        gl_test_begin_frame();
        paint_plane(t, 0, PAINT_MATERIALS | PAINT_BLENDED);
        expect_pixel(screen_x(0.5f), screen_y(-0.5f), 0, 0, 0);
        EXPECT_FALSE(blend_enabled());
    }
    gl_test_begin_frame();
    paint_plane(find_texture("&gl-plane-32"), 0, PAINT_SOLID);
    gl_test_save(shot_path("sortie-render-plane.png"));
    select_texture(nullptr);
}

TEST(RenderGl, EightBitPicturesBecomeCoverageInTheCurrentColour)
{
    BITMAP* b = create_bitmap_ex(8, 2, 2);
    putpixel(b, 0, 0, 255);
    putpixel(b, 1, 0, 0);
    putpixel(b, 0, 1, 128);
    putpixel(b, 1, 1, 64);
    TEXTURE* t = assign_texture("&gl-alpha", b, 0);
    destroy_bitmap(b);
    gl_test_begin_frame();
    paint_plane(t, 2, PAINT_MATERIALS | PAINT_BLENDED);  // alpha blended over black
    expect_pixel(screen_x(0.5f), screen_y(-0.5f), 255, 255, 255);
    expect_pixel(screen_x(1.5f), screen_y(-0.5f), 0, 0, 0);
    expect_pixel(screen_x(0.5f), screen_y(-1.5f), 128, 128, 128);
    expect_pixel(screen_x(1.5f), screen_y(-1.5f), 64, 64, 64);
    select_texture(nullptr);
}

TEST(RenderGl, SpriteAddsItsLightToWhatIsBehind)
{
    BITMAP* b = create_bitmap_ex(32, 4, 4);
    clear_to_color(b, makeacol32(255, 255, 255, 255));
    assign_texture("&gl-sprite", b, TEXTURE_8BIT_CHANNELS);
    destroy_bitmap(b);
    FTEXMODEL sprite("&gl-sprite", false);
    sprite.set_color(0, 1.0f, 0.5f, 0.0f);
    sprite.set_parameter(0, 0.5f);

    gl_test_begin_frame();
    select_texture(nullptr);
    // A dark blue wall behind.
    glColor3f(0, 0, 0.5f);
    glBegin(GL_QUADS);
    glVertex3f(-10, -10, -8);
    glVertex3f(10, -10, -8);
    glVertex3f(10, 10, -8);
    glVertex3f(-10, 10, -8);
    glEnd();
    // The blended pass as the driver sets it up.
    disable_bfc();
    disable_lights();
    disable_z_write();
    select_blend_func(GL_ONE, GL_ONE);
    glPushMatrix();
    glTranslatef(0, 0, -5);
    glRotatef(90, 1, 0, 0);
    sprite.paint(PAINT_MATERIALS | PAINT_SOLID);  // nothing in the solid pass
    expect_pixel(screen_x(0), screen_y(0), 0, 0, 128);
    sprite.paint(PAINT_MATERIALS | PAINT_BLENDED);
    sprite.paint(PAINT_MATERIALS | PAINT_BLENDED);  // from the shared list
    glPopMatrix();
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    EXPECT_NE(ftex_quad_list, 0u);
    // Twice added: orange light saturates red, doubles green, adds to blue.
    expect_pixel(screen_x(0), screen_y(0), 255, 255, 128);
    expect_pixel(screen_x(1.0f), screen_y(0), 0, 0, 128);  // outside the half-unit quad
    gl_test_save(shot_path("sortie-render-sprite.png"));

    // A picture of four texels shows upright and whole on a quad of twice
    // its size, each quarter one texel.
    BITMAP* q = four_texels(32);
    assign_texture("&gl-sprite4", q, TEXTURE_8BIT_CHANNELS);
    destroy_bitmap(q);
    FTEXMODEL quarters("&gl-sprite4", false);
    gl_test_begin_frame();
    disable_z_write();
    glPushMatrix();
    glTranslatef(0, 0, -5);
    glRotatef(90, 1, 0, 0);
    quarters.paint(PAINT_MATERIALS | PAINT_BLENDED);
    glPopMatrix();
    expect_pixel(screen_x(-0.5f), screen_y(0.5f), 255, 0, 0);  // the picture's top left
    expect_pixel(screen_x(0.5f), screen_y(0.5f), 0, 255, 0);
    expect_pixel(screen_x(-0.5f), screen_y(-0.5f), 0, 0, 255);
    expect_pixel(screen_x(0.5f), screen_y(-0.5f), 255, 255, 255);
    for (float x : {-1.05f, 1.05f})
        for (float y : {-1.05f, 0.0f, 1.05f}) {
            expect_pixel(screen_x(x), screen_y(y), 0, 0, 0);
            expect_pixel(screen_x(y), screen_y(x), 0, 0, 0);
        }
    select_texture(nullptr);
}

TEST(RenderGl, SkySphereSurroundsTheViewerAndStarsAddLight)
{
    SPHERE_MODEL sky(100.0f, 0, 0, 1, 0, 1, 0, 1, 0, 0);  // blue top, green equator, red bottom
    gl_test_begin_frame();
    sky.paint(PAINT_MATERIALS | PAINT_SOLID);
    // Looking along -z: the equator ahead, the top (local +y) above.
    unsigned char px[3];
    gl_test_pixel(screen_x(0), screen_y(0), px);
    EXPECT_GT(px[1], 200);
    EXPECT_LT(px[0], 60);
    gl_test_pixel(screen_x(0), 5, px);
    EXPECT_GT(px[2], px[0]);
    // No gap in any direction: turned a few steps about its axis, every
    // pixel of the view is sky.
    for (float turn = 30.0f; turn < 360.0f; turn += 75.0f) {
        gl_test_begin_frame();
        glPushMatrix();
        glRotatef(turn, 0, 1, 0);
        sky.paint(PAINT_MATERIALS | PAINT_SOLID);
        glPopMatrix();
        std::vector<unsigned char> all = gl_test_read();
        int black = 0;
        for (size_t i = 0; i < all.size(); i += 3)
            black += all[i] + all[i + 1] + all[i + 2] == 0;
        EXPECT_EQ(black, 0) << turn;
    }
    gl_test_begin_frame();
    sky.paint(PAINT_MATERIALS | PAINT_SOLID);

    DOTMODEL star;
    star.set_color(0, 1.0f, 0.0f, 1.0f);
    star.set_parameter(0, 3.0f);
    select_blend_func(GL_ONE, GL_ONE);
    glPushMatrix();
    glTranslatef(0, 0, -5);
    star.paint(PAINT_MATERIALS | PAINT_BLENDED);
    glPopMatrix();
    gl_test_pixel(screen_x(0), screen_y(0), px);
    EXPECT_GT(px[0], 200);
    EXPECT_GT(px[1], 200);  // the sky's green shows through: light was added
    EXPECT_GT(px[2], 200);
    gl_test_save(shot_path("sortie-render-sky.png"));
    disable_blend_func();
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
    TEXTURE* rock = find_texture("rock.bmp");
    TEXTURE* amp = find_texture("&rock.bmp");
    data_path = saved;
    EXPECT_EQ(rock->get_width(), 2);
    EXPECT_EQ(amp->get_width(), 0);

    // A picture without alpha is opaque: under the sprite's alpha blend it
    // shows in full.
    FTEXMODEL sprite("rock.bmp", false);
    gl_test_begin_frame();
    disable_z_write();
    glPushMatrix();
    glTranslatef(0, 0, -5);
    glRotatef(90, 1, 0, 0);
    sprite.paint(PAINT_MATERIALS | PAINT_BLENDED);
    glPopMatrix();
    expect_pixel(screen_x(0), screen_y(0), 200, 100, 50);

    // Mipmapped uploads draw the same picture.
    BITMAP* m = four_texels(32);
    assign_texture("&gl-mipmapped", m, TEXTURE_8BIT_CHANNELS | TEXTURE_MIPMAPS);
    destroy_bitmap(m);
    gl_test_begin_frame();
    paint_plane(find_texture("&gl-mipmapped"), 0, PAINT_SOLID);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    expect_pixel(screen_x(1.5f), screen_y(-0.5f), 0, 255, 0, 12);
    select_texture(nullptr);
}
