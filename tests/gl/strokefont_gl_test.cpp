// The stroke font drawn for real: every glyph shows in its cell, centred
// text lies evenly around the pen, the model-view matrix is left as found,
// and a sheet of all glyphs is saved for a person to read.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "gl_window.h"
#include "render/strokefont.h"
#include "scene/states.h"

namespace {

// Green lines drawn with pixels one to one, y counted from the top.
void begin_text_frame()
{
    gl_test_begin_frame();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, GL_TEST_W, GL_TEST_H, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    disable_z_check();
    glColor3f(0.0f, 1.0f, 0.0f);
}

int lit_pixels(int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) {
            unsigned char rgb[3];
            gl_test_pixel(x, y, rgb);
            n += rgb[1] > 64;
        }
    return n;
}

}  // namespace

TEST(StrokeFontGL, EveryGlyphDrawsInsideItsCellAndCentredTextLiesAroundThePen)
{
    init_strokefont();
    begin_text_frame();
    const float scale = 4.0f;  // pixels per font unit; 16 glyphs a row, rows 56 pixels apart
    auto origin_x = [](int i) { return 40.0f + (i % 16) * STROKE_ADVANCE * 4.0f; };
    auto origin_y = [](int i) { return 60.0f + (i / 16) * 56.0f; };
    for (int c = STROKE_FIRSTCHAR; c < STROKE_LASTCHAR; c++) {
        glPushMatrix();
        glTranslatef(origin_x(c - STROKE_FIRSTCHAR), origin_y(c - STROKE_FIRSTCHAR), 0.0f);
        glScalef(scale, -scale, 1.0f);
        stroke_draw_char((char)c);
        glPopMatrix();
    }
    glTranslatef(20.0f, 460.0f, 0.0f);
    glScalef(1.2f, -1.2f, 1.0f);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    stroke_printf("The quick brown fox jumps over the lazy dog. %d", 12345);
    stroke_menu_textout_with_tab("&File\tCtrl+F", 100.0f);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; i++)  // the text left the matrix as it found it
        EXPECT_EQ(after[i], before[i]) << i;
    gl_test_save("/tmp/sortie-strokefont.png");
    for (int c = STROKE_FIRSTCHAR; c < STROKE_LASTCHAR; c++) {
        // The cell with its overhang: x -1 .. 7, y -3 .. 11 font units.
        int x = (int)origin_x(c - STROKE_FIRSTCHAR), y = (int)origin_y(c - STROKE_FIRSTCHAR);
        EXPECT_GT(lit_pixels(x - 4, y - 44, x + 28, y + 12), 3) << "glyph " << c << " '" << (char)c << "'";
    }

    begin_text_frame();
    glTranslatef(320.0f, 240.0f, 0.0f);
    glScalef(4.0f, -4.0f, 1.0f);
    stroke_textout_c("HH");  // left H at x -8 .. -3 font units, right H at 0 .. 5
    EXPECT_GT(lit_pixels(320 - 34, 229, 320 - 30, 229), 0);  // left stem of the left H
    EXPECT_GT(lit_pixels(318, 229, 322, 229), 0);            // left stem of the right H
    EXPECT_EQ(lit_pixels(320 - 26, 229, 320 - 14, 229), 0);  // inside the left H
    EXPECT_EQ(lit_pixels(324, 229, 337, 229), 0);            // inside the right H
    EXPECT_EQ(lit_pixels(348, 229, 360, 229), 0);            // nothing past the right H
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}
