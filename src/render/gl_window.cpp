#include "render/gl_window.h"

#include <allegro.h>
#include <alleggl.h>

bool open_plain_gl_window(int w, int h)
{
    allegro_gl_clear_settings();
    allegro_gl_set(AGL_COLOR_DEPTH, 32);
    allegro_gl_set(AGL_Z_DEPTH, 24);
    allegro_gl_set(AGL_DOUBLEBUFFER, 1);
    allegro_gl_set(AGL_WINDOWED, TRUE);
    allegro_gl_set(AGL_SUGGEST, AGL_COLOR_DEPTH | AGL_Z_DEPTH | AGL_DOUBLEBUFFER | AGL_WINDOWED);
    set_color_depth(32);
    return set_gfx_mode(GFX_OPENGL, w, h, 0, 0) == 0;
}
