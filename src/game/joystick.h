// Joystick 0's bindings and the shaping of its axes.
#pragma once

#include <allegro.h>

extern float joy_null_zone;  // fraction of travel around the centre that reads as 0
extern float joy_gamma;      // exponent of the response curve
extern bool joy_invert_y;    // pitch axis taken as it comes instead of negated

// Each binding points at a field of Allegro's joy[0] (an axis position or a
// button state), or is null when joystick 0 lacks that stick, axis or button.
extern int* joy_pitch;             // stick 0, axis 1
extern int* joy_gear;              // stick 0, axis 0: yaw (roll while toggled)
extern int* joy_roll;              // never bound; its code paths stay
extern int* joy_thrust_x;          // stick 1, axis 0: lateral thrust
extern int* joy_thrust_y;          // stick 0, axis 2: main thrust
extern int* joy_thrust_z;          // stick 1, axis 1: vertical thrust
extern int* joy_fire;              // button 0
extern int* joy_roll_gear_toggle;  // button 1: yaw becomes roll

// Change of every axis and button since the previous refresh, one record per
// joystick; null until the first update_joy_delta.
extern JOYSTICK_INFO* joy_delta;

// Shapes a raw axis position (-128..128) into -1..1 with dead zone and gamma.
float joy_to_float(int pos);
void clear_joy_bindings();
// Binds what joystick 0 has (call after a calibration was loaded).
void bind_joystick();
// Polls the joysticks and records what changed since the last call.
void update_joy_delta();
// The change recorded for a binding (0 for a null binding or no record).
int joy_delta_of(const int* binding);
void free_joy_delta();  // forgets the records: null again until the next update
