// MESHMODEL: the triangle mesh behind every hull, item, buoy and rock. Keeps
// vertices, faces and materials, derives face normals, shared edges and
// smoothed corner normals, and caches its drawing in display lists.
#pragma once

#include <allegro.h>

#include <vector>

#include "render/material.h"
#include "render/model.h"

struct MESH_VERTEX {
    float x = 0.0f, y = 0.0f, z = 0.0f;  // position, local units
    float u = 0.0f, v = 0.0f;            // texture coordinate
};

struct MESH_FACE {
    unsigned int vtx[3] = {0, 0, 0};        // winding order; each below the vertex count to be drawn
    float normal[3] = {0.0f, 0.0f, 0.0f};   // unit once prepared
    float corner_normal[3][3] = {};         // unit once prepared
    MATERIAL* material = nullptr;           // not owned; null = the mesh's default
};

struct MESH_EDGE {
    unsigned int a = 0, b = 0;              // vertex indices, unordered, never equal
    float normal[3] = {0.0f, 0.0f, 0.0f};   // unit mean of the two face normals
    float cos_angle = 1.0f;                 // cosine of the angle between the faces
};

// get_next_face_with_material's answer when there is no such face.
constexpr unsigned long NO_FACE = 0xFFFFFFFFul;

// The AllegroGL font the vertex-number overlay prints with; null leaves the
// numbers out (a plain Allegro font cannot be printed in 3-D).
extern FONT* vertex_number_font;

class MESHMODEL : public MODEL {
public:
    MESHMODEL();
    ~MESHMODEL() override;

    // MODEL
    void paint(unsigned short flags) override;
    void allegro_paint(BITMAP* bmp, int x, int y, float scale) override;  // silhouette seen along z
    float get_r() override { return radius; }
    void set_color(unsigned int, float, float, float) override {}
    using MODEL::set_color;  // the float* form stays visible
    void set_parameter(unsigned int, float) override {}
    bool is_meshmodel() override { return true; }
    void get_bounding_box_corner(int corner, float* out) override;  // bit 0 x, bit 1 y, bit 2 z: max
    bool bounding_box_check(float* p) override;                     // bounds inclusive
    float get_paint_r() override;  // the farthest corner of the box, which holds every face

    // drawing
    virtual void paint_face(unsigned int i, unsigned short flags);

    // materials: the list owns them; the first is the default
    virtual void add_material(MATERIAL* m);
    virtual MATERIAL* find_material(const char* name);
    virtual MATERIAL* get_material(unsigned long i);
    virtual unsigned long get_nr_material();

    // vertices
    virtual void clear_vtx_list();
    virtual void initialize_vtx_list(unsigned int n);  // n zero vertices; the box shrinks to the origin
    virtual void load_vtx(unsigned int i, float x, float y, float z);  // widens radius and box
    virtual void load_vtx(unsigned int i, float* p);                   // position only
    virtual void load_vtx_uv(unsigned int i, float u, float v);
    virtual void load_vtx_uv(unsigned int i, float* uv);
    virtual unsigned int add_vtx(float* p);
    virtual void remove_vtx(unsigned int i);  // drops its faces, renumbers the rest
    virtual void get_vtx(unsigned int i, float* out);
    virtual void get_vtx_uv(unsigned int i, float* out);
    virtual unsigned int get_nr_vtx();

    // faces
    virtual void clear_face_list();
    virtual void initialize_face_list(unsigned int n);
    virtual void load_face(unsigned int i, unsigned int a, unsigned int b, unsigned int c);
    virtual void sort_faces();  // faces of one material together
    virtual unsigned int add_face(unsigned int a, unsigned int b, unsigned int c);
    virtual void get_face(unsigned int i, unsigned int* out);
    virtual unsigned int get_nr_face();
    virtual void flip_face(unsigned int i);
    virtual void remove_face(unsigned int i);
    virtual void set_face_material(unsigned int i, MATERIAL* m);
    virtual MATERIAL* get_face_material(unsigned int i);
    virtual unsigned long count_faces_with_material(MATERIAL* m);
    virtual unsigned long get_next_face_with_material(MATERIAL* m, unsigned long start);  // NO_FACE if none

    // painting workers (no preparation, no display lists)
    virtual void _paint(unsigned short flags);
    virtual void _paint_face(unsigned int i, unsigned short flags);

    // edges
    virtual unsigned int find_edge(unsigned int a, unsigned int b);  // the edge count when none
    virtual void add_edge(unsigned int a, unsigned int b, float* normal, float cos_angle);
    virtual void clear_edge_list();
    virtual void make_edges();
    virtual void make_face_normals();
    virtual void make_vtx_normals();
    virtual void invalidate_display_lists();

    // Computes normals and edges when the geometry changed since last time.
    void prepare();
    bool is_prepared() const { return prepared; }

    // Removes every face that names a vertex at or above the vertex count;
    // answers how many went.
    unsigned int remove_invalid_faces();

    // read access for tools and tests
    unsigned int get_nr_edge() const { return (unsigned int)edges.size(); }
    const MESH_EDGE* get_edge(unsigned int i) const { return i < edges.size() ? &edges[i] : nullptr; }
    const MESH_FACE* get_face_record(unsigned int i) const { return i < faces.size() ? &faces[i] : nullptr; }
    void get_bounding_box(float* out) const;  // min x, max x, min y, max y, min z, max z
    unsigned int get_display_lists() const { return display_lists; }

protected:
    bool face_valid(const MESH_FACE& f) const;
    void geometry_changed();
    void paint_face_vertices(const MESH_FACE& f, bool textured);
    void paint_overlays(unsigned short flags, const MESH_FACE* only);
    void paint_bounding_box();

    MATERIAL_LIST materials;
    std::vector<MESH_VERTEX> vertices;  // exactly as many slots as vertices
    std::vector<MESH_FACE> faces;       // exactly as many slots as faces
    std::vector<MESH_EDGE> edges;
    float radius = 0.0f;                 // farthest vertex from the origin; never lowered
    float bbox[6] = {0, 0, 0, 0, 0, 0};  // always holds the origin
    bool prepared = false;               // normals and edges current
    unsigned int display_lists = 0;      // first of 8, or 0 when none could be had
    bool compiled[8] = {};
};
