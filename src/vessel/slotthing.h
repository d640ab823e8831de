// SLOTTHING: a piece of equipment in one of a vessel's slots. The vessel
// asks its items for forces, energy, shields, ammunition and firing only
// through the virtual operations below; the base class is a complete item
// that does nothing and reports zero. Also the slot record and the
// slot-type bits shared by hull slots and items.
#pragma once

#include <allegro.h>

#include "scene/thing.h"

// Slot-type bits, from the letters of string_to_slottype.
enum : int {
    SLOT_GUN = 0x01,        // G: fired by the gun selection; exactly 1 gets the HUD aiming mark
    SLOT_MISSILE = 0x02,    // M: fired by the gun selection
    SLOT_EXTENSION = 0x04,  // X: every item's default
    SLOT_JET = 0x08,        // J
    SLOT_ROTATOR = 0x10,    // R
    SLOT_INVISIBLE = 0x20,  // i: a hull slot whose items from files show no model
    SLOT_PRESET = 0x40,     // b: a hull slot that an item from a file was fitted into
    SLOT_W = 0x80,          // W
};

constexpr int MAX_SLOTS = 32;

// An optional number (strtol base 0) followed by letters, each ORing in its
// bit (case-sensitive); other characters are ignored. Null gives 0.
int string_to_slottype(const char* text);
// The first character string_to_slottype ignores after its number, or 0.
char slottype_unknown_char(const char* text);

class SLOTTHING;

// One hull slot, owned by the vessel.
struct VESSEL_SLOT {
    MATRIX_f matrix;    // mounting transform in hull coordinates
    SLOTTHING* thing;   // fitted item (a child of the vessel), or null
    int slot_type;      // slot-type bits of the slot
};

class SLOTTHING : public THING {
public:
    SLOTTHING();
    explicit SLOTTHING(THING* parent);

    // THING
    int get_slottype() override;
    const char* get_thingtype_string() override;
    const char* get_name() override;
    void set_name(const char* name) override;  // cut to 63 characters
    float get_max_shield() override;           // shield capacity the item adds
    float get_m() override;                    // kg
    THING* crop_spawn() override;              // a newly made thing (flame puff, shot) or null

    // forces: vectors of 3 floats, world coordinates unless noted
    virtual void get_rm(float* rm);              // rotational mass about the item's x, y, z
    virtual void get_force(float* f);            // current linear force
    virtual void get_rforce(float* t);           // current torque about the vessel's axes
    virtual float get_max_aforce();              // force for accelerating the vessel
    virtual void get_max_forces(float* f6);      // maximum force (3) and torque (3)
    // Axis 0-2 linear x, y, z; 3-5 rotation about x, y, z; 7 all. Nominally
    // -1..1, the stabilizers may pass more.
    virtual void set_thrust(float value, int axis);
    // What set_thrust last left on axis 0-5, so that a caller who commands
    // thrust for a moment can put it back; 0 for items without thrust.
    virtual float get_thrust_setting(int axis);

    // guns
    virtual float get_ammo();
    virtual float get_maxammo();
    virtual int get_tech();                // compared by the gun grouping
    virtual void set_trigger(bool on);

    // shields
    virtual float get_shield_charge_rate();           // shield units per second the item adds
    virtual void update_shield_charge(float fraction);  // the vessel's shield fill, 0..1

    // definition files: every line goes through handle_file_command, which
    // answers the characters of rest it consumed (0 for an unknown key)
    virtual void parse_file_string(const char* text);
    virtual int handle_file_command(const char* key, const char* rest);

    // more guns
    virtual void calibrate(float distance);  // metres to the target, 0 when none
    virtual float get_reload_interval();     // seconds between shots
    virtual bool trigger_lock();             // true: refuses to fire now

    // the item's line of the status screens, in a box of w x h pixels
    virtual void paint_status(BITMAP* bmp, int x, int y, int w, int h);

    // energy, per second
    virtual float get_energy_output();
    virtual float get_energy_need();
    virtual void consume_energy(float amount);  // the power granted this frame

    // fuel: part of the interface, never called by the vessel
    virtual void get_fuel_have(float* fuel);
    virtual void get_fuel_need(float* fuel);
    virtual void consume_fuel(float* fuel);

protected:
    void set_defaults();

    char name[64];   // shown on the displays; at most 63 characters
    int slot_type;   // only the SLOTTYPE key sets it
    float mass;      // kg, no lower limit
    float rmass[3];  // rotational mass about x, y, z; at least 0.1 from files
};
