// THING: the node that everything in the world is. A tree of first child,
// next sibling and parent; a relative transform and a cached absolute one;
// at most one MODEL; and a large virtual interface whose base versions
// describe an inert object.
#pragma once

#include <allegro.h>

#include "scene/thing_ref.h"

class MODEL;
class SOUND;
class THING_REF;

// Flag bits of THING::flags.
enum : unsigned {
    THING_ABS_DIRTY = 0x1,          // abs must be recomputed
    THING_REL_IDENTITY = 0x2,       // rel is the identity
    THING_DEAD = 0x4,               // to be removed
    THING_EXPLODABLE = 0x8,         // may explode
    THING_EXPLODING = 0x10,         // explosion count-down running
    THING_PASSIVE_COLLIDER = 0x20,  // collides with active colliders
    THING_ACTIVE_COLLIDER = 0x40,   // collides with every collider
    THING_HIDDEN = 0x80,            // neither the node nor its subtree is painted
    THING_TARGETABLE = 0x100,       // may be selected as a target
    THING_ON_RADAR = 0x200,         // shown on the radar
    THING_NAVPOINT = 0x400,         // navigation buoy
    THING_GROUND_CHECK = 0x800,     // tested against the ground
    THING_MOVED = 0x1000,           // moved since the last collision pass
    THING_RADIUS_VALID = 0x2000,    // radius is cached
    THING_MFD_VALID = 0x4000,       // mfd_image is up to date
    THING_SUBTREE_DIRTY = 0x8000,   // some node below may have a stale abs
};

// Bound types of get_bound_type().
enum : unsigned char { BOUND_NONE = 0, BOUND_POINT = 1, BOUND_SPHERE = 2 };

// A frame walks the world's child list a dozen times (tick, matrices,
// collisions, ground, removal, spawn, explosions, targets), and a busy world
// has thousands of children: the fields every walk reads come first, close
// together, so that a walk reads one or two cache lines of each node.
class THING {
public:
    THING();
    explicit THING(THING* parent);  // records the parent; does not insert
    THING(const THING&) = delete;
    THING& operator=(const THING&) = delete;
    // Deletes the voice, the whole child list, the following siblings, the
    // model reference, the outline image and the explosion sound reference.
    virtual ~THING();

    // identity and description
    virtual int get_slottype();
    virtual const char* get_thingtype_string();
    virtual const char* get_vessel_type_string();
    virtual const char* get_vessel_id_string();
    virtual const char* get_name();
    virtual void set_name(const char* name);
    virtual void get_vel(float* out);   // world velocity, m/s
    virtual void get_rot(float* out);   // rotation rate, angle units/s
    virtual float get_heat();
    virtual int get_team();             // 0 = none
    virtual void dumptrace(int depth);  // debugging hook
    virtual void invalidate_abs();      // marks this subtree dirty and moved

    // damage and explosions
    virtual float get_shield();
    virtual float get_max_shield();
    virtual float get_m();  // mass, kg
    virtual void reduce_shield(float amount);
    virtual void explode();  // starts the count-down of an explodable thing
    virtual void receive_hit(float damage);
    virtual bool is_dead();
    virtual void* get_explosion_heatfunc();
    virtual int get_explosion_nr_fireballs();
    virtual float get_explosion_time();    // seconds a fireball lives
    virtual bool get_explosion_debris();
    virtual float get_explosion_radius();
    virtual float get_explosion_speed();
    virtual void get_explosion_color(float* rgb);
    virtual float get_explosion_delay();   // seconds from explode() to the burst
    virtual float get_explosion_delay_counter();
    virtual void set_explosion_sound(SOUND* s);  // takes over the caller's reference
    virtual SOUND* get_explosion_sound();

    // extent and drawing
    virtual float get_radius();        // cached bounding radius of the subtree
    virtual float get_child_radius();  // radius seen from the parent's origin
    virtual void paint(unsigned short flags);
    // Radius around abs.t that the painting of this node and its shown
    // subtree stays within; below 0 when some model cannot tell.
    float get_paint_radius();

    // life
    virtual void tick(float dt);
    virtual void tick_children(float dt);  // the subtree advances; this node not
    virtual void remove_dead_children();
    virtual THING* crop_spawn();  // one newly made thing, in world coordinates, or null

    // collisions
    bool does_intersect(THING* other);  // bounds touch and both may collide
    virtual unsigned char get_bound_type();
    virtual void handle_intersect(THING* other);
    virtual void handle_ground_intersect();
    virtual void check_intersect(THING* other);
    // Every later child is offered to each collider child, in list order,
    // then THING_MOVED is cleared on every child. The broad phase keeps to
    // the pairs whose bounds can touch; the plain form tries every pair and
    // is the reference the broad phase is tested against.
    virtual void check_intersect_children();
    void check_intersect_children_plain();

    virtual void set_owner(THING* owner);  // not owned
    virtual THING* get_owner();
    virtual void set_type_string(const char* s);  // cut to 63 characters
    virtual void set_id_string(const char* s);

    // target-screen outline picture (128 x 64)
    virtual BITMAP* get_mfd_image();
    virtual void update_mfd_image();
    virtual void allegro_paint(BITMAP* bmp, int x, int y, float scale);

    // positional sound
    virtual void play_sound(SOUND* s, bool loop);
    virtual void update_sound();

    // bounding box and ground
    virtual void get_bounding_box_corner(int i, float* out);  // world coordinates
    virtual bool bounding_box_check(float* point);            // world point inside the model's box
    virtual void check_ground_intersect(float ground_z);
    virtual void check_ground_intersect_children(float ground_z);

    // tree
    void set_next(THING* t) { next = t; }
    void set_parent(THING* t) { parent = t; }
    THING* get_next() const { return next; }
    THING* get_parent() const { return parent; }
    THING* get_first_child() const { return first_child; }
    THING* get_last_child() const { return last_child; }
    THING* find_last();
    void insert(THING* t);       // splices the chain starting at t in after this node
    void remove_next();          // unlinks and deletes the node after this one
    void add_child(THING* child);  // appends child and the siblings chained after it
    void remove_child(THING* child);  // unlinks and deletes child

    // transforms
    void reset_matrices();
    void update_abs_matrix();                       // root form
    void update_abs_matrix(const MATRIX_f& parent_abs);
    void set_rel(const MATRIX_f& m);
    void transform_rel(const MATRIX_f& m);   // rel = rel followed by m
    void rtransform_rel(const MATRIX_f& m);  // rel = m followed by rel (m in the local frame)
    void translate_rel(const float* v);
    void locate_rel(const float* v);
    void locate_rel(float x, float y, float z);
    const MATRIX_f& get_rel() const { return rel; }
    const MATRIX_f& get_abs() const { return abs; }
    // Multiply the GL model-view matrix by:
    void apply_abs_matrix();    // abs itself: a point of this thing's into the world
    void apply_abs_rotation();  // abs's rotation undone (a camera looking along this thing)
    void apply_abs_location();  // abs's translation
    void apply_inv_rotation();  // abs's rotation
    void apply_inv_location();  // abs's translation undone

    // model: the node holds one reference on it
    void set_model(MODEL* m);
    MODEL* get_model() const { return model; }

    unsigned get_flags() const { return flags; }
    void set_flags(unsigned bits) { flags |= bits; }
    void clear_flags(unsigned bits) { flags &= ~bits; }
    bool has_flags(unsigned bits) const { return (flags & bits) == bits; }
    int get_voice() const { return voice; }
    void set_sound_volume(float v) { sound_volume = v; }
    void set_sound_pitch(float p) { sound_pitch = p; }
    float get_sound_volume() const { return sound_volume; }
    float get_sound_pitch() const { return sound_pitch; }

protected:
    // Read by every walk of the tree: the first cache line.
    unsigned flags = 0;           // THING_* bits
    int voice = -1;                // Allegro voice, -1 for none
    THING* next = nullptr;         // next sibling; owned
    THING* first_child = nullptr;  // owned
    THING* last_child = nullptr;   // not owned
    THING* parent = nullptr;       // not owned
    // Read by the matrix update, collisions and the ground test.
    MATRIX_f abs;                  // cached world transform
    float radius = 0.0f;           // valid while THING_RADIUS_VALID
    float explosion_delay_counter = 1.0f;  // seconds left before the burst
    MATRIX_f rel;                  // transform relative to the parent
    THING_REF owner;               // who fired or owns this thing; null once it is gone
    MODEL* model = nullptr;        // one reference held
    char type_string[64] = "";
    char id_string[64] = "";
    BITMAP* mfd_image = nullptr;   // owned
    float bbox_corner[8][3];       // world corners, valid per bit of bbox_corner_valid
    unsigned bbox_corner_valid = 0;
    SOUND* sound = nullptr;        // explosion sound; one reference held
    float sound_volume = 1.0f;     // 0..1 factor
    float sound_pitch = 1.0f;      // frequency factor
    float sound_freq = 22050.0f;   // base sample frequency, Hz

private:
    friend class THING_REF;
    void invalidate_subtree();
    void mark_ancestors_dirty();
    void drop_voice();
    void link_ref(THING_REF* r);
    void unlink_ref(THING_REF* r);
    THING_REF* refs = nullptr;  // weak references to this node, nulled when it dies
};

// Unlinks t from the list starting at head and deletes it.
void remove_thing(THING*& head, THING* t);
// The first node of the sibling chain from first whose id is id, or null.
THING* find_id_string(THING* first, const char* id);

// Flags that take part in the collision pass, passively or actively.
bool is_collider(unsigned flags);

// The viewpoint is the listener of positional sound and the centre of the
// background. It never dangles: a destroyed node stops being the viewpoint.
extern float max_hear_dist;  // metres at which a sound falls silent
// Voice volume 0..255 of a sound made at source and heard at listener.
int positional_volume(const float* source, const float* listener, float sound_volume);
void select_viewpoint(THING* t);
THING* get_viewpoint();
THING* check_viewpoint();  // drops a dead viewpoint; answers the viewpoint
