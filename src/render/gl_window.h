// A plain windowed OpenGL screen (32-bit colour, 24-bit depth, double
// buffered) for the tools and tests that draw with the game's code. The
// game itself opens its screen from the command-line settings.
#pragma once

// Allegro and AllegroGL must be installed. False when no window can be had.
bool open_plain_gl_window(int w, int h);
