// DEBRIS: a tumbling piece of an exploded mesh that flies on, cools and
// shrinks to nothing.
#pragma once

#include "scene/thing.h"

extern float MAX_DEBRIS_ROTATION;  // spread of the spin rates, angle units/s
extern float DEBRIS_COOLING_RATE;  // heat lost per second

class DEBRIS : public THING {
public:
    explicit DEBRIS(const float* vel);  // world velocity, m/s; a random spin

    int get_team() override;  // -1: belongs to nobody
    void tick(float dt) override;

    float get_heat_left() const { return heat; }  // not get_heat: that is what seekers see
    const float* get_velocity() const { return vel; }
    const float* get_spin() const { return spin; }

protected:
    float heat = 1.0f;  // 1 at birth, falling to 0; the model's scale
    float vel[3];       // world velocity, m/s
    float spin[3];      // rotation rates about x, y, z, angle units/s
};
