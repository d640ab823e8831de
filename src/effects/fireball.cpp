#include "effects/fireball.h"

#include <cmath>

#include "game/globals.h"
#include "render/ftexmodel.h"

float phase_peak_point = 0.85f;

FIREBALL::FIREBALL(const float* rgb)
{
    for (int i = 0; i < 3; i++)
        color[i] = rgb[i];
    MODEL* sprite = new FTEXMODEL("$FBSPRITE", true);
    sprite->set_color(0, color[0], color[1], color[2]);
    set_model(sprite);
}

void FIREBALL::reset(float new_brightness, float new_size, float duration, bool new_shrink)
{
    brightness = fabsf(new_brightness);
    size = fabsf(new_size);
    life = 1.0f;
    shrink = new_shrink;
    // No duration: an infinite rate, which tick() takes as "gone at once".
    fade_rate = duration != 0.0f ? 1.0f / fabsf(duration) : INFINITY;
}

void FIREBALL::set_vel(const float* v)
{
    for (int i = 0; i < 3; i++)
        vel[i] = v[i];
}

float FIREBALL::current_size() const
{
    float p = phase_peak_point;
    if (life > p)
        return (1.0f - life) * size / (1.0f - p);
    return shrink ? size * life / p : size;
}

float FIREBALL::current_brightness() const
{
    float p = phase_peak_point;
    return life > p ? brightness : brightness * life / p;
}

void FIREBALL::paint(unsigned short flags)
{
    if (!show_explosions)
        return;
    if (model) {
        model->set_parameter(0, current_size());
        model->set_parameter(1, current_brightness());
    }
    THING::paint(flags);
}

void FIREBALL::tick(float dt)
{
    THING::tick(dt);
    // An infinite fade rate times a dt of 0 is NaN: compared this way, a
    // loss that is not a number below life ends the fireball as well.
    float loss = fade_rate * dt;
    if (loss < life) {
        life -= loss;
    } else {
        life = 0.0f;
        set_flags(THING_DEAD);
    }
    float step[3] = {vel[0] * dt, vel[1] * dt, vel[2] * dt};
    translate_rel(step);
    // The flat sprite faces the viewer: the viewer's rotation, our place.
    if (THING* viewer = get_viewpoint()) {
        MATRIX_f m = viewer->get_abs();
        for (int i = 0; i < 3; i++)
            m.t[i] = rel.t[i];
        set_rel(m);
    }
    invalidate_abs();
}
