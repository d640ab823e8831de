#include "render/utf8_text.h"

int utf8_char_length(const unsigned char* s)
{
    unsigned c = s[0];
    int n;
    unsigned min;
    unsigned cp;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        min = 0x80;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        min = 0x800;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        min = 0x10000;
        cp = c & 0x07;
    } else {
        return 0;
    }
    for (int k = 1; k < n; k++) {
        if ((s[k] & 0xC0) != 0x80)
            return 0;  // also stops at the terminating zero
        cp = (cp << 6) | (s[k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

std::string valid_utf8(const char* s)
{
    std::string out;
    if (!s)
        return out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
    while (*p) {
        int n = utf8_char_length(p);
        if (n) {
            out.append(reinterpret_cast<const char*>(p), n);
            p += n;
        } else {
            out += (char)(0xC0 | (*p >> 6));
            out += (char)(0x80 | (*p & 0x3F));
            p++;
        }
    }
    return out;
}
