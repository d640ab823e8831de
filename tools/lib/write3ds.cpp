#include "write3ds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Builds nested chunks: open() writes a header whose length close() fills
// in once the chunk's contents are known.
class CHUNK_WRITER {
public:
    void open(uint16_t id)
    {
        u16(id);
        starts.push_back(out.size());
        u32(0);
    }
    void close()
    {
        size_t at = starts.back();
        starts.pop_back();
        uint32_t length = (uint32_t)(out.size() - at + 2);
        for (int k = 0; k < 4; k++)
            out[at + k] = (uint8_t)(length >> (8 * k));
    }
    void u8(uint8_t v) { out.push_back(v); }
    void u16(uint16_t v)
    {
        u8((uint8_t)v);
        u8((uint8_t)(v >> 8));
    }
    void u32(uint32_t v)
    {
        u16((uint16_t)v);
        u16((uint16_t)(v >> 16));
    }
    void f32(float f)
    {
        uint32_t bits;
        memcpy(&bits, &f, sizeof bits);
        u32(bits);
    }
    void str(const std::string& s)
    {
        out.insert(out.end(), s.begin(), s.end());
        u8(0);
    }

    std::vector<uint8_t> out;

private:
    std::vector<size_t> starts;
};

uint8_t colour_byte(float c)
{
    if (!(c > 0.0f))
        return 0;
    if (c >= 1.0f)
        return 255;
    return (uint8_t)std::lround(c * 255.0f);
}

int16_t percent(float p)
{
    if (!(p > 0.0f))
        return 0;
    return (int16_t)std::lround(std::min(p, 1.0f) * 100.0f);
}

// A colour as 3DS editors write it: the 24-bit form, then its gamma twin.
void colour_chunk(CHUNK_WRITER& w, uint16_t id, const float* rgb)
{
    w.open(id);
    for (uint16_t form : {0x0011, 0x0012}) {
        w.open(form);
        for (int k = 0; k < 3; k++)
            w.u8(colour_byte(rgb[k]));
        w.close();
    }
    w.close();
}

void percent_chunk(CHUNK_WRITER& w, uint16_t id, float p)
{
    w.open(id);
    w.open(0x0030);
    w.u16((uint16_t)percent(p));
    w.close();
    w.close();
}

void material_chunk(CHUNK_WRITER& w, const MESH3DS_MATERIAL& m)
{
    w.open(0xAFFF);
    w.open(0xA000);
    w.str(m.name);
    w.close();
    colour_chunk(w, 0xA010, m.ambient);
    colour_chunk(w, 0xA020, m.diffuse);
    colour_chunk(w, 0xA030, m.specular);
    percent_chunk(w, 0xA040, m.shininess);
    percent_chunk(w, 0xA084, m.self_illum);
    if (m.two_sided) {
        w.open(0xA081);
        w.close();
    }
    if (!m.texture.empty()) {
        w.open(0xA200);
        w.open(0x0030);
        w.u16(100);
        w.close();
        w.open(0xA300);
        w.str(m.texture);
        w.close();
        w.close();
    }
    w.close();
}

void object_chunk(CHUNK_WRITER& w, const MESH3DS& mesh)
{
    w.open(0x4000);
    w.str(mesh.object_name);
    w.open(0x4100);

    w.open(0x4110);
    w.u16((uint16_t)mesh.vertices.size());
    for (const auto& v : mesh.vertices)
        for (float c : v)
            w.f32(c);
    w.close();

    if (!mesh.uvs.empty() && mesh.uvs.size() == mesh.vertices.size()) {
        w.open(0x4140);
        w.u16((uint16_t)mesh.uvs.size());
        for (const auto& uv : mesh.uvs)
            for (float c : uv)
                w.f32(c);
        w.close();
    }

    w.open(0x4120);
    w.u16((uint16_t)mesh.faces.size());
    for (const auto& f : mesh.faces) {
        for (uint16_t i : f)
            w.u16(i);
        w.u16(0x0007);  // all three edges visible
    }
    for (size_t m = 0; m < mesh.materials.size(); m++) {
        std::vector<uint16_t> list;
        for (size_t f = 0; f < mesh.faces.size() && f < mesh.face_material.size(); f++)
            if (mesh.face_material[f] == (int)m)
                list.push_back((uint16_t)f);
        if (list.empty())
            continue;
        w.open(0x4130);
        w.str(mesh.materials[m].name);
        w.u16((uint16_t)list.size());
        for (uint16_t f : list)
            w.u16(f);
        w.close();
    }
    w.close();  // 0x4120

    w.close();  // 0x4100
    w.close();  // 0x4000
}

}  // namespace

std::vector<uint8_t> encode3ds(const MESH3DS& mesh)
{
    if (mesh.vertices.size() > 0xFFFF || mesh.faces.size() > 0xFFFF)
        return {};
    CHUNK_WRITER w;
    w.open(0x4D4D);
    w.open(0x0002);
    w.u32(3);
    w.close();
    w.open(0x3D3D);
    w.open(0x3D3E);
    w.u32(3);
    w.close();
    for (const MESH3DS_MATERIAL& m : mesh.materials)
        material_chunk(w, m);
    w.open(0x0100);
    w.f32(1.0f);
    w.close();
    object_chunk(w, mesh);
    w.close();  // 0x3D3D
    w.close();  // 0x4D4D
    return w.out;
}

bool write3ds(const std::string& path, const MESH3DS& mesh)
{
    std::vector<uint8_t> bytes = encode3ds(mesh);
    if (bytes.empty())
        return false;
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (fclose(f) == 0) && ok;
    return ok;
}
