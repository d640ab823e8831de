#include "assets_modeller.h"

#include <cassert>
#include <cmath>
#include <map>
#include <tuple>

V3 v3(float x, float y, float z)
{
    V3 r;
    r.x = x;
    r.y = y;
    r.z = z;
    return r;
}
V3 operator+(V3 a, V3 b) { return v3(a.x + b.x, a.y + b.y, a.z + b.z); }
V3 operator-(V3 a, V3 b) { return v3(a.x - b.x, a.y - b.y, a.z - b.z); }
V3 operator*(V3 a, float s) { return v3(a.x * s, a.y * s, a.z * s); }
V3 cross(V3 a, V3 b) { return v3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x); }
float dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float length(V3 a) { return std::sqrt(dot(a, a)); }
V3 normalised(V3 a)
{
    float l = length(a);
    return l > 0 ? a * (1.0f / l) : a;
}

V3 XFORM::apply(V3 p) const
{
    return v3(m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + t.x,
              m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + t.y,
              m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + t.z);
}

float XFORM::determinant() const
{
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

XFORM operator*(const XFORM& a, const XFORM& b)
{
    XFORM r;
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    r.t = a.apply(b.t);
    return r;
}

XFORM translate(float x, float y, float z)
{
    XFORM r;
    r.t = v3(x, y, z);
    return r;
}

XFORM scale(float x, float y, float z)
{
    XFORM r;
    r.m[0][0] = x;
    r.m[1][1] = y;
    r.m[2][2] = z;
    return r;
}

XFORM rotate_x(float a)
{
    XFORM r;
    r.m[1][1] = std::cos(a);
    r.m[1][2] = -std::sin(a);
    r.m[2][1] = std::sin(a);
    r.m[2][2] = std::cos(a);
    return r;
}

XFORM rotate_y(float a)
{
    XFORM r;
    r.m[0][0] = std::cos(a);
    r.m[0][2] = std::sin(a);
    r.m[2][0] = -std::sin(a);
    r.m[2][2] = std::cos(a);
    return r;
}

XFORM rotate_z(float a)
{
    XFORM r;
    r.m[0][0] = std::cos(a);
    r.m[0][1] = -std::sin(a);
    r.m[1][0] = std::sin(a);
    r.m[1][1] = std::cos(a);
    return r;
}

XFORM mirror_x() { return scale(-1, 1, 1); }

RING superellipse_ring(int n, float y, float zc, float a, float b_top, float b_bottom, float exponent)
{
    RING ring;
    float e = 2.0f / exponent;
    for (int j = 0; j < n; j++) {
        float th = 2.0f * float(M_PI) * j / n;
        float c = std::cos(th), s = std::sin(th);
        float x = a * std::copysign(std::pow(std::fabs(c), e), c);
        float b = s >= 0 ? b_top : b_bottom;
        float z = zc + b * std::copysign(std::pow(std::fabs(s), e), s);
        ring.push_back(v3(x, y, z));
    }
    return ring;
}

RING circle_ring(int n, float y, float r) { return superellipse_ring(n, y, 0, r, r, r, 2); }

MODELLER::MODELLER(const std::string& object_name)
{
    mesh.object_name = object_name;
    stack.push_back(XFORM());
}

int MODELLER::material(const MESH3DS_MATERIAL& m)
{
    for (size_t i = 0; i < mesh.materials.size(); i++)
        if (mesh.materials[i].name == m.name)
            return int(i);
    mesh.materials.push_back(m);
    return int(mesh.materials.size() - 1);
}

int MODELLER::material(const std::string& name, float r, float g, float b, float self_illum)
{
    MESH3DS_MATERIAL m;
    m.name = name;
    // Ambient follows the diffuse colour so that shadowed sides keep their hue
    // under the game's warm ambient light.
    m.ambient[0] = r * 0.8f;
    m.ambient[1] = g * 0.8f;
    m.ambient[2] = b * 0.8f;
    m.diffuse[0] = r;
    m.diffuse[1] = g;
    m.diffuse[2] = b;
    m.self_illum = self_illum;
    return material(m);
}

void MODELLER::push(const XFORM& x) { stack.push_back(stack.back() * x); }

void MODELLER::pop()
{
    assert(stack.size() > 1 && "stack.size() > 1");
    stack.pop_back();
}

int MODELLER::vertex(V3 p)
{
    V3 q = stack.back().apply(p);
    mesh.vertices.push_back({q.x, q.y, q.z});
    assert(mesh.vertices.size() <= 65535 && "mesh.vertices.size() <= 65535");
    return int(mesh.vertices.size() - 1);
}

void MODELLER::tri(int a, int b, int c, int mat)
{
    // Stored (a, c, b): the game's normal (p2 - p1) x (p1 - p0) of that order
    // equals the usual (b - a) x (c - a) of the counter-clockwise one.
    mesh.faces.push_back({uint16_t(a), uint16_t(c), uint16_t(b)});
    mesh.face_material.push_back(mat);
}

void MODELLER::quad(int a, int b, int c, int d, int mat)
{
    tri(a, b, c, mat);
    tri(a, c, d, mat);
}

void MODELLER::begin_part()
{
    part_first_face = mesh.faces.size();
    in_part = true;
}

void MODELLER::end_part()
{
    assert(in_part && "in_part");
    double volume = 0;
    for (size_t i = part_first_face; i < mesh.faces.size(); i++) {
        const auto& f = mesh.faces[i];
        V3 p0 = v3(mesh.vertices[f[0]][0], mesh.vertices[f[0]][1], mesh.vertices[f[0]][2]);
        V3 p1 = v3(mesh.vertices[f[1]][0], mesh.vertices[f[1]][1], mesh.vertices[f[1]][2]);
        V3 p2 = v3(mesh.vertices[f[2]][0], mesh.vertices[f[2]][1], mesh.vertices[f[2]][2]);
        volume += dot(p0, cross(p2, p1));
    }
    if (volume < 0)
        for (size_t i = part_first_face; i < mesh.faces.size(); i++)
            std::swap(mesh.faces[i][1], mesh.faces[i][2]);
    in_part = false;
}

namespace {

bool is_point(const RING& r)
{
    for (const V3& p : r)
        if (length(p - r[0]) > 1e-6f)
            return false;
    return true;
}

V3 centroid(const RING& r)
{
    V3 c;
    for (const V3& p : r)
        c = c + p;
    return c * (1.0f / float(r.size()));
}

}  // namespace

void MODELLER::loft(const std::vector<STATION>& st, int cap_start, int cap_end)
{
    assert(st.size() >= 2 && "st.size() >= 2");
    size_t n = st[0].ring.size();
    begin_part();
    // Vertex indices of each station: the copy the band into it ends on and
    // the copy the band out of it starts from (the same unless creased).
    std::vector<std::vector<int>> in(st.size()), out(st.size());
    auto make = [&](const RING& r) {
        std::vector<int> idx;
        if (is_point(r)) {
            idx.assign(n, vertex(r[0]));
        } else {
            for (const V3& p : r)
                idx.push_back(vertex(p));
        }
        return idx;
    };
    for (size_t i = 0; i < st.size(); i++) {
        assert(st[i].ring.size() == n && "st[i].ring.size() == n");
        in[i] = make(st[i].ring);
        out[i] = st[i].crease && i > 0 && i + 1 < st.size() ? make(st[i].ring) : in[i];
    }
    for (size_t i = 0; i + 1 < st.size(); i++) {
        const std::vector<int>& a = out[i];
        const std::vector<int>& b = in[i + 1];
        bool a_tip = is_point(st[i].ring), b_tip = is_point(st[i + 1].ring);
        for (size_t j = 0; j < n; j++) {
            size_t k = (j + 1) % n;
            if (a_tip && b_tip)
                continue;
            if (a_tip)
                tri(a[j], b[j], b[k], st[i].material);
            else if (b_tip)
                tri(a[j], b[j], a[k], st[i].material);
            else
                quad(a[j], b[j], b[k], a[k], st[i].material);
        }
    }
    // Flat caps on open ends, with their own vertices so that they do not
    // round the rim.
    for (int end = 0; end < 2; end++) {
        const STATION& s = end == 0 ? st.front() : st.back();
        if (is_point(s.ring))
            continue;
        int cap = end == 0 ? cap_start : cap_end;
        int mat = cap >= 0 ? cap : (end == 0 ? s.material : st[st.size() - 2].material);
        int c = vertex(centroid(s.ring));
        std::vector<int> rim;
        for (const V3& p : s.ring)
            rim.push_back(vertex(p));
        for (size_t j = 0; j < n; j++) {
            size_t k = (j + 1) % n;
            if (end == 0)
                tri(c, rim[j], rim[k], mat);
            else
                tri(c, rim[k], rim[j], mat);
        }
    }
    end_part();
}

void MODELLER::lathe(const std::vector<float>& y, const std::vector<float>& r, int segments,
                     const std::vector<int>& band_material, bool loop)
{
    assert(y.size() == r.size() && "y.size() == r.size()");
    std::vector<STATION> st;
    for (size_t i = 0; i < y.size(); i++) {
        STATION s;
        s.ring = circle_ring(segments, y[i], r[i]);
        s.material = band_material[std::min(i, band_material.size() - 1)];
        st.push_back(s);
    }
    if (!loop) {
        loft(st);
        return;
    }
    // A closed profile (a hollow shell such as a nozzle): the last band joins
    // the first ring again, and every profile corner is a crease.
    begin_part();
    size_t n = size_t(segments);
    for (size_t i = 0; i < st.size(); i++) {
        // Each band gets its own vertices so that the profile corners stay sharp.
        std::vector<int> a2, b2;
        for (size_t j = 0; j < n; j++) {
            a2.push_back(vertex(st[i].ring[j]));
            b2.push_back(vertex(st[(i + 1) % st.size()].ring[j]));
        }
        for (size_t j = 0; j < n; j++) {
            size_t k = (j + 1) % n;
            quad(a2[j], b2[j], b2[k], a2[k], st[i].material);
        }
    }
    end_part();
}

void MODELLER::wing(const WING& w)
{
    int k_n = std::max(2, w.chord_points);
    int spans = std::max(2, w.spans);
    std::vector<STATION> st;
    for (int s = 0; s < spans; s++) {
        float f = float(s) / float(spans - 1);
        float x = w.root_x + (w.tip_x - w.root_x) * f;
        float le = w.root_le + (w.tip_le - w.root_le) * f;
        float te = w.root_te + (w.tip_te - w.root_te) * f;
        float zc = w.root_z + (w.tip_z - w.root_z) * f;
        float c = le - te;
        auto half = [&](float u) {
            // Symmetric four-digit section: half thickness over the chord.
            return 5.0f * w.thickness *
                   (0.2969f * std::sqrt(u) - 0.126f * u - 0.3516f * u * u + 0.2843f * u * u * u -
                    0.1036f * u * u * u * u) * c + 0.004f;
        };
        STATION station;
        station.material = w.material;
        for (int k = k_n; k >= 0; k--) {  // upper side, trailing to leading edge
            float u = 0.5f * (1.0f - std::cos(float(M_PI) * k / k_n));
            station.ring.push_back(v3(x, le - u * c, zc + half(u)));
        }
        for (int k = 1; k <= k_n; k++) {  // lower side back to the trailing edge
            float u = 0.5f * (1.0f - std::cos(float(M_PI) * k / k_n));
            station.ring.push_back(v3(x, le - u * c, zc - half(u)));
        }
        st.push_back(station);
    }
    loft(st, w.material, w.tip_material);
}

void MODELLER::hexahedron(const V3 c[8], int mat)
{
    begin_part();
    static const int faces[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                    {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    V3 centre;
    for (int i = 0; i < 8; i++)
        centre = centre + c[i];
    centre = centre * 0.125f;
    for (const auto& f : faces) {
        V3 p[4] = {c[f[0]], c[f[1]], c[f[2]], c[f[3]]};
        V3 n = cross(p[1] - p[0], p[2] - p[0]) + cross(p[2] - p[0], p[3] - p[0]);
        V3 mid = (p[0] + p[1] + p[2] + p[3]) * 0.25f;
        int idx[4];
        for (int i = 0; i < 4; i++)
            idx[i] = vertex(p[i]);
        // A convex solid: each face looks away from the centre.
        if (dot(n, mid - centre) >= 0)
            quad(idx[0], idx[1], idx[2], idx[3], mat);
        else
            quad(idx[3], idx[2], idx[1], idx[0], mat);
    }
    end_part();
}

void MODELLER::box(V3 lo, V3 hi, int mat)
{
    V3 c[8] = {v3(lo.x, lo.y, lo.z), v3(hi.x, lo.y, lo.z), v3(hi.x, hi.y, lo.z), v3(lo.x, hi.y, lo.z),
               v3(lo.x, lo.y, hi.z), v3(hi.x, lo.y, hi.z), v3(hi.x, hi.y, hi.z), v3(lo.x, hi.y, hi.z)};
    hexahedron(c, mat);
}

void MODELLER::ellipsoid(V3 centre, V3 radii, int slices, int stacks, int mat)
{
    push(translate(centre.x, centre.y, centre.z) * scale(radii.x, radii.y, radii.z));
    std::vector<float> y, r;
    for (int i = 0; i <= stacks; i++) {
        float a = float(M_PI) * i / stacks;
        y.push_back(-std::cos(a));
        r.push_back(i == 0 || i == stacks ? 0.0f : std::sin(a));
    }
    lathe(y, r, slices, {mat});
    pop();
}

void MODELLER::cylinder(V3 a, V3 b, float r, int segments, int mat, int cap_material)
{
    V3 axis = b - a;
    float len = length(axis);
    if (len <= 0)
        return;
    V3 yv = axis * (1.0f / len);
    V3 helper = std::fabs(yv.z) < 0.9f ? v3(0, 0, 1) : v3(1, 0, 0);
    V3 xv = normalised(cross(yv, helper));
    V3 zv = cross(xv, yv);
    XFORM f;
    f.m[0][0] = xv.x; f.m[1][0] = xv.y; f.m[2][0] = xv.z;
    f.m[0][1] = yv.x; f.m[1][1] = yv.y; f.m[2][1] = yv.z;
    f.m[0][2] = zv.x; f.m[1][2] = zv.y; f.m[2][2] = zv.z;
    f.t = a;
    push(f);
    std::vector<STATION> st(2);
    st[0].ring = circle_ring(segments, 0, r);
    st[1].ring = circle_ring(segments, len, r);
    st[0].material = mat;
    st[1].material = mat;
    loft(st, cap_material, cap_material);
    pop();
}

MESH3DS MODELLER::take()
{
    MESH3DS out = mesh;
    return out;
}

MESH_REPORT inspect_mesh(const MESH3DS& mesh)
{
    MESH_REPORT rep;
    const size_t nv = mesh.vertices.size();
    bool first = true;
    for (const auto& v : mesh.vertices) {
        V3 p = v3(v[0], v[1], v[2]);
        if (first) {
            rep.lo = rep.hi = p;
            first = false;
        }
        rep.lo = v3(std::min(rep.lo.x, p.x), std::min(rep.lo.y, p.y), std::min(rep.lo.z, p.z));
        rep.hi = v3(std::max(rep.hi.x, p.x), std::max(rep.hi.y, p.y), std::max(rep.hi.z, p.z));
    }
    // Weld by position (to a tenth of a millimetre) so that split vertices
    // still close the surface.
    std::map<std::tuple<long, long, long>, int> weld;
    std::vector<int> id(nv);
    for (size_t i = 0; i < nv; i++) {
        auto key = std::make_tuple(std::lround(mesh.vertices[i][0] * 1e4), std::lround(mesh.vertices[i][1] * 1e4),
                                   std::lround(mesh.vertices[i][2] * 1e4));
        auto it = weld.find(key);
        if (it == weld.end())
            it = weld.emplace(key, int(weld.size())).first;
        id[i] = it->second;
    }
    std::map<std::pair<int, int>, int> directed;
    double volume = 0;
    for (const auto& f : mesh.faces) {
        if (f[0] >= nv || f[1] >= nv || f[2] >= nv) {
            rep.bad_indices++;
            continue;
        }
        V3 p[3];
        for (int k = 0; k < 3; k++)
            p[k] = v3(mesh.vertices[f[k]][0], mesh.vertices[f[k]][1], mesh.vertices[f[k]][2]);
        V3 n = cross(p[2] - p[1], p[1] - p[0]);  // the game's face normal, unnormalised
        if (length(n) < 1e-9f)
            rep.degenerate_faces++;
        volume += dot(p[0], n) / 6.0;
        for (int k = 0; k < 3; k++) {
            int a = id[f[k]], b = id[f[(k + 1) % 3]];
            if (a != b)
                directed[{a, b}]++;
        }
    }
    for (const auto& e : directed) {
        auto rev = directed.find({e.first.second, e.first.first});
        int back = rev == directed.end() ? 0 : rev->second;
        if (e.second > back)
            rep.open_edges += size_t(e.second - back);
    }
    rep.volume = float(volume);
    return rep;
}
