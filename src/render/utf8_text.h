// Names from files handed to Allegro's Unicode string functions. Those
// functions trust their input: some malformed UTF-8 makes them loop for
// ever. Every name that comes from outside goes through valid_utf8 first.
#pragma once

#include <string>

// s with every byte that does not start a well-formed UTF-8 character read
// as Latin-1 and re-encoded, so the result is valid UTF-8. Null gives "".
std::string valid_utf8(const char* s);

// Length of the well-formed UTF-8 character at s (shortest form, no
// surrogates, at most U+10FFFF): 1 to 4, or 0 where none starts. Reads no
// further than a zero byte.
int utf8_char_length(const unsigned char* s);
