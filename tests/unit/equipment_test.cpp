// Thrusters, rotators, shields and reactors: their commands, forces, keys,
// energy and status lines.
#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "effects/fireball.h"
#include "equipment/jet.h"
#include "equipment/nukegen.h"
#include "equipment/rjet.h"
#include "equipment/shield.h"
#include "sound/sounds.h"
#include "test_data_path.h"
#include "ui/colors.h"
#include "vessel/definitions.h"
#include "vessel/item_factory.h"
#include "vessel/vessel.h"

namespace {

const float DT = 1.0f / 60.0f;

// A jet that records what it asks of its voice.
class LISTENED_JET : public JET {
public:
    struct CALL {
        SOUND* sound;
        bool loop;
    };
    std::vector<CALL> plays;
    int updates = 0;
    void play_sound(SOUND* s, bool loop) override { plays.push_back({s, loop}); }
    void update_sound() override { updates++; }
    float volume() const { return sound_volume; }
    float pitch() const { return sound_pitch; }
};

void tick_for(THING* t, float seconds)
{
    int steps = (int)lroundf(seconds / DT);
    for (int i = 0; i < steps; i++)
        t->tick(DT);
}

// Mounts item with its y axis along the world's dir (a unit axis vector).
void mount(SLOTTHING* item, const float* y_dir)
{
    MATRIX_f m = identity_matrix_f;
    // Columns: x, y, z of the item in the world; a right-handed frame.
    float x[3] = {y_dir[1], -y_dir[0], 0.0f};
    if (x[0] == 0.0f && x[1] == 0.0f)
        x[0] = 1.0f;
    float z[3] = {x[1] * y_dir[2] - x[2] * y_dir[1], x[2] * y_dir[0] - x[0] * y_dir[2],
                  x[0] * y_dir[1] - x[1] * y_dir[0]};
    for (int r = 0; r < 3; r++) {
        m.v[r][0] = x[r];
        m.v[r][1] = y_dir[r];
        m.v[r][2] = z[r];
    }
    item->set_rel(m);
    item->update_abs_matrix();
}

// Pixels of one colour in a row of the bitmap between x0 and x1 inclusive.
int count_in_row(BITMAP* bmp, int y, int x0, int x1, int color)
{
    int n = 0;
    for (int x = x0; x <= x1; x++)
        n += getpixel(bmp, x, y) == color;
    return n;
}

// The columns a bar fills in one row: [first, last], or (-1, -1).
void bar_extent(BITMAP* bmp, int y, int color, int* first, int* last)
{
    *first = *last = -1;
    for (int x = 0; x < bmp->w; x++) {
        if (getpixel(bmp, x, y) == color) {
            if (*first < 0)
                *first = x;
            *last = x;
        }
    }
}

}  // namespace

// ------------------------------------------------------------ jet

TEST(Jet, OnlyTheForwardAndAllAxesCommandItsForceAlongItsAxis)
{
    JET jet;
    jet.set_power(200.0f);
    const float up[3] = {0, 0, 1};
    mount(&jet, up);
    for (int axis : {0, 2, 3, 4, 5, 6})
        jet.set_thrust(0.5f, axis);
    EXPECT_EQ(jet.get_thrust(), 0.0f);
    jet.set_thrust(-3.0f, 7);
    EXPECT_EQ(jet.get_thrust(), -1.0f);
    jet.set_thrust(0.5f, 1);
    float f[3], f6[6];
    jet.get_force(f);
    EXPECT_NEAR(f[2], 100.0f, 1e-4);
    EXPECT_NEAR(f[0], 0.0f, 1e-4);
    EXPECT_EQ(jet.get_flame_thrust(), 0.0f);  // the flame has not moved yet
    std::fill(f6, f6 + 6, NAN);
    jet.get_max_forces(f6);
    for (int i = 0; i < 6; i++)
        EXPECT_NEAR(f6[i], i == 2 ? 200.0f : 0.0f, 1e-4) << i;
    EXPECT_EQ(jet.get_max_aforce(), 200.0f);
    jet.set_thrust(2.0f, 1);
    EXPECT_EQ(jet.get_thrust(), 1.0f);
    jet.set_power(-5.0f);
    EXPECT_EQ(jet.get_power(), 0.0f);
    SLOTTHING* bare = make_slot_item("THINGTYPE = JET\n");  // no POWER: no push
    bare->set_thrust(1.0f, 1);
    EXPECT_EQ(bare->get_max_aforce(), 0.0f);
    delete bare;
}

TEST(Jet, FlameFollowsAtTwoPerSecondWithoutOvershoot)
{
    JET jet;
    jet.set_thrust(1.0f, 1);
    float last = 0.0f;
    for (int i = 0; i < 30; i++) {
        jet.tick(DT);
        EXPECT_GT(jet.get_flame_thrust(), last);
        EXPECT_LE(jet.get_flame_thrust(), 1.0f);
        last = jet.get_flame_thrust();
    }
    EXPECT_NEAR(jet.get_flame_thrust(), 1.0f, 1e-5);
    jet.tick(DT);
    EXPECT_EQ(jet.get_flame_thrust(), 1.0f);
    jet.set_thrust(-1.0f, 1);
    tick_for(&jet, 0.5f);
    EXPECT_NEAR(jet.get_flame_thrust(), 0.0f, 1e-4);
    tick_for(&jet, 0.6f);
    EXPECT_EQ(jet.get_flame_thrust(), -1.0f);
}

TEST(Jet, EngineSoundLoopsWhileTheFlameBurnsAndFollowsIt)
{
    TEST_DATA_PATH data;
    LISTENED_JET jet;
    jet.handle_file_command("SOUND", "engine.wav\n");
    SOUND* engine = jet.get_engine_sound();
    ASSERT_NE(engine, nullptr);
    EXPECT_STREQ(engine->get_name(), data.file("engine.wav").c_str());
    jet.tick(DT);
    EXPECT_TRUE(jet.plays.empty());  // no flame, no engine
    jet.set_thrust(1.0f, 1);
    jet.tick(DT);
    ASSERT_EQ(jet.plays.size(), 1u);
    EXPECT_EQ(jet.plays[0].sound, engine);
    EXPECT_TRUE(jet.plays[0].loop);
    EXPECT_TRUE(jet.get_sound_on());
    float low_pitch = jet.pitch();
    EXPECT_NEAR(jet.volume(), 2.0f * DT, 1e-5);
    tick_for(&jet, 1.0f);
    EXPECT_EQ(jet.plays.size(), 1u);  // started once
    EXPECT_FLOAT_EQ(jet.volume(), 1.0f);
    EXPECT_GT(jet.pitch(), low_pitch);  // the engine runs up with the flame
    EXPECT_GE(jet.pitch(), 0.9f);
    EXPECT_LE(jet.pitch(), 1.1f);
    EXPECT_GT(jet.updates, 60);  // the voice hears every change
    jet.set_thrust(0.0f, 1);
    tick_for(&jet, 1.0f);
    ASSERT_EQ(jet.plays.size(), 2u);
    EXPECT_EQ(jet.plays[1].sound, nullptr);
    EXPECT_FALSE(jet.get_sound_on());

    SOUND* keep = soundlist.load(data.file("engine.wav").c_str());  // a second holder
    EXPECT_EQ(keep, engine);
    jet.handle_file_command("SOUND", "other.wav\n");
    EXPECT_EQ(engine->get_refcount(), 1);  // the jet gave its reference back
    soundlist.release(keep);
}

TEST(Jet, PuffsLeaveAgainstTheForceOncePerInterval)
{
    VESSEL v;
    float p[3] = {0, 30, 0};
    v.set_impulse(p);  // 30 m/s forward with the hull's 1 kg
    int i = v.add_slot();
    JET* jet = new JET();
    ASSERT_TRUE(v.fill_slot(i, jet));
    v.update_abs_matrix();
    jet->set_thrust(1.0f, 1);
    tick_for(jet, 0.5f);
    FIREBALL* puff = dynamic_cast<FIREBALL*>(jet->crop_spawn());
    ASSERT_NE(puff, nullptr);
    EXPECT_EQ(jet->crop_spawn(), nullptr);  // one per interval
    EXPECT_NEAR(puff->get_velocity()[1], 30.0f - 100.0f, 1e-3);
    EXPECT_NEAR(puff->get_peak_size(), 2.0f, 1e-4);
    EXPECT_NEAR(puff->get_peak_brightness(), 1.0f, 1e-4);
    EXPECT_TRUE(puff->get_shrink());
    EXPECT_NEAR(puff->get_color()[1], 0.6f, 1e-6);
    // Scattered back along the stream by up to a sixtieth of a second.
    float y = puff->get_rel().t[1];
    EXPECT_LE(y, 0.0f);
    EXPECT_GE(y, -70.0f * 0.0167f - 1e-4f);
    delete puff;
    jet->tick(0.011f);
    THING* t = jet->crop_spawn();
    ASSERT_NE(t, nullptr);
    delete t;
    jet->set_thrust(-1.0f, 1);
    tick_for(jet, 2.0f);
    puff = dynamic_cast<FIREBALL*>(jet->crop_spawn());
    ASSERT_NE(puff, nullptr);
    EXPECT_NEAR(puff->get_velocity()[1], 130.0f, 1e-3);  // reverse thrust blows forwards
    delete puff;
}

// ------------------------------------------------------------ rotator

TEST(Rotator, AxesMapOntoItsChannelsTorqueStaysInVesselAxesAndForceTurnsWithTheMount)
{
    RJET r;
    r.set_thrust(0.5f, 4);
    r.set_thrust(-0.25f, 1);
    r.set_thrust(0.75f, 3);
    r.set_thrust(1.0f, 6);
    EXPECT_EQ(r.get_thrust(1), 0.5f);
    EXPECT_EQ(r.get_thrust(4), -0.25f);
    EXPECT_EQ(r.get_thrust(0), 0.75f);
    for (int i : {2, 3, 5})
        EXPECT_EQ(r.get_thrust(i), 0.0f) << i;
    r.set_thrust(9.0f, 7);
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(r.get_thrust(i), 1.0f) << i;

    const float p[6] = {10, 20, 30, 40, 50, 60};
    r.set_power(p);
    const float up[3] = {0, 0, 1};
    mount(&r, up);  // the rotator's y axis points up
    r.set_thrust(0.0f, 7);
    r.set_thrust(0.5f, 3);
    r.set_thrust(1.0f, 1);  // linear y
    float t[3], f[3], f6[6];
    r.get_rforce(t);
    EXPECT_FLOAT_EQ(t[0], 5.0f);
    EXPECT_FLOAT_EQ(t[1], 0.0f);
    r.get_force(f);
    EXPECT_NEAR(f[2], 50.0f, 1e-4);
    EXPECT_NEAR(f[1], 0.0f, 1e-4);
    r.get_max_forces(f6);
    EXPECT_FLOAT_EQ(f6[4], 50.0f);
    EXPECT_FLOAT_EQ(r.get_max_aforce(), 50.0f);
    const float negative[6] = {-1, 2, -3, 4, -5, 6};
    r.set_power(negative);
    EXPECT_EQ(r.get_power(0), 0.0f);
    EXPECT_EQ(r.get_power(1), 2.0f);

    SLOTTHING* read = make_slot_item("THINGTYPE = RJET\nPOWER = 1, 2\n3\n4, 5, 6 // six\nNAME = Spinner\n");
    ASSERT_NE(read, nullptr);
    read->get_max_forces(f6);
    EXPECT_EQ(std::vector<float>(f6, f6 + 6), (std::vector<float>{1, 2, 3, 4, 5, 6}));  // over the lines
    EXPECT_STREQ(read->get_name(), " Spinner");  // the line after the list is read as usual
    delete read;
}

// ------------------------------------------------------------ shield and reactor

TEST(Shield, AsksForEnergyOnlyWhileTheVesselsShieldIsNotFull)
{
    SLOTTHING* s = make_slot_item("THINGTYPE = SHIELD\nPOWER = 80\nCHARGE = 3\n");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->get_max_shield(), 80.0f);
    EXPECT_EQ(s->get_shield_charge_rate(), 3.0f);
    EXPECT_EQ(s->get_energy_need(), 0.0f);
    s->update_shield_charge(0.99f);
    EXPECT_EQ(s->get_energy_need(), 3.0f);
    s->update_shield_charge(1.0f);
    EXPECT_EQ(s->get_energy_need(), 0.0f);
    delete s;
    s = make_slot_item("THINGTYPE = SHIELD\nPOWER = -4\nCHARGE = -2\n");
    EXPECT_EQ(s->get_max_shield(), 0.0f);
    EXPECT_EQ(s->get_shield_charge_rate(), 0.0f);
    delete s;
}

TEST(Reactor, RaisesSmallValuesToOneRunsDryAndStopsGiving)
{
    SLOTTHING* n = make_slot_item("THINGTYPE = NUKEGEN\nPOWER = 0.5\nFUEL = 5\n");
    NUKEGEN* reactor = dynamic_cast<NUKEGEN*>(n);
    ASSERT_NE(reactor, nullptr);
    EXPECT_EQ(n->get_energy_output(), 1.0f);
    EXPECT_EQ(reactor->get_fuel_capacity(), 5.0f);
    EXPECT_EQ(reactor->get_fuel(), 10.0f);
    delete n;
    NUKEGEN r;
    EXPECT_EQ(r.get_energy_output(), 100.0f);
    r.set_fuel(2e-6f);
    r.tick(0.5f);  // 100 MW for half a second: 50 MJ at 1e-8 a megajoule
    EXPECT_NEAR(r.get_fuel(), 1.5e-6f, 1e-9f);
    r.tick(2.0f);
    EXPECT_EQ(r.get_fuel(), 0.0f);
    EXPECT_EQ(r.get_energy_output(), 0.0f);
    r.tick(1.0f);
    EXPECT_EQ(r.get_fuel(), 0.0f);
}

TEST(Items, AnInertItemGivesNothingAndRefusesToFire)
{
    SLOTTHING s;
    float f[3], f6[6];
    s.get_force(f);
    s.get_max_forces(f6);
    EXPECT_EQ(std::vector<float>(f, f + 3), std::vector<float>(3, 0.0f));
    EXPECT_EQ(std::vector<float>(f6, f6 + 6), std::vector<float>(6, 0.0f));
    EXPECT_EQ(s.get_energy_need() + s.get_energy_output() + s.get_ammo(), 0.0f);
    EXPECT_TRUE(s.trigger_lock());
    EXPECT_EQ(s.crop_spawn(), nullptr);
    EXPECT_EQ(s.get_slottype(), SLOT_EXTENSION);
}

// ------------------------------------------------------------ status lines

TEST(StatusLines, BarsGrowFromTheMiddleOrTheLeftEdgeInTheirColoursUnderTheName)
{
    BITMAP* bmp = create_bitmap_ex(32, 202, 60);
    int first, last;
    JET jet;
    for (auto [t, from, to] : {std::array<float, 3>{-1, 1, 50}, {0, 49, 50}, {1, 50, 98}}) {
        clear_to_color(bmp, get_kvor_color(1));
        jet.set_thrust(t, 1);
        jet.paint_status(bmp, 0, 0, 100, 20);
        bar_extent(bmp, 2, get_kvor_color(mfd_jet_color), &first, &last);
        EXPECT_EQ(first, from) << t;
        EXPECT_EQ(last, to) << t;
        EXPECT_EQ(count_in_row(bmp, 19, 0, 99, get_kvor_color(mfd_jet_color)), 0);  // the bar ends at h - 2
    }
    // The name is drawn in the highlight colour over it.
    EXPECT_GT(count_in_row(bmp, 9, 0, 99, get_kvor_color(12)) + count_in_row(bmp, 10, 0, 99, get_kvor_color(12)), 0);

    clear_to_color(bmp, get_kvor_color(1));
    RJET r;
    r.set_thrust(1.0f, 3);   // row 0 full right
    r.set_thrust(-1.0f, 2);  // row 5 full left
    r.paint_status(bmp, 0, 0, 100, 60);
    bar_extent(bmp, 2, get_kvor_color(mfd_jet_color), &first, &last);
    EXPECT_EQ(first, 50);
    EXPECT_EQ(last, 98);
    bar_extent(bmp, 52, get_kvor_color(mfd_rjet_color), &first, &last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 50);

    clear_to_color(bmp, get_kvor_color(1));
    SHIELD s;
    s.set_power(80);
    s.update_shield_charge(0.5f);
    s.paint_status(bmp, 0, 0, 102, 20);
    bar_extent(bmp, 2, get_kvor_color(mfd_shield_color), &first, &last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 50);
    EXPECT_EQ(count_in_row(bmp, 19, 0, 199, get_kvor_color(mfd_shield_color)), 0);

    clear_to_color(bmp, get_kvor_color(1));
    SLOTTHING* n = make_slot_item("THINGTYPE = NUKEGEN\nFUEL = 5\n");  // holds 10: twice full
    n->paint_status(bmp, 0, 0, 52, 20);  // twice the box: 1 + 100 px
    delete n;
    bar_extent(bmp, 2, get_kvor_color(mfd_reactor_color), &first, &last);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 101);
    EXPECT_EQ(count_in_row(bmp, 18, 0, 199, get_kvor_color(mfd_reactor_color)), 101);
    EXPECT_EQ(count_in_row(bmp, 19, 0, 199, get_kvor_color(mfd_reactor_color)), 0);  // it ends at h - 2
    destroy_bitmap(bmp);
}
