// The 3DS loader and the 3DS writer of the tools: round trips, the chunk
// rules that decide what a file means, damaged files; the shared mesh cache.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "game/targets.h"
#include "render/load3ds.h"
#include "render/mesh_cache.h"
#include "render/meshmodel.h"
#include "render/texture.h"
#include "scene/thing.h"
#include "test_allegro.h"
#include "test_data_path.h"
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
    CHUNK& f32(float f) { uint32_t b; memcpy(&b, &f, 4); return u32(b); }
    CHUNK& str(const std::string& s) { body.insert(body.end(), s.begin(), s.end()); return u8(0); }
    CHUNK& add(const CHUNK& c) { std::vector<uint8_t> b = c.bytes(); body.insert(body.end(), b.begin(), b.end()); return *this; }
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

MESH load_bytes(const std::vector<uint8_t>& b)
{
    return MESH(load3ds_memory(b.data(), b.size(), nullptr));
}

// Main chunk, editor chunk, the given children.
MESH load_editor(const CHUNK& editor)
{
    return load_bytes(CHUNK(0x4D4D).add(editor).bytes());
}

CHUNK object(const CHUNK& trimesh)
{
    return CHUNK(0x3D3D).add(CHUNK(0x4000).str("obj").add(trimesh));
}

CHUNK triangle_vertices(float x)
{
    return CHUNK(0x4110).u16(3).f32(0).f32(0).f32(0).f32(x).f32(0).f32(0).f32(0).f32(1).f32(0);
}

std::vector<float> colour(MATERIAL* m, void (MATERIAL::*get)(float&, float&, float&) const)
{
    std::vector<float> c(3);
    (m->*get)(c[0], c[1], c[2]);
    return c;
}

MESH3DS two_triangles()
{
    MESH3DS m;
    m.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 2}};
    m.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    m.faces = {{0, 1, 2}, {0, 2, 3}};
    MESH3DS_MATERIAL red;
    red.name = "Red";
    red.diffuse[0] = 0.8f;
    red.diffuse[1] = 0.2f;
    red.specular[0] = red.specular[1] = red.specular[2] = 1.0f;
    red.shininess = 0.25f;
    red.two_sided = true;
    MESH3DS_MATERIAL blue;
    blue.name = "Blue";
    blue.texture = "&nothing.bmp";
    m.materials = {red, blue};
    m.face_material = {1, 0};
    return m;
}

}  // namespace

TEST(Load3ds, WrittenMeshComesBackWithMaterialsAndFacesSortedByMaterial)
{
    TEMP_DIR dir;
    ASSERT_TRUE(write3ds(dir.file("m.3ds"), two_triangles()));
    FILE_INFO_STRUCT info;
    MESH mesh(load3ds(dir.file("m.3ds").c_str(), &info));
    ASSERT_TRUE(mesh && mesh->get_nr_vtx() == 4u && mesh->get_nr_material() == 2u);
    EXPECT_EQ(info.version * 100 + info.mesh_version * 10 + info.one_unit, 331.0f);
    float p[3], uv[2];
    mesh->get_vtx(3, p);
    mesh->get_vtx_uv(2, uv);
    EXPECT_EQ(std::vector<float>({p[2], uv[0], uv[1]}), (std::vector<float>{2, 1, 1}));
    EXPECT_NEAR(mesh->get_r(), std::sqrt(5.0f), 1e-5);
    MATERIAL* red = mesh->get_material(0);
    MATERIAL* blue = mesh->get_material(1);
    EXPECT_STREQ(red->get_name(), "Red");
    std::vector<float> diffuse = colour(red, &MATERIAL::get_diffuse);
    EXPECT_NEAR(diffuse[0] + 10 * diffuse[1], 0.8f + 2.0f, 10.0f / 255);
    EXPECT_EQ(colour(red, &MATERIAL::get_specular), (std::vector<float>{1, 1, 1}));
    EXPECT_FLOAT_EQ(red->get_shininess(), 0.25f);
    EXPECT_TRUE((red->get_two_sided() & MATERIAL_TWO_SIDED) && blue->get_two_sided() == 0u);
    ASSERT_NE(blue->get_texture(), nullptr);
    EXPECT_STREQ(blue->get_texture()->get_name(), "&nothing.bmp");
    // The red face (second in the file) first.
    EXPECT_TRUE(mesh->get_face_material(0) == red && mesh->get_face_material(1) == blue);
    unsigned int f[3];
    mesh->get_face(0, f);
    EXPECT_EQ(std::vector<unsigned>(f, f + 3), (std::vector<unsigned>{0, 2, 3}));
}

TEST(Load3ds, MissingFilesAreReportedAndAMainChunkAloneIsAnEmptyMeshWithTheDefaultMaterial)
{
    TEMP_DIR dir;
    dir.write("empty.3ds", "");
    const char* files[][2] = {{nullptr, "No file specified."}, {"/nonexistent/none.3ds", "File not found."},
                              {"empty.3ds", "No main chunk."}};
    for (auto& f : files) {
        EXPECT_EQ(load3ds(f[0] && f[0][0] != '/' ? dir.file(f[0]).c_str() : f[0], nullptr), nullptr);
        EXPECT_STREQ(LOAD3DS_ERROR_STRING, f[1]);
    }
    MESH mesh = load_bytes(CHUNK(0x4D4D).bytes());
    ASSERT_TRUE(mesh && mesh->get_nr_material() == 1u);
    MATERIAL* m = mesh->get_material(0);
    EXPECT_TRUE(mesh->get_nr_vtx() + mesh->get_nr_face() == 0u && std::string(m->get_name()) == "default material");
    std::vector<float> all;  // specular, diffuse, ambient, emitted; shininess and strength
    for (auto get : {&MATERIAL::get_specular, &MATERIAL::get_diffuse, &MATERIAL::get_ambient, &MATERIAL::get_emitted})
        for (float c : colour(m, get))
            all.push_back(c);
    all.insert(all.end(), {m->get_shininess(), m->get_shine_strength()});
    EXPECT_EQ(all, (std::vector<float>{1, 1, 1, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0, 0, 0, 0.5f, 0.5f}));
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
    mat.add(CHUNK(0xA100).u16(1)).add(CHUNK(0xA081));
    MESH mesh = load_editor(CHUNK(0x3D3D).add(mat));
    ASSERT_EQ(mesh->get_nr_material(), 1u);
    MATERIAL* m = mesh->get_material(0);
    std::vector<float> all;  // diffuse, ambient, emitted (half the diffuse), specular
    for (auto get : {&MATERIAL::get_diffuse, &MATERIAL::get_ambient, &MATERIAL::get_emitted, &MATERIAL::get_specular})
        for (float c : colour(m, get))
            all.push_back(c);
    EXPECT_EQ(all, (std::vector<float>{1, 128.0f / 255, 0, 0.25f, 0.5f, 0.75f, 0.5f, 64.0f / 255, 0, 0, 0, 0}));
    EXPECT_FLOAT_EQ(m->get_shininess() + 10 * m->get_shine_strength(), 2.5f);
    EXPECT_EQ(m->get_two_sided() & MATERIAL_TWO_SIDED, MATERIAL_TWO_SIDED);
    // Self-illumination before any diffuse colour scales the default.
    CHUNK early(0xAFFF);
    early.add(CHUNK(0xA084).add(CHUNK(0x0030).u16(100)));
    early.add(CHUNK(0xA020).add(CHUNK(0x0011).u8(255).u8(255).u8(255)));
    early.add(CHUNK(0xA030).add(CHUNK(0x0031).f32(0.75f)));  // a percentage where a colour belongs: one value
    MESH lit = load_editor(CHUNK(0x3D3D).add(early));
    EXPECT_FLOAT_EQ(colour(lit->get_material(0), &MATERIAL::get_emitted)[0], 0.5f);
    EXPECT_EQ(colour(lit->get_material(0), &MATERIAL::get_specular), (std::vector<float>{0.75f, 0, 0}));
    EXPECT_EQ(lit->get_material(0)->get_name(), nullptr);
}

TEST(Load3ds, FaceMaterialListsUseTheFirstMaterialForUnknownNamesAndTheLastListWins)
{
    CHUNK faces(0x4120);
    faces.u16(4);  // the fourth in no list
    for (int i = 0; i < 4; i++)
        faces.u16(0).u16(1).u16(2).u16(7);
    faces.add(CHUNK(0x4130).str("B").u16(2).u16(0).u16(0));
    faces.add(CHUNK(0x4130).str("nobody").u16(1).u16(1));
    faces.add(CHUNK(0x4130).str("B").u16(1).u16(2));
    faces.add(CHUNK(0x4130).str("A").u16(2).u16(2).u16(40));  // face 40 does not exist
    faces.add(CHUNK(0x4150).u32(1).u32(1).u32(1));
    CHUNK editor(0x3D3D);
    editor.add(CHUNK(0xAFFF).add(CHUNK(0xA000).str("A")));
    editor.add(CHUNK(0xAFFF).add(CHUNK(0xA000).str("B")));
    editor.add(CHUNK(0x4000).str("obj").add(CHUNK(0x4100).add(triangle_vertices(1)).add(faces)));
    MESH mesh = load_editor(editor);
    MATERIAL* a = mesh->find_material("A");
    MATERIAL* b = mesh->find_material("B");
    ASSERT_NE(a, b);  // A: the unknown name and the last list; a face without one sorts first
    EXPECT_TRUE(mesh->count_faces_with_material(a) == 2u && mesh->count_faces_with_material(b) == 1u && !mesh->get_face_material(0));
    std::vector<unsigned long> walk[3];  // a walk over one material's faces visits those, in order
    for (int i = 0; i < 3; i++)
        for (unsigned long k = mesh->get_next_face_with_material(i ? i == 1 ? a : b : nullptr, 0); k != NO_FACE;
             k = mesh->get_next_face_with_material(mesh->get_face_material(k), k + 1))
            walk[i].push_back(k);
    EXPECT_TRUE(walk[0] == std::vector<unsigned long>{0} && walk[1].size() == 2 && walk[2].size() == 1 && walk[1][0] > 0 && walk[2][0] > 0);
}

TEST(Load3ds, ListsLoadWhatTheyHoldFacesNamingMissingVerticesAreDroppedAndTheLastObjectWins)
{
    CHUNK verts(0x4110);
    verts.u16(10);  // claims ten, holds five
    for (int i = 0; i < 5; i++)
        verts.f32((float)i + 1).f32(0).f32(0);
    CHUNK faces(0x4120);
    faces.u16(65535).u16(0).u16(1).u16(4).u16(0).u16(0).u16(1).u16(5).u16(0).u16(65535).u16(1).u16(2).u16(0).u32(0);  // and half a face
    CHUNK uvs(0x4140);
    uvs.u16(5).f32(0.5f).f32(0.25f).f32(0.75f).f32(0.125f).u8(9);  // claims five, holds two and a byte
    MESH mesh = load_editor(object(CHUNK(0x4100).add(verts).add(uvs).add(faces)));
    ASSERT_TRUE(mesh->get_nr_vtx() == 5u && mesh->get_nr_face() == 1u);
    float p[3], uv[2], uv1[2], uv2[2];
    unsigned int f[3];
    mesh->get_vtx(4, p);
    mesh->get_vtx_uv(0, uv), mesh->get_vtx_uv(1, uv1), mesh->get_vtx_uv(2, uv2);
    mesh->get_face(0, f);
    EXPECT_EQ(std::vector<float>({p[0], mesh->get_r(), uv[1], uv1[0], uv2[0], (float)f[2], (float)load3ds_dropped_faces}),
              (std::vector<float>{5, 5, 0.25f, 0.75f, 0, 4, 2}));

    // Several objects: the last geometry, every material; cameras, key-frames skipped.
    CHUNK one_face = CHUNK(0x4120).u16(1).u16(0).u16(1).u16(2).u16(0);
    CHUNK editor(0x3D3D);
    editor.add(CHUNK(0xAFFF).add(CHUNK(0xA000).str("m1")));
    editor.add(CHUNK(0x4000).str("one").add(CHUNK(0x4100).add(triangle_vertices(9)).add(one_face).add(one_face)));
    editor.add(CHUNK(0x4700).f32(1e9f).f32(1e9f));
    editor.add(CHUNK(0xB000).add(CHUNK(0x4110).u16(1).f32(9).f32(9).f32(9)));
    editor.add(CHUNK(0xAFFF).add(CHUNK(0xA000).str("m2")));
    editor.add(CHUNK(0x4000).str("two").add(CHUNK(0x4100).add(triangle_vertices(7)).add(one_face)));
    MESH several = load_editor(editor);
    several->get_vtx(1, p);
    EXPECT_EQ(std::vector<float>({(float)several->get_nr_vtx(), (float)several->get_nr_face(),
                                  (float)several->get_nr_material(), p[0]}),
              (std::vector<float>{3, 1, 2, 7}));
}

TEST(Load3dsDamage, LengthsThatLieNeverReadPastTheFileAndNamesEndAtTheirChunk)
{
    std::vector<uint8_t> good = encode3ds(two_triangles());
    // Every truncation of a good file loads or fails cleanly.
    for (size_t n = 0; n <= good.size(); n++) {
        MESH m = load_bytes(std::vector<uint8_t>(good.begin(), good.begin() + n));
        EXPECT_EQ(m != nullptr, n >= 6) << n;
        EXPECT_LE(m ? m->get_nr_vtx() : 0, 4u) << n;
    }
    // A main chunk claiming far more than the file holds, a child longer
    // than its parent, lengths below a header.
    EXPECT_TRUE(load_bytes(CHUNK(0x4D4D).add(CHUNK(0x3D3D)).bytes(0x7FFFFFFF)));
    for (uint32_t len : {0u, 1u, 5u, 1000u}) {
        CHUNK main(0x4D4D);
        main.body = CHUNK(0x3D3D).add(CHUNK(0x4000).str("x")).bytes(len);
        main.u32(0xFFFFFFFF);
        EXPECT_TRUE(load_bytes(main.bytes())) << len;
    }
    // Names without a terminator end at their chunk.
    CHUNK name(0xA000);
    name.u8('a').u8('b').u8('c');
    CHUNK map(0xA300);
    map.u8('&').u8('q');
    CHUNK list(0x4130);
    list.u8('a').u8('b').u8('c');
    MESH mesh = load_bytes(
        CHUNK(0x4D4D).add(CHUNK(0x3D3D).add(CHUNK(0xAFFF).add(name).add(CHUNK(0xA200).add(map)))).add(list).bytes());
    ASSERT_TRUE(mesh && mesh->get_material(0)->get_texture());
    EXPECT_EQ(std::string(mesh->get_material(0)->get_name()) + mesh->get_material(0)->get_texture()->get_name(), "abc&q");
    // The named object's name may run to the end of its chunk.
    EXPECT_TRUE(load_bytes(CHUNK(0x4D4D).add(CHUNK(0x4000).u8('n').u8('o')).bytes()));
}

TEST(Load3dsDamage, NestedMaterialsAndMainChunksAreNeitherLostNorFreedTwiceAndNonNumbersReadAsZero)
{
    CHUNK inner(0xAFFF);
    inner.add(CHUNK(0xA000).str("inner"));
    CHUNK outer(0xAFFF);
    outer.add(CHUNK(0xA000).str("outer")).add(inner);
    CHUNK verts(0x4110);
    verts.u16(2).f32(NAN).f32(INFINITY).f32(1).f32(3e38f).f32(-3e38f).f32(0);
    MESH mesh = load_bytes(CHUNK(0x4D4D).add(outer).add(CHUNK(0x4D4D).add(verts)).bytes());
    ASSERT_TRUE(mesh && mesh->get_nr_vtx() == 2u);
    EXPECT_EQ(mesh->get_nr_material(), 2u);
    float p[3];
    mesh->get_vtx(0, p);
    EXPECT_EQ(std::vector<float>(p, p + 3), (std::vector<float>{0, 0, 1}));
    EXPECT_TRUE(std::isfinite(mesh->get_r()));
    // Materials, vertices and their mapping before any main chunk are read and dropped.
    CHUNK early(0xAFFF);
    early.add(CHUNK(0xA000).str("x")).add(CHUNK(0x4110).u16(1).f32(1).f32(2).f32(3)).add(CHUNK(0x4140).u16(1).f32(1).f32(2));
    EXPECT_EQ(load_bytes(early.bytes()), nullptr);
    // The deepest chunk still read lies 63 below the main chunk; deeper ones,
    // even thousands deep, are passed over without going down the stack, and
    // what follows them is read in step.
    for (int nest : {62, 63, 2000}) {
        CHUNK deep = triangle_vertices(1);
        for (int i = 0; i < nest; i++) {
            CHUNK up(0x3D3D);
            up.body = deep.bytes();
            deep = up;
        }
        MESH m = load_bytes(CHUNK(0x4D4D).add(deep).add(CHUNK(0xAFFF).add(CHUNK(0xA000).str("after"))).bytes());
        ASSERT_TRUE(m);
        EXPECT_EQ(m->get_nr_vtx(), nest < 63 ? 3u : 0u) << nest;
        EXPECT_STREQ(m->get_material(m->get_nr_material() - 1)->get_name(), "after") << nest;
    }
}

static void collect_models(THING* t, std::vector<MODEL*>& out)
{
    if (t->get_model() && t->get_model()->is_meshmodel())
        out.push_back(t->get_model());
    for (THING* c = t->get_first_child(); c; c = c->get_next())
        collect_models(c, out);
}

// Two waves of targets show the same meshes, though the model files are gone
// after the first; a mesh outlives the cache while a thing holds it.
TEST(SharedMeshes, WavesOfTargetsShareTheirMeshesAndReadEachFileOnce)
{
    TEST_DATA_PATH data;
    std::filesystem::copy("data", data.path(), std::filesystem::copy_options::recursive);
    THING world;
    std::vector<MODEL*> shown[2 * TARGETS_PER_WAVE];
    std::vector<std::filesystem::path> models;
    for (int wave = 0; wave < 2; wave++) {
        respawn_targets(&world);
        int n = 0;
        for (THING* t = world.get_first_child(); t; t = t->get_next(), n++) {
            shown[n].clear();
            collect_models(t, shown[n]);
        }
        for (auto& f : std::filesystem::recursive_directory_iterator(data.path()))
            if (f.path().extension() == ".3ds")
                models.push_back(f.path());
        for (auto& m : models)
            std::filesystem::remove(m);  // the second wave must not need them
    }
    for (int n = 1; n < 2 * TARGETS_PER_WAVE; n++)
        EXPECT_EQ(shown[n], shown[0]) << "target " << n;
    // Cleared, the cache lets go (ASan watches the meshes' end); loads read anew.
    int held = shown[0].at(0)->get_refcount();  // held by the cache and every target
    mesh_cache.clear();
    EXPECT_EQ(shown[0][0]->get_refcount(), held - 1);
    MESH3DS bad;  // a face names a vertex the mesh lacks
    bad.vertices = {{{0, 0, 0}}, {{5, 0, 0}}, {{0, 5, 0}}};
    bad.faces = {{{0, 1, 2}}, {{0, 1, 9}}};
    write3ds(models[0], bad);
    MESHMODEL* again = mesh_cache.load(models[0].c_str());
    EXPECT_FLOAT_EQ(again ? again->get_r() : 0.0f, 5.0f);
    load3ds_dropped_faces = 0;  // told again from the first reading
    EXPECT_TRUE(mesh_cache.load(models[0].c_str()) == again && load3ds_dropped_faces == 1u);
    EXPECT_TRUE(!mesh_cache.load(models.at(1).c_str()) && !mesh_cache.load(nullptr));  // gone from the disk
    mesh_cache.clear();
}
