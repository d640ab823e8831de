#include "effects/bullet.h"

#include <cmath>

// The burst of a bullet is a flash the size of its power.
static const float EXPLOSION_RADIUS_PER_POWER = 0.3f;

BULLET::BULLET(float life_time, float arm_time) : life_time(life_time), arm_time(arm_time)
{
    set_flags(THING_EXPLODABLE | THING_GROUND_CHECK);
}

const char* BULLET::get_thingtype_string() { return "BULLET"; }

void BULLET::get_vel(float* v)
{
    v[0] = vel[0];
    v[1] = vel[1];
    v[2] = vel[2];
}

int BULLET::get_explosion_nr_fireballs() { return 1; }
float BULLET::get_explosion_time() { return 0.0f; }
bool BULLET::get_explosion_debris() { return false; }
float BULLET::get_explosion_radius() { return explosion_radius; }

void BULLET::get_explosion_color(float* rgb)
{
    rgb[0] = explosion_color[0];
    rgb[1] = explosion_color[1];
    rgb[2] = explosion_color[2];
}

float BULLET::get_explosion_delay() { return 0.0f; }
unsigned char BULLET::get_bound_type() { return BOUND_POINT; }

void BULLET::tick(float dt)
{
    THING::tick(dt);
    if (is_dead())
        return;
    if (life_time > 0.0f) {
        life_time -= dt;
        if (life_time <= 0.0f)
            explode();
    }
    if (arm_time > 0.0f) {
        arm_time -= dt;
        if (arm_time <= 0.0f)
            set_flags(THING_ACTIVE_COLLIDER);
    }
    float step[3] = {vel[0] * dt, vel[1] * dt, vel[2] * dt};
    translate_rel(step);
}

void BULLET::handle_intersect(THING* other)
{
    if (owner && owner == other)
        return;  // never the vessel that fired it
    other->get_vel(vel);
    other->receive_hit(power);
    receive_hit(power);
}

void BULLET::handle_ground_intersect()
{
    receive_hit(power);
    vel[0] = vel[1] = vel[2] = 0.0f;
}

void BULLET::set_speed(float s)
{
    // The second column of rel is the bullet's own y axis.
    vel[0] = s * rel.v[0][1];
    vel[1] = s * rel.v[1][1];
    vel[2] = s * rel.v[2][1];
}

void BULLET::set_vel(const float* v)
{
    vel[0] = v[0];
    vel[1] = v[1];
    vel[2] = v[2];
}

void BULLET::set_power(float p)
{
    power = fabsf(p);
    explosion_radius = EXPLOSION_RADIUS_PER_POWER * power;
}

void BULLET::set_explosion_color(const float* rgb)
{
    explosion_color[0] = rgb[0];
    explosion_color[1] = rgb[1];
    explosion_color[2] = rgb[2];
}
