#include "game/frame.h"

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
static void announce_destroyed(GAME& g)
{
    for (THING* t = g.world->get_first_child(); t; t = t->get_next()) {
        if (t->has_flags(THING_DEAD | THING_TARGETABLE)) {
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

void simulate_frame(GAME& g, float dt)
{
    count_frame_rate(g, dt);                                         // S2
    advance_message(dt);                                             // S3
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
