// MSL_LAUNCHER: a gun that launches missiles. It carries one missile, drawn
// at its muzzle, hands that model to the missile it launches and gives the
// missile the vessel's current target. Ammunition, reload, trigger, firing
// and aiming are the GUN's; once its missile has gone, further shots are
// spent without one.
#pragma once

#include "equipment/gun.h"

// Launcher technologies (GUN tech); the missile's own is tech - 100.
enum : int { LAUNCHER_DUMB = 100, LAUNCHER_HEAT = 101, LAUNCHER_RADAR = 102 };

class MSL_LAUNCHER : public GUN {
public:
    MSL_LAUNCHER();

    const char* get_thingtype_string() override;  // "MISSILE"
    float get_m() override;                        // the gun's, plus the mounted missile
    // TECH (DUMB, HEAT, RADAR), BURNTIME, ROT, BMODEL, HOTSPOT, then every
    // GUN key.
    int handle_file_command(const char* key, const char* rest) override;
    // An empty launcher shows empty, whatever shots it may still spend.
    void paint_status(BITMAP* bmp, int x, int y, int w, int h) override;
    void set_tech(int t) override;  // only 100..103
    THING* create_bullet() override;  // the mounted missile, launched; null once it has gone

    THING* get_mounted_missile() const { return mounted_missile; }
    float get_burn_time() const { return burn_time; }
    float get_turn_rate() const { return turn_rate; }

protected:
    int handle_launcher_key(const char* key, const char* rest, bool& known);
    void place_mounted_missile();  // at the hotspot

    THING* mounted_missile = nullptr;  // a child showing the missile model; null when none
    float burn_time = 8.0f;            // s of motor given to each missile
    float turn_rate = 1000.0f;         // guidance turn rate given to each missile
};
