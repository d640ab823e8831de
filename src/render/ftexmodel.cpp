#include "render/ftexmodel.h"

#include <GL/gl.h>

#include "render/texture.h"
#include "scene/states.h"

unsigned int ftex_quad_list = 0;

namespace {

void draw_unit_quad()
{
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.0f, 0.0f, 1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, 0.0f, 1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(1.0f, 0.0f, -1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, 0.0f, -1.0f);
    glEnd();
}

}  // namespace

FTEXMODEL::FTEXMODEL(const char* texture_name, bool f) : flag(f)
{
    if (texture_name)
        texture = find_texture(texture_name);
}

void FTEXMODEL::load_texture(const char* name)
{
    texture = name ? find_texture(name) : nullptr;
}

void FTEXMODEL::set_color(unsigned int id, float r, float g, float b)
{
    if (id != 0)
        return;
    color[0] = r;
    color[1] = g;
    color[2] = b;
}

void FTEXMODEL::set_parameter(unsigned int id, float value)
{
    if (id == 0)
        size = value;
    else if (id == 1)
        brightness = value;
}

void FTEXMODEL::paint(unsigned short flags)
{
    if (!(flags & PAINT_BLENDED))
        return;
    disable_bfc();
    disable_lights();
    enable_z_check();
    disable_z_write();
    select_blend_func(GL_SRC_ALPHA, GL_ONE);
    glPushMatrix();
    glScalef(size, size, size);
    glColor4f(brightness * color[0], brightness * color[1], brightness * color[2], 1.0f);
    select_texture(texture);
    if (!ftex_quad_list) {
        // Without a list name the quad is drawn directly; the list is tried
        // again next time.
        unsigned int list = glGenLists(1);
        if (list) {
            glNewList(list, GL_COMPILE);
            draw_unit_quad();
            glEndList();
            ftex_quad_list = list;
        }
    }
    if (ftex_quad_list)
        glCallList(ftex_quad_list);
    else
        draw_unit_quad();
    glPopMatrix();
}
