// A fight in the game's own world, for scenario tests: data_path points at
// a data directory (the shipped one) for the life of the object, the
// player flies the given configuration, hovering 500 m up with its
// stabilizers on, and drones of victim.vcd can be placed around it. The
// message console is ready, so the frame can announce what it destroys.
#pragma once

#include <string>

#include "game/game.h"

class VESSEL;

class FIGHT_SCENE {
public:
    // data_dir ends with '/'; configuration is a file name in it.
    FIGHT_SCENE(const std::string& data_dir, const char* configuration);
    ~FIGHT_SCENE();
    FIGHT_SCENE(const FIGHT_SCENE&) = delete;
    FIGHT_SCENE& operator=(const FIGHT_SCENE&) = delete;

    // A target drone (team 2, stabilizers on) at x, y, z, called id.
    VESSEL* add_drone(float x, float y, float z, const char* id);

    GAME g;
    VESSEL* player = nullptr;  // null when the scene could not be built

private:
    std::string dir;
    const char* saved_path;
};
