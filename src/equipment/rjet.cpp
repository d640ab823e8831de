#include "equipment/rjet.h"

#include <algorithm>
#include <cmath>

#include "equipment/jet.h"
#include "scene/vec3.h"
#include "ui/colors.h"
#include "vessel/definitions.h"

RJET::RJET() : thrust{0, 0, 0, 0, 0, 0}, power{0, 0, 0, 0, 0, 0} { set_name("Rotator"); }

const char* RJET::get_thingtype_string() { return "RJET"; }

void RJET::set_power(const float* p)
{
    for (int i = 0; i < 6; i++)
        power[i] = std::max(p[i], 0.0f);
}

void RJET::set_thrust(float value, int axis)
{
    float t = std::clamp(value, -1.0f, 1.0f);
    if (axis >= 3 && axis <= 5)
        thrust[axis - 3] = t;
    else if (axis >= 0 && axis <= 2)
        thrust[axis + 3] = t;
    else if (axis == 7)
        for (float& e : thrust)
            e = t;
}

float RJET::get_thrust_setting(int axis)
{
    if (axis >= 3 && axis <= 5)
        return thrust[axis - 3];
    if (axis >= 0 && axis <= 2)
        return thrust[axis + 3];
    return 0.0f;
}

void RJET::get_rforce(float* t)
{
    for (int i = 0; i < 3; i++)
        t[i] = thrust[i] * power[i];
}

// Hull files mount items in mirrored frames (their first column is turned
// round), which would make a command to slide right push left and the linear
// stabilizer feed sideways drift instead of damping it. The force frame is
// the mount's y and z with the right-hand x = y x z, the mount's own x when
// the mount is not mirrored.
void RJET::get_force(float* f)
{
    float local[3] = {thrust[3] * power[3], thrust[4] * power[4], thrust[5] * power[5]};
    const float y[3] = {abs.v[0][1], abs.v[1][1], abs.v[2][1]};
    const float z[3] = {abs.v[0][2], abs.v[1][2], abs.v[2][2]};
    const float x[3] = {y[1] * z[2] - y[2] * z[1], y[2] * z[0] - y[0] * z[2], y[0] * z[1] - y[1] * z[0]};
    for (int i = 0; i < 3; i++)
        f[i] = x[i] * local[0] + y[i] * local[1] + z[i] * local[2];
}

float RJET::get_heat()
{
    float f[3];
    get_force(f);
    return jet_heat_per_newton * length3(f);
}

void RJET::get_max_forces(float* f6)
{
    for (int i = 0; i < 6; i++)
        f6[i] = power[i];
}

float RJET::get_max_aforce() { return (power[3] + power[4] + power[5]) / 3.0f; }

int RJET::handle_file_command(const char* key, const char* rest)
{
    if (key_is(key, "POWER")) {
        float p[6];
        int used = read_definition_numbers(rest, p, 6, key);
        for (float& v : p)
            v = definition_at_least(v, 0.0f, rest, key);
        set_power(p);
        return used;
    }
    return SLOTTHING::handle_file_command(key, rest);
}

// Six rows, one per command: rotation rows in the jet colour, linear rows in
// the rotator colour, each a bar from the middle.
void RJET::paint_status(BITMAP* bmp, int x, int y, int w, int h)
{
    int n = w - 2;
    int row = h / 6;
    for (int i = 0; i < 6; i++) {
        int v = (int)((n * thrust[i] + n) * 0.5f);
        v = std::max(1, std::min(v, n));
        int color = get_kvor_color(i < 3 ? mfd_jet_color : mfd_rjet_color);
        rectfill(bmp, x + w / 2, y + i * row + 1, x + v, y + (i + 1) * row, color);
    }
    SLOTTHING::paint_status(bmp, x, y, w, h);
}
