// Reading the definition files: the vessel configuration (.vcd), the hull
// (.vhd) and the slot item (.sid). All three share one line grammar,
//
//     KEY = VALUE          // comment
//
// read with retrieve_word: keys lose their blanks and are compared without
// case, a list is values separated by commas, a line the reader does not
// understand is passed over. A file is read whole into memory, parsed in
// place and forgotten.
//
// Bad data never stops the game: a missing file yields nothing, an unknown
// key is ignored, a number that does not parse reads as 0. The readers can
// tell what they passed over to whoever listens (the data checker does; the
// game does not):
//
//     struct MY_SINK : DEFINITION_SINK {
//         void report(const char* file, int line, DEFINITION_PROBLEM kind,
//                     const char* message) override { ... }
//     } sink;
//     definition_sink = &sink;           // null again: silent
//     VESSEL v; v.load_vcd(path);        // or v.load_vhd(path), load_sid(path) (item_factory.h)
//
// - file is the path of the definition file as it was opened (data_path
//   included); line counts from 1 and is the line the problem stands on.
//   A problem with a file that a definition file names (a missing item,
//   mesh or sound file) is reported at the naming line of the naming file.
//   A file opened directly that cannot be read is reported with line 0.
//   Text parsed from memory (parse_vcd, parse_vhd, make_slot_item,
//   parse_file_string) is called "(text)" unless a DEFINITION_TEXT names it.
// - report is called during the read, in file order, with the message
//   already formatted (no trailing newline). The strings live only for the
//   call.
// - The readers behave exactly the same whether a sink listens or not.
#pragma once

#include <cstddef>

#include "vessel/retrieve_word.h"

class MODEL;
class SOUND;

// Word buffers of the readers (bytes, terminator included); a word keeps at
// most two characters fewer.
constexpr int DEF_WORD_SIZE = 512;       // keys and most values
constexpr int DEF_NAME_SIZE = 64;        // an item's NAME
constexpr int DEF_ITEM_WORD_SIZE = 511;  // an item's SLOTTYPE, MASS and MESH values

enum DEFINITION_PROBLEM {
    DEF_MISSING_FILE,       // a file cannot be read (item, hull, or the file itself)
    DEF_FILE_TOO_LARGE,     // larger than definition_file_max_size: not read
    DEF_NUL_BYTE,           // a zero byte: the text after it is not read
    DEF_UNKNOWN_KEY,        // the reader does not know the key: the line is passed over
    DEF_NO_EQUALS,          // a line with a key but no '=': passed over
    DEF_BAD_NUMBER,         // a value that is not a plain number (or none): read as 0 or its prefix
    DEF_CLAMPED,            // a value outside its range was raised or lowered
    DEF_CUT,                // a word longer than its buffer was cut
    DEF_LIST_CONTINUES,     // a list with too few values went on reading the next line
    DEF_NO_SLOT,            // an ITEM for a slot that does not exist: ignored
    DEF_TOO_MANY_SLOTS,     // a 33rd SLOT: no slot is made, its ITEM lines are ignored
    DEF_BAD_SLOTTYPE,       // a slot-type text with a character that means nothing
    DEF_BAD_SLOT_AXES,      // SLOT front and up vectors zero or parallel: the hull's axes are used
    DEF_NO_THINGTYPE,       // an item file without THINGTYPE: no item is made
    DEF_UNKNOWN_THINGTYPE,  // a THINGTYPE no class answers: a plain item without function
    DEF_IGNORED_LINES,      // lines the reader never reaches or skips by rule
    DEF_BAD_MESH,           // a mesh file that does not load: no model
    DEF_BAD_SOUND,          // a sound file that does not load: silent
    DEF_BAD_FILE_NAME,      // a file name that is not clean UTF-8 text: not opened
    DEF_UNKNOWN_WORD,       // a value word the key does not know (TECH): no effect
};

class DEFINITION_SINK {
public:
    virtual ~DEFINITION_SINK() = default;
    virtual void report(const char* file, int line, DEFINITION_PROBLEM kind,
                        const char* message) = 0;
};

extern DEFINITION_SINK* definition_sink;  // null: the readers are silent
extern long definition_file_max_size;     // bytes; larger definition files are not read

// A definition text in memory, zero-terminated, and the reader's place in
// it for the reports. While one exists it is the innermost file being read:
// make them as locals only, so that they nest and unwind in order.
class DEFINITION_TEXT {
public:
    // Reads the file whole. get_text() is null when it cannot be read.
    explicit DEFINITION_TEXT(const char* path);
    // A copy of length bytes of text (which need not be terminated), called
    // name in reports.
    DEFINITION_TEXT(const char* name, const char* text, size_t length);
    // Names a zero-terminated text that stays the caller's, unless a text
    // being read already holds it (then this one stands aside).
    DEFINITION_TEXT(const char* name, const char* text);
    ~DEFINITION_TEXT();
    DEFINITION_TEXT(const DEFINITION_TEXT&) = delete;
    DEFINITION_TEXT& operator=(const DEFINITION_TEXT&) = delete;

    const char* get_text() const { return text; }  // null when not read
    const char* get_name() const { return name; }
    // Characters the readers see: up to the first zero byte.
    size_t get_length() const { return length; }

    bool contains(const char* p) const;  // p lies in the text or on its terminator
    int line_of(const char* p);           // 1-based line of p
    void set_line(const char* p) { line = p; }
    const char* get_line() const { return line; }
    DEFINITION_TEXT* get_outer() const { return outer; }

private:
    void take(const char* bytes, size_t size);
    void push();

    char name[1024];
    char* text = nullptr;          // size + 1 bytes
    bool owned = true;             // text is this object's
    bool pushed = false;           // this is on the chain of texts being read
    size_t length = 0;
    const char* line = nullptr;    // start of the line being read
    const char* counted = nullptr; // line_of counts on from here...
    int counted_line = 1;          // ...which is on this line
    DEFINITION_TEXT* outer;        // the file that was being read before
};

// Reports a problem at p, a pointer into a text being read (or null for the
// line being read in the innermost file). printf-style message.
void definition_report(const char* p, DEFINITION_PROBLEM kind, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Keys are compared without regard to case.
bool key_is(const char* key, const char* name);

// Value readers used by every handle_file_command. Each answers the number
// of characters of rest it consumed and reports what it had to pass over;
// key names the key in the reports.
int read_definition_word(char* dst, int size, const char* rest, const char* terminators,
                         const char* skip, const char* key);
// One number up to the end of the line (blanks dropped).
int read_definition_number(const char* rest, float* out, const char* key);
// count numbers, each ending at a comma or a line end.
int read_definition_numbers(const char* rest, float* out, int count, const char* key);
// A word made a number: strtod rules; no number, or one that is not finite
// as a float, reads as 0.
float definition_number(const char* word, const char* at, const char* key);
// value, raised to low when below it (reported).
float definition_at_least(float value, float low, const char* at, const char* key);

// Well-formed UTF-8 without control characters: the only names handed to
// Allegro's file functions, which misbehave on broken sequences.
bool is_clean_file_name(const char* name);
// "%s%s" of data_path and name into out; false (reported) when it does not
// fit or is not a clean file name.
bool make_data_path(char* out, size_t size, const char* name, const char* at);
// The mesh data_path + name, shared through the mesh cache, or null
// (reported). Hold it with THING::set_model or acquire(); never pass it to
// delete_model without having acquired it: others show the same mesh.
MODEL* load_definition_mesh(const char* name, const char* at);
// The sound data_path + name from the global sound list (the caller holds
// one reference); a file that does not load still gives a silent sound.
SOUND* load_definition_sound(const char* name, const char* at);

// Hands each line of text to handle(key, rest), rest being just after the
// '='; handle answers the characters of rest it consumed, or DEF_STOP to end
// the reading. Lines without '=' are passed over (reported when they carry
// a key). Ends at the text's terminating zero.
constexpr int DEF_STOP = -1;
template <class HANDLER>
void walk_definition_lines(const char* text, HANDLER&& handle);

// ------------------------------------------------------------ implementation

// Marks p as the start of the line being read in the innermost text holding it.
void note_definition_line(const char* p);
// Reports a line whose key has no '='.
void report_line_without_equals(const char* line, const char* key, WORD_END how);

template <class HANDLER>
void walk_definition_lines(const char* text, HANDLER&& handle)
{
    if (!text)
        return;
    size_t length = 0;
    while (text[length])
        length++;
    size_t pos = 0;
    char key[DEF_WORD_SIZE];
    while (pos < length) {
        size_t line = pos;
        note_definition_line(text + line);
        WORD_END how;
        pos += retrieve_word(key, sizeof key, text + pos, WORD_KEY_TERMINATORS, WORD_BLANKS, &how);
        if (how == WORD_TERMINATED && text[pos - 1] == '=') {
            int used = handle(key, text + pos);
            if (used == DEF_STOP)
                return;
            if (used > 0)
                pos = (size_t)used >= length - pos ? length : pos + used;
        } else {
            report_line_without_equals(text + line, key, how);
        }
        // Whatever is left of the line is passed over.
        if (pos == line || (pos < length && text[pos - 1] != '\n')) {
            while (pos < length && text[pos] != '\n')
                pos++;
            if (pos < length)
                pos++;
        }
    }
}
