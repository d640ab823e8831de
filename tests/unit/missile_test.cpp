// Missiles: guidance on a radar or heat seeker, the motor and its speed
// limit, the flame stream, and a target that leaves the world.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <string>

#include "effects/fireball.h"
#include "effects/missile.h"
#include "fight_scene.h"
#include "game/frame.h"
#include "equipment/jet.h"
#include "render/model.h"
#include "vessel/vessel.h"

namespace {

const float DT = 1.0f / 120.0f;  // s per tick

struct BALL : MODEL {
    explicit BALL(float r) : r(r) {}
    float get_r() override { return r; }
    float r;
};

// A thing flying at a constant velocity that remembers the damage it took.
struct DRONE : THING {
    explicit DRONE(const float* v) : v{v[0], v[1], v[2]}
    {
        set_flags(THING_EXPLODABLE | THING_PASSIVE_COLLIDER | THING_ACTIVE_COLLIDER);
        set_model(new BALL(6.0f));
    }
    void receive_hit(float d) override
    {
        damage += d;
        THING::receive_hit(d);
    }
    void get_vel(float* out) override
    {
        for (int i = 0; i < 3; i++)
            out[i] = v[i];
    }
    void tick(float dt) override
    {
        THING::tick(dt);
        float step[3] = {v[0] * dt, v[1] * dt, v[2] * dt};
        translate_rel(step);
    }
    float v[3];
    float damage = 0.0f;
};

// A hull of 3 t with one 130 kN jet pushing along its nose (+y): the
// shape of the target drones.
VESSEL* jet_drone()
{
    VESSEL* v = new VESSEL();
    v->parse_vhd("MASS = 3000\nSLOT = J, 0, -4, 0, 0, 1, 0, 0, 0, -1\n");
    JET* jet = new JET();
    jet->set_power(130000.0f);
    EXPECT_TRUE(v->fill_slot(0, jet));
    v->set_model(new BALL(6.0f));
    return v;
}

// The missile starts at the origin, nose and velocity along +y.
struct RANGE {
    THING world;
    MISSILE* missile;
    RANGE(int tech, THING* target, float accel, float turn_rate, float speed = 70.0f)
    {
        missile = new MISSILE(10.0f, 0.5f, tech, target, accel, turn_rate);
        missile->set_power(80.0f);
        missile->set_speed(speed);
        world.add_child(missile);
    }
    void add(THING* t, float x, float y, float z)
    {
        t->locate_rel(x, y, z);
        world.add_child(t);
    }
    void step()
    {
        world.tick_children(DT);
        world.update_abs_matrix();
        world.check_intersect_children();
    }
    // Flies until the missile bursts or the time is up; true on a burst.
    bool fly(float seconds)
    {
        for (float t = 0.0f; t < seconds; t += DT) {
            step();
            if (missile->has_flags(THING_EXPLODING))
                return true;
        }
        return false;
    }
    float heading_x() { return missile->get_rel().v[0][1]; }  // world x of the nose
};

float speed_of(THING* t)
{
    float v[3];
    t->get_vel(v);
    return sqrtf(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

}  // namespace

TEST(Missile, RadarMissileHitsACrossingTargetWhereARocketMisses)
{
    const float crossing[3] = {50.0f, 0.0f, 0.0f};
    for (int tech : {MISSILE_RADAR, MISSILE_DUMB}) {
        DRONE* d = new DRONE(crossing);
        RANGE r(tech, d, 70.0f, 400.0f);
        r.add(d, 0, 500, 0);
        bool hit = r.fly(15.0f);
        if (tech == MISSILE_RADAR) {
            EXPECT_TRUE(hit);
            EXPECT_EQ(d->damage, 80.0f);
            EXPECT_GT(r.heading_x(), 0.05f);  // it led the target
        } else {
            EXPECT_FALSE(hit);
            EXPECT_EQ(d->damage, 0.0f);
            EXPECT_EQ(r.heading_x(), 0.0f);
        }
    }
}

TEST(Missile, HeatSeekerHomesOnABurningJetAndPassesAColdOne)
{
    for (float thrust : {1.0f, 0.0f}) {
        VESSEL* drone = jet_drone();
        RANGE r(MISSILE_HEAT, drone, 80.0f, 600.0f, 80.0f);
        // Off the missile's nose, its own nose turned to fly across it (+x).
        MATRIX_f across;
        get_z_rotate_matrix_f(&across, 64.0f);
        drone->set_rel(across);
        r.add(drone, 60, 800, 0);
        drone->set_thrust(thrust, 1);
        bool hit = r.fly(15.0f);
        if (thrust > 0.0f) {
            EXPECT_TRUE(hit);
            EXPECT_TRUE(drone->has_flags(THING_EXPLODING));
        } else {
            EXPECT_FALSE(hit);
            EXPECT_EQ(drone->get_heat(), 0.0f);
            EXPECT_EQ(r.heading_x(), 0.0f);  // never turned
        }
    }
}

// A shipped drone cruising at its quarter thrust lets its main jet idle once
// at speed; what keeps it visible is the rotator holding it up.
TEST(Missile, ACruisingDroneIsSeenFromAbout1500mAndAColdOneNotAtAll)
{
    FIGHT_SCENE s(std::string(SORTIE_SOURCE_DIR) + "/data/", "carrier.vcd");
    VESSEL* cruising = s.add_drone(0, 3000, 300, "beta 1");
    VESSEL* cold = s.add_drone(500, 3000, 1500, "beta 2");  // high enough not to land in the 12 s
    cruising->set_thrust(0.25f, 1);
    cold->set_stabilizer(false);
    cold->set_rstabilizer(false);
    for (int i = 0; i < 12 * 60; i++) {
        simulate_frame(s.g, 1.0f / 60.0f);
        EXPECT_EQ(cold->get_heat(), 0.0f);
    }
    EXPECT_NEAR(cruising->get_heat(), 1500.0f, 150.0f);
}

TEST(Missile, KeepsItsHeadingWhenTheTargetExplodes)
{
    const float crossing[3] = {50.0f, 0.0f, 0.0f};
    DRONE* d = new DRONE(crossing);
    RANGE r(MISSILE_RADAR, d, 70.0f, 400.0f);
    r.add(d, 0, 500, 0);
    r.fly(1.0f);
    d->explode();
    r.step();
    EXPECT_EQ(r.missile->get_target(), nullptr);
    MATRIX_f before = r.missile->get_rel();
    r.fly(1.0f);
    const MATRIX_f& after = r.missile->get_rel();
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            EXPECT_EQ(after.v[i][j], before.v[i][j]);
    EXPECT_GT(r.heading_x(), 0.01f);  // it had turned before
}

TEST(Missile, TheMotorStopsAt500WhileBurningButNotAfter)
{
    RANGE fast(MISSILE_DUMB, nullptr, 70.0f, 0.0f, 600.0f);
    fast.step();
    EXPECT_FLOAT_EQ(speed_of(fast.missile), 500.0f);
    fast.fly(8.0f);
    EXPECT_FLOAT_EQ(speed_of(fast.missile), 500.0f);  // still burning, still held

    THING world;
    MISSILE* coasting = new MISSILE(0.0f, 0.5f, MISSILE_DUMB, nullptr, 70.0f, 0.0f);
    coasting->set_speed(600.0f);
    world.add_child(coasting);
    world.tick_children(DT);  // its last burning tick: held to 500 ...
    EXPECT_FLOAT_EQ(speed_of(coasting), 500.0f);
    coasting->set_speed(600.0f);
    world.tick_children(DT);  // ... and none after
    EXPECT_FLOAT_EQ(speed_of(coasting), 600.0f);
}

TEST(Missile, MassFollowsTechnologyAndPower)
{
    MISSILE radar(8, 0.5f, MISSILE_RADAR, nullptr, 70, 400);
    radar.set_power(10);
    EXPECT_EQ(radar.get_m(), 25.0f);
    MISSILE heat(8, 0.5f, MISSILE_HEAT, nullptr, 70, 400);
    heat.set_power(10);
    EXPECT_EQ(heat.get_m(), 15.0f);
    MISSILE odd(8, 0.5f, -100, nullptr, 70, 400);
    odd.set_power(10);
    EXPECT_EQ(odd.get_m(), 10.0f);
}

TEST(Missile, BurningMissileTrailsFlamePuffsUntilBurnOut)
{
    THING world;
    MISSILE* m = new MISSILE(1.0f, 0.5f, MISSILE_DUMB, nullptr, 100.0f, 0.0f);
    const float blue[3] = {0.1f, 0.2f, 0.9f};
    m->set_flame_color(blue);
    world.add_child(m);
    int puffs = 0;
    for (int i = 0; i < 360; i++) {  // two seconds at 180 frames a second
        world.tick_children(1.0f / 180.0f);
        while (THING* t = world.crop_spawn()) {
            FIREBALL* f = dynamic_cast<FIREBALL*>(t);
            ASSERT_NE(f, nullptr);
            EXPECT_EQ(f->get_color()[2], 0.9f);
            EXPECT_FLOAT_EQ(f->get_peak_size(), 2.0f);  // 100 m/s^2 x 0.02
            EXPECT_LT(f->get_velocity()[1], speed_of(m));  // thrown backwards
            puffs++;
            delete t;
        }
    }
    // A puff every (1 - 1/30) / 30 s during the one second of burn.
    EXPECT_GE(puffs, 29);
    EXPECT_LE(puffs, 32);
}

TEST(Missile, ATargetDeletedWithoutDyingLeavesNoDanglingMissile)
{
    const float still[3] = {0.0f, 0.0f, 0.0f};
    DRONE* d = new DRONE(still);
    RANGE r(MISSILE_RADAR, d, 70.0f, 400.0f);
    r.add(d, 30, 500, 0);
    r.fly(0.5f);
    r.world.remove_child(d);  // gone without ever being marked dead
    EXPECT_EQ(r.missile->get_target(), nullptr);
    r.fly(1.0f);  // the sanitizer build sees any touch of the freed target
    EXPECT_FALSE(r.missile->has_flags(THING_EXPLODING));
}
