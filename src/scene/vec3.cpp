#include "scene/vec3.h"

#include <cmath>

float dot3(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

float length3(const float* v) { return sqrtf(dot3(v, v)); }

float distance3(const float* a, const float* b)
{
    const float d[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    return length3(d);
}
