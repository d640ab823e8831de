// VESSEL: slots and their sums, steering and the stabilizers, the energy
// budget, the pilot's head, the HUD feed, target selection, and whole flights
// at a fixed dt on vessels assembled from definition files.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "core_test.h"
#include "equipment/gun.h"
#include "equipment/nukegen.h"
#include "equipment/shield.h"
#include "game/globals.h"
#include "render/hudmodel.h"
#include "shipped_data.h"
#include "ui/colors.h"
#include "vessel/targeting.h"
#include "vessel/vessel.h"

namespace {

// An item whose answers the test sets and whose commands it records.
class PROBE_ITEM : public SLOTTHING {
public:
    float force[3] = {}, rforce[3] = {}, max_forces[6] = {}, thrust[8] = {};
    float max_aforce = 0, need = 0, last_calibrate = -1, last_fraction = -1;
    std::vector<float> consumed;
    THING* spawn = nullptr;
    void get_force(float* f) override { std::copy(force, force + 3, f); }
    void get_rforce(float* t) override { std::copy(rforce, rforce + 3, t); }
    void get_max_forces(float* f6) override { std::copy(max_forces, max_forces + 6, f6); }
    float get_max_aforce() override { return max_aforce; }
    void set_thrust(float v, int axis) override { thrust[axis] = v; }
    float get_energy_need() override { return need; }
    void consume_energy(float e) override { consumed.push_back(e); }
    void update_shield_charge(float f) override { last_fraction = f; }
    void calibrate(float d) override { last_calibrate = d; }
    THING* crop_spawn() override { return std::exchange(spawn, nullptr); }
};

// A vessel with n slots (the hull's axes) and a probe fitted in the first,
// alone in a world stepped the way the frame loop does.
struct FLIGHT {
    explicit FLIGHT(VESSEL* v, int slots = 0) : v(v)
    {
        for (int i = 0; i < slots; i++)
            v->add_slot();
        if (slots > 0)
            v->fill_slot(0, p);
        world.add_child(v);
        world.update_abs_matrix();
    }
    void run(float seconds) { run_world(world, seconds); }
    V3 vel() { V3 a{9, 9, 9}; v->get_vel(a.data()); return a; }
    V3 lvel() { V3 a{9, 9, 9}; v->get_lvel(a.data()); return a; }
    V3 rot() { V3 a{9, 9, 9}; v->get_rot(a.data()); return a; }
    THING world;
    VESSEL* v;                        // owned by the world
    PROBE_ITEM* p = new PROBE_ITEM();  // deleted here when no slot took it
    ~FLIGHT() { if (!p->get_parent()) delete p; }
};

SHIELD* shield(float power, float charge) { SHIELD* s = new SHIELD(); return s->set_power(power), s->set_charge_rate(charge), s; }

HUDMODEL* hud(THING* node) { return dynamic_cast<HUDMODEL*>(node->get_model()); }

}  // namespace

TEST(Vessel, ThirtyTwoSlotsItemsOnlyIntoEmptyOnesAndShieldsSumOverThem)
{
    VESSEL v;
    MATRIX_f m;
    get_translation_matrix_f(&m, 0, 5, 3);
    EXPECT_EQ(v.add_slot(m, SLOT_ROTATOR), 0);
    for (int i = 1; i < MAX_SLOTS; i++)
        ASSERT_EQ(v.add_slot(), i);
    EXPECT_TRUE(v.add_slot(m, SLOT_JET) == -1 && v.get_slot_type(0) == SLOT_ROTATOR);
    SHIELD *base = shield(50, 2), *extra = shield(100, 1);
    EXPECT_TRUE(v.fill_slot(0, base));  // slot types are not compared
    EXPECT_TRUE(base->get_parent() == &v && base->get_rel().t[1] == 5.0f);  // placed by the slot's matrix
    for (int taken_or_missing : {0, -1, MAX_SLOTS})
        EXPECT_FALSE(v.fill_slot(taken_or_missing, extra)) << taken_or_missing;
    v.set_shield_percent(40);
    EXPECT_FLOAT_EQ(v.get_shield(), 20.0f);
    EXPECT_TRUE(v.fill_slot(MAX_SLOTS - 1, extra));
    EXPECT_EQ(V3({v.get_shield(), v.get_max_shield(), v.get_shield_charge_rate()}), V3({120, 150, 3}));
    for (int outside : {-1, MAX_SLOTS}) {
        EXPECT_TRUE(!v.get_slot_item(outside) && !v.get_slot(outside) && v.get_slot_type(outside) == -1);
        v.clear_slot(outside);
    }
    v.clear_slot(MAX_SLOTS - 1);  // takes its charge and recharge with it
    EXPECT_EQ(V3({v.get_shield(), v.get_max_shield(), v.get_shield_charge_rate()}), V3({50, 50, 2}));
    v.set_shield_percent(-50);  // the magnitude counts
    EXPECT_EQ(v.get_shield(), 25.0f);
    v.clear_slot(0);
    EXPECT_EQ(V3({v.get_shield(), v.get_max_shield(), v.get_shield_charge_rate()}), V3({0, 0, 0}));
}

TEST(Vessel, MassForcesAndStabilizerSpeedAddUpOverTheSlotsSpawnIsOwnedAndTheGroundBurstsIt)
{
    FLIGHT f(new VESSEL(), 3);
    PROBE_ITEM *a = f.p, *b = new PROBE_ITEM();
    f.v->fill_slot(2, b), a->handle_file_command("MASS", "3\n"), b->handle_file_command("RMASS", "1, 2, 3\n");
    a->force[2] = 4, b->force[2] = 6, b->rforce[0] = 7, a->max_forces[5] = 1, b->max_forces[5] = 2;
    float rm[3], force[3], torque[3], f6[7], in[3] = {8, 0, -4}, out[3], spin[3] = {1, 2, 3};
    f6[6] = -7.0f;  // six values and no more
    f.v->get_rm(rm), f.v->get_force(force), f.v->get_rforce(torque), f.v->get_max_forces(f6);
    EXPECT_EQ(std::vector<float>({f.v->get_m(), rm[2], force[2], torque[0], f6[5], f6[6]}),
              std::vector<float>({1 + 3 + 1, 5, 10, 7, 3, -7}));
    f.v->set_impulse(in), f.v->get_impulse(out);
    EXPECT_EQ(std::make_pair(f.vel()[0], out[2]), std::make_pair(1.6f, -4.0f));  // over the whole 5 kg
    a->max_aforce = 15.0f, b->max_aforce = 5.0f;
    float speed = f.v->get_stabilizer_speed();  // reached in four seconds at full force
    b->handle_file_command("MASS", "-4\n");      // items have no lower mass limit
    EXPECT_EQ(std::make_pair(speed, f.v->get_stabilizer_speed()), std::make_pair(16.0f, 0.0f));
    THING* shot = a->spawn = new THING();
    EXPECT_TRUE(f.v->crop_spawn() == shot && shot->get_owner() == f.v && !f.v->crop_spawn());
    delete shot;
    f.v->set_rotation(spin);
    EXPECT_EQ(f.rot(), V3({1, 2, 3}));
    f.run(0.5f);  // 7 N m on 3 kg m^2 about x: 7/6 rad/s more in half a second, at 256 angle units a turn
    EXPECT_NEAR(f.rot()[0], 1.0f + 7.0f / 6.0f * 128.0f / M_PI, 1e-3f);
    f.v->handle_ground_intersect();
    EXPECT_TRUE(f.v->has_flags(THING_EXPLODING) && f.v->get_explosion_delay_counter() == 0.0f);
    f.v->get_force(force), f.v->get_rforce(torque);
    EXPECT_EQ(force[2] + torque[0], 0.0f);  // a wreck has no engines
    EXPECT_TRUE(f.vel() == V3({0, 0, 0}) && f.rot() == V3({0, 0, 0}));
}

TEST(Vessel, SteeringGoesToTheItemsUnlessAStabilizerDrivesAndMatchSpeedChoosesTheMode)
{
    FLIGHT f(new VESSEL(), 1);
    VESSEL* v = f.v;
    f.p->max_aforce = 10.0f;  // stabilizer speed 10 * 4 / 2 = 20
    v->set_thrust(2.0f, 1);  // stabilizer off: straight to the items; the set-point unclamped
    EXPECT_EQ(V3({v->get_thrust_input(1), v->get_target_vel(1), f.p->thrust[1]}), V3({1, 40, 2}));
    v->set_stabilizer(true), v->set_thrust(-0.5f, 1), v->set_thrust(0.5f, 5);
    EXPECT_EQ(std::make_pair(v->get_target_vel(1), v->get_target_vel(5)), std::make_pair(-10.0f, 64.0f));
    v->set_rstabilizer(true), v->set_thrust(0.25f, 5);
    EXPECT_EQ(v->get_thrust_input(5), 0.25f);  // the last command on each axis is kept
    v->set_thrust(1.0f, 7);  // every axis at once: always to the items
    EXPECT_EQ(V3({f.p->thrust[1], f.p->thrust[5], f.p->thrust[7]}), V3({2.0f, 0.5f, 1.0f}));
    f.run(DT);  // at rest, 0.25 x 128 angle units/s short: 0.01 a unit
    EXPECT_FLOAT_EQ(f.p->thrust[5], 0.32f);
    v->set_thrust(-2.0f, 0);
    EXPECT_EQ(std::make_pair(v->get_thrust_input(0), v->get_target_vel(0)), std::make_pair(-1.0f, -40.0f));
    v->set_thrust(NAN, 0);  // nonsense commands nothing
    EXPECT_EQ(std::make_pair(v->get_thrust_input(0), v->get_target_vel(0)), std::make_pair(0.0f, 0.0f));
    auto match = [&](float speed) { return v->match_speed(speed), std::make_pair(v->get_thrust_input(1), v->get_long_distance()); };
    EXPECT_EQ(match(20.0f), std::make_pair(1.0f, false));
    EXPECT_EQ(match(50.0f), std::make_pair(0.5f, true));  // beyond the stabilizer speed: five times the set-point
    f.p->max_aforce = 0.0f;  // no thrusters: nothing to match
    EXPECT_EQ(match(50.0f), std::make_pair(0.0f, false));
    std::vector<int> seen;  // rotation and horizon stabilizers as 2 R + H
    for (int i = 0; i < 4; i++)
        v->toggle_rhstabilizer(), seen.push_back(2 * v->get_rstabilizer() + v->get_hstabilizer());
    v->toggle_rstabilizer();  // also clears the horizon stabilizer
    EXPECT_TRUE(seen == std::vector<int>({3, 0, 2, 3}) && !v->get_rstabilizer() && !v->get_hstabilizer());
    f.run(1.0f);  // flying: without vertical force the weight is left out, the fall only braked
    ASSERT_LT(f.lvel()[2], -1.0f);
    EXPECT_NEAR(f.p->thrust[2], -f.lvel()[2] * 0.05f, 1e-5);
    f.p->max_forces[2] = 80.0f, f.p->max_aforce = 10.0f;  // stabilizer speed 20
    f.v->set_thrust(0.1f, 1), f.run(DT);                   // set-point 2 m/s
    EXPECT_NEAR(f.p->thrust[2], -f.lvel()[2] * 0.05f + 0.25f * 2.0f * gravity / 80.0f, 1e-5);
    EXPECT_NEAR(f.p->thrust[1], 0.1f, 1e-6);
    f.v->set_long_distance(true), f.run(DT);  // forward at five times the set-point
    EXPECT_NEAR(f.p->thrust[1], 0.5f, 1e-6);
}

TEST(Vessel, EnergyIsSharedInProportionAndTheShieldRechargesToItsMaximum)
{
    FLIGHT f(new VESSEL(), 4);  // the last slot stays empty
    PROBE_ITEM *small = f.p, *big = new PROBE_ITEM();
    f.v->fill_slot(1, new NUKEGEN()), f.v->fill_slot(2, big);
    small->need = 10.0f, big->need = 30.0f;
    f.v->update_resources(DT);
    EXPECT_EQ(small->last_fraction, -1.0f);  // no shield: nobody is told how full it is
    EXPECT_EQ(std::make_pair(f.v->get_energy_output(), f.v->get_energy_need()), std::make_pair(105.0f, 40.0f));  // hull 5, reactor 100
    small->need = big->need = 0.0f;
    f.v->update_resources(DT);  // no demand: nobody is granted anything
    EXPECT_TRUE(small->consumed == std::vector<float>{26.25f} && big->consumed == std::vector<float>{78.75f});
    SHIELD* s = shield(10, 2);
    f.v->fill_slot(3, s), f.v->reduce_shield(7.5f), f.v->update_resources(DT);
    EXPECT_FLOAT_EQ(small->last_fraction, 0.25f);
    EXPECT_FLOAT_EQ(s->get_energy_need(), 2.0f);  // not full: asks for its charge rate
    f.run(1.0f);
    EXPECT_NEAR(f.v->get_shield(), 4.5f, 1e-3);
    f.run(5.0f);
    EXPECT_EQ(f.v->get_shield(), 10.0f);
}


TEST(Vessel, FallingTheTapesAndFlightPathMarkerFollowTheFlightAndTheHeadTurnsAtTheGlanceRate)
{
    FLIGHT f(new VESSEL());
    VESSEL* v = f.v;
    auto at = [](THING* n) { return V3({n->get_rel().t[0], n->get_rel().t[1], n->get_rel().t[2]}); };
    EXPECT_TRUE(at(v->get_pilot()) == V3({0, 0, 0}) && at(v->get_hud_target_dir()) == V3({0, hud_viewdist, 0}));  // no PILOT line
    v->parse_vhd("PILOT = 1, 2, 3\n");  // the eye off the hull's centre: the marks sit round the eye
    EXPECT_TRUE(at(v->get_hud_boresight()) == V3({1, 2 + hud_viewdist, 3}) && at(v->get_hud_altitude()) == V3({1, 2 + hud_viewdist, 3}));
    v->locate_rel(0, 0, 500);
    f.run(DT);  // the first tick starts at rest: the markers look ahead; no gun: the aim mark behind the eye
    EXPECT_EQ(hud(v->get_hud_velocity())->get_style(), (unsigned)HUD_AT_REST);
    EXPECT_EQ(V3({v->get_hud_velocity()->get_rel().t[1], v->get_hud_rvelocity()->get_rel().t[1],
                  v->get_hud_aim()->get_rel().t[1]}), V3({2 + hud_viewdist, 2 - hud_viewdist, 2 - hud_viewdist}));
    f.run(DT);  // falling at 0.16 m/s: moving
    EXPECT_EQ(hud(v->get_hud_velocity())->get_style(), (unsigned)HUD_VELOCITY);
    f.run(1.0f - 2 * DT);
    V3 acc{9, 9, 9};
    v->get_acc(acc.data());
    EXPECT_TRUE(acc == V3({0, 0, -9.81f}) && near3(f.vel().data(), {0, 0, -9.81f}, 1e-3));
    EXPECT_NEAR(v->get_rel().t[2], 500.0f - 0.5f * 9.81f * (1.0f + DT), 1e-3);  // explicit Euler
    HUDMODEL *alt = hud(v->get_hud_altitude()), *speed = hud(v->get_hud_speed());  // where the tick began
    EXPECT_TRUE(near3(V3({alt->get_value(), alt->get_delta(), speed->get_value()}).data(),
                      {500.0f - 0.5f * 9.81f * (1.0f - DT), -9.81f, 9.81f * (1.0f - DT)}, 1e-3f));
    EXPECT_NEAR(speed->get_delta(), -9.81f, 1e-3);  // not along the nose: negative
    EXPECT_TRUE(near3(v->get_hud_velocity()->get_rel().t, {1, 2, 3 - hud_viewdist}, 1e-5f));  // on the flight path: down
    EXPECT_TRUE(near3(v->get_hud_rvelocity()->get_rel().t, {1, 2, 3 + hud_viewdist}, 1e-5f));
    MATRIX_f nose_down;
    get_x_rotate_matrix_f(&nose_down, -32.0f);
    v->set_rel(nose_down), f.run(2 * DT);
    EXPECT_NEAR(speed->get_delta(), 9.81f, 1e-3);  // along it: positive
    auto head = [&] { std::array<float, 2> h; f.v->get_head_angle(h.data()); return h; };
    f.v->set_pilot(150, -100, true), f.v->set_pilot(-150, 100, false);  // as far as the head turns
    f.run(0.5f);                                                      // 64 units at 128 per second
    EXPECT_TRUE(fabsf(head()[0] - 32.0f) < 1e-3f && fabsf(head()[1]) < 1e-3f);
    const MATRIX_f& eye = v->get_pilot()->get_rel();  // looking an eighth of a turn aside
    EXPECT_TRUE(fabsf(fabsf(eye.v[0][1]) - sqrtf(0.5f)) < 1e-4f && fabsf(eye.v[1][1] - sqrtf(0.5f)) < 1e-4f);
    f.run(1.1f);
    EXPECT_EQ(head(), (std::array<float, 2>{-96.0f, 64.0f}));
}

TEST(Vessel, TargetMarksPointAtTheTargetInTeamColoursAndTheAimMarkAlongTheShots)
{
    FLIGHT f(new VESSEL(), 2);
    VESSEL* v = f.v;
    v->parse_vhd("PILOT = 1, 2, 3\n");  // the marks sit round the eye
    GUN* gun = new GUN();
    gun->parse_file_string("SLOTTYPE = G\nBSPEED = 300\nMAXAMMO = 5\n");
    MATRIX_f up;
    get_x_rotate_matrix_f(&up, 64);  // its barrel points up
    v->fill_slot(1, gun), gun->set_rel(up), v->next_gun_type(), v->set_team(1);
    struct BALL : VESSEL { float get_radius() override { return 5.0f; } };
    VESSEL* foe = new BALL();
    foe->locate_rel(30, 40, 0);  // ahead and to the right, 50 m off
    f.world.add_child(foe), f.world.update_abs_matrix();
    f.p->force[2] = v->get_m() * gravity;  // exactly carries the weight
    float drift[3] = {300.0f * v->get_m(), 0, 0};  // 300 m/s to the right
    v->set_impulse(drift), v->set_target(foe), f.run(DT);
    const float side = sqrtf(0.5f) * hud_viewdist;  // the aim mark: up and right alike
    float eye[3];
    v->get_pilot_pos(eye);
    EXPECT_TRUE(near3(eye, {1, 2, 3}, 0) && near3(v->get_hud_aim()->get_rel().t, {1 + side, 2, 3 + side}, 1e-3f));
    EXPECT_TRUE(near3(v->get_hud_velocity()->get_rel().t, {1 + hud_viewdist, 2, 3}, 1e-3f) &&
                near3(v->get_hud_rvelocity()->get_rel().t, {1 - hud_viewdist, 2, 3}, 1e-3f));  // drifting right
    EXPECT_NEAR(f.p->last_calibrate, 50.0f, 1e-3);
    EXPECT_TRUE(near3(v->get_hud_target()->get_rel().t, {1 + 0.6f * hud_viewdist, 2 + 0.8f * hud_viewdist, 3}, 1e-4f));
    HUDMODEL *arrow = hud(v->get_hud_target_dir()), *box = hud(v->get_hud_target());
    EXPECT_TRUE(near3(V3({arrow->get_value(), arrow->get_delta(), box->get_size()}).data(),
                      {(float)M_PI / 2.0f, 0.48f, 5.0f * hud_viewdist / 50.0f}, 1e-4f));  // the box as wide as the foe
    for (auto [team, colour] : {std::pair<int, int>{2, 15}, {1, 17}, {0, 16}}) {  // foe, friend, neutral
        foe->set_team(team);
        f.run(DT);
        EXPECT_TRUE(box->get_color()[1] == get_kvor_color_g(colour) && arrow->get_color()[0] == get_kvor_color_r(colour)) << team;
    }
    for (auto [a, b, relation] : {std::array<int, 3>{0, 1, 0}, {2, 0, 0}, {2, 2, 1}, {1, 2, -1}})
        EXPECT_EQ(get_team_relation(a, b), relation) << a << " " << b;
    foe->locate_rel(v->get_abs().t);  // right where the vessel is: the box straight ahead, no direction
    f.world.update_abs_matrix(), f.run(DT);
    EXPECT_TRUE(near3(v->get_hud_target()->get_rel().t, {1, 2 + hud_viewdist, 3}, 1e-4f) && f.p->last_calibrate == 0.0f);
    f.p->last_calibrate = -1.0f;
    foe->explode(), f.run(DT);  // a target that explodes is dropped
    EXPECT_TRUE(v->get_target() == nullptr && f.p->last_calibrate == 0.0f);
    EXPECT_FLOAT_EQ(box->get_color()[1], get_kvor_color_g(16));
}

// World order: a, vessel, buoy, rock, d; the vessel at the origin looks
// along +y.
struct TargetSelection : testing::Test {
    template <class T> T* adopt(T* t, unsigned flags = 0, float x = 0, float y = 0)
    {
        world.add_child(t);
        t->set_flags(flags);
        t->locate_rel(x, y, 0);
        return t;
    }
    THING* pick(void (VESSEL::*select)(unsigned long, unsigned long), unsigned long reject = THING_NAVPOINT)
    {
        world.update_abs_matrix();
        (vessel->*select)(THING_TARGETABLE, reject);
        return vessel->get_target();
    }
    THING world;
    THING* a = adopt(new THING(), THING_TARGETABLE, 0, 10);
    VESSEL* vessel = adopt(new VESSEL());
    THING* buoy = adopt(new THING(), THING_TARGETABLE | THING_NAVPOINT, 0, 50);
    THING* rock = adopt(new THING(), 0, 0, 3);
    THING* d = adopt(new THING(), THING_TARGETABLE, 30, -40);
};

TEST_F(TargetSelection, NextAndPreviousSkipTheVesselItselfAndWrap)
{
    EXPECT_EQ(pick(&VESSEL::select_next_target), a);
    EXPECT_EQ(pick(&VESSEL::select_next_target), d);  // past itself and the buoy
    EXPECT_EQ(pick(&VESSEL::select_next_target), a);  // wrapped
    EXPECT_EQ(pick(&VESSEL::select_prev_target), d);  // from the first node to the end
    EXPECT_EQ(pick(&VESSEL::select_prev_target, 0), buoy);
    EXPECT_EQ(pick(&VESSEL::select_prev_target), a);  // past itself
    a->set_flags(THING_EXPLODING);
    EXPECT_EQ(pick(&VESSEL::select_next_target), d);
    EXPECT_EQ(pick(&VESSEL::select_prev_target), d);
    d->set_flags(THING_DEAD);
    vessel->set_target(vessel);
    EXPECT_EQ(pick(&VESSEL::select_next_target), nullptr);  // only itself is left
    EXPECT_TRUE(find_prev_thing(a, d) == rock && find_prev_thing(a, a) == nullptr && find_prev_thing(a, nullptr) == nullptr);
}

TEST_F(TargetSelection, NearestWithinAHundredKilometresAndAheadAtTheSmallestAngle)
{
    EXPECT_EQ(pick(&VESSEL::select_ahead_target, 0), a);  // the buoy is as straight ahead but later
    vessel->locate_rel(5, 0, 0), a->locate_rel(-5, 10, 0), buoy->locate_rel(5, 50, 0);  // angles from the vessel
    EXPECT_EQ(pick(&VESSEL::select_ahead_target, 0), buoy);
    vessel->locate_rel(100, 100, 100), d->locate_rel(110, 100, 100);  // distances count from the vessel
    EXPECT_EQ(pick(&VESSEL::select_nearest_target), d);  // 10 m; a is 150 m, the rock is not targetable
    vessel->locate_rel(0, -20, 0);
    a->locate_rel(0, 99979, 0);
    d->locate_rel(0, -100021, 0);
    EXPECT_EQ(pick(&VESSEL::select_nearest_target), a);
    a->locate_rel(0, 99981, 0);
    EXPECT_EQ(pick(&VESSEL::select_nearest_target), nullptr);
    vessel->locate_rel(0, 0, 0);
    a->locate_rel(0, -10, 0);
    buoy->locate_rel(0, -30, 5);
    EXPECT_EQ(pick(&VESSEL::select_ahead_target, 0), nullptr);  // everything behind
}

// Every shipped vessel, 1000 m up with its stabilizers on: it assembles,
// hovers, reaches its stabilizer speed and stops again, slides the way it is
// told and damps the drift, and turns at a pleasant rate about every axis.
TEST(ShippedVessels, EachHoversCruisesSlidesAndTurnsAsItsPilotAsks)
{
    SHIPPED_DATA data;
    const float full_rate = 128.0f;  // angle units/s: the rotation set-point at full input
    for (const char* vcd : {"victim.vcd", "allrounder.vcd", "interceptor.vcd", "gunship.vcd", "carrier.vcd"}) {
        SCOPED_TRACE(vcd);
        VESSEL* v = new VESSEL();
        v->load_vcd(data.file(vcd).c_str());
        FLIGHT f(v);
        const float s = v->get_stabilizer_speed();
        EXPECT_TRUE(v->get_max_shield() > 0.0f && s > 60.0f) << s;
        v->set_stabilizer(true), v->set_rstabilizer(true), v->locate_rel(0, 0, 1000);
        float lowest = 0.0f;
        auto fly = [&](float seconds) {
            for (int i = 0; i < (int)lroundf(seconds / DT); i++)
                f.run(DT), lowest = std::min(lowest, f.vel()[2]);
        };
        fly(10.0f);
        EXPECT_TRUE(fabsf(v->get_rel().t[2] - 1000.0f) < 5.0f && std::hypot(f.vel()[0], f.vel()[1]) < 0.01f);
        v->set_thrust(1.0f, 1), fly(20.0f);
        EXPECT_TRUE(f.lvel()[1] > 0.97f * s && f.lvel()[1] < 1.01f * s) << f.lvel()[1] << " of " << s;
        v->set_thrust(0.0f, 1), fly(20.0f);  // back to a stop as readily
        EXPECT_NEAR(f.lvel()[1], 0.0f, 0.03f * s);
        EXPECT_GT(lowest, -0.5f);  // m/s: never sinking while the stabilizer holds it
        for (float right : {1.0f, -1.0f}) {  // right is +x
            v->set_thrust(right, 0), fly(right > 0 ? 2.0f : 4.0f);
            EXPECT_GT(right * f.vel()[0], 5.0f);
        }
        v->set_thrust(0.0f, 0), fly(10.0f);  // drift with nothing asked for dies away
        EXPECT_LT(fabsf(f.vel()[0]), 2.5f);
        for (int axis = 3; axis < 6; axis++) {
            v->set_thrust(1.0f, axis), fly(0.25f);  // answers within a quarter of a second...
            EXPECT_GT(fabsf(f.rot()[axis - 3]), 0.2f * full_rate) << axis;
            fly(1.25f);  // ...turns near the full rate after one and a half, without overshooting...
            EXPECT_TRUE(fabsf(f.rot()[axis - 3]) > 0.8f * full_rate && fabsf(f.rot()[axis - 3]) < 1.01f * full_rate);
            v->set_thrust(0.0f, axis), fly(2.0f);  // ...and stops within two seconds of letting go
            EXPECT_LT(fabsf(f.rot()[axis - 3]), 0.05f * full_rate) << axis;
        }
        MATRIX_f roll;  // banked an eighth of a turn, the horizon stabilizer rolls the wings level
        get_y_rotate_matrix_f(&roll, 32.0f);
        v->set_rel(roll), v->set_hstabilizer(true);
        for (int i = 0; i < 600; i++)
            v->set_thrust(0.0f, 4), f.run(DT);  // the roll set-point follows the bank each frame
        EXPECT_NEAR(v->get_abs().v[2][0], 0.0f, 1e-3);  // no bank left: x lies level
    }
}
