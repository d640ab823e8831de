#include "vessel/item_factory.h"

#include <cassert>

#include "equipment/gun.h"
#include "equipment/jet.h"
#include "equipment/msl_launcher.h"
#include "equipment/nukegen.h"
#include "equipment/rjet.h"
#include "equipment/shield.h"
#include "vessel/definitions.h"
#include "vessel/slotthing.h"

SLOTTHING* create_slot_item(const char* type)
{
    if (key_is(type, "JET"))
        return new JET();
    if (key_is(type, "RJET"))
        return new RJET();
    if (key_is(type, "GUN"))
        return new GUN();
    if (key_is(type, "SHIELD"))
        return new SHIELD();
    if (key_is(type, "NUKEGEN"))
        return new NUKEGEN();
    if (key_is(type, "MISSILE"))
        return new MSL_LAUNCHER();
    return new SLOTTHING();
}

static bool is_known_thingtype(const char* type)
{
    static const char* const known[] = {"JET", "RJET", "GUN", "MISSILE", "SHIELD", "NUKEGEN"};
    for (const char* k : known)
        if (key_is(type, k))
            return true;
    return false;
}

SLOTTHING* make_slot_item(const char* text)
{
    DEFINITION_TEXT scope("(text)", text);
    char type[DEF_WORD_SIZE];
    const char* type_at = nullptr;
    walk_definition_lines(text, [&](const char* key, const char* rest) {
        if (!key_is(key, "THINGTYPE"))
            return 0;
        read_definition_word(type, sizeof type, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
        type_at = rest;
        return DEF_STOP;
    });
    if (!type_at) {
        definition_report(text, DEF_NO_THINGTYPE, "no THINGTYPE: no item is made");
        return nullptr;
    }
    if (!is_known_thingtype(type))
        definition_report(type_at, DEF_UNKNOWN_THINGTYPE,
                          "THINGTYPE '%.60s' is unknown: an item without function is made", type);
    SLOTTHING* result = create_slot_item(type);
    assert(result && "result");
    result->parse_file_string(text);
    return result;
}

SLOTTHING* load_sid(const char* path)
{
    DEFINITION_TEXT file(path);
    if (!file.get_text())
        return nullptr;
    return make_slot_item(file.get_text());
}
