// The game driver headless: command line, frame, pause, key help, controls,
// views, the start scene, the target waves and the player's vessel.
#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "console_text.h"
#include "core_test.h"
#include "equipment/jet.h"
#include "game/controls.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/input.h"
#include "game/joystick.h"
#include "game/key_help.h"
#include "game/light.h"
#include "game/messages.h"
#include "game/pause.h"
#include "game/pilot.h"
#include "game/render.h"
#include "game/settings.h"
#include "game/targets.h"
#include "game/world.h"
#include "shipped_data.h"
#include "test_data_path.h"
#include "ui/qconsole.h"
#include "vessel/vessel.h"
#include "mesh_shapes.h"

namespace {

SETTINGS parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "sortie");
    return parse_command_line((int)args.size(), args.data());
}

// Moves along x at 10 m/s and spawns the thing it is given.
struct MOVER : THING {
    void tick(float dt) override { ticks++, translate_rel(std::vector<float>{10.0f * dt, 0, 0}.data()); }
    THING* crop_spawn() override { return std::exchange(pending, nullptr); }
    THING* pending = nullptr;
    int ticks = 0;
};

// A vessel that records every thrust command by channel.
struct RECORDING_VESSEL : VESSEL {
    void set_thrust(float value, int axis) override
    {
        sent[axis].push_back(value);
        VESSEL::set_thrust(value, axis);
    }
    float last(int axis) { return sent[axis].empty() ? 99.0f : sent[axis].back(); }
    static bool held(VESSEL* v) { return v->*(&RECORDING_VESSEL::trigger); }  // the fire button
    std::vector<float> sent[8];
};

// A bare world with a recording player vessel and the message console.
struct COCKPIT {
    GAME g;
    RECORDING_VESSEL* v = new RECORDING_VESSEL();
    int modes[5];
    COCKPIT()
    {
        create_world_roots(g);
        g.settings.joystick_on = g.settings.mouse_on = false;
        g.world->add_child(v);
        g.player = v;
        g.world->update_abs_matrix();
        free_messages();
        set_message_font(font);
        memcpy(modes, mfd_screen_mode, sizeof modes);
    }
    ~COCKPIT()
    {
        press({});
        destroy_world(g);
        free_messages();
        memcpy(mfd_screen_mode, modes, sizeof modes);  // the panels' screens as they were
    }
    void frame(MOUSE_INPUT m = MOUSE_INPUT()) { read_continuous_controls(g, m); }
    void press(std::vector<int> keys)
    {
        memset((void*)key, 0, KEY_MAX);
        for (int k : keys)
            key[k] = 1;
    }
    // After a frame with these keys held: channels 0..5 as last commanded,
    // the trigger, and the head's yaw and pitch.
    std::vector<float> after(std::vector<int> keys, MOUSE_INPUT m = MOUSE_INPUT())
    {
        press(keys);
        frame(m);
        std::vector<float> out = {v->last(0), v->last(1), v->last(2), v->last(3), v->last(4), v->last(5),
                                  (float)RECORDING_VESSEL::held(v), 0, 0};
        v->tick(1.0f);
        v->get_head_angle(&out[7]);
        return out;
    }
};

// A data directory: the scene's models (boxes), a one-jet drone for all.
struct SCENE_DATA : TEST_DATA_PATH {
    explicit SCENE_DATA(bool buoy = true, bool rest = true)
    {
        MESH3DS m = box_shape(0.5f, 0.5f, 0.5f);
        if (buoy)
            write3ds(file("navbuoy.3ds"), m);
        if (!rest)
            return;
        write3ds(file("rock00.3ds"), m);
        write("victim.vcd", "VHD = drone.vhd\n");
        write("player.vcd", "VHD = drone.vhd\n");
        write("drone.vhd", "MASS = 100\nSHORTNAME=drone\nSLOT = J, 0,0,0, 0,0,1, 0,1,0\nITEM = jet.sid\n");
        write("jet.sid", "THINGTYPE = JET\nPOWER = 4000\n");
    }
};

std::vector<THING*> children(THING* parent, const char* prefix = "")
{
    std::vector<THING*> out;
    for (THING* t = parent->get_first_child(); t; t = t->get_next())
        if (strncmp(t->get_vessel_id_string(), prefix, strlen(prefix)) == 0)
            out.push_back(t);
    return out;
}

std::vector<float> at(THING* t) { return std::vector<float>(t->get_rel().t, t->get_rel().t + 3); }

std::string rows(int from, int to) { return from < to ? console_row(msg_qc, from) + "|" + rows(from + 1, to) : ""; }

}  // namespace

TEST(Game, CommandLineSizesSwitchesAndScales)
{
    int areas = 0;  // the last size wins
    for (const char* size : {"-R0", "-R1", "-R2", "-R3", "-R4", "-R5", "-R6", "-R9", "-R"})
        areas += parse({"-R1", size}).screen_w + parse({"-R1", size}).screen_h * 10000;
    EXPECT_EQ(areas, 320 + 400 + 640 + 800 + 1024 + 1152 + 1280 + 640 * 2 + (240 + 300 + 480 + 600 + 768 + 864 + 1024 + 480 * 2) * 10000);
    SETTINGS s = parse({"-w", "-x0", "-mx0.5", "-my-2", "-cL", "-zl", "-s", "-d", "-jy", "-e"});
    EXPECT_FALSE(s.fullscreen || s.show_explosions || s.render_method);
    EXPECT_EQ(s.mouse_x_scale * 10 + s.mouse_y_scale + s.color_depth + s.z_depth, 35.0f);
    EXPECT_TRUE(s.dither && s.joy_invert_y && s.joystick_on && s.mouse_on && s.opponents_fight);
    EXPECT_FALSE(parse({"-j0"}).joystick_on || parse({"-j-"}).joystick_on || parse({"-m-"}).mouse_on ||
                 parse({"-m0"}).mouse_on);
    // Unknown letters and plain arguments change nothing.
    SETTINGS plain, odd = parse({"-q", "-x1", "-cX", "-zq", "-jq", "-mq", "R3", "w", "aw", "be", "-", "--help"});
    EXPECT_EQ(odd.screen_w + odd.color_depth + odd.z_depth, plain.screen_w + plain.color_depth + plain.z_depth);
    EXPECT_TRUE(odd.fullscreen && odd.show_explosions && odd.joystick_on && odd.mouse_on && !odd.joy_invert_y &&
                !odd.opponents_fight && !odd.dither);
    const char *h[] = {"sortie", "-w", "-h", nullptr}, *help[] = {"sortie", "--help", nullptr}, *no[] = {"sortie", "-hx", "help", nullptr};
    EXPECT_TRUE(wants_help(3, h) && wants_help(2, help) && !wants_help(3, no));
    char* text = nullptr;  // the help lists the keys, the first and the last too
    size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    print_help(out), fclose(out);
    EXPECT_TRUE(strstr(text, key_help[0].does) && strstr(text, key_help[key_help_count - 1].does)) << text;
    free(text);
}

TEST(Game, AFrameMovesTheWorldCountsTheRateAndKeepsOrForgetsShotsAndViews)
{
    GAME g;
    create_world_roots(g);
    MOVER* player = new MOVER();
    g.world->add_child(player);
    g.player = player;
    for (float dt : {0.0f, 0.1f, 0.1f})
        simulate_frame(g, dt);
    EXPECT_EQ(g.fps, 0.0f);  // shown only after a quarter second
    simulate_frame(g, 2.0f);
    EXPECT_NEAR(fabsf(player->get_abs().t[0] - 22.0f) + fabsf(g.fps - 4.0f / 2.2f), 0, 1e-4f);
    EXPECT_EQ(player->ticks, 1 + 6 + 6 + 15);  // sixtieths of a second, at most 15 a frame
    THING* exhaust = new THING();  // spawn that cannot burst is no projectile
    THING* shot = new THING();
    shot->set_flags(THING_EXPLODABLE);
    for (THING* t : {exhaust, shot}) {
        t->set_owner(player);
        player->pending = t;
        simulate_frame(g, 0.01f);
    }
    EXPECT_TRUE(exhaust->get_parent() == g.world && g.world->get_last_child() == shot && g.player_projectile.get() == shot);
    shot->set_flags(THING_DEAD);
    simulate_frame(g, 0.01f);
    EXPECT_EQ(g.player_projectile.get(), nullptr);
    g.view_thing = g.lookat_target = exhaust;  // a dead view falls back; nothing dangles
    exhaust->set_flags(THING_DEAD);
    simulate_frame(g, 0.01f);
    EXPECT_TRUE(!g.view_thing.get() && !g.lookat_target.get() && !get_viewpoint());
    destroy_world(g);
}

TEST(Game, APausedWorldStandsStillAndResumingTakesAnOrdinaryStep)
{
    SHIPPED_DATA data;
    GAME g;
    create_world_roots(g);
    ASSERT_TRUE(first_vessel_configuration(g.vessel_path, sizeof(g.vessel_path)));
    EXPECT_FALSE(first_vessel_configuration(g.vessel_path, 0));  // no room for a name
    add_player_vessel(g);
    respawn_targets(g.world);
    VESSEL* v = static_cast<VESSEL*>(g.player.get());
    v->set_thrust(1.0f, 1);
    v->set_trigger(true);
    THING* target = g.world->get_last_child();
    target->explode();
    volatile int ticks = 3;  // 1/60 s of the 180 Hz timer
    advance_frame(g, ticks);
    auto state = [&g, v] {  // where everything is, shots included, and the shots each item holds
        std::vector<float> s;
        for (THING* t : children(g.world))
            s.insert(s.end(), t->get_abs().t, t->get_abs().t + 3);
        for (int i = 0; i < 32; i++)
            if (auto* item = static_cast<SLOTTHING*>(v->get_slot_item(i)))
                s.push_back(item->get_ammo());
        return s;
    };
    std::vector<float> before = state();
    float count_down = target->get_explosion_delay_counter();
    int frames = g.fps_frames;
    dispatch_key(g, KEY_P);
    EXPECT_FALSE(RECORDING_VESSEL::held(v));  // pausing lets go of the trigger
    v->set_trigger(true);
    for (int frame = 0; frame < 120; frame++) {
        ticks = 90;  // slow paused frames: half a second each
        advance_frame(g, ticks);
        EXPECT_EQ(ticks, 0);
    }
    for (int k : {KEY_F9, KEY_5_PAD, KEY_BACKSPACE, KEY_F11})  // these wait for the world to run
        dispatch_key(g, k);
    EXPECT_EQ(state(), before);  // no thing moved, came or went; no shot fired
    EXPECT_EQ(target->get_explosion_delay_counter(), count_down);
    EXPECT_TRUE(g.fps_frames == frames && v->get_stabilizer());
    dispatch_key(g, KEY_F2);  // views still work
    EXPECT_EQ(g.view_thing.get(), g.camera_thing.get());
    dispatch_key(g, KEY_P);
    ticks = 3;
    advance_frame(g, ticks);
    // One sixtieth of a second, not the minute the pause lasted.
    EXPECT_NEAR(target->get_explosion_delay_counter(), count_down - 1.0f / 60, 1e-5f);
    EXPECT_NE(state(), before);
    destroy_world(g);
}

TEST(Game, ThrottleSteeringMouseAndGlanceKeys)
{
    COCKPIT c;
    c.press({KEY_A});
    for (int i = 0; i < 100; i++)
        c.frame();
    ASSERT_EQ(c.v->sent[1].size(), 67u);  // 0.015 a frame, one command per change
    EXPECT_FLOAT_EQ(c.v->sent[1][0] * 100 + c.v->last(1), 2.5f);
    c.press({KEY_Z});
    c.frame();
    EXPECT_FLOAT_EQ(c.v->last(1), 0.985f);
    c.press({KEY_Q});
    c.frame();
    c.frame();
    EXPECT_EQ(c.v->sent[1].size() * 10 + c.v->last(1), 690.0f);
    dispatch_key(c.g, KEY_BACKSPACE);  // full at once
    EXPECT_EQ(c.g.throttle + c.v->last(1), 2.0f);
    // The first key of each pair wins; the trigger is let go each frame.
    EXPECT_EQ(c.after({KEY_LEFT, KEY_RIGHT, KEY_8_PAD, KEY_2_PAD, KEY_4_PAD, KEY_6_PAD, KEY_7_PAD, KEY_9_PAD, KEY_UP, KEY_SPACE}),
              (std::vector<float>{-1, 1, 1, 1, 1, -1, 1, 0, 0}));
    EXPECT_EQ(c.after({KEY_RIGHT, KEY_2_PAD, KEY_6_PAD, KEY_9_PAD, KEY_DOWN}), (std::vector<float>{1, 1, -1, -1, -1, 1, 0, 0, 0}));
    // A moving mouse overrides pitch and yaw; a still one changes nothing.
    c.g.settings.mouse_on = true;
    c.g.settings.mouse_x_scale = 0.5f;
    c.g.settings.mouse_y_scale = -0.25f;
    MOUSE_INPUT m{2, 3, true};
    EXPECT_EQ(c.after({KEY_8_PAD}, m), (std::vector<float>{0, 1, 0, -0.75f, 0, 1, 1, 0, 0}));
    std::vector<float> still = c.after({KEY_8_PAD, KEY_6_PAD});
    EXPECT_TRUE(still[3] == 1.0f && still[5] == 1.0f);
    // Each glance key turns the head its way; the first held wins; none: back.
    const int glances[][3] = {{KEY_HOME, 0, 64},  {KEY_INSERT, -32, 32}, {KEY_PGUP, 32, 32},   {KEY_END, 0, -64},
                              {KEY_DEL, -64, 0}, {KEY_PGDN, 64, 0},     {KEY_PGDN, 0, 64},    {0, 0, 0}};
    for (int i = 0; i < 8; i++) {
        std::vector<float> a = c.after({glances[i][0], i == 6 ? KEY_HOME : 0});
        EXPECT_EQ(std::vector<float>(a.begin() + 7, a.end()), (std::vector<float>{(float)glances[i][1], (float)glances[i][2]})) << i;
    }
}

TEST(Game, AJoystickSteersWithADeadZoneAndACurve)
{
    EXPECT_EQ(joy_to_float(25) + joy_to_float(-25), 0.0f);
    EXPECT_NEAR(joy_to_float(64) * 10 + joy_to_float(-96), 0.5273f - 0.3250f, 1e-3f);  // ((0.5 - 0.2) / 0.8) cubed
    COCKPIT c;
    c.g.settings.joystick_on = true;
    num_joysticks = 1;  // two sticks of three and two axes and two buttons, as Allegro fills joy[]
    joy[0].num_sticks = joy[0].num_buttons = joy[0].stick[1].num_axis = 2;
    joy[0].stick[0].num_axis = 3;
    bind_joystick();
    const int pos[2][3] = {{128, 128, -128}, {-128, -128, 0}};  // yaw right, nose down, throttle; slide left, climb
    for (int s = 0; s < 6; s++)
        joy[0].stick[s / 3].axis[s % 3].pos = pos[s / 3][s % 3];
    update_joy_delta();
    EXPECT_EQ(c.after({}), (std::vector<float>{-1, 99, 1, -1, 0, 1, 0, 0, 0}));  // a still throttle sends nothing
    joy_delta[0].stick[0].axis[2].pos = 1;  // as a driver's poll reports a throttle moved: full ahead
    EXPECT_EQ(c.after({})[1], 1.0f);
    joy[0].button[1].b = joy[0].button[0].b = 1;  // toggle held: yaw becomes roll; fire
    joy_invert_y = true;
    EXPECT_EQ(c.after({}), (std::vector<float>{-1, 1, 1, 1, -1, 0, 1, 0, 0}));
    joy_invert_y = false;
    joy[0].num_buttons = joy[0].stick[0].num_axis = 1;  // those missing stay unbound
    bind_joystick();
    EXPECT_TRUE(joy_fire && joy_gear && !joy_roll_gear_toggle && !joy_pitch && joy_thrust_z);
    std::vector<float> alt = c.after({KEY_ALT});  // no toggle button: Alt turns the yaw axis to roll
    EXPECT_TRUE(alt[4] == -1.0f && alt[5] == 0.0f);
    memset(&joy[0], 0, sizeof joy[0]);
    num_joysticks = 0;
    bind_joystick();
    EXPECT_TRUE(!joy_gear && !joy_fire && !joy_thrust_x);
    free_joy_delta();
}

TEST(Game, CommandKeys)
{
    COCKPIT c;
    for (int k : {KEY_1, KEY_1, KEY_1, KEY_8, KEY_4})  // panel modes neither wrap nor clamp
        dispatch_key(c.g, k);
    EXPECT_EQ(mfd_screen_mode[0] - c.modes[0] + 10 * (mfd_screen_mode[3] - c.modes[3]) + 100 * (mfd_screen_mode[1] - c.modes[1]), 107);
    c.v->set_id_string("alpha 1");
    for (int k : {KEY_F10, KEY_F11, KEY_F12, KEY_F12, KEY_F12})  // the world in order; stabilizers
        dispatch_key(c.g, k);
    EXPECT_TRUE(c.v->get_stabilizer() && !c.v->get_rstabilizer() && !c.v->get_hstabilizer());
    c.v->locate_rel(10, 20, 30);
    float push[3] = {5, 5, 5}, vel[3];
    c.v->set_impulse(push);
    c.g.throttle = 0.5f;
    dispatch_key(c.g, KEY_5_PAD);  // reset: over the origin, at rest, not in the ground
    EXPECT_EQ(at(c.v), (std::vector<float>{0, 0, start_height(c.v)}));
    c.v->get_vel(vel);
    EXPECT_EQ(vel[0] + vel[1] + vel[2] + c.g.throttle, 0.0f);
    read_input(c.g);  // nothing pressed, nothing closed: it goes on; the window's close button ends it
    bool went_on = !c.g.quit;
    close_requested = 1, read_input(c.g), close_requested = 0;
    EXPECT_TRUE(went_on && c.g.quit);
    c.g.quit = false;
    dispatch_key(c.g, KEY_ESC);  // quits after the frame's other keys
    dispatch_key(c.g, KEY_F2);
    EXPECT_TRUE(c.g.quit);
    EXPECT_EQ(rows(0, 13), "[] : n/a|[] : n/a|[alpha 1] : VESSEL|Stabilizer on|R-Stabilizer on|H-Stabilizer off|"
                           "R-Stabilizer on|H-Stabilizer on|R-Stabilizer off|H-Stabilizer off|"
                           "Reset ship position|External view||");
    // Shift+C, shift+D: no ambient, white light; without shift, random colours up to 0.75 and 1.
    float ground[4], direct[4];
    memcpy(ground, ground_color, sizeof ground), memcpy(direct, direct_light, sizeof direct);
    c.press({KEY_LSHIFT}), dispatch_key(c.g, KEY_C), dispatch_key(c.g, KEY_D), c.press({});
    EXPECT_TRUE(std::vector<float>(ground_color, ground_color + 4) == std::vector<float>({0, 0, 0, ground[3]}) &&
                std::vector<float>(direct_light, direct_light + 4) == std::vector<float>(4, 1.0f));
    dispatch_key(c.g, KEY_C), dispatch_key(c.g, KEY_D);
    for (int i = 0; i < 4; i++)  // alpha untouched
        EXPECT_TRUE(i < 3 ? ground_color[i] <= 0.75f && direct_light[i] <= 1.0f && ground_color[i] + direct_light[i] > 0
                          : ground_color[i] == ground[3] && direct_light[i] == 1.0f) << i;
    memcpy(ground_color, ground, sizeof ground), memcpy(direct_light, direct, sizeof direct);
    // Enter: the target's speed, 7 m/s along (2, 3, 6), becomes the set-point forward.
    struct DRIFT : THING { void get_vel(float* v) override { v[0] = 2, v[1] = 3, v[2] = 6; } };
    JET* jet = new JET();
    jet->set_power(100.0f);
    c.v->add_slot(), c.v->fill_slot(0, jet);
    DRIFT* drift = new DRIFT();
    c.g.world->add_child(drift), c.v->set_target(drift), dispatch_key(c.g, KEY_ENTER);
    EXPECT_NEAR(c.v->get_target_vel(1), 7.0f, 1e-4f);
}

// H pages through the keys on the console and round again; a panel turns
// to the console only when none shows it (a mode past the screens does too).
TEST(Game, KeyHelpPagesRoundTheKeysOnAPanelShowingTheConsole)
{
    COCKPIT c;
    int screens[5] = {0, 1, 2, 3, 4};
    std::fill(mfd_screen_mode, mfd_screen_mode + 5, 5);
    std::string pages;
    for (int press = 0; press < 5; press++) {
        free_messages(), dispatch_key(c.g, KEY_H);
        pages += rows(0, 1) + (press == 3 ? rows(5, 7) : "");
        EXPECT_EQ(mfd_screen_mode[help_panel], press ? -1 : 5) << press;
        memcpy(mfd_screen_mode, screens, sizeof screens);  // from here on every panel shows a screen
    }
    EXPECT_EQ(pages, "Keys 1/4 (H: more)|Keys 2/4 (H: more)|Keys 3/4 (H: more)|Keys 4/4 (H: more)|Esc        quit||Keys 1/4 (H: more)|");
}

TEST(Game, ViewsAndCameras)
{
    COCKPIT c;
    EXPECT_TRUE(select_view(c.g, VIEW_PILOT) && c.g.view_thing.get() == c.v->get_pilot() &&
                !c.v->get_hud_speed()->has_flags(THING_HIDDEN));
    EXPECT_TRUE(select_view(c.g, VIEW_EXTERNAL) && c.g.view_thing.get() == c.g.camera_thing.get() &&
                c.v->get_hud_speed()->has_flags(THING_HIDDEN));
    EXPECT_FALSE(select_view(c.g, VIEW_MISSILE));  // no missile: no view
    THING* shot = new THING();
    c.g.world->add_child(shot);
    c.g.player_projectile = shot;
    dispatch_key(c.g, KEY_F5);
    EXPECT_TRUE(c.g.view_thing.get() == shot && rows(0, 1) == "Missile view|");
    c.g.world->remove_child(shot);  // gone by any road: nothing dangles
    EXPECT_TRUE(!c.g.view_thing.get() && !c.g.player_projectile.get());
    MATRIX_f turn;  // the vessel 100 m out along x, its nose turned to +x
    get_rotation_matrix_f(&turn, 0, 0, 64);
    turn.t[0] = 100;
    c.v->set_rel(turn);
    ASSERT_TRUE(select_view(c.g, VIEW_ORIGIN_TO_SHIP));
    place_cameras(c.g);
    std::vector<float> cam = at(c.g.camera_thing);  // the chase camera: 30 m behind, 5 m above
    EXPECT_NEAR(fabsf(cam[0] - 70) + fabsf(cam[1]) + fabsf(cam[2] - 5), 0.0f, 1e-3f);
    const MATRIX_f& eye = c.g.viewpoint_thing->get_abs();  // at the origin, nose on the vessel
    EXPECT_NEAR(fabsf(eye.t[0]) + fabsf(eye.v[0][1] - 1), 0.0f, 1e-4f);
    THING* missile = new THING();  // the pilot looking up at a missile 50 m above
    missile->locate_rel(100, 0, 50);
    c.g.world->add_child(missile);
    c.g.player_projectile = missile;
    ASSERT_TRUE(select_view(c.g, VIEW_PILOT_TO_MISSILE));
    place_cameras(c.g);
    const float* from = c.v->get_pilot()->get_abs().t;  // the nose on it
    float up = 50.0f - from[2], off[3] = {100.0f - from[0], -from[1], up}, len = sqrtf(off[0] * off[0] + off[1] * off[1] + up * up);
    const MATRIX_f& look = c.g.viewpoint_thing->get_abs();
    EXPECT_TRUE(near3(V3({look.v[0][1], look.v[1][1], look.v[2][1]}).data(), {off[0] / len, off[1] / len, up / len}, 1e-4f) && up > 40.0f);
    for (auto [d, want] : {std::pair<V3, V3>{{3, 4, 0}, {0.6f, 0.8f, 0}}, {{-1, -2, 2}, {-1 / 3.0f, -2 / 3.0f, 2 / 3.0f}}, {{0, 0, 5}, {0, 0, 1}},
                           {{0, 7, 0}, {0, 1, 0}}, {{0, -7, 0}, {0, -1, 0}}, {{0, 0, 0}, {0, 1, 0}}}) {  // the nose turned onto d; none: ahead
        MATRIX_f r;
        look_at_rotation(d.data(), &r);
        EXPECT_TRUE(near3(V3({r.v[0][1], r.v[1][1], r.v[2][1]}).data(), want, 1e-5f) && (d[2] != 0.0f || r.v[2][2] > 0.999f)) << d[1];
    }
    c.g.player = nullptr;  // between vessels the cameras stay where they are
    place_cameras(c.g);
    EXPECT_EQ(at(c.g.camera_thing), cam);
}

TEST(Game, TheSceneStarsAboveRocksAroundBuoysAtOriginAndEntryAndPlanesFollowTheViewer)
{
    SCENE_DATA data;
    GAME g;
    ASSERT_TRUE(build_scene(g));
    std::vector<THING*> kids = children(g.world);
    ASSERT_EQ(kids.size(), 6u + ROCK_COUNT);
    EXPECT_TRUE(kids[2] == g.viewpoint_thing.get() && kids[3] == g.camera_thing.get() && g.viewpoint_thing->get_rel().t[2] == 1.8f);
    EXPECT_EQ(std::string(kids[4]->get_vessel_id_string()) + "|" + kids[5]->get_vessel_id_string(), "Origin|Entry point");
    EXPECT_TRUE(kids[5]->has_flags(THING_TARGETABLE | THING_ON_RADAR | THING_NAVPOINT) && at(kids[5]) == std::vector<float>({0, -3000, 100}));
    std::vector<THING*> stars = children(g.background);
    ASSERT_EQ(stars.size(), 1u + STAR_COUNT);  // the sky sphere comes first
    EXPECT_EQ(std::string(stars[1]->get_vessel_id_string()) + stars.back()->get_vessel_id_string(),
              "centauri-00200centauri-00001");
    float lo[4] = {1e9, 1e9, 1e9, 1e9}, hi[4] = {-1e9, -1e9, -1e9, -1e9};
    for (size_t i = 6; i < kids.size(); i++)  // rocks: a 5 km field over the origin, above the ground
        for (int k = 0; k < 3; k++) {
            lo[k] = std::min(lo[k], kids[i]->get_rel().t[k] + (k < 2) * 2500);
            hi[k] = std::max(hi[k], kids[i]->get_rel().t[k] + (k < 2) * 2500);
        }
    int quarters[4] = {};  // stars: 4800 m away in the upper half of the sky, all round
    for (size_t i = 1; i < stars.size(); i++) {
        const float* p = stars[i]->get_rel().t;
        lo[3] = std::min(lo[3], p[2]);
        hi[3] = std::max(hi[3], fabsf(vector_length_f(p[0], p[1], p[2]) - 4800));
        quarters[(p[0] < 0) * 2 + (p[1] < 0)]++;
    }
    EXPECT_TRUE(*std::min_element(lo, lo + 4) >= 0 && *std::max_element(hi, hi + 3) <= 5000 && hi[3] < 0.5f);
    EXPECT_GT(*std::min_element(quarters, quarters + 4), STAR_COUNT / 8);
    for (int k = 0; k < 3; k++)
        EXPECT_GT(hi[k] - lo[k], 4000) << k;
    THING* rock = find_id_string(kids[0], "sec57-00200");
    ASSERT_TRUE(rock && rock->get_model());
    EXPECT_TRUE(rock->has_flags(THING_EXPLODABLE | THING_PASSIVE_COLLIDER | THING_ACTIVE_COLLIDER | THING_ON_RADAR));
    EXPECT_EQ(rock->get_model(), find_id_string(kids[0], "sec57-00001")->get_model());  // one shared model
    g.viewpoint_thing->locate_rel(100, -200, 50);
    g.world->update_abs_matrix();
    follow_viewer(g);
    EXPECT_TRUE(at(kids[0]) == at(kids[1]) && at(kids[0]) == (std::vector<float>{100, -200, 0}));
    EXPECT_EQ(at(g.background), (std::vector<float>{100, -200, 50}));
    g.view_thing = nullptr;
    follow_viewer(g);
    EXPECT_EQ(at(g.background), (std::vector<float>{0, 0, 0}));
    destroy_world(g);
}

TEST(Game, AMissingBuoyStopsTheStartButMissingTexturesRocksAndTargetsDoNot)
{
    for (bool buoy : {false, true}) {
        SCENE_DATA data(buoy, false);
        GAME g;
        EXPECT_FALSE(first_vessel_configuration(g.vessel_path, sizeof(g.vessel_path)));  // none to fly
        testing::internal::CaptureStdout();
        bool ok = build_scene(g);
        for (int i = 0; ok && i < 3; i++)
            simulate_frame(g, 1.0f / 60);
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(ok, buoy) << out;
        EXPECT_EQ(out.find("navbuoy.3ds") == std::string::npos, buoy) << out;
        for (const char* line : {"GROUND000.BMP could not be loaded!", "SKY000.BMP could not be loaded!"})
            EXPECT_NE(out.find(line), std::string::npos) << out;
        THING* rock = buoy ? find_id_string(g.world->get_first_child(), "sec57-00100") : nullptr;
        EXPECT_TRUE(!buoy || (rock && !rock->get_model() && rock->get_radius() == 0.0f));  // invisible rocks
        EXPECT_EQ(children(g.world, "beta ").size(), buoy ? 8u : 0u);  // hull-less targets
        destroy_world(g);
    }
}

TEST(Game, AWaveStandsInTwoColumnsAndIsReplacedOnlyWhenTheFirstOfEachIdIsGone)
{
    SCENE_DATA data;
    GAME g;
    ASSERT_TRUE(build_scene(g));
    g.target_waves = true;
    simulate_frame(g, 0.0f);
    std::vector<THING*> w = children(g.world, "beta ");
    ASSERT_EQ(w.size(), 8u);
    const float place[8][3] = {{0, -3000, 100},    {50, -3000, 100},   {-50, -3100, 150}, {100, -3100, 150},
                               {-100, -3200, 200}, {150, -3200, 200}, {-150, -3300, 250}, {200, -3300, 250}};
    for (int i = 0; i < 8; i++) {
        VESSEL* v = static_cast<VESSEL*>(w[i]);
        EXPECT_TRUE(v->get_vessel_id_string() == "beta " + std::to_string(i + 1) && at(v) == std::vector<float>(place[i], place[i] + 3)) << i;
        EXPECT_TRUE(v->get_team() == TARGET_TEAM && v->get_stabilizer() && v->get_rstabilizer() && v->get_owner() == v &&
                    v->get_thrust_input(1) == 0.25f && !find_pilot(v)) << i;  // opponents fight back only when asked
    }
    w[0]->locate_rel(0, -3000 + 5999, 100);  // strays blow up 6 km from the entry point, not before
    w[1]->locate_rel(0, -3000 + 6000, 100);
    w[2]->locate_rel(0, -3000, 100 + 6000);
    g.world->update_abs_matrix();
    EXPECT_FALSE(check_targets(g.world->get_first_child()));
    EXPECT_TRUE(!w[0]->has_flags(THING_EXPLODING) && w[1]->has_flags(THING_EXPLODING) && w[2]->has_flags(THING_EXPLODING));
    for (int i = 1; i < 8; i++)
        w[i]->set_flags(THING_DEAD);
    simulate_frame(g, 1.0f / 60);
    EXPECT_EQ(children(g.world, "beta ").size(), 1u);  // beta 1 left: no new wave
    w[0]->set_flags(THING_DEAD);
    simulate_frame(g, 1.0f / 60);
    std::vector<THING*> next = children(g.world, "beta ");
    ASSERT_EQ(next.size(), 8u);
    dispatch_key(g, KEY_F9);  // more: duplicates of each id, which do not count
    EXPECT_EQ(children(g.world, "beta ").size(), 16u);
    for (THING* t : next)
        t->set_flags(THING_DEAD);
    EXPECT_TRUE(check_targets(g.world->get_first_child()));
    free_messages();
    destroy_world(g);
}

TEST(Game, ALostVesselIsReplacedBeforeItsLineAndOldLinesScrollOff)
{
    SCENE_DATA data;
    GAME g;
    ASSERT_TRUE(build_scene(g));
    snprintf(g.vessel_path, sizeof(g.vessel_path), "%s", data.file("player.vcd").c_str());
    add_player_vessel(g);
    THING* first = g.player.get();
    free_messages();
    set_message_font(font);
    first->set_flags(THING_DEAD);
    THING *missile = new THING(), *tagged = new THING();  // a missile has no name to give; an id alone is one
    missile->set_flags(THING_TARGETABLE | THING_DEAD), tagged->set_flags(THING_TARGETABLE | THING_DEAD);
    tagged->set_id_string("omega 9"), g.world->add_child(missile), g.world->add_child(tagged);
    radar_framecount = 2;  // the radar was drawn in the frame before
    simulate_frame(g, 1.0f / 60);
    ASSERT_NE(g.player.get(), nullptr);  // the new vessel's radar shows in the next frame
    EXPECT_TRUE(radar_framecount == 0 && g.player.get() != first && g.view_thing.get() == g.camera_thing.get());
    EXPECT_EQ(g.player->get_team(), PLAYER_TEAM);
    EXPECT_EQ(rows(0, 6), "Vessel destroyed. Loaded new ves|sel.|External view.|drone alpha 1 destroyed.| omega 9 destroyed.||");
    radar_framecount = 2;
    simulate_frame(g, 1.0f / 60);
    EXPECT_EQ(radar_framecount, 2) << "only a replacement resets it";
    free_messages();
    set_message_font(nullptr);
    new_message("lost\n");  // before the font is known: dropped
    EXPECT_EQ(msg_qc, nullptr);
    set_message_font(font);
    for (int i = 1; i <= 33; i++)
        new_message(("line" + std::to_string(i) + "\n").c_str());
    EXPECT_EQ(rows(0, 1) + rows(MESSAGE_ROWS - 2, MESSAGE_ROWS - 1), "line3|line33|");  // scrolled off the top
    EXPECT_TRUE(msg_qc->get_cursor() == (MESSAGE_ROWS - 1) * MESSAGE_COLS && texbmp);
    free_messages();
    destroy_world(g);
}
