#include "render/load3ds.h"

#include <allegro.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "render/material.h"
#include "render/meshmodel.h"

const char* LOAD3DS_ERROR_STRING = "Unknown error";
unsigned int load3ds_dropped_faces = 0;

namespace {

// Real files nest a handful of chunks deep; anything deeper is damage and
// is skipped rather than followed down the stack.
constexpr int MAX_CHUNK_DEPTH = 64;
// A face material list keeps this many characters of its name.
constexpr size_t MAX_LIST_NAME = 255;

// One load: the file in memory, the read position, and the mesh and
// material being built. Every read stays inside the bytes a chunk's parent
// holds, so a damaged length can neither read past the file nor make the
// loader allocate for bytes that are not there.
class LOAD3DS_READER {
public:
    LOAD3DS_READER(const unsigned char* d, size_t n, FILE_INFO_STRUCT* info)
        : data(d), size(n), fileinfo(info) {}

    MESHMODEL* run();

private:
    uint32_t read_chunk(int depth, uint32_t room, float* value);
    uint32_t handle(unsigned id, uint32_t payload, int depth, float* value);
    uint32_t read_children(int depth, uint32_t payload, float* value);

    uint32_t read_value(unsigned id, uint32_t payload, float* value);
    uint32_t read_material(uint32_t payload, int depth);
    uint32_t read_material_property(unsigned id, uint32_t payload, int depth);
    uint32_t read_vertices(uint32_t payload);
    uint32_t read_mapping(uint32_t payload);
    uint32_t read_faces(uint32_t payload, int depth);
    uint32_t read_face_materials(uint32_t payload);
    std::string read_payload_string(uint32_t payload);

    unsigned get8() { return pos < size ? data[pos++] : 0; }
    unsigned get16()
    {
        unsigned lo = get8();
        return lo | (get8() << 8);
    }
    uint32_t get32()
    {
        uint32_t lo = get16();
        return lo | ((uint32_t)get16() << 16);
    }
    // Numbers that are not numbers read as 0, as everywhere in our files;
    // they would otherwise end up as NaN in OpenGL.
    float getf()
    {
        uint32_t bits = get32();
        float f;
        memcpy(&f, &bits, sizeof f);
        return std::isfinite(f) ? f : 0.0f;
    }
    void skip(uint32_t n) { pos = std::min(size, pos + n); }

    const unsigned char* data;
    size_t size;
    size_t pos = 0;
    FILE_INFO_STRUCT* fileinfo;
    MESHMODEL* cur_model = nullptr;  // the mesh under construction
    MATERIAL* cur_mat = nullptr;     // being read, or chosen by a face material list
    float one_unit = 0.0f;           // the last master scale read
};

MESHMODEL* LOAD3DS_READER::run()
{
    load3ds_dropped_faces = 0;
    *fileinfo = FILE_INFO_STRUCT();
    uint32_t room = (uint32_t)std::min<size_t>(size, UINT32_MAX);
    read_chunk(0, room, nullptr);
    if (!cur_model) {
        LOAD3DS_ERROR_STRING = "No main chunk.";
        return nullptr;
    }
    // A face naming a vertex the file does not have is dropped: stretching
    // it to another vertex would draw a triangle the modeller never made.
    load3ds_dropped_faces = cur_model->remove_invalid_faces();
    if (cur_model->get_nr_material() == 0) {
        MATERIAL* m = new MATERIAL("default material");
        m->set_emitted(0.0f, 0.0f, 0.0f);
        m->set_ambient(0.5f, 0.5f, 0.5f);
        m->set_diffuse(0.5f, 0.5f, 0.5f);
        m->set_shine_strength(0.5f);
        m->set_specular(1.0f, 1.0f, 1.0f);
        m->set_shininess(0.5f);
        cur_model->add_material(m);
    }
    cur_model->sort_faces();
    return cur_model;
}

// Answers the bytes the chunk took from its parent's room. A length shorter
// than a header leaves the rest of the parent unreadable; a length past the
// parent's end is cut to it, so a truncated file loads what it holds.
uint32_t LOAD3DS_READER::read_chunk(int depth, uint32_t room, float* value)
{
    if (room < 6) {
        skip(room);
        return room;
    }
    unsigned id = get16();
    uint32_t length = get32();
    if (length < 6) {
        skip(room - 6);
        return room;
    }
    length = std::min(length, room);
    uint32_t payload = length - 6;
    uint32_t used = depth < MAX_CHUNK_DEPTH ? handle(id, payload, depth, value) : 0;
    assert(used <= payload && "used <= payload");
    skip(payload - used);
    return length;
}

uint32_t LOAD3DS_READER::read_children(int depth, uint32_t payload, float* value)
{
    uint32_t used = 0;
    while (used < payload)
        used += read_chunk(depth + 1, payload - used, value);
    return used;
}

std::string LOAD3DS_READER::read_payload_string(uint32_t payload)
{
    size_t n = std::min<size_t>(payload, size - pos);
    const char* s = reinterpret_cast<const char*>(data + pos);
    std::string name(s, strnlen(s, n));  // a missing zero ends the name at the payload's end
    skip(payload);
    return name;
}

uint32_t LOAD3DS_READER::handle(unsigned id, uint32_t payload, int depth, float* value)
{
    switch (id) {
    case 0x0010: case 0x0011: case 0x0012: case 0x0013: case 0x0030: case 0x0031:
        return read_value(id, payload, value);
    case 0x0002:
        if (payload < 4)
            return 0;
        fileinfo->version = (int32_t)get32();
        return 4;
    case 0x0100:
        if (payload < 4)
            return 0;
        one_unit = getf();
        fileinfo->one_unit = one_unit;
        return 4;
    case 0x3D3E:
        if (payload < 4)
            return 0;
        fileinfo->mesh_version = (int32_t)get32();
        return 4;
    case 0x4D4D:
        // Only the first main chunk makes a mesh: one nested in another adds
        // to it instead of losing it.
        if (!cur_model)
            cur_model = new MESHMODEL();
        return read_children(depth, payload, nullptr);
    case 0x3D3D: case 0x4010: case 0x4012: case 0x4013: case 0x4015: case 0x4017: case 0x4100:
    case 0xA200:
        return read_children(depth, payload, nullptr);
    case 0x4000: {
        uint32_t used = 0;
        while (used < payload) {
            used++;
            if (get8() == 0)
                break;
        }
        return used + read_children(depth, payload - used, nullptr);
    }
    case 0x4110:
        return read_vertices(payload);
    case 0x4120:
        return read_faces(payload, depth);
    case 0x4130:
        return read_face_materials(payload);
    case 0x4140:
        return read_mapping(payload);
    case 0xAFFF:
        return read_material(payload, depth);
    case 0xA000: {
        std::string name = read_payload_string(payload);
        if (cur_mat)
            cur_mat->set_name(name.c_str());
        return payload;
    }
    case 0xA010: case 0xA020: case 0xA030: case 0xA040: case 0xA041: case 0xA084:
        return read_material_property(id, payload, depth);
    case 0xA081:
        if (cur_mat)
            cur_mat->set_two_sided(cur_mat->get_two_sided() | MATERIAL_TWO_SIDED);
        return 0;
    case 0xA050: case 0xA052: case 0xA053: case 0xA083: case 0xA085: case 0xA088: case 0xA08A:
    case 0xA08C: case 0xA08E:
        return read_children(depth, payload, nullptr);
    case 0xA300: {
        std::string name = read_payload_string(payload);
        if (cur_mat)
            cur_mat->set_texture(name.c_str());
        return payload;
    }
    default:  // the shading mode (0xA100) among them: nothing here draws by it
        return 0;  // skipped whole by the caller
    }
}

uint32_t LOAD3DS_READER::read_value(unsigned id, uint32_t payload, float* value)
{
    float v[3];
    uint32_t need;
    switch (id) {
    case 0x0010: case 0x0013:
        need = 12;
        if (payload < need)
            return 0;
        for (float& c : v)
            c = getf();
        break;
    case 0x0011: case 0x0012:
        need = 3;
        if (payload < need)
            return 0;
        for (float& c : v)
            c = get8() / 255.0f;
        break;
    case 0x0030:
        need = 2;
        if (payload < need)
            return 0;
        v[0] = (float)(int16_t)get16();
        break;
    default:  // 0x0031
        need = 4;
        if (payload < need)
            return 0;
        v[0] = getf();
        break;
    }
    if (value) {
        bool colour = need != 2 && need != 4;
        for (int k = 0; k < (colour ? 3 : 1); k++)
            value[k] = v[k];
    }
    return need;
}

uint32_t LOAD3DS_READER::read_material(uint32_t payload, int depth)
{
    // The material is held here, not through cur_mat, which nested chunks
    // may point elsewhere (a damaged file can even nest materials).
    MATERIAL* m = new MATERIAL(nullptr);
    cur_mat = m;
    uint32_t used = read_children(depth, payload, nullptr);
    if (cur_model) {
        cur_model->add_material(m);
        cur_mat = m;
    } else {
        delete m;
        cur_mat = nullptr;
    }
    return used;
}

uint32_t LOAD3DS_READER::read_material_property(unsigned id, uint32_t payload, int depth)
{
    // The first value chunk counts; any twin after it (the gamma form of a
    // colour, usually) is read and dropped.
    float v[3] = {0.0f, 0.0f, 0.0f};
    uint32_t used = 0;
    if (payload > 0)
        used = read_chunk(depth + 1, payload, v);
    if (cur_mat) {
        switch (id) {
        case 0xA010: cur_mat->set_ambient(v[0], v[1], v[2]); break;
        case 0xA020: cur_mat->set_diffuse(v[0], v[1], v[2]); break;
        case 0xA030: cur_mat->set_specular(v[0], v[1], v[2]); break;
        case 0xA040: cur_mat->set_shininess(v[0] / 100.0f); break;
        case 0xA041: cur_mat->set_shine_strength(v[0] / 100.0f); break;
        default: {  // 0xA084, self-illumination: a share of the diffuse colour glows
            float r, g, b;
            cur_mat->get_diffuse(r, g, b);
            float p = v[0] / 100.0f;
            cur_mat->set_emitted(r * p, g * p, b * p);
            break;
        }
        }
    }
    return used + read_children(depth, payload - used, nullptr);
}

uint32_t LOAD3DS_READER::read_vertices(uint32_t payload)
{
    if (payload < 2)
        return 0;
    unsigned count = get16();
    // A list shorter than its count loads what it holds; no room is made
    // for vertices the file does not contain.
    unsigned n = std::min<unsigned>(count, (payload - 2) / 12);
    if (cur_model && cur_model->get_nr_vtx() != count)
        cur_model->initialize_vtx_list(n);
    for (unsigned i = 0; i < n; i++) {
        float x = getf(), y = getf(), z = getf();
        if (cur_model)
            cur_model->load_vtx(i, x, y, z);
    }
    return 2 + 12 * n;
}

uint32_t LOAD3DS_READER::read_mapping(uint32_t payload)
{
    if (payload < 2)
        return 0;
    unsigned count = get16();
    unsigned n = std::min<unsigned>(count, (payload - 2) / 8);
    if (cur_model && cur_model->get_nr_vtx() != count)
        cur_model->initialize_vtx_list(n);
    for (unsigned i = 0; i < n; i++) {
        float u = getf(), v = getf();
        if (cur_model)
            cur_model->load_vtx_uv(i, u, v);
    }
    return 2 + 8 * n;
}

uint32_t LOAD3DS_READER::read_faces(uint32_t payload, int depth)
{
    if (payload < 2)
        return 0;
    unsigned count = get16();
    unsigned n = std::min<unsigned>(count, (payload - 2) / 8);
    if (cur_model)
        cur_model->initialize_face_list(n);
    for (unsigned i = 0; i < n; i++) {
        unsigned a = get16(), b = get16(), c = get16();
        get16();  // edge visibility flags
        if (cur_model)
            cur_model->load_face(i, a, b, c);
    }
    uint32_t used = 2 + 8 * n;
    return used + read_children(depth, payload - used, nullptr);
}

uint32_t LOAD3DS_READER::read_face_materials(uint32_t payload)
{
    std::string name;
    uint32_t used = 0;
    while (payload - used >= 2) {
        used++;
        unsigned c = get8();
        if (c == 0)
            break;
        if (name.size() < MAX_LIST_NAME)
            name += (char)c;
    }
    if (payload - used < 2)
        return used;
    unsigned count = get16();
    used += 2;
    cur_mat = cur_model ? cur_model->find_material(name.c_str()) : nullptr;
    for (unsigned i = 0; i < count && payload - used >= 2; i++) {
        unsigned face = get16();
        used += 2;
        if (cur_model)
            cur_model->set_face_material(face, cur_mat);
    }
    return used;
}

}  // namespace

MESHMODEL* load3ds_memory(const unsigned char* data, size_t size, FILE_INFO_STRUCT* info)
{
    FILE_INFO_STRUCT dummy_fileinfo;
    LOAD3DS_READER reader(data, size, info ? info : &dummy_fileinfo);
    return reader.run();
}

MESHMODEL* load3ds(const char* filename, FILE_INFO_STRUCT* info)
{
    load3ds_dropped_faces = 0;
    if (!filename) {
        LOAD3DS_ERROR_STRING = "No file specified.";
        return nullptr;
    }
    PACKFILE* f = pack_fopen(filename, F_READ);
    if (!f) {
        LOAD3DS_ERROR_STRING = "File not found.";
        return nullptr;
    }
    // The whole file is read first: the chunk walk then knows how many bytes
    // truly exist, whatever the chunk headers claim.
    std::vector<unsigned char> bytes;
    unsigned char block[65536];
    long got;
    while ((got = pack_fread(block, sizeof block, f)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    pack_fclose(f);
    return load3ds_memory(bytes.data(), bytes.size(), info);
}
