// PILOT: the one who flies a target vessel when opponents fight back. It
// sits in the tree as a child of the vessel it flies (so it lives and dies
// with it) and works only the controls a player has: set_thrust on the six
// channels, the stabilizers, target selection and the trigger. It reads the
// world (hostile vessels, its own height and speed) but never moves a vessel
// or touches a shield. Not to be confused with the vessel's eye node, which
// VESSEL::get_pilot answers.
//
// What it does, first match wins: keep clear of the ground; go for a
// hostile vessel it has seen (turn toward the lead point, close in, fire
// when the aim is on, now and then a missile), leaving the close fight to a
// few of its side at a time; otherwise fly straight and level at its cruise
// thrust, as a target without a pilot does, and so for a while after its
// quarry went down.
#pragma once

#include "scene/thing.h"
#include "scene/thing_ref.h"

class VESSEL;

extern float pilot_detection_range;     // m: a hostile vessel this close is noticed (a wave sees the start from where it appears)
extern float pilot_pursuit_range;       // m: a hostile being chased is given up beyond this
extern float pilot_reaction_min;        // s: shortest delay before a pilot acts on what it sees
extern float pilot_reaction_max;        // s: longest such delay; each pilot draws its own
extern float pilot_safe_height;         // m of clearance under the hull below which a pilot pulls up
extern float pilot_ground_lookahead;    // s: a descent that would pass the safe height this soon pulls up
extern float pilot_pull_up_release;     // factor of the safe height a pilot climbs past before it goes on
extern float pilot_climb_angle;         // rad above the horizon the nose points while pulling up
extern float pilot_climb_speed;         // m/s upward while pulling up
extern float pilot_descent_gain;        // m/s of descent allowed per metre above the pull-up height
extern float pilot_turn_gain;           // turn command per radian of aim error
extern float pilot_move_gain;           // extra speed asked for per m/s the vessel still lacks
extern float pilot_attack_thrust;       // fastest approach, as a fraction of the stabilizer speed
extern float pilot_standoff;            // m: distance a pilot keeps from its quarry
extern float pilot_approach_gain;       // m/s of approach per metre beyond the standoff
extern float pilot_back_off_speed;      // m/s: fastest a pilot backs away when too close
extern float pilot_strafe_speed;        // m/s sideways around the quarry while fighting
extern float pilot_variety;             // each pilot's strafe speed, standoff and bursts differ by up to this fraction
extern float pilot_fire_angle;          // rad: largest angle between nose and aim point to fire at
extern float pilot_gun_reach;           // m: farthest a pilot fires its guns
extern float pilot_default_shot_speed;  // m/s assumed for the lead when no gun is selected
extern float pilot_burst_time;          // s a pilot holds the trigger in one burst
extern float pilot_burst_pause;         // s between bursts
extern float pilot_aim_scatter;         // rad: largest error of a pilot's aim at a still target, each way
extern float pilot_lead_error;          // largest error of a pilot's lead, as a fraction of the lead
extern float pilot_scatter_interval;    // s a pilot's aim error lasts before it wanders elsewhere
extern float pilot_missile_interval;    // s between a pilot's missile launches, about
extern float pilot_missile_angle;       // rad: the quarry must be this close to the nose for a launch
extern float pilot_missile_range;       // m: and no farther than this
extern float pilot_launch_hold;         // s the trigger is held with the missiles selected
extern float pilot_friend_angle;        // rad: a friend this close to the line of fire holds the trigger
extern int pilot_attackers;             // pilots: at most this many press home on one quarry at a time
extern float pilot_wait_distance;       // m: the others hold off this far without firing
extern float pilot_turn_check;          // s between a pilot's looks at whose turn it is
extern float pilot_regroup_time;        // s a pilot flies on after its quarry went down before it fights again

class PILOT : public THING {
public:
    // cruise_thrust: the forward thrust command it flies with while it has
    // nobody to fight, -1..1.
    explicit PILOT(float cruise_thrust);

    const char* get_thingtype_string() override;  // "PILOT"
    void tick(float dt) override;                 // reads the world, works the controls

    // read-outs
    float get_reaction_delay() const { return reaction_delay; }  // s
    bool is_pulling_up() const { return pulling_up; }
    bool is_waiting() const { return waiting; }           // holding off while others attack
    bool is_regrouping() const { return regroup_time > 0.0f; }

private:
    VESSEL* flown();                     // the parent vessel, or null
    THING* spot_hostile(VESSEL* v);      // what the pilot sees to go for now, or null
    void react(VESSEL* v, THING* seen, float dt);
    bool regrouping(VESSEL* v, float dt);
    bool waiting_turn(VESSEL* v, THING* t, float dt);
    bool ground_ahead(VESSEL* v);
    void pull_up(VESSEL* v);
    void attack(VESSEL* v, THING* t, float dt);
    void scatter_aim(VESSEL* v, float dist, float guess, float dt, float* aim);
    bool burst_allows(float dt);
    bool launch_missile(VESSEL* v, const float* offset, float dist, float dt);
    void cruise(VESSEL* v);
    void steer(VESSEL* v, const float* dir);
    void move(VESSEL* v, const float* want);

    float cruise_thrust;   // forward command without a fight, -1..1
    float reaction_delay;  // s a sighting must last before the pilot acts on it
    THING_REF sighted;     // what the pilot last saw to go for; null: nothing
    float sighted_time;    // s that sighting has lasted
    bool pulling_up;       // keeping clear of the ground takes over
    float strafe_speed;    // m/s round the quarry, negative: the other way
    float standoff;        // m the pilot keeps from its quarry
    float burst_time;      // s the pilot holds the trigger in one burst
    float burst_pause;     // s between its bursts
    float aim_error[2];    // -1..1: how far off the lead point the aim is, right and up
    float scatter_time;    // s until the aim error wanders elsewhere
    float burst_clock;     // s into the present burst and pause
    float missile_time;    // s until the pilot may launch a missile
    float launch_time;     // s it still holds the trigger on its missiles
    THING_REF fought;      // the quarry it fights; null when none or gone
    float regroup_time;    // s it still flies on before it fights again
    bool waiting;          // others press home on its quarry: it holds off
    float turn_check_time; // s until it looks again whose turn it is
};

// Puts a new pilot into the vessel (as its child) that flies it from now on.
void give_pilot(VESSEL* v, float cruise_thrust);
// The vessel's pilot, or null when nobody flies it.
PILOT* find_pilot(THING* v);
