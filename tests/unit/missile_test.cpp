// Missiles and launchers: guidance, the motor, the flame, lost targets, launches.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <string>
#include <tuple>

#include "core_test.h"
#include "effects/fireball.h"
#include "effects/lead.h"
#include "effects/missile.h"
#include "equipment/jet.h"
#include "equipment/msl_launcher.h"
#include "fight_scene.h"
#include "game/controls.h"
#include "game/frame.h"
#include "render/model.h"
#include "test_data_path.h"
#include "ui/colors.h"
#include "vessel/item_factory.h"
#include "vessel/vessel.h"

namespace {

struct BALL : MODEL { float get_r() override { return 6.0f; } };

float speed_of(THING* t) { float v[3]; return t->get_vel(v), std::hypot(v[0], v[1], v[2]); }

// A ball crossing at vx m/s.
struct DRONE : THING {
    explicit DRONE(float vx) : vx(vx) { set_flags(THING_EXPLODABLE | THING_ACTIVE_COLLIDER), set_model(new BALL()); }
    void get_vel(float* out) override { out[0] = vx, out[1] = out[2] = 0.0f; }
    void tick(float dt) override { THING::tick(dt), locate_rel(rel.t[0] + vx * dt, rel.t[1], rel.t[2]); }
    float vx;
};

// A missile of power 80 100 m up, nose and velocity (70 m/s) along +y,
// accelerating at 70 m/s^2 with turn rate 400; the target, if any, at x, y.
struct RANGE {
    THING world;
    MISSILE* missile;
    float dt = 1.0f / 120.0f;
    // target_first: the target ticks before the missile (it comes first in the list).
    RANGE(int tech, THING* target, float x = 0.0f, float y = 500.0f, bool target_first = false)
        : missile(new MISSILE(10.0f, 0.5f, tech, target, 70.0f, 400.0f))
    {
        missile->set_power(80.0f), missile->set_speed(70.0f), missile->locate_rel(0.0f, 0.0f, 100.0f);
        THING* launcher = new THING();  // the vessel it leaves from, round it: never hit
        launcher->set_flags(THING_PASSIVE_COLLIDER | THING_ACTIVE_COLLIDER), launcher->set_model(new BALL());
        launcher->locate_rel(0.0f, 0.0f, 100.0f), world.add_child(launcher), missile->set_owner(launcher);
        if (target)
            target->locate_rel(x, y, 100.0f);
        world.add_child(target && target_first ? target : missile);
        if (target)
            world.add_child(target_first ? missile : target);
    }
    bool fly(float seconds)  // true when the missile bursts
    {
        for (float t = 0.0f; t < seconds && !missile->has_flags(THING_EXPLODING); t += dt)
            world.tick_children(dt), world.update_abs_matrix(), world.check_intersect_children();
        return missile->has_flags(THING_EXPLODING);
    }
    float heading_x() { return missile->get_rel().v[0][1]; }  // world x of the nose
};

// A 3 t hull whose one 40 kN jet pushes it along +y, away from the range;
// at full thrust its heat is 1188 (it is seen from 1188 m).
VESSEL* jet_drone(float thrust)
{
    VESSEL* v = new VESSEL();
    v->parse_vhd("MASS = 3000\nSLOT = J, 0, -4, 0, 0, 1, 0, 0, 0, -1\n");
    JET* jet = new JET();
    jet->set_power(40000.0f);
    EXPECT_TRUE(v->fill_slot(0, jet));
    v->set_model(new BALL()), v->set_thrust(thrust, 1);
    return v;
}

}  // namespace

TEST(Missile, GuidanceHitsWhatItSeesTurnsAlikeAtAnyFrameRateAndLetsALostTargetGo)
{
    EXPECT_TRUE(RANGE(MISSILE_RADAR, new DRONE(50.0f)).fly(15.0f));
    EXPECT_FALSE(RANGE(MISSILE_DUMB, new DRONE(50.0f)).fly(15.0f));
    RANGE lone(MISSILE_DUMB, nullptr);  // one that meets nothing bursts by itself after half a minute
    EXPECT_TRUE(!lone.fly(29.9f) && lone.fly(0.2f));
    // Heat seekers 800 m off, 60 m aside: a burning jet is seen once its flame
    // is up (0.5 s) and found, a cold one passed by.
    RANGE hot(MISSILE_HEAT, jet_drone(1.0f), 60.0f, 800.0f);
    EXPECT_TRUE(!hot.fly(0.6f) && hot.heading_x() > 0.0f);
    EXPECT_TRUE(hot.fly(15.0f));
    RANGE cold(MISSILE_HEAT, jet_drone(0.0f), 60.0f, 800.0f);
    EXPECT_FALSE(cold.fly(15.0f));
    EXPECT_EQ(cold.heading_x(), 0.0f);
    RANGE aside(MISSILE_HEAT, jet_drone(1.0f), 1500.0f, 800.0f);  // burning, but too far off to the side
    EXPECT_TRUE(!aside.fly(15.0f) && aside.heading_x() == 0.0f);
    RANGE ahead(MISSILE_HEAT, jet_drone(1.0f), 60.0f, 1500.0f);  // or ahead, for the first half second
    EXPECT_TRUE(!ahead.fly(0.5f) && ahead.heading_x() == 0.0f);
    // The first second turns as far at 8 and 144 frames a second as at 60; then the target
    // explodes, or is deleted without dying (the sanitizer sees any touch of it).
    const int rates[] = {60, 8, 144};
    float turned[3];
    for (int i = 0; i < 3; i++) {
        DRONE* d = new DRONE(50.0f);
        RANGE r(MISSILE_RADAR, d);
        GAME g;  // through the game's own frame
        g.world = &r.world, g.target_waves = false;
        for (int n = 0; n < rates[i]; n++)
            simulate_frame(g, 1.0f / (float)rates[i]);
        turned[i] = r.heading_x();
        i == 1 ? r.world.remove_child(d) : d->explode();
        EXPECT_FALSE(r.fly(1.0f));
        EXPECT_EQ(r.missile->get_target(), nullptr);
        EXPECT_EQ(r.heading_x(), turned[i]);
    }
    EXPECT_NEAR(turned[0], 0.91f, 0.03f);  // it leads the target, most of the way round in a second
    EXPECT_NEAR(turned[1], turned[0], 0.002f * turned[0]) << "at 8 frames a second";
    EXPECT_NEAR(turned[2], turned[0], 0.01f * turned[0]) << "at 144 frames a second";
}

TEST(Missile, BurstsOnWhatItsPathCrossedBetweenTwoTicksAndOnNothingBeside)
{
    auto burst_at = [](float vx, float x, float y, bool target_first) {  // how far it flew, 0: never burst
        RANGE r(MISSILE_DUMB, new DRONE(vx), x, y, target_first);
        r.dt = 1.0f / 60.0f, r.missile->set_speed(500.0f);
        const float* t = r.missile->get_rel().t;  // on its straight path (-1: off it)
        return !r.fly(3.0f) ? 0.0f : t[0] == 0.0f && t[2] == 100.0f ? t[1] : -1.0f;
    };
    // 8.3 m a tick at 500 m/s: 5 m off the centre of the 6 m ball it cuts a
    // chord from 525.9 to 532.5 m, between the ends of ticks 63 and 64.
    EXPECT_NEAR(burst_at(0.0f, 5.0f, 529.2f, false), 525.9f, 0.1f);
    EXPECT_EQ(burst_at(0.0f, 7.0f, 529.2f, false), 0.0f);
    struct PIN : DRONE { PIN() : DRONE(0.0f) {} unsigned char get_bound_type() override { return BOUND_POINT; } };
    EXPECT_FALSE(RANGE(MISSILE_DUMB, new PIN(), 3.0f, 200.0f).fly(5.0f));  // a point 3 m aside has no size to cross
    // So does a drone crossing at 200 m/s, passing 5 m off mid-tick 64, whether
    // it moves before or after the missile in a tick.
    for (bool target_first : {false, true})
        EXPECT_NEAR(burst_at(200.0f, -216.31f, 527.31f, target_first), 526.08f, 0.1f) << target_first;
    // One crossing at 1200 m/s through the missile's path mid-tick: 10 m one side, 10 m the other.
    EXPECT_NEAR(burst_at(1200.0f, -1270.0f, 529.17f, false), 526.86f, 0.1f);
}

TEST(Missile, MotorHeldTo500WhileBurningTrailsFlameAndMassFollowsPower)
{
    RANGE r(MISSILE_DUMB, nullptr);
    MATRIX_f climbing;  // the nose up and to the side, so no axis is spared
    get_rotation_matrix_f(&climbing, 20.0f, 0.0f, 20.0f), r.missile->set_rel(climbing);
    r.missile->set_speed(600.0f);
    const float blue[3] = {0.1f, 0.2f, 0.9f};
    r.missile->set_flame_color(blue), r.missile->set_accel(50.0f);
    r.dt = 1.0f / 62.0f;
    int puffs = 0;
    for (int i = 0; i < 62 * 11; i++) {  // 10 s of burn and one more
        r.fly(r.dt);
        EXPECT_FLOAT_EQ(speed_of(r.missile), 500.0f);  // from its first tick on
        for (THING* t; (t = r.world.crop_spawn()); puffs++, delete t) {
            auto* f = dynamic_cast<FIREBALL*>(t);
            ASSERT_NE(f, nullptr);
            EXPECT_TRUE(f->get_color()[2] == 0.9f && f->get_fade_rate() == 0.2f);  // its colour, gone in 5 s
            EXPECT_FLOAT_EQ(f->get_peak_size(), 1.0f);  // 50 m/s^2 x 0.02
            const float *p = f->get_rel().t, *q = r.missile->get_rel().t, *v = f->get_velocity();
            EXPECT_NEAR(std::hypot(v[0], v[1], v[2]), 499.0f, 0.01f);  // thrown backwards at 1 m/s ...
            float along = ((p[0] - q[0]) * v[0] + (p[1] - q[1]) * v[1] + (p[2] - q[2]) * v[2]) / 499.0f;  // m
            EXPECT_TRUE(along >= 0.0f && along <= 500.0f / 30.0f) << along;  // ... scattered along its stream
            for (int k = 0; k < 3; k++)
                EXPECT_NEAR(p[k] - q[k], along / 499.0f * v[k], 0.01f);
        }
    }
    // Two frames' 30/62 of an interval each top up the 1/30 left after a puff.
    EXPECT_NEAR(puffs, 10 * 62 / 2, 2);
    r.missile->set_speed(600.0f);
    r.fly(r.dt);
    EXPECT_FLOAT_EQ(speed_of(r.missile), 600.0f);  // burnt out: no limit
    const std::pair<int, float> masses[] = {{MISSILE_DUMB, 11}, {MISSILE_HEAT, 15}, {MISSILE_RADAR, 25}, {-100, 10}};
    for (auto [tech, mass] : masses) {
        MISSILE m(8, 0.5f, tech, nullptr, 70, 400);
        m.set_power(10.0f);
        EXPECT_EQ(m.get_m(), mass);
    }
}

namespace {

// A vessel 10 m ahead of the origin with the launcher item in its one slot.
struct RAIL {
    TEST_DATA_PATH data;
    VESSEL vessel;
    MSL_LAUNCHER* launcher;
    explicit RAIL(const char* item)
    {
        data.write_box_mesh("models/msl.3ds", 0.2f);
        data.write("items/msl.sid", std::string("THINGTYPE = MISSILE\nBMODEL = models/msl.3ds\n") + item);
        vessel.add_slot(identity_matrix_f, SLOT_MISSILE);
        launcher = dynamic_cast<MSL_LAUNCHER*>(load_sid(data.file("items/msl.sid").c_str()));
        EXPECT_TRUE(launcher && vessel.fill_slot(0, launcher));
        vessel.locate_rel(0, 10, 0), vessel.update_abs_matrix();
    }
    MISSILE* pull() { return launcher->set_trigger(true), dynamic_cast<MISSILE*>(launcher->crop_spawn()); }
    int status_light()  // the colour of the light the status line shows
    {
        BITMAP* bmp = create_bitmap_ex(32, 160, 16);
        launcher->paint_status(bmp, 0, 0, 160, 16);
        int c = getpixel(bmp, 8, 8);
        return destroy_bitmap(bmp), c;
    }
};

}  // namespace

TEST(MslLauncher, LaunchesItsOneMissileAtTheTargetThenSpendsShotsEmptyWhereverTheKeysPutIt)
{
    RAIL r("MASS = 60\nHOTSPOT = 0, 1, -0.5\nTECH = RADAR\nBURNTIME = 9\nROT = 400\nBSPEED = 70\nBPOWER = 10\n"
           "RELOAD = 0\nMAXAMMO = 3\n");
    THING* target = new THING();
    r.vessel.add_child(target), r.vessel.set_target(target);
    MODEL* shown = r.launcher->get_mounted_missile()->get_model();
    EXPECT_EQ(r.launcher->get_m(), 60.0f + 15.0f + 10.0f);  // the rail, a radar missile, its warhead
    EXPECT_EQ(r.status_light(), get_kvor_color(5));         // ready
    MISSILE* m = r.pull();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(std::make_tuple(m->get_missile_tech(), m->get_burn_time(), m->get_accel(), m->get_turn_rate()),
              std::make_tuple(MISSILE_RADAR, 9.0f, 70.0f, 400.0f));
    EXPECT_EQ(std::make_tuple(m->get_arm_time(), m->get_power(), m->get_target(), m->get_owner(), m->get_model()),
              std::make_tuple(0.5f, 10.0f, target, (THING*)&r.vessel, shown));
    EXPECT_EQ(shown->get_refcount(), 2);        // the missile's and the mesh cache's
    EXPECT_FLOAT_EQ(m->get_rel().t[1], 11.0f);  // left from the muzzle ...
    EXPECT_FLOAT_EQ(speed_of(m), 70.0f);        // ... at the launch speed
    V3 burst;
    m->get_explosion_color(burst.data());
    EXPECT_EQ(burst, V3({1.0f, 0.75f, 0.5f}));
    delete m;
    EXPECT_EQ(r.launcher->get_mounted_missile(), nullptr);
    EXPECT_EQ(r.launcher->get_m(), 60.0f);
    EXPECT_EQ(r.status_light(), get_kvor_color(9));  // empty, though two shots are left
    for (float left : {1.0f, 0.0f}) {
        EXPECT_EQ(r.pull(), nullptr);
        EXPECT_EQ(r.launcher->get_ammo(), left);
    }
    // The missile sits on the muzzle however late HOTSPOT comes; neither the
    // gun's LASER nor 104 replace HEAT; with no target selected it flies unguided.
    RAIL h("TECH = HEAT\nTECH = LASER\nHOTSPOT = 0.5, 2, 0\nMAXAMMO = 1\n");
    h.launcher->set_tech(104);
    EXPECT_EQ(h.launcher->get_tech(), 101);
    EXPECT_EQ(h.launcher->get_mounted_missile()->get_rel().t[0], 0.5f);
    EXPECT_EQ(h.launcher->get_mounted_missile()->get_rel().t[1], 2.0f);
    m = h.pull();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(std::make_tuple(m->get_target(), m->get_missile_tech()), std::make_tuple((THING*)nullptr, MISSILE_HEAT));
    delete m;
}

TEST(MslLauncher, OnePressLaunchesOneMissileAtALowFrameRateWhileAHeldGunGoesOnFiring)
{
    FIGHT_SCENE f(std::string(SORTIE_SOURCE_DIR) + "/data/", "carrier.vcd");
    ASSERT_NE(f.player, nullptr);
    auto shots = [&](bool missiles) {
        int n = 0;
        for (THING* t = f.g.world->get_first_child(); t; t = t->get_next())
            n += t->get_owner() == f.player && dynamic_cast<BULLET*>(t) && !!dynamic_cast<MISSILE*>(t) == missiles;
        return n;
    };
    // At 4 frames a second a press of a second lasts into the fourth frame:
    // the two rocket pods would have followed one another.
    const float dt = 0.25f;
    auto press = [&](int frames) {
        for (int i = 0; i < frames; i++)
            f.player->set_trigger(true), simulate_frame(f.g, dt);
        f.player->set_trigger(false), simulate_frame(f.g, dt);
    };
    auto select = [&](int tech) {  // W until that group is chosen
        while (static_cast<SLOTTHING*>(f.player->get_slot_item(f.player->get_cur_gun()))->get_tech() != tech)
            f.player->next_gun_type();
    };
    select(LAUNCHER_DUMB);  // the lowest launcher technology
    press(4);
    EXPECT_EQ(shots(true), 1);
    press(1);
    EXPECT_EQ(shots(true), 2);
    // A tap that came and went between two frames is still in the key buffer.
    select(LAUNCHER_RADAR);
    dispatch_key(f.g, KEY_SPACE), simulate_frame(f.g, dt);
    EXPECT_EQ(shots(true), 3);
    select(GUN_LASER);
    press(4);
    EXPECT_GE(shots(false), 3);  // two lasers, a quarter second apart
    EXPECT_EQ(shots(true), 3);
}

// The lead shared by missiles and opponents' guns: where the target drifts
// while the shot closes over the distance; none without a closing speed.
// Three numbers are written, no more.
TEST(Missile, TheLeadPointIsWhereTheTargetDriftsWhileTheShotCloses)
{
    const float offset[4] = {0, 300, 400, 0}, rel_vel[4] = {10, 0, -5, 1};  // 500 m off
    float out[4] = {0, 0, 0, 7}, still[3];
    lead_point(offset, rel_vel, 100.0f, out), lead_point(offset, rel_vel, 0.0f, still);  // 5 s away; never
    EXPECT_TRUE(near3(out, {50, 300, 375}, 0) && out[3] == 7.0f && near3(still, {0, 300, 400}, 0));
}
