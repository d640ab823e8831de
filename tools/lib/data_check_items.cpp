#include "data_check_items.h"

#include "render/model.h"
#include "vessel/definitions.h"

const char* CHECK_LAUNCHER_ITEM::get_thingtype_string() { return "MISSILE"; }

void CHECK_LAUNCHER_ITEM::set_tech(int t)
{
    if (t >= 100 && t <= 103)
        GUN::set_tech(t);
}

int CHECK_LAUNCHER_ITEM::handle_file_command(const char* key, const char* rest)
{
    bool known = false;
    int used = handle_launcher_key(key, rest, known);
    if (!known)
        return GUN::handle_file_command(key, rest);
    // Every key goes on to the gun as well; what the gun would say about a
    // key the launcher has read already repeats the launcher.
    DEFINITION_SINK* listening = definition_sink;
    definition_sink = nullptr;
    int gun_used = GUN::handle_file_command(key, rest);
    definition_sink = listening;
    return gun_used > used ? gun_used : used;
}

int CHECK_LAUNCHER_ITEM::handle_launcher_key(const char* key, const char* rest, bool& known)
{
    known = true;
    char word[DEF_WORD_SIZE];
    if (key_is(key, "TECH")) {
        int used = read_definition_word(word, sizeof word, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
        if (key_is(word, "DUMB"))
            set_tech(100);
        else if (key_is(word, "HEAT"))
            set_tech(101);
        else if (key_is(word, "RADAR"))
            set_tech(102);
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
    // HOTSPOT is the gun's.
    known = false;
    return 0;
}

SLOTTHING* make_check_launcher_item(const char* thingtype)
{
    if (key_is(thingtype, "MISSILE"))
        return new CHECK_LAUNCHER_ITEM();
    return nullptr;
}
