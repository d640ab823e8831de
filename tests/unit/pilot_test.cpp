// Opponents that fight back, flown headless at 1/60 s with the shipped
// vessels: a wave with and without pilots against a hovering player, a
// pilot diving at the ground, a pilot whose quarry is gone, and the lead.
#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "effects/lead.h"
#include "equipment/gun.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/pilot.h"
#include "game/settings.h"
#include "game/targets.h"
#include "game/world.h"
#include "scene/thing.h"
#include "shipped_data.h"
#include "vessel/vessel.h"

namespace {

const float DT = 1.0f / 60.0f;  // s per frame
const int FRAMES_PER_SECOND = 60;

// The player's all-rounder hovering where it starts, over the origin, and a
// wave at the entry point 3 km ahead of it, stepped as the frame loop does.
struct ARENA {
    explicit ARENA(bool piloted)
    {
        srand(1);  // each pilot draws its delay, bursts and aim: the same fight every run
        create_world_roots(g);
        snprintf(g.vessel_path, sizeof(g.vessel_path), "%s", data.file("allrounder.vcd").c_str());
        add_player_vessel(g);
        respawn_targets(g.world, piloted);
        g.world->update_abs_matrix();
    }
    ~ARENA() { destroy_world(g); }
    ARENA(const ARENA&) = delete;
    ARENA& operator=(const ARENA&) = delete;

    std::vector<VESSEL*> wave()
    {
        std::vector<VESSEL*> out;
        for (THING* t = g.world->get_first_child(); t; t = t->get_next())
            if (strncmp(t->get_vessel_id_string(), "beta ", 5) == 0)
                out.push_back(static_cast<VESSEL*>(t));
        return out;
    }
    VESSEL* player() { return static_cast<VESSEL*>(g.player.get()); }

    SHIPPED_DATA data;
    GAME g;
};

// A target vessel alone over the ground, stepped with ground contact.
struct SKY {
    SKY()
    {
        vessel = new VESSEL();
        vessel->load_vcd(data.file("victim.vcd").c_str());
        vessel->set_team(TARGET_TEAM);
        vessel->set_stabilizer(true);
        vessel->set_rstabilizer(true);
        world.add_child(vessel);
    }
    void step()
    {
        world.tick_children(DT);
        world.update_abs_matrix();
        world.check_ground_intersect_children(0.0f);
    }
    float clearance() { return vessel->get_abs().t[2] - vessel->get_radius(); }
    // The player's all-rounder hovering at x, y, z, stabilizers on.
    VESSEL* add_quarry(float x, float y, float z)
    {
        VESSEL* quarry = new VESSEL();
        quarry->load_vcd(data.file("allrounder.vcd").c_str());
        quarry->set_team(PLAYER_TEAM);
        quarry->set_stabilizer(true);
        quarry->set_rstabilizer(true);
        quarry->locate_rel(x, y, z);
        world.add_child(quarry);
        return quarry;
    }

    SHIPPED_DATA data;
    THING world;
    VESSEL* vessel;  // owned by the world
};

void forward_of(THING* t, float* out)
{
    const MATRIX_f& m = t->get_abs();
    for (int i = 0; i < 3; i++)
        out[i] = m.v[i][1];
}

// Degrees between a thing's nose and the direction to another thing.
float degrees_off_nose(THING* from, THING* to)
{
    float y[3];
    forward_of(from, y);
    const float* p = from->get_abs().t;
    const float* q = to->get_abs().t;
    float d[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
    float c = (d[0] * y[0] + d[1] * y[1] + d[2] * y[2]) / sqrtf(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    return acosf(std::max(-1.0f, std::min(1.0f, c))) * 180.0f / (float)M_PI;
}

float distance(THING* a, THING* b)
{
    const float* p = a->get_abs().t;
    const float* q = b->get_abs().t;
    return sqrtf((q[0] - p[0]) * (q[0] - p[0]) + (q[1] - p[1]) * (q[1] - p[1]) + (q[2] - p[2]) * (q[2] - p[2]));
}

// A missile launcher as the vessel sees one: an item of a missile slot that
// holds a shot and counts the pulls of its trigger.
class COUNTING_LAUNCHER : public SLOTTHING {
public:
    COUNTING_LAUNCHER() { slot_type = SLOT_MISSILE; }
    float get_ammo() override { return 1.0f; }
    float get_reload_interval() override { return 1.0f; }
    bool trigger_lock() override { return false; }
    void set_trigger(bool on) override { pulls += on; }
    int pulls = 0;
};

}  // namespace

TEST(Pilot, OpponentsFightOnlyWithDashE)
{
    const char* plain[] = {"sortie", "-w"};
    const char* fight[] = {"sortie", "-w", "-e"};
    EXPECT_FALSE(parse_command_line(2, plain).opponents_fight);
    SETTINGS s = parse_command_line(3, fight);
    EXPECT_TRUE(s.opponents_fight);
    EXPECT_FALSE(s.fullscreen);
}

TEST(Pilot, WithoutOpponentsAWaveFliesStraightPastAHoveringPlayer)
{
    ARENA a(false);
    for (int f = 0; f < 40 * FRAMES_PER_SECOND; f++)
        simulate_frame(a.g, DT);
    std::vector<VESSEL*> w = a.wave();
    ASSERT_EQ(w.size(), 8u);
    for (VESSEL* v : w) {
        SCOPED_TRACE(v->get_vessel_id_string());
        EXPECT_EQ(find_pilot(v), nullptr);
        EXPECT_EQ(v->get_target(), nullptr);
        float y[3];
        forward_of(v, y);
        EXPECT_NEAR(y[1], 1.0f, 1e-4);  // still heading along +y
        EXPECT_FLOAT_EQ(v->get_thrust_input(1), 0.25f);
        EXPECT_GT(v->get_abs().t[1], -3300.0f + 1000.0f);  // on its way, 36 m/s
    }
}

TEST(Pilot, AWaveTurnsOnAHoveringPlayerOneVesselAfterAnotherAndShootsItDown)
{
    ARENA a(true);
    std::vector<VESSEL*> w = a.wave();
    ASSERT_EQ(w.size(), 8u);
    THING_REF player = a.player();
    const float full = player->get_max_shield();
    ASSERT_GT(full, 0.0f);
    std::vector<int> noticed(w.size(), -1);    // frame each one chose the player
    std::vector<bool> aimed(w.size(), false);  // had its nose on the player within gun reach
    float lowest = full;                       // the player's shield
    bool missile_seen = false;                 // one of the wave's launchers fired
    testing::internal::CaptureStdout();
    for (int f = 0; f < 60 * FRAMES_PER_SECOND && player.get() && lowest > 0.0f; f++) {
        simulate_frame(a.g, DT);
        if (player.get())
            lowest = std::min(lowest, player->get_shield());
        for (THING* t = a.g.world->get_first_child(); t; t = t->get_next())
            if (!strcmp(t->get_thingtype_string(), "MISSILE") && t->get_owner() != player.get())
                missile_seen = true;
        for (size_t i = 0; i < w.size() && player.get(); i++) {
            if (noticed[i] < 0 && w[i]->get_target() == player.get())
                noticed[i] = f;
            if (degrees_off_nose(w[i], player) < 5.0f && distance(w[i], player) < pilot_gun_reach)
                aimed[i] = true;
        }
    }
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("Ground intersect!"), std::string::npos) << "a vessel flew into the ground";
    // Shot down within the minute: the count-down of its explosion runs.
    ASSERT_NE(player.get(), nullptr);
    EXPECT_LE(lowest, 0.0f) << "of " << full;
    EXPECT_TRUE(player->has_flags(THING_EXPLODING));
    EXPECT_TRUE(missile_seen);
    std::vector<float> delays;
    for (size_t i = 0; i < w.size(); i++) {
        SCOPED_TRACE(w[i]->get_vessel_id_string());
        ASSERT_NE(find_pilot(w[i]), nullptr);
        EXPECT_GE(noticed[i], 0);
        EXPECT_GT(w[i]->get_abs().t[2] - w[i]->get_radius(), 0.5f * pilot_safe_height);
        delays.push_back(find_pilot(w[i])->get_reaction_delay());
    }
    // Most had come in on the player by then; the last of the wave are on
    // their way.
    EXPECT_GE(std::count(aimed.begin(), aimed.end(), true), 4);
    // Each pilot reacts after a delay of its own, so the wave does not turn
    // as one.
    std::sort(noticed.begin(), noticed.end());
    EXPECT_LT(noticed.front(), noticed.back());
    std::sort(delays.begin(), delays.end());
    EXPECT_LT(delays.front(), delays.back());
    EXPECT_GE(delays.front(), pilot_reaction_min);
    EXPECT_LE(delays.back(), pilot_reaction_max);
}

TEST(Pilot, ATargetDivingAtTheGroundPullsUpInTime)
{
    for (bool piloted : {false, true}) {
        SCOPED_TRACE(piloted ? "piloted" : "unpiloted");
        SKY s;
        if (piloted)
            give_pilot(s.vessel, 0.25f);
        // 60 m up, nose 30 degrees down, 80 m/s along the nose.
        MATRIX_f pitch;
        get_x_rotate_matrix_f(&pitch, -256.0f * 30.0f / 360.0f);
        s.vessel->set_rel(pitch);
        s.vessel->locate_rel(0.0f, 0.0f, 60.0f);
        s.world.update_abs_matrix();
        float y[3];
        forward_of(s.vessel, y);
        ASSERT_LT(y[2], -0.4f);  // the nose does point down
        float impulse[3] = {0.0f, 80.0f * y[1] * s.vessel->get_m(), 80.0f * y[2] * s.vessel->get_m()};
        s.vessel->set_impulse(impulse);
        s.vessel->set_thrust(0.25f, 1);
        float lowest = s.clearance();
        for (int f = 0; f < 20 * FRAMES_PER_SECOND && !s.vessel->has_flags(THING_EXPLODING); f++) {
            s.step();
            lowest = std::min(lowest, s.clearance());
        }
        if (!piloted) {
            EXPECT_TRUE(s.vessel->has_flags(THING_EXPLODING));  // the dive is deadly by itself
            continue;
        }
        EXPECT_FALSE(s.vessel->has_flags(THING_EXPLODING));
        EXPECT_GT(lowest, 5.0f);
        EXPECT_GT(s.clearance(), pilot_safe_height);
        forward_of(s.vessel, y);
        EXPECT_NEAR(y[2], 0.0f, 0.05f);  // level again, cruising
        EXPECT_FALSE(find_pilot(s.vessel)->is_pulling_up());
    }
}

TEST(Pilot, APilotWhoseQuarryDiesGoesBackToFlyingStraight)
{
    SKY s;
    give_pilot(s.vessel, 0.25f);
    s.vessel->locate_rel(0.0f, 0.0f, 300.0f);
    // A hostile vessel hovering ahead and to the left.
    VESSEL* quarry = s.add_quarry(-600.0f, 700.0f, 400.0f);
    s.world.update_abs_matrix();
    for (int f = 0; f < 4 * FRAMES_PER_SECOND; f++)
        s.step();
    ASSERT_EQ(s.vessel->get_target(), quarry);
    EXPECT_LT(degrees_off_nose(s.vessel, quarry), 10.0f);  // turned from 41 degrees off toward it
    EXPECT_GT(s.vessel->get_thrust_input(1), 0.25f);      // closing in faster than it cruised

    quarry->explode();
    for (int f = 0; f < 10 * FRAMES_PER_SECOND; f++)
        s.step();
    EXPECT_EQ(s.vessel->get_target(), nullptr);
    float before[3], after[3];
    forward_of(s.vessel, before);
    for (int f = 0; f < 5 * FRAMES_PER_SECOND; f++)
        s.step();
    forward_of(s.vessel, after);
    for (int i = 0; i < 3; i++)
        EXPECT_NEAR(after[i], before[i], 0.01f) << i;  // holding its heading
    EXPECT_NEAR(after[2], 0.0f, 0.05f);                 // level
    EXPECT_FLOAT_EQ(s.vessel->get_thrust_input(1), 0.25f);
    EXPECT_FLOAT_EQ(s.vessel->get_thrust_input(0), 0.0f);
    EXPECT_FLOAT_EQ(s.vessel->get_thrust_input(2), 0.0f);
}

TEST(Pilot, NowAndThenAMissileGoesWhenTheQuarryIsInFront)
{
    srand(1);
    SKY s;
    s.vessel->clear_slot(6);
    COUNTING_LAUNCHER* launcher = new COUNTING_LAUNCHER();
    ASSERT_TRUE(s.vessel->fill_slot(6, launcher));
    give_pilot(s.vessel, 0.25f);
    s.vessel->locate_rel(0.0f, 0.0f, 300.0f);
    VESSEL* quarry = s.add_quarry(0.0f, 700.0f, 300.0f);
    int pulls = 0;
    std::vector<float> launched_at;  // s
    for (int f = 0; f < 40 * FRAMES_PER_SECOND; f++) {
        s.step();
        if (launcher->pulls > pulls) {
            pulls = launcher->pulls;
            launched_at.push_back(f * DT);
            EXPECT_LT(degrees_off_nose(s.vessel, quarry), pilot_missile_angle * 180.0f / (float)M_PI);
        }
    }
    // One launch per interval or so, not a salvo every frame.
    EXPECT_GE(launched_at.size(), 2u);
    EXPECT_LE(launched_at.size(), 5u);
    for (size_t i = 1; i < launched_at.size(); i++)
        EXPECT_GT(launched_at[i] - launched_at[i - 1], pilot_missile_interval * (1.0f - pilot_variety) - 0.1f);
    // Between launches the guns are the selected group again.
    THING* selected = s.vessel->get_slot_item(s.vessel->get_cur_gun());
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->get_slottype() & (SLOT_GUN | SLOT_MISSILE), SLOT_GUN);
}

TEST(Pilot, HoldsFireWhileAFriendIsInTheLineOfFire)
{
    for (bool blocked : {false, true}) {
        SCOPED_TRACE(blocked ? "a friend in between" : "a friend off to the side");
        srand(1);
        SKY s;
        give_pilot(s.vessel, 0.25f);
        s.vessel->locate_rel(0.0f, 0.0f, 300.0f);
        VESSEL* quarry = s.add_quarry(0.0f, 700.0f, 300.0f);
        VESSEL* mate = new VESSEL();
        mate->load_vcd(s.data.file("victim.vcd").c_str());
        mate->set_team(TARGET_TEAM);
        mate->locate_rel(300.0f, 0.0f, 600.0f);
        s.world.add_child(mate);
        s.world.update_abs_matrix();
        GUN* lasers[2] = {dynamic_cast<GUN*>(s.vessel->get_slot_item(4)), dynamic_cast<GUN*>(s.vessel->get_slot_item(5))};
        ASSERT_TRUE(lasers[0] && lasers[1]);
        int firing = 0;  // frames in which a laser fired
        for (int f = 0; f < 15 * FRAMES_PER_SECOND; f++) {
            const float* p = s.vessel->get_abs().t;
            const float* q = quarry->get_abs().t;
            if (blocked)
                mate->locate_rel((p[0] + q[0]) / 2, (p[1] + q[1]) / 2, (p[2] + q[2]) / 2);
            else
                mate->locate_rel(p[0] + 300.0f, p[1], p[2] + 300.0f);
            s.step();
            firing += lasers[0]->get_trigger() || lasers[1]->get_trigger();
        }
        if (blocked)
            EXPECT_EQ(firing, 0);
        else
            EXPECT_GT(firing, 10);
    }
}

TEST(Pilot, TheLeadMovesTheAimAlongTheRelativeVelocityForTheShotTime)
{
    // 1000 m ahead, crossing to the right at 100 m/s: a 500 m/s shot takes
    // 2 s, so the aim is 200 m right of the target.
    const float offset[3] = {0.0f, 1000.0f, 0.0f};
    const float crossing[3] = {100.0f, 0.0f, 0.0f};
    float aim[3];
    lead_point(offset, crossing, 500.0f, aim);
    EXPECT_FLOAT_EQ(aim[0], 200.0f);
    EXPECT_FLOAT_EQ(aim[1], 1000.0f);
    EXPECT_FLOAT_EQ(aim[2], 0.0f);
    // A guided missile closes at the relative speed itself: one distance on.
    const float closing[3] = {0.0f, -50.0f, 0.0f};
    lead_point(offset, closing, 50.0f, aim);
    EXPECT_FLOAT_EQ(aim[1], 0.0f);
    // Nothing closing: no lead at all.
    lead_point(offset, crossing, 0.0f, aim);
    EXPECT_FLOAT_EQ(aim[0], 0.0f);
    EXPECT_FLOAT_EQ(aim[1], 1000.0f);
}
