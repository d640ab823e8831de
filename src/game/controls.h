// The player's controls: keyboard, joystick and mouse read into the player
// vessel every frame, the command keys, the six views and the cameras.
// Everything here reads Allegro's key[] state and the joystick bindings, so
// tests drive it by setting those and calling the functions directly.
#pragma once

#include <allegro.h>

struct GAME;
class VESSEL;

extern float throttle_step;   // keyboard throttle change per frame
extern float chase_distance;  // metres the chase camera stays behind the vessel
extern float chase_height;    // metres the chase camera stays above it

VESSEL* player_vessel(GAME& g);  // null when there is none

// Mouse movement of this frame, in mickeys, handed in so tests can fake it.
struct MOUSE_INPUT {
    int mx = 0, my = 0;
    bool left = false;
};

// Steps 1 to 8 of the continuous controls.
void read_continuous_controls(GAME& g, const MOUSE_INPUT& mouse);
// One command key (Allegro scancode, with the shift state of key[]).
void dispatch_key(GAME& g, int scancode);

enum VIEW { VIEW_PILOT, VIEW_EXTERNAL, VIEW_ORIGIN_TO_SHIP, VIEW_FIXED, VIEW_MISSILE, VIEW_PILOT_TO_MISSILE };
// Sets the view thing, look-at target and HUD of a view; false (and nothing
// changes) when the view has no source (the missile view without a missile).
bool select_view(GAME& g, VIEW view);

// S18: the chase camera behind the vessel and the look-at rotation.
void place_cameras(GAME& g);
// The rotation that turns +y towards d (identity when d has no x or z).
void look_at_rotation(const float* d, MATRIX_f* out);
