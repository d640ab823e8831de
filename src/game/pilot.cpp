#include "game/pilot.h"

#include <algorithm>
#include <cmath>

#include "effects/lead.h"
#include "equipment/gun.h"
#include "game/globals.h"
#include "scene/vec3.h"
#include "vessel/vessel.h"

float pilot_detection_range = 3500.0f;    // m
float pilot_pursuit_range = 4500.0f;      // m
float pilot_reaction_min = 0.3f;          // s
float pilot_reaction_max = 1.2f;          // s
float pilot_safe_height = 40.0f;          // m
float pilot_ground_lookahead = 2.0f;      // s
float pilot_pull_up_release = 1.5f;       // factor of pilot_safe_height
float pilot_climb_angle = 0.5f;           // rad
float pilot_climb_speed = 30.0f;          // m/s
float pilot_descent_gain = 0.5f;          // (m/s) per m
float pilot_turn_gain = 1.5f;             // command per rad
float pilot_move_gain = 2.0f;             // extra speed asked for per m/s still missing
float pilot_attack_thrust = 1.0f;         // fraction of the stabilizer speed
float pilot_standoff = 350.0f;            // m
float pilot_approach_gain = 0.3f;         // (m/s) per m
float pilot_back_off_speed = 20.0f;       // m/s
float pilot_strafe_speed = 25.0f;         // m/s
float pilot_variety = 0.3f;               // fraction of each pilot's own values
float pilot_fire_angle = 0.05f;           // rad
float pilot_friend_angle = 0.1f;          // rad
float pilot_gun_reach = 1200.0f;          // m
float pilot_default_shot_speed = 500.0f;  // m/s
float pilot_burst_time = 0.7f;            // s
float pilot_burst_pause = 3.5f;           // s
float pilot_aim_scatter = 0.015f;         // rad
float pilot_lead_error = 0.7f;            // fraction of the quarry's own way
float pilot_scatter_interval = 0.7f;      // s
float pilot_missile_interval = 12.0f;     // s
float pilot_missile_angle = 0.35f;        // rad
float pilot_missile_range = 1500.0f;      // m
float pilot_launch_hold = 0.4f;           // s
int pilot_attackers = 3;                  // pilots
float pilot_wait_distance = 900.0f;       // m
float pilot_turn_check = 0.5f;            // s
float pilot_regroup_time = 12.0f;         // s

// A thing is gone for a pilot once it is dead or blowing up.
static const unsigned GONE = THING_DEAD | THING_EXPLODING;

static float clamp1(float v) { return std::clamp(v, -1.0f, 1.0f); }

// The vessel's axis (0 x right, 1 y forward, 2 z up) in world coordinates.
static void axis_of(THING* t, int axis, float* out)
{
    const MATRIX_f& m = t->get_abs();
    for (int i = 0; i < 3; i++)
        out[i] = m.v[i][axis];
}

static float distance_between(THING* a, THING* b)
{
    return distance3(a->get_abs().t, b->get_abs().t);
}

// A vessel worth fighting: targetable, not gone, on a team at war with ours.
static bool is_hostile(VESSEL* v, THING* t)
{
    return t && t != v && t->has_flags(THING_TARGETABLE) && !(t->get_flags() & GONE) &&
           get_team_relation(t->get_team(), v->get_team()) < 0;
}

// Another thing of the pilot's own side (or an ally's) that is still flying.
static bool is_friend(VESSEL* v, THING* t)
{
    return t != v && !(t->get_flags() & GONE) && get_team_relation(t->get_team(), v->get_team()) > 0;
}

// A factor around 1 by up to pilot_variety either way, so that the
// pilots of a wave do not fly alike.
static float varied() { return 1.0f + (2.0f * random_unit() - 1.0f) * pilot_variety; }

PILOT::PILOT(float cruise)
    : cruise_thrust(cruise),
      reaction_delay(pilot_reaction_min + random_unit() * (pilot_reaction_max - pilot_reaction_min)),
      sighted_time(0.0f),
      pulling_up(false),
      strafe_speed((random15() & 1 ? 1.0f : -1.0f) * pilot_strafe_speed * varied()),
      standoff(pilot_standoff * varied()),
      burst_time(pilot_burst_time * varied()),
      burst_pause(pilot_burst_pause * varied()),
      aim_error{0.0f, 0.0f},
      scatter_time(0.0f),
      burst_clock(random_unit() * (pilot_burst_time + pilot_burst_pause)),
      missile_time(random_unit() * pilot_missile_interval),
      launch_time(0.0f),
      regroup_time(0.0f),
      waiting(false),  // looked at anew by the first attack's turn check
      turn_check_time(0.0f)
{
    set_type_string("pilot");
    set_id_string("pilot");
}

const char* PILOT::get_thingtype_string() { return "PILOT"; }

VESSEL* PILOT::flown() { return dynamic_cast<VESSEL*>(get_parent()); }

// The hostile the pilot is after stays its choice while within pursuit
// range; otherwise the nearest hostile within detection range.
THING* PILOT::spot_hostile(VESSEL* v)
{
    THING* current = v->get_target();
    if (is_hostile(v, current) && distance_between(v, current) < pilot_pursuit_range)
        return current;
    THING* world = v->get_parent();
    if (!world)
        return nullptr;
    THING* best = nullptr;
    float best_distance = pilot_detection_range;
    for (THING* t = world->get_first_child(); t; t = t->get_next()) {
        if (!is_hostile(v, t))
            continue;
        float d = distance_between(v, t);
        if (d < best_distance) {
            best_distance = d;
            best = t;
        }
    }
    return best;
}

// A pilot acts on a sighting (a hostile appearing, changing or gone) only
// once it has lasted the pilot's own reaction delay, so the vessels of a
// wave turn one after the other.
void PILOT::react(VESSEL* v, THING* seen, float dt)
{
    if (seen != sighted.get()) {
        sighted = seen;
        sighted_time = 0.0f;
        return;
    }
    sighted_time += dt;
    if (sighted_time >= reaction_delay && v->get_target() != seen)
        v->set_target(seen);
}

// Clearance under the hull now, and where the present descent takes it
// within the look-ahead time. Once pulling up, the pilot climbs on until
// well clear and no longer sinking.
bool PILOT::ground_ahead(VESSEL* v)
{
    float vel[3];
    v->get_vel(vel);
    float clearance = v->get_abs().t[2] - v->get_radius();
    float predicted = clearance + (vel[2] < 0.0f ? vel[2] * pilot_ground_lookahead : 0.0f);
    if (pulling_up)
        return clearance < pilot_safe_height * pilot_pull_up_release || vel[2] < 0.0f;
    return predicted < pilot_safe_height;
}

// Turns the nose toward dir (world coordinates, any length): pitch by the
// elevation of dir above the vessel's wings, yaw by its bearing off the
// nose. The horizon stabilizer keeps the wings level meanwhile. A dir of
// zero length commands no turn.
void PILOT::steer(VESSEL* v, const float* dir)
{
    float x[3], y[3], z[3];
    axis_of(v, 0, x);
    axis_of(v, 1, y);
    axis_of(v, 2, z);
    float l[3] = {dot3(x, dir), dot3(y, dir), dot3(z, dir)};
    float elevation = atan2f(l[2], hypotf(l[0], l[1]));
    float bearing = atan2f(l[0], l[1]);
    // Channel 3 turns the nose down for positive values, channel 5 right.
    v->set_thrust(clamp1(-elevation * pilot_turn_gain), 3);
    v->set_thrust(0.0f, 4);
    v->set_thrust(clamp1(bearing * pilot_turn_gain), 5);
}

// Asks the linear stabilizer for a world velocity (m/s), through the three
// thrust channels as a player would, each command within -1..1. The
// stabilizer alone settles slowly; like a player the pilot asks for more
// than it wants while the vessel lags behind.
void PILOT::move(VESSEL* v, const float* want)
{
    float top = v->get_stabilizer_speed();
    float lvel[3];
    v->get_lvel(lvel);
    for (int axis = 0; axis < 3; axis++) {
        float a[3];
        axis_of(v, axis, a);
        float w = dot3(a, want);
        float ask = w + pilot_move_gain * (w - lvel[axis]);
        v->set_thrust(top > 0.0f ? clamp1(ask / top) : 0.0f, axis);
    }
}

// Nose up above the horizon along the present heading, climbing and
// keeping the speed over the ground.
void PILOT::pull_up(VESSEL* v)
{
    float y[3];
    axis_of(v, 1, y);
    float heading = hypotf(y[0], y[1]);
    float h[2] = {0.0f, 1.0f};  // a nose pointing straight up or down keeps world +y
    if (heading > 0.0f) {
        h[0] = y[0] / heading;
        h[1] = y[1] / heading;
    }
    float dir[3] = {h[0] * cosf(pilot_climb_angle), h[1] * cosf(pilot_climb_angle), sinf(pilot_climb_angle)};
    steer(v, dir);
    float vel[3];
    v->get_vel(vel);
    float want[3] = {vel[0], vel[1], pilot_climb_speed};
    move(v, want);
    v->set_trigger(false);
}

// Muzzle speed of the selected gun, for the lead.
static float shot_speed(VESSEL* v)
{
    GUN* gun = dynamic_cast<GUN*>(v->get_slot_item(v->get_cur_gun()));
    return gun ? gun->get_bullet_speed() : pilot_default_shot_speed;
}

// The pilot's hand is not steady and its guess of where the quarry goes is
// only a guess: the aim wanders off the lead point, to a new place every
// pilot_scatter_interval, by up to pilot_aim_scatter of the distance plus
// pilot_lead_error of the way the quarry itself moves while the shot flies
// (guess, m). A vessel sitting still is hit; one that moves fast is often
// missed.
void PILOT::scatter_aim(VESSEL* v, float dist, float guess, float dt, float* aim)
{
    scatter_time -= dt;
    if (scatter_time <= 0.0f) {
        scatter_time = pilot_scatter_interval;
        for (float& e : aim_error)
            e = 2.0f * random_unit() - 1.0f;
    }
    float spread = pilot_aim_scatter * dist + pilot_lead_error * guess;  // m
    float x[3], z[3];
    axis_of(v, 0, x);
    axis_of(v, 2, z);
    for (int i = 0; i < 3; i++)
        aim[i] += (x[i] * aim_error[0] + z[i] * aim_error[1]) * spread;
}

// Fires in bursts: the trigger may be held for a burst, then rests for a
// pause, the clock running only while the pilot fights.
bool PILOT::burst_allows(float dt)
{
    burst_clock += dt;
    if (burst_clock >= burst_time + burst_pause)
        burst_clock = 0.0f;
    return burst_clock < burst_time;
}

// A vessel of the pilot's own side nearer than the quarry and within
// pilot_friend_angle of the line to it (offset, dist: where the quarry is).
// Shots that meet the quarry fly along that line over the ground, whatever
// lead the nose takes: holding fire spares the friend.
static bool friend_in_line(VESSEL* v, const float* offset, float dist)
{
    THING* world = v->get_parent();
    if (!world || dist <= 0.0f)
        return false;
    const float* p = v->get_abs().t;
    for (THING* t = world->get_first_child(); t; t = t->get_next()) {
        if (!is_friend(v, t))
            continue;
        const float* q = t->get_abs().t;
        float d[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
        float along = dot3(d, offset) / dist;  // m toward the quarry
        if (along > 0.0f && along < dist && along >= length3(d) * cosf(pilot_friend_angle))
            return true;
    }
    return false;
}

// Steps through the gun groups, as the next-group key does, until the
// selected one is of the kind asked for (SLOT_GUN or SLOT_MISSILE); false
// when the vessel has none (every group has been selected in turn).
static bool select_group(VESSEL* v, int kind)
{
    for (int tries = 0; tries <= MAX_SLOTS; tries++) {
        THING* item = v->get_slot_item(v->get_cur_gun());
        if (item && (item->get_slottype() & (SLOT_GUN | SLOT_MISSILE)) == kind)
            return true;
        v->next_gun_type();
    }
    return false;
}

// Now and then, with the quarry in front, the pilot selects its missiles and
// holds the trigger until one is away (pilot_launch_hold); true while it
// does, so that the guns wait.
bool PILOT::launch_missile(VESSEL* v, const float* offset, float dist, float dt)
{
    missile_time -= dt;
    if (launch_time > 0.0f) {
        launch_time -= dt;
        return true;
    }
    float y[3];
    axis_of(v, 1, y);
    bool in_front = dist > 0.0f && dot3(y, offset) >= dist * cosf(pilot_missile_angle) && dist < pilot_missile_range;
    if (missile_time > 0.0f || !in_front || friend_in_line(v, offset, dist))
        return false;
    missile_time = pilot_missile_interval * varied();
    if (!select_group(v, SLOT_MISSILE))
        return false;
    launch_time = pilot_launch_hold;
    v->set_trigger(true);
    return true;
}

// Once the quarry it fought has gone down, a pilot flies on for
// pilot_regroup_time before it looks for another fight, so that a new
// vessel appearing where the last one fell is not shot down at once.
bool PILOT::regrouping(VESSEL* v, float dt)
{
    THING* t = v->get_target();
    if (is_hostile(v, t)) {
        fought = t;
    } else if (fought.get() != t) {  // the one it fought is gone or dropped
        if (!fought.get() || (fought->get_flags() & GONE))
            regroup_time = pilot_regroup_time;
        fought = nullptr;
    }
    if (regroup_time <= 0.0f)
        return false;
    regroup_time -= dt;
    return true;
}

// Vessels of the pilot's own side that are after the same quarry and
// nearer to it than dist.
static int nearer_friends_on(VESSEL* v, THING* quarry, float dist)
{
    THING* world = v->get_parent();
    int n = 0;
    for (THING* t = world ? world->get_first_child() : nullptr; t; t = t->get_next()) {
        if (!is_friend(v, t))
            continue;
        auto* mate = dynamic_cast<VESSEL*>(t);
        if (mate && mate->get_target() == quarry && distance_between(t, quarry) < dist)
            n++;
    }
    return n;
}

// Only the pilot_attackers nearest to the quarry press home; the others
// hold off and wait for a place, so a lone vessel meets a few guns at a
// time, not a whole wave's. Looked at every pilot_turn_check.
bool PILOT::waiting_turn(VESSEL* v, THING* t, float dt)
{
    turn_check_time -= dt;
    if (turn_check_time <= 0.0f) {
        turn_check_time = pilot_turn_check;
        waiting = nearer_friends_on(v, t, distance_between(v, t)) >= pilot_attackers;
    }
    return waiting;
}

// Nose on the lead point; meanwhile close to the standoff distance, slide
// round the quarry and stay above the pull-up height; fire when the aim is on.
void PILOT::attack(VESSEL* v, THING* t, float dt)
{
    float own_vel[3], their_vel[3];
    v->get_vel(own_vel);
    t->get_vel(their_vel);
    const float* p = v->get_abs().t;
    const float* q = t->get_abs().t;
    float offset[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
    float rel_vel[3] = {their_vel[0] - own_vel[0], their_vel[1] - own_vel[1], their_vel[2] - own_vel[2]};
    float aim[3];
    float speed = shot_speed(v);
    lead_point(offset, rel_vel, speed, aim);
    float dist = length3(offset);
    scatter_aim(v, dist, length3(their_vel) * dist / speed, dt, aim);
    steer(v, aim);

    bool wait = waiting_turn(v, t, dt);
    float top = v->get_stabilizer_speed() * pilot_attack_thrust;
    float approach = (dist - (wait ? pilot_wait_distance : standoff)) * pilot_approach_gain;
    approach = approach < -pilot_back_off_speed ? -pilot_back_off_speed : approach > top ? top : approach;
    float want[3] = {0.0f, 0.0f, 0.0f};
    float across = hypotf(offset[0], offset[1]);
    for (int i = 0; i < 3 && dist > 0.0f; i++)
        want[i] = offset[i] / dist * approach;
    if (across > 0.0f) {
        want[0] += -offset[1] / across * strafe_speed;
        want[1] += offset[0] / across * strafe_speed;
    }
    // Descend no faster than the height above the pull-up band allows.
    float clearance = p[2] - v->get_radius();
    float lowest = (pilot_safe_height * pilot_pull_up_release - clearance) * pilot_descent_gain;
    want[2] = std::max(want[2], lowest);
    move(v, want);

    float y[3];
    axis_of(v, 1, y);
    float aim_length = length3(aim);
    float facing = aim_length > 0.0f ? dot3(y, aim) / aim_length : 0.0f;  // cosine of the aim error
    bool in_burst = burst_allows(dt);
    if (wait) {
        v->set_trigger(false);
        return;
    }
    if (launch_missile(v, offset, dist, dt))
        return;
    select_group(v, SLOT_GUN);
    bool on_aim = facing >= cosf(pilot_fire_angle) && dist < pilot_gun_reach;
    v->set_trigger(in_burst && on_aim && !friend_in_line(v, offset, dist));
}

// Straight ahead at the cruise thrust, as a target without a pilot flies,
// with the nose brought back to the horizon.
void PILOT::cruise(VESSEL* v)
{
    float y[3];
    axis_of(v, 1, y);
    float level[3] = {y[0], y[1], 0.0f};
    steer(v, level);
    v->set_thrust(0.0f, 0);
    v->set_thrust(cruise_thrust, 1);
    v->set_thrust(0.0f, 2);
    v->set_trigger(false);
}

void PILOT::tick(float dt)
{
    THING::tick(dt);
    VESSEL* v = flown();
    if (!v)
        return;
    if (v->get_flags() & GONE) {
        v->set_trigger(false);  // nobody left at the controls
        return;
    }
    v->set_stabilizer(true);
    v->set_rstabilizer(true);
    v->set_hstabilizer(true);
    // A new vessel has no gun group chosen: take the first, as a player would.
    if (v->get_cur_gun() < 0)
        v->next_gun_type();
    bool resting = regrouping(v, dt);
    react(v, resting ? nullptr : spot_hostile(v), dt);
    pulling_up = ground_ahead(v);
    THING* t = v->get_target();
    if (pulling_up)
        pull_up(v);
    else if (!resting && is_hostile(v, t))
        attack(v, t, dt);
    else
        cruise(v);
}

void give_pilot(VESSEL* v, float cruise_thrust) { v->add_child(new PILOT(cruise_thrust)); }

PILOT* find_pilot(THING* v)
{
    for (THING* c = v->get_first_child(); c; c = c->get_next())
        if (PILOT* p = dynamic_cast<PILOT*>(c))
            return p;
    return nullptr;
}
