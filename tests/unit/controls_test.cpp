// The controls: keys, joystick shaping, command keys and views, driven
// through Allegro's key[] state without a window.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cstring>
#include <string>
#include <vector>

#include "console_text.h"
#include "game/controls.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/joystick.h"
#include "game/messages.h"
#include "game/render.h"
#include "game/world.h"
#include "ui/qconsole.h"
#include "vessel/vessel.h"

namespace {

// A vessel that records every thrust command by channel.
struct RECORDING_VESSEL : VESSEL {
    void set_thrust(float value, int axis) override
    {
        calls.push_back({axis, value});
        VESSEL::set_thrust(value, axis);
    }
    void set_trigger(bool on) override
    {
        trigger = on;
        VESSEL::set_trigger(on);
    }
    std::vector<std::pair<int, float>> on(int axis) const
    {
        std::vector<std::pair<int, float>> out;
        for (auto& c : calls)
            if (c.first == axis)
                out.push_back(c);
        return out;
    }
    std::vector<std::pair<int, float>> calls;
    bool trigger = false;
};

// A bare world with a recording player vessel; keys released on the way out.
struct COCKPIT {
    GAME g;
    RECORDING_VESSEL* v = new RECORDING_VESSEL();
    COCKPIT()
    {
        create_world_roots(g);
        g.settings.joystick_on = false;
        g.settings.mouse_on = false;
        g.world->add_child(v);
        g.player = v;
        g.world->update_abs_matrix();
        free_messages();
        set_message_font(font);
    }
    ~COCKPIT()
    {
        memset((void*)key, 0, KEY_MAX);
        destroy_world(g);
        free_messages();
    }
    void frame() { read_continuous_controls(g, MOUSE_INPUT()); }
    std::string row(int r) const { return console_row(msg_qc, r); }
};

}  // namespace

TEST(Throttle, HoldingAForAHundredFramesReachesFullAndStops)
{
    COCKPIT c;
    key[KEY_A] = 1;
    for (int i = 0; i < 100; i++)
        c.frame();
    EXPECT_FLOAT_EQ(c.g.throttle, 1.0f);
    auto sent = c.v->on(1);
    ASSERT_FALSE(sent.empty());
    EXPECT_FLOAT_EQ(sent.back().second, 1.0f);
    // One command per change: 0.015 a frame reaches 1 in 67 frames.
    EXPECT_EQ(sent.size(), 67u);
    for (size_t i = 1; i < sent.size(); i++)
        EXPECT_GT(sent[i].second, sent[i - 1].second);
    key[KEY_A] = 0;
    key[KEY_Q] = 1;
    c.frame();
    EXPECT_EQ(c.g.throttle, 0.0f);
    EXPECT_EQ(c.v->on(1).back().second, 0.0f);
    size_t before = c.v->on(1).size();
    c.frame();  // no change, no command
    EXPECT_EQ(c.v->on(1).size(), before);
    dispatch_key(c.g, KEY_BACKSPACE);  // full at once
    EXPECT_EQ(c.g.throttle, 1.0f);
    EXPECT_EQ(c.v->on(1).back().second, 1.0f);
}

TEST(Steering, TheFirstKeyOfAPairWins)
{
    COCKPIT c;
    key[KEY_LEFT] = key[KEY_RIGHT] = 1;
    key[KEY_8_PAD] = key[KEY_2_PAD] = 1;
    key[KEY_4_PAD] = key[KEY_6_PAD] = 1;
    key[KEY_UP] = 1;
    c.frame();
    EXPECT_EQ(c.v->on(0).back().second, -1.0f);
    EXPECT_EQ(c.v->on(3).back().second, 1.0f);
    EXPECT_EQ(c.v->on(5).back().second, -1.0f);
    EXPECT_EQ(c.v->on(2).back().second, 1.0f);
    memset((void*)key, 0, KEY_MAX);
    key[KEY_9_PAD] = 1;
    c.frame();
    EXPECT_EQ(c.v->on(0).back().second, 0.0f);
    EXPECT_EQ(c.v->on(4).back().second, -1.0f);
}

TEST(Steering, AMovingMouseOverridesPitchAndYaw)
{
    COCKPIT c;
    c.g.settings.mouse_on = true;
    c.g.settings.mouse_x_scale = 0.5f;
    key[KEY_8_PAD] = 1;
    MOUSE_INPUT m;
    m.mx = 2;
    m.my = -1;
    read_continuous_controls(c.g, m);
    EXPECT_EQ(c.v->on(3).back().second, -0.1f);
    EXPECT_EQ(c.v->on(5).back().second, 1.0f);
}

TEST(Steering, EachGlanceKeyTurnsTheHeadItsWayAndLettingGoBringsItBack)
{
    COCKPIT c;
    const struct {
        int k;
        float yaw, pitch;
    } glances[] = {{KEY_HOME, 0, 64}, {KEY_INSERT, -32, 32}, {KEY_PGUP, 32, 32},
                   {KEY_END, 0, -64}, {KEY_DEL, -64, 0},     {KEY_PGDN, 64, 0}};
    float head[2];
    for (const auto& g : glances) {
        key[g.k] = 1;
        c.frame();
        c.v->tick(1.0f);
        c.v->get_head_angle(head);
        EXPECT_EQ(head[0], g.yaw) << g.k;
        EXPECT_EQ(head[1], g.pitch) << g.k;
        key[g.k] = 0;
    }
    key[KEY_HOME] = key[KEY_PGDN] = 1;  // the first held key wins
    c.frame();
    c.v->tick(1.0f);
    c.v->get_head_angle(head);
    EXPECT_EQ(head[1], 64.0f);
    key[KEY_HOME] = key[KEY_PGDN] = 0;
    c.frame();
    c.v->tick(1.0f);
    c.v->get_head_angle(head);
    EXPECT_EQ(head[0] + head[1], 0.0f);
}

TEST(Joystick, DeadZoneAndFullTravel)
{
    for (int dead : {0, 25, -25})
        EXPECT_EQ(joy_to_float(dead), 0.0f) << dead;
    EXPECT_GT(joy_to_float(27), 0.0f);
    EXPECT_NEAR(joy_to_float(64), 0.0527f, 1e-3f);
    EXPECT_FLOAT_EQ(joy_to_float(128), 1.0f);
    EXPECT_FLOAT_EQ(joy_to_float(-128), -1.0f);
}

TEST(Joystick, ABoundStickSteersItsButtonsSwapYawForRollAndFireAndAStillThrottleSendsNothing)
{
    COCKPIT c;
    c.g.settings.joystick_on = true;
    // Two sticks of three and two axes and two buttons, as Allegro fills
    // joy[] for a calibrated joystick.
    num_joysticks = 1;
    joy[0].num_sticks = 2;
    joy[0].stick[0].num_axis = 3;
    joy[0].stick[1].num_axis = 2;
    joy[0].num_buttons = 2;
    bind_joystick();
    ASSERT_EQ(joy_thrust_y, &joy[0].stick[0].axis[2].pos);
    ASSERT_EQ(joy_roll_gear_toggle, &joy[0].button[1].b);
    joy[0].stick[0].axis[0].pos = 128;   // gear: yaw right
    joy[0].stick[0].axis[1].pos = 128;   // stick back: nose down unless inverted
    joy[0].stick[0].axis[2].pos = -128;  // throttle
    joy[0].stick[1].axis[0].pos = -128;  // slide left
    joy[0].stick[1].axis[1].pos = 128;   // sink
    update_joy_delta();
    c.frame();
    EXPECT_EQ(c.v->on(5).back().second, 1.0f);
    EXPECT_EQ(c.v->on(4).back().second, 0.0f);
    EXPECT_EQ(c.v->on(3).back().second, -1.0f);
    EXPECT_EQ(c.v->on(0).back().second, -1.0f);
    EXPECT_EQ(c.v->on(2).back().second, -1.0f);
    EXPECT_TRUE(c.v->on(1).empty());  // the throttle did not move
    joy[0].button[1].b = 1;  // the toggle held: the gear rolls instead
    joy[0].button[0].b = 1;
    joy_invert_y = true;
    c.frame();
    EXPECT_EQ(c.v->on(4).back().second, -1.0f);
    EXPECT_EQ(c.v->on(5).back().second, 0.0f);
    EXPECT_EQ(c.v->on(3).back().second, 1.0f);
    EXPECT_TRUE(c.v->trigger);
    joy_invert_y = false;
    joy[0].num_buttons = 1;  // fewer buttons and axes: those missing stay unbound
    joy[0].stick[0].num_axis = 2;
    bind_joystick();
    EXPECT_NE(joy_fire, nullptr);
    EXPECT_EQ(joy_roll_gear_toggle, nullptr);
    EXPECT_NE(joy_pitch, nullptr);
    EXPECT_EQ(joy_thrust_y, nullptr);
    memset(&joy[0], 0, sizeof joy[0]);
    num_joysticks = 0;
    bind_joystick();  // no joystick: nothing bound
    EXPECT_EQ(joy_pitch, nullptr);
    EXPECT_EQ(joy_fire, nullptr);
    free_joy_delta();
}

TEST(CommandKeys, PanelModesNeitherWrapNorClamp)
{
    COCKPIT c;
    int saved[5];
    memcpy(saved, mfd_screen_mode, sizeof(saved));
    for (int i = 0; i < 3; i++)
        dispatch_key(c.g, KEY_1);
    EXPECT_EQ(mfd_screen_mode[0], -2);
    dispatch_key(c.g, KEY_8);
    EXPECT_EQ(mfd_screen_mode[3], 4);
    memcpy(mfd_screen_mode, saved, sizeof(saved));
}

TEST(CommandKeys, F10ListsTheWorldInOrder)
{
    COCKPIT c;
    c.v->set_id_string("alpha 1");
    dispatch_key(c.g, KEY_F10);
    EXPECT_EQ(c.row(0), "[] : n/a");   // viewpoint
    EXPECT_EQ(c.row(1), "[] : n/a");   // camera
    EXPECT_EQ(c.row(2), "[alpha 1] : VESSEL");
    EXPECT_EQ(c.row(3), "");
}

TEST(CommandKeys, StabilizerKeysToggleAndReportOnTheConsole)
{
    COCKPIT c;
    for (int k : {KEY_F11, KEY_F12, KEY_F12, KEY_F12, KEY_F11})
        dispatch_key(c.g, k);
    const char* rows[] = {"Stabilizer on",  "R-Stabilizer on",  "H-Stabilizer off", "R-Stabilizer on",
                          "H-Stabilizer on", "R-Stabilizer off", "H-Stabilizer off", "Stabilizer off"};
    for (int r = 0; r < 8; r++)
        EXPECT_EQ(c.row(r), rows[r]) << r;
    EXPECT_FALSE(c.v->get_stabilizer() || c.v->get_rstabilizer() || c.v->get_hstabilizer());
}

TEST(CommandKeys, ResetPutsTheVesselBackAtTheOrigin)
{
    COCKPIT c;
    c.v->locate_rel(10, 20, 30);
    float push[3] = {5, 5, 5};
    c.v->set_impulse(push);
    c.g.throttle = 0.5f;
    dispatch_key(c.g, KEY_5_PAD);
    EXPECT_EQ(c.v->get_rel().t[0], 0.0f);
    EXPECT_EQ(c.v->get_rel().t[1], 0.0f);
    EXPECT_EQ(c.v->get_rel().t[2], start_height(c.v));  // not in the ground
    float vel[3];
    c.v->get_vel(vel);
    EXPECT_EQ(vel[0], 0.0f);
    EXPECT_EQ(c.g.throttle, 0.0f);
    EXPECT_EQ(c.row(0), "Reset ship position");
}

TEST(CommandKeys, EscapeQuitsAfterTheOtherKeys)
{
    COCKPIT c;
    dispatch_key(c.g, KEY_ESC);
    dispatch_key(c.g, KEY_F2);
    EXPECT_TRUE(c.g.quit);
    EXPECT_EQ(c.row(0), "External view");
}

TEST(Views, EachViewSetsItsSourceAndHud)
{
    COCKPIT c;
    EXPECT_TRUE(select_view(c.g, VIEW_PILOT));
    EXPECT_EQ(c.g.view_thing.get(), c.v->get_pilot());
    EXPECT_FALSE(c.v->get_hud_speed()->has_flags(THING_HIDDEN));
    EXPECT_TRUE(select_view(c.g, VIEW_EXTERNAL));
    EXPECT_EQ(c.g.view_thing.get(), c.g.camera_thing.get());
    EXPECT_TRUE(c.v->get_hud_speed()->has_flags(THING_HIDDEN));
    EXPECT_TRUE(select_view(c.g, VIEW_ORIGIN_TO_SHIP));
    EXPECT_EQ(c.g.lookat_target.get(), static_cast<THING*>(c.v));
    EXPECT_EQ(get_viewpoint(), c.g.viewpoint_thing.get());
}

TEST(Views, TheMissileViewNeedsAMissileThatStillExists)
{
    COCKPIT c;
    THING* shot = new THING();
    c.g.world->add_child(shot);
    c.g.player_projectile = shot;
    dispatch_key(c.g, KEY_F5);
    EXPECT_EQ(c.g.view_thing.get(), shot);
    EXPECT_EQ(c.row(0), "Missile view");
    c.g.world->remove_child(shot);  // gone by any road: nothing dangles
    EXPECT_EQ(c.g.view_thing.get(), nullptr);
    EXPECT_EQ(c.g.player_projectile.get(), nullptr);
    dispatch_key(c.g, KEY_F5);
    EXPECT_EQ(c.row(1), "");  // no projectile: no message
}

TEST(Cameras, TheChaseCameraSitsBehindAndAboveAndTheOriginViewLooksAtTheVessel)
{
    COCKPIT c;
    MATRIX_f turn;
    get_rotation_matrix_f(&turn, 0, 0, 64);  // the nose (+y) turned to world +x
    turn.t[0] = 100;
    c.v->set_rel(turn);
    ASSERT_TRUE(select_view(c.g, VIEW_ORIGIN_TO_SHIP));
    place_cameras(c.g);
    const float* cam = c.g.camera_thing->get_abs().t;
    EXPECT_NEAR(cam[0], 70.0f, 1e-3f);  // 30 m behind
    EXPECT_NEAR(cam[1], 0.0f, 1e-3f);
    EXPECT_NEAR(cam[2], 5.0f, 1e-3f);   // 5 m above
    const MATRIX_f& eye = c.g.viewpoint_thing->get_abs();
    EXPECT_NEAR(eye.t[0], 0.0f, 1e-4f);     // it stays at the origin
    EXPECT_NEAR(eye.v[0][1], 1.0f, 1e-4f);  // and turns its nose (+y) along x to the vessel
    EXPECT_NEAR(eye.v[1][1], 0.0f, 1e-4f);
}

TEST(Cameras, ATargetWithoutSidewaysOffsetKeepsTheIdentity)
{
    // The look-at turns about an axis in the x-z plane: a target with no x
    // and no z offset leaves the viewpoint as it is.
    float ahead[3] = {0, 50, 0};
    MATRIX_f m;
    look_at_rotation(ahead, &m);
    for (int r = 0; r < 3; r++)
        for (int k = 0; k < 3; k++)
            EXPECT_EQ(m.v[r][k], r == k ? 1.0f : 0.0f);
    float above[3] = {0, 0, 50};
    look_at_rotation(above, &m);
    float nose[3];
    apply_matrix_f(&m, 0, 1, 0, &nose[0], &nose[1], &nose[2]);
    EXPECT_NEAR(nose[2], 1.0f, 1e-5f);  // the view turns up to it
    float side[3] = {10, 10, 0};  // 45 degrees to the right
    look_at_rotation(side, &m);
    float y[3];
    apply_matrix_f(&m, 0, 1, 0, &y[0], &y[1], &y[2]);  // where the nose now points
    EXPECT_NEAR(y[0], 0.7071f, 1e-3f);
    EXPECT_NEAR(y[1], 0.7071f, 1e-3f);
    EXPECT_NEAR(y[2], 0.0f, 1e-3f);
}
