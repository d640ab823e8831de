// The tokenizer of the definition files (.vcd, .vhd, .sid): one word at a
// time from a zero-terminated text, with "//" comments ending both the word
// and the line.
#pragma once

// How a word ended.
enum WORD_END {
    WORD_AT_END,      // the text ended (its terminating zero)
    WORD_TERMINATED,  // a terminator was consumed: it is the character before the result
    WORD_COMMENT,     // a "//" comment; the rest of its line was consumed
    WORD_CUT,         // the destination was full; the result points at the last character taken
};

// Character sets of the readers.
extern const char* const WORD_KEY_TERMINATORS;   // "=\n"
extern const char* const WORD_LINE_TERMINATORS;  // "\n"
extern const char* const WORD_LIST_TERMINATORS;  // ",\n"
extern const char* const WORD_BLANKS;            // " \t\r": dropped from keys, values, list items
extern const char* const WORD_TEXT_BLANKS;       // "\t\r": dropped from NAME and SHORTNAME, spaces kept

// Copies one word of src into dst (size bytes, at least 1) and answers how
// many characters of src the caller advances to go on after it. Characters
// of the skip set are dropped wherever they stand; a character of the
// terminator set ends the word and is consumed; a comment ends the word and
// its line. A word longer than the destination holds is cut: with size 512
// at most 510 characters are kept. Never reads past the zero that ends src
// and never writes past dst[size - 1]; dst is always terminated.
int retrieve_word(char* dst, int size, const char* src, const char* terminators, const char* skip,
                  WORD_END* how = nullptr);
