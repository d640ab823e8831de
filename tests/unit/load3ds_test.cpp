// The 3DS loader and the 3DS writer of the tools: round trips, the chunk
// rules that decide what a file means, and damaged files.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "render/load3ds.h"
#include "render/meshmodel.h"
#include "render/texture.h"
#include "test_allegro.h"
#include "write3ds.h"

namespace {

using MESH = std::unique_ptr<MESHMODEL>;

// Raw chunks, for files the writer would never make.
struct CHUNK {
    uint16_t id;
    std::vector<uint8_t> body;

    CHUNK(uint16_t i) : id(i) {}
    CHUNK& u8(uint8_t v) { body.push_back(v); return *this; }
    CHUNK& u16(uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    CHUNK& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    CHUNK& f32(float f)
    {
        uint32_t b;
        memcpy(&b, &f, 4);
        return u32(b);
    }
    CHUNK& str(const std::string& s)
    {
        body.insert(body.end(), s.begin(), s.end());
        return u8(0);
    }
    CHUNK& add(const CHUNK& c)
    {
        std::vector<uint8_t> b = c.bytes();
        body.insert(body.end(), b.begin(), b.end());
        return *this;
    }
    // The header's length can be set to lie.
    std::vector<uint8_t> bytes(long length = -1) const
    {
        uint32_t n = length < 0 ? (uint32_t)(body.size() + 6) : (uint32_t)length;
        std::vector<uint8_t> out = {(uint8_t)id, (uint8_t)(id >> 8), (uint8_t)n, (uint8_t)(n >> 8),
                                    (uint8_t)(n >> 16), (uint8_t)(n >> 24)};
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }
};

MESH load_bytes(const std::vector<uint8_t>& b, FILE_INFO_STRUCT* info = nullptr)
{
    return MESH(load3ds_memory(b.data(), b.size(), info));
}

CHUNK object(const CHUNK& trimesh)
{
    return CHUNK(0x4D4D).add(CHUNK(0x3D3D).add(CHUNK(0x4000).str("obj").add(trimesh)));
}

MESH3DS two_triangles()
{
    MESH3DS m;
    m.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 2}};
    m.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    m.faces = {{0, 1, 2}, {0, 2, 3}};
    MESH3DS_MATERIAL red;
    red.name = "Red";
    red.ambient[0] = 1.0f;
    red.diffuse[0] = 0.8f;
    red.diffuse[1] = 0.2f;
    red.diffuse[2] = 0.0f;
    red.specular[0] = red.specular[1] = red.specular[2] = 1.0f;
    red.shininess = 0.25f;
    red.two_sided = true;
    MESH3DS_MATERIAL blue;
    blue.name = "Blue";
    blue.diffuse[2] = 1.0f;
    blue.texture = "&nothing.bmp";
    m.materials = {red, blue};
    m.face_material = {1, 0};
    return m;
}

}  // namespace

TEST(Write3ds, TheSameMeshGivesTheSameBytesAndWhatTheFormatCannotHoldIsRefused)
{
    std::vector<uint8_t> a = encode3ds(two_triangles());
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a, encode3ds(two_triangles()));
    uint32_t len = a[2] | (a[3] << 8) | (a[4] << 16) | ((uint32_t)a[5] << 24);
    EXPECT_EQ(len, a.size());  // the main chunk's length is the whole file
    EXPECT_EQ(a[0] | (a[1] << 8), 0x4D4D);
    MESH3DS big;
    big.vertices.resize(70000);
    EXPECT_TRUE(encode3ds(big).empty());
    EXPECT_FALSE(write3ds("/nonexistent-dir/x.3ds", two_triangles()));
}

TEST(Load3ds, WrittenMeshComesBackWithMaterialsAndFaceAssignments)
{
    TEMP_DIR dir;
    ASSERT_TRUE(write3ds(dir.file("m.3ds"), two_triangles()));
    FILE_INFO_STRUCT info;
    MESH mesh(load3ds(dir.file("m.3ds").c_str(), &info));
    ASSERT_TRUE(mesh);
    EXPECT_EQ(info.version, 3);
    EXPECT_EQ(info.mesh_version, 3);
    EXPECT_FLOAT_EQ(info.one_unit, 1.0f);
    ASSERT_EQ(mesh->get_nr_vtx(), 4u);
    ASSERT_EQ(mesh->get_nr_face(), 2u);
    float p[3], uv[2];
    mesh->get_vtx(3, p);
    EXPECT_FLOAT_EQ(p[2], 2.0f);
    mesh->get_vtx_uv(2, uv);
    EXPECT_FLOAT_EQ(uv[0], 1.0f);
    EXPECT_FLOAT_EQ(uv[1], 1.0f);
    EXPECT_NEAR(mesh->get_r(), std::sqrt(5.0f), 1e-5);

    ASSERT_EQ(mesh->get_nr_material(), 2u);
    MATERIAL* red = mesh->get_material(0);
    MATERIAL* blue = mesh->get_material(1);
    EXPECT_STREQ(red->get_name(), "Red");
    EXPECT_STREQ(blue->get_name(), "Blue");
    float r, g, b;
    red->get_diffuse(r, g, b);
    EXPECT_NEAR(r, 0.8f, 1.0f / 255);
    EXPECT_NEAR(g, 0.2f, 1.0f / 255);
    red->get_specular(r, g, b);
    EXPECT_FLOAT_EQ(r, 1.0f);
    EXPECT_FLOAT_EQ(red->get_shininess(), 0.25f);
    EXPECT_EQ(red->get_two_sided() & MATERIAL_TWO_SIDED, MATERIAL_TWO_SIDED);
    EXPECT_EQ(blue->get_two_sided(), 0u);
    ASSERT_NE(blue->get_texture(), nullptr);
    EXPECT_STREQ(blue->get_texture()->get_name(), "&nothing.bmp");

    // Faces are sorted by material: the red face (second in the file) first.
    EXPECT_EQ(mesh->get_face_material(0), red);
    EXPECT_EQ(mesh->get_face_material(1), blue);
    unsigned int f[3];
    mesh->get_face(0, f);
    EXPECT_EQ(f[0], 0u);
    EXPECT_EQ(f[1], 2u);
    EXPECT_EQ(f[2], 3u);
}

TEST(Load3ds, MissingFilesAreReportedAndAMainChunkAloneIsAnEmptyMeshWithTheDefaultMaterial)
{
    EXPECT_EQ(load3ds(nullptr, nullptr), nullptr);
    EXPECT_STREQ(LOAD3DS_ERROR_STRING, "No file specified.");
    EXPECT_EQ(load3ds("/nonexistent/none.3ds", nullptr), nullptr);
    EXPECT_STREQ(LOAD3DS_ERROR_STRING, "File not found.");
    TEMP_DIR dir;
    dir.write("empty.3ds", "");
    EXPECT_EQ(load3ds(dir.file("empty.3ds").c_str(), nullptr), nullptr);
    EXPECT_STREQ(LOAD3DS_ERROR_STRING, "No main chunk.");
    MESH mesh = load_bytes(CHUNK(0x4D4D).bytes());
    ASSERT_TRUE(mesh);
    EXPECT_EQ(mesh->get_nr_vtx() + mesh->get_nr_face(), 0u);
    ASSERT_EQ(mesh->get_nr_material(), 1u);
    MATERIAL* m = mesh->get_material(0);
    EXPECT_STREQ(m->get_name(), "default material");
    float r, g, b;
    m->get_specular(r, g, b);
    EXPECT_FLOAT_EQ(r, 1.0f);
    m->get_diffuse(r, g, b);
    EXPECT_FLOAT_EQ(g, 0.5f);
    m->get_ambient(r, g, b);
    EXPECT_FLOAT_EQ(r, 0.5f);
    EXPECT_FLOAT_EQ(m->get_shininess(), 0.5f);
}

TEST(Load3ds, FirstColourFormWinsOverItsGammaTwinAndPercentagesScale)
{
    CHUNK mat(0xAFFF);
    mat.add(CHUNK(0xA000).str("m"));
    mat.add(CHUNK(0xA020).add(CHUNK(0x0011).u8(255).u8(128).u8(0)).add(CHUNK(0x0012).u8(1).u8(2).u8(3)));
    mat.add(CHUNK(0xA010).add(CHUNK(0x0010).f32(0.25f).f32(0.5f).f32(0.75f)));
    mat.add(CHUNK(0xA040).add(CHUNK(0x0030).u16(50)));
    mat.add(CHUNK(0xA041).add(CHUNK(0x0031).f32(20.0f)));
    mat.add(CHUNK(0xA084).add(CHUNK(0x0030).u16(50)));
    mat.add(CHUNK(0xA030).add(CHUNK(0x0011).u8(0)));  // too short: skipped, colour stays 0
    MESH mesh = load_bytes(CHUNK(0x4D4D).add(CHUNK(0x3D3D).add(mat)).bytes());
    ASSERT_TRUE(mesh);
    ASSERT_EQ(mesh->get_nr_material(), 1u);
    MATERIAL* m = mesh->get_material(0);
    float r, g, b;
    m->get_diffuse(r, g, b);
    EXPECT_FLOAT_EQ(r, 1.0f);
    EXPECT_FLOAT_EQ(g, 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(b, 0.0f);
    m->get_ambient(r, g, b);
    EXPECT_FLOAT_EQ(b, 0.75f);
    EXPECT_FLOAT_EQ(m->get_shininess(), 0.5f);
    EXPECT_FLOAT_EQ(m->get_shine_strength(), 0.2f);
    m->get_emitted(r, g, b);  // half the diffuse
    EXPECT_FLOAT_EQ(r, 0.5f);
    EXPECT_FLOAT_EQ(g, 64.0f / 255.0f);
    m->get_specular(r, g, b);
    EXPECT_FLOAT_EQ(r, 0.0f);
    // Self-illumination before any diffuse colour scales the default.
    CHUNK early(0xAFFF);
    early.add(CHUNK(0xA084).add(CHUNK(0x0030).u16(100)));
    early.add(CHUNK(0xA020).add(CHUNK(0x0011).u8(255).u8(255).u8(255)));
    MESH lit = load_bytes(CHUNK(0x4D4D).add(CHUNK(0x3D3D).add(early)).bytes());
    lit->get_material(0)->get_emitted(r, g, b);
    EXPECT_FLOAT_EQ(r, 0.5f);
    EXPECT_EQ(lit->get_material(0)->get_name(), nullptr);
}

TEST(Load3ds, FaceMaterialListsUseTheFirstMaterialForUnknownNamesAndTheLastListWins)
{
    CHUNK verts(0x4110);
    verts.u16(3).f32(0).f32(0).f32(0).f32(1).f32(0).f32(0).f32(0).f32(1).f32(0);
    CHUNK faces(0x4120);
    faces.u16(3);
    for (int i = 0; i < 3; i++)
        faces.u16(0).u16(1).u16(2).u16(7);
    faces.add(CHUNK(0x4130).str("B").u16(2).u16(0).u16(0));
    faces.add(CHUNK(0x4130).str("nobody").u16(1).u16(1));
    faces.add(CHUNK(0x4130).str("B").u16(1).u16(2));
    faces.add(CHUNK(0x4130).str("A").u16(2).u16(2).u16(40));  // face 40 does not exist
    faces.add(CHUNK(0x4150).u32(1).u32(1).u32(1));
    CHUNK editor(0x3D3D);
    editor.add(CHUNK(0xAFFF).add(CHUNK(0xA000).str("A")));
    editor.add(CHUNK(0xAFFF).add(CHUNK(0xA000).str("B")));
    editor.add(CHUNK(0x4000).str("obj").add(CHUNK(0x4100).add(verts).add(faces)));
    MESH mesh = load_bytes(CHUNK(0x4D4D).add(editor).bytes());
    ASSERT_TRUE(mesh);
    MATERIAL* a = mesh->find_material("A");
    MATERIAL* b = mesh->find_material("B");
    ASSERT_NE(a, b);
    EXPECT_EQ(mesh->count_faces_with_material(a), 2u);  // the unknown name and the last list
    EXPECT_EQ(mesh->count_faces_with_material(b), 1u);
    EXPECT_EQ(mesh->count_faces_with_material(nullptr), 0u);
}

TEST(Load3ds, ListsLoadWhatTheyHoldAndFacesNamingMissingVerticesAreDropped)
{
    CHUNK verts(0x4110);
    verts.u16(10);  // claims ten, holds five
    for (int i = 0; i < 5; i++)
        verts.f32((float)i + 1).f32(0).f32(0);
    CHUNK faces(0x4120);
    faces.u16(65535).u16(0).u16(1).u16(4).u16(0).u16(0).u16(1).u16(5).u16(0).u16(65535).u16(1).u16(2).u16(0);
    MESH mesh = load_bytes(object(CHUNK(0x4100).add(verts).add(faces)).bytes());
    ASSERT_TRUE(mesh);
    ASSERT_EQ(mesh->get_nr_vtx(), 5u);
    float p[3];
    mesh->get_vtx(4, p);
    EXPECT_FLOAT_EQ(p[0], 5.0f);
    EXPECT_FLOAT_EQ(mesh->get_r(), 5.0f);
    ASSERT_EQ(mesh->get_nr_face(), 1u);
    unsigned int f[3];
    mesh->get_face(0, f);
    EXPECT_EQ(f[2], 4u);
    CHUNK uvs(0x4140);
    uvs.u16(65535).f32(0.5f);
    EXPECT_EQ(load_bytes(object(CHUNK(0x4100).add(uvs)).bytes())->get_nr_vtx(), 0u);
}

TEST(Load3ds, SeveralObjectsKeepTheLastGeometryAndEveryMaterial)
{
    MESH3DS first = two_triangles();
    std::vector<uint8_t> a = encode3ds(first);
    CHUNK verts(0x4110);
    verts.u16(3).f32(0).f32(0).f32(0).f32(7).f32(0).f32(0).f32(0).f32(1).f32(0);
    CHUNK faces(0x4120);
    faces.u16(1).u16(0).u16(1).u16(2).u16(0);
    CHUNK editor(0x3D3D);
    editor.add(CHUNK(0xAFFF).add(CHUNK(0xA000).str("m1")));
    editor.add(CHUNK(0x4000).str("one").add(CHUNK(0x4100).add(verts).add(faces)));
    editor.add(CHUNK(0xAFFF).add(CHUNK(0xA000).str("m2")));
    editor.add(CHUNK(0x4000).str("two").add(CHUNK(0x4100).add(verts).add(faces)));
    MESH mesh = load_bytes(CHUNK(0x4D4D).add(editor).bytes());
    EXPECT_EQ(mesh->get_nr_vtx(), 3u);
    EXPECT_EQ(mesh->get_nr_face(), 1u);
    EXPECT_EQ(mesh->get_nr_material(), 2u);
}

TEST(Load3ds, UnknownChunksAreSkippedByTheirLength)
{
    CHUNK camera(0x4700);
    for (int i = 0; i < 32; i++)
        camera.f32(1e9f);
    CHUNK editor(0x3D3D);
    editor.add(camera);
    editor.add(CHUNK(0xB000).add(CHUNK(0x4110).u16(1).f32(9).f32(9).f32(9)));  // key-frames
    editor.add(CHUNK(0x4000).str("o").add(
        CHUNK(0x4100).add(CHUNK(0x4110).u16(1).f32(1).f32(2).f32(3)).add(CHUNK(0x4160).f32(1).f32(2))));
    MESH mesh = load_bytes(CHUNK(0x4D4D).add(editor).bytes());
    ASSERT_EQ(mesh->get_nr_vtx(), 1u);
    float p[3];
    mesh->get_vtx(0, p);
    EXPECT_FLOAT_EQ(p[1], 2.0f);
}

TEST(Load3dsDamage, LengthsThatLieNeverReadPastTheFile)
{
    std::vector<uint8_t> good = encode3ds(two_triangles());
    // Every truncation of a good file loads or fails cleanly; one cut after
    // the vertex list keeps the vertices.
    for (size_t n = 0; n <= good.size(); n++) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + n);
        MESH m = load_bytes(cut);
        if (n >= 6) {
            EXPECT_TRUE(m) << n;
        }
        if (m) {
            EXPECT_LE(m->get_nr_vtx(), 4u);
        }
    }
    // A main chunk claiming far more than the file holds.
    std::vector<uint8_t> lying = CHUNK(0x4D4D).add(CHUNK(0x3D3D)).bytes(0x7FFFFFFF);
    EXPECT_TRUE(load_bytes(lying));
    // A child longer than its parent, and lengths below a header.
    CHUNK inner(0x3D3D);
    inner.add(CHUNK(0x4000).str("x"));
    std::vector<uint8_t> child = inner.bytes(1000);
    CHUNK outer(0x4D4D);
    outer.body = child;
    EXPECT_TRUE(load_bytes(outer.bytes()));
    for (uint32_t len : {0u, 1u, 5u}) {
        CHUNK main(0x4D4D);
        main.body = CHUNK(0x3D3D).bytes(len);
        main.u32(0xFFFFFFFF);
        EXPECT_TRUE(load_bytes(main.bytes()));
    }
}

TEST(Load3dsDamage, NamesWithoutTerminatorEndAtTheirChunk)
{
    CHUNK name(0xA000);
    name.u8('a').u8('b').u8('c');
    CHUNK map(0xA300);
    map.u8('&').u8('q');
    CHUNK list(0x4130);
    list.u8('a').u8('b').u8('c');
    MESH mesh = load_bytes(
        CHUNK(0x4D4D).add(CHUNK(0x3D3D).add(CHUNK(0xAFFF).add(name).add(CHUNK(0xA200).add(map)))).add(list).bytes());
    ASSERT_TRUE(mesh);
    EXPECT_STREQ(mesh->get_material(0)->get_name(), "abc");
    ASSERT_NE(mesh->get_material(0)->get_texture(), nullptr);
    EXPECT_STREQ(mesh->get_material(0)->get_texture()->get_name(), "&q");
    // Bytes that would hang Allegro's Unicode functions, as material, list
    // and map names.
    const std::string evil = "\xFD\xBF\xBF\xBF\xBF\xBF";
    CHUNK faces(0x4120);
    faces.u16(0).add(CHUNK(0x4130).str(evil).u16(0));
    MESH odd = load_bytes(object(CHUNK(0x4100).add(faces))
                              .add(CHUNK(0xAFFF).add(CHUNK(0xA000).str(evil)).add(CHUNK(0xA200).add(CHUNK(0xA300).str(evil))))
                              .bytes());
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->find_material(evil.c_str()), odd->get_material(0));
    // The named object's name may run to the end of its chunk.
    std::vector<uint8_t> obj = CHUNK(0x4D4D).add(CHUNK(0x4000).u8('n').u8('o')).bytes();
    EXPECT_TRUE(load_bytes(obj));
}

TEST(Load3dsDamage, NestedMaterialsAndMainChunksAreNeitherLostNorFreedTwice)
{
    CHUNK inner(0xAFFF);
    inner.add(CHUNK(0xA000).str("inner"));
    CHUNK outer(0xAFFF);
    outer.add(CHUNK(0xA000).str("outer")).add(inner);
    CHUNK main(0x4D4D);
    main.add(outer).add(CHUNK(0x4D4D).add(CHUNK(0x4110).u16(1).f32(1).f32(1).f32(1)));
    MESH mesh = load_bytes(main.bytes());
    ASSERT_TRUE(mesh);
    EXPECT_EQ(mesh->get_nr_material(), 2u);
    EXPECT_EQ(mesh->get_nr_vtx(), 1u);
    // Materials before any main chunk are read and dropped.
    std::vector<uint8_t> stray = CHUNK(0xAFFF).add(CHUNK(0xA000).str("x")).bytes();
    EXPECT_EQ(load_bytes(stray), nullptr);
}

TEST(Load3dsDamage, NonNumbersReadAsZeroAndDeepNestingIsCut)
{
    CHUNK verts(0x4110);
    verts.u16(2).f32(NAN).f32(INFINITY).f32(1).f32(3e38f).f32(-3e38f).f32(0);
    MESH mesh = load_bytes(object(CHUNK(0x4100).add(verts)).bytes());
    float p[3];
    mesh->get_vtx(0, p);
    EXPECT_EQ(p[0], 0.0f);
    EXPECT_EQ(p[1], 0.0f);
    EXPECT_TRUE(std::isfinite(mesh->get_r()));

    CHUNK deep(0x3D3D);
    for (int i = 0; i < 2000; i++) {
        CHUNK up(0x3D3D);
        up.body = deep.bytes();
        deep = up;
    }
    EXPECT_TRUE(load_bytes(CHUNK(0x4D4D).add(deep).bytes()));
}
