// The checker's stand-in for the gun and missile-launcher items, which the
// game does not build yet: a slot item that reads every key a GUN or a
// MSL_LAUNCHER item file may hold, with the limits the game will apply,
// and reports through the definition readers what it passes over or limits.
// It has no function in flight beyond its mass.
#pragma once

#include "vessel/slotthing.h"

class SOUND;

class CHECK_GUN_ITEM : public SLOTTHING {
public:
    explicit CHECK_GUN_ITEM(bool launcher);  // launcher: THINGTYPE MISSILE
    ~CHECK_GUN_ITEM() override;

    const char* get_thingtype_string() override;  // "GUN" or "MISSILE"
    int handle_file_command(const char* key, const char* rest) override;

    // What the keys set, as the game will hold it.
    int get_tech() override { return tech; }  // 0 conventional, 1 laser, 2 rocket; 100-102 launchers
    float get_bullet_power() const { return bullet_power; }
    float get_ammo_charge() const { return ammo_charge; }
    float get_max_ammo() const { return max_ammo; }
    bool has_missile_model() const { return missile_model; }

private:
    int handle_gun_key(const char* key, const char* rest);
    int handle_launcher_key(const char* key, const char* rest, bool& known);
    int read_limited(const char* rest, const char* key, float low, float high, float& out);

    bool launcher;
    int tech = 0;
    float bullet_size = 0.1f, bullet_speed = 100.0f, bullet_power = 1.0f;
    float reload_interval = 1.0f, max_ammo = 0.0f, ammo_charge = 0.0f;
    float burn_time = 8.0f, turn_rate = 1000.0f;
    float bullet_color[6] = {1, 1, 1, 1, 1, 1};
    float hotspot[3] = {0, 0, 0};
    bool missile_model = false;
    SOUND* fire_sound = nullptr;      // held in the global sound list
    SOUND* detonate_sound = nullptr;  // held in the global sound list
};

// The maker the checker hands to the item reader for THINGTYPEs GUN and
// MISSILE (null for any other).
SLOTTHING* make_check_gun_item(const char* thingtype);
