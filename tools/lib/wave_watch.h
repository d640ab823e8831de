// For balancing the opponents: watches a fight from outside, as a test range
// would, and counts for each side the shots fired and the shots that burst
// on the vessel they were meant for. A shot counts as a hit when it ends
// within the vessel's radius (plus one frame of its flight) of it.
#pragma once

#include <map>
#include <string>

#include "scene/thing_ref.h"

class THING;
class VESSEL;

// Sets the pilots' tuning values from "name=value,name=value" (the globals'
// names); false, with a message, on a name that is none of them.
bool set_pilot_values(const char* list);

class WAVE_WATCH {
public:
    // Call once per frame, after simulate_frame: player is the vessel the
    // player flies now (null once lost).
    void observe(THING* world, VESSEL* player, float dt);
    // One line per target vessel still flying: distance to the player,
    // degrees between its nose and the player, whether it has chosen the
    // player, shots and hits so far; now: s since the start.
    void print_targets(THING* world, VESSEL* player, float now);
    // Totals: shots and hits by the wave and by the player.
    void print_totals();

private:
    struct SHOT {
        THING_REF shot;
        THING_REF aimed_at;  // for the wave's shots the player, for the player's its target
        std::string by;      // the firing vessel's id
        float last[3];       // where it was last frame
        float reach;         // m from aimed_at that counts as a hit
    };
    struct TALLY {
        int shots = 0, hits = 0, missiles = 0;
    };
    std::map<THING*, SHOT> shots;
    std::map<std::string, TALLY> by_vessel;  // "player" or a target's id
};
