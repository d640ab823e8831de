#include "game/targets.h"

#include <cmath>
#include <cstdio>

#include "scene/thing.h"

float respawn_point[3] = {0.0f, -3000.0f, 100.0f};
float respawn_distance = 6000.0f;
const char* victim_path = "data/victim.vcd";

static float distance_from_respawn(THING* t)
{
    const float* p = t->get_abs().t;
    float d[3] = {p[0] - respawn_point[0], p[1] - respawn_point[1], p[2] - respawn_point[2]};
    return sqrtf(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
}

bool check_targets(THING* first)
{
    bool none_alive = true;
    for (int n = 1; n <= TARGETS_PER_WAVE; n++) {
        char id[16];
        snprintf(id, sizeof(id), "beta %i", n);
        THING* t = find_id_string(first, id);
        if (!t || t->is_dead())
            continue;
        none_alive = false;
        if (distance_from_respawn(t) >= respawn_distance)
            t->explode();
    }
    return none_alive;
}

void respawn_targets(THING* world)
{
    if (!world)
        return;
    // The target vessels join with the vessels.
}
