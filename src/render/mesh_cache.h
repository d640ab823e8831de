// The meshes of 3DS files, read once per file name and shared: every target
// of a wave, every rock and every buoy shows the same mesh object, which its
// things hold by reference count (a mesh is never changed once loaded).
#pragma once

#include <string>
#include <vector>

class MESHMODEL;

class MESH_CACHE {
public:
    MESH_CACHE() = default;
    MESH_CACHE(const MESH_CACHE&) = delete;
    MESH_CACHE& operator=(const MESH_CACHE&) = delete;

    // The shared mesh of that file: read with load3ds the first time, kept
    // (the cache holds one reference) and answered again afterwards. Null
    // when the file does not load; such a name is tried again next time.
    // load3ds_dropped_faces tells, as after load3ds itself, how many faces
    // the file's reading dropped.
    MESHMODEL* load(const char* filename);
    // Gives back the cache's references: meshes nobody else holds are
    // destroyed, the rest live on with their holders. Call while the GL
    // context the meshes were made in is current (their display lists).
    void clear();

    size_t size() const { return entries.size(); }

private:
    struct ENTRY {
        std::string name;
        MESHMODEL* mesh;              // one reference held
        unsigned int dropped_faces;  // what the reading dropped
    };
    std::vector<ENTRY> entries;  // a run reads a few dozen files: a list is enough
};

extern MESH_CACHE mesh_cache;
