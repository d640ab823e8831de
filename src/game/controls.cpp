#include "game/controls.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "game/game.h"
#include "game/globals.h"
#include "game/joystick.h"
#include "game/key_help.h"
#include "game/light.h"
#include "game/messages.h"
#include "game/pause.h"
#include "game/render.h"
#include "game/targets.h"
#include "game/world.h"
#include "render/material.h"
#include "scene/thing.h"
#include "scene/vec3.h"
#include "vessel/vessel.h"

float throttle_step = 0.015f;
float chase_distance = 30.0f;
float chase_height = 5.0f;

VESSEL* player_vessel(GAME& g) { return static_cast<VESSEL*>(g.player.get()); }

// The value of the first held key of a pair, else 0.
static float keys_value(int k1, float v1, int k2, float v2)
{
    if (key[k1])
        return v1;
    if (key[k2])
        return v2;
    return 0.0f;
}

static bool joystick(GAME& g, const int* binding) { return g.settings.joystick_on && binding; }
static float axis_value(const int* binding) { return binding ? joy_to_float(*binding) : 0.0f; }

// 1. Main thrust: a joystick axis that moved, or the keyboard throttle.
static void read_main_thrust(GAME& g, VESSEL* v)
{
    if (joystick(g, joy_thrust_y)) {
        if (joy_delta_of(joy_thrust_y) != 0)
            v->set_thrust(-joy_to_float(*joy_thrust_y), 1);
        return;
    }
    float t = g.throttle;
    if (key[KEY_A])
        t += throttle_step;
    else if (key[KEY_Z])
        t -= throttle_step;
    else if (key[KEY_Q])
        t = 0.0f;
    t = std::clamp(t, -1.0f, 1.0f);
    if (t != g.throttle) {
        g.throttle = t;
        v->set_thrust(t, 1);
    }
}

// 2. Pitch, channel 3.
static void read_pitch(GAME& g, VESSEL* v)
{
    if (joystick(g, joy_pitch)) {
        float p = joy_to_float(*joy_pitch);
        v->set_thrust(joy_invert_y ? p : -p, 3);
        return;
    }
    v->set_thrust(keys_value(KEY_8_PAD, 1.0f, KEY_2_PAD, -1.0f), 3);
}

// 3. Yaw (channel 5) and roll (channel 4); a held toggle swaps the stick's
// yaw axis for roll.
static void read_yaw_and_roll(GAME& g, VESSEL* v)
{
    if (g.settings.joystick_on && (joy_gear || joy_roll)) {
        bool swapped = joy_roll_gear_toggle ? *joy_roll_gear_toggle != 0 : key[KEY_ALT] != 0;
        if (swapped) {
            v->set_thrust(-axis_value(joy_gear), 4);
            v->set_thrust(axis_value(joy_roll), 5);
        } else {
            v->set_thrust(axis_value(joy_gear), 5);
            v->set_thrust(-axis_value(joy_roll), 4);
        }
        return;
    }
    v->set_thrust(keys_value(KEY_4_PAD, -1.0f, KEY_6_PAD, 1.0f), 5);
    v->set_thrust(keys_value(KEY_7_PAD, 1.0f, KEY_9_PAD, -1.0f), 4);
}

// 4. and 5. Vertical and lateral thrust; the trigger is released every frame.
static void read_translation(GAME& g, VESSEL* v)
{
    if (joystick(g, joy_thrust_z))
        v->set_thrust(-joy_to_float(*joy_thrust_z), 2);
    else
        v->set_thrust(keys_value(KEY_UP, 1.0f, KEY_DOWN, -1.0f), 2);
    if (joystick(g, joy_thrust_x))
        v->set_thrust(joy_to_float(*joy_thrust_x), 0);
    else
        v->set_thrust(keys_value(KEY_LEFT, -1.0f, KEY_RIGHT, 1.0f), 0);
    v->set_trigger(false);
}

// 6. Fire.
static void read_fire(GAME& g, VESSEL* v)
{
    if (joystick(g, joy_fire) && *joy_fire)
        v->set_trigger(true);
    if (key[KEY_SPACE])
        v->set_trigger(true);
}

// 7. A moving mouse overrides pitch and yaw for this frame.
static void read_mouse(GAME& g, VESSEL* v, const MOUSE_INPUT& mouse)
{
    if (!g.settings.mouse_on)
        return;
    if (mouse.my != 0)
        v->set_thrust(mouse.my * g.settings.mouse_y_scale, 3);
    if (mouse.mx != 0)
        v->set_thrust(mouse.mx * g.settings.mouse_x_scale, 5);
    if (mouse.left)
        v->set_trigger(true);
}

// 8. Head glance: the first held key wins; none brings the head back.
static void read_glance(VESSEL* v)
{
    static const struct {
        int key;
        float yaw, pitch;
    } glances[] = {{KEY_HOME, 0, 64},    {KEY_INSERT, -32, 32}, {KEY_PGUP, 32, 32},
                   {KEY_END, 0, -64},    {KEY_DEL, -64, 0},     {KEY_PGDN, 64, 0}};
    for (const auto& gl : glances) {
        if (key[gl.key]) {
            v->set_pilot(gl.yaw, gl.pitch, false);
            return;
        }
    }
    v->set_pilot(0, 0, false);
}

void read_continuous_controls(GAME& g, const MOUSE_INPUT& mouse)
{
    VESSEL* v = player_vessel(g);
    if (!v)
        return;
    read_main_thrust(g, v);
    read_pitch(g, v);
    read_yaw_and_roll(g, v);
    read_translation(g, v);
    read_fire(g, v);
    read_mouse(g, v, mouse);
    read_glance(v);
}

// ---------------------------------------------------------------- views

static THING* pilot_or_vessel(VESSEL* v)
{
    THING* p = v->get_pilot();
    return p ? p : v;
}

bool select_view(GAME& g, VIEW view)
{
    VESSEL* v = player_vessel(g);
    THING* vp = g.viewpoint_thing;
    if (!v || !vp)
        return false;
    switch (view) {
    case VIEW_PILOT:
        g.view_thing = pilot_or_vessel(v);
        g.lookat_target = nullptr;
        v->hud_on();
        break;
    case VIEW_EXTERNAL:
        g.view_thing = g.camera_thing;
        g.lookat_target = nullptr;
        vp->reset_matrices();
        v->hud_off();
        break;
    case VIEW_ORIGIN_TO_SHIP:
        g.view_thing = vp;
        g.lookat_target = v;
        vp->reset_matrices();
        v->hud_off();
        break;
    case VIEW_FIXED:
        g.view_thing = vp;
        g.lookat_target = nullptr;
        vp->set_rel(v->get_rel());
        v->hud_off();
        break;
    case VIEW_MISSILE:
        if (!g.player_projectile)
            return false;
        g.view_thing = g.player_projectile;
        g.lookat_target = nullptr;
        v->hud_off();
        break;
    case VIEW_PILOT_TO_MISSILE:
        g.view_thing = pilot_or_vessel(v);
        g.lookat_target = g.player_projectile;
        v->hud_on();
        break;
    }
    g.world->update_abs_matrix();
    select_viewpoint(g.view_thing);
    return true;
}

void look_at_rotation(const float* d_in, MATRIX_f* out)
{
    *out = identity_matrix_f;
    if (d_in[0] == 0.0f && d_in[2] == 0.0f) {
        // Straight ahead, or no direction at all; straight behind, a half
        // turn about the up axis, which keeps the horizon level.
        if (d_in[1] < 0.0f)
            get_z_rotate_matrix_f(out, 128.0f);
        return;
    }
    float len = length3(d_in);
    float d[3] = {d_in[0] / len, d_in[1] / len, d_in[2] / len};
    float h = sqrtf(d[0] * d[0] + d[2] * d[2]);
    float theta = atan2f(h, d[1]);
    float s = sinf(theta / 2.0f);
    QUAT q;
    q.w = cosf(theta / 2.0f);
    q.x = -d[2] * s / h;
    q.y = 0.0f;
    q.z = d[0] * s / h;
    quat_to_matrix(&q, out);
}

void place_cameras(GAME& g)
{
    VESSEL* v = player_vessel(g);
    if (v && g.camera_thing) {
        MATRIX_f m = v->get_abs();
        for (int i = 0; i < 3; i++)
            m.t[i] = m.t[i] - chase_distance * m.v[i][1] + chase_height * m.v[i][2];
        g.camera_thing->set_rel(m);
    }
    if (g.lookat_target && g.view_thing && g.viewpoint_thing) {
        const float* p = g.view_thing->get_abs().t;
        const float* q = g.lookat_target->get_abs().t;
        float d[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
        MATRIX_f r;
        look_at_rotation(d, &r);
        r.t[0] = p[0];
        r.t[1] = p[1];
        r.t[2] = p[2];
        g.viewpoint_thing->set_rel(r);
    }
    g.world->update_abs_matrix();
}

// ---------------------------------------------------------------- command keys

static void random_color(float* rgb, float most)
{
    for (int i = 0; i < 3; i++)
        rgb[i] = most * random_unit();
}

static void print_bounding_box(VESSEL* v)
{
    printf("Bounding box:\n");
    for (int i = 0; i < 8; i++) {
        float c[3];
        v->get_bounding_box_corner(i, c);
        printf("(%3.2f %3.2f %3.2f) ", c[0], c[1], c[2]);
    }
    const float* t = v->get_abs().t;
    printf("\nObject center: (%3.2f %3.2f %3.2f)\n", t[0], t[1], t[2]);
    fflush(stdout);
}

static void list_world(GAME& g)
{
    for (THING* t = g.world->get_first_child(); t; t = t->get_next()) {
        char line[192];
        snprintf(line, sizeof(line), "[%s] : %s\n", t->get_vessel_id_string(), t->get_thingtype_string());
        new_message(line);
    }
}

// Back over the origin, level, at rest. At the origin itself the hull would
// sit in the ground and blow up: it goes back to the height it started at.
static void reset_vessel(GAME& g, VESSEL* v)
{
    float zero[3] = {0, 0, 0};
    v->reset_matrices();
    v->locate_rel(0.0f, 0.0f, start_height(v));
    v->set_impulse(zero);
    v->set_rotation(zero);
    v->set_thrust(0, 7);
    g.throttle = 0.0f;
    new_message("Reset ship position\n");
}

static void toggle_line_antialias(GAME& g)
{
    g.line_antialias = !g.line_antialias;
    if (g.line_antialias) {
        glEnable(GL_LINE_SMOOTH);
        new_message("Line antialias on\n");
    } else {
        glDisable(GL_LINE_SMOOTH);
        new_message("Line antialias off\n");
    }
}

static void view_key(GAME& g, VIEW view, const char* message)
{
    if (select_view(g, view))
        new_message(message);
}

// Keys that change the scene or the view, whatever vessel there is.
static bool dispatch_scene_key(GAME& g, int scancode)
{
    switch (scancode) {
    case KEY_C:
        if (key[KEY_LSHIFT])
            ground_color[0] = ground_color[1] = ground_color[2] = 0.0f;
        else
            random_color(ground_color, 0.75f);
        update_light();
        new_message("Ambient light color\n");
        break;
    case KEY_D:
        if (key[KEY_LSHIFT])
            direct_light[0] = direct_light[1] = direct_light[2] = 1.0f;
        else
            random_color(direct_light, 1.0f);
        update_light();
        new_message("Direct light color\n");
        break;
    case KEY_J:
        toggle_line_antialias(g);
        break;
    case KEY_S:
        smooth_light = !smooth_light;
        new_message(smooth_light ? "Smooth-shading\n" : "Flat shading\n");
        break;
    case KEY_1: case KEY_2: case KEY_3: case KEY_4:
    case KEY_5: case KEY_6: case KEY_7: case KEY_8: {
        int n = scancode - KEY_1;  // panel n / 2; odd keys count up
        mfd_screen_mode[n / 2] += (n % 2) ? 1 : -1;
        break;
    }
    case KEY_F1: view_key(g, VIEW_PILOT, "Pilot view\n"); break;
    case KEY_F2: view_key(g, VIEW_EXTERNAL, "External view\n"); break;
    case KEY_F3: view_key(g, VIEW_ORIGIN_TO_SHIP, "Origin to ship view\n"); break;
    case KEY_F4: view_key(g, VIEW_FIXED, "Fixed view\n"); break;
    case KEY_F5: view_key(g, VIEW_MISSILE, "Missile view\n"); break;
    case KEY_F6: view_key(g, VIEW_PILOT_TO_MISSILE, "Pilot to missile view\n"); break;
    case KEY_F9: respawn_targets(g.world, g.settings.opponents_fight); break;
    case KEY_F10: list_world(g); break;
    case KEY_ESC: g.quit = true; break;
    default: return false;
    }
    return true;
}

// Keys that act on the player's vessel.
static void dispatch_vessel_key(GAME& g, VESSEL* v, int scancode)
{
    const unsigned long TARGET = THING_TARGETABLE, NAV = THING_NAVPOINT;
    switch (scancode) {
    case KEY_L: v->toggle_long_distance(); break;
    case KEY_N: v->select_next_target(TARGET | NAV, 0); break;
    case KEY_O: v->set_target(nullptr); break;
    case KEY_R: v->select_nearest_target(TARGET, NAV); break;
    case KEY_T: v->select_next_target(TARGET, NAV); break;
    case KEY_U: v->select_ahead_target(TARGET, 0); break;
    case KEY_W: v->next_gun_type(); break;
    case KEY_X: v->next_gun_cycle_mode(); break;
    // A tap shorter than a slow frame is over before the frame reads the
    // held keys; the key buffer still has it, and it fires once.
    case KEY_SPACE: v->set_trigger(true); break;
    case KEY_Y: v->select_prev_target(TARGET, NAV); break;
    case KEY_5_PAD: reset_vessel(g, v); break;
    case KEY_F7: print_bounding_box(v); break;
    case KEY_F11:
        v->toggle_stabilizer();
        new_message(v->get_stabilizer() ? "Stabilizer on\n" : "Stabilizer off\n");
        break;
    case KEY_F12:
        v->toggle_rhstabilizer();
        new_message(v->get_rstabilizer() ? "R-Stabilizer on\n" : "R-Stabilizer off\n");
        new_message(v->get_hstabilizer() ? "H-Stabilizer on\n" : "H-Stabilizer off\n");
        break;
    case KEY_BACKSPACE:
        g.throttle = 1.0f;
        v->set_thrust(1.0f, 1);
        break;
    case KEY_ENTER:
        if (THING* t = v->get_target()) {
            float vel[3];
            t->get_vel(vel);
            v->match_speed(length3(vel));
        }
        break;
    default:
        break;
    }
}

// Pause and key help; while paused, the keys that would change the world are
// dropped. True when the key is dealt with.
static bool dispatch_pause_key(GAME& g, int scancode)
{
    if (scancode == KEY_P)
        toggle_pause(g);
    else if (scancode == KEY_H)
        show_key_help(g);
    else
        return g.paused && !key_works_while_paused(scancode);
    return true;
}

void dispatch_key(GAME& g, int scancode)
{
    if (dispatch_pause_key(g, scancode))
        return;
    if (dispatch_scene_key(g, scancode))
        return;
    if (VESSEL* v = player_vessel(g))
        dispatch_vessel_key(g, v, scancode);
}
