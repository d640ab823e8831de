// SHIELD: adds capacity and a recharge rate to the vessel's shield, and asks
// for energy while that shield is not full.
#pragma once

#include "vessel/slotthing.h"

class SHIELD : public SLOTTHING {
public:
    SHIELD();

    const char* get_thingtype_string() override;  // "SHIELD"
    float get_max_shield() override;               // power
    float get_shield_charge_rate() override;        // charge_rate
    void update_shield_charge(float fraction) override;
    int handle_file_command(const char* key, const char* rest) override;  // POWER, CHARGE
    void paint_status(BITMAP* bmp, int x, int y, int w, int h) override;
    float get_energy_need() override;  // charge_rate while the vessel's shield is not full
    void consume_energy(float amount) override;

    virtual void set_power(float p);        // <= 0 becomes 0
    virtual void set_charge_rate(float r);  // <= 0 becomes 0

    float get_shield_fraction() const { return shield_fraction; }

protected:
    float power;            // MJ of shield capacity the item adds, >= 0
    float charge_rate;      // MJ per second the item adds to the recharge, >= 0
    float shield_fraction;  // the vessel's shield / its maximum, as last told
};
