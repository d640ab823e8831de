// The HUD model drawn for real: nothing in the solid pass; every mark in
// the blended pass at its size, the symmetric ones symmetric about their
// centre line; the bearing arrow on the side its angle names; and a sheet
// of all ten styles saved for a person to look at.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "gl_window.h"
#include "render/hudmodel.h"
#include "render/model.h"
#include "render/strokefont.h"

namespace {

const float DIST = 1.5f;                         // metres from the eye
const float PX_PER_M = GL_TEST_W / DIST;         // the frustum is DIST wide there
const float SIZE = 0.06f;                        // m
const float S_PX = SIZE * PX_PER_M;              // the size in pixels

// Draws one model ahead of the eye at (x, y) metres off the centre, its
// x-z plane facing the eye as the vessel places HUD marks.
void paint_at(HUDMODEL& h, unsigned short flags, float x = 0.0f, float y = 0.0f)
{
    glPushMatrix();
    glTranslatef(x, y, -DIST);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    h.paint(flags);
    glPopMatrix();
}

struct LIT {
    std::vector<unsigned char> px = gl_test_read();
    bool at(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < GL_TEST_W && y < GL_TEST_H && px[(y * GL_TEST_W + x) * 3 + 1] > 64;
    }
    // Lit pixels, and those whose mirror image (about the screen's middle
    // column or row) has no lit pixel within a pixel of it.
    int count = 0, unmatched_lr = 0, unmatched_ud = 0;
    int left = GL_TEST_W, right = -1, top = GL_TEST_H, bottom = -1;
    LIT()
    {
        auto near = [&](int x, int y) {
            for (int dy = -1; dy <= 1; dy++)
                for (int dx = -1; dx <= 1; dx++)
                    if (at(x + dx, y + dy))
                        return true;
            return false;
        };
        for (int y = 0; y < GL_TEST_H; y++)
            for (int x = 0; x < GL_TEST_W; x++)
                if (at(x, y)) {
                    count++;
                    unmatched_lr += !near(GL_TEST_W - 1 - x, y);
                    unmatched_ud += !near(x, GL_TEST_H - 1 - y);
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
    }
    // Extent in sizes from the centre: left, right, down, up; within two
    // pixels of the expected, as lines rasterise.
    void expect_extent(const std::vector<float>& sizes, float size = SIZE) const
    {
        const float px[4] = {GL_TEST_W / 2.0f - left, right + 1.0f - GL_TEST_W / 2, bottom + 1.0f - GL_TEST_H / 2,
                             GL_TEST_H / 2.0f - top};
        for (int i = 0; i < 4; i++)
            EXPECT_NEAR(px[i], sizes[i] * size * PX_PER_M, 2.0f) << "left, right, down, up: " << i;
    }
};

void init_font()
{
    if (!stroke_dlist_ofs)
        init_strokefont();
}

}  // namespace

TEST(HudModelGL, EachMarkIsDrawnAtItsSizeAndTheSymmetricOnesAreSymmetric)
{
    init_font();
    struct MARK {
        unsigned style;
        std::vector<float> extent;  // sizes left, right, down, up
        bool up_down;               // also symmetric top to bottom
    };
    const MARK marks[] = {
        {HUD_SQUARE, {1, 1, 1, 1}, true},    {HUD_DIAMOND, {1, 1, 1, 1}, true},
        {HUD_BORESIGHT, {2, 2, 1, 2}, false}, {HUD_VELOCITY, {2, 2, 1, 2}, false},
        {HUD_RVELOCITY, {2, 2, 2, 1}, false}, {HUD_AT_REST, {1, 1, 1, 1}, true},
        {HUD_AIM, {1, 1, 0.7f, 0.7f}, true},  // the octagon's diagonal
    };
    for (const MARK& m : marks) {
        SCOPED_TRACE(m.style);
        HUDMODEL h;
        h.set_style(m.style);
        h.set_size(SIZE);
        gl_test_begin_frame();
        paint_at(h, PAINT_MATERIALS | PAINT_SOLID);
        EXPECT_EQ(LIT().count, 0);  // nothing in the solid pass
        paint_at(h, PAINT_MATERIALS | PAINT_BLENDED);
        LIT lit;
        EXPECT_GT(lit.count, 2 * S_PX);
        EXPECT_EQ(lit.unmatched_lr, 0);
        if (m.up_down) {
            EXPECT_EQ(lit.unmatched_ud, 0);
        }
        lit.expect_extent(m.extent);
    }
}

TEST(HudModelGL, TheBearingArrowPointsToTheSideItsAngleNamesAndNeedsADelta)
{
    init_font();
    HUDMODEL h;
    h.set_style(HUD_POINTER);
    h.set_size(SIZE);
    h.set_delta(0.5f);
    // 0.9 to 1.2 sizes off the centre, entirely on its side (the near edge
    // is a negative extent): up at 0, right at a quarter turn, down at a half.
    struct WAY {
        float angle;
        std::vector<float> extent;  // sizes left, right, down, up
    } ways[] = {{0.0f, {0.2f, 0.2f, -0.9f, 1.2f}},
                {(float)M_PI / 2, {-0.9f, 1.2f, 0.2f, 0.2f}},
                {(float)M_PI, {0.2f, 0.2f, 1.2f, -0.9f}}};
    for (const WAY& w : ways) {
        SCOPED_TRACE(w.angle);
        h.set_value(w.angle);
        gl_test_begin_frame();
        paint_at(h, PAINT_MATERIALS | PAINT_BLENDED);
        LIT lit;
        EXPECT_GT(lit.count, 0);
        lit.expect_extent(w.extent);
        if (w.angle == 0.0f) {
            EXPECT_EQ(lit.unmatched_lr, 0);
        }
    }
    // Its tail grows with the delta up to a fifth of the size: from the
    // arrow at one size up to 0.8 sizes.
    for (float delta : {0.5f, 3.0f}) {
        h.set_value(0.0f);
        h.set_delta(delta);
        gl_test_begin_frame();
        paint_at(h, PAINT_MATERIALS | PAINT_BLENDED);
        float tail = 1.0f - 0.2f * std::min(delta, 1.0f);
        EXPECT_NEAR(GL_TEST_H / 2 - (LIT().bottom + 1), tail * S_PX, 1.5f) << delta;
    }
    h.set_delta(0.0f);  // no delta: nothing
    gl_test_begin_frame();
    paint_at(h, PAINT_MATERIALS | PAINT_BLENDED);
    EXPECT_EQ(LIT().count, 0);
}

TEST(HudModelGL, TheTapesStandBesideTheirCentreAndASheetOfAllStylesIsSaved)
{
    init_font();
    HUDMODEL models[HUD_STYLES];
    for (int i = 0; i < (int)HUD_STYLES; i++) {
        models[i].set_style(i);
        models[i].set_size(i == HUD_TAPE_LEFT || i == HUD_TAPE_RIGHT ? 0.1f : SIZE);
        models[i].set_value(i == HUD_TAPE_LEFT ? 230.0f : 40.0f);
        models[i].set_delta(i == HUD_TAPE_LEFT ? -3.2f : 0.8f);
    }
    for (int side : {HUD_TAPE_LEFT, HUD_TAPE_RIGHT}) {
        gl_test_begin_frame();
        paint_at(models[side], PAINT_MATERIALS | PAINT_BLENDED);
        LIT lit;
        EXPECT_GT(lit.count, 100);
        // The scale spans a size up and down, its near edge 0.9 sizes off the
        // centre; the read-out beside it ends about two sizes out, the left
        // one's falling delta below it. In sizes of 0.1 m: left, right, down, up.
        if (side == HUD_TAPE_LEFT)
            lit.expect_extent({1.88f, -0.9f, 1.0f, 1.0f}, 0.1f);
        else
            lit.expect_extent({-0.9f, 2.06f, 0.45f, 1.0f}, 0.1f);
    }
    gl_test_begin_frame();
    for (int i = 0; i < (int)HUD_STYLES; i++)
        paint_at(models[i], PAINT_MATERIALS | PAINT_BLENDED, -0.6f + 0.3f * (i % 5), i < 5 ? 0.28f : -0.28f);
    gl_test_save("/tmp/sortie_hud_styles.png");
}
