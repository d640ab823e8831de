// The checker's stand-in for the missile-launcher items, which the game does
// not build yet: a GUN that also reads every key a MSL_LAUNCHER item file
// may hold, with the limits the game will apply, and reports through the
// definition readers what it passes over or limits. It launches nothing.
#pragma once

#include "equipment/gun.h"

class CHECK_LAUNCHER_ITEM : public GUN {
public:
    const char* get_thingtype_string() override;  // "MISSILE"
    int handle_file_command(const char* key, const char* rest) override;
    void set_tech(int t) override;  // only the launcher technologies 100..103

    bool has_missile_model() const { return missile_model; }

private:
    int handle_launcher_key(const char* key, const char* rest, bool& known);

    float burn_time = 8.0f, turn_rate = 1000.0f;
    bool missile_model = false;
};

// The maker the checker hands to the item reader: a launcher stand-in for
// THINGTYPE MISSILE, null for any other.
SLOTTHING* make_check_launcher_item(const char* thingtype);
