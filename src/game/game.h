// The game driver's state: what the main loop keeps from frame to frame.
// Start-up fills it, frame.h advances it, render.h draws it, input.h reads
// the devices into it.
#pragma once

#include "game/settings.h"
#include "scene/thing_ref.h"

class THING;

// Clipping distances and the size of the world's horizon.
extern float NEAR_DIST;       // near clip, also sizes the sky sphere
extern float FAR_DIST;        // far clip and depth clear value
extern float HORIZON_RADIUS;  // radius of the ground and sky planes
extern float CLOUD_HEIGHT;    // height of the sky plane

// Ticks of the 180 Hz timer since the last reset. Written by the timer
// thread, read and reset by the main loop; nothing is locked.
extern volatile int time_counter;
constexpr int TIMER_HZ = 180;
void my_timer_int();
// Set when the player closes the window; the loop quits as after ESC.
extern volatile int close_requested;

struct GAME {
    SETTINGS settings;

    THING* world = nullptr;       // root of everything simulated; owned
    THING* background = nullptr;  // sky sphere and stars, moved with the viewer; owned
    THING_REF player;             // the vessel the player flies
    THING_REF viewpoint_thing;    // free camera node, child of world
    THING_REF camera_thing;       // chase camera node, child of world
    THING_REF view_thing;         // the node the scene is seen from
    THING_REF lookat_target;      // when set, the viewpoint thing turns towards it
    THING_REF player_projectile;  // the last shot the player fired (not exhaust)

    float throttle = 0.0f;      // keyboard main thrust, -1..1
    float fps = 0.0f;           // shown on screen
    int fps_frames = 0;         // frames since fps was last computed
    float fps_time = 0.0f;      // seconds since fps was last computed
    bool line_antialias = true; // line smoothing toggle
    bool quit = false;          // set by ESC; the loop ends after the frame
    bool paused = false;        // P: the world stands still, frames are still drawn
    int help_page = 0;          // page of the key table the next H shows
    bool target_waves = true;   // a new wave comes when the last target is gone
    char vessel_path[512] = ""; // the configuration the player flies
};

// Start-up in pieces, for the program and for benchmarks that want the
// game's own screen: the OpenGL screen from the settings (false when it
// cannot be set), the OpenGL state, fonts and sprite, and the start scene
// with the player's vessel from vessel_path (the first configuration when it
// is empty) and the boot lines (false when it cannot start).
bool set_graphics_mode(const SETTINGS& s);
void setup_renderer(const SETTINGS& s);
bool start_scene(GAME& g);

// The program: start-up, frame loop, shutdown. Answers the exit code.
int run_game(int argc, char** argv);
