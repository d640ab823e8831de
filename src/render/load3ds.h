// load3ds: reads a 3DS model file into a MESHMODEL with its materials,
// texture maps and face assignments. Cameras, lights, key-frames, smoothing
// groups and object transforms are passed over.
#pragma once

#include <cstddef>
#include <cstdint>

class MESHMODEL;

// What the file says about itself; filled for the caller, used by nobody.
struct FILE_INFO_STRUCT {
    int32_t version = 0;       // chunk 0x0002
    int32_t mesh_version = 0;  // chunk 0x3D3E
    float one_unit = 0.0f;     // master scale, chunk 0x0100, as stored
};

// The last failure's message; "Unknown error" until one happens. A
// successful load leaves it as it was.
extern const char* LOAD3DS_ERROR_STRING;
// Faces the last load dropped because they name a vertex the file does not
// have (0 after a clean load). The data checker reports them.
extern unsigned int load3ds_dropped_faces;

// Loads filename (an Allegro packfile name). Answers a new mesh the caller
// owns, or null when the file cannot be read or holds no main chunk. info
// may be null.
MESHMODEL* load3ds(const char* filename, FILE_INFO_STRUCT* info);

// The same for a file already in memory (size bytes at data).
MESHMODEL* load3ds_memory(const unsigned char* data, size_t size, FILE_INFO_STRUCT* info);
