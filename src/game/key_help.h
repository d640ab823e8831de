// What the player may press and pass: the key table shown on the message
// console (H) and the text of -h / --help, from one list so they agree.
#pragma once

#include <cstdio>

struct GAME;

// One row of the key table. Both columns are short enough that a row fits a
// console line: keys at most KEY_HELP_KEYS_WIDTH, does at most
// KEY_HELP_DOES_WIDTH characters.
struct KEY_HELP {
    const char* keys;
    const char* does;
};
constexpr int KEY_HELP_KEYS_WIDTH = 10;
constexpr int KEY_HELP_DOES_WIDTH = 20;
constexpr int KEY_HELP_PAGE_ROWS = 8;  // key rows per console page, below a title line

extern const KEY_HELP key_help[];
extern const int key_help_count;

extern int help_panel;  // panel 0..4 that H turns to the console when none shows it

int key_help_pages();
// H: the next page of the key table on the message console, after the last
// one the first again; the console comes onto a panel if it is on none.
void show_key_help(GAME& g);

// True when the command line asks for help ("-h" or "--help").
bool wants_help(int argc, const char* const* argv);
// The options and the keys, for the terminal.
void print_help(FILE* out);
