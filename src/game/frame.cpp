#include "game/frame.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>

#include "effects/explosion.h"
#include "game/game.h"
#include "game/messages.h"
#include "game/render.h"
#include "game/targets.h"
#include "game/world.h"
#include "scene/thing.h"

void count_frame_rate(GAME& g, float dt)
{
    g.fps_frames++;
    g.fps_time += dt;
    if (g.fps_time >= FPS_INTERVAL) {
        g.fps = g.fps_frames / g.fps_time;
        g.fps_frames = 0;
        g.fps_time = 0.0f;
    }
}

// S4: a view thing that died is dropped by the viewpoint check.
static void refresh_viewpoint(GAME& g)
{
    select_viewpoint(g.view_thing);
    g.view_thing = check_viewpoint();
}

// S5..S8: everything advances, then collides.
static void advance_world(GAME& g, float dt)
{
    g.world->tick_children(dt);
    g.world->update_abs_matrix();
    g.world->check_intersect_children();
    g.world->check_ground_intersect_children(0.0f);
}

// S9, S12: remembered things that died are forgotten before removal.
static void forget_dead(GAME& g)
{
    if (g.lookat_target && g.lookat_target->is_dead())
        g.lookat_target = nullptr;
    if (g.view_thing && g.view_thing->is_dead())
        g.view_thing = g.viewpoint_thing;
}

// S11: every destroyed target (and the player's own dead vessel) is named.
// Missiles may be targeted too but have no name: a burst missile would only
// leave a bare " destroyed." on the console.
static void announce_destroyed(GAME& g)
{
    for (THING* t = g.world->get_first_child(); t; t = t->get_next()) {
        if (t->has_flags(THING_DEAD | THING_TARGETABLE) &&
            (*t->get_vessel_type_string() || *t->get_vessel_id_string())) {
            char line[160];
            snprintf(line, sizeof(line), "%s %s destroyed.\n", t->get_vessel_type_string(),
                     t->get_vessel_id_string());
            new_message(line);
        }
    }
}

// S14: things spawned anywhere in the tree become children of the world.
static void harvest_spawn(GAME& g)
{
    while (THING* t = g.world->crop_spawn()) {
        g.world->add_child(t);
        // The exhaust puffs of the engines are the vessel's spawn too; only
        // a shot (a thing that can burst) is worth the missile views.
        if (g.player && t->get_owner() == g.player && t->has_flags(THING_EXPLODABLE))
            g.player_projectile = t;
    }
}

// A long frame is simulated as several short slices, so that a slow machine
// plays the same game as a fast one: the collision pass compares where things
// are at the end of a step, and a shot crossing a vessel's sphere in less
// than one step would pass through it. The slices are few enough that a very
// slow frame rate does not spiral into ever longer frames; past that count
// they grow longer instead.
float sim_slice_max = 1.0f / 60.0f;  // s, the longest step the world takes at once
int sim_slices_max = 15;             // slices in one frame at most

// S4..S16 for one slice of the frame.
static void simulate_slice(GAME& g, float dt)
{
    refresh_viewpoint(g);                                            // S4
    advance_world(g, dt);                                            // S5..S8
    if (g.player_projectile && g.player_projectile->is_dead())       // S9
        g.player_projectile = nullptr;
    if (g.player && g.player->is_dead()) {                           // S10
        replace_player_vessel(g);
        radar_framecount = 0;  // the new vessel's radar shows in the next frame
    }
    announce_destroyed(g);                                           // S11
    forget_dead(g);                                                  // S12
    g.world->remove_dead_children();                                 // S13
    g.world->update_abs_matrix();
    harvest_spawn(g);                                                // S14
    crop_explosions(g.world, g.world);                              // S15
    if (g.target_waves && check_targets(g.world->get_first_child()))  // S16
        respawn_targets(g.world, g.settings.opponents_fight);
}

void simulate_frame(GAME& g, float dt)
{
    count_frame_rate(g, dt);  // S2
    advance_message(dt);      // S3
    assert(sim_slices_max >= 1 && "sim_slices_max >= 1");
    int slices = 1;
    if (dt > sim_slice_max)  // counted in floats: a huge dt must not overflow
        slices = (int)std::min((float)sim_slices_max, ceilf(dt / sim_slice_max));
    for (int n = 0; n < slices; n++)
        simulate_slice(g, dt / slices);
}
