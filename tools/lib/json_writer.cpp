#include "json_writer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Length of the valid UTF-8 sequence at s (not a lone ASCII byte), or 0.
int utf8_sequence(const unsigned char* s)
{
    int n = s[0] >= 0xF0 && s[0] <= 0xF4 ? 4 : s[0] >= 0xE0 ? 3 : s[0] >= 0xC2 && s[0] < 0xE0 ? 2 : 0;
    for (int k = 1; k < n; k++)
        if ((s[k] & 0xC0) != 0x80)
            return 0;
    return n;
}

void append_u(std::string& out, unsigned c)
{
    char buf[8];
    snprintf(buf, sizeof buf, "\\u%04x", c);
    out += buf;
}

}  // namespace

void json_string(std::string& out, const char* s)
{
    if (!s) {
        out += "null";
        return;
    }
    out += '"';
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
    while (*p) {
        unsigned c = *p;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
            p++;
        } else if (c < 0x20) {
            append_u(out, c);
            p++;
        } else if (c < 0x80) {
            out += (char)c;
            p++;
        } else if (int n = utf8_sequence(p)) {
            out.append(reinterpret_cast<const char*>(p), n);
            p += n;
        } else {
            append_u(out, c);
            p++;
        }
    }
    out += '"';
}

void json_number(std::string& out, double v)
{
    if (!std::isfinite(v))
        v = 0.0;
    char buf[32];
    // The shortest of %.6g .. %.9g that gives the float back.
    for (int digits = 6; digits <= 9; digits++) {
        snprintf(buf, sizeof buf, "%.*g", digits, v);
        if ((float)strtod(buf, nullptr) == (float)v)
            break;
    }
    out += buf;
}

void json_bool(std::string& out, bool b)
{
    out += b ? "true" : "false";
}
