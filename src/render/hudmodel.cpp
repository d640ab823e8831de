#include "render/hudmodel.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "render/strokefont.h"
#include "render/texture.h"
#include "scene/states.h"

float hud_color[4] = {0.0f, 1.0f, 0.0f, 1.0f};
float vscale_unit = 10.0f;      // tape units
float vscale_m_unit = 50.0f;    // tape units
float vscale_range = 100.0f;    // tape units either side of the value
float hudfont_sizefac = 0.015f; // font scale per unit of size

static const float OCTAGON = 0.7f;  // the octagon's diagonal factor

HUDMODEL::HUDMODEL() : size(0.0f), style(0), value(0.0f), delta(0.0f)
{
    for (int i = 0; i < 4; i++)
        color[i] = hud_color[i];
}

float HUDMODEL::get_r() { return size; }

void HUDMODEL::set_color(unsigned int id, float r, float g, float b)
{
    if (id != 0)
        return;
    color[0] = r;
    color[1] = g;
    color[2] = b;
    color[3] = 1.0f;
}

void HUDMODEL::set_color(unsigned int id, float* rgba)
{
    if (id != 0 || !rgba)
        return;
    for (int i = 0; i < 4; i++)
        color[i] = rgba[i];
}

void HUDMODEL::set_style(unsigned int s) { style = s < HUD_STYLES ? s : 0; }
void HUDMODEL::set_size(float v) { size = fabsf(v); }
void HUDMODEL::set_value(float v) { value = v; }
void HUDMODEL::set_delta(float d) { delta = d; }

// ------------------------------------------------------------ tapes, headless

// Marks every step from the start value truncated to a multiple of step
// (never below 0) up to value + range, keeping those at or above value -
// range. Counted by index: at a huge value adding step to a float would
// leave it unchanged and the loop would never end.
static int tape_marks(float value, float step, float* out, int max)
{
    if (!std::isfinite(value) || !(step > 0.0f) || !(vscale_range >= 0.0f))
        return 0;
    double lo = (double)value - vscale_range, hi = (double)value + vscale_range;
    double start = trunc(lo / step) * step;
    start = std::max(start, 0.0);
    int limit = (int)(2.0 * vscale_range / step) + 2;
    int count = 0;
    for (int k = 0; k <= limit && count < max; k++) {
        double t = start + k * (double)step;
        if (t > hi)
            break;
        if (t >= lo)
            out[count++] = (float)t;
    }
    return count;
}

int hud_tape_labels(float value, float* out, int max) { return tape_marks(value, vscale_m_unit, out, max); }
int hud_tape_ticks(float value, float* out, int max) { return tape_marks(value, vscale_unit, out, max); }

float hud_tape_z(float value, float t, float size)
{
    float lo = value - vscale_range;
    return (t - lo) * size / vscale_range - size;
}

void hud_readout_texts(float value, float delta, char* value_text, char* delta_text, int size)
{
    snprintf(value_text, size, "%5.0f", value);
    if (fabsf(delta) >= 0.5f)
        snprintf(delta_text, size, "%5.0f", fabsf(delta) + 0.5f);
    else if (size > 0)
        delta_text[0] = 0;
}

// ------------------------------------------------------------ drawing

static void vertex_xz(float x, float z) { glVertex3f(x, 0.0f, z); }

void HUDMODEL::paint_octagon()
{
    float s = size, d = OCTAGON * size;
    glBegin(GL_LINE_LOOP);
    vertex_xz(0, s);
    vertex_xz(d, d);
    vertex_xz(s, 0);
    vertex_xz(d, -d);
    vertex_xz(0, -s);
    vertex_xz(-d, -d);
    vertex_xz(-s, 0);
    vertex_xz(-d, d);
    glEnd();
}

void HUDMODEL::paint_pointer()
{
    if (delta == 0.0f)
        return;
    float s = size;
    float reach = std::clamp(delta, -1.0f, 1.0f);
    glPushMatrix();
    glRotatef(value * 180.0f / (float)M_PI, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, s);
    glBegin(GL_LINE_LOOP);
    vertex_xz(0, 0.2f * s);
    vertex_xz(0.2f * s, 0);
    vertex_xz(-0.2f * s, 0);
    glEnd();
    glBegin(GL_LINES);
    vertex_xz(0, 0);
    vertex_xz(0, -0.2f * s * reach);
    glEnd();
    glPopMatrix();
}

// Text of the stroke font lies in its x-y plane; turned about x it stands
// in the HUD's x-z plane.
static void stand_text_up(float scale)
{
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glScalef(scale, scale, scale);
}

void HUDMODEL::paint_tape()
{
    float s = size;
    bool left = style == HUD_TAPE_LEFT;
    float side = left ? -1.0f : 1.0f;
    float marks[64];

    int n = hud_tape_labels(value, marks, (int)std::size(marks));
    for (int i = 0; i < n; i++) {
        glPushMatrix();
        glTranslatef(side * s, 0.0f, hud_tape_z(value, marks[i], s));
        glBegin(GL_LINES);
        vertex_xz(side * 0.2f * s, 0);
        vertex_xz(0, 0);
        glEnd();
        glTranslatef(side * 0.2f * s, 0.0f, 0.0f);
        stand_text_up(hudfont_sizefac * s * 0.5f);
        glTranslatef(left ? -24.0f : 0.0f, -6.0f, 0.0f);
        stroke_printf("%3.0f", marks[i]);
        glPopMatrix();
    }

    n = hud_tape_ticks(value, marks, (int)std::size(marks));
    glBegin(GL_LINES);
    for (int i = 0; i < n; i++) {
        float z = hud_tape_z(value, marks[i], s);
        vertex_xz(side * 1.1f * s, z);
        vertex_xz(side * s, z);
    }
    vertex_xz(side * s, 0);
    vertex_xz(side * 0.9f * s, 0);
    glEnd();

    char value_text[64], delta_text[64];
    hud_readout_texts(value, delta, value_text, delta_text, sizeof value_text);
    glPushMatrix();
    glTranslatef(side * 1.5f * s, 0.0f, 0.0f);
    stand_text_up(hudfont_sizefac * s);
    glTranslatef(left ? -40.0f : 0.0f, -6.0f, 0.0f);
    stroke_textout(value_text);
    if (delta_text[0]) {
        glTranslatef(0.0f, delta > 0.0f ? 12.0f : -6.0f, 0.0f);
        if (left)
            glTranslatef(20.0f, 0.0f, 0.0f);
        glScalef(0.5f, 0.5f, 0.5f);
        stroke_textout(delta_text);
    }
    glPopMatrix();
}

void HUDMODEL::paint(unsigned short flags)
{
    if (!(flags & PAINT_BLENDED))
        return;
    // Through the cache: switched off behind its back, the cache would still
    // believe a texture bound and skip the next model's selection of it.
    select_texture(nullptr);
    disable_lights();
    disable_bfc();
    disable_z_write();
    enable_z_check();
    select_blend_func(GL_SRC_ALPHA, GL_ONE);
    glColor4fv(color);

    float s = size, d = OCTAGON * size;
    switch (style) {
    case HUD_SQUARE:
        glBegin(GL_LINE_LOOP);
        vertex_xz(-s, -s);
        vertex_xz(s, -s);
        vertex_xz(s, s);
        vertex_xz(-s, s);
        glEnd();
        break;
    case HUD_DIAMOND:
        glBegin(GL_LINE_LOOP);
        vertex_xz(0, -s);
        vertex_xz(s, 0);
        vertex_xz(0, s);
        vertex_xz(-s, 0);
        glEnd();
        break;
    case HUD_BORESIGHT:
        glBegin(GL_LINE_STRIP);
        vertex_xz(-2 * s, 0);
        vertex_xz(-s, 0);
        vertex_xz(0, -s);
        vertex_xz(s, 0);
        vertex_xz(2 * s, 0);
        glEnd();
        glBegin(GL_LINES);
        vertex_xz(0, s);
        vertex_xz(0, 2 * s);
        glEnd();
        break;
    case HUD_VELOCITY:
    case HUD_RVELOCITY:
        paint_octagon();
        glBegin(GL_LINES);
        vertex_xz(0, style == HUD_VELOCITY ? s : -s);
        vertex_xz(0, style == HUD_VELOCITY ? 2 * s : -2 * s);
        vertex_xz(s, 0);
        vertex_xz(2 * s, 0);
        vertex_xz(-s, 0);
        vertex_xz(-2 * s, 0);
        glEnd();
        break;
    case HUD_AT_REST:
        paint_octagon();
        glBegin(GL_LINES);
        vertex_xz(s, s);
        vertex_xz(-s, -s);
        vertex_xz(-s, s);
        vertex_xz(s, -s);
        glEnd();
        break;
    case HUD_TAPE_LEFT:
    case HUD_TAPE_RIGHT:
        paint_tape();
        break;
    case HUD_POINTER:
        paint_pointer();
        break;
    case HUD_AIM:
        glBegin(GL_LINE_STRIP);
        vertex_xz(d, d);
        vertex_xz(s, 0);
        vertex_xz(d, -d);
        glEnd();
        glBegin(GL_LINE_STRIP);
        vertex_xz(-d, -d);
        vertex_xz(-s, 0);
        vertex_xz(-d, d);
        glEnd();
        break;
    }
}
