// The scene the player finds at start: background sphere and stars, ground
// and sky planes, the viewpoint and camera nodes, two navigation buoys and
// 200 rocks (the player's vessel joins with build_scene's caller).
#pragma once

struct GAME;
class THING;

constexpr int STAR_COUNT = 200;
constexpr int ROCK_COUNT = 200;
extern float star_sphere_fac;  // stars sit at this fraction of FAR_DIST
extern float rock_field_size;  // metres: rocks are scattered over a cube this wide

// A bare world for tests and tools: the roots with the viewpoint and camera
// nodes only, and no target waves.
void create_world_roots(GAME& g);
// The whole start scene. False (after printing one line naming the file)
// when a model the game cannot go on without is missing.
bool build_scene(GAME& g);
// The first "*.vcd" of the data directory in the selection screen's order,
// for a game started without the screen. False when there is none.
bool first_vessel_configuration(char* out, int size);
// Height above the origin at which a player vessel starts: clear of the
// ground by its own radius.
float start_height(THING* vessel);
// A new player vessel from g.vessel_path, added to the world.
void add_player_vessel(GAME& g);
// Step S10: a dead player vessel is replaced at once, seen from outside.
void replace_player_vessel(GAME& g);
// Deletes both trees and forgets the models they held.
void destroy_world(GAME& g);
// Ground, sky planes and background stay around the viewer (steps S19, S20).
void follow_viewer(GAME& g);
