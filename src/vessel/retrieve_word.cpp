#include "vessel/retrieve_word.h"

#include <cassert>

const char* const WORD_KEY_TERMINATORS = "=\n";
const char* const WORD_LINE_TERMINATORS = "\n";
const char* const WORD_LIST_TERMINATORS = ",\n";
const char* const WORD_BLANKS = " \t\r";
const char* const WORD_TEXT_BLANKS = "\t\r";

// strchr would also find the zero that ends the set.
static bool in_set(const char* set, char c)
{
    if (!set)
        return false;
    for (; *set; set++)
        if (*set == c)
            return true;
    return false;
}

static int finish(char* dst, int n, int result, WORD_END end, WORD_END* how)
{
    dst[n] = 0;
    if (how)
        *how = end;
    return result;
}

int retrieve_word(char* dst, int size, const char* src, const char* terminators, const char* skip,
                  WORD_END* how)
{
    assert(dst && size > 0 && "dst && size > 0");
    if (!src || !*src)
        return finish(dst, 0, 0, WORD_AT_END, how);
    // Two bytes short of the buffer, as the files have always been read; the
    // tiny sizes still leave room for the terminator.
    int max_chars = size - 2 >= 1 ? size - 2 : size - 1;
    int n = 0;
    for (int i = 0;; i++) {
        char c = src[i];
        if (!c)
            return finish(dst, n, i, WORD_AT_END, how);
        if (c == '/' && src[i + 1] == '/') {
            while (src[i] && src[i] != '\n')
                i++;
            return finish(dst, n, src[i] ? i + 1 : i, WORD_COMMENT, how);
        }
        if (in_set(terminators, c))
            return finish(dst, n, i + 1, WORD_TERMINATED, how);
        if (in_set(skip, c))
            continue;
        if (n >= max_chars)
            return finish(dst, n, i, WORD_CUT, how);
        dst[n++] = c;
        if (n >= max_chars)
            return finish(dst, n, i, WORD_CUT, how);
    }
}
