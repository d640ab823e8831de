// The cockpit screens read back from the vessel's bitmaps (texts checked against
// what Allegro draws for the same string), the HUD's tapes, the colour table.
#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "render/hudmodel.h"
#include "render/model.h"
#include "ui/colors.h"
#include "vessel/item_factory.h"
#include "vessel/mfd.h"
#include "vessel/vessel.h"

namespace {

int kc(int index) { return get_kvor_color(index); }

// True when the text's box on bmp holds exactly the glyphs Allegro draws for
// text at (x, y) in colour c; align: -1 left, 0 centred, 1 right of x.
bool shows(BITMAP* bmp, int x, int y, int c, const std::string& text, int align = -1)
{
    int len = text_length(font, text.c_str()), left = x - (align + 1) * len / 2;
    BITMAP* scratch = create_bitmap_ex(32, bmp->w, bmp->h);
    clear_to_color(scratch, c == 0 ? 1 : 0);
    textout_ex(scratch, font, text.c_str(), left, y, c, -1);
    bool same = len > 0;
    for (int yy = y; yy < y + text_height(font); yy++)
        for (int xx = std::max(left, 0); xx < left + len && xx < bmp->w; xx++)
            same &= (getpixel(bmp, xx, yy) == c) == (getpixel(scratch, xx, yy) == c);
    destroy_bitmap(scratch);
    return same;
}

int lit_pixels(BITMAP* bmp)
{
    int n = 0;
    for (int y = 0; y < bmp->h; y++)
        for (int x = 0; x < bmp->w; x++)
            n += getpixel(bmp, x, y) != kc(1);
    return n;
}

struct BALL : MODEL {
    float get_r() override { return 0.2f; }
};

struct FOE : THING {
    int get_team() override { return 2; }
    float get_shield() override { return 12.6f; }
    float get_max_shield() override { return 40.0f; }
};

// The player's vessel at the origin facing +y, alone in a world.
struct COCKPIT {
    COCKPIT()
    {
        vessel = new VESSEL();
        vessel->set_team(1);
        world.add_child(vessel);
        world.update_abs_matrix();
    }
    THING* add(THING* t, unsigned flags, float x, float y, float z)
    {
        t->set_flags(flags);
        t->locate_rel(x, y, z);
        world.add_child(t);
        world.update_abs_matrix();
        return t;
    }
    BITMAP* screen(int id)
    {
        vessel->invalidate_mfd(id);
        return vessel->get_mfd_bitmap(id);
    }
    BITMAP* radar(int id)
    {
        world.update_abs_matrix();
        vessel->update_mfd_bitmap(id);
        vessel->update_radar(world.get_first_child());
        return vessel->get_mfd_bitmap(id);
    }
    THING world;
    VESSEL* vessel;
};

}  // namespace

TEST(Mfd, TargetScreenReadsDistanceSizeTitleAndShieldsAndSurvivesBadTargets)
{
    const struct { float m; const char *dist, *size; } texts[] = {{100000, "dist:  100 km", "size:  100 km"}, {99999, "dist: 100.0 km", "size: 100.0 km"},
                 {1000, "dist: 1.0 km", "size: 1.0 km"},      {999.6f, "dist: 1000 m", "size: 1000 m"},
                 {1, "dist:    1 m", "size:    1 m"},         {0.4f, "dist:    0 m", "size:  400 mm"}};
    char out[32];
    for (const auto& t : texts) {
        EXPECT_TRUE(mfd_distance_text(t.m, out, sizeof out) && t.dist == std::string(out)) << out;
        EXPECT_TRUE(mfd_size_text(t.m, out, sizeof out) && t.size == std::string(out)) << out;
    }
    EXPECT_FALSE(mfd_distance_text(NAN, out, sizeof out) || mfd_size_text(INFINITY, out, sizeof out) || out[0]);

    COCKPIT c;
    c.vessel->locate_rel(300.0f, -400.0f, 100.0f);  // off the origin: the distance is the difference
    FOE* foe = new FOE();
    foe->set_type_string("Raider");
    foe->set_id_string("beta 3");
    foe->set_model(new BALL());  // 0.4 m across
    c.add(foe, THING_TARGETABLE | THING_ON_RADAR, 300.0f, 2100.0f, 100.0f);
    c.vessel->set_target(foe);
    BITMAP* b = c.screen(MFD_TARGET);
    EXPECT_TRUE(shows(b, 0, 108, kc(3), "dist: 2.5 km") && shows(b, 0, 118, kc(3), "size:  400 mm"));
    EXPECT_TRUE(shows(b, 128, 0, kc(9), "Raider beta 3", 0)) << "hostile title";
    EXPECT_TRUE(shows(b, 256, 118, kc(mfd_shield_color), "shields: 13 / 40", 1));
    // Flown off to nowhere: no distance line, no radar dot.
    foe->locate_rel(NAN, 100.0f, 0.0f);
    c.world.update_abs_matrix();
    b = c.screen(MFD_TARGET);
    for (int x = 0; x < 256; x++)
        for (int y = 108; y < 116; y++)
            ASSERT_NE(getpixel(b, x, y), kc(3)) << x << "," << y;
    EXPECT_EQ(lit_pixels(c.radar(MFD_RADAR_F)) + lit_pixels(c.radar(MFD_RADAR_R)), 0);
    c.world.remove_child(foe);  // removed in the frame it was targeted
    EXPECT_TRUE(shows(c.screen(MFD_TARGET), 128, 60, kc(2), "* no target *", 0));
}

TEST(Mfd, StatusScreenThrottleStabilizersShieldAndAnEnergyShortfall)
{
    COCKPIT c;
    c.vessel->set_thrust(-0.5f, 1);
    c.vessel->set_stabilizer(true);
    c.vessel->set_rstabilizer(true);
    c.vessel->set_hstabilizer(true);
    BITMAP* b = c.screen(MFD_STATUS);
    EXPECT_TRUE(shows(b, 0, 0, kc(3), "X-1 alpha 1"));
    EXPECT_TRUE(shows(b, 16, 97, kc(3), "50", 0) && getpixel(b, 8, 80) == kc(3) && getpixel(b, 24, 80) == kc(3) &&
                getpixel(b, 7, 80) != kc(3) && getpixel(b, 25, 80) != kc(3));  // reverse: the line at the bottom, inside the gauge
    EXPECT_TRUE(shows(b, 8, 110, kc(12), "M") && shows(b, 19, 110, kc(4), "H"));  // the stabilizers
    for (int y = 107; y <= 120; y++)  // the box: a frame parted in two, the halves filled, the letters on them
        for (int x = 5; x <= 27; x++) {
            bool inside = x > 5 && x < 27 && y > 107 && y < 120;
            bool frame = inside && (x == 6 || x == 17 || x == 26 || y == 108 || y == 119);
            int p = getpixel(b, x, y), fill = kc(!inside ? 1 : x < 17 ? 5 : 11);
            ASSERT_TRUE(frame ? p == kc(3) : p == fill || (inside && p == kc(x < 17 ? 12 : 4))) << x << "," << y;
        }
    EXPECT_TRUE(shows(b, 144, 98, kc(2), "no energy", 0)) << "before the first share-out";

    // No reactor: the hull's 5 against a shield that recharges at 10.
    ASSERT_EQ(c.vessel->add_slot(), 0);
    ASSERT_TRUE(c.vessel->fill_slot(0, make_slot_item("THINGTYPE = SHIELD\nPOWER = 50\nCHARGE = 10\n")));
    c.vessel->reduce_shield(25.0f);
    c.vessel->update_resources(0.0f);
    b = c.screen(MFD_STATUS);
    EXPECT_TRUE(shows(b, 144, 98, kc(12), "energy: 200%", 0));
    for (int y = 99; y <= 104; y++)
        for (int x = 33; x <= 254; x++) {
            int p = getpixel(b, x, y);
            ASSERT_TRUE(p == kc(x < 143 ? mfd_energy_color : 9) || p == kc(12)) << x << "," << y;
        }
    EXPECT_TRUE(getpixel(b, 255, 101) == kc(3) && getpixel(b, 250, 98) == kc(3) && getpixel(b, 40, 105) == kc(3));  // the frame
    EXPECT_TRUE(shows(b, 220, 32, kc(12), " 50%", 0));  // half the shield: inside the half ellipse, not outside
    EXPECT_TRUE(getpixel(b, 205, 36) == kc(mfd_shield_color) && getpixel(b, 200, 36) != kc(mfd_shield_color));
}

TEST(Mfd, SlotScreenTwoColumnsAndBitmapsRedrawnOnlyWhenStale)
{
    COCKPIT c;
    EXPECT_TRUE(!c.vessel->get_mfd_bitmap(-1) && !c.vessel->get_mfd_bitmap(5));
    BITMAP* radar = c.vessel->get_mfd_bitmap(MFD_RADAR_R);  // an empty screen, not old memory
    EXPECT_EQ(radar->w + radar->h + lit_pixels(radar), 128);
    for (int i = 0; i < 20; i++)
        ASSERT_EQ(c.vessel->add_slot(), i);
    ASSERT_TRUE(c.vessel->fill_slot(5, make_slot_item("THINGTYPE = SHIELD\nNAME=Aegis\n")));
    ASSERT_TRUE(c.vessel->fill_slot(2, make_slot_item("THINGTYPE = GUN\nNAME=Laser\nMAXAMMO=5\n")));
    BITMAP* b = c.vessel->get_mfd_bitmap(MFD_ALLSLOTS);
    EXPECT_EQ(b->w + b->h, 384);
    EXPECT_TRUE(shows(b, 128 + 63, 16, kc(12), "Aegis", 0) && shows(b, 63, 16, kc(2), "*** empty ***", 0));  // slot 5: right, third row
    EXPECT_TRUE(shows(b, 8 + 1 + 59, 8, kc(12), "Laser 5", 0));  // after the gun's light
    EXPECT_TRUE(getpixel(b, 128, 23) == kc(3) && getpixel(b, 255, 16) == kc(3));  // the cells' frames
    for (int y = 80; y < 128; y++)  // slots 20 to 31 do not exist
        for (int x = 0; x < 256; x++)
            ASSERT_EQ(getpixel(b, x, y), kc(1)) << x << "," << y;
    putpixel(b, 100, 50, kc(15));
    c.vessel->invalidate_mfd(7);  // ignored
    EXPECT_EQ(getpixel(c.vessel->get_mfd_bitmap(MFD_ALLSLOTS), 100, 50), kc(15));  // still valid
    c.vessel->invalidate_mfd(MFD_ALLSLOTS);
    EXPECT_TRUE(c.vessel->get_mfd_bitmap(MFD_ALLSLOTS) == b && getpixel(b, 100, 50) != kc(15));  // the same bitmap, redrawn
}

TEST(Mfd, RadarDirectionsRangeAndColours)
{
    int x, y;
    const float uv[][4] = {{0, 0, 31, 31}, {1, -1, 62, 62}, {-1.5f, 1.5f, 0, 0}, {0.5f, 0.25f, 47, 23}};
    for (const auto& p : uv)
        EXPECT_TRUE(radar_pixel(p[0], p[1], &x, &y) && x == p[2] && y == p[3]) << x << "," << y;
    EXPECT_FALSE(radar_pixel(NAN, 0.0f, &x, &y) || radar_pixel(0.0f, -INFINITY, &x, &y));

    COCKPIT c;
    THING* t = c.add(new THING(), THING_ON_RADAR, 0.0f, 1999.0f, 0.0f);
    BITMAP* front = c.radar(MFD_RADAR_F);
    BITMAP* rear = c.vessel->get_mfd_bitmap(MFD_RADAR_R);
    EXPECT_TRUE(getpixel(front, 31, 31) == kc(14) && lit_pixels(front) + 10 * lit_pixels(rear) == 1);  // untargetable: grey
    t->locate_rel(0.0f, 2000.0f, 0.0f);
    c.radar(MFD_RADAR_F);
    EXPECT_EQ(lit_pixels(front) + lit_pixels(rear), 0) << "out of range";
    t->locate_rel(0.0f, -300.0f, 0.0f);
    c.radar(MFD_RADAR_F);
    EXPECT_TRUE(getpixel(rear, 31, 31) == kc(14) && lit_pixels(front) == 0);
    t->set_flags(THING_TARGETABLE);  // targetable, of no team: neutral
    c.radar(MFD_RADAR_F);
    EXPECT_EQ(getpixel(rear, 31, 31), kc(5));
    t->clear_flags(THING_TARGETABLE);
    t->locate_rel(300.0f, 0.0f, 300.0f);  // 45 degrees up and right: on the front's rim
    c.radar(MFD_RADAR_F);
    EXPECT_EQ(getpixel(front, 53, 9), kc(14));

    // The vessel yaws a quarter turn; a hostile target along its new nose
    // shows red with its four corners marked.
    FOE* foe = new FOE();
    t->clear_flags(THING_ON_RADAR);
    MATRIX_f yaw;
    get_z_rotate_matrix_f(&yaw, 64.0f);
    c.vessel->set_rel(yaw);
    c.world.update_abs_matrix();
    const MATRIX_f& m = c.vessel->get_abs();
    c.add(foe, THING_TARGETABLE | THING_ON_RADAR, 500.0f * m.v[0][1], 500.0f * m.v[1][1], 500.0f * m.v[2][1]);
    c.vessel->set_target(foe);
    c.radar(MFD_RADAR_F);
    EXPECT_EQ(getpixel(front, 31, 31), kc(9));
    for (int d : {0, 1, 2, 3})
        EXPECT_EQ(getpixel(front, 30 + (d & 1) * 2, 30 + (d & 2)), kc(12));
    EXPECT_EQ(lit_pixels(front), 5);
}

TEST(Mfd, HudTapesReadOutsAndTheColourTableKeepTheirBounds)
{
    float out[64];
    std::vector<float> t(out, out + hud_tape_ticks(230, out, 64));  // ticks every 10 within 100
    EXPECT_TRUE(t.size() == 21 && t.front() == 130 && t.back() == 330);
    EXPECT_EQ(std::vector<float>(out, out + hud_tape_labels(230, out, 64)), (std::vector<float>{150, 200, 250, 300}));
    EXPECT_EQ(std::vector<float>(out, out + hud_tape_labels(0, out, 64)), (std::vector<float>{0, 50, 100}));  // none below 0
    EXPECT_EQ(hud_tape_labels(NAN, out, 64) + hud_tape_ticks(INFINITY, out, 64) + hud_tape_ticks(230, out, 2), 2);
    EXPECT_LE(hud_tape_labels(1e12f, out, 64) + hud_tape_ticks(3e38f, out, 64), 28);  // huge values stay bounded
    EXPECT_FLOAT_EQ(hud_tape_z(230.0f, 330.0f, 0.1f) - hud_tape_z(230.0f, 130.0f, 0.1f), 0.2f);
    char value[32], delta[32];  // the delta only when it rounds to something
    const struct { float v, d; const char* text; } readouts[] = {{230, 0.4f, "  230|"}, {-12, -3.2f, "  -12|    4"}, {0, NAN, "    0|"}};
    for (const auto& r : readouts) {
        hud_readout_texts(r.v, r.d, value, delta, sizeof value);
        EXPECT_EQ(std::string(value) + "|" + delta, r.text);
    }
    HUDMODEL mark;  // the last style is kept, one past it is none (0)
    mark.set_style(HUD_STYLES - 1);
    EXPECT_EQ(mark.get_style(), HUD_STYLES - 1u);
    mark.set_style(HUD_STYLES);
    EXPECT_EQ(mark.get_style(), 0u);
    float rgba[5] = {9, 9, 9, 9, 9};
    get_kvor_color(8, rgba, 3);  // only n components are written
    EXPECT_EQ(std::vector<float>(rgba, rgba + 4), (std::vector<float>{0.75f, 0.0f, 0.5f, 9.0f}));
    EXPECT_TRUE(get_kvor_color_a(0) == 0.0f && get_kvor_color_a(KVOR_COLORS - 1) > 0.0f);  // the first is clear
    for (int i : {-1, KVOR_COLORS}) {  // outside the table
        get_kvor_color(i, rgba, 9);  // more than four asked: four written
        EXPECT_EQ(std::vector<float>(rgba, rgba + 5), (std::vector<float>{0, 0, 0, 0, 9})) << i;
        EXPECT_EQ(get_kvor_color(i) + get_kvor_color_r(i) + get_kvor_color_g(i) + get_kvor_color_b(i) + get_kvor_color_a(i), 1.0f);
    }
}
