#include "game/targets.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "game/globals.h"
#include "game/pilot.h"

#include "scene/thing.h"
#include "scene/vec3.h"
#include "vessel/vessel.h"

float respawn_point[3] = {0.0f, -3000.0f, 100.0f};
float respawn_distance = 6000.0f;
const char* victim_file = "victim.vcd";

bool check_targets(THING* first)
{
    // One walk finds the first thing of each name (as find_id_string
    // would, eight times over a world of thousands of fireballs).
    char ids[TARGETS_PER_WAVE][16];
    THING* found[TARGETS_PER_WAVE] = {};
    for (int n = 0; n < TARGETS_PER_WAVE; n++)
        snprintf(ids[n], sizeof(ids[n]), "beta %i", n + 1);
    for (THING* t = first; t; t = t->get_next()) {
        const char* id = t->get_vessel_id_string();
        if (strncmp(id, "beta ", 5) != 0)  // most things are not of the wave
            continue;
        for (int n = 0; n < TARGETS_PER_WAVE; n++)
            if (!found[n] && strcmp(id, ids[n]) == 0)
                found[n] = t;
    }
    bool none_alive = true;
    for (THING* t : found) {
        if (!t || t->is_dead())
            continue;
        none_alive = false;
        if (distance3(t->get_abs().t, respawn_point) >= respawn_distance)
            t->explode();
    }
    return none_alive;
}

float target_spacing[3] = {50.0f, -100.0f, 50.0f};  // m between ranks: sideways, back, up
float target_thrust = 0.25f;                          // forward thrust a new target flies with

void respawn_targets(THING* world, bool piloted)
{
    if (!world)
        return;
    for (int i = 0; i < TARGETS_PER_WAVE; i++) {
        VESSEL* v = new VESSEL();
        v->load_vcd((std::string(data_path) + victim_file).c_str());
        char id[16];
        snprintf(id, sizeof(id), "beta %i", i + 1);
        v->set_id_string(id);
        v->set_owner(v);
        v->hud_off();
        v->set_stabilizer(true);
        v->set_rstabilizer(true);
        v->set_team(TARGET_TEAM);
        // Two columns, each rank further back and higher.
        int rank = i / 2;
        float side = (i % 2 == 0) ? -rank : rank + 1;
        v->locate_rel(respawn_point[0] + target_spacing[0] * side, respawn_point[1] + target_spacing[1] * rank,
                      respawn_point[2] + target_spacing[2] * rank);
        v->set_thrust(target_thrust, 1);
        if (piloted)
            give_pilot(v, target_thrust);
        world->add_child(v);
    }
}
