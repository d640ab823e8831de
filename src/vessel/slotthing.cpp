#include "vessel/slotthing.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/colors.h"
#include "vessel/definitions.h"

// ------------------------------------------------------------ slot types

static const char slot_letters[] = "GMXJRibW";  // bit i is letter i

static const char* after_number(const char* text, long* number)
{
    char* end = nullptr;
    *number = strtol(text, &end, 0);
    return end;
}

int string_to_slottype(const char* text)
{
    if (!text)
        return 0;
    long number;
    const char* p = after_number(text, &number);
    // A 32-bit set: a number too large for it keeps its low bits.
    int bits = (int)(unsigned)(unsigned long)number;
    for (; *p; p++) {
        const char* letter = strchr(slot_letters, *p);
        if (letter)
            bits |= 1 << (letter - slot_letters);
    }
    return bits;
}

char slottype_unknown_char(const char* text)
{
    if (!text)
        return 0;
    long number;
    for (const char* p = after_number(text, &number); *p; p++)
        if (!strchr(slot_letters, *p))
            return *p;
    return 0;
}

// ------------------------------------------------------------ life

SLOTTHING::SLOTTHING() { set_defaults(); }

SLOTTHING::SLOTTHING(THING* parent) : THING(parent) { set_defaults(); }

void SLOTTHING::set_defaults()
{
    strcpy(name, "Empty");
    slot_type = SLOT_EXTENSION;
    mass = 1.0f;
    rmass[0] = rmass[1] = rmass[2] = 1.0f;
}

// ------------------------------------------------------------ THING

int SLOTTHING::get_slottype() { return slot_type; }
const char* SLOTTHING::get_thingtype_string() { return "SLOTTHING"; }
const char* SLOTTHING::get_name() { return name; }

void SLOTTHING::set_name(const char* text)
{
    snprintf(name, sizeof name, "%s", text ? text : "");
}

float SLOTTHING::get_max_shield() { return 0.0f; }
float SLOTTHING::get_m() { return mass; }
THING* SLOTTHING::crop_spawn() { return nullptr; }

// ------------------------------------------------------------ inert item

void SLOTTHING::get_rm(float* rm)
{
    rm[0] = rmass[0];
    rm[1] = rmass[1];
    rm[2] = rmass[2];
}

void SLOTTHING::get_force(float* f) { f[0] = f[1] = f[2] = 0.0f; }
void SLOTTHING::get_rforce(float* t) { t[0] = t[1] = t[2] = 0.0f; }
float SLOTTHING::get_max_aforce() { return 0.0f; }

void SLOTTHING::get_max_forces(float* f6)
{
    for (int i = 0; i < 6; i++)
        f6[i] = 0.0f;
}

void SLOTTHING::set_thrust(float, int) {}
float SLOTTHING::get_thrust_setting(int) { return 0.0f; }
float SLOTTHING::get_ammo() { return 0.0f; }
float SLOTTHING::get_maxammo() { return 0.0f; }
int SLOTTHING::get_tech() { return 0; }
void SLOTTHING::set_trigger(bool) {}
float SLOTTHING::get_shield_charge_rate() { return 0.0f; }
void SLOTTHING::update_shield_charge(float) {}
void SLOTTHING::calibrate(float) {}
float SLOTTHING::get_reload_interval() { return 0.0f; }
bool SLOTTHING::trigger_lock() { return true; }
float SLOTTHING::get_energy_output() { return 0.0f; }
float SLOTTHING::get_energy_need() { return 0.0f; }
void SLOTTHING::consume_energy(float) {}
void SLOTTHING::get_fuel_have(float*) {}
void SLOTTHING::get_fuel_need(float*) {}
void SLOTTHING::consume_fuel(float*) {}

void SLOTTHING::paint_status(BITMAP* bmp, int x, int y, int w, int h)
{
    textprintf_centre_ex(bmp, font, x + (w - 2) / 2, y + h / 2 - 4, get_kvor_color(12), -1, "%s",
                         name);
}

// ------------------------------------------------------------ definition files

void SLOTTHING::parse_file_string(const char* text)
{
    DEFINITION_TEXT scope("(text)", text);
    walk_definition_lines(text, [this](const char* key, const char* rest) {
        return handle_file_command(key, rest);
    });
}

int SLOTTHING::handle_file_command(const char* key, const char* rest)
{
    int used = 0;
    if (key_is(key, "NAME")) {
        char text[DEF_NAME_SIZE];
        used += read_definition_word(text, sizeof text, rest, WORD_LINE_TERMINATORS, WORD_TEXT_BLANKS,
                                     key);
        set_name(text);
    } else if (key_is(key, "MESH")) {
        char file[DEF_ITEM_WORD_SIZE];
        used += read_definition_word(file, sizeof file, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
        set_model(load_definition_mesh(file, rest));
    } else if (key_is(key, "SLOTTYPE")) {
        char text[DEF_ITEM_WORD_SIZE];
        used += read_definition_word(text, sizeof text, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
        slot_type = string_to_slottype(text);
        if (char c = slottype_unknown_char(text))
            definition_report(rest, DEF_BAD_SLOTTYPE, "SLOTTYPE '%.60s': '%c' means nothing", text, c);
    } else if (key_is(key, "MASS")) {
        char text[DEF_ITEM_WORD_SIZE];
        used += read_definition_word(text, sizeof text, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
        mass = definition_number(text, rest, key);
    } else if (key_is(key, "RMASS")) {
        used += read_definition_numbers(rest, rmass, 3, key);
        for (float& r : rmass)
            r = definition_at_least(r, 0.1f, rest, key);
    } else if (!key_is(key, "THINGTYPE")) {
        // THINGTYPE chose the class before the reading began.
        definition_report(rest, DEF_UNKNOWN_KEY, "%s: unknown key '%.60s' ignored",
                          get_thingtype_string(), key);
    }
    return used;
}
