// Waves of eight target vessels: created together, replaced together once
// every one of them is gone, blown up when they stray too far.
#pragma once

class THING;

extern float respawn_point[3];  // where targets appear; the entry buoy stands here
extern float respawn_distance;  // metres from respawn_point at which a target is blown up
constexpr int TARGETS_PER_WAVE = 8;
extern const char* victim_file;  // configuration in the data directory the targets are built from
extern float target_spacing[3];  // m between the ranks of a wave: sideways, back, up
extern float target_thrust;      // forward thrust a new target flies with
constexpr int PLAYER_TEAM = 1;
constexpr int TARGET_TEAM = 2;

// Adds a wave of eight target vessels to the world; piloted: each gets a
// pilot that fights back.
void respawn_targets(THING* world, bool piloted = false);
// True when none of "beta 1" .. "beta 8" is left alive among first and its
// siblings; tells strayed ones to explode.
bool check_targets(THING* first);
