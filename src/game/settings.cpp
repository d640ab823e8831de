#include "game/settings.h"

#include <cstdlib>

static void apply_resolution(SETTINGS& s, char c)
{
    static const int sizes[7][2] = {{320, 240}, {400, 300}, {640, 480},   {800, 600},
                                    {1024, 768}, {1152, 864}, {1280, 1024}};
    int i = (c >= '0' && c <= '6') ? c - '0' : 2;
    s.screen_w = sizes[i][0];
    s.screen_h = sizes[i][1];
}

static void apply_option(SETTINGS& s, const char* arg)
{
    char letter = arg[1];
    char value = letter ? arg[2] : 0;
    switch (letter) {
    case 'R':
        apply_resolution(s, value);
        break;
    case 'c':
        if (value == 'L' || value == 'l')
            s.color_depth = 16;
        break;
    case 'z':
        if (value == 'L' || value == 'l')
            s.z_depth = 16;
        break;
    case 's':
        s.render_method = false;
        break;
    case 'w':
        s.fullscreen = false;
        break;
    case 'd':
        s.dither = true;
        break;
    case 'j':
        if (value == '0' || value == '-')
            s.joystick_on = false;
        else if (value == 'y')
            s.joy_invert_y = true;
        break;
    case 'm':
        if (value == '0' || value == '-')
            s.mouse_on = false;
        else if (value == 'x')
            s.mouse_x_scale = strtof(arg + 3, nullptr);
        else if (value == 'y')
            s.mouse_y_scale = strtof(arg + 3, nullptr);
        break;
    case 'e':
        s.opponents_fight = true;
        break;
    case 'x':
        if (value == '0')
            s.show_explosions = false;
        break;
    default:
        break;
    }
}

SETTINGS parse_command_line(int argc, const char* const* argv, SETTINGS s)
{
    for (int i = 1; i < argc; i++)
        if (argv[i] && argv[i][0] == '-')
            apply_option(s, argv[i]);
    return s;
}
