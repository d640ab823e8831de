// RJET ("Rotator"): an attitude thruster giving a torque about each of the
// vessel's axes and a small force along each of its own.
#pragma once

#include "vessel/slotthing.h"

class RJET : public SLOTTHING {
public:
    RJET();

    const char* get_thingtype_string() override;  // "RJET"
    void get_force(float* f) override;            // own-axis forces turned into the world
    // The glow of the linear thrust it is giving: a rotator holding a vessel
    // up works all the time, so a cruising vessel stays visible to heat
    // seekers; 0 when it pushes nothing.
    float get_heat() override;
    void get_rforce(float* t) override;           // torques about the vessel's x, y, z
    float get_max_aforce() override;              // mean of the three forces
    void get_max_forces(float* f6) override;      // the six powers
    // Limited to -1..1; axis 3-5 sets rotation entry axis - 3, axis 0-2 sets
    // linear entry axis + 3, 7 sets all six.
    void set_thrust(float value, int axis) override;
    float get_thrust_setting(int axis) override;  // the entry set_thrust(value, axis) sets
    int handle_file_command(const char* key, const char* rest) override;  // POWER (six values)
    void paint_status(BITMAP* bmp, int x, int y, int w, int h) override;

    virtual void set_power(const float* p);  // six values; negative become 0

    float get_thrust(int i) const { return thrust[i]; }
    float get_power(int i) const { return power[i]; }

protected:
    float thrust[6];  // 0-2 rotation about x, y, z; 3-5 linear along x, y, z; each -1..1
    float power[6];   // 0-2 N m about the vessel's axes; 3-5 N along the rotator's own; >= 0
};
