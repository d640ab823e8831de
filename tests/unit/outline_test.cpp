// The outline picture of a thing for the target screen: edges only, colour 2
// on colour 1, made again only when the thing changed.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <vector>

#include "render/model.h"
#include "scene/thing.h"
#include "ui/colors.h"

namespace {

// Paints a filled square of its radius times the scale and remembers the
// calls; its radius is set by the test.
struct SQUARE_MODEL : MODEL {
    explicit SQUARE_MODEL(float r) : r(r) {}
    float get_r() override { return r; }
    void allegro_paint(BITMAP* bmp, int x, int y, float scale) override
    {
        calls.push_back({x, y, scale});
        if (!std::isfinite(scale) || scale * r > 1000.0f)
            return;
        int h = (int)(r * scale / 2);
        rectfill(bmp, x - h, y - h, x + h, y + h, makecol32(255, 255, 255));
    }
    struct CALL {
        int x, y;
        float scale;
    };
    float r;
    std::vector<CALL> calls;
};

int count_colour(BITMAP* bmp, int colour)
{
    int n = 0;
    for (int y = 0; y < bmp->h; y++)
        for (int x = 0; x < bmp->w; x++)
            n += getpixel(bmp, x, y) == colour;
    return n;
}

}  // namespace

TEST(Outline, ARadiusThatGivesNoFiniteScaleGetsAnEmptyOutline)
{
    THING t;  // no model: radius 0
    BITMAP* img = t.get_mfd_image();
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->w, 128);
    EXPECT_EQ(img->h, 64);
    EXPECT_EQ(count_colour(img, get_kvor_color(1)), 128 * 64);
    for (float r : {0.0f, 1e-40f, 1e-44f, NAN, INFINITY, -5.0f}) {
        THING u;
        SQUARE_MODEL* m = new SQUARE_MODEL(r);
        u.set_model(m);
        EXPECT_EQ(count_colour(u.get_mfd_image(), get_kvor_color(1)), 128 * 64) << r;
        EXPECT_TRUE(m->calls.empty()) << r;  // nothing is drawn at an undefined scale
    }
}

TEST(Outline, ShowsOnlyTheEdgesInColourTwoOnColourOne)
{
    THING t;
    SQUARE_MODEL* m = new SQUARE_MODEL(20.0f);
    t.set_model(m);
    BITMAP* img = t.get_mfd_image();
    ASSERT_EQ(m->calls.size(), 1u);
    EXPECT_EQ(m->calls[0].x, 64);
    EXPECT_EQ(m->calls[0].y, 32);
    EXPECT_FLOAT_EQ(m->calls[0].scale, 63.0f / 20.0f);
    // The square spans 64 +- 31 and 32 +- 31; its inside and outside are
    // background, its border lines are colour 2.
    int fg = get_kvor_color(2), bg = get_kvor_color(1);
    EXPECT_EQ(getpixel(img, 64, 32), bg);
    EXPECT_EQ(getpixel(img, 10, 32), bg);
    EXPECT_EQ(getpixel(img, 64, 32 - 32), fg);  // above the top row: differs from below
    EXPECT_EQ(getpixel(img, 95, 32), fg);       // the right column differs from its right
    EXPECT_EQ(getpixel(img, 64 - 32, 32), fg);
    int edge = count_colour(img, fg);
    EXPECT_GT(edge, 4 * 60);
    EXPECT_LT(edge, 4 * 66);
    EXPECT_EQ(edge + count_colour(img, bg), 128 * 64);
}

TEST(Outline, IsDrawnAgainOnlyAfterTheThingChanged)
{
    THING t;
    SQUARE_MODEL* m = new SQUARE_MODEL(10.0f);
    t.set_model(m);
    t.get_mfd_image();
    t.get_mfd_image();
    EXPECT_EQ(m->calls.size(), 1u);
    t.add_child(new THING());
    t.get_mfd_image();
    EXPECT_EQ(m->calls.size(), 2u);
    t.get_first_child()->set_flags(THING_DEAD);
    t.remove_dead_children();
    t.get_mfd_image();
    EXPECT_EQ(m->calls.size(), 3u);
    SQUARE_MODEL* bigger = new SQUARE_MODEL(30.0f);
    t.set_model(bigger);
    t.get_mfd_image();
    EXPECT_EQ(bigger->calls.size(), 1u);
    // A new model does not clear the radius cache: the old extent holds.
    EXPECT_FLOAT_EQ(bigger->calls[0].scale, 63.0f / t.get_radius());
}

TEST(Outline, ChildrenArePlacedByTheirRelativePositionOnly)
{
    THING parent;
    SQUARE_MODEL* pm = new SQUARE_MODEL(1.0f);
    parent.set_model(pm);
    THING* child = new THING();
    SQUARE_MODEL* cm = new SQUARE_MODEL(1.0f);
    child->set_model(cm);
    MATRIX_f turn;
    get_z_rotate_matrix_f(&turn, 64.0f);
    child->set_rel(turn);
    child->locate_rel(4.0f, 8.0f, 100.0f);
    parent.add_child(child);
    BITMAP* scratch = create_bitmap_ex(32, 128, 64);
    parent.allegro_paint(scratch, 64, 32, 2.0f);
    ASSERT_EQ(cm->calls.size(), 1u);
    EXPECT_EQ(cm->calls[0].x, 64 + 8);
    EXPECT_EQ(cm->calls[0].y, 32 - 8);  // 8 up times 2, shrunk by 64 / 128
    // A hidden child draws nothing of its own.
    child->set_flags(THING_HIDDEN);
    parent.allegro_paint(scratch, 64, 32, 2.0f);
    EXPECT_EQ(cm->calls.size(), 1u);
    // A child far off stays at a defined, clipped place.
    child->clear_flags(THING_HIDDEN);
    child->locate_rel(1e30f, -1e30f, 0.0f);
    parent.allegro_paint(scratch, 64, 32, 2.0f);
    ASSERT_EQ(cm->calls.size(), 2u);
    EXPECT_GT(cm->calls[1].x, 100000);
    destroy_bitmap(scratch);
}
