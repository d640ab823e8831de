// The cockpit drawn for real: the panels re-upload into the same textures
// frame after frame; and the whole game, run from this program.
#include <gtest/gtest.h>

#include <allegro.h>
#include <GL/gl.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "game/controls.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/light.h"
#include "game/render.h"
#include "game/world.h"
#include "gl_window.h"
#include "render/material.h"
#include "render/texture.h"
#include "vessel/vessel.h"

TEST(CockpitGl, ThePanelsKeepTheirTexturesFrameAfterFrame)
{
    GAME g;
    light_materials = smooth_light = true;
    gl_test_begin_frame();
    ASSERT_TRUE(start_scene(g));
    simulate_frame(g, 0.0f);
    VESSEL* v = dynamic_cast<VESSEL*>(g.player.get());
    ASSERT_TRUE(v && select_view(g, VIEW_PILOT));
    v->select_next_target(THING_TARGETABLE, THING_NAVPOINT);
    ASSERT_NE(v->get_target(), nullptr);
    auto next_frame = [&g] {
        simulate_frame(g, 1.0f / 60.0f);
        follow_viewer(g);
        draw_frame(g);
    };
    for (int i = 0; i < 3; i++)
        next_frame();
    auto panels = [] {  // an hour of play re-uploads into the same five textures
        std::vector<std::pair<TEXTURE*, unsigned>> p = {{nullptr, nrtex}};
        for (TEXTURE* t : mfd_tex)
            p.push_back({t, t ? t->get_gl_name() : 0});
        return p;
    };
    std::vector<std::pair<TEXTURE*, unsigned>> before = panels();
    ASSERT_TRUE(std::all_of(before.begin() + 1, before.end(), [](auto& p) { return p.first != nullptr; }));
    int first = std::exchange(mfd_screen_mode[0], 5);  // the message console on the first panel
    for (int i = 0; i < 200; i++)
        next_frame();
    mfd_screen_mode[0] = first;  // the golden frames start from the game's own screens
    EXPECT_EQ(panels(), before);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);

    destroy_world(g);
}

// The whole game, run from this program (--sortie) with its window's close
// asked for at once: the selection screen gives way after a frame, the first
// vessel flies a frame and the game ends well. Help needs no window; without
// a display, or with one that cannot be reached, the start fails saying why.
TEST(RealGame, StartsFliesAFrameAndEndsWellOrSaysWhyItCannot)
{
    char self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    auto run = [&self](const char* env, const char* args) {
        FILE* p = popen((std::string(env) + " '" + self + "' --sortie " + args).c_str(), "r");
        std::string out(1 << 16, '\0');
        out.resize(p ? fread(&out[0], 1, out.size(), p) : 0);  // no shell: a failure, not a crash
        return std::to_string(p ? WEXITSTATUS(pclose(p)) : -1) + " " + out;
    };
    EXPECT_EQ(run("", "-w -o 2>/dev/null"), "0 Create background sphere - OK.\n");
    EXPECT_EQ(run("cd / &&", "-w 2>/dev/null"), "1 Cannot start: no vessel configuration (*.vcd) in data/\n");  // started elsewhere
    std::string help = run("env -u DISPLAY", "--help");
    for (const char* want : {"0 usage: sortie [OPTION]...\n", "-R0 .. -R6", "-w ", "-x0", "Keys:", "pause", "quit"})
        EXPECT_NE(help.find(want), std::string::npos) << want;
    EXPECT_EQ(run("env -u DISPLAY", "-w -h").find("0 usage:"), 0u);
    for (const char* display : {"env -u DISPLAY", "DISPLAY=:97"})  // none, and one without a server
        EXPECT_EQ(run(display, "-w 2>&1").find(std::string("255 Error setting OpenGL graphics mode:\nNo X display: ") +
                                               (display[0] == 'e' ? "DISPLAY is not set" : "cannot open \":97\"") +
                                               "\nAllegro GL error : no OpenGL context without a display\n"), 0u) << display;
}
