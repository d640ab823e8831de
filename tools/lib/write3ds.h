// Writes a triangle mesh with its materials as a 3DS file, the form the
// game's loader reads. The same mesh always gives the same bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct MESH3DS_MATERIAL {
    std::string name;
    float ambient[3] = {0.5f, 0.5f, 0.5f};
    float diffuse[3] = {0.5f, 0.5f, 0.5f};
    float specular[3] = {0.0f, 0.0f, 0.0f};
    float shininess = 0.0f;      // 0..1, written as a percentage chunk
    float self_illum = 0.0f;     // 0..1
    bool two_sided = false;
    std::string texture;         // map file name, empty for none
};

struct MESH3DS {
    std::string object_name = "object";
    std::vector<std::array<float, 3>> vertices;
    std::vector<std::array<float, 2>> uvs;          // empty, or one per vertex
    std::vector<std::array<uint16_t, 3>> faces;     // vertex indices, winding as given
    std::vector<MESH3DS_MATERIAL> materials;
    std::vector<int> face_material;                  // per face: index into materials, or -1
};

// The whole file in memory. Empty when the mesh does not fit the format
// (more than 65535 vertices or faces). Face indices are written as given,
// even past the vertex list, so that damaged files can be made on purpose.
std::vector<uint8_t> encode3ds(const MESH3DS& mesh);
// false when the mesh does not fit the format or the file cannot be written.
bool write3ds(const std::string& path, const MESH3DS& mesh);
