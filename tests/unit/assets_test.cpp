// The asset generator: reproducible output, sound meshes, seamless pictures
// and loops, and equipment mounts that sit on the hull skin.
#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "assets.h"
#include "assets_hulls.h"
#include "assets_meshes.h"
#include "assets_modeller.h"
#include "assets_sounds.h"
#include "assets_textures.h"
#include "render/load3ds.h"
#include "render/meshmodel.h"
#include "test_allegro.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::vector<ASSET_FILE>& assets()
{
    static const std::vector<ASSET_FILE> all = make_assets();
    return all;
}

const std::vector<NAMED_MESH>& meshes()
{
    static const std::vector<NAMED_MESH> all = make_meshes();
    return all;
}

float point_triangle_distance(V3 p, V3 a, V3 b, V3 c)
{
    // Closest point on the triangle (Ericson's region tests).
    V3 ab = b - a, ac = c - a, ap = p - a;
    float d1 = dot(ab, ap), d2 = dot(ac, ap);
    if (d1 <= 0 && d2 <= 0)
        return length(p - a);
    V3 bp = p - b;
    float d3 = dot(ab, bp), d4 = dot(ac, bp);
    if (d3 >= 0 && d4 <= d3)
        return length(p - b);
    float vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0)
        return length(p - (a + ab * (d1 / (d1 - d3))));
    V3 cp = p - c;
    float d5 = dot(ab, cp), d6 = dot(ac, cp);
    if (d6 >= 0 && d5 <= d6)
        return length(p - c);
    float vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0)
        return length(p - (a + ac * (d2 / (d2 - d6))));
    float va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0)
        return length(p - (b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)))));
    float denom = 1.0f / (va + vb + vc);
    return length(p - (a + ab * (vb * denom) + ac * (vc * denom)));
}

float distance_to_mesh(V3 p, const MESH3DS& m)
{
    float best = 1e9f;
    for (const auto& f : m.faces) {
        V3 q[3];
        for (int k = 0; k < 3; k++)
            q[k] = v3(m.vertices[f[k]][0], m.vertices[f[k]][1], m.vertices[f[k]][2]);
        best = std::min(best, point_triangle_distance(p, q[0], q[1], q[2]));
    }
    return best;
}

}  // namespace

TEST(Assets, RegenerationChangesNoByte)
{
    TEMP_DIR dir;
    ASSERT_TRUE(write_assets(dir.path(), assets()));
    const std::string shipped = std::string(SORTIE_SOURCE_DIR) + "/data/";
    std::set<std::string> generated;
    for (const ASSET_FILE& f : assets()) {
        generated.insert(f.path);
        EXPECT_EQ(read_file(dir.file(f.path)), read_file(shipped + f.path)) << f.path << " differs from data/";
    }
    // Everything shipped under data/ comes from the generator.
    for (const auto& e : fs::recursive_directory_iterator(shipped)) {
        if (!e.is_regular_file())
            continue;
        std::string rel = fs::relative(e.path(), shipped).generic_string();
        EXPECT_TRUE(generated.count(rel)) << rel << " is shipped but not generated";
    }
}

TEST(AssetMeshes, EveryMeshIsClosedOutwardAndSmall)
{
    ASSERT_GE(meshes().size(), 3u);
    for (const NAMED_MESH& m : meshes()) {
        SCOPED_TRACE(m.path);
        MESH_REPORT r = inspect_mesh(m.mesh);
        EXPECT_EQ(r.bad_indices, 0u);
        EXPECT_EQ(r.open_edges, 0u);
        EXPECT_EQ(r.degenerate_faces, 0u);
        // Outward with the game's normal, i.e. faces wind clockwise seen
        // from outside: the signed volume is positive.
        EXPECT_GT(r.volume, 0.0f);
        EXPECT_LT(m.mesh.vertices.size(), 65535u);
        EXPECT_GE(m.mesh.faces.size(), 20u);
        EXPECT_LE(m.mesh.faces.size(), 6000u);
        ASSERT_EQ(m.mesh.face_material.size(), m.mesh.faces.size());
        for (int mat : m.mesh.face_material) {
            ASSERT_GE(mat, 0);
            ASSERT_LT(size_t(mat), m.mesh.materials.size());
        }
    }
}

TEST(AssetMeshes, TheGameLoadsEveryShippedMeshAsWritten)
{
    ensure_headless_allegro();
    for (const NAMED_MESH& m : meshes()) {
        SCOPED_TRACE(m.path);
        std::string file = std::string(SORTIE_SOURCE_DIR) + "/data/" + m.path;
        MESHMODEL* loaded = load3ds(file.c_str(), nullptr);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->get_nr_vtx(), m.mesh.vertices.size());
        EXPECT_EQ(loaded->get_nr_face(), m.mesh.faces.size());
        EXPECT_EQ(loaded->get_nr_material(), m.mesh.materials.size());
        // Every face got a material from the file (none fell back to the
        // first one by a name that did not match).
        for (unsigned long i = 0; i < loaded->get_nr_material(); i++) {
            MATERIAL* mat = loaded->get_material(i);
            unsigned long want = 0;
            for (size_t f = 0; f < m.mesh.faces.size(); f++)
                want += m.mesh.face_material[f] == int(i);
            EXPECT_EQ(loaded->count_faces_with_material(mat), want) << i;
        }
        delete loaded;
    }
}

TEST(AssetMeshes, InspectionCatchesInsideOutAndOpenSurfaces)
{
    MODELLER good("cube");
    good.box(v3(-1, -1, -1), v3(1, 1, 1), good.material("grey", 0.5f, 0.5f, 0.5f));
    MESH3DS cube = good.take();
    EXPECT_NEAR(inspect_mesh(cube).volume, 8.0f, 1e-4f);
    EXPECT_EQ(inspect_mesh(cube).open_edges, 0u);

    MESH3DS flipped = cube;
    for (auto& f : flipped.faces)
        std::swap(f[1], f[2]);
    EXPECT_NEAR(inspect_mesh(flipped).volume, -8.0f, 1e-4f);

    MESH3DS holed = cube;
    holed.faces.pop_back();
    holed.face_material.pop_back();
    EXPECT_EQ(inspect_mesh(holed).open_edges, 3u);

    MESH3DS bad = cube;
    bad.faces[0][2] = uint16_t(bad.vertices.size());
    EXPECT_EQ(inspect_mesh(bad).bad_indices, 1u);
}

TEST(AssetMeshes, HullsAreFightersWithCockpitsAroundThePilotAndVisibleMountsOnTheirSkin)
{
    auto mesh = [](const std::string& path) -> const MESH3DS* {
        for (const NAMED_MESH& m : meshes())
            if (m.path == path)
                return &m.mesh;
        return nullptr;
    };
    for (const HULL_LAYOUT& h : hull_layouts()) {
        SCOPED_TRACE(h.stem);
        const MESH3DS* hull = mesh("models/" + h.stem + ".3ds");
        const MESH3DS* cockpit = mesh("models/" + h.stem + "_cockpit.3ds");
        ASSERT_TRUE(hull && cockpit);
        MESH_REPORT r = inspect_mesh(*hull);
        // Longer than tall, wider than tall, several materials.
        EXPECT_GT(r.hi.y - r.lo.y, 2.5f * (r.hi.z - r.lo.z));
        EXPECT_GT(r.hi.x - r.lo.x, 2.0f * (r.hi.z - r.lo.z));
        EXPECT_GE(hull->materials.size(), 5u);
        // The pilot sits inside the hull's box, ahead of the middle, and the
        // cockpit has parts ahead of and beside the eye.
        EXPECT_GT(h.pilot.y, 0.0f);
        EXPECT_LT(h.pilot.z, r.hi.z);
        MESH_REPORT c = inspect_mesh(*cockpit);
        EXPECT_GT(c.hi.y, h.pilot.y + 1.0f);
        EXPECT_LT(c.lo.x, h.pilot.x - 0.5f);
        EXPECT_GT(c.hi.x, h.pilot.x + 0.5f);
        EXPECT_GE(h.mounts.size(), 10u);
        EXPECT_LE(h.mounts.size(), 32u);
        for (const MOUNT& m : h.mounts) {
            if (m.type.find('i') == std::string::npos) {  // not hidden inside the hull
                EXPECT_LT(distance_to_mesh(m.pos, *hull), 0.3f)
                    << "mount " << m.type << " at " << m.pos.x << ", " << m.pos.y << ", " << m.pos.z;
            }
        }
    }
}

TEST(AssetTextures, PicturesTileWithoutSeams)
{
    for (int which = 0; which < 2; which++) {
        PICTURE p = which == 0 ? make_ground_texture(256) : make_sky_texture(256);
        ASSERT_EQ(p.rgb.size(), size_t(256 * 256 * 3));
        auto at = [&](int x, int y) { return int(p.rgb[(size_t(y) * p.w + x) * 3 + 1]); };
        double inner = 0, seam_x = 0, seam_y = 0;
        for (int i = 0; i < 256; i++) {
            inner += std::abs(at(100, i) - at(101, i)) + std::abs(at(i, 100) - at(i, 101));
            seam_x += std::abs(at(255, i) - at(0, i));
            seam_y += std::abs(at(i, 255) - at(i, 0));
        }
        // Across the wrap-around the picture changes no more than between
        // any two neighbouring columns or rows.
        EXPECT_LT(seam_x, inner + 256 * 2) << which;
        EXPECT_LT(seam_y, inner + 256 * 2) << which;
    }
}

TEST(AssetTextures, BmpReadsBackWithItsPixelsInPlace)
{
    PICTURE p;
    p.w = 3;
    p.h = 2;
    p.rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    std::vector<uint8_t> b = encode_bmp24(p);
    EXPECT_EQ(b.size(), 54u + 2 * 12u);  // uncompressed, rows padded to 12 bytes
    ensure_headless_allegro();
    TEMP_DIR dir;
    dir.write("t.bmp", std::string(b.begin(), b.end()));
    set_color_depth(24);
    BITMAP* bmp = load_bitmap(dir.file("t.bmp").c_str(), nullptr);
    set_color_depth(32);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->w, 3);
    EXPECT_EQ(bmp->h, 2);
    int top_left = getpixel(bmp, 0, 0), bottom_right = getpixel(bmp, 2, 1);
    EXPECT_EQ(getr24(top_left), 255);
    EXPECT_EQ(getg24(top_left), 0);
    EXPECT_EQ(getr24(bottom_right), 70);
    EXPECT_EQ(getb24(bottom_right), 90);
    destroy_bitmap(bmp);
}

TEST(AssetSounds, EveryEffectIsAShortAudibleMonoWavEndingInSilenceAndTheEngineLoopsWithoutAClick)
{
    ensure_headless_allegro();
    std::vector<NAMED_SOUND> sounds = make_sounds();
    ASSERT_GE(sounds.size(), 8u);
    TEMP_DIR dir;
    for (const NAMED_SOUND& s : sounds) {
        SCOPED_TRACE(s.path);
        std::vector<uint8_t> wav = encode_wav16(s.wave);
        dir.write("s.wav", std::string(wav.begin(), wav.end()));
        SAMPLE* smp = load_sample(dir.file("s.wav").c_str());
        ASSERT_TRUE(smp);
        EXPECT_EQ(smp->bits, 16);
        EXPECT_EQ(smp->stereo, 0);
        EXPECT_EQ(smp->freq, SOUND_RATE);
        EXPECT_EQ(smp->len, s.wave.size());
        destroy_sample(smp);
        float peak = 0;
        for (float v : s.wave)
            peak = std::max(peak, std::fabs(v));
        EXPECT_GT(peak, 0.5f);  // audible
        EXPECT_LE(peak, 1.0f);  // never clips
        EXPECT_LT(s.wave.size(), size_t(SOUND_RATE * 4));
        if (s.path != "sounds/engine.wav") {
            EXPECT_NEAR(s.wave.back(), 0.0f, 1e-3f);
        }
    }
    WAVE w = make_engine_loop();
    double mean_step = 0;
    for (size_t i = 0; i + 1 < w.size(); i++)
        mean_step += std::fabs(w[i + 1] - w[i]);
    mean_step /= double(w.size() - 1);
    // The jump from the last sample back to the first is an ordinary step.
    EXPECT_LT(std::fabs(w.front() - w.back()), 2 * mean_step);
    EXPECT_GT(mean_step, 0.001);
}
