#include "game/joystick.h"

#include <algorithm>
#include <cmath>
#include <cstring>

float joy_null_zone = 0.2f;
float joy_gamma = 3.0f;
bool joy_invert_y = false;

int* joy_pitch = nullptr;
int* joy_gear = nullptr;
int* joy_roll = nullptr;
int* joy_thrust_x = nullptr;
int* joy_thrust_y = nullptr;
int* joy_thrust_z = nullptr;
int* joy_fire = nullptr;
int* joy_roll_gear_toggle = nullptr;

JOYSTICK_INFO* joy_delta = nullptr;
static JOYSTICK_INFO joy_delta_records[MAX_JOYSTICKS];  // one per joystick joy[] can hold

float joy_to_float(int pos)
{
    float x = pos / 128.0f;
    float nz = joy_null_zone;
    if (x > nz)
        return powf((x - nz) / (1.0f - nz), joy_gamma);
    if (x < -nz)
        return -powf((-x - nz) / (1.0f - nz), joy_gamma);
    return 0.0f;
}

void clear_joy_bindings()
{
    joy_pitch = joy_gear = joy_roll = nullptr;
    joy_thrust_x = joy_thrust_y = joy_thrust_z = nullptr;
    joy_fire = joy_roll_gear_toggle = nullptr;
}

static int* axis_of(int stick, int axis)
{
    if (num_joysticks < 1 || stick >= joy[0].num_sticks || axis >= joy[0].stick[stick].num_axis)
        return nullptr;
    return &joy[0].stick[stick].axis[axis].pos;
}

static int* button_of(int b)
{
    if (num_joysticks < 1 || b >= joy[0].num_buttons)
        return nullptr;
    return &joy[0].button[b].b;
}

void bind_joystick()
{
    joy_gear = axis_of(0, 0);
    joy_pitch = axis_of(0, 1);
    joy_thrust_y = axis_of(0, 2);
    joy_thrust_x = axis_of(1, 0);
    joy_thrust_z = axis_of(1, 1);
    joy_fire = button_of(0);
    joy_roll_gear_toggle = button_of(1);
    joy_roll = nullptr;
}

// Only a joystick driver moves joy[] between the copy and the poll, so the
// changes are seen with a real stick (the tests bind one without a driver).
// Entries past a stick's count stay zero in both records.
static void record_changes(const JOYSTICK_INFO& now, JOYSTICK_INFO& delta)
{
    for (int b = 0; b < MAX_JOYSTICK_BUTTONS; b++)
        delta.button[b].b = now.button[b].b - delta.button[b].b;
    for (int s = 0; s < MAX_JOYSTICK_STICKS; s++)
        for (int a = 0; a < MAX_JOYSTICK_AXIS; a++)
            delta.stick[s].axis[a].pos = now.stick[s].axis[a].pos - delta.stick[s].axis[a].pos;
}

void update_joy_delta()
{
    joy_delta = joy_delta_records;
    int n = std::min(num_joysticks, MAX_JOYSTICKS);
    memcpy(joy_delta, joy, n * sizeof(JOYSTICK_INFO));
    poll_joystick();
    for (int i = 0; i < n; i++)
        record_changes(joy[i], joy_delta[i]);
}

int joy_delta_of(const int* binding)
{
    if (!binding || !joy_delta)
        return 0;
    // A binding points into joy[]; the same offset in joy_delta is its change.
    ptrdiff_t offset = (const char*)binding - (const char*)joy;
    if (offset < 0 || offset + sizeof(int) > sizeof joy_delta_records)
        return 0;
    return *(const int*)((const char*)joy_delta + offset);
}

void free_joy_delta()
{
    joy_delta = nullptr;
    memset(joy_delta_records, 0, sizeof joy_delta_records);
}
