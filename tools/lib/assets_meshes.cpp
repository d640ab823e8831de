#include "assets_meshes.h"

#include <cmath>
#include <cstdint>
#include <array>
#include <functional>
#include <map>

#include "assets_hulls.h"
#include "assets_modeller.h"

namespace {

const float PI = float(M_PI);

// Colours shared by a hull and its equipment.
struct PAINT {
    int hull, trim, radome, dark, glass, metal, red_light, green_light, white_light;
};

PAINT make_paint(MODELLER& m, V3 hull, V3 trim)
{
    PAINT p;
    p.hull = m.material("hull", hull.x, hull.y, hull.z);
    p.trim = m.material("trim", trim.x, trim.y, trim.z);
    p.radome = m.material("radome", 0.28f, 0.29f, 0.3f);
    p.dark = m.material("intake", 0.06f, 0.06f, 0.07f);
    p.glass = m.material("canopy", 0.12f, 0.22f, 0.3f, 0.15f);
    p.metal = m.material("metal", 0.36f, 0.35f, 0.34f);
    p.red_light = m.material("light red", 1.0f, 0.15f, 0.1f, 1.0f);
    p.green_light = m.material("light green", 0.1f, 1.0f, 0.25f, 1.0f);
    p.white_light = m.material("light white", 1.0f, 1.0f, 0.95f, 1.0f);
    return p;
}

// One fuselage section: station y, centre height, half-width, half-heights
// above and below, squareness, material of the band toward the next one.
struct FSEC {
    float y, zc, a, bt, bb, e;
    int mat;
    bool crease;
};

void fuselage(MODELLER& m, const std::vector<FSEC>& secs, int segments, int end_cap = -1)
{
    std::vector<STATION> st;
    for (const FSEC& s : secs) {
        STATION t;
        t.ring = superellipse_ring(segments, s.y, s.zc, s.a, s.bt, s.bb, s.e);
        t.material = s.mat;
        t.crease = s.crease;
        st.push_back(t);
    }
    m.loft(st, -1, end_cap);
}

// A body of revolution along y with a rectangular-ish section, used for
// intakes, pods and nacelles: stations (y, half-width, half-height), the
// front cap in its own material (an intake mouth or a lens).
void pod(MODELLER& m, V3 at, const std::vector<V3>& yab, float exponent, int mat, int front_cap, int back_cap,
         int segments = 16)
{
    m.push(translate(at.x, at.y, at.z));
    std::vector<STATION> st;
    for (const V3& s : yab) {
        STATION t;
        t.ring = superellipse_ring(segments, s.x, 0, s.y, s.z, s.z, exponent);
        t.material = mat;
        st.push_back(t);
    }
    m.loft(st, front_cap, back_cap);
    m.pop();
}

// Runs the builder once as it is and once mirrored to the left side.
void both_sides(MODELLER& m, const std::function<void()>& build)
{
    build();
    m.push(mirror_x());
    build();
    m.pop();
}

// A vertical (or canted) surface built as a wing whose span runs up: the
// planform's x becomes height above `base`, leaning outward by `cant`.
void fin(MODELLER& m, V3 base, float cant, const WING& w)
{
    m.push(translate(base.x, base.y, base.z) * rotate_y(-PI / 2 + cant));
    m.wing(w);
    m.pop();
}

WING planform(float root_x, float tip_x, float root_le, float root_te, float tip_le, float tip_te, float root_z,
              float tip_z, float thickness, int mat, int tip_mat)
{
    WING w;
    w.root_x = root_x;
    w.tip_x = tip_x;
    w.root_le = root_le;
    w.root_te = root_te;
    w.tip_le = tip_le;
    w.tip_te = tip_te;
    w.root_z = root_z;
    w.tip_z = tip_z;
    w.thickness = thickness;
    w.material = mat;
    w.tip_material = tip_mat;
    return w;
}

void light(MODELLER& m, V3 at, float r, int mat) { m.ellipsoid(at, v3(r, r * 1.6f, r), 8, 5, mat); }

// ---------------------------------------------------------------------------
// Hulls. Nose along +y, up +z, right +x; origins near the centre of mass.

MESH3DS kestrel_hull()
{
    MODELLER m("kestrel");
    PAINT p = make_paint(m, v3(0.62f, 0.66f, 0.72f), v3(0.16f, 0.22f, 0.48f));
    fuselage(m,
             {{7.0f, -0.05f, 0, 0, 0, 2, p.radome, false},
              {6.5f, -0.04f, 0.2f, 0.19f, 0.19f, 2, p.radome, false},
              {5.6f, -0.02f, 0.42f, 0.4f, 0.38f, 2, p.hull, false},
              {4.4f, 0.0f, 0.62f, 0.6f, 0.52f, 2.2f, p.hull, false},
              {3.0f, 0.02f, 0.8f, 0.66f, 0.62f, 2.4f, p.hull, false},
              {1.3f, 0.0f, 0.92f, 0.66f, 0.68f, 2.6f, p.trim, false},
              {0.8f, 0.0f, 0.94f, 0.66f, 0.68f, 2.6f, p.hull, false},
              {-2.0f, 0.0f, 0.94f, 0.62f, 0.66f, 2.6f, p.hull, false},
              {-4.5f, 0.0f, 0.78f, 0.56f, 0.58f, 2.4f, p.hull, false},
              {-5.7f, 0.0f, 0.6f, 0.5f, 0.5f, 2.2f, p.metal, true},
              {-6.0f, 0.0f, 0.55f, 0.48f, 0.48f, 2.2f, p.metal, false}},
             20, p.dark);
    m.ellipsoid(v3(0, 3.1f, 0.62f), v3(0.44f, 1.75f, 0.56f), 16, 10, p.glass);
    // Dorsal spine from the canopy to the fin.
    fuselage(m,
             {{1.8f, 0.45f, 0, 0, 0, 2, p.hull, false},
              {0.8f, 0.5f, 0.3f, 0.25f, 0.2f, 2.5f, p.hull, false},
              {-4.0f, 0.48f, 0.28f, 0.22f, 0.2f, 2.5f, p.hull, false},
              {-5.2f, 0.42f, 0, 0, 0, 2, p.hull, false}},
             10);
    both_sides(m, [&] {
        pod(m, v3(0.95f, 0, -0.08f), {v3(2.4f, 0.3f, 0.4f), v3(1.8f, 0.32f, 0.42f), v3(-1.2f, 0.28f, 0.38f)},
            4.0f, p.hull, p.dark, p.hull);
        m.wing(planform(0.6f, 4.6f, 1.0f, -4.8f, -3.0f, -4.5f, -0.14f, -0.04f, 0.055f, p.hull, p.trim));
        fin(m, v3(0.35f, 0, -0.35f), PI / 2 + 0.55f,
            planform(0.0f, 0.75f, -3.9f, -5.4f, -4.7f, -5.45f, 0, 0, 0.07f, p.hull, p.trim));
    });
    fin(m, v3(0, 0, 0.45f), 0, planform(0.0f, 2.35f, -2.3f, -5.9f, -4.95f, -5.95f, 0, 0, 0.06f, p.hull, p.trim));
    light(m, v3(4.62f, -3.9f, -0.04f), 0.07f, p.green_light);
    light(m, v3(-4.62f, -3.9f, -0.04f), 0.07f, p.red_light);
    light(m, v3(0, -5.55f, 2.8f), 0.06f, p.white_light);
    m.cylinder(v3(0, 6.9f, -0.05f), v3(0, 7.7f, -0.05f), 0.025f, 6, p.metal);
    return m.take();
}

MESH3DS bison_hull()
{
    MODELLER m("bison");
    PAINT p = make_paint(m, v3(0.42f, 0.46f, 0.36f), v3(0.7f, 0.62f, 0.32f));
    fuselage(m,
             {{8.6f, -0.3f, 0, 0, 0, 2, p.radome, false},
              {8.2f, -0.28f, 0.45f, 0.4f, 0.45f, 2.2f, p.radome, false},
              {7.3f, -0.2f, 0.95f, 0.8f, 0.85f, 2.5f, p.trim, false},
              {6.4f, -0.1f, 1.18f, 0.98f, 1.0f, 2.7f, p.hull, false},
              {3.5f, 0.1f, 1.5f, 1.08f, 1.2f, 3.0f, p.hull, false},
              {0.0f, 0.1f, 1.55f, 1.12f, 1.25f, 3.0f, p.hull, false},
              {-3.0f, 0.15f, 1.4f, 1.05f, 1.1f, 2.8f, p.hull, false},
              {-5.5f, 0.25f, 1.0f, 0.85f, 0.8f, 2.5f, p.hull, false},
              {-7.2f, 0.35f, 0.6f, 0.55f, 0.5f, 2.2f, p.metal, true},
              {-7.6f, 0.4f, 0.4f, 0.35f, 0.35f, 2.0f, p.metal, false}},
             22, p.metal);
    m.ellipsoid(v3(0, 5.0f, 1.02f), v3(0.62f, 1.9f, 0.62f), 16, 10, p.glass);
    // Chin gun pack.
    pod(m, v3(0, 0, -0.62f), {v3(7.3f, 0.55f, 0.32f), v3(6.8f, 0.8f, 0.38f), v3(4.6f, 0.82f, 0.4f), v3(3.6f, 0.5f, 0.25f)},
        4.0f, p.trim, p.dark, p.trim);
    both_sides(m, [&] {
        m.wing(planform(1.2f, 7.6f, 1.9f, -2.3f, 1.1f, -1.1f, 0.55f, 0.75f, 0.12f, p.hull, p.trim));
        // Engine nacelle on a stub above the rear body.
        pod(m, v3(2.05f, 0, 1.35f),
            {v3(-1.4f, 0.58f, 0.58f), v3(-1.9f, 0.74f, 0.74f), v3(-4.2f, 0.72f, 0.72f), v3(-5.0f, 0.64f, 0.64f)}, 2.0f,
            p.hull, p.dark, p.metal, 18);
        m.box(v3(1.0f, -4.3f, 0.85f), v3(1.55f, -2.1f, 1.3f), p.hull);
        m.wing(planform(0.4f, 4.1f, -5.2f, -7.4f, -5.8f, -7.3f, 0.55f, 0.6f, 0.08f, p.hull, p.hull));
        fin(m, v3(4.1f, 0, -0.45f), 0,
            planform(0.0f, 3.1f, -5.0f, -7.6f, -5.9f, -7.4f, 0, 0, 0.07f, p.hull, p.trim));
        m.box(v3(4.0f, -7.35f, 2.5f), v3(4.2f, -6.0f, 2.62f), p.metal);
    });
    light(m, v3(7.62f, -0.1f, 0.75f), 0.09f, p.green_light);
    light(m, v3(-7.62f, -0.1f, 0.75f), 0.09f, p.red_light);
    m.cylinder(v3(0, 8.5f, -0.3f), v3(0, 9.3f, -0.3f), 0.035f, 6, p.metal);
    return m.take();
}

MESH3DS heron_hull()
{
    MODELLER m("heron");
    PAINT p = make_paint(m, v3(0.78f, 0.78f, 0.74f), v3(0.6f, 0.16f, 0.12f));
    fuselage(m,
             {{8.6f, -0.1f, 0, 0, 0, 2, p.radome, false},
              {8.0f, -0.08f, 0.28f, 0.26f, 0.26f, 2, p.radome, false},
              {6.8f, -0.02f, 0.62f, 0.58f, 0.55f, 2, p.hull, false},
              {5.2f, 0.0f, 0.85f, 0.72f, 0.72f, 2.2f, p.hull, false},
              {3.0f, 0.0f, 0.95f, 0.78f, 0.85f, 2.4f, p.hull, false},
              {-1.0f, 0.0f, 0.98f, 0.78f, 0.92f, 2.5f, p.hull, false},
              {-4.5f, 0.0f, 0.95f, 0.75f, 0.8f, 2.6f, p.trim, false},
              {-5.1f, 0.0f, 0.96f, 0.72f, 0.76f, 2.7f, p.hull, false},
              {-7.3f, 0.0f, 1.05f, 0.55f, 0.55f, 3.0f, p.metal, true},
              {-7.6f, 0.0f, 1.02f, 0.52f, 0.52f, 3.0f, p.metal, false}},
             22, p.metal);
    m.ellipsoid(v3(0, 4.6f, 0.66f), v3(0.48f, 1.8f, 0.52f), 16, 10, p.glass);
    fuselage(m,
             {{3.0f, 0.6f, 0, 0, 0, 2, p.hull, false},
              {2.0f, 0.62f, 0.32f, 0.26f, 0.2f, 2.5f, p.hull, false},
              {-5.0f, 0.62f, 0.3f, 0.24f, 0.2f, 2.5f, p.hull, false},
              {-6.4f, 0.5f, 0, 0, 0, 2, p.hull, false}},
             10);
    both_sides(m, [&] {
        WING w = planform(0.8f, 7.2f, 0.6f, -3.6f, -1.6f, -3.0f, -0.2f, 0.35f, 0.09f, p.hull, p.trim);
        w.spans = 3;
        m.wing(w);
        m.wing(planform(0.6f, 2.3f, 5.6f, 4.5f, 4.9f, 4.35f, 0.05f, 0.12f, 0.06f, p.hull, p.trim));
        m.wing(planform(0.5f, 2.8f, -5.6f, -7.5f, -6.9f, -7.5f, 0.1f, 0.15f, 0.06f, p.hull, p.hull));
    });
    fin(m, v3(0, 0, 0.7f), 0, planform(0.0f, 2.9f, -3.4f, -7.4f, -6.1f, -7.3f, 0, 0, 0.06f, p.hull, p.trim));
    light(m, v3(7.22f, -2.4f, 0.35f), 0.08f, p.green_light);
    light(m, v3(-7.22f, -2.4f, 0.35f), 0.08f, p.red_light);
    light(m, v3(0, -6.7f, 3.62f), 0.06f, p.white_light);
    m.cylinder(v3(0, 8.5f, -0.1f), v3(0, 9.4f, -0.1f), 0.03f, 6, p.metal);
    return m.take();
}

MESH3DS falcon_hull()
{
    MODELLER m("falcon");
    PAINT p = make_paint(m, v3(0.5f, 0.55f, 0.6f), v3(0.85f, 0.85f, 0.88f));
    fuselage(m,
             {{8.4f, -0.05f, 0, 0, 0, 2, p.radome, false},
              {7.8f, -0.04f, 0.25f, 0.24f, 0.24f, 2, p.radome, false},
              {6.6f, 0.0f, 0.6f, 0.55f, 0.5f, 2.2f, p.hull, false},
              {5.0f, 0.05f, 0.85f, 0.72f, 0.62f, 2.4f, p.hull, false},
              {3.4f, 0.05f, 1.3f, 0.72f, 0.62f, 3.0f, p.hull, false},
              {1.0f, 0.0f, 1.9f, 0.62f, 0.62f, 3.6f, p.hull, false},
              {-2.5f, 0.0f, 1.95f, 0.58f, 0.58f, 3.6f, p.trim, false},
              {-3.0f, 0.0f, 1.9f, 0.58f, 0.58f, 3.6f, p.hull, false},
              {-5.8f, 0.0f, 1.5f, 0.5f, 0.52f, 3.4f, p.hull, false},
              {-6.5f, 0.0f, 1.3f, 0.48f, 0.48f, 3.2f, p.metal, true},
              {-6.7f, 0.0f, 1.25f, 0.47f, 0.47f, 3.2f, p.metal, false}},
             24, p.metal);
    m.ellipsoid(v3(0, 4.3f, 0.66f), v3(0.46f, 1.65f, 0.54f), 16, 10, p.glass);
    both_sides(m, [&] {
        pod(m, v3(1.45f, 0, -0.1f), {v3(3.2f, 0.4f, 0.42f), v3(2.6f, 0.42f, 0.44f), v3(-0.6f, 0.3f, 0.36f)}, 5.0f,
            p.hull, p.dark, p.hull);
        m.wing(planform(1.5f, 6.2f, 0.8f, -4.8f, -3.6f, -4.7f, -0.05f, 0.05f, 0.05f, p.hull, p.trim));
        m.wing(planform(1.2f, 3.6f, -4.9f, -6.9f, -5.8f, -6.7f, 0.0f, 0.0f, 0.045f, p.hull, p.trim));
        fin(m, v3(1.3f, 0, 0.3f), 0.26f, planform(0.0f, 2.4f, -3.6f, -6.3f, -5.5f, -6.5f, 0, 0, 0.06f, p.hull, p.trim));
    });
    light(m, v3(6.22f, -4.1f, 0.05f), 0.07f, p.green_light);
    light(m, v3(-6.22f, -4.1f, 0.05f), 0.07f, p.red_light);
    m.cylinder(v3(0, 8.3f, -0.05f), v3(0, 9.0f, -0.05f), 0.025f, 6, p.metal);
    return m.take();
}

MESH3DS raider_hull()
{
    MODELLER m("raider");
    PAINT p = make_paint(m, v3(0.2f, 0.2f, 0.22f), v3(0.75f, 0.12f, 0.08f));
    fuselage(m,
             {{5.2f, 0.0f, 0, 0, 0, 2, p.trim, false},
              {4.7f, 0.0f, 0.22f, 0.22f, 0.22f, 2, p.trim, false},
              {3.6f, 0.0f, 0.55f, 0.5f, 0.45f, 2.2f, p.trim, false},
              {2.0f, 0.02f, 0.72f, 0.6f, 0.55f, 2.4f, p.hull, false},
              {-1.0f, 0.0f, 0.75f, 0.6f, 0.55f, 2.5f, p.hull, false},
              {-3.5f, 0.05f, 0.55f, 0.45f, 0.42f, 2.3f, p.hull, false},
              {-4.2f, 0.1f, 0.42f, 0.38f, 0.36f, 2.2f, p.metal, true},
              {-4.4f, 0.1f, 0.4f, 0.36f, 0.34f, 2.2f, p.metal, false}},
             18, p.metal);
    m.ellipsoid(v3(0, 2.3f, 0.55f), v3(0.4f, 1.3f, 0.5f), 14, 8, p.glass);
    pod(m, v3(0, 0, 0.62f), {v3(0.6f, 0.3f, 0.22f), v3(0.2f, 0.32f, 0.24f), v3(-3.2f, 0.2f, 0.15f)}, 3.0f, p.hull,
        p.dark, p.hull, 12);
    both_sides(m, [&] {
        m.wing(planform(0.5f, 4.4f, 0.2f, -2.6f, 1.2f, 0.2f, -0.05f, 0.1f, 0.07f, p.hull, p.trim));
        fin(m, v3(0.15f, 0, 0.3f), 0.62f, planform(0.0f, 1.9f, -2.3f, -4.3f, -3.6f, -4.4f, 0, 0, 0.07f, p.hull, p.trim));
    });
    light(m, v3(4.42f, 0.7f, 0.1f), 0.06f, p.green_light);
    light(m, v3(-4.42f, 0.7f, 0.1f), 0.06f, p.red_light);
    return m.take();
}

// A cockpit seen from the pilot's eye e: dashboard hood behind the cockpit
// panels, windscreen frame, canopy bow and side sills. Every piece is a
// closed solid that the pilot sees from outside.
MESH3DS cockpit(const std::string& name, V3 e, V3 frame_colour)
{
    MODELLER m(name);
    int dash = m.material("dashboard", 0.09f, 0.09f, 0.1f);
    int frame = m.material("frame", frame_colour.x, frame_colour.y, frame_colour.z);
    int sill = m.material("sill", 0.2f, 0.2f, 0.22f);
    int lamp = m.material("warning lamp", 1.0f, 0.55f, 0.1f, 1.0f);
    m.push(translate(e.x, e.y, e.z));
    // Dashboard: its face toward the pilot sits behind the cockpit panels
    // (which the game draws over it) and close enough to hide the nose deck
    // below the panels; the hood above shades them.
    V3 d[8] = {v3(-0.66f, 0.55f, -1.0f), v3(0.66f, 0.55f, -1.0f), v3(0.66f, 1.5f, -1.0f), v3(-0.66f, 1.5f, -1.0f),
               v3(-0.66f, 0.6f, -0.13f), v3(0.66f, 0.6f, -0.13f), v3(0.6f, 1.5f, -0.2f), v3(-0.6f, 1.5f, -0.2f)};
    m.hexahedron(d, dash);
    V3 hood[8] = {v3(-0.64f, 0.52f, -0.14f), v3(0.64f, 0.52f, -0.14f), v3(0.58f, 1.45f, -0.21f),
                  v3(-0.58f, 1.45f, -0.21f), v3(-0.64f, 0.52f, -0.1f), v3(0.64f, 0.52f, -0.1f),
                  v3(0.58f, 1.45f, -0.17f), v3(-0.58f, 1.45f, -0.17f)};
    m.hexahedron(hood, sill);
    // Windscreen arch (its pillars frame the view's upper corners), canopy
    // bow behind the head, side sills and two warning lamps on the hood.
    both_sides(m, [&] {
        m.cylinder(v3(0.55f, 1.1f, -0.1f), v3(0.32f, 0.5f, 0.42f), 0.03f, 6, frame);
        m.cylinder(v3(0.32f, 0.5f, 0.42f), v3(0.0f, 0.42f, 0.5f), 0.03f, 6, frame);
        m.cylinder(v3(0.6f, -0.35f, -0.15f), v3(0.34f, -0.2f, 0.4f), 0.035f, 6, frame);
        m.cylinder(v3(0.34f, -0.2f, 0.4f), v3(0.0f, -0.15f, 0.48f), 0.035f, 6, frame);
        m.box(v3(0.62f, -0.8f, -0.42f), v3(0.8f, 1.0f, -0.26f), sill);
        m.box(v3(0.52f, 0.56f, -0.1f), v3(0.58f, 0.6f, -0.07f), lamp);
    });
    m.pop();
    return m.take();
}

// ---------------------------------------------------------------------------
// Equipment. Item frame: +y is where the item points (thrust goes the other
// way, guns fire along it), +z up; the origin sits on the hull skin.

MESH3DS jet_nozzle(const std::string& name, float r, float len)
{
    MODELLER m(name);
    int outer = m.material("nozzle", 0.3f, 0.28f, 0.26f);
    int petals = m.material("petals", 0.2f, 0.19f, 0.18f);
    int inner = m.material("nozzle inside", 0.1f, 0.08f, 0.07f);
    int glow = m.material("afterburner", 1.0f, 0.55f, 0.2f, 0.9f);
    // Closed profile walked outer surface forward, inner surface back.
    m.lathe({-len, -0.55f * len, 0.0f, 0.0f, -0.45f * len, -len},
            {0.86f * r, 0.96f * r, r, 0.72f * r, 0.64f * r, 0.8f * r}, 20, {petals, outer, inner, inner, inner, inner},
            true);
    m.lathe({-0.3f * len, -0.25f * len, 0.05f}, {0.0f, 0.7f * r, 0.7f * r}, 16, {glow, glow});
    return m.take();
}

MESH3DS rotator()
{
    MODELLER m("rotator");
    int body = m.material("housing", 0.35f, 0.36f, 0.38f);
    int port = m.material("port", 0.08f, 0.08f, 0.08f);
    m.box(v3(-0.3f, -0.3f, -0.2f), v3(0.3f, 0.3f, 0.2f), body);
    for (int i = 0; i < 4; i++) {
        float a = PI / 2 * i;
        V3 dir = v3(std::cos(a), 0, std::sin(a));
        m.cylinder(dir * 0.2f, dir * 0.4f, 0.07f, 8, body, port);
    }
    return m.take();
}

MESH3DS reactor()
{
    MODELLER m("reactor");
    int shell = m.material("reactor shell", 0.45f, 0.44f, 0.4f);
    int band = m.material("containment", 1.0f, 0.65f, 0.15f, 0.8f);
    int cap = m.material("reactor cap", 0.25f, 0.25f, 0.27f);
    m.lathe({-1.0f, -0.9f, -0.6f, -0.5f, 0.0f, 0.1f, 0.6f, 0.7f, 0.9f, 1.0f},
            {0.0f, 0.4f, 0.45f, 0.45f, 0.45f, 0.45f, 0.45f, 0.45f, 0.4f, 0.0f}, 18,
            {cap, shell, band, shell, band, shell, band, shell, cap});
    return m.take();
}

MESH3DS shield_emitter()
{
    MODELLER m("shield");
    int base = m.material("emitter base", 0.3f, 0.32f, 0.36f);
    int dome = m.material("emitter", 0.3f, 0.6f, 1.0f, 0.7f);
    int mast = m.material("mast", 0.5f, 0.5f, 0.52f);
    m.push(rotate_x(PI / 2));  // lathe axis y becomes up
    m.lathe({-0.25f, -0.25f, 0.05f, 0.1f}, {0.0f, 0.42f, 0.38f, 0.0f}, 18, {base, base, base});
    m.pop();
    m.ellipsoid(v3(0, 0, 0.12f), v3(0.3f, 0.3f, 0.2f), 16, 8, dome);
    m.cylinder(v3(0, 0, 0.2f), v3(0, 0, 0.75f), 0.025f, 6, mast);
    m.ellipsoid(v3(0, 0, 0.78f), v3(0.06f, 0.06f, 0.06f), 8, 5, dome);
    return m.take();
}

MESH3DS laser()
{
    MODELLER m("laser");
    int housing = m.material("laser housing", 0.3f, 0.31f, 0.34f);
    int barrel = m.material("laser barrel", 0.55f, 0.56f, 0.6f);
    int coil = m.material("focus coil", 0.2f, 1.0f, 0.4f, 0.8f);
    int lens = m.material("lens", 0.6f, 1.0f, 0.7f, 1.0f);
    pod(m, v3(0, 0, 0), {v3(0.3f, 0.1f, 0.1f), v3(0.2f, 0.14f, 0.14f), v3(-0.6f, 0.14f, 0.14f), v3(-0.7f, 0.08f, 0.08f)},
        4.0f, housing, housing, housing, 12);
    m.lathe({0.25f, 0.25f, 0.5f, 0.5f, 0.6f, 0.6f, 0.9f, 0.9f, 1.0f, 1.0f, 1.45f, 1.55f, 1.6f},
            {0.0f, 0.07f, 0.07f, 0.1f, 0.1f, 0.07f, 0.07f, 0.1f, 0.1f, 0.06f, 0.06f, 0.08f, 0.0f}, 12,
            {barrel, barrel, coil, barrel, barrel, barrel, coil, barrel, barrel, barrel, lens, lens});
    return m.take();
}

MESH3DS cannon()
{
    MODELLER m("cannon");
    int housing = m.material("cannon housing", 0.26f, 0.26f, 0.25f);
    int barrel = m.material("gun metal", 0.18f, 0.18f, 0.19f);
    int muzzle = m.material("muzzle", 0.05f, 0.05f, 0.05f);
    pod(m, v3(0, 0, 0), {v3(0.4f, 0.16f, 0.16f), v3(0.3f, 0.2f, 0.2f), v3(-0.7f, 0.2f, 0.2f), v3(-0.8f, 0.12f, 0.12f)},
        3.0f, housing, housing, housing, 12);
    for (int i = 0; i < 3; i++) {
        float a = 2 * PI * i / 3 + PI / 2;
        V3 off = v3(0.09f * std::cos(a), 0, 0.09f * std::sin(a));
        m.cylinder(off + v3(0, 0.35f, 0), off + v3(0, 1.9f, 0), 0.04f, 8, barrel, muzzle);
    }
    m.cylinder(v3(0, 1.55f, 0), v3(0, 1.65f, 0), 0.16f, 12, housing);
    m.cylinder(v3(0, 0.8f, 0), v3(0, 0.88f, 0), 0.16f, 12, housing);
    return m.take();
}

MESH3DS rocket_pod()
{
    MODELLER m("rocket pod");
    int pod_mat = m.material("pod", 0.4f, 0.42f, 0.34f);
    int tubes = m.material("tubes", 0.07f, 0.07f, 0.06f);
    int band = m.material("pod band", 0.75f, 0.65f, 0.2f);
    m.box(v3(-0.04f, -0.4f, -0.12f), v3(0.04f, 0.4f, 0.08f), pod_mat);
    m.push(translate(0, 0, -0.34f));
    m.lathe({-1.0f, -0.9f, -0.5f, -0.4f, 0.8f, 0.8f}, {0.0f, 0.2f, 0.24f, 0.24f, 0.24f, 0.0f}, 16,
            {pod_mat, pod_mat, band, pod_mat, tubes});
    m.pop();
    return m.take();
}

MESH3DS launcher()
{
    MODELLER m("launcher");
    int pylon = m.material("pylon", 0.5f, 0.5f, 0.5f);
    int rail = m.material("rail", 0.25f, 0.25f, 0.26f);
    V3 c[8] = {v3(-0.05f, -0.7f, -0.2f), v3(0.05f, -0.7f, -0.2f), v3(0.05f, 0.6f, -0.2f), v3(-0.05f, 0.6f, -0.2f),
               v3(-0.06f, -0.9f, 0.08f), v3(0.06f, -0.9f, 0.08f), v3(0.06f, 0.9f, 0.08f), v3(-0.06f, 0.9f, 0.08f)};
    m.hexahedron(c, pylon);
    m.box(v3(-0.07f, -0.8f, -0.27f), v3(0.07f, 0.75f, -0.2f), rail);
    return m.take();
}

// Missiles: body along y, nose at +y.
struct MISSILE_LOOK {
    float length, radius;
    V3 body, nose, band;
    float nose_glow;
    int fin_sets;  // 1: tail fins, 2: tail fins and canards
    bool wings;    // mid-body strakes
};

MESH3DS missile(const std::string& name, const MISSILE_LOOK& l)
{
    MODELLER m(name);
    int body = m.material("missile body", l.body.x, l.body.y, l.body.z);
    int nose = m.material("seeker", l.nose.x, l.nose.y, l.nose.z, l.nose_glow);
    int band = m.material("warhead band", l.band.x, l.band.y, l.band.z);
    int fin_mat = m.material("missile fins", l.body.x * 0.8f, l.body.y * 0.8f, l.body.z * 0.8f);
    int motor = m.material("motor", 0.08f, 0.08f, 0.08f);
    float h = l.length / 2, r = l.radius;
    m.lathe({-h, -h + 0.05f, -h + 0.2f * l.length, -h + 0.25f * l.length, h - 0.3f * l.length, h - 0.12f * l.length, h},
            {0.0f, r * 0.8f, r, r, r, r * 0.75f, 0.0f}, 12, {motor, body, band, body, nose, nose});
    auto fins = [&](float y0, float y1, float span, float tip_chord) {
        for (int i = 0; i < 4; i++) {
            m.push(rotate_y(PI / 4 + PI / 2 * i));
            m.wing(planform(r * 0.5f, r + span, y1, y0, y0 + tip_chord, y0, 0, 0, 0.08f, fin_mat, fin_mat));
            m.pop();
        }
    };
    fins(-h, -h + 0.16f * l.length, r * 2.2f, 0.05f * l.length);
    if (l.fin_sets > 1)
        fins(h - 0.3f * l.length, h - 0.22f * l.length, r * 1.2f, 0.03f * l.length);
    if (l.wings)
        fins(-0.15f * l.length, 0.15f * l.length, r * 1.0f, 0.1f * l.length);
    return m.take();
}

// ---------------------------------------------------------------------------
// Scenery.

MESH3DS navbuoy()
{
    MODELLER m("navbuoy");
    int red = m.material("buoy red", 0.85f, 0.15f, 0.1f);
    int white = m.material("buoy white", 0.9f, 0.9f, 0.88f);
    int metal = m.material("buoy metal", 0.35f, 0.35f, 0.37f);
    int lamp = m.material("beacon", 1.0f, 0.75f, 0.2f, 1.0f);
    // The start view is 1.8 m above the "Origin" buoy: the beacon must stay
    // below the eye, so the buoy is modelled 4.2 m high and built at 0.35.
    m.push(scale(0.35f, 0.35f, 0.35f));
    m.push(rotate_x(PI / 2));  // lathe along y, the buoy stands along z
    m.lathe({0.0f, 0.0f, 0.3f, 0.9f, 1.5f, 2.1f, 2.7f, 3.0f, 3.0f},
            {0.0f, 0.9f, 1.1f, 0.8f, 0.62f, 0.46f, 0.32f, 0.32f, 0.0f}, 16,
            {metal, red, white, red, white, red, metal, metal});
    m.lathe({3.0f, 3.0f, 3.15f, 3.65f, 3.8f, 3.8f}, {0.0f, 0.15f, 0.3f, 0.3f, 0.15f, 0.0f}, 12,
            {lamp, lamp, lamp, lamp, lamp});
    m.pop();
    for (int i = 0; i < 4; i++) {
        float a = PI / 2 * i + PI / 4;
        V3 foot = v3(0.3f * std::cos(a), 0.3f * std::sin(a), 2.95f);
        m.cylinder(foot, v3(0.05f * std::cos(a), 0.05f * std::sin(a), 4.1f), 0.03f, 6, metal);
    }
    m.ellipsoid(v3(0, 0, 4.15f), v3(0.12f, 0.12f, 0.12f), 8, 6, metal);
    m.pop();
    return m.take();
}

// Deterministic hash noise for the rock.
uint32_t hash3(int x, int y, int z, uint32_t seed)
{
    uint32_t h = seed ^ (uint32_t(x) * 0x8da6b343u) ^ (uint32_t(y) * 0xd8163841u) ^ (uint32_t(z) * 0xcb1ab31fu);
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h;
}

float lattice(int x, int y, int z, uint32_t seed) { return float(hash3(x, y, z, seed) & 0xffff) / 65535.0f * 2 - 1; }

float value_noise(V3 p, uint32_t seed)
{
    int x0 = int(std::floor(p.x)), y0 = int(std::floor(p.y)), z0 = int(std::floor(p.z));
    float fx = p.x - x0, fy = p.y - y0, fz = p.z - z0;
    auto s = [](float t) { return t * t * (3 - 2 * t); };
    float sx = s(fx), sy = s(fy), sz = s(fz);
    float r = 0;
    for (int k = 0; k < 8; k++) {
        int dx = k & 1, dy = (k >> 1) & 1, dz = (k >> 2) & 1;
        float w = (dx ? sx : 1 - sx) * (dy ? sy : 1 - sy) * (dz ? sz : 1 - sz);
        r += w * lattice(x0 + dx, y0 + dy, z0 + dz, seed);
    }
    return r;
}

MESH3DS rock()
{
    MODELLER m("rock00");
    int stone = m.material("stone", 0.42f, 0.39f, 0.35f);
    int dark = m.material("stone dark", 0.3f, 0.28f, 0.26f);
    // Icosahedron, subdivided twice, pushed in and out by noise; facets kept
    // flat (no shared vertices) for a broken-stone look.
    const float t = (1 + std::sqrt(5.0f)) / 2;
    std::vector<V3> v = {v3(-1, t, 0), v3(1, t, 0),  v3(-1, -t, 0), v3(1, -t, 0), v3(0, -1, t), v3(0, 1, t),
                         v3(0, -1, -t), v3(0, 1, -t), v3(t, 0, -1), v3(t, 0, 1),  v3(-t, 0, -1), v3(-t, 0, 1)};
    std::vector<std::array<int, 3>> f = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                                         {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                                         {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                                         {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    for (V3& p : v)
        p = normalised(p);
    for (int level = 0; level < 2; level++) {
        std::vector<std::array<int, 3>> next;
        std::map<std::pair<int, int>, int> mid;
        auto midpoint = [&](int a, int b) {
            auto key = std::make_pair(std::min(a, b), std::max(a, b));
            auto it = mid.find(key);
            if (it != mid.end())
                return it->second;
            v.push_back(normalised((v[a] + v[b]) * 0.5f));
            mid[key] = int(v.size() - 1);
            return int(v.size() - 1);
        };
        for (const auto& tri : f) {
            int a = midpoint(tri[0], tri[1]), b = midpoint(tri[1], tri[2]), c = midpoint(tri[2], tri[0]);
            next.push_back({tri[0], a, c});
            next.push_back({tri[1], b, a});
            next.push_back({tri[2], c, b});
            next.push_back({a, b, c});
        }
        f = next;
    }
    for (V3& p : v) {
        float n = 0.55f * value_noise(p * 1.3f, 57) + 0.25f * value_noise(p * 3.1f, 91) + 0.1f * value_noise(p * 6.0f, 13);
        float r = 1.0f + n;
        p = v3(p.x * r * 2.9f, p.y * r * 2.3f, p.z * r * 1.8f);
    }
    m.begin_part();
    for (size_t i = 0; i < f.size(); i++) {
        const auto& tri = f[i];
        V3 c = (v[tri[0]] + v[tri[1]] + v[tri[2]]) * (1.0f / 3);
        int mat = value_noise(c * 0.9f, 7) > 0.15f ? dark : stone;
        m.tri(m.vertex(v[tri[0]]), m.vertex(v[tri[1]]), m.vertex(v[tri[2]]), mat);
    }
    m.end_part();
    return m.take();
}

}  // namespace

std::vector<NAMED_MESH> make_meshes()
{
    std::vector<NAMED_MESH> out;
    out.push_back({"navbuoy.3ds", navbuoy()});
    out.push_back({"rock00.3ds", rock()});
    MISSILE_LOOK rocket = {1.3f, 0.06f, v3(0.75f, 0.75f, 0.7f), v3(0.6f, 0.2f, 0.1f), v3(0.8f, 0.7f, 0.1f), 0, 1, false};
    out.push_back({"dumb_missile.3ds", missile("dumb_missile", rocket)});
    MISSILE_LOOK dumb = {2.2f, 0.11f, v3(0.42f, 0.45f, 0.32f), v3(0.3f, 0.3f, 0.28f), v3(0.8f, 0.7f, 0.1f), 0, 1, false};
    MISSILE_LOOK heat = {2.8f, 0.09f, v3(0.82f, 0.82f, 0.8f), v3(0.15f, 0.2f, 0.35f), v3(0.8f, 0.6f, 0.1f), 0.3f, 2,
                         false};
    MISSILE_LOOK radar = {3.6f, 0.12f, v3(0.9f, 0.9f, 0.88f), v3(0.85f, 0.85f, 0.8f), v3(0.8f, 0.3f, 0.1f), 0, 1, true};
    out.push_back({"models/msl_dumb.3ds", missile("msl_dumb", dumb)});
    out.push_back({"models/msl_heat.3ds", missile("msl_heat", heat)});
    out.push_back({"models/msl_radar.3ds", missile("msl_radar", radar)});
    out.push_back({"models/jet_small.3ds", jet_nozzle("jet_small", 0.5f, 1.1f)});
    out.push_back({"models/jet_large.3ds", jet_nozzle("jet_large", 0.66f, 1.4f)});
    out.push_back({"models/rotator.3ds", rotator()});
    out.push_back({"models/reactor.3ds", reactor()});
    out.push_back({"models/shield.3ds", shield_emitter()});
    out.push_back({"models/laser.3ds", laser()});
    out.push_back({"models/cannon.3ds", cannon()});
    out.push_back({"models/rocket_pod.3ds", rocket_pod()});
    out.push_back({"models/launcher.3ds", launcher()});
    out.push_back({"models/kestrel.3ds", kestrel_hull()});
    out.push_back({"models/bison.3ds", bison_hull()});
    out.push_back({"models/heron.3ds", heron_hull()});
    out.push_back({"models/falcon.3ds", falcon_hull()});
    out.push_back({"models/raider.3ds", raider_hull()});
    const V3 frames[5] = {v3(0.3f, 0.32f, 0.36f), v3(0.28f, 0.3f, 0.24f), v3(0.4f, 0.4f, 0.38f), v3(0.3f, 0.32f, 0.35f),
                          v3(0.3f, 0.12f, 0.1f)};
    for (size_t i = 0; i < hull_layouts().size(); i++) {
        const HULL_LAYOUT& h = hull_layouts()[i];
        out.push_back({"models/" + h.stem + "_cockpit.3ds", cockpit(h.stem + "_cockpit", h.pilot, frames[i % 5])});
    }
    return out;
}
