// The hulls of the game's own vessels: where the pilot sits and where each
// slot is, shared by the mesh designs (so equipment meets the skin) and by
// the hull definition files.
#pragma once

#include <string>
#include <vector>

#include "assets_modeller.h"

// What a mount is meant for; the configurations pick items by it.
enum MOUNT_ROLE {
    MOUNT_ENGINE,
    MOUNT_ROTATOR,
    MOUNT_REACTOR,
    MOUNT_SHIELD,
    MOUNT_GUN,
    MOUNT_PYLON,
    MOUNT_SPARE,
};

struct MOUNT {
    MOUNT_ROLE role;
    std::string type;  // slot-type letters of the SLOT line
    V3 pos;            // in hull coordinates
    V3 forward;        // where the item's +y points, in hull coordinates
    V3 up;             // where the item's +z points
};

struct HULL_LAYOUT {
    std::string stem;       // file stem: models/<stem>.3ds, hulls/<stem>.vhd
    std::string shortname;  // SHORTNAME
    V3 pilot;               // pilot eye, hull coordinates
    float mass;             // kg
    V3 rmass;               // rotational mass about x, y, z
    std::vector<MOUNT> mounts;
};

// The five hulls, in a fixed order: interceptor, gunship, carrier, strike
// fighter, target drone.
const std::vector<HULL_LAYOUT>& hull_layouts();
const HULL_LAYOUT& hull_layout(const std::string& stem);
