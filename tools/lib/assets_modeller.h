// A small solid modeller for the game's own meshes. Parts are closed
// surfaces (lofts, lathes, wings, boxes, spheres) placed through a transform
// stack; each part is oriented outward when it is finished, and the faces are
// stored the way the game wants them: clockwise seen from outside, because it
// culls OpenGL's front faces and takes normalise((p2 - p1) x (p1 - p0)) as
// the visible side.
//
// Smoothing is steered by vertex sharing: the game smooths over every edge
// whose two faces use the same vertex indices, so a part shares vertices
// where it should look round and splits them at creases.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "write3ds.h"

struct V3 {
    float x = 0, y = 0, z = 0;
};
V3 v3(float x, float y, float z);
V3 operator+(V3 a, V3 b);
V3 operator-(V3 a, V3 b);
V3 operator*(V3 a, float s);
V3 cross(V3 a, V3 b);
float dot(V3 a, V3 b);
float length(V3 a);
V3 normalised(V3 a);  // (0, 0, 0) stays (0, 0, 0)

// Affine transform: p -> m * p + t; columns of m are the images of x, y, z.
struct XFORM {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    V3 t;
    V3 apply(V3 p) const;
    float determinant() const;
};
XFORM operator*(const XFORM& a, const XFORM& b);  // b first, then a
XFORM translate(float x, float y, float z);
XFORM scale(float x, float y, float z);
XFORM rotate_x(float radians);  // right-handed: +y turns toward +z
XFORM rotate_y(float radians);  // +z turns toward +x
XFORM rotate_z(float radians);  // +x turns toward +y
XFORM mirror_x();

// A closed ring of points (a cross-section) for lofting.
using RING = std::vector<V3>;

// Superellipse ring in the x-z plane at height y: half-width a, half-heights
// b_top above and b_bottom below the centre line z = zc; exponent 2 is an
// ellipse, larger values square it off. n points, the first on +x.
RING superellipse_ring(int n, float y, float zc, float a, float b_top, float b_bottom, float exponent);
// Circle of radius r around the y axis at height y, n points.
RING circle_ring(int n, float y, float r);

// Loft stations: a ring, the material of the band that leaves it (toward the
// next ring) and whether a crease splits the shading at this ring.
struct STATION {
    RING ring;
    int material = 0;
    bool crease = false;
};

// Wing planform in the part's own frame: the span runs along +x from the
// root station to the tip; y is forward; z up. Airfoil thickness is a
// fraction of the local chord.
struct WING {
    float root_x = 0, tip_x = 1;        // span stations
    float root_le = 1, root_te = -1;    // leading / trailing edge y at the root
    float tip_le = 0, tip_te = -0.5f;   // ... and at the tip
    float root_z = 0, tip_z = 0;        // chord line height (dihedral)
    float thickness = 0.08f;            // thickness / chord
    int chord_points = 8;               // points on each of upper and lower side
    int spans = 2;                      // span stations, at least 2
    int material = 0;
    int tip_material = -1;              // material of the tip cap, -1: same
};

class MODELLER {
public:
    explicit MODELLER(const std::string& object_name);

    // Adds a material (by name: a second add of the same name answers the
    // first) and answers its index.
    int material(const MESH3DS_MATERIAL& m);
    int material(const std::string& name, float r, float g, float b, float self_illum = 0);

    void push(const XFORM& x);  // current = current * x
    void pop();

    // Low level: a vertex through the current transform; triangles and quads
    // given counter-clockwise seen from outside (the part's final orientation
    // check flips a whole part if it came out inside out).
    int vertex(V3 p);
    void tri(int a, int b, int c, int material);
    void quad(int a, int b, int c, int d, int material);

    // A part groups the faces of one closed surface; end_part() turns the
    // whole part outward when its signed volume is negative.
    void begin_part();
    void end_part();

    // Closed primitives (each one is a part of its own).
    // Caps close open ends flat; their material defaults to the adjacent band's.
    void loft(const std::vector<STATION>& stations, int cap_start = -1, int cap_end = -1);
    void lathe(const std::vector<float>& y, const std::vector<float>& r, int segments,
               const std::vector<int>& band_material, bool loop = false);
    void wing(const WING& w);
    void box(V3 lo, V3 hi, int material);
    // Eight corners: bottom face (z low) 0..3, top face 4..7, both in the
    // order (-x,-y), (+x,-y), (+x,+y), (-x,+y).
    void hexahedron(const V3 corner[8], int material);
    void ellipsoid(V3 centre, V3 radii, int slices, int stacks, int material);
    void cylinder(V3 a, V3 b, float r, int segments, int material, int cap_material = -1);

    size_t face_count() const { return mesh.faces.size(); }
    MESH3DS take();

private:
    MESH3DS mesh;
    std::vector<XFORM> stack;
    size_t part_first_face = 0;
    bool in_part = false;
};

// Geometry checks on a finished mesh, as the game will see it.
struct MESH_REPORT {
    float volume = 0;            // signed, from the game's face normals: > 0 when outward
    size_t open_edges = 0;       // edges (welded by position) not matched by a reverse edge
    size_t degenerate_faces = 0; // faces of (near) zero area
    size_t bad_indices = 0;      // faces naming a vertex past the list
    V3 lo, hi;                   // bounding box
};
MESH_REPORT inspect_mesh(const MESH3DS& mesh);
