// NUKEGEN ("Nuclear Reactor"): the energy source. Offers a constant power
// while it has fuel and burns fuel at that power, used or not.
#pragma once

#include "vessel/slotthing.h"

extern float nuclear_fuel_per_megajoule;  // fuel units burnt per MJ produced
extern int mfd_reactor_color;             // colour table index of the fuel bar

class NUKEGEN : public SLOTTHING {
public:
    NUKEGEN();

    const char* get_thingtype_string() override;  // "Nuclear Reactor"
    void tick(float dt) override;
    int handle_file_command(const char* key, const char* rest) override;  // POWER, FUEL
    void paint_status(BITMAP* bmp, int x, int y, int w, int h) override;
    float get_energy_output() override;  // power while fuelled, else 0

    float get_fuel() const { return fuel; }
    float get_fuel_capacity() const { return fuel_capacity; }
    float get_power() const { return power; }
    void set_fuel(float f) { fuel = f; }

protected:
    float fuel;           // units left, >= 0
    float fuel_capacity;  // units; only scales the status bar; >= 1 from files
    float power;          // MW while fuelled; >= 1 from files
};
