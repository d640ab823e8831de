// Small meshes built in code, for tests, benchmarks and tools.
#pragma once

#include "write3ds.h"

class MESHMODEL;

// A closed box of 12 triangles centred on the origin, half-sizes hx, hy, hz,
// wound as the game's culling expects.
MESH3DS box_shape(float hx, float hy, float hz);

// The same box as the game's mesh. The caller owns it.
MESHMODEL* make_box_mesh(float hx, float hy, float hz);
