#include "render/meshmodel.h"

#include <alleggl.h>
#include <GL/gl.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <unordered_map>

#include "render/texture.h"
#include "scene/states.h"
#include "scene/vec3.h"

FONT* vertex_number_font = nullptr;

namespace {

constexpr int NR_DISPLAY_LISTS = 8;

// Scales v to unit length. A vector without a length (zero, as a face of
// zero area or a pair of opposite faces gives, or anything not finite)
// becomes the fallback, so no NaN reaches OpenGL. In doubles even the
// smallest float has a length to divide by.
void normalize3(float* v, const float* fallback)
{
    double len = std::sqrt((double)v[0] * v[0] + (double)v[1] * v[1] + (double)v[2] * v[2]);
    if (!(len > 0.0) || !std::isfinite(len)) {
        v[0] = fallback[0];
        v[1] = fallback[1];
        v[2] = fallback[2];
        return;
    }
    v[0] = (float)(v[0] / len);
    v[1] = (float)(v[1] / len);
    v[2] = (float)(v[2] / len);
}

// Faces without a direction of their own face up.
const float up_normal[3] = {0.0f, 0.0f, 1.0f};

bool face_uses(const MESH_FACE& f, unsigned int v)
{
    return f.vtx[0] == v || f.vtx[1] == v || f.vtx[2] == v;
}

uint64_t edge_key(unsigned int a, unsigned int b)
{
    if (a > b)
        std::swap(a, b);
    return ((uint64_t)a << 32) | b;
}

}  // namespace

MESHMODEL::MESHMODEL()
{
    display_lists = glGenLists(NR_DISPLAY_LISTS);  // 0 without a GL context
}

MESHMODEL::~MESHMODEL()
{
    if (display_lists)
        glDeleteLists(display_lists, NR_DISPLAY_LISTS);
}

void MESHMODEL::geometry_changed()
{
    prepared = false;
    invalidate_display_lists();
}

void MESHMODEL::invalidate_display_lists()
{
    for (bool& c : compiled)
        c = false;
}

bool MESHMODEL::face_valid(const MESH_FACE& f) const
{
    size_t n = vertices.size();
    return f.vtx[0] < n && f.vtx[1] < n && f.vtx[2] < n;
}

// ---------------------------------------------------------------- materials

void MESHMODEL::add_material(MATERIAL* m) { materials.add(m); }
MATERIAL* MESHMODEL::find_material(const char* name) { return materials.find(name); }
MATERIAL* MESHMODEL::get_material(unsigned long i) { return i < materials.get_count() ? materials.get((unsigned int)i) : nullptr; }
unsigned long MESHMODEL::get_nr_material() { return materials.get_count(); }

// ---------------------------------------------------------------- vertices

void MESHMODEL::clear_vtx_list()
{
    std::vector<MESH_VERTEX>().swap(vertices);
    geometry_changed();
}

void MESHMODEL::initialize_vtx_list(unsigned int n)
{
    clear_vtx_list();
    vertices.resize(n);
    for (float& b : bbox)
        b = 0.0f;
    geometry_changed();
}

void MESHMODEL::load_vtx(unsigned int i, float x, float y, float z)
{
    if (i >= vertices.size())
        return;
    MESH_VERTEX& v = vertices[i];
    v.x = x;
    v.y = y;
    v.z = z;
    // In double and capped, so that a far vertex gives no infinite radius.
    double d = std::min(std::sqrt((double)x * x + (double)y * y + (double)z * z), (double)FLT_MAX);
    if (d > radius)
        radius = (float)d;
    const float p[3] = {x, y, z};
    for (int a = 0; a < 3; a++) {
        if (p[a] < bbox[2 * a])
            bbox[2 * a] = p[a];
        if (p[a] > bbox[2 * a + 1])
            bbox[2 * a + 1] = p[a];
    }
    geometry_changed();
}

void MESHMODEL::load_vtx(unsigned int i, float* p)
{
    if (i >= vertices.size())
        return;
    vertices[i].x = p[0];
    vertices[i].y = p[1];
    vertices[i].z = p[2];
    geometry_changed();
}

void MESHMODEL::load_vtx_uv(unsigned int i, float u, float v)
{
    if (i >= vertices.size())
        return;
    vertices[i].u = u;
    vertices[i].v = v;
    invalidate_display_lists();
}

void MESHMODEL::load_vtx_uv(unsigned int i, float* uv) { load_vtx_uv(i, uv[0], uv[1]); }

unsigned int MESHMODEL::add_vtx(float* p)
{
    vertices.reserve(vertices.size() + 1);  // exactly one more slot
    vertices.emplace_back();  // texture coordinate (0, 0)
    unsigned int i = (unsigned int)vertices.size() - 1;
    load_vtx(i, p);
    return i;
}

void MESHMODEL::remove_vtx(unsigned int i)
{
    if (i >= vertices.size())
        return;
    for (unsigned int f = 0; f < faces.size();) {
        if (face_uses(faces[f], i))
            remove_face(f);  // the next face moved into slot f
        else
            f++;
    }
    for (MESH_FACE& f : faces)
        for (unsigned int& v : f.vtx)
            if (v > i)
                v--;
    vertices.erase(vertices.begin() + i);
    vertices.shrink_to_fit();
    // Edges name vertices by index: the old ones no longer fit.
    clear_edge_list();
    geometry_changed();
}

void MESHMODEL::get_vtx(unsigned int i, float* out)
{
    if (i >= vertices.size()) {
        out[0] = out[1] = out[2] = 0.0f;
        return;
    }
    out[0] = vertices[i].x;
    out[1] = vertices[i].y;
    out[2] = vertices[i].z;
}

void MESHMODEL::get_vtx_uv(unsigned int i, float* out)
{
    if (i >= vertices.size()) {
        out[0] = out[1] = 0.0f;
        return;
    }
    out[0] = vertices[i].u;
    out[1] = vertices[i].v;
}

unsigned int MESHMODEL::get_nr_vtx() { return (unsigned int)vertices.size(); }

// ---------------------------------------------------------------- faces

void MESHMODEL::clear_face_list()
{
    std::vector<MESH_FACE>().swap(faces);
    geometry_changed();
}

void MESHMODEL::initialize_face_list(unsigned int n)
{
    clear_face_list();
    faces.resize(n);
    geometry_changed();
}

void MESHMODEL::load_face(unsigned int i, unsigned int a, unsigned int b, unsigned int c)
{
    if (i >= faces.size())
        return;
    faces[i].vtx[0] = a;
    faces[i].vtx[1] = b;
    faces[i].vtx[2] = c;
    geometry_changed();
}

void MESHMODEL::sort_faces()
{
    // Groups follow the order of the material list (faces without a
    // material first) and keep their file order inside, so a mesh sorts the
    // same way on every run.
    std::unordered_map<const MATERIAL*, unsigned int> rank;
    for (unsigned int m = 0; m < materials.get_count(); m++)
        rank.emplace(materials.get(m), m + 1);
    auto key = [&rank](const MESH_FACE& f) -> unsigned int {
        if (!f.material)
            return 0;
        auto it = rank.find(f.material);
        return it == rank.end() ? UINT_MAX : it->second;
    };
    std::stable_sort(faces.begin(), faces.end(),
                     [&key](const MESH_FACE& a, const MESH_FACE& b) { return key(a) < key(b); });
    geometry_changed();
}

unsigned int MESHMODEL::add_face(unsigned int a, unsigned int b, unsigned int c)
{
    faces.reserve(faces.size() + 1);  // exactly one more slot
    faces.emplace_back();
    unsigned int i = (unsigned int)faces.size() - 1;
    load_face(i, a, b, c);
    return i;
}

void MESHMODEL::get_face(unsigned int i, unsigned int* out)
{
    for (int k = 0; k < 3; k++)
        out[k] = i < faces.size() ? faces[i].vtx[k] : 0;
}

unsigned int MESHMODEL::get_nr_face() { return (unsigned int)faces.size(); }

void MESHMODEL::flip_face(unsigned int i)
{
    if (i < faces.size())
        load_face(i, faces[i].vtx[2], faces[i].vtx[1], faces[i].vtx[0]);
    invalidate_display_lists();
}

void MESHMODEL::remove_face(unsigned int i)
{
    if (i >= faces.size())
        return;
    faces.erase(faces.begin() + i);
    faces.shrink_to_fit();
    invalidate_display_lists();
}

unsigned int MESHMODEL::remove_invalid_faces()
{
    // In one sweep: a damaged file may hold thousands of such faces.
    size_t before = faces.size();
    faces.erase(std::remove_if(faces.begin(), faces.end(), [this](const MESH_FACE& f) { return !face_valid(f); }),
                faces.end());
    unsigned int removed = (unsigned int)(before - faces.size());
    if (removed) {
        faces.shrink_to_fit();
        geometry_changed();
    }
    return removed;
}

void MESHMODEL::set_face_material(unsigned int i, MATERIAL* m)
{
    if (i >= faces.size())
        return;
    faces[i].material = m;
    invalidate_display_lists();
}

MATERIAL* MESHMODEL::get_face_material(unsigned int i)
{
    return i < faces.size() ? faces[i].material : nullptr;
}

unsigned long MESHMODEL::count_faces_with_material(MATERIAL* m)
{
    return (unsigned long)std::count_if(faces.begin(), faces.end(),
                                        [m](const MESH_FACE& f) { return f.material == m; });
}

unsigned long MESHMODEL::get_next_face_with_material(MATERIAL* m, unsigned long start)
{
    for (unsigned long i = start; i < faces.size(); i++)
        if (faces[i].material == m)
            return i;
    return NO_FACE;
}

// ---------------------------------------------------------------- edges and normals

unsigned int MESHMODEL::find_edge(unsigned int a, unsigned int b)
{
    unsigned int n = (unsigned int)edges.size();
    if (a == b)
        return n;
    for (unsigned int i = 0; i < n; i++)
        if ((edges[i].a == a && edges[i].b == b) || (edges[i].a == b && edges[i].b == a))
            return i;
    return n;
}

void MESHMODEL::add_edge(unsigned int a, unsigned int b, float* normal, float cos_angle)
{
    unsigned int i = find_edge(a, b);
    if (i == edges.size()) {
        if (a == b)
            return;  // a side from a vertex to itself joins nothing
        edges.emplace_back();
        edges[i].a = a;
        edges[i].b = b;
    }
    for (int k = 0; k < 3; k++)
        edges[i].normal[k] = normal[k];
    edges[i].cos_angle = cos_angle;
}

void MESHMODEL::clear_edge_list()
{
    std::vector<MESH_EDGE>().swap(edges);
}

void MESHMODEL::make_face_normals()
{
    for (MESH_FACE& f : faces) {
        if (!face_valid(f)) {
            for (int k = 0; k < 3; k++)
                f.normal[k] = up_normal[k];
            continue;
        }
        const MESH_VERTEX& p0 = vertices[f.vtx[0]];
        const MESH_VERTEX& p1 = vertices[f.vtx[1]];
        const MESH_VERTEX& p2 = vertices[f.vtx[2]];
        float a[3] = {p2.x - p1.x, p2.y - p1.y, p2.z - p1.z};
        float b[3] = {p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
        f.normal[0] = a[1] * b[2] - a[2] * b[1];
        f.normal[1] = a[2] * b[0] - a[0] * b[2];
        f.normal[2] = a[0] * b[1] - a[1] * b[0];
        normalize3(f.normal, up_normal);
    }
}

void MESHMODEL::make_edges()
{
    // Built afresh each time, so that an edited mesh keeps no edge that is
    // gone. Sides are found through each vertex's faces rather than by
    // comparing every pair of faces; the edges and the order in which they
    // are updated are the same.
    clear_edge_list();
    std::vector<std::vector<unsigned int>> faces_of(vertices.size());
    for (unsigned int i = 0; i < faces.size(); i++) {
        if (!face_valid(faces[i]))
            continue;
        for (unsigned int v : faces[i].vtx)
            if (faces_of[v].empty() || faces_of[v].back() != i)
                faces_of[v].push_back(i);
    }
    std::unordered_map<uint64_t, unsigned int> index;
    static const int sides[3][2] = {{0, 2}, {1, 0}, {2, 1}};
    for (unsigned int i = 0; i < faces.size(); i++) {
        const MESH_FACE& fi = faces[i];
        if (!face_valid(fi))
            continue;
        for (const auto& s : sides) {
            unsigned int a = fi.vtx[s[0]], b = fi.vtx[s[1]];
            if (a == b)
                continue;
            const std::vector<unsigned int>& around = faces_of[a];
            for (auto j = std::upper_bound(around.begin(), around.end(), i); j != around.end(); ++j) {
                const MESH_FACE& fj = faces[*j];
                if (!face_uses(fj, b))
                    continue;
                float n[3] = {fi.normal[0] + fj.normal[0], fi.normal[1] + fj.normal[1], fi.normal[2] + fj.normal[2]};
                normalize3(n, fi.normal);
                float c = dot3(fi.normal, fj.normal);
                auto [it, fresh] = index.emplace(edge_key(a, b), (unsigned int)edges.size());
                if (fresh) {
                    edges.emplace_back();
                    edges.back().a = a;
                    edges.back().b = b;
                }
                MESH_EDGE& e = edges[it->second];
                for (int k = 0; k < 3; k++)
                    e.normal[k] = n[k];
                e.cos_angle = c;
            }
        }
    }
    edges.shrink_to_fit();
}

void MESHMODEL::make_vtx_normals()
{
    // Each corner gets the sum of the normals of every edge ending at its
    // vertex; summing per vertex first gives the same as visiting every
    // corner for every edge.
    std::vector<float> sum(vertices.size() * 3, 0.0f);
    for (const MESH_EDGE& e : edges) {
        if (e.a >= vertices.size() || e.b >= vertices.size())
            continue;
        for (int k = 0; k < 3; k++) {
            sum[e.a * 3 + k] += e.normal[k];
            sum[e.b * 3 + k] += e.normal[k];
        }
    }
    for (MESH_FACE& f : faces) {
        bool valid = face_valid(f);
        for (int c = 0; c < 3; c++) {
            float* n = f.corner_normal[c];
            if (valid) {
                for (int k = 0; k < 3; k++)
                    n[k] = sum[f.vtx[c] * 3 + k];
            } else {
                // A face naming a missing vertex is never drawn: whatever
                // it holds here is seen by nobody, so long as it is finite.
                n[0] = n[1] = n[2] = 0.0f;
            }
            if (n[0] == 0.0f && n[1] == 0.0f && n[2] == 0.0f) {
                for (int k = 0; k < 3; k++)
                    n[k] = f.normal[k];
            } else {
                normalize3(n, f.normal);
            }
        }
    }
}

void MESHMODEL::prepare()
{
    if (prepared)
        return;
    make_face_normals();
    make_edges();
    make_vtx_normals();
    prepared = true;
}

// ---------------------------------------------------------------- bounding box

void MESHMODEL::get_bounding_box_corner(int corner, float* out)
{
    out[0] = bbox[(corner & 1) ? 1 : 0];
    out[1] = bbox[(corner & 2) ? 3 : 2];
    out[2] = bbox[(corner & 4) ? 5 : 4];
}

bool MESHMODEL::bounding_box_check(float* p)
{
    return p[0] >= bbox[0] && p[0] <= bbox[1] && p[1] >= bbox[2] && p[1] <= bbox[3] &&
           p[2] >= bbox[4] && p[2] <= bbox[5];
}

void MESHMODEL::get_bounding_box(float* out) const
{
    for (int k = 0; k < 6; k++)
        out[k] = bbox[k];
}

// ---------------------------------------------------------------- painting

void MESHMODEL::paint(unsigned short flags)
{
    prepare();
    enable_z_buffer();
    const unsigned short overlays = PAINT_NORMALS | PAINT_VERTICES | PAINT_VERTEX_NUMBERS;
    if (flags & overlays) {
        disable_lights();
        disable_bfc();
        select_texture(nullptr);
        _paint(flags & overlays);
        return;
    }
    int key = (smooth_light ? 4 : 0) + ((flags & PAINT_BLENDED) ? 2 : 0) + ((flags & PAINT_MATERIALS) ? 1 : 0);
    select_texture(nullptr);
    // Inside the batch materials can only set colours: the switches of the
    // mesh's default material are made here, where OpenGL takes them.
    if ((flags & PAINT_MATERIALS) && (flags & PAINT_SOLID))
        if (MATERIAL* m = materials.find(nullptr))
            m->execute_switches();
    if (!display_lists) {
        _paint(flags);
        return;
    }
    if (!compiled[key]) {
        glNewList(display_lists + key, GL_COMPILE);
        _paint(flags);
        glEndList();
        compiled[key] = true;
    }
    glCallList(display_lists + key);
    // A replayed list switches lights and culling off behind the render-state
    // cache's back when it draws the box; tell the cache.
    if (flags & PAINT_BOUNDING_BOX) {
        disable_lights();
        disable_bfc();
    }
}

void MESHMODEL::paint_face(unsigned int i, unsigned short flags)
{
    prepare();
    if (i < faces.size())
        _paint_face(i, flags);
}

void MESHMODEL::paint_face_vertices(const MESH_FACE& f, bool textured)
{
    if (!smooth_light)
        glNormal3fv(f.normal);
    for (int c = 0; c < 3; c++) {
        const MESH_VERTEX& v = vertices[f.vtx[c]];
        if (smooth_light)
            glNormal3fv(f.corner_normal[c]);
        if (textured)
            glTexCoord2f(v.u, v.v);
        glVertex3f(v.x, v.y, v.z);
    }
}

void MESHMODEL::_paint(unsigned short flags)
{
    glEnable(GL_NORMALIZE);
    glBegin(GL_TRIANGLES);
    MATERIAL* current = nullptr;
    bool draw = false;
    for (const MESH_FACE& f : faces) {
        if (!(flags & PAINT_MATERIALS)) {
            draw = flags & (PAINT_SOLID | PAINT_BLENDED);
        } else if (MATERIAL* m = f.material ? f.material : materials.find(nullptr); !current || m != current) {
            current = m;
            if (current && (flags & PAINT_SOLID)) {
                // Inside the batch OpenGL takes only the colours; the
                // material's switches would be refused, so they are not sent
                // and the render-state cache stays true.
                current->execute_colors();
                draw = true;
            }
        }
        if (draw && face_valid(f))
            paint_face_vertices(f, (flags & PAINT_TEXTURED) && current && current->get_texture());
    }
    glEnd();
    if (flags & PAINT_BOUNDING_BOX)
        paint_bounding_box();
    paint_overlays(flags, nullptr);
}

void MESHMODEL::_paint_face(unsigned int i, unsigned short flags)
{
    if (i >= faces.size())
        return;
    const MESH_FACE& f = faces[i];
    glEnable(GL_NORMALIZE);
    glBegin(GL_TRIANGLES);
    MATERIAL* m = f.material ? f.material : materials.find(nullptr);
    bool draw;
    if (flags & PAINT_MATERIALS) {
        draw = m && (flags & PAINT_SOLID);
        if (draw)
            m->execute_colors();
    } else {
        draw = flags & (PAINT_SOLID | PAINT_BLENDED);
    }
    if (draw && face_valid(f))
        paint_face_vertices(f, (flags & PAINT_TEXTURED) && (flags & PAINT_MATERIALS) && m && m->get_texture());
    glEnd();
    paint_overlays(flags, &f);
}

void MESHMODEL::paint_bounding_box()
{
    disable_lights();
    disable_bfc();
    glColor3f(0.75f, 0.75f, 0.75f);
    const float x[4] = {bbox[0], bbox[1], bbox[1], bbox[0]};
    const float y[4] = {bbox[2], bbox[2], bbox[3], bbox[3]};
    for (int level = 0; level < 2; level++) {
        float z = bbox[4 + level];
        glBegin(GL_LINE_STRIP);
        for (int k = 0; k <= 4; k++)
            glVertex3f(x[k % 4], y[k % 4], z);
        glEnd();
    }
    glBegin(GL_LINES);
    for (int k = 0; k < 4; k++) {
        glVertex3f(x[k], y[k], bbox[4]);
        glVertex3f(x[k], y[k], bbox[5]);
    }
    glEnd();
}

void MESHMODEL::paint_overlays(unsigned short flags, const MESH_FACE* only)
{
    if (flags & PAINT_NORMALS) {
        disable_lights();
        disable_bfc();
        glColor3f(1.0f, 1.0f, 1.0f);
        for (const MESH_FACE& f : faces) {
            if ((only && &f != only) || !face_valid(f))
                continue;
            glBegin(GL_LINES);
            for (int c = 0; c < 3; c++) {
                const MESH_VERTEX& v = vertices[f.vtx[c]];
                const float* n = smooth_light ? f.corner_normal[c] : f.normal;
                glVertex3f(v.x, v.y, v.z);
                glVertex3f(v.x + n[0], v.y + n[1], v.z + n[2]);
            }
            glEnd();
        }
    }
    if (flags & PAINT_VERTICES) {
        disable_lights();
        disable_bfc();
        glColor3f(1.0f, 1.0f, 0.0f);  // yellow; the pipeline clamps each channel at 1
        glBegin(GL_POINTS);
        for (const MESH_VERTEX& v : vertices)
            glVertex3f(v.x, v.y, v.z);
        glEnd();
    }
    if ((flags & PAINT_VERTEX_NUMBERS) && vertex_number_font) {
        disable_lights();
        disable_bfc();
        for (unsigned int i = 0; i < vertices.size(); i++) {
            glPushMatrix();
            glTranslatef(vertices[i].x, vertices[i].y, vertices[i].z);
            glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
            glScalef(0.1f, 0.1f, 0.1f);
            allegro_gl_printf(vertex_number_font, 0.0f, 0.0f, 0.0f, makecol(0, 255, 0), ".%i", (int)i);
            glPopMatrix();
        }
    }
}

// ---------------------------------------------------------------- 2-D picture

void MESHMODEL::allegro_paint(BITMAP* bmp, int x, int y, float scale)
{
    if (!bmp || bmp->w <= 0)
        return;
    float vscale = scale * bmp->h / bmp->w;
    // One colour per material, never the 0 (black) a picture starts from.
    // The outline keeps only where colours change, so any distinct values
    // serve, in a bitmap of any depth.
    auto color_of = [this](const MATERIAL* m) {
        int rank = 0;
        for (unsigned int k = 0; k < materials.get_count(); k++)
            if (materials.get(k) == m)
                rank = (int)k;
        return rank + 1;
    };
    const MATERIAL* last = nullptr;
    int color = color_of(materials.find(nullptr));
    for (const MESH_FACE& f : faces) {
        if (!face_valid(f))
            continue;
        const MESH_VERTEX& p0 = vertices[f.vtx[0]];
        const MESH_VERTEX& p1 = vertices[f.vtx[1]];
        const MESH_VERTEX& p2 = vertices[f.vtx[2]];
        float turn = (p1.x - p0.x) * (p2.y - p0.y) - (p1.y - p0.y) * (p2.x - p0.x);
        if (!(turn <= 0.0f))
            continue;
        const MATERIAL* m = f.material ? f.material : materials.find(nullptr);
        if (m != last) {
            color = color_of(m);
            last = m;
        }
        triangle(bmp, x + trunc_int(p0.x * scale), y - trunc_int(p0.y * vscale),
                 x + trunc_int(p1.x * scale), y - trunc_int(p1.y * vscale),
                 x + trunc_int(p2.x * scale), y - trunc_int(p2.y * vscale), color);
    }
}

float MESHMODEL::get_paint_r()
{
    // The box drawn with PAINT_BOUNDING_BOX reaches its corners, beyond
    // the farthest vertex.
    float sum = 0.0f;
    for (int axis = 0; axis < 3; axis++) {
        float far = std::max(fabsf(bbox[2 * axis]), fabsf(bbox[2 * axis + 1]));
        sum += far * far;
    }
    return sqrtf(sum);
}
