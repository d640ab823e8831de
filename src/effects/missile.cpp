#include "effects/missile.h"

#include <cmath>

#include "effects/fireball.h"
#include "effects/lead.h"
#include "game/globals.h"
#include "scene/vec3.h"

float missile_lifetime = 30.0f;          // s
float missile_acc_to_flamesize = 0.02f;  // m per m/s^2
float missile_speed_limit = 500.0f;      // m/s
float missile_guidance_tick = 1.0f / 60.0f;  // s

// A warhead small enough to be a sensible blast before the creator sets the power.
static const float MISSILE_INITIAL_EXPLOSION_RADIUS = 2.0f;  // m
static const float FLAME_PUFF_DURATION = 5.0f;               // s

MISSILE::MISSILE(float burn_time, float arm_time, int missile_tech, THING* target, float accel, float turn_rate)
    : BULLET(missile_lifetime, arm_time),
      missile_tech(missile_tech),
      target(target),
      accel(accel),
      turn_rate(turn_rate),
      burn_time(burn_time)
{
    explosion_radius = MISSILE_INITIAL_EXPLOSION_RADIUS;
    set_flags(THING_EXPLODABLE | THING_PASSIVE_COLLIDER | THING_TARGETABLE | THING_ON_RADAR);
}

const char* MISSILE::get_thingtype_string() { return "MISSILE"; }

float MISSILE::get_base_m(int missile_tech)
{
    switch (missile_tech) {
    case MISSILE_DUMB: return 1.0f;
    case MISSILE_HEAT: return 5.0f;
    case MISSILE_RADAR: return 15.0f;
    default: return 0.0f;
    }
}

float MISSILE::get_m_per_power(int) { return 1.0f; }

float MISSILE::get_m() { return get_base_m(missile_tech) + get_m_per_power(missile_tech) * power; }

int MISSILE::get_explosion_nr_fireballs() { return 6; }
float MISSILE::get_explosion_time() { return 2.0f; }
float MISSILE::get_explosion_speed() { return 2.0f; }

void MISSILE::set_accel(float a) { accel = a; }
float MISSILE::get_flame_size() const { return accel * missile_acc_to_flamesize; }

void MISSILE::set_rrate(float r) { turn_rate = r; }

void MISSILE::set_flame_color(const float* rgb)
{
    for (int i = 0; i < 3; i++)
        flame_color[i] = rgb[i];
}

void MISSILE::forget_lost_target()
{
    if (target && (target->get_flags() & (THING_DEAD | THING_EXPLODING)))
        target = nullptr;
}

bool MISSILE::sees_target(float dist)
{
    if (missile_tech == MISSILE_RADAR)
        return true;
    // A heat seeker sees an exhaust whose heat outweighs its distance.
    if (missile_tech == MISSILE_HEAT)
        return dist == 0.0f || target->get_heat() / dist >= 1.0f;
    return false;
}

static float limit(float x, float m) { return x < -m ? -m : x > m ? m : x; }

void MISSILE::steer(float dt)
{
    // The parent is the world, so rel is the world transform, and it is
    // current even before the first matrix update after launch. The
    // target's absolute place is where it was when this tick began.
    const float* at = target->get_abs().t;
    float d[3] = {at[0] - rel.t[0], at[1] - rel.t[1], at[2] - rel.t[2]};
    float dist = length3(d);
    if (!sees_target(dist))
        return;
    float m = dt * turn_rate;
    // Aim where the target's offset will have drifted, along the relative
    // velocity, by one target distance (the lead of something closing at
    // the relative speed itself): turning that way brings the closing
    // velocity onto the line of sight, a collision course.
    float tv[3];
    target->get_vel(tv);
    float u[3] = {tv[0] - vel[0], tv[1] - vel[1], tv[2] - vel[2]};
    float a[3];
    lead_point(d, u, length3(u), a);
    // The aim point in the missile's own frame: x right, y nose, z up.
    float l[3];
    for (int c = 0; c < 3; c++)
        l[c] = rel.v[0][c] * a[0] + rel.v[1][c] * a[1] + rel.v[2][c] * a[2];
    // The errors in radians are used directly as angle units (1/256 turn)
    // for a tick of a 60th of a second, so each tick takes a small fraction
    // of the error: a smooth approach. A shorter tick turns as much less (a
    // fast machine's frames), a longer one as much more (a very slow one's),
    // or missiles would turn faster or slower with the frame rate.
    float share = dt / missile_guidance_tick;
    float pitch = limit(-atan2f(l[2], l[1]) * share, m);
    float yaw = limit(atan2f(l[0], l[1]) * share, m);
    MATRIX_f r;
    get_rotation_matrix_f(&r, pitch, 0.0f, yaw);
    rtransform_rel(r);
}

void MISSILE::tick(float dt)
{
    if (target && target->is_dead())
        target = nullptr;
    if (!is_dead() && !has_flags(THING_EXPLODING) && burn_time >= 0.0f) {
        burn_time -= dt;
        flame_counter += dt / flame_interval;
        forget_lost_target();
        if (target)
            steer(dt);
        // The motor pushes along the nose, never beyond the speed limit.
        for (int i = 0; i < 3; i++)
            vel[i] += accel * dt * rel.v[i][1];
        float speed = length3(vel);
        if (speed > missile_speed_limit)
            for (float& v : vel)
                v *= missile_speed_limit / speed;
    }
    const float from[3] = {rel.t[0], rel.t[1], rel.t[2]};
    BULLET::tick(dt);
    fuse(from, dt);
}

// The fraction 0..1 of the path start + s x step at which it first comes
// within r of the origin; below 0 when it never does.
static float entry_along(const float* start, const float* step, float r)
{
    float a = dot3(step, step), b = dot3(start, step), c = dot3(start, start) - r * r;
    if (c <= 0.0f)
        return 0.0f;
    if (b >= 0.0f)
        return -1.0f;  // not closing in (a step of no length has b = 0 too)
    float disc = b * b - a * c;
    if (disc < 0.0f)
        return -1.0f;
    float s = (-b - sqrtf(disc)) / a;
    return s <= 1.0f ? s : -1.0f;
}

// The collision pass compares where things are at the end of a tick. A
// missile at 500 m/s moves 8 m in a tick of a 60th of a second, more than
// the chord it cuts through a drone's 5 m sphere a few metres off centre,
// so it could step over what it flew through. The fuse looks along the
// straight path flown this tick instead, relative to the other thing's own
// motion over the same time. It is done here rather than as a swept test in
// the pass: the pass neither knows the tick nor how far anything moved, and
// its pairs and their order stay exactly what they were. The fuse accepts
// only what the pass would (armed, a collider with a sphere, alive, not its
// owner) and can only add hits: the end of the path is the very point the
// pass tests. Siblings before this one in the list have moved this tick
// already (children tick in list order), those after it have not yet.
void MISSILE::fuse(const float* from, float dt)
{
    const unsigned gone = THING_DEAD | THING_EXPLODING;
    if (!parent || (flags & gone) || !(flags & THING_ACTIVE_COLLIDER))
        return;
    float path[3] = {rel.t[0] - from[0], rel.t[1] - from[1], rel.t[2] - from[2]};
    if (!std::isfinite(dot3(path, path)) || !std::isfinite(dot3(from, from)) || !std::isfinite(dt))
        return;
    THING* hit = nullptr;
    float first = 2.0f;  // the fraction of the path at the first entry
    bool moved = true;   // the sibling has had its tick
    for (THING* t = parent->get_first_child(); t; t = t->get_next()) {
        if (t == this) {
            moved = false;
            continue;
        }
        unsigned f = t->get_flags();
        if ((f & gone) || !is_collider(f) ||
            t->get_bound_type() != BOUND_SPHERE || (owner && owner == t))
            continue;
        float r = fabsf(t->get_radius());
        if (!std::isfinite(r))
            continue;
        float v[3];
        t->get_vel(v);
        const float* p = t->get_rel().t;
        float start[3], step[3];
        for (int i = 0; i < 3; i++) {  // where it was when this tick began
            start[i] = from[i] - (moved ? p[i] - v[i] * dt : p[i]);
            step[i] = path[i] - v[i] * dt;
        }
        float s = entry_along(start, step, r);
        if (s >= 0.0f && s < first)
            first = s, hit = t;
    }
    if (!hit)
        return;
    // The burst where the paths met.
    locate_rel(from[0] + first * path[0], from[1] + first * path[1], from[2] + first * path[2]);
    handle_intersect(hit);
    hit->handle_intersect(this);
}

THING* MISSILE::crop_spawn()
{
    if (THING* t = THING::crop_spawn())
        return t;
    if (is_dead() || has_flags(THING_EXPLODING) || burn_time <= 0.0f || flame_counter < 1.0f)
        return nullptr;
    FIREBALL* puff = new FIREBALL(flame_color);
    puff->reset(1.0f, get_flame_size(), FLAME_PUFF_DURATION, true);
    float v[3];
    for (int i = 0; i < 3; i++)
        v[i] = vel[i] - flame_speed * rel.v[i][1];
    puff->set_vel(v);
    // Scattered along its path over one interval, so a fast missile's
    // stream does not show as separate beads.
    float r = random_unit() * flame_interval;
    puff->locate_rel(rel.t[0] + r * v[0], rel.t[1] + r * v[1], rel.t[2] + r * v[2]);
    // Not 0: the next puff is due a little sooner than one full interval.
    flame_counter = flame_interval;
    return puff;
}
