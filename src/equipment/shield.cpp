#include "equipment/shield.h"

#include "ui/colors.h"
#include "vessel/definitions.h"

SHIELD::SHIELD() : power(0.0f), charge_rate(1.0f), shield_fraction(1.0f) {}

const char* SHIELD::get_thingtype_string() { return "SHIELD"; }
float SHIELD::get_max_shield() { return power; }
float SHIELD::get_shield_charge_rate() { return charge_rate; }
void SHIELD::update_shield_charge(float fraction) { shield_fraction = fraction; }
float SHIELD::get_energy_need() { return shield_fraction < 1.0f ? charge_rate : 0.0f; }
// The recharge is the vessel's and does not wait for the energy.
void SHIELD::consume_energy(float) {}
void SHIELD::set_power(float p) { power = p > 0.0f ? p : 0.0f; }
void SHIELD::set_charge_rate(float r) { charge_rate = r > 0.0f ? r : 0.0f; }

int SHIELD::handle_file_command(const char* key, const char* rest)
{
    bool is_power = key_is(key, "POWER");
    if (is_power || key_is(key, "CHARGE")) {
        float v;
        int used = read_definition_number(rest, &v, key);
        if (v < 0.0f)
            definition_report(rest, DEF_CLAMPED, "%s %g is below 0: 0 is used", key, v);
        if (is_power)
            set_power(v);
        else
            set_charge_rate(v);
        return used;
    }
    return SLOTTHING::handle_file_command(key, rest);
}

void SHIELD::paint_status(BITMAP* bmp, int x, int y, int w, int h)
{
    int n = w - 2;
    float f = shield_fraction * n;
    int v = f >= n ? n : f >= 1.0f ? (int)f : 1;  // also keeps a NaN fraction drawable
    rectfill(bmp, x + 1, y + 1, x + v, y + h - 2, get_kvor_color(mfd_shield_color));
    SLOTTHING::paint_status(bmp, x, y, w, h);
}
