#include "render/material.h"

#include <allegro.h>
#include <GL/gl.h>

#include <cstdlib>
#include <string>

#include "render/texture.h"
#include "render/utf8_text.h"
#include "scene/states.h"

bool light_materials = false;
float null_color[4] = {0.0f, 0.0f, 0.0f, 1.0f};
bool smooth_light = false;

namespace {

void set3(float* dst, float r, float g, float b)
{
    dst[0] = r;
    dst[1] = g;
    dst[2] = b;
}

void get3(const float* src, float& r, float& g, float& b)
{
    r = src[0];
    g = src[1];
    b = src[2];
}

}  // namespace

MATERIAL::MATERIAL(const char* n)
{
    set_name(n);
}

MATERIAL::~MATERIAL()
{
    free(name);
}

void MATERIAL::set_name(const char* n)
{
    free(name);
    name = n ? ustrdup(valid_utf8(n).c_str()) : nullptr;
}

void MATERIAL::set_emitted(float r, float g, float b) { set3(emitted, r, g, b); }
void MATERIAL::set_ambient(float r, float g, float b) { set3(ambient, r, g, b); }
void MATERIAL::set_diffuse(float r, float g, float b) { set3(diffuse, r, g, b); }

void MATERIAL::set_specular(float r, float g, float b)
{
    set3(specular, r, g, b);
    set3(scaled_specular, r * shine_strength, g * shine_strength, b * shine_strength);
}

void MATERIAL::set_shininess(float s) { shininess = s; }

void MATERIAL::set_shine_strength(float s)
{
    shine_strength = s;
    set3(scaled_specular, specular[0] * s, specular[1] * s, specular[2] * s);
}

void MATERIAL::set_texture(TEXTURE* t) { texture = t; }
void MATERIAL::set_texture(const char* n) { texture = find_texture(n); }

void MATERIAL::get_emitted(float& r, float& g, float& b) const { get3(emitted, r, g, b); }
void MATERIAL::get_ambient(float& r, float& g, float& b) const { get3(ambient, r, g, b); }
void MATERIAL::get_diffuse(float& r, float& g, float& b) const { get3(diffuse, r, g, b); }
void MATERIAL::get_specular(float& r, float& g, float& b) const { get3(specular, r, g, b); }
void MATERIAL::get_scaled_specular(float& r, float& g, float& b) const { get3(scaled_specular, r, g, b); }

void MATERIAL::execute_colors()
{
    if (light_materials) {
        float rgba[4] = {emitted[0], emitted[1], emitted[2], 1.0f};
        glMaterialfv(GL_FRONT, GL_EMISSION, rgba);
        set3(rgba, ambient[0], ambient[1], ambient[2]);
        glMaterialfv(GL_FRONT, GL_AMBIENT, rgba);
        set3(rgba, diffuse[0], diffuse[1], diffuse[2]);
        glMaterialfv(GL_FRONT, GL_DIFFUSE, rgba);
        // The game's look has no highlights (and so no shininess): the
        // stored specular is kept for tools and files only.
        glMaterialfv(GL_FRONT, GL_SPECULAR, null_color);
    } else {
        glColor3fv(ambient);
    }
}

void MATERIAL::execute_switches()
{
    if (light_materials)
        enable_lights();
    else
        disable_lights();
    if (two_sided & MATERIAL_TWO_SIDED)
        disable_bfc();
    else
        enable_bfc();
    disable_blend_func();
}

void MATERIAL::execute()
{
    execute_switches();
    execute_colors();
    select_texture(texture);
}

// ---------------------------------------------------------------- MATERIAL_LIST

MATERIAL_LIST::~MATERIAL_LIST()
{
    for (MATERIAL* m : materials)
        delete m;
}

void MATERIAL_LIST::add(MATERIAL* m)
{
    if (!m)
        return;
    materials.reserve(materials.size() + 1);  // exactly one more slot
    materials.push_back(m);
}

MATERIAL* MATERIAL_LIST::find(const char* n) const
{
    if (materials.empty())
        return nullptr;
    if (n) {
        std::string wanted = valid_utf8(n);
        for (MATERIAL* m : materials)
            if (m->get_name() && ustrcmp(m->get_name(), wanted.c_str()) == 0)
                return m;
    }
    return materials[0];
}

MATERIAL* MATERIAL_LIST::get(unsigned int i) const
{
    return i < materials.size() ? materials[i] : nullptr;
}
