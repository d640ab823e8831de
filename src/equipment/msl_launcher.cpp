#include "equipment/msl_launcher.h"

#include "effects/fireball.h"
#include "effects/missile.h"
#include "render/model.h"
#include "vessel/definitions.h"
#include "vessel/vessel.h"

// A missile is armed once it is clear of the vessel that launched it.
static const float MISSILE_ARM_TIME = 0.5f;  // s

MSL_LAUNCHER::MSL_LAUNCHER() = default;

const char* MSL_LAUNCHER::get_thingtype_string() { return "MISSILE"; }

void MSL_LAUNCHER::set_tech(int t)
{
    if (t >= 100 && t <= 103)
        GUN::set_tech(t);
}

float MSL_LAUNCHER::get_m()
{
    float m = GUN::get_m();
    if (mounted_missile)
        m += MISSILE::get_base_m(tech - 100) + MISSILE::get_m_per_power(tech - 100) * bullet_power;
    return m;
}

void MSL_LAUNCHER::place_mounted_missile()
{
    if (mounted_missile)
        mounted_missile->set_rel(hotspot->get_rel());
}

int MSL_LAUNCHER::handle_launcher_key(const char* key, const char* rest, bool& known)
{
    known = true;
    char word[DEF_WORD_SIZE];
    if (key_is(key, "TECH")) {
        int used = read_definition_word(word, sizeof word, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
        if (key_is(word, "DUMB"))
            set_tech(LAUNCHER_DUMB);
        else if (key_is(word, "HEAT"))
            set_tech(LAUNCHER_HEAT);
        else if (key_is(word, "RADAR"))
            set_tech(LAUNCHER_RADAR);
        else
            definition_report(rest, DEF_UNKNOWN_WORD, "TECH '%.60s' is not DUMB, HEAT or RADAR: ignored", word);
        return used;
    }
    if (key_is(key, "BURNTIME"))
        return read_definition_number(rest, &burn_time, key);
    if (key_is(key, "ROT"))
        return read_definition_number(rest, &turn_rate, key);
    if (key_is(key, "BMODEL")) {
        int used = read_definition_word(word, sizeof word, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
        if (!mounted_missile) {
            mounted_missile = new THING();
            add_child(mounted_missile);
            place_mounted_missile();
        }
        mounted_missile->set_model(load_definition_mesh(word, rest));
        return used;
    }
    known = false;
    return 0;
}

int MSL_LAUNCHER::handle_file_command(const char* key, const char* rest)
{
    if (key_is(key, "HOTSPOT")) {
        // The muzzle moves, and the missile on it.
        int used = GUN::handle_file_command(key, rest);
        place_mounted_missile();
        return used;
    }
    bool known;
    int used = handle_launcher_key(key, rest, known);
    if (!known)
        return GUN::handle_file_command(key, rest);
    // Every key goes on to the gun as well (TECH is offered to the gun's
    // technologies, which set_tech refuses); what the gun would say about a
    // key the launcher has read already only repeats the launcher.
    DEFINITION_SINK* listening = definition_sink;
    definition_sink = nullptr;
    int gun_used = GUN::handle_file_command(key, rest);
    definition_sink = listening;
    return gun_used > used ? gun_used : used;
}

THING* MSL_LAUNCHER::create_bullet()
{
    VESSEL* vessel = dynamic_cast<VESSEL*>(parent);
    THING* target = vessel ? vessel->get_target() : nullptr;
    if (!mounted_missile)
        return nullptr;
    MISSILE* m = new MISSILE(burn_time, MISSILE_ARM_TIME, tech - 100, target, get_bullet_speed(), turn_rate);
    // The model moves onto the missile; the rail is left empty.
    m->set_model(mounted_missile->get_model());
    mounted_missile->set_model(nullptr);
    remove_child(mounted_missile);
    mounted_missile = nullptr;
    launch(m);
    m->set_explosion_color(FIRE_COLOR);  // launch() gave it BCOLOR, which is the guns'
    m->set_owner(parent);
    return m;
}

void MSL_LAUNCHER::paint_status(BITMAP* bmp, int x, int y, int w, int h)
{
    if (mounted_missile) {
        GUN::paint_status(bmp, x, y, w, h);
        return;
    }
    // Drawn as the gun draws an empty magazine: the shots it still counts
    // launch nothing.
    float held = ammo;
    ammo = 0.0f;
    GUN::paint_status(bmp, x, y, w, h);
    ammo = held;
}
