// The cockpit screens read back from the vessel's bitmaps. Texts are checked
// against what Allegro draws for the same string, so no glyph pixels are
// written down here.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <string>

#include "game/frame.h"
#include "game/game.h"
#include "game/messages.h"
#include "game/render.h"
#include "game/world.h"
#include "render/model.h"
#include "scene/thing.h"
#include "ui/colors.h"
#include "vessel/item_factory.h"
#include "vessel/mfd.h"
#include "vessel/vessel.h"

namespace {

enum ALIGN { LEFT, CENTRE, RIGHT };

// True when the text's box on bmp (8 pixels high, as wide as the text)
// holds exactly the glyphs Allegro draws for text at (x, y) in colour c:
// c where the glyphs are, something else everywhere else in the box.
bool shows_text(BITMAP* bmp, int x, int y, int c, const std::string& text, ALIGN align = LEFT)
{
    BITMAP* scratch = create_bitmap_ex(32, bmp->w, bmp->h);
    clear_to_color(scratch, c == 0 ? 1 : 0);
    int len = text_length(font, text.c_str());
    int left = align == LEFT ? x : align == CENTRE ? x - len / 2 : x - len;
    if (align == LEFT)
        textout_ex(scratch, font, text.c_str(), x, y, c, -1);
    else if (align == CENTRE)
        textout_centre_ex(scratch, font, text.c_str(), x, y, c, -1);
    else
        textout_right_ex(scratch, font, text.c_str(), x, y, c, -1);
    bool same = true;
    for (int yy = y; yy < y + text_height(font); yy++)
        for (int xx = left; xx < left + len; xx++)
            if (xx >= 0 && yy >= 0 && xx < bmp->w && yy < bmp->h &&
                (getpixel(bmp, xx, yy) == c) != (getpixel(scratch, xx, yy) == c))
                same = false;
    destroy_bitmap(scratch);
    return same && len > 0;
}

int kc(int index) { return get_kvor_color(index); }

// A hostile thing of a given radius (the model's only say).
class BALL : public MODEL {
public:
    explicit BALL(float r) : r(r) {}
    float get_r() override { return r; }

private:
    float r;
};

class FOE : public THING {
public:
    int get_team() override { return 2; }
    float get_shield() override { return 12.4f; }
    float get_max_shield() override { return 40.0f; }
};

// A world holding the player's vessel at the origin, facing +y.
struct COCKPIT {
    COCKPIT()
    {
        vessel = new VESSEL();
        vessel->set_team(1);
        world.add_child(vessel);
        world.update_abs_matrix();
    }
    THING* add(unsigned flags, float x, float y, float z)
    {
        THING* t = new THING();
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
        vessel->update_mfd_bitmap(id);
        vessel->update_radar(world.get_first_child());
        return vessel->get_mfd_bitmap(id);
    }
    THING world;
    VESSEL* vessel;
};

// Pixels of bmp that are not the background.
int lit_pixels(BITMAP* bmp)
{
    int n = 0;
    for (int y = 0; y < bmp->h; y++)
        for (int x = 0; x < bmp->w; x++)
            n += getpixel(bmp, x, y) != kc(1);
    return n;
}

}  // namespace

TEST(MfdTargetScreen, DistanceSizeAndTitleReadBack)
{
    COCKPIT c;
    FOE* foe = new FOE();
    foe->set_flags(THING_TARGETABLE);
    foe->set_type_string("Raider");
    foe->set_id_string("beta 3");
    foe->set_model(new BALL(0.2f));  // 0.4 m across
    c.world.add_child(foe);
    c.vessel->set_target(foe);

    struct {
        float y;
        const char* text;
    } ranges[] = {{250000.0f, "dist:  250 km"}, {2500.0f, "dist: 2.5 km"}, {800.0f, "dist:  800 m"}};
    for (const auto& r : ranges) {
        foe->locate_rel(0.0f, r.y, 0.0f);
        c.world.update_abs_matrix();
        BITMAP* b = c.screen(MFD_TARGET);
        EXPECT_TRUE(shows_text(b, 0, 108, kc(3), r.text)) << r.text;
        EXPECT_TRUE(shows_text(b, 128, 0, kc(9), "Raider beta 3", CENTRE)) << "hostile title";
        EXPECT_TRUE(shows_text(b, 0, 118, kc(3), "size:  400 mm"));
        EXPECT_TRUE(shows_text(b, 256, 118, kc(mfd_shield_color), "shields: 12 / 40", RIGHT));
    }
}

TEST(MfdTargetScreen, DeletedOrNonFiniteTargetsDrawNothingWrong)
{
    COCKPIT c;
    THING* t = c.add(THING_TARGETABLE | THING_ON_RADAR, 0.0f, 100.0f, 0.0f);
    c.vessel->set_target(t);
    c.radar(MFD_RADAR_F);
    // Flown off to nowhere: no distance line, no radar dot.
    t->locate_rel(NAN, 100.0f, 0.0f);
    c.world.update_abs_matrix();
    BITMAP* b = c.screen(MFD_TARGET);
    for (int x = 0; x < 256; x++)
        for (int y = 108; y < 116; y++)
            ASSERT_NE(getpixel(b, x, y), kc(3)) << x << "," << y;
    EXPECT_EQ(lit_pixels(c.radar(MFD_RADAR_F)), 0);
    EXPECT_EQ(lit_pixels(c.radar(MFD_RADAR_R)), 0);
    // Removed from the world in the same frame it was targeted.
    c.world.remove_child(t);
    b = c.screen(MFD_TARGET);
    EXPECT_TRUE(shows_text(b, 128, 60, kc(2), "* no target *", CENTRE));
}

TEST(MfdStatusScreen, EnergyShortfallSplitsTheBarAtTheSupply)
{
    COCKPIT c;
    // No reactor: the hull's 5 against a shield that recharges at 10.
    ASSERT_EQ(c.vessel->add_slot(), 0);
    SLOTTHING* s = make_slot_item("THINGTYPE = SHIELD\nPOWER = 50\nCHARGE = 10\n");
    ASSERT_TRUE(c.vessel->fill_slot(0, s));
    c.vessel->reduce_shield(25.0f);
    c.vessel->update_resources(0.0f);
    ASSERT_EQ(c.vessel->get_energy_output(), 5.0f);
    ASSERT_EQ(c.vessel->get_energy_need(), 10.0f);

    BITMAP* b = c.screen(MFD_STATUS);
    EXPECT_TRUE(shows_text(b, 144, 98, kc(12), "energy: 200%", CENTRE));
    int text = kc(12);
    for (int y = 99; y <= 104; y++)
        for (int x = 33; x <= 254; x++) {
            int want = kc(x < 143 ? mfd_energy_color : 9);
            int p = getpixel(b, x, y);
            ASSERT_TRUE(p == want || p == text) << x << "," << y;
        }
    EXPECT_EQ(getpixel(b, 33, 101), kc(mfd_energy_color));
    EXPECT_EQ(getpixel(b, 254, 101), kc(9));
    EXPECT_EQ(getpixel(b, 255, 101), kc(3));  // the frame
    // Half the shield is left.
    EXPECT_TRUE(shows_text(b, 220, 32, kc(12), " 50%", CENTRE));
    EXPECT_EQ(getpixel(b, 220 - 15, 36), kc(mfd_shield_color));  // inside the half ellipse
    EXPECT_NE(getpixel(b, 220 - 20, 36), kc(mfd_shield_color));  // outside it
}

TEST(MfdStatusScreen, ThrottleAndStabilizers)
{
    COCKPIT c;
    c.vessel->set_thrust(-0.5f, 1);
    c.vessel->set_stabilizer(true);
    c.vessel->set_rstabilizer(true);
    c.vessel->set_hstabilizer(true);
    BITMAP* b = c.screen(MFD_STATUS);
    EXPECT_TRUE(shows_text(b, 0, 0, kc(3), "X-1 alpha 1"));
    EXPECT_TRUE(shows_text(b, 16, 97, kc(3), "50", CENTRE));  // reverse: at the bottom
    EXPECT_EQ(getpixel(b, 16, 64 + 16), kc(3));               // the command line
    EXPECT_TRUE(shows_text(b, 8, 110, kc(12), "M"));
    EXPECT_TRUE(shows_text(b, 19, 110, kc(4), "H"));
    EXPECT_EQ(getpixel(b, 7, 109), kc(5));
    EXPECT_EQ(getpixel(b, 25, 109), kc(11));
    EXPECT_TRUE(shows_text(b, 144, 98, kc(2), "no energy", CENTRE)) << "before the first share-out";
}

TEST(MfdSlotScreen, TwentySlotHullTwoColumns)
{
    COCKPIT c;
    for (int i = 0; i < 20; i++)
        ASSERT_EQ(c.vessel->add_slot(), i);
    SLOTTHING* item = make_slot_item("THINGTYPE = SHIELD\nNAME=Aegis\n");
    ASSERT_TRUE(c.vessel->fill_slot(5, item));
    SLOTTHING* gun = make_slot_item("THINGTYPE = GUN\nNAME=Laser\nMAXAMMO=5\n");
    ASSERT_TRUE(c.vessel->fill_slot(2, gun));
    BITMAP* b = c.screen(MFD_ALLSLOTS);
    // Slot 5: right column, third row; its neighbour on the left is empty.
    EXPECT_TRUE(shows_text(b, 128 + 63, 16, kc(12), "Aegis", CENTRE));
    EXPECT_TRUE(shows_text(b, 63, 16, kc(2), "*** empty ***", CENTRE));
    // A gun draws its own line, after its status light: name and rounds.
    EXPECT_TRUE(shows_text(b, 8 + 1 + 59, 8, kc(12), "Laser 5", CENTRE));
    EXPECT_EQ(getpixel(b, 128, 23), kc(3));  // the cell's frame
    EXPECT_EQ(getpixel(b, 255, 16), kc(3));
    // Slots 20 to 31 do not exist: rows 10 to 15 stay blank.
    for (int y = 80; y < 128; y++)
        for (int x = 0; x < 256; x++)
            ASSERT_EQ(getpixel(b, x, y), kc(1)) << x << "," << y;
}

TEST(MfdBitmaps, MadeOnFirstUseAndRedrawnOnlyWhenStale)
{
    COCKPIT c;
    EXPECT_EQ(c.vessel->get_mfd_bitmap(-1), nullptr);
    EXPECT_EQ(c.vessel->get_mfd_bitmap(5), nullptr);
    c.vessel->invalidate_mfd(7);  // ignored
    BITMAP* radar = c.vessel->get_mfd_bitmap(MFD_RADAR_R);
    ASSERT_NE(radar, nullptr);
    EXPECT_EQ(radar->w, 64);
    EXPECT_EQ(bitmap_color_depth(radar), 32);
    EXPECT_EQ(lit_pixels(radar), 0);  // an empty screen, not old memory
    BITMAP* status = c.vessel->get_mfd_bitmap(MFD_STATUS);
    EXPECT_EQ(status->w, 256);
    EXPECT_EQ(status->h, 128);
    putpixel(status, 100, 50, kc(15));
    EXPECT_EQ(getpixel(c.vessel->get_mfd_bitmap(MFD_STATUS), 100, 50), kc(15));  // still valid
    c.vessel->invalidate_mfd(MFD_STATUS);
    EXPECT_EQ(c.vessel->get_mfd_bitmap(MFD_STATUS), status);  // the same bitmap, redrawn
    EXPECT_NE(getpixel(status, 100, 50), kc(15));
}

TEST(MfdRadar, DirectionsRangeAndColours)
{
    COCKPIT c;
    THING* t = c.add(THING_ON_RADAR, 0.0f, 1999.0f, 0.0f);
    BITMAP* front = c.radar(MFD_RADAR_F);
    BITMAP* rear = c.vessel->get_mfd_bitmap(MFD_RADAR_R);
    EXPECT_EQ(getpixel(front, 31, 31), kc(14));  // untargetable: grey
    EXPECT_EQ(lit_pixels(front), 1);
    EXPECT_EQ(lit_pixels(rear), 0);

    t->locate_rel(0.0f, 2000.0f, 0.0f);
    c.world.update_abs_matrix();
    c.radar(MFD_RADAR_F);
    EXPECT_EQ(lit_pixels(front) + lit_pixels(rear), 0) << "out of range";

    t->locate_rel(0.0f, -300.0f, 0.0f);
    c.world.update_abs_matrix();
    c.radar(MFD_RADAR_F);
    EXPECT_EQ(getpixel(rear, 31, 31), kc(14));
    EXPECT_EQ(lit_pixels(front), 0);

    t->locate_rel(0.0f, 0.0f, 300.0f);
    c.world.update_abs_matrix();
    c.radar(MFD_RADAR_F);
    EXPECT_EQ(getpixel(front, 31, 0), kc(14));

    // A hostile target turned to: the vessel yaws a quarter turn, the foe
    // lies along its new forward axis; the target gets its four corners.
    FOE* foe = new FOE();
    foe->set_flags(THING_TARGETABLE | THING_ON_RADAR);
    c.world.add_child(foe);
    t->clear_flags(THING_ON_RADAR);
    MATRIX_f yaw;
    get_z_rotate_matrix_f(&yaw, 64.0f);
    c.vessel->set_rel(yaw);
    c.world.update_abs_matrix();
    const MATRIX_f& m = c.vessel->get_abs();
    foe->locate_rel(500.0f * m.v[0][1], 500.0f * m.v[1][1], 500.0f * m.v[2][1]);
    c.world.update_abs_matrix();
    c.vessel->set_target(foe);
    c.radar(MFD_RADAR_F);
    EXPECT_EQ(getpixel(front, 31, 31), kc(9));
    for (int dx : {-1, 1})
        for (int dy : {-1, 1})
            EXPECT_EQ(getpixel(front, 31 + dx, 31 + dy), kc(12));
    EXPECT_EQ(lit_pixels(front), 5);
}

TEST(MfdRadar, PixelEdges)
{
    int x, y;
    ASSERT_TRUE(radar_pixel(0.0f, 0.0f, &x, &y));
    EXPECT_EQ(x, 31);
    EXPECT_EQ(y, 31);
    radar_pixel(1.0f, -1.0f, &x, &y);
    EXPECT_EQ(x, 62);
    EXPECT_EQ(y, 62);
    radar_pixel(-1.5f, 1.5f, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_FALSE(radar_pixel(NAN, 0.0f, &x, &y));
    EXPECT_FALSE(radar_pixel(0.0f, -INFINITY, &x, &y));
}

TEST(CockpitDriver, ANewPlayerVesselGetsItsRadarInTheNextFrame)
{
    GAME g;
    create_world_roots(g);
    add_player_vessel(g);
    THING* first = g.player;
    radar_framecount = 2;  // the radar was drawn in the frame before
    first->set_flags(THING_DEAD);
    simulate_frame(g, 1.0f / 60);
    ASSERT_NE(g.player.get(), nullptr);
    EXPECT_NE(g.player.get(), first);
    EXPECT_EQ(radar_framecount, 0);
    simulate_frame(g, 1.0f / 60);
    EXPECT_EQ(radar_framecount, 0) << "only a replacement resets it";
    free_messages();
    destroy_world(g);
}
