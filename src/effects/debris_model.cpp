#include "effects/debris_model.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "render/texture.h"
#include "scene/states.h"
#include "scene/vec3.h"

float debris_color[4] = {0.0f, 0.0f, 0.0f, 1.0f};

static const float DEBRIS_MODEL_RADIUS = 0.1f;  // m

DEBRIS_MODEL::DEBRIS_MODEL(const float* a, const float* b, const float* c)
{
    for (int i = 0; i < 3; i++) {
        vtx[0][i] = a[i];
        vtx[1][i] = b[i];
        vtx[2][i] = c[i];
    }
}

float DEBRIS_MODEL::get_r() { return DEBRIS_MODEL_RADIUS; }

void DEBRIS_MODEL::set_parameter(unsigned int id, float value)
{
    if (id == 0)
        scale = value;
}

void DEBRIS_MODEL::paint(unsigned short flags)
{
    if (!(flags & PAINT_SOLID))
        return;
    disable_bfc();
    disable_lights();
    enable_z_buffer();
    // A flat colour: whatever texture the last mesh left bound must not show.
    select_texture(nullptr);
    glColor4fv(debris_color);
    glPushMatrix();
    glScalef(scale, scale, scale);
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 3; i++)
        glVertex3fv(vtx[i]);
    glEnd();
    glPopMatrix();
}

float DEBRIS_MODEL::get_paint_r()
{
    float far = 0.0f;
    for (const float* v : vtx)
        far = std::max(far, length3(v));
    return fabsf(scale) * far;
}
