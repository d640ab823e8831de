#include "render/mesh_cache.h"

#include "render/load3ds.h"
#include "render/meshmodel.h"

MESH_CACHE mesh_cache;

MESHMODEL* MESH_CACHE::load(const char* filename)
{
    if (!filename)
        return load3ds(filename, nullptr);
    for (const ENTRY& e : entries) {
        if (e.name == filename) {
            load3ds_dropped_faces = e.dropped_faces;
            return e.mesh;
        }
    }
    MESHMODEL* mesh = load3ds(filename, nullptr);
    if (!mesh)
        return nullptr;
    mesh->acquire();
    entries.push_back({filename, mesh, load3ds_dropped_faces});
    return mesh;
}

void MESH_CACHE::clear()
{
    std::vector<ENTRY> gone;
    gone.swap(entries);
    for (ENTRY& e : gone)
        delete_model(e.mesh);
}
