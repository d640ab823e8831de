#include "effects/debris.h"

#include "game/globals.h"

#include "effects/explosion.h"
#include "render/model.h"

float MAX_DEBRIS_ROTATION = 100.0f;
float DEBRIS_COOLING_RATE = 0.5f;

DEBRIS::DEBRIS(const float* v)
{
    for (int i = 0; i < 3; i++) {
        vel[i] = v[i];
        spin[i] = (random15() / (float)RANDOM15_MAX - 0.5f) * MAX_DEBRIS_ROTATION;
    }
}

int DEBRIS::get_team() { return -1; }

void DEBRIS::tick(float dt)
{
    THING::tick(dt);
    heat -= dt * DEBRIS_COOLING_RATE;
    if (!(heat > 0.0f)) {
        set_flags(THING_DEAD);
        return;
    }
    if (model)
        model->set_parameter(0, heat);
    MATRIX_f turn;
    get_rotation_matrix_f(&turn, dt * spin[0], dt * spin[1], dt * spin[2]);
    rtransform_rel(turn);
    float step[3] = {vel[0] * dt, vel[1] * dt, vel[2] * dt};
    translate_rel(step);
}
