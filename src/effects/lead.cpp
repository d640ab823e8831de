#include "effects/lead.h"

#include <cassert>
#include <cmath>

#include "scene/vec3.h"

void lead_point(const float* offset, const float* rel_vel, float closing_speed, float* out)
{
    assert(out != offset && out != rel_vel && "out != offset && out != rel_vel");
    float dist = length3(offset);
    // s until the shot arrives; the callers pass a closing speed of 0 only
    // with no relative velocity, where the time does not matter.
    float t = closing_speed > 0.0f ? dist / closing_speed : 0.0f;
    for (int i = 0; i < 3; i++)
        out[i] = offset[i] + rel_vel[i] * t;
}
