#include "vessel/definitions.h"

#include <algorithm>
#include <allegro.h>

#include <cassert>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <strings.h>

#include "game/globals.h"
#include "render/load3ds.h"
#include "render/mesh_cache.h"
#include "render/meshmodel.h"
#include "render/utf8_text.h"
#include "sound/sounds.h"

DEFINITION_SINK* definition_sink = nullptr;
long definition_file_max_size = 64L * 1024 * 1024;  // bytes

// The innermost definition text being read; the chain runs outwards through
// DEFINITION_TEXT::outer. Only the reports look at it.
static DEFINITION_TEXT* innermost_text = nullptr;

// ------------------------------------------------------------ texts

static void send_report(const char* file, int line, DEFINITION_PROBLEM kind, const char* message)
{
    if (definition_sink)
        definition_sink->report(file, line, kind, message);
}

DEFINITION_TEXT::DEFINITION_TEXT(const char* path) : outer(innermost_text)
{
    snprintf(name, sizeof name, "%s", path ? path : "");
    char message[1200];
    message[0] = 0;
    DEFINITION_PROBLEM kind = DEF_MISSING_FILE;
    PACKFILE* f = nullptr;
    uint64_t size = 0;
    if (!path || !*path || !is_clean_file_name(path) || !exists(path)) {
        snprintf(message, sizeof message, "cannot read '%s'", name);
    } else if ((size = file_size_ex(path)) > (uint64_t)definition_file_max_size) {
        kind = DEF_FILE_TOO_LARGE;
        snprintf(message, sizeof message, "'%s' is larger than %ld bytes: not read", name,
                 definition_file_max_size);
    } else if (!(f = pack_fopen(path, "r"))) {
        snprintf(message, sizeof message, "cannot read '%s'", name);
    }
    if (message[0]) {
        // A missing file is the fault of the line that names it.
        if (outer)
            definition_report(nullptr, kind, "%s", message);
        else
            send_report(name, 0, kind, message);
        push();
        return;
    }
    text = new char[size + 1];
    long got = pack_fread(text, (long)size, f);
    pack_fclose(f);
    got = std::max(got, 0L);
    text[got] = 0;
    length = strlen(text);
    line = counted = text;
    push();
    if (length < (size_t)got)
        definition_report(text + length, DEF_NUL_BYTE, "zero byte: the rest of the file is not read");
}

DEFINITION_TEXT::DEFINITION_TEXT(const char* name, const char* bytes, size_t size)
    : outer(innermost_text)
{
    snprintf(this->name, sizeof this->name, "%s", name ? name : "(text)");
    take(bytes, bytes ? size : 0);
    push();
    if (length < size)
        definition_report(text + length, DEF_NUL_BYTE, "zero byte: the rest of the text is not read");
}

DEFINITION_TEXT::DEFINITION_TEXT(const char* name, const char* borrowed) : outer(innermost_text)
{
    snprintf(this->name, sizeof this->name, "%s", name ? name : "(text)");
    owned = false;
    for (DEFINITION_TEXT* t = innermost_text; t; t = t->outer)
        if (t->contains(borrowed))
            return;
    if (!borrowed)
        return;
    text = const_cast<char*>(borrowed);  // never written: owned is false
    length = strlen(text);
    line = counted = text;
    push();
}

void DEFINITION_TEXT::take(const char* bytes, size_t size)
{
    text = new char[size + 1];
    if (size)
        memcpy(text, bytes, size);
    text[size] = 0;
    length = strlen(text);
    line = counted = text;
}

void DEFINITION_TEXT::push()
{
    innermost_text = this;
    pushed = true;
}

DEFINITION_TEXT::~DEFINITION_TEXT()
{
    if (pushed) {
        assert(innermost_text == this && "innermost_text == this");
        innermost_text = outer;
    }
    if (owned)
        delete[] text;
}

bool DEFINITION_TEXT::contains(const char* p) const
{
    std::less_equal<const char*> le;
    return text && p && le(text, p) && le(p, text + length);
}

int DEFINITION_TEXT::line_of(const char* p)
{
    if (!contains(p))
        return 0;
    // Reports come in file order, so counting on from the last one keeps a
    // long file with many problems linear.
    if (std::less<const char*>()(p, counted)) {
        counted = text;
        counted_line = 1;
    }
    for (; counted < p; counted++)
        if (*counted == '\n')
            counted_line++;
    return counted_line;
}

void note_definition_line(const char* p)
{
    for (DEFINITION_TEXT* t = innermost_text; t; t = t->get_outer()) {
        if (t->contains(p)) {
            t->set_line(p);
            return;
        }
    }
}

void definition_report(const char* p, DEFINITION_PROBLEM kind, const char* format, ...)
{
    if (!definition_sink)
        return;
    char message[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    DEFINITION_TEXT* t = innermost_text;
    if (p) {
        while (t && !t->contains(p))
            t = t->get_outer();
    } else {
        // The line being read of the innermost file that was read at all.
        while (t && !t->get_text())
            t = t->get_outer();
        p = t ? t->get_line() : nullptr;
    }
    if (!t) {
        send_report("(text)", 0, kind, message);
        return;
    }
    send_report(t->get_name(), t->line_of(p), kind, message);
}

void report_line_without_equals(const char* line, const char* key, WORD_END how)
{
    if (how == WORD_CUT)
        definition_report(line, DEF_CUT, "key longer than %d characters: line ignored",
                          DEF_WORD_SIZE - 2);
    else if (key[0])
        definition_report(line, DEF_NO_EQUALS, "'%.60s' has no '=': line ignored", key);
}

// ------------------------------------------------------------ values

// ASCII only: the keys are, and bytes of other files must not change meaning
// with the locale or the text encoding.
bool key_is(const char* key, const char* name) { return strcasecmp(key, name) == 0; }

// A value longer than its buffer of size bytes keeps what fits.
static void report_cut_value(const char* at, const char* key, int size)
{
    definition_report(at, DEF_CUT, "%s value cut to %d characters", key, size - 2);
}

int read_definition_word(char* dst, int size, const char* rest, const char* terminators,
                         const char* skip, const char* key)
{
    WORD_END how;
    int used = retrieve_word(dst, size, rest, terminators, skip, &how);
    if (how == WORD_CUT)
        report_cut_value(rest, key, size);
    return used;
}

float definition_number(const char* word, const char* at, const char* key)
{
    char* end = nullptr;
    double v = strtod(word, &end);
    if (end == word) {
        if (*word)
            definition_report(at, DEF_BAD_NUMBER, "%s: '%.60s' is not a number: read as 0", key, word);
        else
            definition_report(at, DEF_BAD_NUMBER, "%s: missing value: read as 0", key);
        return 0.0f;
    }
    // inf, nan and numbers beyond a float would poison every sum they enter.
    if (!std::isfinite(v) || fabs(v) > 3.4e38) {
        definition_report(at, DEF_BAD_NUMBER, "%s: '%.60s' is not a finite number: read as 0", key,
                          word);
        return 0.0f;
    }
    if (*end)
        definition_report(at, DEF_BAD_NUMBER, "%s: '%.60s' is not a plain number: read as %g", key,
                          word, v);
    return (float)v;
}

int read_definition_number(const char* rest, float* out, const char* key)
{
    char word[DEF_WORD_SIZE];
    int used = read_definition_word(word, sizeof word, rest, WORD_LINE_TERMINATORS, WORD_BLANKS, key);
    *out = definition_number(word, rest, key);
    return used;
}

int read_definition_numbers(const char* rest, float* out, int count, const char* key)
{
    char word[DEF_WORD_SIZE];
    int used = 0;
    bool continued = false;
    for (int i = 0; i < count; i++) {
        const char* at = rest + used;
        WORD_END how;
        int n = retrieve_word(word, sizeof word, at, WORD_LIST_TERMINATORS, WORD_BLANKS, &how);
        if (how == WORD_CUT)
            report_cut_value(at, key, (int)sizeof word);
        out[i] = definition_number(word, at, key);
        used += n;
        bool line_ended = how == WORD_COMMENT || (how == WORD_TERMINATED && at[n - 1] == '\n');
        if (line_ended && i + 1 < count && !continued) {
            definition_report(at, DEF_LIST_CONTINUES,
                              "%s has %d of %d values: the rest are read from the next line", key,
                              i + 1, count);
            continued = true;
        }
    }
    return used;
}

float definition_at_least(float value, float low, const char* at, const char* key)
{
    if (value >= low)
        return value;
    definition_report(at, DEF_CLAMPED, "%s %g is below %g: %g is used", key, value, low, low);
    return low;
}

// ------------------------------------------------------------ files named in files

bool is_clean_file_name(const char* name)
{
    const unsigned char* p = (const unsigned char*)name;
    while (*p) {
        int n = utf8_char_length(p);
        if (n == 0 || *p < 0x20 || *p == 0x7f)
            return false;
        p += n;
    }
    return true;
}

bool make_data_path(char* out, size_t size, const char* name, const char* at)
{
    if (!name)
        name = "";
    if (!is_clean_file_name(name)) {
        definition_report(at, DEF_BAD_FILE_NAME, "file name '%.60s' is not clean UTF-8 text: not opened",
                          name);
        return false;
    }
    int n = snprintf(out, size, "%s%s", data_path ? data_path : "", name);
    if (n < 0 || (size_t)n >= size) {
        definition_report(at, DEF_CUT, "file name '%.60s...' too long", name);
        return false;
    }
    return true;
}

MODEL* load_definition_mesh(const char* name, const char* at)
{
    char path[DEF_WORD_SIZE + 1024];
    if (!make_data_path(path, sizeof path, name, at))
        return nullptr;
    // Every target of a wave shows the same meshes: each file is read once.
    MESHMODEL* m = mesh_cache.load(path);
    if (!m) {
        definition_report(at, DEF_BAD_MESH, "mesh '%s' does not load", path);
    } else if (load3ds_dropped_faces) {
        definition_report(at, DEF_BAD_MESH, "mesh '%s': %u faces name vertices past its %u: dropped", path,
                          load3ds_dropped_faces, m->get_nr_vtx());
    }
    return m;
}

SOUND* load_definition_sound(const char* name, const char* at)
{
    char path[DEF_WORD_SIZE + 1024];
    // A name that cannot be opened still gives a (silent) sound.
    if (!make_data_path(path, sizeof path, name, at))
        snprintf(path, sizeof path, "%s", data_path ? data_path : "");
    SOUND* s = soundlist.load(path);
    if (!s || !s->get_sample())
        definition_report(at, DEF_BAD_SOUND, "sound '%s' does not load", path);
    return s;
}
