// MODEL: what a scene node draws, and the paint pass flags shared by the
// driver, THING and every model kind.
#pragma once

#include <allegro.h>

// Paint pass flags handed to every paint call.
enum : unsigned short {
    PAINT_MATERIALS = 0x0001,      // a mesh applies each face's material
    PAINT_SOLID = 0x0002,          // opaque geometry, depth written
    PAINT_BLENDED = 0x0004,        // additive / alpha effects, depth tested only
    PAINT_TEXTURED = 0x0008,       // a mesh emits texture coordinates
    PAINT_NORMALS = 0x0010,        // debug overlay: normals
    PAINT_VERTICES = 0x0020,       // debug overlay: vertices
    PAINT_VERTEX_NUMBERS = 0x0080, // debug overlay: vertex indices
    PAINT_BOUNDING_BOX = 0x0200,   // mesh bounding box
};

// Abstract root of every model kind. The base describes an inert model that
// draws nothing and has no extent.
//
// Lifetime: the reference count is the number of holders. A THING acquires
// the model it is given and releases it when it replaces it or dies;
// delete_model() destroys a model once nobody holds it any more. A model
// that was never acquired is destroyed by its first delete_model().
class MODEL {
public:
    MODEL() = default;
    MODEL(const MODEL&) = delete;
    MODEL& operator=(const MODEL&) = delete;
    virtual ~MODEL() = default;

    // drawing
    virtual void paint(unsigned short flags);  // draw in local coordinates
    virtual void allegro_paint(BITMAP* bmp, int x, int y, float scale);  // 2-D picture centred at (x, y)
    virtual float get_r();  // radius for visibility and collisions

    // appearance
    virtual void set_color(unsigned int id, float r, float g, float b);
    virtual void set_color(unsigned int id, float* rgb);
    virtual void set_parameter(unsigned int id, float value);
    virtual void set_parameters(unsigned int first, unsigned int count, float* values);

    // lifetime
    virtual void acquire();
    virtual void release();
    virtual bool may_delete();  // true once no holder is left

    // shape queries
    virtual bool is_meshmodel();
    virtual void get_bounding_box_corner(int corner, float* out);  // 3 floats
    virtual bool bounding_box_check(float* point);                 // local point inside the box
    // Radius around the local origin that everything paint() draws stays
    // within, so that the driver may skip a model outside the view. Below 0
    // when the model cannot tell: it is then always painted. Base: -1.
    virtual float get_paint_r();

    int get_refcount() const { return refcount; }

protected:
    int refcount = 0;  // number of holders
};

// Truncation toward zero limited to -1e6 .. 1e6 (NaN gives -1e6), so that
// turning a float parameter or a far-off drawing coordinate into an int is
// always defined.
int trunc_int(float v);

// Gives one holder's reference back and destroys the model when none is
// left. A null model is ignored.
void delete_model(MODEL* m);
