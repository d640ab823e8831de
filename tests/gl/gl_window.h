// The one OpenGL window the GL tests draw into (640 x 480, windowed).
#pragma once

#include <vector>

constexpr int GL_TEST_W = 640;
constexpr int GL_TEST_H = 480;

// Clears colour and depth and sets a plain projection: 4:3 frustum, near 0.2,
// far 5000, identity model-view, no lights, no blending, no culling.
void gl_test_begin_frame();
// The whole back buffer as RGB bytes, rows from the top.
std::vector<unsigned char> gl_test_read();
