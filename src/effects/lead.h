// The lead rule of guided missiles, shared with the opponents' gunnery: aim
// where the target will be when something closing at a given speed gets
// there, assuming it keeps its velocity relative to the shooter.
#pragma once

// out = offset + rel_vel x |offset| / closing_speed: the target's offset
// (target position - own position, world) moved along its velocity relative
// to the shooter (target velocity - own velocity) for the time a thing at
// closing_speed m/s needs to cover the distance. A guided missile closes at
// the relative speed itself; a gun at its muzzle speed. With closing_speed
// 0 or less there is no lead and out = offset. out may alias neither input.
void lead_point(const float* offset, const float* rel_vel, float closing_speed, float* out);
