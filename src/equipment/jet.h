// JET: a linear thruster pushing along its own +y axis, with an exhaust
// flame of puffs and an engine sound that follow the commanded thrust with a
// lag.
#pragma once

#include "vessel/slotthing.h"

class SOUND;

extern float flame_thrust_delta;  // per second: how fast the flame follows the command
extern float jet_idle_pitch;      // engine pitch factor at zero flame, relative to full flame
extern float jet_heat_per_newton; // heat per N of thrust of jets and rotators (heat seekers see heat/distance >= 1)

class JET : public SLOTTHING {
public:
    JET();
    ~JET() override;

    const char* get_thingtype_string() override;  // "JET"
    float get_heat() override;     // from the burning flame; 0 with the engine off
    void tick(float dt) override;
    THING* crop_spawn() override;  // one flame puff every flame_interval, or null
    void get_force(float* f) override;          // power x thrust along the jet's y axis, world
    float get_max_aforce() override;            // power
    void get_max_forces(float* f6) override;    // power along the y axis; no torque
    void set_thrust(float value, int axis) override;  // axis 1 or 7 only, limited to -1..1
    float get_thrust_setting(int axis) override;      // the thrust on axis 1, else 0
    int handle_file_command(const char* key, const char* rest) override;  // POWER, SOUND
    void paint_status(BITMAP* bmp, int x, int y, int w, int h) override;

    virtual void set_power(float p);  // newtons at full thrust; negative becomes 0

    float get_thrust() const { return thrust; }
    float get_flame_thrust() const { return flame_thrust; }
    float get_power() const { return power; }
    bool get_sound_on() const { return sound_on; }
    SOUND* get_engine_sound() const { return engine_sound; }

protected:
    void axis_y(float* out) const;  // the jet's +y axis in the world

    float thrust;             // commanded, -1..1
    float power;              // N at full thrust, >= 0
    float flame_speed;        // m/s of the puffs relative to the vessel
    float flame_timer;        // s until the next puff may leave
    float flame_interval;     // s between puffs
    float flame_length;       // puff size per unit of flame thrust, m
    float flame_color[3];     // RGB of the puffs
    float flame_thrust;       // trails thrust; the flame and the sound follow it
    SOUND* engine_sound;      // one reference on the global sound list; may be null
    bool sound_on;            // the engine is considered running
    float engine_pitch;       // pitch factor at full flame, chosen at each start
};
