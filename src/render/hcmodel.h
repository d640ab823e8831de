// The procedural models: simple shapes drawn from a handful of numbers. Star
// points, laser bolts, bullet streaks, the sky sphere, the ground and sky
// discs, and two effect shapes (fireball dome, sphere ring).
#pragma once

#include "render/model.h"

class TEXTURE;

// A single point of light, added in the blended pass (a star).
class DOTMODEL : public MODEL {
public:
    DOTMODEL() = default;
    void paint(unsigned short flags) override;
    void set_color(unsigned int id, float r, float g, float b) override;  // every id: the colour
    using MODEL::set_color;  // the float* form stays visible
    void set_parameter(unsigned int id, float value) override;           // 0: point size
    float get_paint_r() override { return 0.0f; }  // one point: drawn where its centre is seen

    const float* get_color() const { return color; }
    float get_point_size() const { return point_size; }

private:
    float color[3] = {1.0f, 1.0f, 1.0f};
    float point_size = 1.0f;  // pixels
};

// A laser bolt: a double pyramid along local y, bright at the front tip and
// fading to nothing over length behind.
class LASER_MODEL : public MODEL {
public:
    LASER_MODEL(float length, float radius, float r0, float g0, float b0, float r1, float g1, float b1);
    void paint(unsigned short flags) override;
    float get_r() override { return radius; }
    float get_paint_r() override;  // the tip ahead, the ring, the tail behind
    void set_color(unsigned int id, float r, float g, float b) override;  // 0 ring, 1 tip
    using MODEL::set_color;  // the float* form stays visible
    void set_parameter(unsigned int id, float value) override;           // 0 length, 1 radius (abs)

    float get_length() const { return length; }
    const float* get_ring_color() const { return ring; }
    const float* get_tip_color() const { return tip; }

private:
    float length;   // local units behind the origin
    float radius;   // of the ring, and the tip's distance ahead
    float ring[3];
    float tip[3];
};

// A bullet streak: a dark spindle along local y whose ends fade out.
class BULLET_MODEL : public MODEL {
public:
    BULLET_MODEL(float radius, float length);
    void paint(unsigned short flags) override;
    float get_r() override { return radius; }
    float get_paint_r() override;

    float get_length() const { return length; }

private:
    float radius;
    float length;  // to each end
};

// The sky sphere: coloured from top through equator to bottom, drawn first
// and behind everything (no depth test, no depth writes).
class SPHERE_MODEL : public MODEL {
public:
    SPHERE_MODEL(float radius, float r0, float g0, float b0, float r1, float g1, float b1, float r2, float g2,
                 float b2);
    void paint(unsigned short flags) override;
    void set_color(unsigned int id, float r, float g, float b) override;  // 0 top, 1 equator, 2 bottom
    using MODEL::set_color;  // the float* form stays visible
    // 0 radius (abs); 1 slices (truncated, at least 4); 2 stacks (truncated, at least 2)
    void set_parameter(unsigned int id, float value) override;
    float get_paint_r() override;

    float get_radius() const { return radius; }
    int get_slices() const { return slices; }
    int get_stacks() const { return stacks; }
    const float* get_color(int id) const { return colors[id]; }  // 0..2

private:
    float radius;
    float colors[3][3];  // top, equator, bottom
    int slices = 12;
    int stacks = 10;
};

// The ground and sky discs: a textured fan in the local x-z plane, the
// texture repeating every `scale` units, fading from the centre colour to
// black at the rim.
class TEX_PLANE_MODEL : public MODEL {
public:
    TEX_PLANE_MODEL(TEXTURE* texture, float radius);
    void paint(unsigned short flags) override;
    void set_color(unsigned int id, float r, float g, float b) override;  // 0: centre colour
    using MODEL::set_color;  // the float* form stays visible
    // 0 radius; 1 texture scale; 2 u offset; 3 centre height; 4 v offset;
    // 5, 6 blend bits 0, 1; 7 depth write; 8 depth test; 9 segments (flags on at >= 0.5)
    void set_parameter(unsigned int id, float value) override;
    float get_paint_r() override;  // the rim, and the raised or lowered centre

    int get_blend_mode() const { return blend_mode; }
    float get_radius() const { return radius; }
    int get_segments() const { return segments; }
    bool get_depth_write() const { return depth_write; }
    bool get_depth_test() const { return depth_test; }

private:
    TEXTURE* texture;          // not owned
    float radius;
    float scale = 10.0f;       // world units per texture repeat
    float u_offset = 0.0f;
    float centre_height = 0.0f;
    float v_offset = 0.0f;
    int blend_mode = 0;        // 0 none, 1 (one, one), 2 alpha, 3 (alpha, one)
    bool depth_write = false;
    bool depth_test = true;
    int segments = 24;
    float centre_color[3] = {1.0f, 1.0f, 1.0f};
};

// Colour schemes of FIREBALL_MODEL.
enum : int { FIREBALL_GREY = 0, FIREBALL_YELLOW = 1, FIREBALL_RED = 2 };

// A unit upper hemisphere, opaque at the top and transparent at the rim,
// coloured by scheme; compiled once into its own display list.
class FIREBALL_MODEL : public MODEL {
public:
    FIREBALL_MODEL(int slices, int stacks, int scheme);
    ~FIREBALL_MODEL() override;
    void paint(unsigned short flags) override;
    float get_r() override { return scale; }
    float get_paint_r() override;  // the dome of radius scale
    void set_parameter(unsigned int id, float value) override;  // 0: scale, through set_r

    virtual void set_r(float r);
    virtual void _paint();          // the dome, as the list holds it
    virtual void update_color();    // colour from intensity by scheme

    float get_intensity() const { return intensity; }
    void set_intensity(float v) { intensity = v; }
    const float* get_color() const { return color; }

private:
    float scale = 1.0f;
    float intensity = 1.0f;  // 0..1 after update_color
    float color[3] = {1.0f, 1.0f, 1.0f};
    unsigned int list = 0;   // owned display list, 0 without a GL context
    bool compiled = false;
    int scheme;
    int slices;
    int stacks;
};

// A band on a sphere that glows at its outer edge and fades inward; raising
// the angle sweeps it down the sphere.
class SPHERE_RING_MODEL : public MODEL {
public:
    SPHERE_RING_MODEL(float radius, float r, float g, float b);
    void paint(unsigned short flags) override;
    void set_color(unsigned int id, float r, float g, float b) override;  // 0: colour
    using MODEL::set_color;  // the float* form stays visible
    // 0 radius (abs); 1 slices (truncated, at least 4); 2 angle, 3 width (radians)
    void set_parameter(unsigned int id, float value) override;
    float get_paint_r() override;

    float get_angle() const { return angle; }
    int get_slices() const { return slices; }

private:
    float angle = 0.0f;  // polar angle of the outer edge, radians
    float radius;
    int slices = 12;
    float width = 0.2f;  // radians
    float color[3];
};
