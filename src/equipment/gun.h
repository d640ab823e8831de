// GUN: the slot item that fires projectiles. One class covers three
// technologies: CONVENTIONAL guns fire shells from a magazine that never
// refills, LASER guns fire short-lived bolts and recharge from the vessel's
// energy, ROCKET guns fire unguided rockets from a magazine that refills by
// itself. The vessel chooses which guns fire (it sets their triggers); the
// gun decides whether it can, and makes the projectile when the frame's
// spawn harvest asks it (crop_spawn).
//
// Gun frame: +y is the barrel. The hotspot (a child) is the muzzle; its
// y axis is the direction the shots leave in, tilted by calibrate.
#pragma once

#include "vessel/slotthing.h"

class BULLET;
class MODEL;
class SOUND;

extern float max_calib_angle;  // rad: the largest aiming correction of calibrate

enum GUN_TECH : int {
    GUN_CONVENTIONAL = 0,
    GUN_LASER = 1,
    GUN_ROCKET = 2,
    // 100..103 belong to the missile launchers, which make their own projectiles
};

class GUN : public SLOTTHING {
public:
    GUN();
    ~GUN() override;  // releases both samples; the hotspot goes with the children

    // THING / SLOTTHING
    const char* get_thingtype_string() override;  // "GUN"
    float get_m() override;                        // own mass plus the shots it carries, kg
    void tick(float dt) override;                  // regains ammunition, runs the reload timer
    THING* crop_spawn() override;                  // the projectile of a shot, or null
    float get_ammo() override;
    float get_maxammo() override;
    int get_tech() override;
    void set_trigger(bool on) override;
    int handle_file_command(const char* key, const char* rest) override;
    void calibrate(float distance) override;  // aims the muzzle at (0, distance, 0) of the vessel
    float get_reload_interval() override;
    bool trigger_lock() override;             // true while reloading
    void paint_status(BITMAP* bmp, int x, int y, int w, int h) override;
    float get_energy_need() override;         // a laser below full: bullet_power x ammo_charge
    void consume_energy(float amount) override;

    virtual void set_tech(int t);  // unchecked
    virtual void set_bullet_color(const float* c);  // ring/explosion colour, then tip/flame colour
    virtual void set_bullet_color(float r0, float g0, float b0, float r1, float g1, float b1);
    virtual void set_bullet_size(float s);      // at least 0.01
    virtual void set_bullet_speed(float s);     // 0.1 .. 500 m/s
    virtual void set_bullet_power(float p);     // 0 .. 10000
    virtual void set_ammo(float a);             // 0 .. max_ammo
    virtual void set_maxammo(float m);          // at least 0; lowers ammo to it
    virtual void set_reload_interval(float r);  // at least 0
    virtual void set_ammocharge(float c);       // shots per second, unchecked
    virtual THING* create_bullet();             // the projectile of the technology, or null
    virtual float get_bullet_speed();           // m/s, never below 0.1
    virtual void load_fire_sample(const char* path);
    virtual void load_detonate_sound(const char* path);

    // read-outs
    float get_bullet_power() const { return bullet_power; }
    float get_bullet_size() const { return bullet_size; }
    const float* get_bullet_color() const { return bullet_color; }
    float get_reload_timer() const { return reload_timer; }
    float get_ammo_charge() const { return ammo_charge; }
    float get_ammo_rate() const { return ammo_rate; }
    bool get_trigger() const { return trigger; }
    THING* get_hotspot() const { return hotspot; }
    SOUND* get_fire_sound() const { return fire_sound; }
    SOUND* get_detonate_sound() const { return detonate_sound; }

protected:
    // Gives p (made with its model) what every technology shares: the
    // muzzle's place and heading, the vessel's velocity plus the muzzle
    // speed, the power and the explosion colour.
    void launch(BULLET* p);
    // ROCKET: an unguided rocket with the pod's shared model.
    THING* create_rocket();

    int tech;                // a GUN_TECH, or a launcher technology 100..103
    float bullet_color[6];   // RGB explosion/ring colour, RGB tip/flame colour
    float bullet_size;       // m, >= 0.01
    float bullet_speed;      // m/s, 0.1 .. 500
    float bullet_power;      // damage per shot, 0 .. 10000; a laser's MJ per shot
    float reload_interval;   // s between shots, >= 0
    float reload_timer;      // s until the gun may fire, >= 0 after a tick
    float ammo;              // shots held, 0 .. max_ammo
    float max_ammo;          // >= 0
    float ammo_charge;       // shots per second a laser or rocket gun can regain
    float ammo_rate;         // shots per second regained, set by the energy budget
    bool trigger;            // the vessel wants a shot this frame
    THING* hotspot;          // the muzzle, a child; never null
    SOUND* fire_sound;       // one reference on the sound list; may be null
    SOUND* detonate_sound;   // one reference on the sound list; may be null
    MODEL* rocket_model;     // ROCKET: shared by every rocket of this pod; one reference; may be null
    bool rocket_model_read;  // its file was read (even if it did not load): never again
};
