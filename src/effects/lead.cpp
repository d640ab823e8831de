#include "effects/lead.h"

#include <cassert>
#include <cmath>

void lead_point(const float* offset, const float* rel_vel, float closing_speed, float* out)
{
    assert(out != offset && out != rel_vel && "out != offset && out != rel_vel");
    float dist = sqrtf(offset[0] * offset[0] + offset[1] * offset[1] + offset[2] * offset[2]);
    float t = closing_speed > 0.0f ? dist / closing_speed : 0.0f;  // s until the shot arrives
    for (int i = 0; i < 3; i++)
        out[i] = offset[i] + rel_vel[i] * t;
}
