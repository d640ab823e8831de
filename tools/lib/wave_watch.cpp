#include "wave_watch.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "effects/bullet.h"
#include "effects/missile.h"
#include "game/pilot.h"
#include "vessel/vessel.h"

namespace {

const unsigned GONE = THING_DEAD | THING_EXPLODING;

float distance(const float* a, const float* b)
{
    float d[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    return sqrtf(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
}

bool is_target_vessel(THING* t) { return !strncmp(t->get_vessel_id_string(), "beta ", 5); }

struct PILOT_VALUE {
    const char* name;
    float* value;
    int* count = nullptr;  // instead of value for a whole number
};
const PILOT_VALUE PILOT_VALUES[] = {
        {"pilot_detection_range", &pilot_detection_range},
        {"pilot_pursuit_range", &pilot_pursuit_range},
        {"pilot_reaction_min", &pilot_reaction_min},
        {"pilot_reaction_max", &pilot_reaction_max},
        {"pilot_safe_height", &pilot_safe_height},
        {"pilot_ground_lookahead", &pilot_ground_lookahead},
        {"pilot_pull_up_release", &pilot_pull_up_release},
        {"pilot_climb_angle", &pilot_climb_angle},
        {"pilot_climb_speed", &pilot_climb_speed},
        {"pilot_descent_gain", &pilot_descent_gain},
        {"pilot_turn_gain", &pilot_turn_gain},
        {"pilot_move_gain", &pilot_move_gain},
        {"pilot_attack_thrust", &pilot_attack_thrust},
        {"pilot_standoff", &pilot_standoff},
        {"pilot_approach_gain", &pilot_approach_gain},
        {"pilot_back_off_speed", &pilot_back_off_speed},
        {"pilot_strafe_speed", &pilot_strafe_speed},
        {"pilot_variety", &pilot_variety},
        {"pilot_fire_angle", &pilot_fire_angle},
        {"pilot_gun_reach", &pilot_gun_reach},
        {"pilot_default_shot_speed", &pilot_default_shot_speed},
        {"pilot_burst_time", &pilot_burst_time},
        {"pilot_burst_pause", &pilot_burst_pause},
        {"pilot_aim_scatter", &pilot_aim_scatter},
        {"pilot_lead_error", &pilot_lead_error},
        {"pilot_scatter_interval", &pilot_scatter_interval},
        {"pilot_missile_interval", &pilot_missile_interval},
        {"pilot_missile_angle", &pilot_missile_angle},
        {"pilot_missile_range", &pilot_missile_range},
        {"pilot_launch_hold", &pilot_launch_hold},
        {"pilot_friend_angle", &pilot_friend_angle},
        {"pilot_attackers", nullptr, &pilot_attackers},
        {"pilot_wait_distance", &pilot_wait_distance},
        {"pilot_turn_check", &pilot_turn_check},
        {"pilot_regroup_time", &pilot_regroup_time},
};

}  // namespace

bool set_pilot_values(const char* list)
{
    std::string rest = list ? list : "";
    while (!rest.empty()) {
        size_t comma = rest.find(',');
        std::string item = rest.substr(0, comma);
        rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
        size_t eq = item.find('=');
        bool found = false;
        for (const PILOT_VALUE& p : PILOT_VALUES)
            if (eq != std::string::npos && item.compare(0, eq, p.name) == 0 && strlen(p.name) == eq) {
                float v = (float)atof(item.c_str() + eq + 1);
                if (p.count)
                    *p.count = (int)v;
                else
                    *p.value = v;
                printf("  %s = %g\n", p.name, p.count ? (float)*p.count : v);
                found = true;
            }
        if (!found) {
            fprintf(stderr, "no pilot value to set in \"%s\"\n", item.c_str());
            return false;
        }
    }
    return true;
}

void WAVE_WATCH::observe(THING* world, VESSEL* player, float dt)
{
    // Shots that ended since the last frame: a hit when they ended at the
    // vessel they were aimed at.
    for (auto it = shots.begin(); it != shots.end();) {
        SHOT& s = it->second;
        THING* shot = s.shot.get();
        if (shot)
            for (int i = 0; i < 3; i++)
                s.last[i] = shot->get_rel().t[i];  // its own place: the world is its parent
        if (shot && !(shot->get_flags() & GONE)) {
            ++it;
            continue;
        }
        // One that burst on the ground beside the vessel is no hit.
        THING* at = s.aimed_at.get();
        if (at && s.last[2] > 0.5f && distance(s.last, at->get_abs().t) < s.reach)
            by_vessel[s.by].hits++;
        it = shots.erase(it);
    }
    for (THING* t = world->get_first_child(); t; t = t->get_next()) {
        auto* b = dynamic_cast<BULLET*>(t);
        if (!b || shots.count(t) || (t->get_flags() & GONE))
            continue;
        THING* owner = t->get_owner();
        THING* at = nullptr;
        std::string by;
        if (owner && owner == player) {
            by = "player";
            at = player->get_target();
        } else if (owner && is_target_vessel(owner)) {
            by = owner->get_vessel_id_string();
            at = player;
        } else {
            continue;
        }
        if (dynamic_cast<MISSILE*>(t))
            by_vessel[by].missiles++;
        else
            by_vessel[by].shots++;
        SHOT s;
        s.shot = t;
        s.aimed_at = at;
        s.by = by;
        for (int i = 0; i < 3; i++)
            s.last[i] = t->get_rel().t[i];
        float v[3];
        t->get_vel(v);
        s.reach = (at ? at->get_radius() : 0.0f) + 1.5f * dt * sqrtf(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        shots[t] = s;
    }
}

void WAVE_WATCH::print_targets(THING* world, VESSEL* player, float now)
{
    for (THING* t = world->get_first_child(); t; t = t->get_next()) {
        if (!is_target_vessel(t) || (t->get_flags() & GONE))
            continue;
        auto* v = static_cast<VESSEL*>(t);
        const TALLY& tally = by_vessel[t->get_vessel_id_string()];
        printf("  %5.1f s %-7s radius %4.1f shield %3.0f", now, t->get_vessel_id_string(), t->get_radius(), t->get_shield());
        if (player) {
            const float* p = t->get_abs().t;
            const float* q = player->get_abs().t;
            float d[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
            float dist = distance(p, q);
            const MATRIX_f& m = t->get_abs();
            float c = dist > 0.0f ? (d[0] * m.v[0][1] + d[1] * m.v[1][1] + d[2] * m.v[2][1]) / dist : 1.0f;
            c = c < -1.0f ? -1.0f : c > 1.0f ? 1.0f : c;
            float vel[3];
            t->get_vel(vel);
            printf(" dist %5.0f off nose %5.1f deg speed %4.0f height %4.0f", dist, acosf(c) * 57.2958f,
                   sqrtf(vel[0] * vel[0] + vel[1] * vel[1] + vel[2] * vel[2]), p[2]);
        }
        PILOT* pilot = find_pilot(t);
        printf(" %s%s shots %d hits %d missiles %d\n", v->get_target() == player && player ? "on player" : "-",
               pilot && pilot->is_pulling_up() ? " pulling up" : "", tally.shots, tally.hits, tally.missiles);
    }
}

void WAVE_WATCH::print_totals()
{
    TALLY wave;
    for (auto& [by, tally] : by_vessel)
        if (by != "player") {
            wave.shots += tally.shots;
            wave.hits += tally.hits;
            wave.missiles += tally.missiles;
        }
    const TALLY& p = by_vessel["player"];
    printf("  the wave fired %d shots, %d hit the player; %d missiles\n", wave.shots, wave.hits, wave.missiles);
    printf("  the player fired %d shots, %d hit their target; %d missiles\n", p.shots, p.hits, p.missiles);
}
