#include "data_check_items.h"

#include "render/model.h"
#include "sound/sounds.h"
#include "vessel/definitions.h"

CHECK_GUN_ITEM::CHECK_GUN_ITEM(bool is_launcher) : launcher(is_launcher) {}

CHECK_GUN_ITEM::~CHECK_GUN_ITEM()
{
    if (fire_sound)
        soundlist.release(fire_sound);
    if (detonate_sound)
        soundlist.release(detonate_sound);
}

const char* CHECK_GUN_ITEM::get_thingtype_string() { return launcher ? "MISSILE" : "GUN"; }

// One number limited to low .. high (reported when it had to be).
int CHECK_GUN_ITEM::read_limited(const char* rest, const char* key, float low, float high, float& out)
{
    float v = 0;
    int used = read_definition_number(rest, &v, key);
    if (v < low) {
        definition_report(rest, DEF_CLAMPED, "%s %g is below %g: %g is used", key, v, low, low);
        v = low;
    } else if (v > high) {
        definition_report(rest, DEF_CLAMPED, "%s %g is above %g: %g is used", key, v, high, high);
        v = high;
    }
    out = v;
    return used;
}

int CHECK_GUN_ITEM::handle_file_command(const char* key, const char* rest)
{
    bool known = false;
    int used = 0;
    // A launcher reads its own keys and then offers every key to the gun.
    if (launcher)
        used = handle_launcher_key(key, rest, known);
    const bool gun_key = key_is(key, "TECH") || key_is(key, "BSIZE") || key_is(key, "BSPEED") ||
                         key_is(key, "BPOWER") || key_is(key, "BCOLOR") || key_is(key, "RELOAD") ||
                         key_is(key, "HOTSPOT") || key_is(key, "MAXAMMO") || key_is(key, "AMMOCHARGE") ||
                         key_is(key, "FIRESOUND") || key_is(key, "DETONATESOUND");
    if (gun_key) {
        if (known) {
            // Read again by the gun; its reports would repeat the launcher's.
            DEFINITION_SINK* listening = definition_sink;
            definition_sink = nullptr;
            used = handle_gun_key(key, rest);
            definition_sink = listening;
        } else {
            used = handle_gun_key(key, rest);
        }
        return used;
    }
    if (known)
        return used;
    return SLOTTHING::handle_file_command(key, rest);
}

int CHECK_GUN_ITEM::handle_launcher_key(const char* key, const char* rest, bool& known)
{
    known = true;
    char word[DEF_WORD_SIZE];
    if (key_is(key, "TECH")) {
        int used = read_definition_word(word, sizeof word, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
        if (key_is(word, "DUMB"))
            tech = 100;
        else if (key_is(word, "HEAT"))
            tech = 101;
        else if (key_is(word, "RADAR"))
            tech = 102;
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
        MODEL* m = load_definition_mesh(word, rest);
        missile_model = m != nullptr;
        if (m)
            delete_model(m);
        return used;
    }
    if (key_is(key, "HOTSPOT"))
        return read_definition_numbers(rest, hotspot, 3, key);
    known = false;
    return 0;
}

int CHECK_GUN_ITEM::handle_gun_key(const char* key, const char* rest)
{
    char word[DEF_WORD_SIZE];
    if (key_is(key, "TECH")) {
        int used = read_definition_word(word, sizeof word, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
        // A launcher keeps its own technology: it refuses the gun's.
        if (key_is(word, "LASER"))
            tech = launcher ? tech : 1;
        else if (key_is(word, "CONVENTIONAL"))
            tech = launcher ? tech : 0;
        else if (key_is(word, "ROCKET"))
            tech = launcher ? tech : 2;
        else
            definition_report(rest, DEF_UNKNOWN_WORD,
                              "TECH '%.60s' is not LASER, CONVENTIONAL or ROCKET: ignored", word);
        return used;
    }
    if (key_is(key, "BSIZE"))
        return read_limited(rest, key, 0.01f, 1e30f, bullet_size);
    if (key_is(key, "BSPEED"))
        return read_limited(rest, key, 0.1f, 500.0f, bullet_speed);
    if (key_is(key, "BPOWER"))
        return read_limited(rest, key, 0.0f, 10000.0f, bullet_power);
    if (key_is(key, "BCOLOR"))
        return read_definition_numbers(rest, bullet_color, 6, key);
    if (key_is(key, "RELOAD"))
        return read_limited(rest, key, 0.0f, 1e30f, reload_interval);
    if (key_is(key, "HOTSPOT"))
        return read_definition_numbers(rest, hotspot, 3, key);
    if (key_is(key, "MAXAMMO"))
        return read_limited(rest, key, 0.0f, 1e30f, max_ammo);
    if (key_is(key, "AMMOCHARGE"))
        return read_definition_number(rest, &ammo_charge, key);
    bool fire = key_is(key, "FIRESOUND");
    int used = read_definition_word(word, sizeof word, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
    SOUND*& held = fire ? fire_sound : detonate_sound;
    if (held)
        soundlist.release(held);
    held = load_definition_sound(word, rest);
    return used;
}

SLOTTHING* make_check_gun_item(const char* thingtype)
{
    if (key_is(thingtype, "GUN"))
        return new CHECK_GUN_ITEM(false);
    if (key_is(thingtype, "MISSILE"))
        return new CHECK_GUN_ITEM(true);
    return nullptr;
}
