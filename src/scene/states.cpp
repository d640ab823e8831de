#include "scene/states.h"

#include <GL/gl.h>

bool lights_on = false;
bool bfc_on = false;
bool z_write_on = false;
bool z_check_on = false;
bool blend_on = false;
unsigned source_blend_func = GL_ONE;
unsigned dest_blend_func = GL_ZERO;

void enable_lights() { glEnable(GL_LIGHTING); lights_on = true; }
void disable_lights() { glDisable(GL_LIGHTING); lights_on = false; }
void enable_bfc() { glEnable(GL_CULL_FACE); bfc_on = true; }
void disable_bfc() { glDisable(GL_CULL_FACE); bfc_on = false; }
void enable_z_write() { glDepthMask(GL_TRUE); z_write_on = true; }
void disable_z_write() { glDepthMask(GL_FALSE); z_write_on = false; }
void enable_z_check() { glEnable(GL_DEPTH_TEST); z_check_on = true; }
void disable_z_check() { glDisable(GL_DEPTH_TEST); z_check_on = false; }

void enable_z_buffer()
{
    enable_z_check();
    enable_z_write();
}

void select_blend_func(unsigned src, unsigned dst)
{
    if (src == GL_ONE && dst == GL_ZERO) {
        disable_blend_func();
        return;
    }
    glEnable(GL_BLEND);
    source_blend_func = src;
    dest_blend_func = dst;
    blend_on = true;
    glBlendFunc(src, dst);
}

void disable_blend_func() { glDisable(GL_BLEND); blend_on = false; }

bool lights_enabled() { return lights_on; }
bool bfc_enabled() { return bfc_on; }
bool z_write_enabled() { return z_write_on; }
bool z_check_enabled() { return z_check_on; }
bool blend_enabled() { return blend_on; }
unsigned get_blend_src() { return source_blend_func; }
unsigned get_blend_dst() { return dest_blend_func; }
