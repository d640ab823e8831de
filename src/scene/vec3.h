// Three-vectors held as float[3], the way Allegro's matrices hold their rows
// and translations. Inline: the collision pass and the frame's physics call
// them for every pair and every thing.
#pragma once

#include <cmath>

inline float dot3(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

inline float length3(const float* v) { return std::sqrt(dot3(v, v)); }

inline float distance3(const float* a, const float* b)  // |a - b|
{
    const float d[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    return length3(d);
}
