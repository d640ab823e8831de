// GoogleTest first: X11's headers (through AllegroGL) define None.
#include <gtest/gtest.h>

#include <allegro.h>
#include <alleggl.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "game/game.h"
#include "gl_window.h"
#include "render/gl_window.h"
#include "scene/states.h"
#include "ui/colors.h"

void gl_test_begin_frame()
{
    glViewport(0, 0, GL_TEST_W, GL_TEST_H);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.1, 0.1, -0.075, 0.075, 0.2, 5000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glShadeModel(GL_SMOOTH);  // what a test before may have switched
    glDepthMask(GL_TRUE);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    disable_lights();
    disable_bfc();
    disable_blend_func();
    enable_z_buffer();
}

std::vector<unsigned char> gl_test_read()
{
    std::vector<unsigned char> px(GL_TEST_W * GL_TEST_H * 3), rows(px.size());
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, GL_TEST_W, GL_TEST_H, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    for (int y = 0; y < GL_TEST_H; y++)  // OpenGL counts rows from the bottom
        std::copy_n(&px[(GL_TEST_H - 1 - y) * GL_TEST_W * 3], GL_TEST_W * 3, &rows[y * GL_TEST_W * 3]);
    return rows;
}

int main(int argc, char** argv)
{
    if (argc > 1 && !strcmp(argv[1], "--sortie"))  // the real game, its close asked for at once (see RealGame)
        return close_requested = 1, run_game(argc - 1, argv + 1);
    ::testing::InitGoogleTest(&argc, argv);
    if (!getenv("DISPLAY") || !*getenv("DISPLAY")) {
        fprintf(stderr, "GL tests need an X display (DISPLAY is not set)\n");
        return 1;
    }
    install_allegro(SYSTEM_AUTODETECT, &errno, atexit);
    install_allegro_gl();
    if (!open_plain_gl_window(GL_TEST_W, GL_TEST_H)) {
        fprintf(stderr, "could not open the GL test window: %s\n", allegro_error);
        return 1;
    }
    setup_kvor_colors(32);
    glCullFace(GL_FRONT);
    return RUN_ALL_TESTS();
}
