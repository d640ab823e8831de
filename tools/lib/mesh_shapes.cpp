#include "mesh_shapes.h"

#include "render/meshmodel.h"

MESHMODEL* make_box_mesh(float hx, float hy, float hz)
{
    MESHMODEL* m = new MESHMODEL();
    m->initialize_vtx_list(8);
    for (unsigned i = 0; i < 8; i++)
        m->load_vtx(i, (i & 1) ? hx : -hx, (i & 2) ? hy : -hy, (i & 4) ? hz : -hz);
    const unsigned faces[12][3] = {{0, 1, 3}, {0, 3, 2}, {4, 6, 7}, {4, 7, 5}, {0, 4, 5}, {0, 5, 1},
                                   {2, 3, 7}, {2, 7, 6}, {0, 2, 6}, {0, 6, 4}, {1, 5, 7}, {1, 7, 3}};
    m->initialize_face_list(12);
    for (unsigned i = 0; i < 12; i++)
        m->load_face(i, faces[i][0], faces[i][1], faces[i][2]);
    return m;
}
