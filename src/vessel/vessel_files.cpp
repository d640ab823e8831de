// VESSEL's definition readers: the hull (.vhd) and the vessel configuration
// (.vcd). The grammar and the slot items are in definitions.cpp.
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "sound/sounds.h"
#include "vessel/definitions.h"
#include "vessel/item_factory.h"
#include "vessel/vessel.h"

// Files named inside definition files: data_path, up to 510 characters of
// name, and a terminator.
static const int PATH_SIZE = DEF_WORD_SIZE + 1024;

// ------------------------------------------------------------ fitting

// Replaces the item of an existing slot with the one the file describes.
void VESSEL::fit_from_file(int index, const char* name, const char* at)
{
    clear_slot(index);
    char path[PATH_SIZE];
    if (!make_data_path(path, sizeof path, name, at))
        return;
    SLOTTHING* item = load_sid(path);
    if (!item)
        return;
    if (!fill_slot(index, item)) {
        delete item;
        return;
    }
    if (slot[index]->slot_type & SLOT_INVISIBLE)
        item->set_model(nullptr);
    slot[index]->slot_type |= SLOT_PRESET;
}

// ------------------------------------------------------------ hull

// The mounting matrix of a SLOT line: Allegro's alignment of front and up,
// with the first column turned round. Front and up that are zero or
// parallel align nothing (Allegro would answer NaN); the slot then keeps
// the alignment that leaves the hull's axes as they are.
static void slot_matrix(const float* v, MATRIX_f* m, const char* at)
{
    double f[3] = {v[6], v[7], v[8]}, u[3] = {v[3], v[4], v[5]};
    // Scaled down first, so that squares of huge numbers stay finite.
    for (double* w : {f, u}) {
        double big = fmax(fabs(w[0]), fmax(fabs(w[1]), fabs(w[2])));
        for (int i = 0; big > 0.0 && i < 3; i++)
            w[i] /= big;
    }
    double c[3] = {f[1] * u[2] - f[2] * u[1], f[2] * u[0] - f[0] * u[2], f[0] * u[1] - f[1] * u[0]};
    double lf = sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    double lu = sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
    double lc = sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
    if (lf == 0.0 || lu == 0.0 || lc < 1e-6 * lf * lu) {
        definition_report(at, DEF_BAD_SLOT_AXES,
                          "SLOT front and up are zero or parallel: the slot keeps the hull's axes");
        get_align_matrix_f(m, 0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f);
    } else {
        get_align_matrix_f(m, (float)f[0], (float)f[1], (float)f[2], (float)u[0], (float)u[1],
                           (float)u[2]);
    }
    for (int r = 0; r < 3; r++)
        m->v[r][0] = -m->v[r][0];
    m->t[0] = v[0];
    m->t[1] = v[1];
    m->t[2] = v[2];
}

// After the line at rest, is there any line with a key? For the report of
// what a stop leaves unread.
static const char* next_key_line(const char* rest)
{
    while (*rest && *rest != '\n')
        rest++;
    char key[DEF_WORD_SIZE];
    while (*rest) {
        if (*rest == '\n')
            rest++;
        const char* line = rest;
        retrieve_word(key, sizeof key, line, WORD_KEY_TERMINATORS, WORD_BLANKS);
        if (key[0])
            return line;
        while (*rest && *rest != '\n')
            rest++;
    }
    return nullptr;
}

void VESSEL::load_vhd(const char* path)
{
    remove_all_slots();
    DEFINITION_TEXT file(path);
    if (file.get_text())
        parse_vhd(file.get_text());
}

void VESSEL::parse_vhd(const char* text)
{
    DEFINITION_TEXT scope("(text)", text);
    int current = -1;
    walk_definition_lines(text, [&](const char* key, const char* rest) -> int {
        char word[DEF_WORD_SIZE];
        if (key_is(key, "MESH")) {
            int used = read_definition_word(word, sizeof word, rest, WORD_LIST_TERMINATORS, WORD_BLANKS, key);
            set_model(load_definition_mesh(word, rest));
            return used;
        }
        if (key_is(key, "EXPLOSION_SOUND")) {
            read_definition_word(word, sizeof word, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
            set_explosion_sound(load_definition_sound(word, rest));
            if (definition_sink)
                if (const char* unread = next_key_line(rest))
                    definition_report(unread, DEF_IGNORED_LINES,
                                      "the hull ends at EXPLOSION_SOUND: this line and the rest are not read");
            return DEF_STOP;
        }
        if (key_is(key, "SHORTNAME")) {
            int used = read_definition_word(word, sizeof word, rest, WORD_LIST_TERMINATORS, WORD_TEXT_BLANKS, key);
            set_type_string(word);
            return used;
        }
        if (key_is(key, "COCKPIT")) {
            int used = read_definition_word(word, sizeof word, rest, WORD_LIST_TERMINATORS, WORD_BLANKS, key);
            MODEL* mesh = load_definition_mesh(word, rest);
            if (!cockpit) {
                cockpit = new THING(this);
                add_child(cockpit);
            }
            cockpit->set_model(mesh);
            return used;
        }
        if (key_is(key, "PILOT")) {
            int used = read_definition_numbers(rest, pilot_pos, 3, key);
            pilot_valid = false;
            place_eye_marks();
            return used;
        }
        if (key_is(key, "SLOT")) {
            int used = read_definition_word(word, sizeof word, rest, WORD_LIST_TERMINATORS, WORD_BLANKS, key);
            int type = string_to_slottype(word);
            if (char c = slottype_unknown_char(word))
                definition_report(rest, DEF_BAD_SLOTTYPE, "SLOT type '%.60s': '%c' means nothing", word, c);
            float v[9];
            used += read_definition_numbers(rest + used, v, 9, key);
            MATRIX_f m;
            slot_matrix(v, &m, rest);
            current = add_slot(m, type);
            if (current < 0)
                definition_report(rest, DEF_TOO_MANY_SLOTS,
                                  "more than %d slots: no slot is made, its ITEM lines are ignored",
                                  MAX_SLOTS);
            return used;
        }
        if (key_is(key, "ITEM")) {
            int used = read_definition_word(word, sizeof word, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
            if (current >= 0 && slot[current])
                fit_from_file(current, word, rest);
            else
                definition_report(rest, DEF_NO_SLOT, "ITEM without a slot: ignored");
            return used;
        }
        if (key_is(key, "MASS")) {
            float v;
            int used = read_definition_number(rest, &v, key);
            mass = definition_at_least(v, 0.1f, rest, key);
            return used;
        }
        if (key_is(key, "RMASS")) {
            int used = read_definition_numbers(rest, rmass, 3, key);
            for (float& r : rmass)
                r = definition_at_least(r, 0.1f, rest, key);
            return used;
        }
        definition_report(rest, DEF_UNKNOWN_KEY, "hull: unknown key '%.60s' ignored", key);
        return 0;
    });
}

// ------------------------------------------------------------ configuration

void VESSEL::load_vcd(const char* path)
{
    DEFINITION_TEXT file(path);
    if (file.get_text())
        parse_vcd(file.get_text());
}

void VESSEL::parse_vcd(const char* text)
{
    DEFINITION_TEXT scope("(text)", text);
    shield = 0.0f;
    max_shield = 0.0f;

    // The hull comes from the first line naming either key, whichever it is.
    const char* acted = nullptr;
    walk_definition_lines(text, [&](const char* key, const char* rest) -> int {
        char word[DEF_WORD_SIZE];
        bool vhd = key_is(key, "VHD");
        if (!vhd && !key_is(key, "EXPLOSION_SOUND"))
            return 0;
        read_definition_word(word, sizeof word, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
        acted = rest;
        if (vhd) {
            char path[PATH_SIZE];
            if (make_data_path(path, sizeof path, word, rest))
                load_vhd(path);
        } else {
            set_explosion_sound(load_definition_sound(word, rest));
            definition_report(rest, DEF_IGNORED_LINES,
                              "EXPLOSION_SOUND before any VHD line: no hull is loaded");
        }
        return DEF_STOP;
    });
    if (!acted)
        definition_report(text, DEF_IGNORED_LINES, "no VHD line: the vessel has no hull");

    walk_definition_lines(text, [&](const char* key, const char* rest) -> int {
        if (key_is(key, "VHD") || key_is(key, "EXPLOSION_SOUND")) {
            if (rest != acted)
                definition_report(rest, DEF_IGNORED_LINES,
                                  "only the first VHD or EXPLOSION_SOUND line counts: %s ignored", key);
            return 0;  // the rest of the line is passed over (as after any count within it)
        }
        if (!key_is(key, "ITEM")) {
            definition_report(rest, DEF_UNKNOWN_KEY, "configuration: unknown key '%.60s' ignored", key);
            return 0;
        }
        char word[DEF_WORD_SIZE];
        WORD_END how;
        int used = retrieve_word(word, sizeof word, rest, WORD_LIST_TERMINATORS, WORD_BLANKS, &how);
        char* end = nullptr;
        long index = strtol(word, &end, 0);
        if (end == word || *end)
            definition_report(rest, DEF_BAD_NUMBER, "ITEM slot index '%.60s' is not a whole number: read as %ld",
                              word, index);
        if (index < 0 || index >= MAX_SLOTS || !slot[index]) {
            definition_report(rest, DEF_NO_SLOT, "ITEM for slot %ld, which the hull does not have: ignored",
                              index);
            return used;
        }
        bool line_ended = how == WORD_COMMENT || (how == WORD_TERMINATED && rest[used - 1] == '\n');
        if (line_ended)
            definition_report(rest, DEF_LIST_CONTINUES,
                              "ITEM has no file name: it is read from the next line");
        clear_slot((int)index);
        used += read_definition_word(word, sizeof word, rest + used, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
        fit_from_file((int)index, word, rest);
        return used;
    });

    cur_gun = -1;
    next_gun_type();
}
