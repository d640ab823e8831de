// The game driver: command line and one frame's bookkeeping, headless.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "game/frame.h"
#include "game/game.h"
#include "game/settings.h"
#include "game/world.h"
#include "scene/thing.h"

namespace {

SETTINGS parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "sortie");
    return parse_command_line((int)args.size(), args.data());
}

}  // namespace

TEST(CommandLine, SizesSwitchesAndScales)
{
    for (auto [arg, w, h] : {std::tuple<const char*, int, int>{"-R0", 320, 240}, {"-R3", 800, 600},
                             {"-R6", 1280, 1024}, {"-R9", 640, 480}, {"-R", 640, 480}}) {
        SETTINGS s = parse({"-R1", arg});  // the last one wins
        EXPECT_EQ(s.screen_w, w) << arg;
        EXPECT_EQ(s.screen_h, h) << arg;
    }
    SETTINGS s = parse({"-w", "-x0", "-mx0.5", "-my-2", "-cL", "-zl", "-s", "-d", "-jy"});
    EXPECT_FALSE(s.fullscreen || s.show_explosions || s.render_method);
    EXPECT_FLOAT_EQ(s.mouse_x_scale, 0.5f);
    EXPECT_FLOAT_EQ(s.mouse_y_scale, -2.0f);
    EXPECT_EQ(s.color_depth + s.z_depth, 32);
    EXPECT_TRUE(s.dither && s.joy_invert_y && s.joystick_on && s.mouse_on);
    EXPECT_FALSE(parse({"-j0"}).joystick_on || parse({"-j-"}).joystick_on || parse({"-m-"}).mouse_on);
    EXPECT_FLOAT_EQ(parse({"-mxjunk"}).mouse_x_scale, 0.0f);  // no number reads as 0
    // Unknown letters and plain arguments change nothing.
    SETTINGS plain, odd = parse({"-q", "-x1", "-cX", "-zq", "-jq", "-mq", "R3", "w", "-", "--help"});
    EXPECT_EQ(odd.screen_w, plain.screen_w);
    EXPECT_EQ(odd.fullscreen, plain.fullscreen);
    EXPECT_EQ(odd.show_explosions, plain.show_explosions);
    EXPECT_EQ(odd.color_depth + odd.z_depth, plain.color_depth + plain.z_depth);
    EXPECT_TRUE(odd.joystick_on && odd.mouse_on && !odd.joy_invert_y);
}

TEST(FrameRate, ShownOnlyAfterAQuarterSecond)
{
    GAME g;
    count_frame_rate(g, 0.0f);
    EXPECT_EQ(g.fps, 0.0f);
    count_frame_rate(g, 0.1f);
    count_frame_rate(g, 0.1f);
    EXPECT_EQ(g.fps, 0.0f);
    count_frame_rate(g, 0.1f);
    EXPECT_NEAR(g.fps, 4.0f / 0.3f, 1e-3f);
    EXPECT_EQ(g.fps_frames, 0);
}

namespace {

// Moves with a fixed velocity and spawns one child-of-world thing on demand.
struct MOVER : THING {
    void tick(float dt) override
    {
        THING::tick(dt);
        float step[3] = {speed * dt, 0, 0};
        translate_rel(step);
    }
    THING* crop_spawn() override
    {
        THING* t = pending;
        pending = nullptr;
        if (t)
            t->set_owner(this);
        return t;
    }
    float speed = 10.0f;
    THING* pending = nullptr;
};

}  // namespace

TEST(Frame, ATwoSecondFrameAdvancesTwoSecondsAndTheFirstNone)
{
    GAME g;
    create_world_roots(g);
    MOVER* m = new MOVER();
    g.world->add_child(m);
    simulate_frame(g, 0.0f);
    EXPECT_FLOAT_EQ(m->get_abs().t[0], 0.0f);
    simulate_frame(g, 2.0f);
    EXPECT_FLOAT_EQ(m->get_abs().t[0], 20.0f);
    destroy_world(g);
}

TEST(Frame, SpawnedThingsJoinTheWorldAndThePlayersBecomeItsProjectile)
{
    GAME g;
    create_world_roots(g);
    MOVER* player = new MOVER();
    g.world->add_child(player);
    g.player = player;
    THING* shot = new THING();
    shot->set_flags(THING_EXPLODABLE);  // a shot, not exhaust
    player->pending = shot;
    simulate_frame(g, 0.01f);
    EXPECT_EQ(shot->get_parent(), g.world);
    EXPECT_EQ(g.world->get_last_child(), shot);
    EXPECT_EQ(g.player_projectile.get(), shot);
    shot->set_flags(THING_DEAD);
    simulate_frame(g, 0.01f);
    EXPECT_EQ(g.player_projectile.get(), nullptr);
    destroy_world(g);
}

TEST(Frame, ADeadViewThingFallsBackAndIsNeverLeftDangling)
{
    GAME g;
    create_world_roots(g);
    THING* eye = new THING();
    g.world->add_child(eye);
    g.view_thing = eye;
    g.lookat_target = eye;
    eye->set_flags(THING_DEAD);
    simulate_frame(g, 0.01f);
    // S4 dropped the dead view before S12 could fall back to the viewpoint.
    EXPECT_EQ(g.view_thing.get(), nullptr);
    EXPECT_EQ(g.lookat_target.get(), nullptr);
    EXPECT_EQ(get_viewpoint(), nullptr);
    destroy_world(g);
    EXPECT_EQ(g.viewpoint_thing.get(), nullptr);
}
