// Thrusters, rotators, shields and reactors: their commands, forces, flame,
// engine sound, energy and status lines.
#include <gtest/gtest.h>

#include <allegro.h>

#include <tuple>
#include <vector>

#include "core_test.h"
#include "effects/fireball.h"
#include "equipment/jet.h"
#include "equipment/nukegen.h"
#include "equipment/rjet.h"
#include "equipment/shield.h"
#include "sound/sounds.h"
#include "test_data_path.h"
#include "ui/colors.h"
#include "vessel/item_factory.h"
#include "vessel/vessel.h"

namespace {

// A jet that records what it asks of its voice.
struct LISTENED_JET : JET {
    std::vector<std::pair<SOUND*, bool>> plays;
    void play_sound(SOUND* s, bool loop) override { plays.push_back({s, loop}); }
    float volume() const { return sound_volume; }
    float pitch() const { return sound_pitch; }
};

void tick_for(THING* t, float seconds)
{
    for (int i = 0, n = (int)lroundf(seconds / DT); i < n; i++)
        t->tick(DT);
}

// Mounted with its y axis up the world's z and its z along the world's -y:
// a right-handed frame whose x is the world's x.
void mount_up(SLOTTHING* item)
{
    MATRIX_f m;
    get_x_rotate_matrix_f(&m, 64);
    item->set_rel(m), item->update_abs_matrix();
}

// The columns a bar fills in one row of the bitmap: {first, last, count}.
std::array<int, 3> bar(BITMAP* bmp, int y, int color)
{
    std::array<int, 3> b = {-1, -1, 0};
    for (int x = 0; x < bmp->w; x++)
        if (getpixel(bmp, x, y) == get_kvor_color(color))
            b = {b[0] < 0 ? x : b[0], x, b[2] + 1};
    return b;
}

}  // namespace

TEST(Jet, PushesAlongItsAxisItsFlameFollowsAtTwoPerSecondAndTheEngineSoundsWhileItBurns)
{
    TEST_DATA_PATH data;
    LISTENED_JET jet;
    jet.parse_file_string("POWER = 200\nSOUND = engine.wav\n");
    SOUND* engine = jet.get_engine_sound();
    ASSERT_NE(engine, nullptr);
    mount_up(&jet), jet.tick(DT);
    EXPECT_TRUE(jet.plays.empty());  // no flame, no engine
    jet.set_thrust(-1.5f, 7);
    EXPECT_EQ(jet.get_thrust(), -1.0f);
    jet.set_thrust(0.5f, 1);
    for (int axis : {0, 2, 3, 4, 5, 6})
        jet.set_thrust(0.0f, axis);
    float f[3] = {9, 9, 9}, f6[6] = {9, 9, 9, 9, 9, 9};  // 9: not written
    jet.get_force(f), jet.get_max_forces(f6);
    EXPECT_TRUE(near3(f, {0, 0, 100}, 1e-4f) && near3(f6, {0, 0, 200}, 1e-4f) && near3(f6 + 3, {0, 0, 0}, 0));
    EXPECT_EQ(jet.get_max_aforce(), 200.0f);
    jet.set_thrust(1.5f, 1);
    float last = 0.0f, low_pitch = 0.0f;
    for (int i = 0; i < 30; i++, last = jet.get_flame_thrust()) {
        jet.tick(DT);
        EXPECT_TRUE(jet.get_flame_thrust() > last && jet.get_flame_thrust() <= 1.0f) << i;
        low_pitch = i == 0 ? jet.pitch() : low_pitch;
    }
    EXPECT_TRUE(fabsf(jet.get_flame_thrust() - 1.0f) < 1e-5f && jet.volume() == 1.0f);
    EXPECT_NEAR(jet.pitch() * (0.7f + 0.3f * 2.0f * DT), low_pitch, 1e-4);  // from idle to full
    EXPECT_TRUE(jet.pitch() >= 0.9f && jet.pitch() <= 1.1f);
    jet.set_thrust(-1.0f, 1), tick_for(&jet, 0.5f);
    EXPECT_NEAR(jet.get_flame_thrust(), 0.0f, 1e-4);
    tick_for(&jet, 0.6f);
    EXPECT_EQ(jet.get_flame_thrust(), -1.0f);
    jet.set_thrust(0.0f, 1), tick_for(&jet, 0.6f);  // started once, stopped when the flame is out
    EXPECT_EQ(jet.plays, (std::vector<std::pair<SOUND*, bool>>{{engine, true}, {nullptr, false}}));
    SOUND* keep = soundlist.load(data.file("engine.wav").c_str());  // a second holder
    jet.parse_file_string("SOUND = other.wav\nPOWER = -5\n");
    EXPECT_TRUE(engine->get_refcount() == 1 && jet.get_power() == 0.0f);  // the jet gave its reference back
    soundlist.release(keep);
}

TEST(Jet, PuffsLeaveAgainstTheForceOncePerInterval)
{
    VESSEL v;
    float p[3] = {20, 30, -10};
    v.set_impulse(p);  // 30 m/s forward, drifting right and down, with the hull's 1 kg
    JET* jet = new JET();
    v.fill_slot(v.add_slot(), jet), v.update_abs_matrix();
    jet->set_thrust(1.0f, 1), tick_for(jet, 0.5f);
    FIREBALL* puff = dynamic_cast<FIREBALL*>(jet->crop_spawn());
    ASSERT_NE(puff, nullptr);
    EXPECT_EQ(jet->crop_spawn(), nullptr);  // one per interval
    const float* w = puff->get_velocity();
    EXPECT_NEAR(fabsf(w[0] - 20.0f) + fabsf(w[1] + 70.0f) + fabsf(w[2] + 10.0f), 0.0f, 1e-3f);
    const float* c = puff->get_color();  // an orange flame
    EXPECT_TRUE(std::vector<float>({puff->get_peak_size(), puff->get_peak_brightness(), c[0], c[1], c[2]}) ==
                    std::vector<float>({2.0f, 1.0f, 1.0f, 0.6f, 0.2f}) && puff->get_shrink());
    const float* at = puff->get_rel().t;  // scattered along the stream by up to a sixtieth of a second
    float s = at[1] / w[1];
    EXPECT_TRUE(s >= 0.0f && s <= 0.0167f + 1e-5f && fabsf(at[0] - s * w[0]) + fabsf(at[2] - s * w[2]) < 1e-4f) << s;
    delete puff;
    jet->tick(0.011f);
    delete jet->crop_spawn();
    jet->set_thrust(-1.0f, 1), tick_for(jet, 2.0f);
    puff = dynamic_cast<FIREBALL*>(jet->crop_spawn());
    ASSERT_NE(puff, nullptr);
    EXPECT_NEAR(puff->get_velocity()[1], 130.0f, 1e-3);  // reverse thrust blows forwards
    delete puff;
}

TEST(Rotator, AxesMapOntoItsChannelsTorqueStaysInVesselAxesAndForceTurnsWithTheMount)
{
    SLOTTHING* read = make_slot_item("THINGTYPE = RJET\nPOWER = 10, 0.5\n30\n40, 50, 60 // six\nNAME = Spinner\n");
    RJET& r = *dynamic_cast<RJET*>(read);
    EXPECT_STREQ(r.get_name(), " Spinner");  // the line after the list is read as usual
    V3 t{9, 9, 9}, f{9, 9, 9};  // 9: not written
    r.get_rforce(t.data()), r.get_force(f.data());
    EXPECT_TRUE(t == V3({0, 0, 0}) && f == V3({0, 0, 0}));  // nothing asked yet
    r.set_thrust(9.0f, 7), r.set_thrust(0.5f, 4), r.set_thrust(-0.25f, 1), r.set_thrust(0.75f, 3), r.set_thrust(0.0f, 6);
    std::vector<float> t6, f6(6);
    for (int i = 0; i < 8; i++)  // by channel: none past the six
        t6.push_back(r.get_thrust_setting(i));
    EXPECT_EQ(t6, (std::vector<float>{1, -0.25f, 1, 0.75f, 0.5f, 1, 0, 0}));
    r.get_max_forces(f6.data());
    EXPECT_EQ(f6, (std::vector<float>{10, 0.5f, 30, 40, 50, 60}));  // over the lines, fractions too
    EXPECT_FLOAT_EQ(r.get_max_aforce(), 50.0f);
    mount_up(&r);
    r.set_thrust(0.0f, 7), r.set_thrust(0.5f, 3);  // torque about x
    r.set_thrust(1.0f, 0), r.set_thrust(-1.0f, 1), r.set_thrust(0.5f, 2);  // linear y down the world's z, z along its -y
    r.get_rforce(t.data()), r.get_force(f.data());
    EXPECT_TRUE(t == V3({5, 0, 0}) && near3(f.data(), {40, -30, -50}, 1e-4f));
    EXPECT_NEAR(r.get_heat(), jet_heat_per_newton * sqrtf(40 * 40 + 30 * 30 + 50 * 50), 1e-3);
    const float negative[6] = {-1, 2, -3, 4, -5, 6};
    r.set_power(negative);
    EXPECT_EQ(V3({r.get_power(0), r.get_power(1), r.get_power(4)}), V3({0, 2, 0}));
    delete read;
}

TEST(Items, ShieldsAskOnlyWhileNotFullReactorsRunDryAndAPlainItemNeverFires)
{
    SLOTTHING* s = make_slot_item("THINGTYPE = SHIELD\nPOWER = 80\nCHARGE = 3\n");
    EXPECT_EQ(s->get_max_shield() + s->get_shield_charge_rate(), 83.0f);
    std::vector<float> need = {s->get_energy_need()};
    for (float fraction : {0.99f, 1.0f})
        s->update_shield_charge(fraction), need.push_back(s->get_energy_need());
    EXPECT_EQ(need, (std::vector<float>{0, 3, 0}));
    delete s;
    s = make_slot_item("THINGTYPE = SHIELD\nPOWER = -4\nCHARGE = -2\n");
    EXPECT_EQ(s->get_max_shield() + s->get_shield_charge_rate(), 0.0f);
    delete s;
    SLOTTHING* n = make_slot_item("THINGTYPE = NUKEGEN\nPOWER = 0.5\nFUEL = 0.5\n");
    EXPECT_EQ(n->get_energy_output() + dynamic_cast<NUKEGEN*>(n)->get_fuel_capacity(), 2.0f);  // both raised to one
    delete n;
    NUKEGEN r;  // what a file leaves unsaid: 100 MW, full with 10 units
    EXPECT_EQ(std::make_tuple(r.get_energy_output(), r.get_fuel(), r.get_fuel_capacity()), std::make_tuple(100.0f, 10.0f, 10.0f));
    r.set_fuel(2e-6f), r.tick(0.5f);  // 100 MW for half a second: 50 MJ at 1e-8 a megajoule
    EXPECT_NEAR(r.get_fuel(), 1.5e-6f, 1e-9f);
    r.tick(2.0f);
    EXPECT_EQ(r.get_fuel() + r.get_energy_output(), 0.0f);
    SLOTTHING plain;  // an inert item never fires, holds no shot and takes no thrust or gives any
    EXPECT_TRUE(plain.trigger_lock() && plain.get_slottype() == SLOT_EXTENSION && plain.get_maxammo() + plain.get_reload_interval() + plain.get_thrust_setting(1) == 0.0f);
    std::vector<float> f6(6, 9.0f);
    plain.get_max_forces(f6.data());
    EXPECT_EQ(f6, std::vector<float>(6, 0.0f));
}

TEST(StatusLines, BarsGrowFromTheMiddleOrTheLeftEdgeInTheirColoursUnderTheName)
{
    BITMAP* bmp = create_bitmap_ex(32, 202, 60);
    auto clear = [&] { clear_to_color(bmp, get_kvor_color(1)); };
    JET jet;
    for (auto [t, from, to] : {std::array<float, 3>{-1, 1, 50}, {0, 49, 50}, {1, 50, 98}}) {
        clear(), jet.set_thrust(t, 1), jet.paint_status(bmp, 0, 0, 100, 20);
        EXPECT_EQ(bar(bmp, 2, mfd_jet_color), (std::array<int, 3>{(int)from, (int)to, (int)(to - from + 1)})) << t;
        EXPECT_EQ(bar(bmp, 18, mfd_jet_color)[2], (int)(to - from + 1));
        EXPECT_EQ(bar(bmp, 0, mfd_jet_color)[2] + bar(bmp, 19, mfd_jet_color)[2], 0);  // inside the frame: rows 1 to h - 2
    }
    EXPECT_GT(bar(bmp, 9, 12)[2] + bar(bmp, 10, 12)[2], 0);  // the name in the highlight colour over it
    clear();
    RJET r;
    r.set_thrust(1.0f, 3), r.set_thrust(-1.0f, 2);  // row 0 full right, row 5 full left
    r.paint_status(bmp, 0, 0, 100, 60);
    EXPECT_EQ(bar(bmp, 2, mfd_jet_color), (std::array<int, 3>{50, 98, 49}));
    EXPECT_EQ(bar(bmp, 52, mfd_rjet_color), (std::array<int, 3>{1, 50, 50}));
    EXPECT_EQ(bar(bmp, 35, mfd_rjet_color), (std::array<int, 3>{49, 50, 2}));  // row 3 at rest
    EXPECT_EQ(bar(bmp, 0, mfd_jet_color)[2], 0);
    clear();
    SHIELD s;
    s.set_power(80), s.update_shield_charge(0.5f), s.paint_status(bmp, 0, 0, 102, 20);
    EXPECT_EQ(bar(bmp, 2, mfd_shield_color), (std::array<int, 3>{1, 50, 50}));
    EXPECT_EQ(bar(bmp, 19, mfd_shield_color)[2], 0);
    SLOTTHING* n = make_slot_item("THINGTYPE = NUKEGEN\nFUEL = 5\n");  // holds 10: twice full
    // Twice the box: 1 + 100 px; a fiftieth: 2 px; empty: the one column a rectangle always has.
    for (auto [fuel, last] : {std::pair<float, int>{10, 101}, {0.1f, 2}, {0.0f, 1}}) {
        clear(), dynamic_cast<NUKEGEN*>(n)->set_fuel(fuel), n->paint_status(bmp, 0, 0, 52, 20);
        EXPECT_EQ(bar(bmp, 2, mfd_reactor_color), (std::array<int, 3>{1, last, last})) << fuel;
        EXPECT_EQ(bar(bmp, 18, mfd_reactor_color)[2], last);
        EXPECT_EQ(bar(bmp, 19, mfd_reactor_color)[2], 0);  // it ends at h - 2
    }
    delete n;
    destroy_bitmap(bmp);
}
