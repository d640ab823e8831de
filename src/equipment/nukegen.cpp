#include "equipment/nukegen.h"

#include <algorithm>

#include "ui/colors.h"
#include "vessel/definitions.h"

float nuclear_fuel_per_megajoule = 1e-8f;  // fuel units per MJ
int mfd_reactor_color = 10;                // orange

NUKEGEN::NUKEGEN() : fuel(10.0f), fuel_capacity(10.0f), power(100.0f) {}

const char* NUKEGEN::get_thingtype_string() { return "Nuclear Reactor"; }

float NUKEGEN::get_energy_output() { return fuel > 0.0f ? power : 0.0f; }

void NUKEGEN::tick(float dt)
{
    THING::tick(dt);
    fuel = std::max(fuel - nuclear_fuel_per_megajoule * power * dt, 0.0f);
}

int NUKEGEN::handle_file_command(const char* key, const char* rest)
{
    if (key_is(key, "POWER")) {
        float v;
        int used = read_definition_number(rest, &v, key);
        power = definition_at_least(v, 1.0f, rest, key);
        return used;
    }
    if (key_is(key, "FUEL")) {
        float v;
        int used = read_definition_number(rest, &v, key);
        fuel_capacity = definition_at_least(v, 1.0f, rest, key);
        return used;
    }
    return SLOTTHING::handle_file_command(key, rest);
}

// The fuel left against the capacity; a reactor holding more than its
// capacity draws past the box, where the bitmap clips it.
void NUKEGEN::paint_status(BITMAP* bmp, int x, int y, int w, int h)
{
    float f = (w - 2) * fuel / fuel_capacity;
    int v = f > 1e6f ? 1000000 : f > 0.0f ? (int)f : 0;
    rectfill(bmp, x + 1, y + 1, x + 1 + v, y + h - 2, get_kvor_color(mfd_reactor_color));
    SLOTTHING::paint_status(bmp, x, y, w, h);
}
