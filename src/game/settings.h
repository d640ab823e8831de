// The command line, read into a settings record. Every argument starting
// with '-' selects an option by its second character; anything else, and any
// option letter or value not listed, is ignored.
#pragma once

struct SETTINGS {
    int screen_w = 640;          // -R0..-R6
    int screen_h = 480;
    int color_depth = 32;        // -cL: 16
    int z_depth = 32;            // -zL: 16
    bool render_method = true;   // -s: false (software rendering allowed)
    bool fullscreen = true;      // -w: windowed
    bool dither = false;         // -d
    bool joystick_on = true;     // -j0 / -j-: off
    bool joy_invert_y = false;   // -jy
    bool mouse_on = true;        // -m0 / -m-: off
    float mouse_x_scale = 0.1f;  // -mx<number>
    float mouse_y_scale = 0.1f;  // -my<number>
    bool show_explosions = true; // -x0: off
    bool opponents_fight = false; // -e: the target vessels are flown by pilots that attack
};

// Applies argv[1..argc-1] to the given settings and answers the result.
SETTINGS parse_command_line(int argc, const char* const* argv, SETTINGS s = SETTINGS());
