// A scripted pilot for balancing the weapons: flies one vessel of the data
// directory against a wave of targets, headless at 60 frames a second,
// using only what the keys do (nearest target, pitch, yaw, throttle through
// the stabilizer, trigger, next gun group), and prints how long the wave
// lasted; then, on a fresh vessel hovering, how long a held trigger keeps
// each gun group supplied.
//   sortie-data wave VESSEL.vcd [DATA_DIR [SECONDS]]
// WAVE_TRACE=1 prints the chase once a second. WAVE_DAMP_LATERAL=1 takes
// the vessel's sideways speed away every frame (see fly_at).
#include "data_wave.h"

#include <allegro.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/frame.h"
#include "game/game.h"
#include "game/globals.h"
#include "game/targets.h"
#include "game/world.h"
#include "scene/thing.h"
#include "vessel/vessel.h"

namespace {

const float DT = 1.0f / 60.0f;  // s per frame

float clamp1(float v) { return v < -1.0f ? -1.0f : v > 1.0f ? 1.0f : v; }

// The target's place in the vessel's frame.
void local_offset(VESSEL* v, THING* t, float* d)
{
    const MATRIX_f& m = v->get_abs();
    float w[3];
    for (int i = 0; i < 3; i++)
        w[i] = t->get_abs().t[i] - m.t[i];
    for (int j = 0; j < 3; j++)
        d[j] = m.v[0][j] * w[0] + m.v[1][j] * w[1] + m.v[2][j] * w[2];
}

// Steers at the target and fires when it is nearly ahead; answers the angle
// off the nose in degrees.
float fly_at(VESSEL* v, THING* t)
{
    float d[3];
    local_offset(v, t, d);
    float dist = sqrtf(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    float yaw = atan2f(d[0], d[1]);
    // Behind: keep turning the way the target went, not to and fro across
    // the tail.
    static float turn = 1.0f;
    if (d[1] < 0.0f)
        yaw = 3.0f * turn;
    else
        turn = d[0] >= 0.0f ? 1.0f : -1.0f;
    float pitch = atan2f(d[2], hypotf(d[0], d[1]));
    v->set_thrust(clamp1(2.0f * yaw), 5);  // +1 turns the nose right
    v->set_thrust(clamp1(-2.0f * pitch), 3);  // +1 pitches the nose down
    v->set_thrust(0.0f, 4);
    float off = acosf(d[1] / (dist > 0.0f ? dist : 1.0f)) * 57.3f;
    // Lateral speed is the enemy: the stabilizer cannot take it away again
    // (it grows), so turn only at rest and move only along the nose, with
    // the wings level.
    float closing = off < 5.0f ? (dist - 400.0f) * 0.05f : 0.0f;
    closing = closing < 0.0f ? 0.0f : closing > 150.0f ? 150.0f : closing;  // backing off nose-up ends in the ground
    float s = v->get_stabilizer_speed();
    v->set_thrust(0.0f, 0);
    v->set_thrust(s > 0.0f ? closing / s : 0.0f, 1);
    v->set_thrust(v->get_abs().t[2] < 60.0f && s > 0.0f ? 10.0f / s : 0.0f, 2);  // keep off the ground
    v->set_trigger(off < 3.0f && dist < 2000.0f);
    if (getenv("WAVE_DAMP_LATERAL")) {
        // Stands in for a lateral stabilizer that works: today's pushes the
        // wrong way (the mounts mirror every item's x axis), so sideways
        // speed grows until the vessel circles out of reach.
        float p[3];
        v->get_impulse(p);
        const MATRIX_f& m = v->get_abs();
        float side = p[0] * m.v[0][0] + p[1] * m.v[1][0] + p[2] * m.v[2][0];
        for (int i = 0; i < 3; i++)
            p[i] -= side * m.v[i][0];
        v->set_impulse(p);
    }
    return off;
}

int alive_targets(THING* world)
{
    int n = 0;
    for (int i = 1; i <= TARGETS_PER_WAVE; i++) {
        char id[16];
        snprintf(id, sizeof id, "beta %d", i);
        THING* t = find_id_string(world->get_first_child(), id);
        if (t && !t->is_dead() && !(t->get_flags() & THING_EXPLODING))
            n++;
    }
    return n;
}

// How long each gun group fires with the trigger held before all its guns
// are out of shots (and fire only as fast as they regain them).
void hold_trigger(GAME& g, VESSEL* v)
{
    std::string seen;
    for (int group = 0; group < MAX_SLOTS; group++) {
        THING* gun = v->get_slot_item(v->get_cur_gun());
        if (!gun || seen.find(std::string("|") + gun->get_name() + "|") != std::string::npos)
            return;
        seen += std::string("|") + gun->get_name() + "|";
        float t = 0.0f;
        bool empty = false;
        for (; t < 30.0f && !empty; t += DT) {
            v->set_trigger(true);
            simulate_frame(g, DT);
            empty = true;
            for (int i = 0; i < MAX_SLOTS; i++) {
                auto* item = static_cast<SLOTTHING*>(v->get_slot_item(i));
                if (item && !strcmp(item->get_name(), gun->get_name()) && item->get_ammo() >= 1.0f)
                    empty = false;
            }
        }
        if (empty)
            printf("  %s: a held trigger empties the group in %.1f s\n", gun->get_name(), t);
        else
            printf("  %s: a held trigger never empties the group in 30 s\n", gun->get_name());
        v->next_gun_type();
    }
}

}  // namespace

int data_wave_command(int argc, char** argv)
{
    if (argc < 1 || argc > 3) {
        fprintf(stderr, "usage: sortie-data wave VESSEL.vcd [DATA_DIR [SECONDS]]\n");
        return 2;
    }
    std::string dir = argc > 1 ? argv[1] : "data/";
    if (dir.back() != '/')
        dir += '/';
    const char* saved_path = data_path;
    data_path = dir.c_str();
    float limit = argc > 2 ? (float)atof(argv[2]) : 600.0f;
    const char* vcd = argv[0];

    GAME g;
    if (!build_scene(g)) {
        data_path = saved_path;
        return 1;
    }
    snprintf(g.vessel_path, sizeof g.vessel_path, "%s%s", data_path, vcd);
    add_player_vessel(g);
    VESSEL* v = static_cast<VESSEL*>(g.player.get());
    v->locate_rel(0, 0, 100);
    v->set_stabilizer(true);
    v->set_rstabilizer(true);
    v->set_hstabilizer(true);
    g.target_waves = false;
    printf("%s\n", vcd);

    respawn_targets(g.world);
    int kills = 0, losses = 0, frames = 0;
    float aimed = 0.0f;
    for (; frames * DT < limit; frames++) {
        VESSEL* p = static_cast<VESSEL*>(g.player.get());
        if (p != v) {
            losses++;
            printf("  vessel lost at %.0f s\n", frames * DT);
            v = p;
            v->locate_rel(0, 0, 100);
            v->set_stabilizer(true);
            v->set_rstabilizer(true);
            v->set_hstabilizer(true);
        }
        if (!v->get_target())
            v->select_nearest_target(THING_TARGETABLE, THING_NAVPOINT);
        // W past a group that is empty, as a player would.
        auto* gun = static_cast<SLOTTHING*>(v->get_slot_item(v->get_cur_gun()));
        if (gun && gun->get_ammo() < 1.0f && frames % 30 == 0)
            v->next_gun_type();
        if (v->get_target() && fly_at(v, v->get_target()) < 3.0f)
            aimed += DT;
        if (getenv("WAVE_TRACE") && frames % 60 == 0 && v->get_target()) {
            float d[3];
            local_offset(v, v->get_target(), d);
            float lv[3];
            v->get_lvel(lv);
            printf("  lvel (%.0f %.0f %.0f) set (%.2f %.2f %.2f) s %.0f\n", lv[0], lv[1], lv[2], v->get_target_vel(0),
                   v->get_target_vel(1), v->get_target_vel(2), v->get_stabilizer_speed());
            printf("  [%s %s] t=%3.0f at (%.0f %.0f %.0f) target in vessel frame (%.0f %.0f %.0f) at (%.0f %.0f %.0f)\n",
                   v->get_target()->get_thingtype_string(), v->get_target()->get_vessel_id_string(), frames * DT,
                   v->get_abs().t[0], v->get_abs().t[1], v->get_abs().t[2], d[0], d[1], d[2],
                   v->get_target()->get_abs().t[0], v->get_target()->get_abs().t[1], v->get_target()->get_abs().t[2]);
        }
        int before = alive_targets(g.world);
        simulate_frame(g, DT);
        int after = alive_targets(g.world);
        kills += before - after;
        if (after == 0)
            break;
    }
    printf("  wave: %d of 8 down in %.0f s (%.0f s on aim), vessel lost %d times\n", kills, frames * DT, aimed,
           losses);
    destroy_world(g);

    // A fresh vessel, hovering, for the held trigger.
    GAME h;
    if (!build_scene(h)) {
        data_path = saved_path;
        return 1;
    }
    snprintf(h.vessel_path, sizeof h.vessel_path, "%s%s", data_path, vcd);
    add_player_vessel(h);
    h.target_waves = false;
    VESSEL* hv = static_cast<VESSEL*>(h.player.get());
    hv->locate_rel(0, 0, 100);
    hv->set_stabilizer(true);
    hv->set_rstabilizer(true);
    hold_trigger(h, hv);
    destroy_world(h);
    data_path = saved_path;
    return 0;
}
