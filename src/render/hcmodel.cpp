#include "render/hcmodel.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "render/material.h"
#include "render/texture.h"
#include "scene/states.h"

namespace {

constexpr float TWO_PI = 6.28318530718f;
constexpr float PI = 3.14159265359f;

void set3(float* dst, float r, float g, float b)
{
    dst[0] = r;
    dst[1] = g;
    dst[2] = b;
}

// A point on the unit sphere at longitude a (around y from +z toward +x)
// and polar angle t from +y.
void sphere_dir(float a, float t, float* out)
{
    out[0] = sinf(a) * sinf(t);
    out[1] = cosf(t);
    out[2] = cosf(a) * sinf(t);
}

void sphere_vertex(float a, float t, float radius)
{
    float d[3];
    sphere_dir(a, t, d);
    glVertex3f(d[0] * radius, d[1] * radius, d[2] * radius);
}

// The double pyramid shared by lasers and bullets: a fan to the front
// centre and one to the back centre around a ring of four points.
// Like every shape in this file it is drawn with the lights off, so no
// shape here gives normals.
void spindle(float front_y, const float* front_rgba, float back_y, const float* back_rgba, float radius,
             const float* ring_rgba)
{
    glBegin(GL_TRIANGLE_FAN);
    glColor4fv(front_rgba);
    glVertex3f(0.0f, front_y, 0.0f);
    glColor4fv(ring_rgba);
    glVertex3f(0.0f, 0.0f, radius);
    glVertex3f(-radius, 0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, -radius);
    glVertex3f(radius, 0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, radius);
    glEnd();

    glBegin(GL_TRIANGLE_FAN);
    glColor4fv(back_rgba);
    glVertex3f(0.0f, back_y, 0.0f);
    glColor4fv(ring_rgba);
    glVertex3f(0.0f, 0.0f, radius);
    glVertex3f(radius, 0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, -radius);
    glVertex3f(-radius, 0.0f, 0.0f);
    glVertex3f(0.0f, 0.0f, radius);
    glEnd();
}

}  // namespace

// ---------------------------------------------------------------- DOTMODEL

void DOTMODEL::set_color(unsigned int, float r, float g, float b) { set3(color, r, g, b); }

void DOTMODEL::set_parameter(unsigned int id, float value)
{
    if (id == 0)
        point_size = value;
}

void DOTMODEL::paint(unsigned short flags)
{
    if (!(flags & PAINT_BLENDED))
        return;
    disable_lights();
    disable_bfc();
    disable_z_write();
    enable_z_check();
    select_texture(nullptr);
    glColor3fv(color);
    glPointSize(point_size);
    glBegin(GL_POINTS);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glEnd();
}

// ---------------------------------------------------------------- LASER_MODEL

LASER_MODEL::LASER_MODEL(float l, float r, float r0, float g0, float b0, float r1, float g1, float b1)
    : length(l), radius(r)
{
    set3(ring, r0, g0, b0);
    set3(tip, r1, g1, b1);
}

void LASER_MODEL::set_color(unsigned int id, float r, float g, float b)
{
    if (id == 0)
        set3(ring, r, g, b);
    else if (id == 1)
        set3(tip, r, g, b);
}

void LASER_MODEL::set_parameter(unsigned int id, float value)
{
    if (id == 0)
        length = fabsf(value);
    else if (id == 1)
        radius = fabsf(value);
}

void LASER_MODEL::paint(unsigned short flags)
{
    if (!(flags & PAINT_BLENDED))
        return;
    enable_bfc();
    enable_z_buffer();
    disable_lights();
    select_texture(nullptr);
    select_blend_func(GL_ONE, GL_ONE);
    const float front[4] = {tip[0], tip[1], tip[2], 1.0f};
    const float back[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    const float ring_rgba[4] = {ring[0], ring[1], ring[2], 0.5f};
    spindle(radius, front, -length, back, radius, ring_rgba);
}

// ---------------------------------------------------------------- BULLET_MODEL

BULLET_MODEL::BULLET_MODEL(float r, float l) : radius(r), length(l) {}

void BULLET_MODEL::paint(unsigned short flags)
{
    if (!(flags & PAINT_BLENDED))
        return;
    enable_bfc();
    enable_z_buffer();
    disable_lights();
    select_texture(nullptr);
    select_blend_func(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const float clear[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    spindle(length, clear, -length, clear, radius, black);
}

// ---------------------------------------------------------------- SPHERE_MODEL

SPHERE_MODEL::SPHERE_MODEL(float r, float r0, float g0, float b0, float r1, float g1, float b1, float r2,
                           float g2, float b2)
    : radius(r)
{
    set3(colors[0], r0, g0, b0);
    set3(colors[1], r1, g1, b1);
    set3(colors[2], r2, g2, b2);
}

void SPHERE_MODEL::set_color(unsigned int id, float r, float g, float b)
{
    if (id < 3)
        set3(colors[id], r, g, b);
}

void SPHERE_MODEL::set_parameter(unsigned int id, float value)
{
    if (id == 0) {
        radius = fabsf(value);
    } else if (id == 1) {
        slices = trunc_int(value);
        slices = std::max(slices, 4);
    } else if (id == 2) {
        stacks = trunc_int(value);
        stacks = std::max(stacks, 2);
    }
}

// Gradients (the sky's bands, a plane fading to its rim) are drawn smooth
// whatever the S key chose for the meshes: flat, every triangle would take
// its last corner's colour, and the ground plane would go black.
static void begin_gradient() { glShadeModel(GL_SMOOTH); }
static void end_gradient() { glShadeModel(smooth_light ? GL_SMOOTH : GL_FLAT); }

void SPHERE_MODEL::paint(unsigned short flags)
{
    if (!(flags & PAINT_SOLID))
        return;
    disable_bfc();
    disable_lights();
    disable_z_write();
    disable_z_check();
    disable_blend_func();
    select_texture(nullptr);
    const float* top = colors[0];
    const float* eq = colors[1];
    const float* bottom = colors[2];
    begin_gradient();
    for (int i = 1; i <= slices; i++) {  // the last slice closes the round at 2 pi
        float ai = i * TWO_PI / slices;
        float aj = (i - 1) * TWO_PI / slices;
        glBegin(GL_TRIANGLE_STRIP);
        glColor4f(top[0], top[1], top[2], 1.0f);
        glVertex3f(0.0f, radius, 0.0f);
        for (int k = 1; k < stacks; k++) {
            float t = k * PI / stacks;
            float c[3];
            for (int n = 0; n < 3; n++) {
                if (k < stacks / 2)
                    c[n] = top[n] + 2.0f * (eq[n] - top[n]) * k / stacks;
                else
                    c[n] = eq[n] + (bottom[n] - eq[n]) * (2.0f * k / stacks - 1.0f);
            }
            glColor4f(c[0], c[1], c[2], 1.0f);
            sphere_vertex(ai, t, radius);
            sphere_vertex(aj, t, radius);
        }
        glVertex3f(0.0f, -radius, 0.0f);
        glEnd();
    }
    end_gradient();
}

// ---------------------------------------------------------------- TEX_PLANE_MODEL

TEX_PLANE_MODEL::TEX_PLANE_MODEL(TEXTURE* t, float r) : texture(t), radius(r) {}

void TEX_PLANE_MODEL::set_color(unsigned int id, float r, float g, float b)
{
    if (id == 0)
        set3(centre_color, r, g, b);
}

void TEX_PLANE_MODEL::set_parameter(unsigned int id, float value)
{
    switch (id) {
    case 0: radius = value; break;
    case 1: scale = value; break;
    case 2: u_offset = value; break;
    case 3: centre_height = value; break;
    case 4: v_offset = value; break;
    case 5: blend_mode = value >= 0.5f ? (blend_mode | 1) : (blend_mode & ~1); break;
    case 6: blend_mode = value >= 0.5f ? (blend_mode | 2) : (blend_mode & ~2); break;
    case 7: depth_write = value >= 0.5f; break;
    case 8: depth_test = value >= 0.5f; break;
    case 9:
        // A fan needs three rim points to be a disc; fewer would also divide
        // by zero below.
        segments = trunc_int(value);
        segments = std::max(segments, 3);
        break;
    default: break;
    }
}

void TEX_PLANE_MODEL::paint(unsigned short flags)
{
    if (blend_mode == 0 ? !(flags & PAINT_SOLID) : !(flags & PAINT_BLENDED))
        return;
    disable_bfc();
    disable_lights();
    if (depth_write)
        enable_z_write();
    else
        disable_z_write();
    if (depth_test)
        enable_z_check();
    else
        disable_z_check();
    switch (blend_mode) {
    case 1: select_blend_func(GL_ONE, GL_ONE); break;
    case 2: select_blend_func(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); break;
    case 3: select_blend_func(GL_SRC_ALPHA, GL_ONE); break;
    default: disable_blend_func(); break;
    }
    select_texture(texture);
    // A scale of 0 would put infinities into the texture coordinates.
    float s = scale != 0.0f ? scale : 1.0f;
    begin_gradient();
    glBegin(GL_TRIANGLE_FAN);
    glColor4f(centre_color[0], centre_color[1], centre_color[2], 1.0f);
    glTexCoord2f(u_offset / s, v_offset / s);
    glVertex3f(0.0f, centre_height, 0.0f);
    glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
    for (int i = 0; i <= segments; i++) {
        float a = (i % segments) * TWO_PI / segments;  // the last corner is exactly the first
        float x = sinf(a) * radius, z = cosf(a) * radius;
        glTexCoord2f((x + u_offset) / s, (z + v_offset) / s);
        glVertex3f(x, 0.0f, z);
    }
    glEnd();
    end_gradient();
    // Through the cache, so that it knows blending is off.
    disable_blend_func();
}

// ---------------------------------------------------------------- FIREBALL_MODEL

FIREBALL_MODEL::FIREBALL_MODEL(int sl, int st, int sc) : scheme(sc), slices(sl), stacks(st)
{
    list = glGenLists(1);  // 0 without a GL context
}

FIREBALL_MODEL::~FIREBALL_MODEL()
{
    if (list)
        glDeleteLists(list, 1);
}

void FIREBALL_MODEL::set_r(float r) { scale = r; }

void FIREBALL_MODEL::set_parameter(unsigned int id, float value)
{
    if (id == 0)
        set_r(value);
}

void FIREBALL_MODEL::update_color()
{
    float v = intensity;
    if (!(v >= 0.0f))
        v = 0.0f;
    v = std::min(v, 1.0f);
    intensity = v;
    switch (scheme) {
    case FIREBALL_YELLOW:
        if (v > 0.5f)
            set3(color, 1.0f, 1.0f, 2.0f * (v - 0.5f));
        else
            set3(color, 2.0f * v, 2.0f * v, 0.0f);
        break;
    case FIREBALL_RED:
        if (v < 0.33333334f)
            set3(color, 3.0f * v, 0.0f, 0.0f);
        else if (v >= 0.6666667f)
            set3(color, 1.0f, 1.0f, 3.0f * v - 2.0f);
        else
            set3(color, 1.0f, 3.0f * v - 1.0f, 0.0f);
        break;
    default:
        set3(color, v, v, v);
        break;
    }
}

void FIREBALL_MODEL::_paint()
{
    select_texture(nullptr);
    enable_bfc();
    disable_lights();
    enable_z_check();
    disable_z_write();
    for (int i = 1; i <= slices; i++) {  // none without an angle step
        float ai = i * TWO_PI / slices;
        float aj = (i - 1) * TWO_PI / slices;
        glBegin(GL_TRIANGLE_STRIP);
        intensity = 1.0f;
        update_color();
        glColor4f(color[0], color[1], color[2], intensity);
        glVertex3f(0.0f, 1.0f, 0.0f);
        for (int k = 1; k <= stacks / 2; k++) {
            float t = k * PI / stacks;
            intensity = cosf(t) * cosf(t);
            update_color();
            glColor4f(color[0], color[1], color[2], intensity);
            sphere_vertex(ai, t, 1.0f);
            sphere_vertex(aj, t, 1.0f);
        }
        glEnd();
    }
}

void FIREBALL_MODEL::paint(unsigned short flags)
{
    if (!(flags & PAINT_BLENDED))
        return;
    enable_bfc();
    select_texture(nullptr);
    if (list && !compiled) {
        glNewList(list, GL_COMPILE);
        _paint();
        glEndList();
        compiled = true;
    }
    glPushMatrix();
    glScalef(scale, scale, scale);
    if (list) {
        glCallList(list);
        // The list switched these behind the render-state cache's back.
        disable_lights();
        enable_z_check();
        disable_z_write();
    } else {
        _paint();
    }
    glPopMatrix();
}

// ---------------------------------------------------------------- SPHERE_RING_MODEL

SPHERE_RING_MODEL::SPHERE_RING_MODEL(float r, float cr, float cg, float cb) : radius(r)
{
    set3(color, cr, cg, cb);
}

void SPHERE_RING_MODEL::set_color(unsigned int id, float r, float g, float b)
{
    if (id == 0)
        set3(color, r, g, b);
}

void SPHERE_RING_MODEL::set_parameter(unsigned int id, float value)
{
    switch (id) {
    case 0: radius = fabsf(value); break;
    case 1:
        slices = trunc_int(value);
        slices = std::max(slices, 4);
        break;
    case 2: angle = value; break;
    case 3: width = value; break;
    default: break;
    }
}

void SPHERE_RING_MODEL::paint(unsigned short flags)
{
    if (!(flags & PAINT_BLENDED))
        return;
    disable_bfc();
    disable_lights();
    enable_z_check();
    disable_z_write();
    select_texture(nullptr);
    auto clamp_angle = [](float a) { return std::clamp(a, 0.0f, PI); };
    float outer = clamp_angle(angle);
    float inner = clamp_angle(angle - width);
    for (int i = 1; i <= slices; i++) {  // the last slice closes the round at 2 pi
        float ai = i * TWO_PI / slices;
        float aj = (i - 1) * TWO_PI / slices;
        glBegin(GL_POLYGON);
        glColor3fv(color);
        sphere_vertex(ai, outer, radius);
        glColor3f(0.0f, 0.0f, 0.0f);
        sphere_vertex(ai, inner, radius);
        sphere_vertex(aj, inner, radius);
        glColor3fv(color);
        sphere_vertex(aj, outer, radius);
        glEnd();
    }
}

// ------------------------------------------------------------ paint extents

float LASER_MODEL::get_paint_r() { return std::max(fabsf(radius), fabsf(length)); }
float BULLET_MODEL::get_paint_r() { return std::max(fabsf(radius), fabsf(length)); }
float SPHERE_MODEL::get_paint_r() { return fabsf(radius); }
float TEX_PLANE_MODEL::get_paint_r() { return fabsf(radius) + fabsf(centre_height); }
float FIREBALL_MODEL::get_paint_r() { return fabsf(scale); }
float SPHERE_RING_MODEL::get_paint_r() { return fabsf(radius); }
