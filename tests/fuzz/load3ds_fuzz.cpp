// Any bytes at all as a 3DS file: the loader must stay inside them, allocate
// in proportion to them and give back a mesh that paints without NaN.
#include <allegro.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "render/load3ds.h"
#include "render/meshmodel.h"
#include "render/texture.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE_INFO_STRUCT info;
    MESHMODEL* mesh = load3ds_memory(data, size, &info);
    if (mesh) {
        // Normals, edges and the drawing walk every face the file made.
        mesh->prepare();
        mesh->paint(PAINT_MATERIALS | PAINT_SOLID | PAINT_BOUNDING_BOX);
        for (unsigned int i = 0; i < mesh->get_nr_face(); i++) {
            const MESH_FACE* f = mesh->get_face_record(i);
            for (int c = 0; c < 3; c++)
                for (int k = 0; k < 3; k++)
                    if (!std::isfinite(f->corner_normal[c][k]) || !std::isfinite(f->normal[k]))
                        abort();
        }
        if (!std::isfinite(mesh->get_r()))
            abort();
        delete mesh;
    }
    // Texture names from the file would otherwise pile up run after run.
    clear_texture_list();
    return 0;
}
