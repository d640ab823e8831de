// The stroke font drawn for real: every glyph shows, text leaves the
// model-view matrix as it found it, and a sheet of all glyphs is saved as
// a picture for a person to read.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "gl_window.h"
#include "render/strokefont.h"
#include "scene/states.h"

namespace {

const float SHEET_SCALE = 4.0f;   // pixels per font unit on the glyph sheet
const int SHEET_COLS = 16;
const float SHEET_LEFT = 40.0f;   // pixels
const float SHEET_TOP = 420.0f;   // baseline of the first row, pixels from the bottom
const float SHEET_ROW = 14.0f;    // font units from row to row

// Pixels map one to one, origin at the bottom left; green lines as the
// frame-rate overlay draws them.
void begin_text_frame()
{
    gl_test_begin_frame();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, GL_TEST_W, 0, GL_TEST_H, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    disable_z_check();
    disable_z_write();
    select_blend_func(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LINE_SMOOTH);
    glLineWidth(1.5f);
    glColor3f(0.0f, 1.0f, 0.0f);
}

int lit_pixels(int x0, int y0, int x1, int y1)  // y counted from the top
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

void sheet_origin(int i, float* x, float* y)
{
    *x = SHEET_LEFT + (i % SHEET_COLS) * STROKE_ADVANCE * SHEET_SCALE;
    *y = SHEET_TOP - (i / SHEET_COLS) * SHEET_ROW * SHEET_SCALE;
}

std::string shot_path(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

}  // namespace

TEST(StrokeFontGL, EveryPrintableGlyphDrawsInsideItsCell)
{
    init_strokefont();
    ASSERT_NE(stroke_dlist_ofs, 0u);
    begin_text_frame();
    for (int c = STROKE_FIRSTCHAR; c < STROKE_LASTCHAR; c++) {
        float x, y;
        sheet_origin(c - STROKE_FIRSTCHAR, &x, &y);
        glPushMatrix();
        glTranslatef(x, y, 0.0f);
        glScalef(SHEET_SCALE, SHEET_SCALE, 1.0f);
        stroke_draw_char((char)c);
        glPopMatrix();
    }
    // Sample lines: large, mid-size and at the size of the cockpit read-out.
    const char* lines[] = {
        "The quick brown fox jumps over the lazy dog.",
        "SPHINX OF BLACK QUARTZ, JUDGE MY VOW! 0123456789",
        "FPS: 59.8   640 x 480 x 32   {a[b](c)} <x=y> #$%&@ ^~`|\\ ;:'\"?_",
    };
    const float sizes[] = {1.6f, 1.2f, 0.9f};
    float y = 90.0f;
    for (int i = 0; i < 3; i++) {
        glPushMatrix();
        glTranslatef(20.0f, y, 0.0f);
        glScalef(sizes[i], sizes[i], 1.0f);
        stroke_textout(lines[i]);
        glPopMatrix();
        y -= 16.0f * sizes[i] + 6.0f;
    }
    glFlush();
    std::string path = shot_path("sortie-strokefont.png");
    gl_test_save(path);
    printf("glyph sheet: %s\n", path.c_str());

    for (int c = STROKE_FIRSTCHAR; c < STROKE_LASTCHAR; c++) {
        float x, y;
        sheet_origin(c - STROKE_FIRSTCHAR, &x, &y);
        // The cell with its overhang: x -1 .. 7, y -3 .. 11 font units.
        int left = (int)(x - 1 * SHEET_SCALE), right = (int)(x + 7 * SHEET_SCALE);
        int top = GL_TEST_H - 1 - (int)(y + 11 * SHEET_SCALE);
        int bottom = GL_TEST_H - 1 - (int)(y - 3 * SHEET_SCALE);
        EXPECT_GT(lit_pixels(left, top, right, bottom), 6) << "glyph " << c << " '" << (char)c << "'";
    }
}

TEST(StrokeFontGL, TextLeavesTheModelViewMatrixAsItFoundIt)
{
    init_strokefont();
    begin_text_frame();
    glTranslatef(100.0f, 200.0f, 0.0f);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    stroke_textout("abc\tdef");
    stroke_printf_r("%d", 12345);
    stroke_menu_textout_with_tab("&File\tCtrl+F", 100.0f);
    stroke_draw_char((char)200);  // draws nothing and does not move
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; i++)
        EXPECT_FLOAT_EQ(after[i], before[i]) << i;
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST(StrokeFontGL, CentredTextLiesEvenlyAroundThePen)
{
    init_strokefont();
    begin_text_frame();
    glTranslatef(320.0f, 240.0f, 0.0f);
    glScalef(4.0f, 4.0f, 1.0f);
    stroke_textout_c("HH");  // cells from -8 to 8: glyphs 0..5 in each
    glFlush();
    // Left H covers x -8..-3 font units, right H 0..5, around x = 320.
    int row = GL_TEST_H - 1 - 250;
    EXPECT_GT(lit_pixels(320 - 34, row, 320 - 30, row), 0);  // left stem of the left H
    EXPECT_GT(lit_pixels(318, row, 322, row), 0);            // left stem of the right H
    EXPECT_EQ(lit_pixels(320 - 26, row, 320 - 14, row), 0);  // inside the left H
    EXPECT_EQ(lit_pixels(324, row, 337, row), 0);            // inside the right H
    EXPECT_EQ(lit_pixels(348, row, 360, row), 0);            // nothing past the right H
}
