// BULLET: a shot that flies straight at constant velocity, arms itself
// shortly after launch, damages the first thing it touches and bursts into a
// small explosion sized by its power. Laser bolts and cannon shells are
// bullets; rockets and missiles derive from it.
#pragma once

#include "effects/fireball.h"
#include "scene/thing.h"

class BULLET : public THING {
public:
    // life_time: seconds until it bursts by itself; arm_time: seconds until
    // it can hit (and be hit).
    BULLET(float life_time, float arm_time);

    const char* get_thingtype_string() override;  // "BULLET"
    void get_vel(float* v) override;
    int get_explosion_nr_fireballs() override;  // 1
    float get_explosion_time() override;        // 0: the burst shows no fireball
    bool get_explosion_debris() override;       // false
    float get_explosion_radius() override;      // 0.3 x power
    void get_explosion_color(float* rgb) override;
    float get_explosion_delay() override;       // 0: bursts in the frame it is hit
    void tick(float dt) override;
    unsigned char get_bound_type() override;    // a point
    void handle_intersect(THING* other) override;
    void handle_ground_intersect() override;

    virtual void set_speed(float s);  // along the bullet's own y axis
    virtual void set_vel(const float* v);
    virtual void set_power(float p);  // damage |p|; explosion radius 0.3 |p|
    virtual void set_explosion_color(const float* rgb);

    float get_power() const { return power; }
    float get_life_time() const { return life_time; }
    float get_arm_time() const { return arm_time; }

protected:
    float vel[3] = {0.0f, 0.0f, 0.0f};  // m/s, world
    float explosion_color[3] = {FIRE_COLOR[0], FIRE_COLOR[1], FIRE_COLOR[2]};
    float explosion_radius = 1.0f;      // m
    float life_time;                    // s left; stops counting at 0
    float arm_time;                     // s until armed
    float power = 1.0f;                 // damage dealt on a hit, >= 0
};
