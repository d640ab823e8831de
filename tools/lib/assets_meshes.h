// The game's meshes: hulls with their cockpits, equipment, missiles and the
// fixed scenery models, all modelled in code.
#pragma once

#include <string>
#include <vector>

#include "write3ds.h"

struct NAMED_MESH {
    std::string path;  // relative to the data directory, e.g. "models/kestrel.3ds"
    MESH3DS mesh;
};

std::vector<NAMED_MESH> make_meshes();
