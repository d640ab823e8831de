#include "equipment/jet.h"

#include "game/globals.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "effects/fireball.h"
#include "sound/sounds.h"
#include "ui/colors.h"
#include "vessel/definitions.h"

float flame_thrust_delta = 2.0f;  // per second
float jet_idle_pitch = 0.7f;      // frequency factor at zero flame
// Heat per newton of thrust a jet or rotator is giving; a heat seeker sees a
// thing from as many metres as its heat. A cruising target drone holds its
// 5.1 t up with about 50 kN from its rotator and is seen from 1500 m; while
// its main jet also burns at a quarter it glows further.
float jet_heat_per_newton = 0.0297f;

// Uniform 0..32767, the range the flame and engine randomness are tuned for.

JET::JET()
    : thrust(0.0f),
      power(0.0f),
      flame_speed(100.0f),
      flame_timer(0.0f),
      flame_interval(0.01f),
      flame_length(2.0f),
      flame_color{1.0f, 0.6f, 0.2f},
      flame_thrust(0.0f),
      engine_sound(nullptr),
      sound_on(false),
      engine_pitch(1.0f)
{
    set_name("Jet");
}

JET::~JET() { soundlist.release(engine_sound); }

const char* JET::get_thingtype_string() { return "JET"; }

void JET::axis_y(float* out) const
{
    out[0] = abs.v[0][1];
    out[1] = abs.v[1][1];
    out[2] = abs.v[2][1];
}

// The exhaust glows as hard as the flame burns, whichever way it points.
float JET::get_heat() { return jet_heat_per_newton * fabsf(flame_thrust) * power; }

void JET::set_power(float p) { power = std::max(p, 0.0f); }

void JET::set_thrust(float value, int axis)
{
    if (axis != 1 && axis != 7)
        return;
    thrust = std::clamp(value, -1.0f, 1.0f);
}

float JET::get_thrust_setting(int axis) { return axis == 1 ? thrust : 0.0f; }

void JET::get_force(float* f)
{
    float y[3];
    axis_y(y);
    for (int i = 0; i < 3; i++)
        f[i] = power * thrust * y[i];
}

void JET::get_max_forces(float* f6)
{
    float y[3];
    axis_y(y);
    for (int i = 0; i < 3; i++) {
        f6[i] = power * y[i];
        f6[i + 3] = 0.0f;
    }
}

float JET::get_max_aforce() { return power; }

void JET::tick(float dt)
{
    flame_timer -= dt;
    // A flame already at the thrust stays there whichever branch sees it:
    // each step is clamped back to the thrust.
    if (flame_thrust < thrust) {
        flame_thrust += flame_thrust_delta * dt;
        flame_thrust = std::min(flame_thrust, thrust);
    }
    if (flame_thrust > thrust) {
        flame_thrust -= flame_thrust_delta * dt;
        flame_thrust = std::max(flame_thrust, thrust);
    }
    float level = fabsf(flame_thrust);
    bool starting = level > 0.0f && !sound_on;
    if (starting)
        engine_pitch = 0.9f + 0.2f * random_unit();  // each engine a note of its own
    // The engine runs higher as the flame grows.
    sound_volume = level;
    sound_pitch = engine_pitch * (jet_idle_pitch + (1.0f - jet_idle_pitch) * level);
    if (starting) {
        sound_on = true;
        play_sound(engine_sound, true);
    }
    if (flame_thrust == 0.0f && sound_on) {
        play_sound(nullptr, false);
        sound_on = false;
    }
    update_sound();
}

THING* JET::crop_spawn()
{
    if (flame_timer > 0.0f)
        return nullptr;
    FIREBALL* puff = new FIREBALL(flame_color);
    float level = fabsf(flame_thrust);
    puff->reset(level, fabsf(flame_thrust * flame_length), level, true);
    float v[3] = {0.0f, 0.0f, 0.0f};
    if (parent)
        parent->get_vel(v);
    float y[3];
    axis_y(y);
    // The exhaust leaves against the force.
    float away = flame_thrust > 0.0f ? -flame_speed : flame_speed;
    for (int i = 0; i < 3; i++)
        v[i] += away * y[i];
    puff->set_vel(v);
    float s = random_unit() * 0.0167f;
    puff->locate_rel(abs.t[0] + s * v[0], abs.t[1] + s * v[1], abs.t[2] + s * v[2]);
    flame_timer = flame_interval;
    return puff;
}

int JET::handle_file_command(const char* key, const char* rest)
{
    if (key_is(key, "POWER")) {
        float p;
        int used = read_definition_number(rest, &p, key);
        set_power(definition_at_least(p, 0.0f, rest, key));
        return used;
    }
    if (key_is(key, "SOUND")) {
        char file[DEF_WORD_SIZE];
        int used = read_definition_word(file, sizeof file, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
        soundlist.release(engine_sound);
        engine_sound = load_definition_sound(file, rest);
        return used;
    }
    return SLOTTHING::handle_file_command(key, rest);
}

// A bar from the middle of the box, right for forward thrust, left for reverse.
void JET::paint_status(BITMAP* bmp, int x, int y, int w, int h)
{
    int n = w - 2;
    int v = (int)((n * thrust + n) * 0.5f);
    v = std::max(1, std::min(v, n));
    rectfill(bmp, x + w / 2, y + 1, x + v, y + h - 2, get_kvor_color(mfd_jet_color));
    SLOTTHING::paint_status(bmp, x, y, w, h);
}
