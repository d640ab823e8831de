// The HUD model drawn for real: nothing in the solid pass, every style in
// the blended pass, and a sheet of all ten saved for a person to look at.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <filesystem>
#include <string>

#include "gl_window.h"
#include "render/hudmodel.h"
#include "render/model.h"
#include "render/strokefont.h"

namespace {

const float SHEET_DIST = 1.5f;  // metres from the eye

// Style i of the sheet: centre in eye coordinates (x right, y up).
void sheet_place(int i, float* x, float* y)
{
    *x = -0.6f + 0.3f * (i % 5);
    *y = i < 5 ? 0.28f : -0.28f;
}

// Draws every style as the vessel places them: ahead of the eye, the HUD's
// x-z plane facing it.
void paint_sheet(unsigned short flags, HUDMODEL* models)
{
    for (int i = 0; i < (int)HUD_STYLES; i++) {
        float x, y;
        sheet_place(i, &x, &y);
        glPushMatrix();
        glTranslatef(x, y, -SHEET_DIST);
        glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
        models[i].paint(flags);
        glPopMatrix();
    }
}

void make_sheet(HUDMODEL* models)
{
    for (int i = 0; i < (int)HUD_STYLES; i++) {
        models[i].set_style(i);
        models[i].set_size(i == HUD_TAPE_LEFT || i == HUD_TAPE_RIGHT ? 0.1f : 0.06f);
    }
    models[HUD_TAPE_LEFT].set_value(230.0f);
    models[HUD_TAPE_LEFT].set_delta(-3.2f);
    models[HUD_TAPE_RIGHT].set_value(40.0f);
    models[HUD_TAPE_RIGHT].set_delta(12.0f);
    models[HUD_POINTER].set_value(0.6f);
    models[HUD_POINTER].set_delta(0.8f);
}

// Lit pixels in the square of half-width r pixels around style i's centre.
int lit_around(int i, int r)
{
    float x, y;
    sheet_place(i, &x, &y);
    // The frustum's half-width at distance d is d / 2 (near 0.2, half-width 0.1).
    int px = (int)(GL_TEST_W * (0.5f + x / SHEET_DIST));
    int py = (int)(GL_TEST_H * (0.5f - y / (SHEET_DIST * 0.75f)));
    int n = 0;
    for (int yy = py - r; yy <= py + r; yy++)
        for (int xx = px - r; xx <= px + r; xx++) {
            unsigned char rgb[3];
            gl_test_pixel(xx, yy, rgb);
            n += rgb[1] > 64;
        }
    return n;
}

}  // namespace

TEST(HudModelGL, NothingInTheSolidPass)
{
    if (!stroke_dlist_ofs)
        init_strokefont();
    HUDMODEL models[HUD_STYLES];
    make_sheet(models);
    gl_test_begin_frame();
    paint_sheet(PAINT_MATERIALS | PAINT_SOLID, models);
    for (int i = 0; i < (int)HUD_STYLES; i++)
        EXPECT_EQ(lit_around(i, 30), 0) << i;
}

TEST(HudModelGL, EveryStyleDrawsInTheBlendedPass)
{
    if (!stroke_dlist_ofs)
        init_strokefont();
    HUDMODEL models[HUD_STYLES];
    make_sheet(models);
    gl_test_begin_frame();
    paint_sheet(PAINT_MATERIALS | PAINT_BLENDED, models);
    // The tapes stand beside their centre.
    for (int i = 0; i < (int)HUD_STYLES; i++)
        EXPECT_GT(lit_around(i, i == HUD_TAPE_LEFT || i == HUD_TAPE_RIGHT ? 70 : 40), 10) << i;
    std::string shot = (std::filesystem::temp_directory_path() / "sortie_hud_styles.png").string();
    gl_test_save(shot);
    printf("HUD sheet: %s\n", shot.c_str());

    // A pointer with no delta draws nothing.
    gl_test_begin_frame();
    models[HUD_POINTER].set_delta(0.0f);
    paint_sheet(PAINT_BLENDED, models);
    EXPECT_EQ(lit_around(HUD_POINTER, 30), 0);
}
