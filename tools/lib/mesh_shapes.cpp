#include "mesh_shapes.h"

#include "render/meshmodel.h"

MESH3DS box_shape(float hx, float hy, float hz)
{
    MESH3DS box;
    for (unsigned i = 0; i < 8; i++)
        box.vertices.push_back({(i & 1) ? hx : -hx, (i & 2) ? hy : -hy, (i & 4) ? hz : -hz});
    box.faces = {{0, 1, 3}, {0, 3, 2}, {4, 6, 7}, {4, 7, 5}, {0, 4, 5}, {0, 5, 1},
                 {2, 3, 7}, {2, 7, 6}, {0, 2, 6}, {0, 6, 4}, {1, 5, 7}, {1, 7, 3}};
    return box;
}

MESHMODEL* make_box_mesh(float hx, float hy, float hz)
{
    MESH3DS box = box_shape(hx, hy, hz);
    MESHMODEL* m = new MESHMODEL();
    m->initialize_vtx_list((unsigned)box.vertices.size());
    for (unsigned i = 0; i < box.vertices.size(); i++)
        m->load_vtx(i, box.vertices[i][0], box.vertices[i][1], box.vertices[i][2]);
    m->initialize_face_list((unsigned)box.faces.size());
    for (unsigned i = 0; i < box.faces.size(); i++)
        m->load_face(i, box.faces[i][0], box.faces[i][1], box.faces[i][2]);
    return m;
}
