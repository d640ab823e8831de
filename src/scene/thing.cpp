#include "scene/thing.h"

#include <GL/gl.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <vector>

#include "render/model.h"
#include "scene/broad_phase.h"
#include "scene/thing_ref.h"
#include "scene/vec3.h"
#include "scene/view_cull.h"
#include "sound/sounds.h"
#include "ui/colors.h"

float max_hear_dist = 2000.0f;

static THING* viewpoint_thing = nullptr;  // not owned

static void copy_string(char* dst, const char* src)
{
    // 64-byte fields: at most 63 characters, always terminated.
    if (!src)
        src = "";
    strncpy(dst, src, 63);
    dst[63] = 0;
}

// ---------------------------------------------------------------- life cycle

THING::THING()
{
    reset_matrices();
}

THING::THING(THING* parent) : THING()
{
    this->parent = parent;
}

// Deletes a sibling chain one node at a time: a list of any length costs no
// stack, only the depth of the tree does.
static void delete_chain(THING* t)
{
    while (t) {
        THING* following = t->get_next();
        t->set_next(nullptr);
        delete t;
        t = following;
    }
}

THING::~THING()
{
    if (viewpoint_thing == this)
        viewpoint_thing = nullptr;
    while (refs) {
        THING_REF* r = refs;
        unlink_ref(r);
        r->thing = nullptr;
    }
    drop_voice();
    THING* children = first_child;
    first_child = last_child = nullptr;
    delete_chain(children);
    THING* following = next;
    next = nullptr;
    delete_chain(following);
    delete_model(model);
    model = nullptr;
    if (mfd_image)
        destroy_bitmap(mfd_image);
    soundlist.release(sound);
}

void THING::link_ref(THING_REF* r)
{
    r->prev_ref = nullptr;
    r->next_ref = refs;
    if (refs)
        refs->prev_ref = r;
    refs = r;
}

void THING::unlink_ref(THING_REF* r)
{
    if (r->prev_ref)
        r->prev_ref->next_ref = r->next_ref;
    else
        refs = r->next_ref;
    if (r->next_ref)
        r->next_ref->prev_ref = r->prev_ref;
    r->prev_ref = r->next_ref = nullptr;
}

void THING::drop_voice()
{
    if (voice >= 0) {
        deallocate_voice(voice);
        voice = -1;
    }
}

// ---------------------------------------------------------- inert answers

int THING::get_slottype() { return 0; }
const char* THING::get_thingtype_string() { return "n/a"; }
const char* THING::get_vessel_type_string() { return type_string; }
const char* THING::get_vessel_id_string() { return id_string; }
const char* THING::get_name() { return "---"; }
void THING::set_name(const char*) {}
void THING::get_vel(float* out) { out[0] = out[1] = out[2] = 0.0f; }
void THING::get_rot(float* out) { out[0] = out[1] = out[2] = 0.0f; }
float THING::get_heat() { return 0.0f; }
int THING::get_team() { return 0; }
void THING::dumptrace(int) {}
float THING::get_shield() { return 0.0f; }
float THING::get_max_shield() { return 0.0f; }
float THING::get_m() { return 1000.0f; }
void THING::reduce_shield(float) {}
bool THING::is_dead() { return flags & THING_DEAD; }
void* THING::get_explosion_heatfunc() { return nullptr; }
int THING::get_explosion_nr_fireballs() { return 16; }
float THING::get_explosion_time() { return 2.0f; }
bool THING::get_explosion_debris() { return true; }
float THING::get_explosion_radius() { return 1.5f * get_radius(); }
float THING::get_explosion_speed() { return 1.5f * get_radius(); }

void THING::get_explosion_color(float* rgb)
{
    rgb[0] = 1.0f;
    rgb[1] = 0.75f;
    rgb[2] = 0.5f;
}

float THING::get_explosion_delay() { return 1.0f; }
float THING::get_explosion_delay_counter() { return explosion_delay_counter; }

void THING::set_explosion_sound(SOUND* s)
{
    soundlist.release(sound);
    sound = s;
}

SOUND* THING::get_explosion_sound() { return sound; }
unsigned char THING::get_bound_type() { return BOUND_SPHERE; }
void THING::handle_intersect(THING*) {}
void THING::handle_ground_intersect() {}
void THING::set_owner(THING* t) { owner = t; }
THING* THING::get_owner() { return owner; }
void THING::set_type_string(const char* s) { copy_string(type_string, s); }
void THING::set_id_string(const char* s) { copy_string(id_string, s); }

// ---------------------------------------------------------------- tree

THING* THING::find_last()
{
    THING* t = this;
    while (t->next)
        t = t->next;
    return t;
}

void THING::insert(THING* t)
{
    if (!t)
        return;
    THING* last = t->find_last();
    last->next = next;
    next = t;
}

void THING::remove_next()
{
    if (!next)
        return;
    THING* n = next;
    next = n->next;
    n->next = nullptr;
    delete n;
}

void THING::add_child(THING* child)
{
    if (!child)
        return;
    bool stale = false;
    for (THING* t = child; t; t = t->next) {
        t->parent = this;
        stale = stale || (t->flags & (THING_ABS_DIRTY | THING_SUBTREE_DIRTY));
    }
    if (stale) {
        flags |= THING_SUBTREE_DIRTY;
        mark_ancestors_dirty();
    }
    if (!first_child) {
        first_child = child;
    } else {
        assert(last_child && "lastchild");
        last_child->insert(child);
    }
    last_child = child->find_last();
    flags &= ~(THING_RADIUS_VALID | THING_MFD_VALID);
}

void remove_thing(THING*& head, THING* t)
{
    if (!t || !head)
        return;
    if (head == t) {
        head = t->get_next();
        t->set_next(nullptr);
        delete t;
        return;
    }
    for (THING* p = head; p->get_next(); p = p->get_next()) {
        if (p->get_next() == t) {
            p->remove_next();
            return;
        }
    }
}

void THING::remove_child(THING* child)
{
    bool was_last = child && child == last_child;
    remove_thing(first_child, child);
    if (was_last)
        last_child = first_child ? first_child->find_last() : nullptr;
}

THING* find_id_string(THING* first, const char* id)
{
    if (!id)
        return nullptr;
    for (THING* t = first; t; t = t->get_next())
        if (strcmp(t->get_vessel_id_string(), id) == 0)
            return t;
    return nullptr;
}

// ---------------------------------------------------------------- transforms

// Marks this node and its subtree stale, and every ancestor as holding a
// stale node, so that a matrix update can pass over the subtrees that hold
// none (most of the world, the second time in a frame).
void THING::invalidate_abs()
{
    invalidate_subtree();
    mark_ancestors_dirty();
}

void THING::invalidate_subtree()
{
    flags |= THING_ABS_DIRTY | THING_MOVED | THING_SUBTREE_DIRTY;
    flags &= ~THING_REL_IDENTITY;
    for (THING* c = first_child; c; c = c->next)
        c->invalidate_subtree();
    bbox_corner_valid = 0;
}

void THING::mark_ancestors_dirty()
{
    // An ancestor marked already has all of its own ancestors marked.
    for (THING* p = parent; p && !(p->flags & THING_SUBTREE_DIRTY); p = p->parent)
        p->flags |= THING_SUBTREE_DIRTY;
}

void THING::reset_matrices()
{
    rel = identity_matrix_f;
    abs = identity_matrix_f;
    invalidate_abs();
    flags |= THING_REL_IDENTITY;
}

void THING::update_abs_matrix()
{
    if (!(flags & (THING_ABS_DIRTY | THING_SUBTREE_DIRTY)))
        return;
    if (flags & THING_REL_IDENTITY) {
        if (flags & THING_ABS_DIRTY)
            abs = identity_matrix_f;
        for (THING* c = first_child; c; c = c->next)
            c->update_abs_matrix();
    } else {
        if (flags & THING_ABS_DIRTY)
            abs = rel;
        for (THING* c = first_child; c; c = c->next)
            c->update_abs_matrix(abs);
    }
    flags &= ~(THING_ABS_DIRTY | THING_SUBTREE_DIRTY);
}

void THING::update_abs_matrix(const MATRIX_f& parent_abs)
{
    // A node whose abs is current, over a subtree that is, has nothing to
    // do: a parent that moved has marked its whole subtree stale.
    if (!(flags & (THING_ABS_DIRTY | THING_SUBTREE_DIRTY)))
        return;
    if (flags & THING_ABS_DIRTY) {
        if (flags & THING_REL_IDENTITY)
            abs = parent_abs;
        else
            matrix_mul_f(&rel, &parent_abs, &abs);
    }
    for (THING* c = first_child; c; c = c->next)
        c->update_abs_matrix(abs);
    flags &= ~(THING_ABS_DIRTY | THING_SUBTREE_DIRTY);
}

void THING::set_rel(const MATRIX_f& m)
{
    rel = m;
    flags &= ~THING_REL_IDENTITY;
    invalidate_abs();
}

void THING::transform_rel(const MATRIX_f& m)
{
    MATRIX_f out;
    matrix_mul_f(&rel, &m, &out);
    set_rel(out);
}

void THING::rtransform_rel(const MATRIX_f& m)
{
    MATRIX_f out;
    matrix_mul_f(&m, &rel, &out);
    set_rel(out);
}

void THING::translate_rel(const float* v)
{
    rel.t[0] += v[0];
    rel.t[1] += v[1];
    rel.t[2] += v[2];
    flags &= ~THING_REL_IDENTITY;
    invalidate_abs();
}

void THING::locate_rel(const float* v) { locate_rel(v[0], v[1], v[2]); }

void THING::locate_rel(float x, float y, float z)
{
    rel.t[0] = x;
    rel.t[1] = y;
    rel.t[2] = z;
    flags &= ~THING_REL_IDENTITY;
    invalidate_abs();
}

// GL matrices are column-major: a[4c + r] holds row r, column c.
static void mult_gl(const MATRIX_f& m, bool transpose, bool with_translation)
{
    GLfloat a[16] = {};
    for (int r = 0; r < 3; r++)
        for (int c = 0; c < 3; c++)
            a[4 * c + r] = transpose ? m.v[c][r] : m.v[r][c];
    if (with_translation) {
        a[12] = m.t[0];
        a[13] = m.t[1];
        a[14] = m.t[2];
    }
    a[15] = 1.0f;
    glMultMatrixf(a);
}

void THING::apply_abs_matrix() { mult_gl(abs, false, true); }
void THING::apply_abs_rotation() { mult_gl(abs, true, false); }
void THING::apply_abs_location() { glTranslatef(abs.t[0], abs.t[1], abs.t[2]); }
void THING::apply_inv_rotation() { mult_gl(abs, false, false); }
void THING::apply_inv_location() { glTranslatef(-abs.t[0], -abs.t[1], -abs.t[2]); }

// ---------------------------------------------------------------- model

void THING::set_model(MODEL* m)
{
    // Take the new reference first: the new model may be the old one.
    if (m)
        m->acquire();
    delete_model(model);
    model = m;
    flags &= ~THING_MFD_VALID;
}

float THING::get_radius()
{
    if (flags & THING_RADIUS_VALID)
        return radius;
    radius = model ? model->get_r() : 0.0f;
    for (THING* c = first_child; c; c = c->next) {
        float r = c->get_child_radius();
        radius = std::max(radius, r);
    }
    flags |= THING_RADIUS_VALID;
    return radius;
}

float THING::get_child_radius()
{
    return get_radius() + length3(rel.t);
}

float THING::get_paint_radius()
{
    float r = model ? model->get_paint_r() : 0.0f;
    if (r < 0.0f)
        return -1.0f;
    for (THING* c = first_child; c; c = c->next) {
        if (c->flags & THING_HIDDEN)
            continue;  // paints nothing
        float cr = c->get_paint_radius();
        if (cr < 0.0f)
            return -1.0f;
        r = std::max(r, cr + distance3(c->abs.t, abs.t));
    }
    return r;
}

void THING::paint(unsigned short paint_flags)
{
    if (flags & THING_HIDDEN)
        return;
    // Roots hold the ground and the sky around the viewer: never outside,
    // and the whole tree would be measured for nothing.
    if (parent && view_volume.running) {
        float r = get_paint_radius();
        if (r >= 0.0f && sphere_outside_view(abs.t, r)) {
            view_cull_skipped++;
            return;
        }
    }
    if (model) {
        glPushMatrix();
        apply_abs_location();
        apply_inv_rotation();
        model->paint(paint_flags);
        glPopMatrix();
    }
    for (THING* c = first_child; c; c = c->next)
        c->paint(paint_flags);
}

// ---------------------------------------------------------------- tick and death

void THING::tick(float dt)
{
    update_sound();
    if ((flags & THING_EXPLODING) && explosion_delay_counter >= 0.0f)
        explosion_delay_counter -= dt;
}

void THING::tick_children(float dt)
{
    for (THING* c = first_child; c; c = c->next) {
        c->tick_children(dt);
        c->tick(dt);
    }
}

void THING::explode()
{
    if ((flags & (THING_DEAD | THING_EXPLODABLE | THING_EXPLODING)) != THING_EXPLODABLE)
        return;
    flags |= THING_EXPLODING;
    explosion_delay_counter = get_explosion_delay();
}

void THING::receive_hit(float damage)
{
    if (damage <= 0.0f)
        return;
    reduce_shield(damage);
    if (get_shield() <= 0.0f)
        explode();
}

void THING::remove_dead_children()
{
    while (first_child && first_child->is_dead()) {
        remove_thing(first_child, first_child);
        flags &= ~(THING_RADIUS_VALID | THING_MFD_VALID);
    }
    if (!first_child) {
        last_child = nullptr;
        return;
    }
    for (THING* p = first_child; p; p = p->next) {
        while (p->next && p->next->is_dead()) {
            if (p->next == last_child)
                last_child = p;
            p->remove_next();
            flags &= ~(THING_RADIUS_VALID | THING_MFD_VALID);
        }
        // One walk does both levels: what p's subtree holds depends on no
        // sibling. A node without children has nothing to remove: the walk
        // skips the call for the thousands of childless projectiles.
        if (p->first_child)
            p->remove_dead_children();
    }
}

THING* THING::crop_spawn()
{
    for (THING* c = first_child; c; c = c->next)
        if (THING* t = c->crop_spawn())
            return t;
    return nullptr;
}

// ---------------------------------------------------------------- collisions

bool is_collider(unsigned f)
{
    return f & (THING_PASSIVE_COLLIDER | THING_ACTIVE_COLLIDER);
}

// A thing placed at a point that is not finite, or with an extent that is
// not, has no place to be met: it collides with nothing, whatever the other.
static bool has_finite_bounds(THING* t, unsigned char bound)
{
    const float* p = t->get_abs().t;
    if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
        return false;
    return bound != BOUND_SPHERE || std::isfinite(t->get_radius());
}

bool THING::does_intersect(THING* other)
{
    THING* self = this;
    if (!other)
        return false;
    const unsigned gone = THING_DEAD | THING_EXPLODING;
    if ((self->get_flags() & gone) || (other->get_flags() & gone))
        return false;
    if (!is_collider(other->get_flags()) || !is_collider(self->get_flags()))
        return false;
    unsigned char bo = other->get_bound_type(), bs = self->get_bound_type();
    if (bo == BOUND_NONE || bs == BOUND_NONE)
        return false;
    if (bo != BOUND_SPHERE && bs != BOUND_SPHERE)
        return false;
    if (!has_finite_bounds(other, bo) || !has_finite_bounds(self, bs))
        return false;
    float r = 0.0f;
    if (bo == BOUND_SPHERE)
        r += fabsf(other->get_radius());
    if (bs == BOUND_SPHERE)
        r += fabsf(self->get_radius());
    const float* a = self->get_abs().t;
    const float* b = other->get_abs().t;
    float d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    if (fabsf(d[0]) > r || fabsf(d[1]) > r || fabsf(d[2]) > r)
        return false;
    return dot3(d, d) <= r * r;
}

void THING::check_intersect(THING* other)
{
    if (other && other != this && does_intersect(other)) {
        handle_intersect(other);
        other->handle_intersect(this);
    }
}

// Whether the pass offers the pair (a, b), a before b, to a->check_intersect:
// read from the flags as they are when the pair comes up, since a hit earlier
// in the pass may have changed them.
static bool pair_wanted(unsigned a, unsigned b)
{
    bool moved = (a | b) & THING_MOVED;
    bool pair = (b & THING_ACTIVE_COLLIDER) || ((b & THING_PASSIVE_COLLIDER) && (a & THING_ACTIVE_COLLIDER));
    return moved && pair;
}

void THING::check_intersect_children_plain()
{
    for (THING* a = first_child; a; a = a->next) {
        if (is_collider(a->flags)) {
            for (THING* b = a->next; b; b = b->next)
                if (pair_wanted(a->flags, b->flags))
                    a->check_intersect(b);
        }
        a->flags &= ~THING_MOVED;
    }
}

// The plain pass's calls, in its order, for the pairs whose bounds can
// touch. The grid is filled from the children as they are when the pass
// starts: a hit changes flags and shields, never where a thing is, how big
// it is or whether it is a collider at all, so a pair left out could only
// have been refused by does_intersect. Points enter with no extent, spheres
// with their radius, exactly as does_intersect measures them; children that
// cannot collide (no collider bit, no bounds, bounds not finite) stay out.
namespace {

// The broad phase's storage, kept from one pass to the next: rebuilt every
// frame, it would cost an allocation (and for a big world fresh pages to
// fault in) per frame.
struct COLLISION_SCRATCH {
    std::vector<THING*> kids;       // children in list order
    std::vector<int> entry_of;      // grid entry of each child, -1 if none
    std::vector<unsigned> kid_of;   // child of each grid entry
    BROAD_PHASE grid;
    bool busy = false;              // a pass is running on it
};
COLLISION_SCRATCH collision_scratch;

}  // namespace

void THING::check_intersect_children()
{
    // A pass started from inside another (a handler that runs one on its
    // own children) works on storage of its own.
    COLLISION_SCRATCH own;
    COLLISION_SCRATCH& s = collision_scratch.busy ? own : collision_scratch;
    s.busy = true;
    s.kids.clear();
    s.entry_of.clear();
    s.kid_of.clear();
    s.grid.clear();
    for (THING* c = first_child; c; c = c->next) {
        int entry = -1;  // none: only entries >= 0 are looked up
        unsigned char bound = c->get_bound_type();
        if (is_collider(c->flags) && bound != BOUND_NONE && has_finite_bounds(c, bound)) {
            entry = (int)s.grid.size();
            s.grid.add(c->abs.t, bound == BOUND_SPHERE ? fabsf(c->get_radius()) : 0.0f);
            s.kid_of.push_back((unsigned)s.kids.size());
        }
        s.entry_of.push_back(entry);
        s.kids.push_back(c);
    }
    s.grid.build();
    for (size_t k = 0; k < s.kids.size(); k++) {
        THING* a = s.kids[k];
        if (is_collider(a->flags) && s.entry_of[k] >= 0) {
            for (unsigned e : s.grid.candidates_after((unsigned)s.entry_of[k])) {
                THING* b = s.kids[s.kid_of[e]];
                if (pair_wanted(a->flags, b->flags))
                    a->check_intersect(b);
            }
        }
        a->flags &= ~THING_MOVED;
    }
    s.busy = false;
}

// ---------------------------------------------------------------- bounding box and ground

void THING::get_bounding_box_corner(int i, float* out)
{
    assert(i >= 0 && i < 8 && "i >= 0 && i < 8");
    if (!(bbox_corner_valid & (1u << i))) {
        float local[3] = {0.0f, 0.0f, 0.0f};
        if (model)
            model->get_bounding_box_corner(i, local);
        apply_matrix_f(&abs, local[0], local[1], local[2], &bbox_corner[i][0], &bbox_corner[i][1],
                       &bbox_corner[i][2]);
        bbox_corner_valid |= 1u << i;
    }
    out[0] = bbox_corner[i][0];
    out[1] = bbox_corner[i][1];
    out[2] = bbox_corner[i][2];
}

bool THING::bounding_box_check(float* point)
{
    if (!model)
        return false;
    if (flags & THING_ABS_DIRTY)
        update_abs_matrix();
    float d[3] = {point[0] - abs.t[0], point[1] - abs.t[1], point[2] - abs.t[2]};
    float q[3];
    for (int c = 0; c < 3; c++)
        q[c] = abs.v[0][c] * d[0] + abs.v[1][c] * d[1] + abs.v[2][c] * d[2];
    return model->bounding_box_check(q);
}

void THING::check_ground_intersect(float ground_z)
{
    if (!(flags & THING_GROUND_CHECK))
        return;
    if (!model) {
        // Without a model all eight corners are the origin carried by abs,
        // computed as apply_matrix_f does (a matrix gone NaN stays NaN).
        float z = 0.0f * abs.v[2][0] + 0.0f * abs.v[2][1] + 0.0f * abs.v[2][2] + abs.t[2];
        if (z <= ground_z)
            handle_ground_intersect();
        return;
    }
    for (int i = 0; i < 8; i++) {
        float corner[3];
        get_bounding_box_corner(i, corner);
        if (corner[2] <= ground_z) {
            handle_ground_intersect();
            return;
        }
    }
}

void THING::check_ground_intersect_children(float ground_z)
{
    for (THING* c = first_child; c; c = c->next) {
        if (c->first_child)
            c->check_ground_intersect_children(ground_z);
        c->check_ground_intersect(ground_z);
    }
}

// ---------------------------------------------------------------- sound

void THING::play_sound(SOUND* s, bool loop)
{
    drop_voice();
    SAMPLE* sample = s ? s->get_sample() : nullptr;
    voice = sample ? allocate_voice(sample) : -1;
    if (voice < 0)
        return;
    sound_freq = (float)sample->freq;
    if (loop)
        voice_set_playmode(voice, PLAYMODE_LOOP);
    voice_start(voice);
    update_sound();
}

int positional_volume(const float* source, const float* listener, float volume_factor)
{
    float dist = distance3(source, listener);
    if (!(dist < max_hear_dist))
        return 0;
    float v = 255.0f * volume_factor * (1.0f - dist / max_hear_dist);
    if (!(v > 0.0f))  // NaN as well; zero itself gives 0 either way
        return 0;
    return v > 255.0f ? 255 : (int)v;
}

void THING::update_sound()
{
    if (voice < 0)  // voice 0 is a real one: only a sound device hears the difference
        return;
    float listener[3] = {0.0f, 0.0f, 0.0f};
    if (viewpoint_thing)
        memcpy(listener, viewpoint_thing->get_abs().t, sizeof(listener));
    voice_set_volume(voice, positional_volume(abs.t, listener, sound_volume));
    voice_set_pan(voice, 127);
    voice_set_frequency(voice, (int)(sound_pitch * sound_freq));
}

// ---------------------------------------------------------------- outline picture


BITMAP* THING::get_mfd_image()
{
    update_mfd_image();
    return mfd_image;
}

void THING::update_mfd_image()
{
    set_color_depth(32);
    if (!mfd_image) {
        mfd_image = create_bitmap(128, 64);
        flags &= ~THING_MFD_VALID;
        if (!mfd_image)
            return;
    }
    if (flags & THING_MFD_VALID)
        return;
    int fg = get_kvor_color(2), bg = get_kvor_color(1);
    // A thing without extent has nothing to outline and no scale; so has one
    // so small that the scale overflows.
    float r = get_radius();
    float scale = (r > 0.0f && std::isfinite(r)) ? 63.0f / r : 0.0f;
    if (!(scale > 0.0f) || !std::isfinite(scale)) {
        clear_to_color(mfd_image, bg);
        flags |= THING_MFD_VALID;
        return;
    }
    BITMAP* scratch = create_bitmap_ex(32, 129, 65);
    if (!scratch)
        return;
    clear_bitmap(scratch);
    allegro_paint(scratch, 64, 32, scale);
    for (int y = 0; y < 64; y++) {
        for (int x = 0; x < 128; x++) {
            int p = _getpixel32(scratch, x, y);
            bool edge = p != _getpixel32(scratch, x, y + 1) || p != _getpixel32(scratch, x + 1, y);
            _putpixel32(mfd_image, x, y, edge ? fg : bg);
        }
    }
    destroy_bitmap(scratch);
    flags |= THING_MFD_VALID;
}

void THING::allegro_paint(BITMAP* bmp, int x, int y, float scale)
{
    if (model && !(flags & THING_HIDDEN))
        model->allegro_paint(bmp, x, y, scale);
    for (THING* c = first_child; c; c = c->next) {
        float cx = x + c->rel.t[0] * scale;
        float cy = y - c->rel.t[1] * scale * bmp->h / bmp->w;
        // Far-off children land outside the bitmap, where Allegro clips them.
        c->allegro_paint(bmp, trunc_int(cx), trunc_int(cy), scale);
    }
}

// ---------------------------------------------------------------- viewpoint

void select_viewpoint(THING* t) { viewpoint_thing = t; }
THING* get_viewpoint() { return viewpoint_thing; }

THING* check_viewpoint()
{
    if (viewpoint_thing && viewpoint_thing->is_dead())
        viewpoint_thing = nullptr;
    return viewpoint_thing;
}
