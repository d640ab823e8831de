// The vessel's cockpit screens (status, all slots, target, front and rear
// radar): sizes, the radar's reach, and the small rules the screens draw by,
// kept free of bitmaps so they can be checked on their own. VESSEL's
// update_*_screen and update_radar (mfd.cpp) draw with them.
#pragma once

#include <cstddef>

extern int mfd_width[5];   // pixels, per screen id
extern int mfd_height[5];  // pixels, per screen id
extern float radar_range;  // m: things this far away or farther are not shown

// Pixel of a radar direction (u right, v up, each -1..1 on the unit disc)
// on a 64 x 64 radar: the centre is (31, 31), up is at the top. False, and
// nothing written, when u or v is not a finite number.
bool radar_pixel(float u, float v, int* x, int* y);

// The target screen's distance and size lines for d and s in metres: km
// from 100 km, km with one decimal from 1 km, metres below (millimetres for
// a size under 1 m). False, and an empty text, for a value that is not a
// finite number of metres (nothing sensible to show).
bool mfd_distance_text(float d, char* out, size_t size);
bool mfd_size_text(float s, char* out, size_t size);
