// Just enough JSON for the tools' one-line reports.
#pragma once

#include <string>

// Appends s as a JSON string: quotes, escapes, and bytes that are not UTF-8
// read as Latin-1. Null gives null.
void json_string(std::string& out, const char* s);
// Appends a number in its shortest form that reads back as the same float;
// a value that is not finite is written as 0 (JSON has no NaN).
void json_number(std::string& out, double v);
void json_bool(std::string& out, bool b);
