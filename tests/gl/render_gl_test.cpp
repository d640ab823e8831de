// Textures drawn through the real OpenGL pipeline: texels land in the right
// colours for every upload depth, and texture files come from the data
// directory. Whole scenes are the golden frames' business.
#include <gtest/gtest.h>

#include <allegro.h>
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "core_test.h"
#include "game/globals.h"
#include "gl_window.h"
#include "render/ftexmodel.h"
#include "render/hcmodel.h"
#include "render/material.h"
#include "render/meshmodel.h"
#include "render/texture.h"
#include "scene/states.h"
#include "scene/thing.h"
#include "test_allegro.h"

namespace {

// The pixel of a point at depth 5 in front of the test camera, where the
// view spans +-2.5 across and +-1.875 up and down, within a few steps of
// the expected colour (lighting and fades round).
void expect_pixel(float x, float y, int r, int g, int b, int tolerance = 4)
{
    int sx = (int)(GL_TEST_W / 2 + x / 2.5f * GL_TEST_W / 2), sy = (int)(GL_TEST_H / 2 - y / 1.875f * GL_TEST_H / 2);
    std::vector<unsigned char> frame = gl_test_read();
    const unsigned char* px = &frame[(sy * GL_TEST_W + sx) * 3];
    EXPECT_NEAR(px[0], r, tolerance) << "red at " << x << "," << y;
    EXPECT_NEAR(px[1], g, tolerance) << "green at " << x << "," << y;
    EXPECT_NEAR(px[2], b, tolerance) << "blue at " << x << "," << y;
}

// A 2 x 2 picture: red, green / blue, white (top row first).
const int TEXEL[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
BITMAP* four_texels(int depth)
{
    BITMAP* b = create_bitmap_ex(depth, 2, 2);
    for (int i = 0; i < 4; i++)
        putpixel(b, i % 2, i / 2, makeacol_depth(depth, TEXEL[i][0], TEXEL[i][1], TEXEL[i][2], 255));
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

}  // namespace

TEST(RenderGl, TexturedPlaneShowsTexelsInTheirColoursAtEveryDepthAndEightBitsAsCoverage)
{
    for (int depth : {32, 24}) {
        SCOPED_TRACE(depth);
        std::string name = "&gl-plane-" + std::to_string(depth);
        TEXTURE* t = texture_of(name.c_str(), four_texels(depth), TEXTURE_8BIT_CHANNELS);
        for (int shift : {0, 1}) {  // shifted a texel either way
            paint_plane(t, 0, PAINT_MATERIALS | PAINT_SOLID, shift);
            for (int i = 0; i < 4; i++) {
                const int* c = TEXEL[i ^ (shift * 3)];
                expect_pixel(0.5f + i % 2, -0.5f - i / 2, c[0], c[1], c[2]);
            }
        }
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
    // Rows of an odd number of bytes come out whole; one texel wide or high is a texture.
    for (int w : {1, 6}) {
        BITMAP* odd = create_bitmap_ex(24, w, 6 / w);
        for (int i = 0; i < 6; i++)
            putpixel(odd, i % w, i / w, makecol24(40 * i, 250 - 40 * i, 9 * i));
        GLint bound;  // what the selection cache believes, put back below
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glBindTexture(GL_TEXTURE_2D, texture_of(w == 1 ? "&gl-tall" : "&gl-flat", odd, TEXTURE_8BIT_CHANNELS)->get_gl_name());
        unsigned char got[6][3] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, got);
        glBindTexture(GL_TEXTURE_2D, bound);
        for (int i = 0; i < 6; i++)
            EXPECT_TRUE(got[i][0] == 40 * i && got[i][1] == 250 - 40 * i && got[i][2] == 9 * i) << w << " " << i;
    }
    select_texture(nullptr);
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
    EXPECT_EQ(find_texture("rock.bmp")->get_width() * 10 + find_texture("&rock.bmp")->get_width(), 20);
    data_path = saved;
    // A picture without alpha is opaque: a sprite of it, a unit square facing
    // the camera, under its alpha blend shows in full.
    FTEXMODEL sprite("rock.bmp", false);
    gl_test_begin_frame();
    glTranslatef(0, 0, -5);
    glRotatef(90, 1, 0, 0);
    sprite.paint(PAINT_MATERIALS | PAINT_BLENDED);
    expect_pixel(0, 0, 200, 100, 50);
    select_texture(nullptr);
}

TEST(RenderGl, TheSkySphereClosesAllRoundInItsBands)
{
    SPHERE_MODEL sky(100, 0, 0, 1, 0, 1, 0, 1, 0, 0);  // blue at the top, green round the middle, red below
    for (int turn = 0; turn < 360; turn += 3) {
        gl_test_begin_frame();
        glRotatef((float)turn, 0, 1, 0);
        sky.paint(PAINT_SOLID);
        std::vector<unsigned char> frame = gl_test_read();  // up on the way to the blue top, down to the red bottom
        const unsigned char *up = &frame[GL_TEST_W / 2 * 3], *mid = up + GL_TEST_H / 2 * GL_TEST_W * 3, *down = up + (GL_TEST_H - 1) * GL_TEST_W * 3;
        EXPECT_TRUE(mid[1] > 200 && mid[0] + mid[2] < 60 && up[2] > 30 && up[0] < 10 && down[0] > 30 && down[2] < 10) << turn;
    }
}

// What each of a thing's matrix operations puts on the model-view stack,
// seen as where it takes the point (1, 2, 3): R p + t for the matrix, R or its
// transpose (a camera's turn) for the rotations, +-t for the locations.
TEST(RenderGl, AThingsMatricesTakeAPointWhereItsTransformDoes)
{
    THING t;
    MATRIX_f m, turn;
    get_transformation_matrix_f(&m, 1.0f, 20.0f, 50.0f, 100.0f, 7.0f, -3.0f, 11.0f);
    t.set_rel(m), t.update_abs_matrix(), turn = m, turn.t[0] = turn.t[1] = turn.t[2] = 0;
    V3 rp, rtp;
    apply_matrix_f(&turn, 1, 2, 3, &rp[0], &rp[1], &rp[2]);
    for (int i = 0; i < 3; i++)
        rtp[i] = m.v[0][i] + 2 * m.v[1][i] + 3 * m.v[2][i];
    using OP = void (*)(THING&);
    const std::pair<OP, V3> ops[] = {{[](THING& x) { x.apply_abs_matrix(); }, {rp[0] + 7, rp[1] - 3, rp[2] + 11}}, {[](THING& x) { x.apply_abs_rotation(); }, rtp},
                                     {[](THING& x) { x.apply_abs_location(); }, {8, -1, 14}}, {[](THING& x) { x.apply_inv_rotation(); }, rp},
                                     {[](THING& x) { x.apply_inv_location(); }, {-6, 5, -8}}};
    for (int k = 0; k < 5; k++) {
        GLfloat a[16];
        glMatrixMode(GL_MODELVIEW), glLoadIdentity(), ops[k].first(t), glGetFloatv(GL_MODELVIEW_MATRIX, a);
        V3 got{a[0] + 2 * a[4] + 3 * a[8] + a[12], a[1] + 2 * a[5] + 3 * a[9] + a[13], a[2] + 2 * a[6] + 3 * a[10] + a[14]};
        EXPECT_TRUE(near3(got.data(), ops[k].second, 1e-4f)) << k;
    }
}

// The render-state cache says what OpenGL itself says after every switch.
TEST(RenderGl, TheStateCacheAgreesWithOpenGl)
{
    struct SWITCH { void (*on)(); void (*off)(); bool (*cached)(); GLenum cap; };
    const SWITCH switches[] = {{enable_lights, disable_lights, lights_enabled, GL_LIGHTING},
                               {enable_bfc, disable_bfc, bfc_enabled, GL_CULL_FACE},
                               {enable_z_check, disable_z_check, z_check_enabled, GL_DEPTH_TEST},
                               {enable_z_write, disable_z_write, z_write_enabled, GL_DEPTH_WRITEMASK}};
    for (const SWITCH& s : switches)
        for (void (*op)() : {s.on, s.off, s.on, s.off}) {
            op();
            GLboolean gl = GL_FALSE;
            glGetBooleanv(s.cap, &gl);
            EXPECT_EQ(s.cached(), gl == GL_TRUE) << s.cap;
        }
    select_blend_func(GL_SRC_ALPHA, GL_ONE);
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src), glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_TRUE(blend_enabled() && glIsEnabled(GL_BLEND) && get_blend_src() == (unsigned)src && get_blend_dst() == (unsigned)dst);
    select_blend_func(GL_ONE, GL_ZERO);  // no blending at all
    EXPECT_TRUE(!blend_enabled() && !glIsEnabled(GL_BLEND));
}
