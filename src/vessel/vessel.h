// VESSEL: the ship. A THING whose shape, mass and equipment come from
// definition files and whose equipment sits in up to 32 slots. Its tick
// shares energy among the items, recharges the shield, lets the stabilizers
// command the thrusters, integrates forces and torques, keeps the cockpit
// HUD in place and fires the selected guns. The player's ship and every
// target are VESSELs; targets simply get no input.
//
// Vessel frame: +y forward, +z up, +x right. Rotation rates and head angles
// are in Allegro angle units (256 per turn). Thrust axes: 0-2 linear x, y,
// z; 3-5 rotation about x, y, z; 7 every axis.
#pragma once

#include <allegro.h>

#include "scene/thing.h"
#include "scene/thing_ref.h"
#include "vessel/slotthing.h"

extern float standard_acceleration_time;  // s: the stabilizer speed is reached in this time at full thrust
extern float vessel_stabilizer_strength;  // thrust command per m/s of speed error
extern float vessel_rstabilizer_fac;      // thrust command per angle unit/s of rotation error
extern float vessel_rstabilizer_trate;    // angle units/s of rotation set-point at full input
extern float vessel_hstabilizer_trate;    // angle units/s of roll per radian of bank
extern float vessel_long_distance_fac;    // forward set-point factor in long-distance mode
extern float pilot_glance_rate;           // angle units/s the head turns
extern float hud_viewdist;                // m from the eye to the HUD plane
extern float vessel_hull_energy_output;   // MW the hull supplies without a reactor

// MFD screen ids.
enum { MFD_STATUS = 0, MFD_ALLSLOTS = 1, MFD_TARGET = 2, MFD_RADAR_F = 3, MFD_RADAR_R = 4 };
constexpr int MFD_SCREENS = 5;

// 0 when either team is 0 (none), 1 when they are equal, -1 otherwise.
int get_team_relation(int a, int b);

class VESSEL : public THING {
public:
    VESSEL();  // with its pilot, cockpit and eight HUD nodes; no slots
    ~VESSEL() override;

    // THING
    const char* get_thingtype_string() override;  // "VESSEL"
    void get_vel(float* out) override;             // m/s, world
    void get_rot(float* out) override;             // angle units/s about x, y, z
    int get_team() override;
    float get_heat() override;                     // the items' heat: burning jets
    float get_shield() override;
    float get_max_shield() override;
    float get_m() override;                        // hull + items, kg
    void reduce_shield(float amount) override;     // no lower limit
    void tick(float dt) override;
    THING* crop_spawn() override;                  // what an item spawned, owned by the vessel
    void handle_ground_intersect() override;       // bursts at once

    // resources and motion
    virtual void update_resources(float dt);  // shares the energy among the items
    virtual void get_impulse(float* p);       // vel x mass
    virtual void set_impulse(float* p);
    virtual void set_rotation(float* r);      // angle units/s
    virtual void set_team(int team);

    // slots
    virtual int add_slot();  // lowest free index with an identity slot of type 0, or -1
    virtual int add_slot(MATRIX_f& matrix, int type);
    virtual THING* get_pilot();  // the eye node, oriented by the head angles
    // Yaw clamped to -96..96, pitch to -64..64 (angle units).
    virtual void set_pilot(float yaw, float pitch, bool immediate);
    // Fits item into an existing empty slot; the vessel then owns it.
    // False (the caller keeps the item) when the slot is missing or taken.
    virtual bool fill_slot(int index, SLOTTHING* item);
    virtual THING* get_slot_item(int index);  // null outside 0..31, or no slot, or empty
    virtual void clear_slot(int index);       // destroys the item

    // definition files; path is complete (data_path included)
    virtual void load_vhd(const char* path);  // removes every slot first
    virtual void load_vcd(const char* path);

    // sums over the slots
    virtual void get_rm(float* rm);            // rotational mass about x, y, z
    virtual void get_force(float* f);          // N, world; zero while dead or exploding
    virtual void get_rforce(float* t);         // torque; zero while dead or exploding
    virtual void get_max_forces(float* f6);

    // steering
    virtual void set_thrust(float value, int axis);  // the entry for all steering input
    virtual void match_speed(float v);               // forward cruise speed, m/s
    virtual void set_trigger(bool on);
    virtual float get_stabilizer_speed();  // m/s reached in standard_acceleration_time; 0 without mass
    virtual void set_stabilizer(bool on);
    virtual void set_rstabilizer(bool on);
    virtual void set_hstabilizer(bool on);
    virtual void set_long_distance(bool on);
    virtual void toggle_stabilizer();
    virtual void toggle_rstabilizer();   // also clears the horizon stabilizer
    virtual void toggle_rhstabilizer();  // off -> R -> R+H -> off
    virtual void toggle_long_distance();
    virtual bool get_stabilizer();
    virtual bool get_rstabilizer();
    virtual bool get_hstabilizer();
    virtual bool get_long_distance();
    virtual void set_shield_percent(float p);  // |p| percent of the maximum

    // cockpit
    virtual void hud_on();   // shows the HUD nodes and the cockpit
    virtual void hud_off();  // hides them

    // MFD screens and radar (mfd.cpp), drawn into 32-bit bitmaps the vessel
    // owns, made on first use. Ids outside 0..4 give nothing.
    virtual void update_target_screen();     // requires the bitmap
    virtual void update_status_screen();     // requires the bitmap
    virtual void update_slot_screen();       // requires the bitmap
    // Both radar halves from the things of the sibling list starting at list.
    virtual void update_radar(THING* list);
    // Makes the bitmap (both radar halves for 3 or 4) and redraws a stale
    // status, slot or target screen.
    virtual void update_mfd_bitmap(int id);
    virtual BITMAP* get_mfd_bitmap(int id);  // up to date; null only for a bad id
    virtual void invalidate_mfd(int id);     // redrawn when next fetched

    // targeting: the selections step through the vessel's siblings (the
    // world's other children), passing over the dead and exploding; they
    // leave the target null when nothing matches. Guns are the items with
    // slot-type bit SLOT_GUN or SLOT_MISSILE; a group is the guns that
    // guns_are_comparable with each other under the combine mode (0 none,
    // 1 same name, 2 same technology, 3 all), and the cycle mode (0..3)
    // fires 1, 2, 4 or all of a group per shot.
    virtual THING* get_target();
    virtual void set_target(THING* t);
    virtual void select_next_target(unsigned long want, unsigned long reject);
    virtual void select_prev_target(unsigned long want, unsigned long reject);
    virtual void select_nearest_target(unsigned long want, unsigned long reject);
    virtual void select_ahead_target(unsigned long want, unsigned long reject);
    virtual void next_gun_combine_mode();
    virtual void next_gun_cycle_mode();
    virtual void next_gun_type();
    virtual int find_next_gun(int from, int ref);
    virtual int find_next_gun_type(int from, int ref);
    virtual bool guns_are_comparable(int a, int b);
    virtual void fire();

    virtual void _set_thrust(float value, int axis);  // to every item unchanged
    virtual void update_pilot_matrix();

    // The in-memory halves of the loaders (the file already read); data_path
    // still prefixes every file they name.
    void parse_vhd(const char* text);
    void parse_vcd(const char* text);

    // read-outs
    float get_thrust_input(int axis) const { return thrust_input[axis]; }  // 0..5
    float get_target_vel(int axis) const { return target_vel[axis]; }      // 0..5
    void get_acc(float* out) const;
    void get_lvel(float* out) const;
    void get_head_angle(float* out) const;  // yaw, pitch
    void get_pilot_pos(float* out) const;
    float get_hull_mass() const { return mass; }
    void get_hull_rmass(float* out) const;
    float get_shield_charge_rate() const { return shield_charge_rate; }
    float get_energy_output() const { return energy_output; }
    float get_energy_need() const { return energy_need; }
    int get_cur_gun() const { return cur_gun; }
    float get_fire_delay() const { return fire_delay; }
    int get_slot_type(int index) const;  // -1 when there is no such slot
    const VESSEL_SLOT* get_slot(int index) const;  // null when there is no such slot
    THING* get_cockpit() const { return cockpit; }
    THING* get_hud_velocity() const { return hud_velocity; }
    THING* get_hud_rvelocity() const { return hud_rvelocity; }
    THING* get_hud_boresight() const { return hud_boresight; }
    THING* get_hud_aim() const { return hud_aim; }
    THING* get_hud_speed() const { return hud_speed; }
    THING* get_hud_altitude() const { return hud_altitude; }
    THING* get_hud_target() const { return hud_target; }
    THING* get_hud_target_dir() const { return hud_target_dir; }

protected:
    THING* make_hud_node(unsigned style, float size);
    void fit_from_file(int index, const char* name, const char* at);
    void remove_all_slots();
    void stabilize_linear(float m);
    void stabilize_rotation();
    void integrate(float dt, float m);
    void place_eye_marks();
    void update_hud();
    void update_target_marks();
    void place_aim_mark();
    SLOTTHING* item_at(int i) const;  // the item in slot i, or null (also outside 0..31)
    bool is_gun(int i) const;         // an item with slot-type bit SLOT_GUN or SLOT_MISSILE
    bool is_usable_gun(int i) const;  // a gun holding at least one shot
    void turn_head(float dt);

    VESSEL_SLOT* slot[MAX_SLOTS] = {};  // owned records; null where no slot exists
    THING* pilot = nullptr;        // eye node, a child; may be null until update_pilot_matrix
    float thrust_input[6] = {};    // last set_thrust command per axis, -1..1
    int team = 0;                  // 0 = none
    THING* cockpit = nullptr;      // carries the cockpit mesh; hidden unless the HUD is on
    THING* hud_boresight = nullptr;  // HUD nodes: children with a HUDMODEL each
    THING* hud_velocity = nullptr;
    THING* hud_rvelocity = nullptr;
    THING* hud_speed = nullptr;
    THING* hud_altitude = nullptr;
    THING* hud_target = nullptr;
    THING* hud_target_dir = nullptr;
    THING* hud_aim = nullptr;
    float vel[3] = {};     // m/s, world
    float lvel[3] = {};    // m/s, vessel axes
    float acc[3] = {};     // m/s^2, world, gravity included
    float rot[3] = {};     // angle units/s about the vessel's x, y, z
    float racc[3] = {};    // rad/s^2
    float pilot_pos[3] = {};  // eye, hull coordinates
    float head_angle[2] = {};  // yaw, pitch, angle units
    float head_target[2] = {};  // wanted yaw, pitch
    bool pilot_valid = true;  // pilot orientation up to date
    float mass = 1.0f;     // hull, kg, >= 0.1 from files
    float rmass[3] = {1.0f, 1.0f, 1.0f};  // hull, about x, y, z; >= 0.1 from files
    float target_vel[6] = {};  // stabilizer set-points: m/s (0-2), angle units/s (3-5)
    bool stabilizer = false;
    bool rstabilizer = false;
    bool hstabilizer = false;
    bool long_distance = false;
    bool trigger = false;      // the fire button
    float shield = 0.0f;       // MJ, may go below 0 when hit
    float max_shield = 0.0f;   // MJ, sum over the items, >= 0
    float shield_charge_rate = 0.0f;  // MJ/s, sum over the items, >= 0
    THING_REF target;          // selected target; null once it is destroyed
    BITMAP* mfd_bmp[MFD_SCREENS] = {};  // owned; made on first use
    bool mfd_valid[MFD_SCREENS] = {};
    int gun_combine_mode = 1;  // 0..3
    int gun_cycle_mode = 0;  // 0..3
    int cur_gun = -1;      // slot of the next gun to fire, -1 none
    float fire_delay = 0.0f;  // s until the next shot
    bool launch_spent = false;  // a launcher group has fired during this pull of the trigger
    float energy_output = 0.0f;  // MW offered this frame
    float energy_need = 0.0f;  // MW asked for this frame
};
