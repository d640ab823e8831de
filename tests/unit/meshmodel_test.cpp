// The triangle mesh without a GL context: storage, normals, edges, the box,
// the 2-D silhouette, and the faces a damaged mesh may hold.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <vector>

#include "render/meshmodel.h"
#include "scene/states.h"
#include "test_allegro.h"

namespace {

void expect_vec(const float* v, float x, float y, float z)
{
    EXPECT_NEAR(v[0], x, 1e-6);
    EXPECT_NEAR(v[1], y, 1e-6);
    EXPECT_NEAR(v[2], z, 1e-6);
}

// Two triangles in the z = 0 plane sharing the side 1-2 ... folded by
// lifting vertex 3.
void make_pair(MESHMODEL& m, float lift)
{
    m.initialize_vtx_list(4);
    m.load_vtx(0, 0, 0, 0);
    m.load_vtx(1, 1, 0, 0);
    m.load_vtx(2, 0, 1, 0);
    m.load_vtx(3, 1, 1, lift);
    m.initialize_face_list(2);
    m.load_face(0, 0, 1, 2);
    m.load_face(1, 1, 3, 2);
}

}  // namespace

TEST(MeshModel, BoxAlwaysHoldsTheOriginAndRadiusIsTheFarthestVertex)
{
    MESHMODEL m;
    m.initialize_vtx_list(2);
    m.load_vtx(0, 2, 3, 4);
    m.load_vtx(1, 5, 3, 4);
    float box[6] = {NAN, NAN, NAN, NAN, NAN, NAN};
    m.get_bounding_box(box);  // x from, to; y from, to; z from, to
    EXPECT_EQ(std::vector<float>(box, box + 6), (std::vector<float>{0, 5, 0, 3, 0, 4}));
    EXPECT_FLOAT_EQ(m.get_r(), std::sqrt(50.0f));
    float corner[3];
    m.get_bounding_box_corner(5, corner);
    expect_vec(corner, 5, 0, 4);
    float inside[3] = {5, 3, 0}, outside[3] = {5.01f, 1, 1};
    EXPECT_TRUE(m.bounding_box_check(inside));
    EXPECT_FALSE(m.bounding_box_check(outside));
    // The position-only form leaves radius and box alone.
    float far[3] = {100, 100, 100};
    m.load_vtx(0, far);
    m.get_bounding_box(box);
    EXPECT_EQ(box[1], 5.0f);
    EXPECT_FLOAT_EQ(m.get_r(), std::sqrt(50.0f));
    // A new vertex list shrinks the box back to the origin.
    m.initialize_vtx_list(1);
    m.get_bounding_box(box);
    EXPECT_EQ(box[1], 0.0f);
}

TEST(MeshModel, TwoTrianglesSharingASideGiveOneEdgeAndSmoothedCorners)
{
    MESHMODEL m;
    make_pair(m, 0.0f);
    m.prepare();
    ASSERT_EQ(m.get_nr_edge(), 1u);
    const MESH_EDGE* e = m.get_edge(0);
    EXPECT_EQ(std::min(e->a, e->b), 1u);
    EXPECT_EQ(std::max(e->a, e->b), 2u);
    EXPECT_FLOAT_EQ(e->cos_angle, 1.0f);
    const MESH_FACE* f0 = m.get_face_record(0);
    // (p2 - p1) x (p1 - p0) for (0,0,0), (1,0,0), (0,1,0) points down.
    expect_vec(f0->normal, 0, 0, -1);
    EXPECT_EQ(m.find_edge(2, 1), 0u);
    EXPECT_EQ(m.find_edge(3, 3), 1u);
    EXPECT_EQ(m.find_edge(0, 3), 1u);

    // Folded: the shared corners get the mean of both faces, the others
    // their own face's normal.
    MESHMODEL folded;
    make_pair(folded, 1.0f);
    folded.prepare();
    const MESH_FACE* a = folded.get_face_record(0);
    const MESH_FACE* b = folded.get_face_record(1);
    float mean[3] = {a->normal[0] + b->normal[0], a->normal[1] + b->normal[1], a->normal[2] + b->normal[2]};
    float len = std::sqrt(mean[0] * mean[0] + mean[1] * mean[1] + mean[2] * mean[2]);
    expect_vec(a->corner_normal[1], mean[0] / len, mean[1] / len, mean[2] / len);
    expect_vec(b->corner_normal[2], mean[0] / len, mean[1] / len, mean[2] / len);
    expect_vec(a->corner_normal[0], a->normal[0], a->normal[1], a->normal[2]);
    expect_vec(b->corner_normal[1], b->normal[0], b->normal[1], b->normal[2]);
    EXPECT_LT(folded.get_edge(0)->cos_angle, 1.0f);
}

TEST(MeshModel, SingleTriangleHasNoEdgeAndCornersUseTheFaceNormal)
{
    MESHMODEL m;
    float p[3][3] = {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}};
    for (auto& v : p)
        m.add_vtx(v);
    m.add_face(0, 1, 2);
    m.prepare();
    EXPECT_EQ(m.get_nr_edge(), 0u);
    const MESH_FACE* f = m.get_face_record(0);
    for (int c = 0; c < 3; c++)
        expect_vec(f->corner_normal[c], f->normal[0], f->normal[1], f->normal[2]);
    EXPECT_NEAR(std::fabs(f->normal[0]), 1.0f, 1e-6);
    // Flipping reverses the winding and, once prepared again, the normal.
    float before = f->normal[0];
    m.flip_face(0);
    unsigned int idx[3];
    m.get_face(0, idx);
    EXPECT_EQ(idx[0], 2u);
    EXPECT_EQ(idx[2], 0u);
    EXPECT_FALSE(m.is_prepared());
    m.prepare();
    EXPECT_FLOAT_EQ(m.get_face_record(0)->normal[0], -before);
}

TEST(MeshModel, ZeroAreaFacesAndOppositeTwinsGiveFiniteUnitNormals)
{
    MESHMODEL m;
    m.initialize_vtx_list(3);
    m.load_vtx(0, 1, 1, 1);
    m.load_vtx(1, 1, 1, 1);
    m.load_vtx(2, 2, 2, 2);
    m.initialize_face_list(3);
    m.load_face(0, 0, 1, 2);  // two corners in one place
    m.load_face(1, 0, 0, 0);  // one vertex thrice
    m.load_face(2, 2, 1, 0);
    m.prepare();
    for (unsigned int i = 0; i < m.get_nr_face(); i++) {
        const MESH_FACE* f = m.get_face_record(i);
        for (int c = 0; c < 3; c++) {
            const float* n = f->corner_normal[c];
            ASSERT_TRUE(std::isfinite(n[0]) && std::isfinite(n[1]) && std::isfinite(n[2]));
            EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0f, 1e-5);
        }
    }
    // A triangle and its reverse twin: their normals cancel on the shared edges.
    MESHMODEL twins;
    float p[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (auto& v : p)
        twins.add_vtx(v);
    twins.add_face(0, 1, 2);
    twins.add_face(2, 1, 0);
    twins.prepare();
    EXPECT_EQ(twins.get_nr_edge(), 3u);
    for (unsigned int e = 0; e < 3; e++) {
        const float* n = twins.get_edge(e)->normal;
        EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0f, 1e-5);
    }
}

TEST(MeshModel, RemoveVtxDropsItsFacesAndRenumbersTheRest)
{
    MESHMODEL m;
    make_pair(m, 0.0f);
    m.load_face(1, 1, 2, 3);
    m.remove_vtx(0);
    ASSERT_EQ(m.get_nr_vtx(), 3u);
    ASSERT_EQ(m.get_nr_face(), 1u);
    unsigned int f[3];
    m.get_face(0, f);
    EXPECT_EQ(f[0], 0u);
    EXPECT_EQ(f[1], 1u);
    EXPECT_EQ(f[2], 2u);
    float p[3];
    m.get_vtx(0, p);
    expect_vec(p, 1, 0, 0);
    m.remove_vtx(7);  // ignored
    EXPECT_EQ(m.get_nr_vtx(), 3u);
    m.prepare();
    EXPECT_EQ(m.get_nr_edge(), 0u);
}

TEST(MeshModel, OutOfRangeAccessIsIgnoredAndReadsAsZero)
{
    MESHMODEL m;
    make_pair(m, 0.0f);
    m.load_vtx(9, 5, 5, 5);
    m.load_face(9, 0, 0, 0);
    m.load_vtx_uv(9, 1, 1);
    m.set_face_material(9, nullptr);
    m.remove_face(9);
    float p[3] = {7, 7, 7}, uv[2] = {7, 7};
    m.get_vtx(9, p);
    expect_vec(p, 0, 0, 0);
    m.get_vtx_uv(9, uv);
    EXPECT_EQ(uv[0], 0.0f);
    unsigned int f[3] = {7, 7, 7};
    m.get_face(9, f);
    EXPECT_EQ(f[0], 0u);
    EXPECT_EQ(m.get_face_material(9), nullptr);
    EXPECT_EQ(m.get_material(0), nullptr);
    EXPECT_EQ(m.get_next_face_with_material(nullptr, m.get_nr_face()), NO_FACE);
    EXPECT_EQ(m.get_next_face_with_material(nullptr, 1), 1u);
    EXPECT_EQ(m.count_faces_with_material(nullptr), 2u);
}

TEST(MeshModel, FacesPastTheVertexListAreSkippedAndCanBeRemoved)
{
    MESHMODEL m;
    make_pair(m, 0.0f);
    m.add_face(0, 1, 99);
    m.initialize_vtx_list(3);  // face 1 now names vertex 3, which is gone
    m.prepare();
    m.paint(PAINT_SOLID);
    BITMAP* bmp = create_bitmap_ex(32, 32, 32);
    clear_to_color(bmp, 0);
    m.allegro_paint(bmp, 16, 16, 10.0f);
    destroy_bitmap(bmp);
    EXPECT_EQ(m.remove_invalid_faces(), 2u);
    EXPECT_EQ(m.get_nr_face(), 1u);
}

TEST(MeshModel, SortFacesGroupsByMaterialInListOrder)
{
    MESHMODEL m;
    MATERIAL* a = new MATERIAL("a");
    MATERIAL* b = new MATERIAL("b");
    m.add_material(a);
    m.add_material(b);
    make_pair(m, 0.0f);
    m.add_face(0, 1, 3);
    m.add_face(0, 2, 3);
    m.set_face_material(0, b);
    m.set_face_material(1, a);
    m.set_face_material(3, b);
    m.sort_faces();
    EXPECT_EQ(m.get_face_material(0), nullptr);
    EXPECT_EQ(m.get_face_material(1), a);
    EXPECT_EQ(m.get_face_material(2), b);
    EXPECT_EQ(m.get_face_material(3), b);
    unsigned int f[3];
    m.get_face(2, f);  // file order kept inside a group
    EXPECT_EQ(f[2], 2u);
    EXPECT_EQ(m.find_material("b"), b);
    EXPECT_EQ(m.find_material("B"), a);
}

TEST(MeshModel, SilhouetteFillsFacesSeenFromAboveInAMaterialColour)
{
    ensure_headless_allegro();
    MESHMODEL m;
    m.add_material(new MATERIAL("hull"));
    float p[4][3] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    for (auto& v : p)
        m.add_vtx(v);
    m.add_face(0, 2, 1);  // clockwise seen from +z: drawn
    m.add_face(0, 3, 2);
    BITMAP* bmp = create_bitmap_ex(32, 64, 32);
    clear_to_color(bmp, 0);
    m.allegro_paint(bmp, 32, 16, 10.0f);
    int c = getpixel(bmp, 32, 16);
    EXPECT_NE(c, 0);
    EXPECT_EQ(getpixel(bmp, 38, 12), c);  // upper right: inside the first face
    EXPECT_EQ(getpixel(bmp, 26, 20), c);  // lower left: the second
    EXPECT_EQ(getpixel(bmp, 50, 16), 0);
    // Counter-clockwise faces stay out.
    clear_to_color(bmp, 0);
    m.flip_face(0);
    m.flip_face(1);
    m.allegro_paint(bmp, 32, 16, 10.0f);
    EXPECT_EQ(getpixel(bmp, 32, 16), 0);
    destroy_bitmap(bmp);
}

TEST(MeshModel, PaintingKeepsTheCacheInStep)
{
    MESHMODEL m;
    make_pair(m, 0.5f);
    m.add_material(new MATERIAL("m"));
    light_materials = true;
    disable_lights();
    disable_bfc();
    disable_z_write();
    m.paint(PAINT_MATERIALS | PAINT_SOLID);
    EXPECT_TRUE(m.is_prepared());
    EXPECT_TRUE(z_write_enabled());
    EXPECT_TRUE(z_check_enabled());
    // The default material's switches are made before the batch (inside it
    // materials change colours only), whatever the model before left.
    EXPECT_TRUE(lights_enabled());
    EXPECT_TRUE(bfc_enabled());
    light_materials = false;
    m.paint(PAINT_MATERIALS | PAINT_SOLID);
    EXPECT_FALSE(lights_enabled());  // unlit materials show their flat colour
    m.paint(PAINT_BOUNDING_BOX);
    EXPECT_FALSE(lights_enabled());
    EXPECT_FALSE(bfc_enabled());
}
