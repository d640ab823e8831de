#include "game/game.h"

#include <allegro.h>
#include <alleggl.h>
#include <GL/gl.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "effects/explosion.h"
#include "game/controls.h"
#include "game/globals.h"
#include "game/input.h"
#include "game/joystick.h"
#include "game/key_help.h"
#include "game/light.h"
#include "game/messages.h"
#include "game/pause.h"
#include "game/render.h"
#include "game/world.h"
#include "render/material.h"
#include "render/strokefont.h"
#include "scene/states.h"
#include "scene/thing.h"
#include "ui/colors.h"
#include "ui/select_vcd.h"

float NEAR_DIST = 0.2f;
float FAR_DIST = 5000.0f;
float HORIZON_RADIUS = 5000.0f;
float CLOUD_HEIGHT = 4000.0f;

volatile int time_counter = 0;
static const int TIMER_TICKS = 6628;  // 1 193 181 Hz clock / 180

void my_timer_int() { time_counter = time_counter + 1; }
END_OF_FUNCTION(my_timer_int)

// The window's close button asks to quit; Allegro calls this from its own
// thread, so it only raises a flag the frame loop reads.
volatile int close_requested = 0;
static void request_close() { close_requested = 1; }
END_OF_FUNCTION(request_close)

// Ctrl-C in the terminal, or a polite kill from the desktop, quits the way
// the close button does. Allegro's own handlers shut the library down from
// inside the signal, which can hang or abort with the display half closed.
static void request_close_on_signal(int) { close_requested = 1; }

static void quit_on_signals()
{
    std::signal(SIGINT, request_close_on_signal);
    std::signal(SIGTERM, request_close_on_signal);
}

FONT* al_font = nullptr;            // Allegro's own font, current while drawing screens
static FONT* arial_font = nullptr;  // AllegroGL system font; null where there is none

// An X11 Allegro started without any display crashes inside the library, so
// the graphics failure is reported before Allegro is asked for a screen.
static bool display_available()
{
#if defined(ALLEGRO_UNIX) && !defined(ALLEGRO_MACOSX)
    const char* d = getenv("DISPLAY");
    return d && *d;
#else
    return true;
#endif
}

static int report_gfx_failure()
{
    allegro_message("Error setting OpenGL graphics mode:\n%s\nAllegro GL error : %s\n", allegro_error,
                    allegro_gl_error);
    return -1;
}

// Reports a start without a usable display the way a failed graphics mode
// is reported, from a display-less Allegro.
static int report_no_display(const char* why)
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    ustrzcpy(allegro_error, ALLEGRO_ERROR_SIZE, why);
    ustrzcpy(allegro_gl_error, AGL_ERROR_SIZE, "no OpenGL context without a display");
    return report_gfx_failure();
}

bool set_graphics_mode(const SETTINGS& s)
{
    allegro_gl_clear_settings();
    allegro_gl_set(AGL_COLOR_DEPTH, 32);
    allegro_gl_set(AGL_Z_DEPTH, 32);
    allegro_gl_set(AGL_FULLSCREEN, TRUE);
    allegro_gl_set(AGL_DOUBLEBUFFER, 2);
    allegro_gl_set(AGL_RENDERMETHOD, TRUE);
    // The command line overrides the defaults above.
    allegro_gl_set(AGL_COLOR_DEPTH, s.color_depth);
    allegro_gl_set(AGL_Z_DEPTH, s.z_depth);
    allegro_gl_set(AGL_RENDERMETHOD, s.render_method);
    if (!s.fullscreen) {
        allegro_gl_set(AGL_FULLSCREEN, FALSE);
        allegro_gl_set(AGL_WINDOWED, TRUE);
    }
    allegro_gl_set(AGL_SUGGEST, AGL_COLOR_DEPTH | AGL_DOUBLEBUFFER | AGL_Z_DEPTH | AGL_RENDERMETHOD |
                                    (s.fullscreen ? AGL_FULLSCREEN : AGL_WINDOWED));
    set_color_depth(32);
    return set_gfx_mode(GFX_OPENGL, s.screen_w, s.screen_h, 0, 0) == 0;
}

// The joystick is used only with Allegro's calibration for it.
static void start_joystick(SETTINGS& s)
{
    clear_joy_bindings();
    joy_invert_y = s.joy_invert_y;
    if (s.joystick_on && load_joystick_data(nullptr) == 0)
        bind_joystick();
    else
        s.joystick_on = false;
}

static void setup_opengl(const SETTINGS& s)
{
    glCullFace(GL_FRONT);
    enable_bfc();
    if (s.dither)
        glEnable(GL_DITHER);
    else
        glDisable(GL_DITHER);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_POINT_SMOOTH);
}

static void setup_fonts()
{
    arial_font = allegro_gl_load_system_font_ex((char*)"Arial", AGL_FONT_TYPE_OUTLINE, 0, -1, -1, 0.1f, 32, 256);
    al_font = font;
    set_message_font(al_font);
    // AllegroGL has no system fonts on X11: keep Allegro's own then.
    if (arial_font)
        font = arial_font;
}

static void setup_projection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.5 * NEAR_DIST, 0.5 * NEAR_DIST, -0.375 * NEAR_DIST, 0.375 * NEAR_DIST, NEAR_DIST, FAR_DIST);
    glMatrixMode(GL_MODELVIEW);
    glViewport(0, 0, SCREEN_W, SCREEN_H);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

void setup_renderer(const SETTINGS& s)
{
    setup_opengl(s);
    setup_fonts();
    init_strokefont();
    make_explosion_sprite(16);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    enable_z_buffer();
}

// The selection screen; the vessel path stays empty when there is nothing
// to choose from.
static void choose_vessel(GAME& g)
{
    if (const char* chosen = select_vcd(&close_requested))
        snprintf(g.vessel_path, sizeof(g.vessel_path), "%s", chosen);
    cleanup_vcd_file_info();
}

bool start_scene(GAME& g)
{
    enable_lights();
    light_materials = true;
    smooth_light = true;
    // Without a choice (benchmarks) the first configuration flies.
    if (!g.vessel_path[0] && !first_vessel_configuration(g.vessel_path, sizeof(g.vessel_path))) {
        printf("Cannot start: no vessel configuration (*.vcd) in %s\n", data_path);
        return false;
    }
    if (!build_scene(g))
        return false;
    add_player_vessel(g);
    update_light();
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 0);
    setup_projection();
    for (const char* line : {"Zirerura Rezed Sys\n", "DUZ 4.7a\n", "All systems ok.\n", "--------------------\n"})
        new_message(line);
    if (g.settings.opponents_fight)
        new_message("Opponents fight back.\n");
    return true;
}

static void start_timer()
{
    LOCK_VARIABLE(time_counter);
    LOCK_FUNCTION(my_timer_int);
    install_int_ex(my_timer_int, TIMER_TICKS);
    time_counter = 0;
    select_viewpoint(nullptr);
}

static void run_frame_loop(GAME& g)
{
    while (!g.quit) {
        advance_frame(g, time_counter);  // S1..S17
        place_cameras(g);                // S18
        follow_viewer(g);                // S19, S20
        render_frame(g);                 // R1..R10
        read_input(g);                   // I1
    }                                    // I2
}

int run_game(int argc, char** argv)
{
    // Help needs no window: it is answered before Allegro starts.
    if (wants_help(argc, argv)) {
        print_help(stdout);
        return 0;
    }
    // Progress lines reach a log or a pipe as they happen.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    srand((unsigned)time(nullptr));
    GAME g;
    g.settings = parse_command_line(argc, argv);
    show_explosions = g.settings.show_explosions;
    if (!display_available())
        return report_no_display("No X display: DISPLAY is not set");
    // A display that is named but cannot be reached (no server, refused,
    // overloaded) leaves Allegro without a system: everything after would
    // call into a null driver.
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) {
        char why[ALLEGRO_ERROR_SIZE];
        uszprintf(why, sizeof why, "No X display: cannot open \"%s\"", getenv("DISPLAY"));
        return report_no_display(why);
    }
    install_allegro_gl();
    reserve_voices(16, 0);
    install_sound(DIGI_AUTODETECT, MIDI_NONE, nullptr);  // no sound card: silently off
    start_joystick(g.settings);
    if (!set_graphics_mode(g.settings))
        return report_gfx_failure();
    setup_kvor_colors(32);
    install_keyboard();
    install_timer();
    install_mouse();
    LOCK_VARIABLE(close_requested);
    LOCK_FUNCTION(request_close);
    set_close_button_callback(request_close);
    quit_on_signals();
    setup_renderer(g.settings);
    choose_vessel(g);
    if (!start_scene(g))
        return 1;
    start_timer();

    run_frame_loop(g);

    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    destroy_world(g);
    free_messages();
    free_joy_delta();
    return 0;
}
