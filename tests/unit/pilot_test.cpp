// Opponents that fight back, flown headless at 1/60 s with the shipped vessels.
#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "effects/bullet.h"
#include "equipment/gun.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/pilot.h"
#include "game/targets.h"
#include "game/world.h"
#include "scene/vec3.h"
#include "shipped_data.h"
#include "vessel/item_factory.h"
#include "vessel/vessel.h"

namespace {

const float DT = 1.0f / 60.0f;  // s per frame
const int FPS = 60;

// The player's all-rounder hovering over the origin and a piloted wave 3 km ahead.
struct ARENA {
    ARENA()
    {
        srand(1);  // the pilots draw delays and aim errors: the same fight every run
        create_world_roots(g);
        snprintf(g.vessel_path, sizeof(g.vessel_path), "%s", data.file("allrounder.vcd").c_str());
        add_player_vessel(g);
        respawn_targets(g.world, true);
        g.world->update_abs_matrix();
        for (THING* t = g.world->get_first_child(); t; t = t->get_next())
            if (strncmp(t->get_vessel_id_string(), "beta ", 5) == 0)
                wave.push_back(static_cast<VESSEL*>(t));
    }
    ~ARENA() { destroy_world(g); }
    SHIPPED_DATA data;
    GAME g;
    std::vector<VESSEL*> wave;
};

// A target drone alone over the ground, stepped with ground contact.
struct SKY {
    SKY() { vessel = add("victim.vcd", TARGET_TEAM, 0, 0, 300); }
    VESSEL* add(const char* vcd, int team, float x, float y, float z)
    {
        VESSEL* v = new VESSEL();
        v->load_vcd(data.file(vcd).c_str());
        v->set_team(team);
        v->set_stabilizer(true), v->set_rstabilizer(true);
        v->locate_rel(x, y, z), world.add_child(v), world.update_abs_matrix();
        return v;
    }
    void step(int frames = 1)
    {
        for (int i = 0; i < frames; i++) {
            world.tick_children(DT);
            world.update_abs_matrix();
            world.check_ground_intersect_children(0.0f);
        }
    }
    float clearance() { return vessel->get_abs().t[2] - vessel->get_radius(); }
    SHIPPED_DATA data;
    THING world;
    VESSEL* vessel;
};

float nose(THING* t, int i) { return t->get_abs().v[i][1]; }

// Degrees between a thing's nose and the direction to another thing.
float degrees_off_nose(THING* from, THING* to)
{
    const float *p = from->get_abs().t, *q = to->get_abs().t;
    float d[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]}, n[3] = {nose(from, 0), nose(from, 1), nose(from, 2)};
    return acosf(std::clamp(dot3(d, n) / length3(d), -1.0f, 1.0f)) * 180.0f / (float)M_PI;
}

// An item of a missile slot that always holds a shot and counts trigger pulls.
struct COUNTING_LAUNCHER : SLOTTHING {
    COUNTING_LAUNCHER() { slot_type = SLOT_MISSILE; }
    float get_ammo() override { return 1.0f; }
    float get_reload_interval() override { return 1.0f; }
    bool trigger_lock() override { return false; }
    void set_trigger(bool on) override { pulls += on; }
    int pulls = 0;
};

}  // namespace

TEST(Pilot, AWaveTurnsOnAHoveringPlayerOneAfterAnotherAndShootsItDown)
{
    ARENA a;
    ASSERT_EQ(a.wave.size(), 8u);
    THING_REF player = a.g.player;
    const float full = player->get_max_shield();
    std::vector<int> noticed(8, -1);  // frame each one chose the player
    int aimed = 0;                    // nose within 5 degrees of the player, in gun reach
    bool missile = false;
    testing::internal::CaptureStdout();
    for (int f = 0; f < 60 * FPS && player.get() && !player->has_flags(THING_EXPLODING); f++) {
        simulate_frame(a.g, DT);
        for (THING* t = a.g.world->get_first_child(); t; t = t->get_next())
            missile |= !strcmp(t->get_thingtype_string(), "MISSILE") && t->get_owner() != player.get();
        for (size_t i = 0; i < 8; i++) {
            if (noticed[i] < 0 && a.wave[i]->get_target() == player.get())
                noticed[i] = f;
            if (degrees_off_nose(a.wave[i], player) < 5.0f && distance3(a.wave[i]->get_abs().t, player->get_abs().t) < 1200.0f)
                aimed |= 1 << i;
        }
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("Ground intersect!"), std::string::npos);
    ASSERT_NE(player.get(), nullptr);
    EXPECT_TRUE(player->has_flags(THING_EXPLODING)) << "shield " << player->get_shield() << " of " << full;
    EXPECT_TRUE(missile);
    EXPECT_GE(__builtin_popcount(aimed), 4);
    std::vector<float> delays;  // each its own, so the wave does not turn as one
    for (size_t i = 0; i < 8; i++) {
        EXPECT_GE(noticed[i], 0) << i;
        EXPECT_GT(a.wave[i]->get_abs().t[2] - a.wave[i]->get_radius(), 20.0f) << i;
        delays.push_back(find_pilot(a.wave[i])->get_reaction_delay());
    }
    std::sort(delays.begin(), delays.end());
    EXPECT_GT(delays.back() - delays.front(), 0.2f);
    EXPECT_GE(delays.front(), 0.3f);
    EXPECT_LE(delays.back(), 1.2f);
}

TEST(Pilot, ATargetDivingAtTheGroundPullsUpInTime)
{
    for (bool piloted : {false, true}) {
        SCOPED_TRACE(piloted);
        SKY s;
        if (piloted)
            give_pilot(s.vessel, 0.25f);
        // 60 m up, heading along x, nose 30 degrees down and banked 30 degrees, 80 m/s along the nose
        MATRIX_f bank, pitch, yaw, banked, dive;
        get_y_rotate_matrix_f(&bank, 256.0f * 30.0f / 360.0f), get_x_rotate_matrix_f(&pitch, -256.0f * 30.0f / 360.0f);
        get_z_rotate_matrix_f(&yaw, -64.0f), matrix_mul_f(&bank, &pitch, &banked);
        matrix_mul_f(&banked, &yaw, &dive), s.vessel->set_rel(dive);
        s.vessel->locate_rel(0.0f, 0.0f, 60.0f);
        s.world.update_abs_matrix();
        ASSERT_TRUE(nose(s.vessel, 2) < -0.4f && nose(s.vessel, 0) > 0.8f);
        float m = s.vessel->get_m(), impulse[3] = {80.0f * nose(s.vessel, 0) * m, 0.0f, 80.0f * nose(s.vessel, 2) * m};
        s.vessel->set_impulse(impulse);
        s.vessel->set_thrust(0.25f, 1);
        float lowest = s.clearance();
        for (int f = 0; f < 20 * FPS && !s.vessel->has_flags(THING_EXPLODING); f++) {
            s.step();
            lowest = std::min(lowest, s.clearance());
        }
        EXPECT_EQ(s.vessel->has_flags(THING_EXPLODING), !piloted);  // the dive is deadly by itself
        if (!piloted)
            continue;
        EXPECT_GT(lowest, 5.0f);
        EXPECT_GT(s.clearance(), 40.0f);
        EXPECT_LT(s.clearance(), 150.0f);
        // Level again, wings too, cruising much the same way (the banked pull-up turned it a little).
        const float wing_up = s.vessel->get_abs().v[2][0];
        EXPECT_TRUE(fabsf(nose(s.vessel, 2)) < 0.05f && nose(s.vessel, 0) > 0.9f && fabsf(wing_up) < 0.05f) << wing_up;
        EXPECT_FALSE(find_pilot(s.vessel)->is_pulling_up());
        GUN* laser = dynamic_cast<GUN*>(s.vessel->get_slot_item(4));  // nobody to shoot at: no shot
        EXPECT_TRUE(laser && laser->get_ammo() == laser->get_maxammo());
    }
}

// Distances count on every axis from wherever the pilot is.
TEST(Pilot, ItTakesTheNearestHostileAndNoneBeyondItsDetectionRange)
{
    srand(1);
    SKY s;
    s.vessel->locate_rel(1000.0f, 1000.0f, 1000.0f);
    s.add("allrounder.vcd", PLAYER_TEAM, 1000.0f, 4600.0f, 1000.0f);  // 3600 m off: out of sight
    give_pilot(s.vessel, 0.25f);
    s.step(2 * FPS);
    EXPECT_EQ(s.vessel->get_target(), nullptr);
    const float* p = s.vessel->get_abs().t;
    VESSEL* aside = s.add("allrounder.vcd", PLAYER_TEAM, p[0] + 300.0f, p[1], p[2]);  // nearer than the one
    s.add("allrounder.vcd", 0, p[0] - 200.0f, p[1], p[2]);  // nearer still, but of no side
    s.add("allrounder.vcd", PLAYER_TEAM, p[0], p[1] - 400.0f, p[2] - 100.0f);       // behind and below
    s.step(2 * FPS);
    EXPECT_EQ(s.vessel->get_target(), aside);
}

// Without a group chosen the pilot takes the first, once: here it sits in slot 0.
TEST(Pilot, ItTakesTheFirstGunGroupAndKeepsIt)
{
    SKY s;
    VESSEL* v = new VESSEL();
    v->parse_vhd("SLOT = G, 0, 0, 0, 0, 1, 0, 0, 0, -1\nSLOT = G, 0, 0, 0, 0, 1, 0, 0, 0, -1\n");
    for (int slot : {0, 1})  // two groups
        v->fill_slot(slot, make_slot_item(slot ? "THINGTYPE = GUN\nSLOTTYPE = G\nMAXAMMO = 5\nNAME = B\n" : "THINGTYPE = GUN\nSLOTTYPE = G\nMAXAMMO = 5\n"));
    v->locate_rel(0.0f, 0.0f, 300.0f), s.world.add_child(v), give_pilot(v, 0.25f), s.step(3);
    EXPECT_EQ(v->get_cur_gun(), 0);
    v->next_gun_type(), v->next_gun_type();  // round to it again
    EXPECT_EQ(v->get_cur_gun(), 0);
}

TEST(Pilot, APilotWhoseQuarryDiesGoesBackToFlyingStraight)
{
    srand(1);
    SKY s;
    give_pilot(s.vessel, 0.25f);
    VESSEL* quarry = s.add("allrounder.vcd", PLAYER_TEAM, -600.0f, 700.0f, 400.0f);  // 41 degrees left
    s.step(4 * FPS);
    ASSERT_EQ(s.vessel->get_target(), quarry);
    EXPECT_LT(degrees_off_nose(s.vessel, quarry), 10.0f);
    EXPECT_GT(s.vessel->get_thrust_input(1), 0.25f);  // closing in faster than it cruised
    quarry->explode();
    s.step(10 * FPS);
    EXPECT_EQ(s.vessel->get_target(), nullptr);
    float before[3] = {nose(s.vessel, 0), nose(s.vessel, 1), nose(s.vessel, 2)};
    s.step(5 * FPS);
    for (int i = 0; i < 3; i++)
        EXPECT_NEAR(nose(s.vessel, i), before[i], 0.01f) << i;  // holding its heading
    EXPECT_NEAR(before[2], 0.0f, 0.05f);                        // level
    for (int axis : {0, 1, 2})
        EXPECT_FLOAT_EQ(s.vessel->get_thrust_input(axis), axis == 1 ? 0.25f : 0.0f);
    EXPECT_FALSE(dynamic_cast<GUN*>(s.vessel->get_slot_item(4))->get_trigger());
}

TEST(Pilot, NowAndThenAMissileGoesWhenTheQuarryIsInFrontWithinReachAndNoFriendIsInLine)
{
    for (int mate_at : {0, 2, 3}) {  // none; a mate between; none and the quarry out of reach
        SCOPED_TRACE(mate_at);
        srand(1);
        SKY s;
        s.vessel->clear_slot(6);
        COUNTING_LAUNCHER* launcher = new COUNTING_LAUNCHER();
        ASSERT_TRUE(s.vessel->fill_slot(6, launcher));
        give_pilot(s.vessel, 0.25f);
        VESSEL* quarry = s.add("allrounder.vcd", PLAYER_TEAM, 0.0f, 700.0f, 300.0f);
        VESSEL* mate = mate_at == 2 ? s.add("victim.vcd", TARGET_TEAM, 300.0f, 0.0f, 600.0f) : nullptr;
        GUN* laser = dynamic_cast<GUN*>(s.vessel->get_slot_item(4));
        ASSERT_NE(laser, nullptr);
        std::vector<float> launched;  // s
        int firing = 0, pulls = 0;
        for (int f = 0; f < 40 * FPS; f++) {
            const float *p = s.vessel->get_abs().t, *q = quarry->get_abs().t;
            if (mate_at == 3)
                quarry->locate_rel(p[0], p[1] + 2000.0f, p[2] + 300.0f);
            else if (mate)
                mate->locate_rel((p[0] + q[0]) / 2, (p[1] + q[1]) / 2, (p[2] + q[2]) / 2);
            s.step();
            firing += laser->get_trigger();
            if (launcher->pulls > pulls) {
                pulls = launcher->pulls;
                launched.push_back(f * DT);
                EXPECT_LT(degrees_off_nose(s.vessel, quarry), 20.0f);
            }
        }
        if (mate_at >= 2) {
            EXPECT_EQ(firing + pulls, 0);
            continue;
        }
        EXPECT_TRUE(firing > 20 && firing < 32) << firing;  // frames: a few short bursts
        ASSERT_GE(launched.size(), 2u);  // one launch per interval or so, not a salvo
        EXPECT_LE(launched.size(), 5u);
        for (size_t i = 1; i < launched.size(); i++)
            EXPECT_NEAR(launched[i] - launched[i - 1], 12.0f, 4.0f);  // each pilot its own within 30 %
        THING* selected = s.vessel->get_slot_item(s.vessel->get_cur_gun());  // guns again between launches
        ASSERT_NE(selected, nullptr);
        EXPECT_EQ(selected->get_slottype() & (SLOT_GUN | SLOT_MISSILE), SLOT_GUN);
    }
}

TEST(Pilot, AFewPressHomeAtATimeAndANewVesselIsLetBeForAWhile)
{
    ARENA a;
    ASSERT_EQ(a.wave.size(), 8u);
    THING* first = a.g.player.get();
    int most_firing = 0, most_waiting = 0;  // wave vessels at once
    int f = 0;
    for (; f < 60 * FPS && a.g.player.get() == first; f++) {
        simulate_frame(a.g, DT);
        std::set<THING*> fired;  // wave vessels with a bolt out of the muzzle in the last half second
        for (THING* t = a.g.world->get_first_child(); t; t = t->get_next()) {
            auto* b = dynamic_cast<BULLET*>(t);
            if (b && b->get_owner() != first && !strcmp(b->get_thingtype_string(), "BULLET") && b->get_life_time() > 4.5f)
                fired.insert(b->get_owner());
        }
        int firing = (int)fired.size(), waiting = 0;
        for (VESSEL* v : a.wave)
            waiting += find_pilot(v)->is_waiting();
        most_firing = std::max(most_firing, firing);
        most_waiting = std::max(most_waiting, waiting);
    }
    ASSERT_NE(a.g.player.get(), first) << "the hovering vessel was not shot down in a minute";
    EXPECT_GE(most_firing, 2);
    EXPECT_LE(most_firing, 3);
    EXPECT_GE(most_waiting, 5);
    // The replacement, where the first one hovered, keeps its shield while
    // the wave flies on for twelve seconds; then they come back for it.
    THING_REF second = a.g.player;
    for (int g = 0; g < 11 * FPS; g++)
        simulate_frame(a.g, DT);
    ASSERT_EQ(a.g.player.get(), second.get());
    EXPECT_FLOAT_EQ(second->get_shield(), second->get_max_shield());
    int on_it = 0;  // frames of wave vessels with it as their target
    for (int g = 0; g < 3 * FPS; g++) {
        simulate_frame(a.g, DT);
        for (VESSEL* v : a.wave)
            on_it += v->get_target() == second.get();
    }
    EXPECT_GT(on_it, 0);
}

TEST(Pilot, ItLooksAheadOnlyWhileSinkingAndLetsAFriendGoOnlyAfterItsDelay)
{
    struct { float clearance, climb; bool pulls; } cases[] = {  // m, m/s
        {39.3f, 0.0f, true}, {39.3f, 0.8f, true}, {45.0f, 0.0f, false},  // below 40 m even while climbing
        {70.0f, -13.0f, false}, {70.0f, -17.0f, true},                 // where it will be in two seconds
    };
    for (auto c : cases) {
        srand(1);
        SKY s;
        s.vessel->locate_rel(0.0f, 0.0f, c.clearance + s.vessel->get_radius());
        float impulse[3] = {0.0f, 0.0f, c.climb * s.vessel->get_m()};
        s.vessel->set_impulse(impulse);
        VESSEL* mate = s.add("victim.vcd", TARGET_TEAM, 0.0f, 500.0f, 300.0f);
        s.vessel->set_target(mate);
        give_pilot(s.vessel, 0.25f);
        PILOT* p = find_pilot(s.vessel);
        s.step();
        EXPECT_EQ(p->is_pulling_up(), c.pulls) << c.clearance << " " << c.climb;
        // Pulling up it asks for the 30 m/s climb and twice as much again while
        // the vessel lacks it (its first tick starts at rest).
        EXPECT_NEAR(s.vessel->get_thrust_input(2) * s.vessel->get_stabilizer_speed(), c.pulls ? 90.0f : 0.0f, 1e-3f);
        if (c.pulls) {  // pulling up, it climbs on past 50 m to 60
            s.vessel->locate_rel(0.0f, 0.0f, 50.0f + s.vessel->get_radius()), s.step();
            EXPECT_TRUE(p->is_pulling_up());
        }
        ASSERT_LT(p->get_reaction_delay(), 0.9f);
        EXPECT_EQ(s.vessel->get_target(), mate);  // not at once
        s.step((int)(p->get_reaction_delay() * FPS) + 2);
        EXPECT_EQ(s.vessel->get_target(), nullptr);
    }
}

// A still quarry at 300 m and at 900 m: the nose wanders round it by the
// same angle, so the aim's error in metres grows with the distance. With
// the hand held steady, a quarry sliding sideways still draws a wandering
// aim: the pilot's guess of its way is off by a part of that way, up and
// down too.
TEST(Pilot, ItsAimWandersByAnAngleWhateverTheDistanceAndMoreForAMovingQuarry)
{
    float* tuned[] = {&pilot_strafe_speed, &pilot_variety, &pilot_gun_reach, &pilot_missile_range, &pilot_standoff, &pilot_aim_scatter};
    float kept[6];
    for (int i = 0; i < 6; i++)
        kept[i] = *tuned[i], *tuned[i] = i < 4 ? 0.0f : kept[i];  // it holds still and does not shoot
    for (float dist : {300.0f, 900.0f, 600.0f}) {
        srand(2);
        bool sliding = dist == 600.0f;
        pilot_standoff = dist, pilot_aim_scatter = sliding ? 0.0f : kept[5];
        SKY s;
        give_pilot(s.vessel, 0.25f);
        VESSEL* quarry = s.add("allrounder.vcd", PLAYER_TEAM, 0.0f, dist, 300.0f);
        s.step(6 * FPS);
        ASSERT_EQ(s.vessel->get_target(), quarry);
        quarry->set_thrust(sliding, 0);
        float least = 180.0f, most = 0.0f, highest = 0.0f;  // degrees; the last up or down only
        for (int f = 0; f < 20 * FPS; f++) {
            s.step();
            float up = asinf(nose(s.vessel, 2)) - asinf((quarry->get_abs().t[2] - s.vessel->get_abs().t[2]) /
                                                        distance3(quarry->get_abs().t, s.vessel->get_abs().t));
            least = std::min(least, degrees_off_nose(s.vessel, quarry));
            most = std::max(most, degrees_off_nose(s.vessel, quarry));
            highest = std::max(highest, fabsf(up) * 180.0f / (float)M_PI);
        }
        if (sliding) {
            EXPECT_GT(highest, 3.0f);  // 4.7 here
            EXPECT_LT(highest, 7.0f);
            continue;
        }
        EXPECT_LT(least, 0.5f) << dist;
        EXPECT_GT(most, 0.5f) << dist;
        EXPECT_LT(most, 2.0f) << dist;
    }
    for (int i = 0; i < 6; i++)
        *tuned[i] = kept[i];
}

// From rest the stabilizer is asked for three times the speed wanted (m/s):
// closing from 400 m to the 350 m standoff at 0.3 (m/s)/m, backing off from
// 300 m the same way and from 200 m no faster than 20 m/s, sliding round at
// 25 m/s, and 50 m up not sinking below the pull-up band (60 m) but rising.
// From afar at its full 142.6 m/s; beyond 4500 m it gives up the chase.
// Within gun reach it fires at once, unless a mate is within 0.1 rad of the line.
TEST(Pilot, ItClosesToItsStandoffBacksOffSlidesRoundAndKeepsAboveThePullUpBand)
{
    float kept = pilot_variety, pause = std::exchange(pilot_burst_pause, 0.0f);  // the book values; one long burst
    pilot_variety = 0.0f;
    struct { float ahead, clearance, forward, up, mate; } cases[] = {{400, 250, 45, 0, 0}, {300, 250, -45, 0, 0}, {200, 250, -60, 0, 0.08f},
                                                                     {400, 50, 45, 15, 0.12f}, {4300, 250, 142.616f, 0, 0}, {4700, 250, 142.616f, 0, 0}};
    for (auto c : cases) {
        srand(1);
        SKY s;
        float z = c.clearance + s.vessel->get_radius();
        s.vessel->locate_rel(0.0f, 0.0f, z);
        VESSEL* quarry = s.add("allrounder.vcd", PLAYER_TEAM, 0.0f, c.ahead, z);
        if (c.mate > 0.0f)  // 100 m out, that far off the line
            s.add("victim.vcd", TARGET_TEAM, 100.0f * sinf(c.mate), 100.0f * cosf(c.mate), z);
        s.vessel->set_target(quarry);
        give_pilot(s.vessel, 0.25f);
        s.step();
        float top = s.vessel->get_stabilizer_speed(), asked[3];
        for (int axis = 0; axis < 3; axis++)
            asked[axis] = s.vessel->get_thrust_input(axis) * top;
        EXPECT_NEAR(fabsf(asked[0]), 75.0f, 1e-3f) << c.ahead;
        EXPECT_NEAR(asked[1], c.forward, 1e-3f) << c.ahead;
        EXPECT_NEAR(asked[2], c.up, 1e-3f) << c.ahead;
        EXPECT_EQ(dynamic_cast<GUN*>(s.vessel->get_slot_item(4))->get_trigger(), c.ahead < 1200.0f && c.mate != 0.08f) << c.ahead;
        s.step(FPS + 15);  // past the longest reaction delay
        EXPECT_EQ(s.vessel->get_target() == quarry, c.ahead < 4500.0f) << c.ahead;
    }
    pilot_variety = kept, pilot_burst_pause = pause;
}
