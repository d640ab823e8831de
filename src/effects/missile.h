// MISSILE: a bullet with a motor. While its burn time lasts it accelerates
// along its nose, trails flame puffs and, when guided, turns towards a lead
// point ahead of its target; after burn-out it coasts like a bullet. Rockets
// from rocket pods are unguided missiles; launchers fire unguided,
// heat-seeking and radar-guided ones. Unlike a bullet it can be targeted,
// shows on radar and can be shot down from the moment it leaves the rail.
#pragma once

#include "effects/bullet.h"
#include "scene/thing_ref.h"

extern float missile_lifetime;          // s a missile flies before it bursts by itself
extern float missile_acc_to_flamesize;  // m of flame puff per m/s^2 of acceleration
extern float missile_speed_limit;       // m/s the motor never pushes past
extern float missile_guidance_tick;     // s of flight over which guidance turns by the aim error in angle units

// Guidance technologies (any other value flies unguided).
enum { MISSILE_DUMB = 0, MISSILE_HEAT = 1, MISSILE_RADAR = 2 };

class MISSILE : public BULLET {
public:
    // burn_time: s of motor; arm_time: s until it can hit; missile_tech: one
    // of the MISSILE_* values; target: what it steers at, may be null, not
    // owned (forgotten when it dies or is destroyed); accel: m/s^2 while
    // burning; turn_rate: the largest turn per second of the guidance law.
    MISSILE(float burn_time, float arm_time, int missile_tech, THING* target, float accel, float turn_rate);

    const char* get_thingtype_string() override;  // "MISSILE"
    float get_m() override;                       // base mass + mass per power x power
    int get_explosion_nr_fireballs() override;    // 6
    float get_explosion_time() override;          // 2 s
    float get_explosion_speed() override;         // 2 m/s
    void tick(float dt) override;
    THING* crop_spawn() override;  // a flame puff while burning, or what a child gives

    virtual void set_accel(float a);  // the flame grows with it
    virtual void set_rrate(float r);
    virtual void set_flame_color(const float* rgb);

    // Masses shared with the guns and launchers that carry missiles, kg.
    static float get_base_m(int missile_tech);
    static float get_m_per_power(int missile_tech);

    THING* get_target() const { return target; }
    int get_missile_tech() const { return missile_tech; }
    float get_burn_time() const { return burn_time; }
    float get_accel() const { return accel; }
    float get_turn_rate() const { return turn_rate; }
    float get_flame_size() const;  // m, from the acceleration
    const float* get_flame_color() const { return flame_color; }

protected:
    bool sees_target(float dist);  // the seeker has the target at dist m
    void steer(float dt);          // one guidance step of dt s, needs a target
    void forget_lost_target();     // drops a dead or exploding target
    // The proximity fuse, once armed: bursts on the first thing it can hit
    // whose sphere the straight path of this tick of dt s, from where it was
    // (from) to where it is now, passed through.
    void fuse(const float* from, float dt);

    int missile_tech;          // MISSILE_* value
    THING_REF target;          // null: flies straight
    float accel;               // m/s^2 while burning
    float turn_rate;           // largest turn per second, guidance units
    float flame_color[3] = {1.0f, 0.5f, 0.2f};
    float flame_counter = 0.0f;             // flame intervals since the last puff; one is due at 1
    float flame_interval = 1.0f / 30.0f;    // s
    float flame_speed = 1.0f;               // m/s of the puffs backwards
    float burn_time;                        // s of motor left; burning while >= 0
};
