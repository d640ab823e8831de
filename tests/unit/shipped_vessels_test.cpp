// The shipped vessel configurations flown headless: each one assembles from
// its files, hovers with the stabilizers on, reaches its stabilizer speed
// and turns at a pleasant rate.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <string>
#include <vector>

#include "assets_defs.h"
#include "assets_hulls.h"
#include "equipment/gun.h"
#include "game/globals.h"
#include "scene/thing.h"
#include "shipped_data.h"
#include "test_allegro.h"
#include "vessel/definitions.h"
#include "vessel/item_factory.h"
#include "vessel/vessel.h"

namespace {

const float DT = 1.0f / 60.0f;      // s per tick
const float HOVER_SINK = 0.5f;      // m/s a hovering vessel may sink at most
const float FULL_RATE = 128.0f;     // angle units/s: the rotation set-point at full input

// A vessel in a world of its own, 1000 m up, stepped like the frame loop does.
class FLIGHT {
public:
    explicit FLIGHT(const std::string& vcd)
    {
        vessel = new VESSEL();
        std::string path = std::string(data_path) + vcd;
        vessel->load_vcd(path.c_str());
        vessel->set_stabilizer(true);
        vessel->set_rstabilizer(true);
        vessel->locate_rel(0, 0, 1000);
        world.add_child(vessel);
        world.update_abs_matrix();
    }
    // Steps for seconds; false as soon as any state is not finite.
    bool run(float seconds, float min_vz = -1e9f)
    {
        int steps = int(std::lround(seconds / DT));
        for (int i = 0; i < steps; i++) {
            world.tick_children(DT);
            world.update_abs_matrix();
            float v[3], r[3];
            vessel->get_vel(v);
            vessel->get_rot(r);
            const MATRIX_f& m = vessel->get_rel();
            for (int k = 0; k < 3; k++)
                if (!std::isfinite(v[k]) || !std::isfinite(r[k]) || !std::isfinite(m.t[k]))
                    return false;
            lowest_vz = std::min(lowest_vz, v[2]);
            if (v[2] < min_vz)
                return false;
        }
        return true;
    }
    float lvel(int axis)
    {
        float l[3];
        vessel->get_lvel(l);
        return l[axis];
    }
    float rot(int axis)
    {
        float r[3];
        vessel->get_rot(r);
        return r[axis];
    }

    THING world;
    VESSEL* vessel;  // owned by the world
    float lowest_vz = 0;
};

int fitted_items(VESSEL* v)
{
    int n = 0;
    for (int i = 0; i < MAX_SLOTS; i++)
        n += v->get_slot_item(i) != nullptr;
    return n;
}

int slot_count(VESSEL* v)
{
    int n = 0;
    for (int i = 0; i < MAX_SLOTS; i++)
        n += v->get_slot(i) != nullptr;
    return n;
}

}  // namespace

TEST(ShippedVessels, EveryConfigurationAssemblesWithHullCockpitAndItems)
{
    SHIPPED_DATA data;
    for (const std::string& vcd : configuration_files()) {
        SCOPED_TRACE(vcd);
        FLIGHT f(vcd);
        VESSEL* v = f.vessel;
        EXPECT_TRUE(v->get_model());
        EXPECT_GE(slot_count(v), 10);
        EXPECT_LE(slot_count(v), 32);
        EXPECT_GE(fitted_items(v), 6);
        EXPECT_GT(v->get_max_shield(), 0.0f);
        EXPECT_GT(v->get_stabilizer_speed(), 60.0f);
        // Every fitted item that shows has its mesh.
        for (int i = 0; i < MAX_SLOTS; i++) {
            const VESSEL_SLOT* s = v->get_slot(i);
            if (s && s->thing && !(s->slot_type & SLOT_INVISIBLE)) {
                EXPECT_TRUE(s->thing->get_model()) << "slot " << i;
            }
        }
        // The engines push forward: slot matrices turn the items' +y onto the
        // hull's +y, and the rotator lifts along +z.
        v->set_stabilizer(false);
        v->set_thrust(1.0f, 1);
        float force[3];
        v->get_force(force);
        EXPECT_GT(force[1], 9.81f * v->get_m());
        v->set_thrust(0.0f, 1);
        v->set_thrust(1.0f, 2);
        v->get_force(force);
        EXPECT_GT(force[2], 1.4f * 9.81f * v->get_m()) << "lift barely above the weight";
        EXPECT_NEAR(force[1], 0.0f, 1e-2f);
    }
}

TEST(ShippedVessels, EveryConfigurationHoversThenReachesItsStabilizerSpeedAndStopsAgain)
{
    SHIPPED_DATA data;
    for (const std::string& vcd : configuration_files()) {
        SCOPED_TRACE(vcd);
        FLIGHT f(vcd);
        ASSERT_TRUE(f.run(10.0f, -HOVER_SINK)) << "not finite, or sank faster than " << HOVER_SINK
                                               << " m/s (lowest " << f.lowest_vz << ")";
        float vel[3];
        f.vessel->get_vel(vel);
        EXPECT_NEAR(vel[0], 0.0f, 0.01f);
        EXPECT_NEAR(vel[1], 0.0f, 0.01f);
        EXPECT_NEAR(f.vessel->get_rel().t[2], 1000.0f, 5.0f);
        for (int k = 0; k < 3; k++)
            EXPECT_NEAR(f.rot(k), 0.0f, 1e-3f);
        float s = f.vessel->get_stabilizer_speed();
        f.vessel->set_thrust(1.0f, 1);
        ASSERT_TRUE(f.run(20.0f, -HOVER_SINK));
        EXPECT_GT(f.lvel(1), 0.97f * s);
        EXPECT_LT(f.lvel(1), 1.01f * s);
        f.vessel->set_thrust(0.0f, 1);  // back to a stop as readily
        ASSERT_TRUE(f.run(20.0f, -HOVER_SINK));
        EXPECT_NEAR(f.lvel(1), 0.0f, 0.03f * s);
    }
}

TEST(ShippedVessels, EveryConfigurationTurnsAtAPleasantRate)
{
    SHIPPED_DATA data;
    for (const std::string& vcd : configuration_files()) {
        for (int axis = 3; axis < 6; axis++) {
            SCOPED_TRACE(vcd + " axis " + std::to_string(axis));
            FLIGHT f(vcd);
            f.vessel->set_thrust(1.0f, axis);
            ASSERT_TRUE(f.run(0.25f));
            // Answers within a quarter of a second...
            EXPECT_GT(std::fabs(f.rot(axis - 3)), 0.2f * FULL_RATE);
            ASSERT_TRUE(f.run(1.25f));
            // ...is turning near the full rate (half a turn a second) after
            // one and a half, without overshooting it...
            EXPECT_GT(std::fabs(f.rot(axis - 3)), 0.8f * FULL_RATE);
            EXPECT_LT(std::fabs(f.rot(axis - 3)), 1.01f * FULL_RATE);
            // ...and stops within two seconds of letting go.
            f.vessel->set_thrust(0.0f, axis);
            ASSERT_TRUE(f.run(2.0f));
            EXPECT_LT(std::fabs(f.rot(axis - 3)), 0.05f * FULL_RATE);
        }
    }
}

TEST(ShippedVessels, EveryReactorCoversItsLasersAndShieldsRechargingAtOnce)
{
    SHIPPED_DATA data;
    for (const std::string& vcd : configuration_files()) {
        SCOPED_TRACE(vcd);
        FLIGHT f(vcd);
        float output = vessel_hull_energy_output, need = 0;
        int lasers = 0;
        for (int i = 0; i < MAX_SLOTS; i++) {
            SLOTTHING* item = dynamic_cast<SLOTTHING*>(f.vessel->get_slot_item(i));
            if (!item)
                continue;
            output += item->get_energy_output();
            need += item->get_shield_charge_rate();  // what a shield asks while not full
            if (auto* gun = dynamic_cast<GUN*>(item)) {
                if (gun->get_tech() == GUN_LASER) {  // a laser asks power x charge while not full
                    need += gun->get_bullet_power() * gun->get_ammo_charge();
                    lasers++;
                }
            }
        }
        EXPECT_GT(lasers, 0);
        EXPECT_GT(need, 0.0f);
        EXPECT_GE(output, need);
        EXPECT_LT(output, 2.5f * need) << "a reactor far bigger than the vessel needs";
    }
}
