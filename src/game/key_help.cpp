#include "game/key_help.h"

#include <cstring>
#include <iterator>

#include "game/game.h"
#include "game/messages.h"
#include "game/render.h"

int help_panel = 1;  // cockpit panel that turns to the console for the help

// In the words of the README's controls table, cut to the console's width.
const KEY_HELP key_help[] = {
    {"A / Z / Q", "throttle up/down/0"},
    {"Backspace", "full throttle"},
    {"keypad 8/2", "pitch"},
    {"keypad 4/6", "yaw"},
    {"keypad 7/9", "roll"},
    {"up / down", "climb / sink"},
    {"left/right", "slide sideways"},
    {"space, LMB", "fire"},
    {"mouse", "pitch and yaw"},
    {"Home / End", "glance up / down"},
    {"Ins / PgUp", "glance up and aside"},
    {"Del / PgDn", "glance to the sides"},
    {"keypad 5", "reset over origin"},
    {"F11 / F12", "stabilizers"},
    {"L / Enter", "long-distance; match"},
    {"T / Y", "next / prev target"},
    {"R / U", "nearest/ahead target"},
    {"N / O", "next buoy; no target"},
    {"W / X", "gun group; how many"},
    {"F1 .. F6", "views"},
    {"1 .. 8", "panel screens"},
    {"F9", "eight more targets"},
    {"F7 / F10", "bounding box; world"},
    {"B", "draw bounding boxes"},
    {"C / D", "ambient/light colour"},
    {"S / J", "shading; smoothing"},
    {"P", "pause"},
    {"H", "these keys"},
    {"Esc", "quit"},
};
const int key_help_count = (int)std::size(key_help);

int key_help_pages() { return (key_help_count + KEY_HELP_PAGE_ROWS - 1) / KEY_HELP_PAGE_ROWS; }

// Help nobody can read is no help: when no panel shows the console, the
// middle one turns to it (3 and 4 turn it back).
static void show_console_on_a_panel()
{
    for (int mode : mfd_screen_mode)
        if (mode < 0 || mode > 4)
            return;
    mfd_screen_mode[help_panel] = -1;
}

void show_key_help(GAME& g)
{
    show_console_on_a_panel();
    int pages = key_help_pages();
    int page = g.help_page % pages;
    char line[64];
    snprintf(line, sizeof(line), "Keys %d/%d (H: more)\n", page + 1, pages);
    new_message(line);
    int first = page * KEY_HELP_PAGE_ROWS;
    for (int i = first; i < key_help_count && i < first + KEY_HELP_PAGE_ROWS; i++) {
        snprintf(line, sizeof(line), "%-*s %s\n", KEY_HELP_KEYS_WIDTH, key_help[i].keys, key_help[i].does);
        new_message(line);
    }
    g.help_page = (page + 1) % pages;
}

bool wants_help(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; i++)  // argv[argc] is null, so one more would change nothing
        if (argv[i] && (!strcmp(argv[i], "-h") || !strcmp(argv[i], "--help")))
            return true;
    return false;
}

void print_help(FILE* out)
{
    fputs("usage: sortie [OPTION]...\n"
          "A 3D flight-and-combat game. It reads data/ relative to where it runs.\n"
          "\n"
          "Options:\n"
          "  -R0 .. -R6     screen 320x240, 400x300, 640x480 (default), 800x600,\n"
          "                 1024x768, 1152x864, 1280x1024\n"
          "  -w             windowed\n"
          "  -cL, -zL       16-bit colour, 16-bit depth buffer\n"
          "  -s             allow software rendering\n"
          "  -d             dithering\n"
          "  -j0, -jy       joystick off; joystick pitch not inverted\n"
          "  -m0            mouse steering off\n"
          "  -mx<n>, -my<n> mouse x / y scale (default 0.1)\n"
          "  -x0            explosions not drawn\n"
          "  -e             opponents fight back: the target vessels attack\n"
          "  -h, --help     this text\n"
          "\n"
          "Keys:\n",
          out);
    for (int i = 0; i < key_help_count; i++)
        fprintf(out, "  %-*s %s\n", KEY_HELP_KEYS_WIDTH, key_help[i].keys, key_help[i].does);
}
