#include "render/model.h"

void MODEL::paint(unsigned short) {}
void MODEL::allegro_paint(BITMAP*, int, int, float) {}
float MODEL::get_r() { return 0.0f; }
void MODEL::set_color(unsigned int, float, float, float) {}
void MODEL::set_color(unsigned int id, float* rgb) { set_color(id, rgb[0], rgb[1], rgb[2]); }
void MODEL::set_parameter(unsigned int, float) {}

void MODEL::set_parameters(unsigned int first, unsigned int count, float* values)
{
    for (unsigned int i = 0; i < count; i++)
        set_parameter(first + i, values[i]);
}

void MODEL::acquire() { refcount++; }
void MODEL::release() { refcount--; }
bool MODEL::may_delete() { return refcount <= 0; }
bool MODEL::is_meshmodel() { return false; }

void MODEL::get_bounding_box_corner(int, float* out)
{
    out[0] = out[1] = out[2] = 0.0f;
}

bool MODEL::bounding_box_check(float*) { return false; }
float MODEL::get_paint_r() { return -1.0f; }

void delete_model(MODEL* m)
{
    if (!m)
        return;
    m->release();
    if (m->may_delete())
        delete m;
}

int trunc_int(float v)
{
    if (!(v > -1e6f))
        return -1000000;
    if (!(v < 1e6f))
        return 1000000;
    return (int)v;
}
