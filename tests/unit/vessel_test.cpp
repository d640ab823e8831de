// VESSEL: slots and their sums, steering and the stabilizers, the energy
// budget, the pilot's head, the HUD feed, and whole flights at a fixed dt on
// vessels assembled from definition files.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "equipment/jet.h"
#include "equipment/nukegen.h"
#include "equipment/shield.h"
#include "game/globals.h"
#include "render/hudmodel.h"
#include "test_data_path.h"
#include "ui/colors.h"
#include "vessel/vessel.h"

namespace {

const float DT = 1.0f / 60.0f;

// An item whose answers the test sets and whose commands it records.
class PROBE_ITEM : public SLOTTHING {
public:
    float force[3] = {0, 0, 0};
    float rforce[3] = {0, 0, 0};
    float max_forces[6] = {0, 0, 0, 0, 0, 0};
    float max_aforce = 0.0f;
    float need = 0.0f;
    float thrust[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<float> consumed;
    float last_calibrate = -1.0f;
    float last_fraction = -1.0f;
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
    THING* crop_spawn() override
    {
        THING* t = spawn;
        spawn = nullptr;
        return t;
    }
};

// A vessel with n empty slots, the mounting matrices the hull's axes.
VESSEL* vessel_with_slots(int n)
{
    VESSEL* v = new VESSEL();
    for (int i = 0; i < n; i++)
        EXPECT_EQ(v->add_slot(), i);
    return v;
}

PROBE_ITEM* fit_probe(VESSEL* v, int index)
{
    PROBE_ITEM* p = new PROBE_ITEM();
    EXPECT_TRUE(v->fill_slot(index, p));
    return p;
}

// A world with one vessel in it, stepped the way the frame loop does.
class FLIGHT {
public:
    explicit FLIGHT(VESSEL* v) : vessel(v)
    {
        world.add_child(v);
        world.update_abs_matrix();
    }
    void run(float seconds)
    {
        int steps = (int)lroundf(seconds / DT);
        for (int i = 0; i < steps; i++) {
            world.tick_children(DT);
            world.update_abs_matrix();
        }
    }
    void vel(float* out) { vessel->get_vel(out); }

    THING world;
    VESSEL* vessel;  // owned by the world
};

// The test fleet's definition files.
const float HULL_MASS = 100.0f, JET_MASS = 10.0f, RJET_MASS = 10.0f;
const float JET_POWER = 3000.0f;
const float RJET_TORQUE[3] = {500.0f, 500.0f, 400.0f};
const float RJET_FORCE = 2000.0f;  // along each of its own axes

void write_fleet(const TEST_DATA_PATH& data)
{
    // Both slots keep the hull's axes: the jet pushes forward (+y), the
    // rotator's own z is the hull's up.
    data.write("hull.vhd",
               "SHORTNAME = Tester\nMASS = 100\nRMASS = 50, 50, 50\n"
               "SLOT = J, 0, -2, 0,  0, 1, 0,  0, 0, -1\n"
               "SLOT = R, 0, 1, 0,  0, 1, 0,  0, 0, -1\n");
    data.write("jet.sid", "THINGTYPE = JET\nNAME = Main engine\nMASS = 10\nPOWER = 3000\n");
    data.write("rjet.sid", "THINGTYPE = RJET\nMASS = 10\nPOWER = 500, 500, 400, 2000, 2000, 2000\n");
    data.write("bare.vcd", "VHD = hull.vhd\n");
    data.write("ship.vcd", "VHD = hull.vhd\nITEM = 0, jet.sid\nITEM = 1, rjet.sid\n");
}

VESSEL* load_ship(const TEST_DATA_PATH& data, const char* vcd)
{
    VESSEL* v = new VESSEL();
    v->load_vcd(data.file(vcd).c_str());
    return v;
}


}  // namespace

// ------------------------------------------------------------ construction

TEST(VesselConstruction, PilotFirstThenCockpitAndHudNodesShownOnlyWithTheHud)
{
    VESSEL v;
    EXPECT_EQ(v.get_first_child(), v.get_pilot());
    THING* nodes[] = {v.get_cockpit(),  v.get_hud_velocity(), v.get_hud_rvelocity(), v.get_hud_boresight(),
                      v.get_hud_aim(),  v.get_hud_speed(),    v.get_hud_altitude(),  v.get_hud_target(),
                      v.get_hud_target_dir()};
    const unsigned styles[] = {HUD_VELOCITY,  HUD_RVELOCITY,  HUD_BORESIGHT, HUD_AIM,
                               HUD_TAPE_LEFT, HUD_TAPE_RIGHT, HUD_SQUARE,    HUD_POINTER};
    THING* c = v.get_pilot()->get_next();
    for (size_t i = 0; i < 9; i++, c = c->get_next()) {
        ASSERT_EQ(c, nodes[i]) << i;
        if (i > 0) {
            EXPECT_EQ(dynamic_cast<HUDMODEL*>(c->get_model())->get_style(), styles[i - 1]) << i;
        }
    }
    EXPECT_EQ(c, nullptr);
    EXPECT_TRUE(v.get_cockpit()->has_flags(THING_HIDDEN));
    EXPECT_FLOAT_EQ(v.get_hud_boresight()->get_rel().t[1], hud_viewdist);
    v.hud_on();
    for (THING* n : nodes)
        EXPECT_FALSE(n->has_flags(THING_HIDDEN));
    v.hud_off();
    for (THING* n : nodes)
        EXPECT_TRUE(n->has_flags(THING_HIDDEN));
    EXPECT_FALSE(v.get_pilot()->has_flags(THING_HIDDEN));
}

// ------------------------------------------------------------ slots

TEST(VesselSlots, ThirtyTwoAtMostAndAnItemGoesOnlyIntoAnEmptyOne)
{
    VESSEL v;
    MATRIX_f m;
    get_translation_matrix_f(&m, 0, 5, 3);
    EXPECT_EQ(v.add_slot(m, SLOT_ROTATOR), 0);
    EXPECT_EQ(v.get_slot_type(0), SLOT_ROTATOR);
    for (int i = 1; i < MAX_SLOTS; i++)
        ASSERT_EQ(v.add_slot(), i);
    EXPECT_EQ(v.add_slot(), -1);
    EXPECT_EQ(v.add_slot(m, SLOT_JET), -1);

    SLOTTHING* gun = new SLOTTHING();
    gun->handle_file_command("SLOTTYPE", "G\n");
    EXPECT_TRUE(v.fill_slot(0, gun));  // types are not compared
    EXPECT_EQ(v.get_slot_item(0), gun);
    EXPECT_EQ(gun->get_parent(), &v);
    EXPECT_EQ(v.get_last_child(), gun);
    EXPECT_FLOAT_EQ(gun->get_rel().t[1], 5.0f);  // placed by the slot's matrix
    SLOTTHING* other = new SLOTTHING();
    for (int taken_or_missing : {0, -1, MAX_SLOTS})
        EXPECT_FALSE(v.fill_slot(taken_or_missing, other)) << taken_or_missing;
    EXPECT_EQ(other->get_parent(), nullptr);
    EXPECT_TRUE(v.fill_slot(MAX_SLOTS - 1, other));
    EXPECT_EQ(v.get_slot_item(MAX_SLOTS - 1), other);
    for (int outside : {-1, MAX_SLOTS}) {
        EXPECT_EQ(v.get_slot_item(outside), nullptr);
        EXPECT_EQ(v.get_slot(outside), nullptr);
        EXPECT_EQ(v.get_slot_type(outside), -1);
    }
    v.clear_slot(-1);
    v.clear_slot(MAX_SLOTS);
    v.clear_slot(0);
    EXPECT_EQ(v.get_slot_item(0), nullptr);
    EXPECT_EQ(v.get_last_child(), other);
}

TEST(VesselSlots, ShieldsSumOnFitClearAndAHullReload)
{
    VESSEL* v = vessel_with_slots(2);
    SHIELD* base = new SHIELD();
    base->set_power(50);
    base->set_charge_rate(2);
    ASSERT_TRUE(v->fill_slot(0, base));
    v->set_shield_percent(40);
    EXPECT_FLOAT_EQ(v->get_shield(), 20.0f);
    SHIELD* extra = new SHIELD();
    extra->set_power(100);
    ASSERT_TRUE(v->fill_slot(1, extra));
    EXPECT_FLOAT_EQ(v->get_shield(), 120.0f);  // a new shield comes charged
    EXPECT_FLOAT_EQ(v->get_max_shield(), 150.0f);
    EXPECT_FLOAT_EQ(v->get_shield_charge_rate(), 3.0f);
    v->clear_slot(1);
    EXPECT_FLOAT_EQ(v->get_shield(), 50.0f);
    EXPECT_FLOAT_EQ(v->get_max_shield(), 50.0f);
    EXPECT_FLOAT_EQ(v->get_shield_charge_rate(), 2.0f);
    v->set_shield_percent(-50);
    EXPECT_FLOAT_EQ(v->get_shield(), 25.0f);
    delete v;

    TEST_DATA_PATH data;
    data.write("shield.sid", "THINGTYPE = SHIELD\nPOWER = 10\nCHARGE = 4\n");
    data.write("a.vhd", "SLOT = X, 0,0,0, 0,1,0, 0,0,-1\nITEM = shield.sid\n");
    data.write("b.vhd", "SLOT = X, 0,0,0, 0,1,0, 0,0,-1\n");
    VESSEL r;
    r.load_vhd(data.file("a.vhd").c_str());
    EXPECT_FLOAT_EQ(r.get_shield_charge_rate(), 4.0f);
    r.load_vhd(data.file("b.vhd").c_str());  // the old shield's recharge goes with it
    EXPECT_FLOAT_EQ(r.get_shield_charge_rate(), 0.0f);
    EXPECT_FLOAT_EQ(r.get_max_shield(), 0.0f);
}

// ------------------------------------------------------------ sums

TEST(VesselSums, MassForcesTorquesAndStabilizerSpeedAddUpOverTheSlots)
{
    VESSEL* v = vessel_with_slots(3);
    PROBE_ITEM* a = fit_probe(v, 0);
    PROBE_ITEM* b = fit_probe(v, 2);
    a->handle_file_command("MASS", "3\n");
    b->handle_file_command("RMASS", "1, 2, 3\n");
    a->force[2] = 4;
    b->force[2] = 6;
    b->rforce[0] = 7;
    a->max_forces[5] = 1;
    b->max_forces[5] = 2;
    EXPECT_FLOAT_EQ(v->get_m(), 1.0f + 3.0f + 1.0f);
    float rm[3], f[3], t[3], f6[7];
    f6[6] = -7.0f;  // six values and no more
    v->get_rm(rm);
    EXPECT_FLOAT_EQ(rm[2], 1.0f + 1.0f + 3.0f);
    v->get_force(f);
    EXPECT_FLOAT_EQ(f[2], 10.0f);
    v->get_rforce(t);
    EXPECT_FLOAT_EQ(t[0], 7.0f);
    v->get_max_forces(f6);
    EXPECT_FLOAT_EQ(f6[5], 3.0f);
    EXPECT_FLOAT_EQ(f6[6], -7.0f);
    // The stabilizer speed is reached in four seconds at full force.
    a->max_aforce = 15.0f;
    b->max_aforce = 5.0f;
    EXPECT_FLOAT_EQ(v->get_stabilizer_speed(), 20.0f * 4.0f / 5.0f);
    b->handle_file_command("MASS", "-4\n");  // items have no lower mass limit
    EXPECT_FLOAT_EQ(v->get_stabilizer_speed(), 0.0f);

    v->explode();
    v->get_force(f);
    v->get_rforce(t);
    EXPECT_FLOAT_EQ(f[2], 0.0f);
    EXPECT_FLOAT_EQ(t[0], 0.0f);
    delete v;
}

// ------------------------------------------------------------ steering

TEST(VesselSteering, SetThrustStoresClampedInputAndLetsTheStabilizerDrive)
{
    VESSEL* v = vessel_with_slots(1);
    PROBE_ITEM* p = fit_probe(v, 0);
    p->max_aforce = 10.0f;  // stabilizer speed 10 * 4 / 2 = 20
    v->set_thrust(2.0f, 1);
    EXPECT_FLOAT_EQ(v->get_thrust_input(1), 1.0f);
    EXPECT_FLOAT_EQ(v->get_target_vel(1), 40.0f);  // the set-point takes the unclamped value
    EXPECT_FLOAT_EQ(p->thrust[1], 2.0f);           // stabilizer off: straight to the items

    v->set_stabilizer(true);
    p->thrust[1] = 0.0f;
    v->set_thrust(-0.5f, 1);
    EXPECT_FLOAT_EQ(v->get_target_vel(1), -10.0f);
    EXPECT_FLOAT_EQ(p->thrust[1], 0.0f);

    v->set_thrust(0.5f, 5);
    EXPECT_FLOAT_EQ(v->get_target_vel(5), 64.0f);
    EXPECT_FLOAT_EQ(p->thrust[5], 0.5f);
    v->set_rstabilizer(true);
    v->set_thrust(0.25f, 5);
    EXPECT_FLOAT_EQ(p->thrust[5], 0.5f);

    v->set_thrust(1.0f, 7);  // every axis: always to the items
    EXPECT_FLOAT_EQ(p->thrust[7], 1.0f);
    v->set_thrust(NAN, 0);
    EXPECT_FLOAT_EQ(v->get_thrust_input(0), 0.0f);
    EXPECT_FLOAT_EQ(v->get_target_vel(0), 0.0f);
    delete v;
}

TEST(VesselSteering, HorizonStabilizerAddsTheBankToTheRollSetPoint)
{
    VESSEL v;
    MATRIX_f roll;
    get_y_rotate_matrix_f(&roll, 32.0f);  // an eighth of a turn about the forward axis
    v.set_rel(roll);
    v.update_abs_matrix();
    float bank = atan2f(v.get_abs().v[2][0], v.get_abs().v[2][2]);
    ASSERT_GT(fabsf(bank), 0.5f);
    v.set_thrust(0.0f, 4);
    EXPECT_FLOAT_EQ(v.get_target_vel(4), 0.0f);
    v.set_hstabilizer(true);
    v.set_thrust(0.0f, 4);
    EXPECT_FLOAT_EQ(v.get_target_vel(4), -bank * 64.0f);
}

TEST(VesselSteering, StabilizerSwitchesCycleAsTheKeysDo)
{
    VESSEL v;
    auto rh = [&] { return std::make_pair(v.get_rstabilizer(), v.get_hstabilizer()); };
    v.toggle_rhstabilizer();  // off -> R -> R + H -> off
    EXPECT_EQ(rh(), std::make_pair(true, false));
    v.toggle_rhstabilizer();
    EXPECT_EQ(rh(), std::make_pair(true, true));
    v.toggle_rhstabilizer();
    EXPECT_EQ(rh(), std::make_pair(false, false));
    v.set_hstabilizer(true);
    v.toggle_rstabilizer();  // also clears the horizon stabilizer
    EXPECT_EQ(rh(), std::make_pair(true, false));
    v.toggle_stabilizer();
    v.toggle_long_distance();
    EXPECT_TRUE(v.get_stabilizer() && v.get_long_distance());
}

TEST(VesselSteering, MatchSpeedScalesTheForwardSetPointAndNeedsThrusters)
{
    VESSEL* v = vessel_with_slots(1);
    v->set_long_distance(true);
    v->match_speed(50.0f);  // no thrusters yet: nothing to match
    EXPECT_EQ(v->get_thrust_input(1), 0.0f);
    EXPECT_EQ(v->get_target_vel(1), 0.0f);
    EXPECT_FALSE(v->get_long_distance());
    PROBE_ITEM* p = fit_probe(v, 0);
    p->max_aforce = 10.0f;  // stabilizer speed 20
    v->match_speed(20.0f);
    EXPECT_TRUE(v->get_stabilizer());
    EXPECT_FALSE(v->get_long_distance());
    EXPECT_FLOAT_EQ(v->get_thrust_input(1), 1.0f);
    v->match_speed(50.0f);  // beyond it: long-distance mode
    EXPECT_TRUE(v->get_long_distance());
    EXPECT_FLOAT_EQ(v->get_thrust_input(1), 50.0f / (20.0f * 5.0f));
    delete v;
}

TEST(VesselSteering, StabilizerBrakesTheFallAndCarriesAQuarterOfTheWeight)
{
    VESSEL* v = vessel_with_slots(1);
    PROBE_ITEM* p = fit_probe(v, 0);
    v->set_stabilizer(true);
    FLIGHT f(v);
    f.run(1.0f);
    // No vertical force: the weight is left out, the fall only braked.
    float lvel[3];
    v->get_lvel(lvel);  // what the last command was made from
    ASSERT_LT(lvel[2], -1.0f);
    EXPECT_NEAR(p->thrust[2], -lvel[2] * vessel_stabilizer_strength, 1e-5);

    VESSEL* w = vessel_with_slots(1);
    PROBE_ITEM* q = fit_probe(w, 0);
    q->max_forces[2] = 80.0f;
    w->set_stabilizer(true);
    FLIGHT g(w);
    g.run(DT);
    EXPECT_FLOAT_EQ(q->thrust[2], 0.25f * 2.0f * gravity / 80.0f);
    EXPECT_FLOAT_EQ(q->thrust[0] + q->thrust[1], 0.0f);
}

// ------------------------------------------------------------ pilot

TEST(VesselPilot, SetPilotClampsAndTurnsAtTheGlanceRate)
{
    VESSEL* v = new VESSEL();
    float head[2];
    v->set_pilot(200, -100, true);
    v->get_head_angle(head);
    EXPECT_FLOAT_EQ(head[0], 96.0f);
    EXPECT_FLOAT_EQ(head[1], -64.0f);

    v->set_pilot(0, 0, false);
    FLIGHT f(v);
    f.run(0.5f);  // 64 units at 128 per second
    v->get_head_angle(head);
    EXPECT_NEAR(head[0], 32.0f, 1e-3);
    EXPECT_NEAR(head[1], 0.0f, 1e-3);
    f.run(0.5f);
    v->get_head_angle(head);
    EXPECT_FLOAT_EQ(head[0], 0.0f);

    v->set_pilot(64, 0, true);
    THING* eye = v->get_pilot();
    MATRIX_f expect;
    get_rotation_matrix_f(&expect, 0, 0, 64);
    EXPECT_NEAR(eye->get_rel().v[0][1], expect.v[0][1], 1e-6);
    EXPECT_NEAR(eye->get_rel().v[1][0], expect.v[1][0], 1e-6);
}

// ------------------------------------------------------------ energy

TEST(VesselEnergy, SharedInProportionToWhatEachAsked)
{
    VESSEL* v = vessel_with_slots(4);  // the last stays empty
    NUKEGEN* reactor = new NUKEGEN();
    ASSERT_TRUE(v->fill_slot(0, reactor));
    PROBE_ITEM* small = fit_probe(v, 1);
    PROBE_ITEM* big = fit_probe(v, 2);
    small->need = 10.0f;
    big->need = 30.0f;
    v->update_resources(DT);
    EXPECT_FLOAT_EQ(v->get_energy_output(), 105.0f);
    EXPECT_FLOAT_EQ(v->get_energy_need(), 40.0f);
    ASSERT_EQ(small->consumed.size(), 1u);
    EXPECT_FLOAT_EQ(small->consumed[0], 10.0f * 105.0f / 40.0f);
    EXPECT_FLOAT_EQ(big->consumed[0], 30.0f * 105.0f / 40.0f);

    small->need = big->need = 0.0f;
    v->update_resources(DT);
    EXPECT_EQ(small->consumed.size(), 1u);  // no demand: nobody is granted anything
    delete v;
}

TEST(VesselEnergy, ShieldRechargesToItsMaximumAndItemsHearHowFullItIs)
{
    VESSEL* v = vessel_with_slots(2);
    PROBE_ITEM* p = fit_probe(v, 0);
    v->update_resources(DT);
    EXPECT_FLOAT_EQ(p->last_fraction, -1.0f);  // no maximum: nobody is told
    SHIELD* s = new SHIELD();
    s->set_power(10);
    s->set_charge_rate(2);
    ASSERT_TRUE(v->fill_slot(1, s));
    v->reduce_shield(7.5f);
    v->update_resources(DT);
    EXPECT_FLOAT_EQ(p->last_fraction, 0.25f);
    EXPECT_FLOAT_EQ(s->get_energy_need(), 2.0f);  // not full: asks for its charge rate
    FLIGHT f(v);
    f.run(1.0f);
    EXPECT_NEAR(v->get_shield(), 4.5f, 1e-3);
    f.run(5.0f);
    EXPECT_FLOAT_EQ(v->get_shield(), 10.0f);
}

// ------------------------------------------------------------ life

TEST(VesselLife, GroundBurstsAtOnceSpawnIsOwnedAndImpulseUsesTheWholeMass)
{
    VESSEL* v = vessel_with_slots(1);
    PROBE_ITEM* p = fit_probe(v, 0);
    p->handle_file_command("MASS", "3\n");
    float in[3] = {8, 0, -4}, out[3], vel[3], rot[3], spin[3] = {1, 2, 3};
    v->set_impulse(in);
    v->get_vel(vel);
    EXPECT_FLOAT_EQ(vel[0], 2.0f);
    v->get_impulse(out);
    EXPECT_FLOAT_EQ(out[2], -4.0f);
    THING* shot = new THING();
    p->spawn = shot;
    EXPECT_EQ(v->crop_spawn(), shot);
    EXPECT_EQ(shot->get_owner(), v);
    EXPECT_EQ(v->crop_spawn(), nullptr);
    delete shot;

    v->set_rotation(spin);
    v->handle_ground_intersect();
    EXPECT_TRUE(v->has_flags(THING_EXPLODING));
    EXPECT_EQ(v->get_explosion_delay_counter(), 0.0f);
    v->get_vel(vel);
    v->get_rot(rot);
    EXPECT_EQ(vel[2], 0.0f);
    EXPECT_EQ(rot[1], 0.0f);
    delete v;

    for (auto [a, b, relation] : {std::array<int, 3>{0, 1, 0}, {2, 0, 0}, {2, 2, 1}, {1, 2, -1}})
        EXPECT_EQ(get_team_relation(a, b), relation) << a << " " << b;
}

// ------------------------------------------------------------ HUD feed

TEST(VesselHud, SpeedAltitudeAndFlightPathFollowTheFlight)
{
    VESSEL* v = new VESSEL();
    v->locate_rel(0, 0, 500);
    FLIGHT f(v);
    f.run(DT);
    HUDMODEL* marker = dynamic_cast<HUDMODEL*>(v->get_hud_velocity()->get_model());
    EXPECT_EQ(marker->get_style(), (unsigned)HUD_AT_REST);  // the first tick starts at rest
    f.run(DT);
    EXPECT_EQ(marker->get_style(), (unsigned)HUD_VELOCITY);
    HUDMODEL* alt = dynamic_cast<HUDMODEL*>(v->get_hud_altitude()->get_model());
    EXPECT_NEAR(alt->get_value(), 500.0f, 1e-2);
    EXPECT_NEAR(alt->get_delta(), -2.0f * gravity * DT, 1e-4);
    HUDMODEL* speed = dynamic_cast<HUDMODEL*>(v->get_hud_speed()->get_model());
    EXPECT_NEAR(speed->get_value(), gravity * DT, 1e-4);
    EXPECT_NEAR(speed->get_delta(), -gravity, 1e-3);  // not along the nose: negative
    // The marker sits on the flight path, straight down, one view distance off.
    EXPECT_NEAR(v->get_hud_velocity()->get_rel().t[2], -hud_viewdist, 1e-5);
    EXPECT_NEAR(v->get_hud_rvelocity()->get_rel().t[2], hud_viewdist, 1e-5);
}

TEST(VesselHud, AtRestTheMarkersLookAheadAndTargetMarksPointAtTheTargetInTeamColours)
{
    VESSEL* v = vessel_with_slots(1);
    PROBE_ITEM* p = fit_probe(v, 0);
    p->force[2] = 2.0f * gravity;  // exactly carries the weight
    v->set_team(1);
    VESSEL* foe = new VESSEL();
    foe->set_team(2);
    foe->locate_rel(30, 40, 0);  // ahead and to the right, 50 m off
    FLIGHT f(v);
    f.world.add_child(foe);
    f.world.update_abs_matrix();
    v->set_target(foe);
    f.run(DT);
    HUDMODEL* marker = dynamic_cast<HUDMODEL*>(v->get_hud_velocity()->get_model());
    EXPECT_EQ(marker->get_style(), (unsigned)HUD_AT_REST);
    EXPECT_FLOAT_EQ(v->get_hud_velocity()->get_rel().t[1], hud_viewdist);
    EXPECT_FLOAT_EQ(v->get_hud_rvelocity()->get_rel().t[1], -hud_viewdist);
    EXPECT_FLOAT_EQ(v->get_hud_aim()->get_rel().t[1], -hud_viewdist);
    EXPECT_NEAR(p->last_calibrate, 50.0f, 1e-3);
    const float* t = v->get_hud_target()->get_rel().t;
    EXPECT_NEAR(t[0], 0.6f * hud_viewdist, 1e-4);
    EXPECT_NEAR(t[1], 0.8f * hud_viewdist, 1e-4);
    HUDMODEL* arrow = dynamic_cast<HUDMODEL*>(v->get_hud_target_dir()->get_model());
    EXPECT_NEAR(arrow->get_value(), atan2f(0.6f, 0.0f), 1e-5);
    EXPECT_NEAR(arrow->get_delta(), 0.6f * 0.8f, 1e-5);
    HUDMODEL* box = dynamic_cast<HUDMODEL*>(v->get_hud_target()->get_model());
    EXPECT_FLOAT_EQ(box->get_color()[0], get_kvor_color_r(15));
    EXPECT_FLOAT_EQ(box->get_color()[1], get_kvor_color_g(15));

    foe->explode();  // a target that explodes is dropped
    f.run(DT);
    EXPECT_EQ(v->get_target(), nullptr);
    EXPECT_FLOAT_EQ(p->last_calibrate, 0.0f);
    EXPECT_FLOAT_EQ(box->get_color()[1], get_kvor_color_g(16));
}

// ------------------------------------------------------------ flights from definition files

TEST(VesselFlight, FallsAtGravityWithoutItems)
{
    TEST_DATA_PATH data;
    write_fleet(data);
    VESSEL* v = load_ship(data, "bare.vcd");
    ASSERT_NE(v->get_slot(1), nullptr);
    FLIGHT f(v);
    f.run(1.0f);
    float vel[3], acc[3];
    f.vel(vel);
    v->get_acc(acc);
    EXPECT_NEAR(vel[2], -9.81f, 1e-3);
    EXPECT_FLOAT_EQ(acc[2], -9.81f);
    EXPECT_FLOAT_EQ(vel[0], 0.0f);
    EXPECT_NEAR(v->get_rel().t[2], -0.5f * 9.81f * (1.0f + DT), 1e-3);  // explicit Euler
}

TEST(VesselFlight, StabilizerSettlesToTheSteadyClimbOfItsLaw)
{
    TEST_DATA_PATH data;
    write_fleet(data);
    VESSEL* v = load_ship(data, "ship.vcd");
    ASSERT_NE(v->get_slot_item(1), nullptr);
    v->set_stabilizer(true);
    // The law: z command c = k (0 - vz) + m g / (4 mf_z), where mf_z sums the
    // third entry of every item's maximum forces: nothing from the jet (it
    // lies along y) and the rotator's torque about z. Only the rotator's own
    // z force answers the z command, so at rest c * F = m g:
    //     vz = (m g / (4 mf_z) - m g / F) / k.
    const float m = HULL_MASS + JET_MASS + RJET_MASS;
    const float mf_z = RJET_TORQUE[2];
    const float k = 0.05f;
    const float weight = m * 9.81f;
    const float steady = (weight / (4.0f * mf_z) - weight / RJET_FORCE) / k;
    ASSERT_GT(steady, 1.0f);  // a climb, so the check means something
    FLIGHT f(v);
    f.run(30.0f);
    float vel[3];
    f.vel(vel);
    EXPECT_NEAR(vel[2], steady, 0.05f * steady);
    EXPECT_NEAR(vel[0], 0.0f, 1e-3);
    EXPECT_NEAR(vel[1], 0.0f, 1e-3);
    f.run(10.0f);
    float later[3];
    f.vel(later);
    EXPECT_NEAR(later[2], vel[2], 0.01f * steady);  // settled, not passing through
}

TEST(VesselFlight, RotationStabilizerStopsASpinAboutEveryAxis)
{
    TEST_DATA_PATH data;
    write_fleet(data);
    VESSEL* v = load_ship(data, "ship.vcd");
    v->set_rstabilizer(true);
    float spin[3] = {-30.0f, 25.0f, 50.0f}, rot[3];
    v->set_rotation(spin);
    FLIGHT f(v);
    f.run(0.25f);
    v->get_rot(rot);
    for (int i = 0; i < 3; i++)
        EXPECT_LT(fabsf(rot[i]), fabsf(spin[i])) << i;  // slowing
    f.run(8.0f);
    v->get_rot(rot);
    for (int i = 0; i < 3; i++)
        EXPECT_NEAR(rot[i], 0.0f, 0.01f) << i;
}

TEST(VesselFlight, MatchSpeedBringsForwardSpeedToTheWantedValue)
{
    TEST_DATA_PATH data;
    write_fleet(data);
    for (float wanted : {50.0f, 400.0f}) {
        VESSEL* v = load_ship(data, "ship.vcd");
        FLIGHT f(v);
        v->match_speed(wanted);
        EXPECT_EQ(v->get_long_distance(), wanted > v->get_stabilizer_speed());
        f.run(40.0f);
        float lvel[3];
        v->get_lvel(lvel);
        EXPECT_NEAR(lvel[1], wanted, 0.01f * wanted) << wanted;
    }
}
