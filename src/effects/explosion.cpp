#include "effects/explosion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "effects/debris.h"
#include "effects/debris_model.h"
#include "effects/fireball.h"
#include "effects/soundthing.h"
#include "game/globals.h"
#include "render/meshmodel.h"
#include "render/texture.h"
#include "scene/thing.h"
#include "scene/vec3.h"
#include "sound/sounds.h"

float debris_speed = 1.0f;
float debris_rand_speed = 1.5f;
int skip_debris = 1;

// A uniform number in -0.5 .. 0.5.
static float rand_spread()
{
    return random15() / (float)RANDOM15_MAX - 0.5f;
}

// ---------------------------------------------------------------- sprite

BITMAP* make_explosion_sprite_bitmap(int size)
{
    if (size < 1)
        return nullptr;
    BITMAP* bmp = create_bitmap_ex(8, size, size);
    if (!bmp)
        return nullptr;
    float c = (size - 1) / 2.0f;
    // A one-pixel sprite has no edge to fall to: it is all centre.
    float fall = size > 1 ? 2.0f / (size - 1) : 0.0f;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float d = sqrtf((x - c) * (x - c) + (y - c) * (y - c));
            float v = 1.0f - d * fall;
            v = std::clamp(v, 0.0f, 1.0f);
            _putpixel(bmp, x, y, (int)(255.0f * v));
        }
    }
    return bmp;
}

void make_explosion_sprite(int size)
{
    set_color_depth(8);
    BITMAP* bmp = make_explosion_sprite_bitmap(size);
    if (!bmp)
        return;
    assign_texture("$FBSPRITE", bmp, 0);
    destroy_bitmap(bmp);
}

// ---------------------------------------------------------------- harvest

void crop_explosions(THING* thing, THING* where)
{
    if (!thing)
        return;
    unsigned f = thing->get_flags();
    if ((f & THING_EXPLODING) && !(f & THING_DEAD) && thing->get_explosion_delay_counter() <= 0.0f) {
        create_explosion(thing, where);
        thing->clear_flags(THING_EXPLODING);
        thing->set_flags(THING_DEAD);
    }
    for (THING* c = thing->get_first_child(); c; c = c->get_next())
        crop_explosions(c, where);
}

void create_explosion(THING* thing, THING* where)
{
    if (!thing)
        return;
    if (!where)
        where = thing->get_parent();
    if (!where)
        return;
    create_explosion_fireball(thing, where);
    create_explosion_debris(thing, where);
    create_explosion_sound(thing, where);
}

// Effect things are placed in world coordinates; their absolute matrix is
// made at once so that they are drawn and heard where they are from their
// first frame on, before the next matrix update of the world.
static void add_effect(THING* where, THING* effect)
{
    effect->update_abs_matrix();
    where->add_child(effect);
}

// A direction with no zero component, of length 1.
static void random_direction(float* dir)
{
    float len2 = 0.0f;
    for (int i = 0; i < 3; i++) {
        float r;
        // With an odd RANDOM15_MAX no draw is exactly zero; should the range
        // change, redrawing keeps every axis in the spread.
        do
            r = 2.0f * random15() / RANDOM15_MAX - 1.0f;
        while (r == 0.0f);
        dir[i] = r;
        len2 += r * r;
    }
    float len = sqrtf(len2);
    for (int i = 0; i < 3; i++)
        dir[i] /= len;
}

void create_explosion_fireball(THING* thing, THING* where)
{
    int n = thing->get_explosion_nr_fireballs();
    float color[3];
    thing->get_explosion_color(color);
    float radius = thing->get_explosion_radius();
    float time = thing->get_explosion_time();
    float speed = thing->get_explosion_speed();
    float u[3];
    thing->get_vel(u);
    for (int k = 0; k < n; k++) {
        FIREBALL* f = new FIREBALL(color);
        f->reset(1.0f, radius, time, false);
        f->set_rel(thing->get_rel());
        float dir[3], v[3];
        random_direction(dir);
        for (int i = 0; i < 3; i++) {
            float s = random15() * 2.0f * speed / RANDOM15_MAX;
            // A fireball without a lifetime has no drift to spread over it:
            // it keeps the thing's velocity (and is gone at its first tick).
            float drift = time != 0.0f ? dir[i] * s / time : 0.0f;
            v[i] = u[i] + drift;
            if (!std::isfinite(v[i]))
                v[i] = 0.0f;
        }
        f->set_vel(v);
        add_effect(where, f);
    }
}

void create_explosion_debris(THING* thing, THING* where)
{
    if (!thing->get_explosion_debris())
        return;
    MODEL* model = thing->get_model();
    if (!model || !model->is_meshmodel())
        return;
    MESHMODEL* mesh = static_cast<MESHMODEL*>(model);
    const MATRIX_f& m = thing->get_abs();
    float u[3];
    thing->get_vel(u);
    float radius = mesh->get_r();
    // A step below 1 would never leave the face list.
    unsigned step = skip_debris > 1 ? (unsigned)skip_debris : 1u;
    unsigned nr_face = mesh->get_nr_face();
    for (unsigned k = 0; k < nr_face; k += step) {
        unsigned idx[3];
        mesh->get_face(k, idx);
        float p[3][3];
        for (int j = 0; j < 3; j++)
            mesh->get_vtx(idx[j], p[j]);
        float c[3], corner[3][3];
        for (int i = 0; i < 3; i++)
            c[i] = (p[0][i] + p[1][i] + p[2][i]) / 3.0f;
        for (int j = 0; j < 3; j++)
            for (int i = 0; i < 3; i++)
                corner[j][i] = p[j][i] - c[i];
        float w[3];
        for (int i = 0; i < 3; i++)
            w[i] = m.v[i][0] * c[0] + m.v[i][1] * c[1] + m.v[i][2] * c[2];
        float len = length3(w);
        float v[3];
        for (int i = 0; i < 3; i++) {
            float out = len > 0.0f ? debris_speed * w[i] * radius / len : 0.0f;
            v[i] = out + u[i] + rand_spread() * debris_rand_speed;
        }
        DEBRIS* d = new DEBRIS(v);
        d->set_model(new DEBRIS_MODEL(corner[0], corner[1], corner[2]));
        d->set_rel(m);
        d->locate_rel(m.t[0] + w[0], m.t[1] + w[1], m.t[2] + w[2]);
        add_effect(where, d);
    }
}

void create_explosion_sound(THING* thing, THING* where)
{
    SOUND* s = thing->get_explosion_sound();
    if (!s)
        return;
    SOUNDTHING* st = new SOUNDTHING(s->acquire());
    st->locate_rel(thing->get_abs().t);
    add_effect(where, st);
}
