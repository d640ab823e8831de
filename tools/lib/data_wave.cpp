// A scripted pilot for balancing the weapons: flies one vessel of the data
// directory against a wave of targets, headless at 60 frames a second,
// using only what the keys do (nearest target, pitch, yaw, throttle through
// the stabilizer, trigger, next gun group), and prints how long the wave
// lasted; then, on a fresh vessel hovering, how long a held trigger keeps
// each gun group supplied.
//   sortie-data wave [--missiles] VESSEL.vcd [DATA_DIR [SECONDS]]
// --missiles flies with the launchers alone: the nearest target, then the
// next one until it is a target vessel (rocks and buoys are no quarry for a
// missile), W to a group that still holds a missile, and one tap of the
// trigger per missile once the quarry is near the nose and within reach
// (an unguided one aimed ahead of it, from closer);
// WAVE_FIRST=NAME takes that launcher group first, WAVE_REACH=M launches
// from another distance. Each missile's flight is reported: its quarry,
// from how far, how close it came, from how far a heat seeker had the
// exhaust in sight.
// WAVE_TRACE=1 prints the chase once a second; WAVE_OPPONENTS=1 gives the
// targets their pilots, as the game's -e does; WAVE_HOVER=1 leaves the
// vessel hovering without firing (the time each replacement lasts is
// printed); WAVE_TRACE_WAVE=N prints every target's distance, aim, shots
// and hits every N seconds; WAVE_SEED=N draws other random numbers;
// WAVE_GUN=NAME fights with the gun group whose name holds NAME;
// WAVE_JINK=M slides sideways at M m/s while aiming (against opponents 40
// unless set); WAVE_PILOT=name=value,... sets the opponents' tuning values
// (the pilot_* globals) for the run.
// WAVE_DAMP_LATERAL=1 takes the vessel's sideways speed away every frame
// (see fly_at).
#include "data_wave.h"

#include <allegro.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "game/frame.h"
#include "game/game.h"
#include "game/globals.h"
#include "game/targets.h"
#include "game/world.h"
#include "effects/lead.h"
#include "effects/missile.h"
#include "equipment/gun.h"
#include "equipment/msl_launcher.h"
#include "scene/thing.h"
#include "scene/thing_ref.h"
#include "vessel/vessel.h"
#include "wave_watch.h"

namespace {

// s per frame; WAVE_FPS=N flies at another frame rate, as a slow machine would.
const float DT = getenv("WAVE_FPS") ? 1.0f / (float)atof(getenv("WAVE_FPS")) : 1.0f / 60.0f;

float clamp1(float v) { return v < -1.0f ? -1.0f : v > 1.0f ? 1.0f : v; }

// A world point's place in the vessel's frame.
void local_offset(VESSEL* v, const float* p, float* d)
{
    const MATRIX_f& m = v->get_abs();
    float w[3];
    for (int i = 0; i < 3; i++)
        w[i] = p[i] - m.t[i];
    for (int j = 0; j < 3; j++)
        d[j] = m.v[0][j] * w[0] + m.v[1][j] * w[1] + m.v[2][j] * w[2];
}

void local_offset(VESSEL* v, THING* t, float* d) { local_offset(v, t->get_abs().t, d); }

// Steers at a world point and fires when it is within cone degrees of the
// nose; answers the angle off the nose in degrees.
float fly_to(VESSEL* v, const float* p, float cone = 3.0f)
{
    float d[3];
    local_offset(v, p, d);
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
    v->set_trigger(off < cone && dist < 2000.0f);
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

float fly_at(VESSEL* v, THING* t) { return fly_to(v, t->get_abs().t); }

// With a gun selected, steers where the target will be when the shots get
// there, as a player who fights well leads a moving target by eye.
float fly_at_lead(VESSEL* v, THING* t)
{
    auto* gun = dynamic_cast<GUN*>(v->get_slot_item(v->get_cur_gun()));
    if (!gun || (gun->get_slottype() & SLOT_MISSILE))
        return fly_at(v, t);
    float own[3], theirs[3], offset[3], rel[3], lead[3];
    v->get_vel(own);
    t->get_vel(theirs);
    for (int i = 0; i < 3; i++) {
        offset[i] = t->get_abs().t[i] - v->get_abs().t[i];
        rel[i] = theirs[i] - own[i];
    }
    lead_point(offset, rel, gun->get_bullet_speed(), lead);
    float p[3];
    for (int i = 0; i < 3; i++)
        p[i] = v->get_abs().t[i] + lead[i];
    // Fires only with the lead point on the target's outline, not near it.
    float dist = sqrtf(offset[0] * offset[0] + offset[1] * offset[1] + offset[2] * offset[2]);
    float cone = dist > 0.0f ? atan2f(t->get_radius(), dist) * 57.3f : 3.0f;
    return fly_to(v, p, cone < 0.5f ? 0.5f : cone > 3.0f ? 3.0f : cone);
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

// Launches are made only this close and this near the nose; what is left
// is the guidance's work.
const float MISSILE_REACH = 1200.0f;      // m
const float MISSILE_LAUNCH_ANGLE = 5.0f;  // degrees off the nose
const float ROCKET_REACH = 450.0f;        // m for an unguided one, aimed ahead of the quarry

// A target farther than this is given up for the nearest every 2 s.
const float RESELECT_DISTANCE = 600.0f;  // m

// Against opponents the pilot slides sideways at this speed while it aims,
// changing side every JINK_PERIOD.
const float JINK_SPEED = 40.0f;  // m/s
const float JINK_PERIOD = 3.0f;  // s

// A target vessel still flying; one already bursting is no quarry, although
// it shows as the target until the vessel's next tick lets it go.
bool is_quarry(THING* t)
{
    return t && !strncmp(t->get_vessel_id_string(), "beta ", 5) && !t->is_dead() &&
           !(t->get_flags() & THING_EXPLODING);
}

float distance(THING* a, THING* b)
{
    float d = 0.0f;
    for (int i = 0; i < 3; i++)
        d += (a->get_abs().t[i] - b->get_abs().t[i]) * (a->get_abs().t[i] - b->get_abs().t[i]);
    return sqrtf(d);
}

MSL_LAUNCHER* loaded_launcher(VESSEL* v, int slot)
{
    auto* l = dynamic_cast<MSL_LAUNCHER*>(v->get_slot_item(slot));
    return l && l->get_mounted_missile() && l->get_ammo() >= 1.0f ? l : nullptr;
}

// One missile in flight, watched from outside as a test range would.
struct FLIGHT {
    THING_REF missile;
    THING_REF quarry;
    std::string name, quarry_id;
    int tech;
    float launched_at, launch_dist, closest, seen_from = -1.0f;
    float closest_at = 0.0f, quarry_down_at = -1.0f;
    bool done = false;
    bool passed = false;  // well past its closest approach: the pilot may try again
};

// R, then T until the target is a target vessel; true when one is selected.
bool pick_quarry(VESSEL* v, bool tell = true)
{
    if (is_quarry(v->get_target()))
        return true;
    v->select_nearest_target(THING_TARGETABLE, THING_NAVPOINT);
    THING* nearest = v->get_target();
    int presses = 0;
    for (; presses < 64 && v->get_target() && !is_quarry(v->get_target()); presses++)
        v->select_next_target(THING_TARGETABLE, THING_NAVPOINT);
    if (tell && presses && nearest)
        printf("  R selects a %s %.0f m away (%s), %d x T a target vessel\n", nearest->get_thingtype_string(),
               distance(v, nearest), nearest->get_vessel_id_string(), presses);
    return is_quarry(v->get_target());
}

// W until the selected group's name holds name (at most once round the
// groups), as a player picks the guns it likes best.
void pick_gun(VESSEL* v, const char* name)
{
    for (int presses = 0; name && presses <= MAX_SLOTS; presses++) {
        THING* item = v->get_slot_item(v->get_cur_gun());
        if (item && strstr(item->get_name(), name))
            return;
        v->next_gun_type();
    }
}

// W until the selected group holds a missile, of the group whose name holds
// first while one is left; false when none is left.
bool pick_launcher(VESSEL* v, const char* first)
{
    for (int pass = first ? 0 : 1; pass < 2; pass++)
        for (int presses = 0; presses <= MAX_SLOTS; presses++) {
            MSL_LAUNCHER* l = loaded_launcher(v, v->get_cur_gun());
            if (l && (pass == 1 || strstr(l->get_name(), first)))
                return true;
            v->next_gun_type();
        }
    return false;
}

std::set<THING*> own_missiles(THING* world, VESSEL* v)
{
    std::set<THING*> found;
    for (THING* t = world->get_first_child(); t; t = t->get_next())
        if (dynamic_cast<MISSILE*>(t) && t->get_owner() == v)
            found.insert(t);
    return found;
}

void watch(std::vector<FLIGHT>& flights, float now)
{
    for (FLIGHT& f : flights) {
        if (f.done)
            continue;
        auto* m = static_cast<MISSILE*>(f.missile.get());
        if (m && f.quarry) {
            // The missile's own place (the world is its parent): its
            // absolute matrix waits for the next frame's update.
            float d = 0.0f;
            for (int i = 0; i < 3; i++)
                d += (m->get_rel().t[i] - f.quarry->get_abs().t[i]) * (m->get_rel().t[i] - f.quarry->get_abs().t[i]);
            d = sqrtf(d);
            if (d < f.closest)
                f.closest = d, f.closest_at = now;
            if (d > f.closest + 100.0f)
                f.passed = true;
            if (f.tech == MISSILE_HEAT && m->get_burn_time() >= 0.0f && d > f.seen_from && f.quarry->get_heat() >= d)
                f.seen_from = d;
        }
        bool down = !f.quarry || f.quarry->is_dead() || (f.quarry->get_flags() & THING_EXPLODING);
        if (down && f.quarry_down_at < 0.0f)
            f.quarry_down_at = now;
        if (m && !m->is_dead() && !(m->get_flags() & THING_EXPLODING))
            continue;
        f.done = true;
        // A hit when the quarry went down as the missile burst.
        bool hit = down && now - f.quarry_down_at < 0.1f;
        printf("  %5.1f s %-11s at %s launched from %4.0f m: closest %5.1f m %4.1f s after launch, ", f.launched_at,
               f.name.c_str(), f.quarry_id.c_str(), f.launch_dist, f.closest, f.closest_at - f.launched_at);
        if (hit)
            printf("hit");
        else if (down)
            printf("missed, the quarry went down otherwise %4.1f s after launch", f.quarry_down_at - f.launched_at);
        else
            printf("missed");
        if (f.tech == MISSILE_HEAT)
            printf(", exhaust in sight from %4.0f m", f.seen_from);
        printf("\n");
    }
}

bool any_flying(const std::vector<FLIGHT>& flights)
{
    for (const FLIGHT& f : flights)
        if (!f.done)
            return true;
    return false;
}

bool in_flight_at(const std::vector<FLIGHT>& flights, THING* quarry)
{
    for (const FLIGHT& f : flights)
        if (!f.done && !f.passed && f.quarry.get() == quarry)
            return true;
    return false;
}

// One tap of the trigger; the flight of the missile it launched, if any,
// joins flights.
void launch_at(GAME& g, VESSEL* v, THING* q, std::vector<FLIGHT>& flights, float now)
{
    MSL_LAUNCHER* l = loaded_launcher(v, v->get_cur_gun());
    std::set<THING*> old = own_missiles(g.world, v);
    float dist = distance(v, q);
    v->set_trigger(true);
    simulate_frame(g, DT);
    v->set_trigger(false);
    THING* m = nullptr;
    for (THING* t : own_missiles(g.world, v))
        if (!old.count(t))
            m = t;
    if (!m)
        return;
    FLIGHT f;
    f.missile = m;
    f.quarry = q;
    f.name = l->get_name();
    f.quarry_id = q->get_vessel_id_string();
    f.tech = l->get_tech() - 100;
    f.launched_at = now;
    f.launch_dist = dist;
    f.closest = dist;
    flights.push_back(f);
}

// The missiles-only pilot: answers the frames flown.
int fly_missiles(GAME& g, VESSEL* v, float limit)
{
    std::vector<FLIGHT> flights;
    float reach = getenv("WAVE_REACH") ? (float)atof(getenv("WAVE_REACH")) : MISSILE_REACH;
    int frames = 0;
    for (; frames * DT < limit; frames++) {
        if (alive_targets(g.world) == 0 || static_cast<VESSEL*>(g.player.get()) != v)
            break;
        bool armed = pick_launcher(v, getenv("WAVE_FIRST"));
        if (!armed && !any_flying(flights))
            break;
        bool ready = armed && pick_quarry(v);
        THING* q = v->get_target();
        MSL_LAUNCHER* l = armed ? loaded_launcher(v, v->get_cur_gun()) : nullptr;
        bool unguided = l && l->get_tech() == LAUNCHER_DUMB;
        float off = 180.0f;
        if (q && unguided) {
            // Where the quarry will be when a rocket starting at the launch
            // speed and gaining as much each second gets there.
            float s = l->get_bullet_speed(), d = distance(v, q);
            float t = s > 0.0f ? sqrtf(1.0f + 2.0f * d / s) - 1.0f : 0.0f;
            float qv[3], vv[3], p[3];
            q->get_vel(qv);
            v->get_vel(vv);
            for (int i = 0; i < 3; i++)
                p[i] = q->get_abs().t[i] + (qv[i] - vv[i]) * t;
            off = fly_to(v, p);
        } else if (q) {
            off = fly_at(v, q);
        }
        v->set_trigger(false);
        float in_reach = unguided && ROCKET_REACH < reach ? ROCKET_REACH : reach;
        if (ready && off < MISSILE_LAUNCH_ANGLE && distance(v, q) < in_reach && !in_flight_at(flights, q))
            launch_at(g, v, q, flights, frames * DT);
        else
            simulate_frame(g, DT);
        watch(flights, frames * DT);
    }
    // Those still flying when the wave is over or the time is up.
    for (int extra = 0; extra < 60 * 35 && any_flying(flights); extra++) {
        simulate_frame(g, DT);
        watch(flights, (frames + extra) * DT);
    }
    printf("  %d missiles launched\n", (int)flights.size());
    return frames;
}
// Counts the shots of both sides; with WAVE_TRACE_WAVE=N prints each target
// vessel's state every N seconds.
void watch_fight(GAME& g, WAVE_WATCH& watcher, int frame)
{
    auto* player = static_cast<VESSEL*>(g.player.get());
    if (player && (player->get_flags() & (THING_DEAD | THING_EXPLODING)))
        player = nullptr;
    watcher.observe(g.world, player, DT);
    const char* every = getenv("WAVE_TRACE_WAVE");
    int period = every ? (int)(atof(every) / DT + 0.5f) : 0;
    if (period > 0 && frame % period == 0)
        watcher.print_targets(g.world, player, frame * DT);
}
// The scripted player's vessel as it takes off: its chosen guns, 100 m up
// unless it hovers where the game puts it, all stabilizers on.
void ready_vessel(VESSEL* v, bool hover)
{
    pick_gun(v, getenv("WAVE_GUN"));
    if (!hover)
        v->locate_rel(0, 0, 100);
    v->set_stabilizer(true);
    v->set_rstabilizer(true);
    v->set_hstabilizer(true);
}

// One frame of the scripted player's fight: picks and leads its quarry,
// steps past empty groups, slides sideways against opponents; adds to aimed
// the time it had the lead in its sight.
void fight_frame(VESSEL* v, int frames, float jink, float& aimed)
{
    // R now and then while the target is far: the nearest is the one
    // shooting.
    if (frames % 120 == 0 && v->get_target() && distance(v, v->get_target()) > RESELECT_DISTANCE)
        v->select_nearest_target(THING_TARGETABLE, THING_NAVPOINT);
    pick_quarry(v, false);
    // W past a group that is empty, as a player would.
    auto* gun = static_cast<SLOTTHING*>(v->get_slot_item(v->get_cur_gun()));
    if (gun && gun->get_ammo() < 1.0f && frames % 30 == 0)
        v->next_gun_type();
    if (v->get_target() && fly_at_lead(v, v->get_target()) < 3.0f)
        aimed += DT;
    if (jink > 0.0f && v->get_stabilizer_speed() > 0.0f) {
        // Against opponents that shoot back a player who fights well
        // does not sit still: it slides sideways while it aims and
        // changes side now and then, so that their lead is wrong.
        float side = (int)(frames * DT / JINK_PERIOD) % 2 ? jink : -jink;
        v->set_thrust(side / v->get_stabilizer_speed(), 0);
    }
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
}

}  // namespace

int data_wave_command(int argc, char** argv)
{
    bool missiles = argc > 0 && !strcmp(argv[0], "--missiles");
    if (missiles) {
        argc--;
        argv++;
    }
    if (argc < 1 || argc > 3) {
        fprintf(stderr, "usage: sortie-data wave [--missiles] VESSEL.vcd [DATA_DIR [SECONDS]]\n");
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
    bool hover = getenv("WAVE_HOVER") != nullptr;
    ready_vessel(v, hover);
    g.target_waves = false;
    printf("%s\n", vcd);

    if (!set_pilot_values(getenv("WAVE_PILOT"))) {
        destroy_world(g);
        data_path = saved_path;
        return 2;
    }
    if (getenv("WAVE_SEED"))
        srand((unsigned)atoi(getenv("WAVE_SEED")));
    respawn_targets(g.world, getenv("WAVE_OPPONENTS") != nullptr);
    if (missiles) {
        int frames = fly_missiles(g, v, limit);
        int left = alive_targets(g.world);
        printf("  wave: %d of 8 down in %.0f s with missiles alone, vessel lost %d times\n", TARGETS_PER_WAVE - left,
               frames * DT, static_cast<VESSEL*>(g.player.get()) != v ? 1 : 0);
        destroy_world(g);
        data_path = saved_path;
        return 0;
    }
    int kills = 0, losses = 0, frames = 0;
    float aimed = 0.0f;
    float jink = getenv("WAVE_JINK") ? (float)atof(getenv("WAVE_JINK"))
                 : getenv("WAVE_OPPONENTS")   ? JINK_SPEED
                                              : 0.0f;
    WAVE_WATCH watcher;
    for (; frames * DT < limit; frames++) {
        VESSEL* p = static_cast<VESSEL*>(g.player.get());
        if (p != v) {
            losses++;
            printf("  vessel lost at %.0f s\n", frames * DT);
            v = p;
            ready_vessel(v, hover);
        }
        if (!hover)  // a hovering vessel sits where it is and never fires, for the opponents' aim
            fight_frame(v, frames, jink, aimed);
        int before = alive_targets(g.world);
        simulate_frame(g, DT);
        int after = alive_targets(g.world);
        kills += before - after;
        watch_fight(g, watcher, frames);
        if (after == 0 && !hover)
            break;
    }
    printf("  wave: %d of 8 down in %.0f s (%.0f s on aim), vessel lost %d times\n", kills, frames * DT, aimed,
           losses);
    watcher.print_totals();
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
