// The triangle mesh without a GL context: storage, normals, edges, the box,
// and the faces a damaged mesh may hold (its silhouette on the target screen
// is the golden frames' business).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/meshmodel.h"
#include "scene/states.h"

namespace {

std::vector<float> v3(const float* v) { return {v[0], v[1], v[2]}; }

// Two triangles in the z = 0 plane sharing the side 1-2, folded by lifting 3.
void make_pair(MESHMODEL& m, float lift)
{
    float p[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, lift}};
    m.initialize_vtx_list(4);
    for (unsigned int i = 0; i < 4; i++)
        m.load_vtx(i, p[i][0], p[i][1], p[i][2]);
    m.initialize_face_list(2);
    m.load_face(0, 0, 1, 2);
    m.load_face(1, 1, 3, 2);
}

}  // namespace

TEST(MeshModel, BoxAlwaysHoldsTheOriginAndRadiusIsTheFarthestVertex)
{
    // Its picture's coordinates: toward zero, held within a million pixels; NaN far off.
    EXPECT_EQ(std::vector<int>({trunc_int(2.9f), trunc_int(-2.9f), trunc_int(999999.9f), trunc_int(3e9f), trunc_int(-3e9f), trunc_int(NAN)}),
              std::vector<int>({2, -2, 999999, 1000000, -1000000, -1000000}));
    MESHMODEL m;
    m.initialize_vtx_list(2);
    m.load_vtx(0, 2, 3, 4);
    m.load_vtx(1, 5, 3, -4);
    float box[6], corner[3];
    m.get_bounding_box(box);  // x from, to; y from, to; z from, to
    EXPECT_EQ(std::vector<float>(box, box + 6), (std::vector<float>{0, 5, 0, 3, -4, 4}));
    EXPECT_TRUE(m.get_r() == std::sqrt(50.0f) && m.get_paint_r() == std::sqrt(50.0f));  // the box's far corner
    m.get_bounding_box_corner(5, corner);
    EXPECT_EQ(v3(corner), (std::vector<float>{5, 0, 4}));
    float inside[3] = {5, 3, -4}, on[3] = {0, 0, 4}, outside[3] = {5.01f, 1, 1}, below[3] = {1, 1, -4.01f};  // faces count
    EXPECT_TRUE(m.bounding_box_check(inside) && m.bounding_box_check(on) && !m.bounding_box_check(outside) && !m.bounding_box_check(below));
    float far[3] = {100, 100, 100};
    m.load_vtx(0, far);  // the position-only form leaves radius and box alone
    m.get_bounding_box(box);
    EXPECT_TRUE(box[1] == 5.0f && m.get_r() == std::sqrt(50.0f));
    m.initialize_vtx_list(1);  // a new vertex list shrinks the box back to the origin
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
    EXPECT_TRUE(e->a + e->b == 3u && e->a * e->b == 2u && e->cos_angle == 1.0f);
    // (p2 - p1) x (p1 - p0) for (0,0,0), (1,0,0), (0,1,0) points down.
    EXPECT_EQ(v3(m.get_face_record(0)->normal), (std::vector<float>{0, 0, -1}));
    EXPECT_TRUE(m.find_edge(2, 1) == 0u && m.find_edge(3, 3) == 1u && m.find_edge(1, 3) == 1u && m.find_edge(2, 0) == 1u &&
                m.find_edge(0, 2) == 1u);
    // Vertex 3 lifted by one: face 1's normal is (1, 1, -1) over root 3, the
    // shared corners get the mean of both faces, the others their face's own.
    MESHMODEL folded;
    make_pair(folded, 1.0f);
    folded.prepare();
    const MESH_FACE* a = folded.get_face_record(0);
    const MESH_FACE* b = folded.get_face_record(1);
    const float s = 1 / std::sqrt(3.0f), len = std::sqrt(2 * s * s + (1 + s) * (1 + s));
    for (int k = 0; k < 3; k++) {
        EXPECT_NEAR(b->normal[k], k == 2 ? -s : s, 1e-6f);
        EXPECT_NEAR(a->corner_normal[1][k], (k == 2 ? -1 - s : s) / len, 1e-6f);
        EXPECT_NEAR(b->corner_normal[2][k], a->corner_normal[1][k], 1e-6f);
        EXPECT_NEAR(a->corner_normal[0][k], a->normal[k], 1e-6f);
        EXPECT_NEAR(b->corner_normal[1][k], b->normal[k], 1e-6f);
    }
    EXPECT_NEAR(folded.get_edge(0)->cos_angle, s, 1e-6f);
    // Flipping reverses the winding and, once prepared again, the normal.
    folded.flip_face(1);
    unsigned int idx[3];
    folded.get_face(1, idx);
    EXPECT_TRUE(std::vector<unsigned>(idx, idx + 3) == (std::vector<unsigned>{2, 3, 1}) && !folded.is_prepared());
    folded.prepare();
    EXPECT_NEAR(folded.get_face_record(1)->normal[2], s, 1e-6f);
}

TEST(MeshModel, ZeroAreaFacesAndOppositeTwinsGiveFiniteUnitNormals)
{
    MESHMODEL m;
    float p[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 1, 0}};
    for (auto& v : p)
        m.add_vtx(v);
    m.add_face(0, 1, 2);  // two corners in one place
    m.add_face(0, 0, 0);  // one vertex thrice
    m.add_face(2, 1, 0);
    m.add_face(0, 2, 1);  // with face 2, opposite twins: their normals cancel
    m.prepare();
    for (unsigned int i = 0; i < m.get_nr_face(); i++)
        for (int c = 0; c < 3; c++) {
            const float* n = m.get_face_record(i)->corner_normal[c];
            EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0f, 1e-5) << i << " " << c;
        }
    EXPECT_EQ(v3(m.get_face_record(1)->normal), (std::vector<float>{0, 0, 1}));  // faces up
    float q[3][3] = {{0, 0, 0}, {1e-20f, 0, 0}, {0, 0, 1e-20f}};  // a face 1e-20 m across still faces its own way
    MESHMODEL tiny;
    tiny.add_vtx(q[0]), tiny.add_vtx(q[1]), tiny.add_vtx(q[2]), tiny.add_face(0, 1, 2), tiny.prepare();
    EXPECT_EQ(std::fabs(tiny.get_face_record(0)->normal[1]), 1.0f);
}

TEST(MeshModel, RemovingAVertexDropsItsFacesAndRenumbersTheRestAndBadFacesAreSkipped)
{
    MESHMODEL m;
    make_pair(m, 0.0f);
    m.load_face(1, 1, 2, 3);
    m.remove_vtx(0);
    ASSERT_TRUE(m.get_nr_vtx() == 3u && m.get_nr_face() == 1u);
    unsigned int f[3];
    float p[3] = {9, 9, 9};  // 9: not written
    m.get_face(0, f);
    m.get_vtx(0, p);
    EXPECT_TRUE(std::vector<unsigned>(f, f + 3) == (std::vector<unsigned>{0, 1, 2}) && v3(p) == (std::vector<float>{1, 0, 0}));
    m.remove_vtx(3);  // ignored, as are other reads and writes from the first index past the end
    m.load_vtx(3, 5, 5, 5), m.load_vtx_uv(3, 1, 1);
    m.load_face(1, 0, 0, 0);
    m.get_vtx(3, p), m.get_face(1, f);
    EXPECT_TRUE(v3(p) == (std::vector<float>{0, 0, 0}) && m.get_nr_vtx() == 3u && std::vector<unsigned>(f, f + 3) == (std::vector<unsigned>{0, 0, 0}));
    m.add_face(0, 1, 99);
    m.add_face(2, 1, 0);
    m.prepare();
    m.paint(PAINT_SOLID);
    EXPECT_EQ(m.get_nr_edge(), 3u);
    EXPECT_TRUE(m.remove_invalid_faces() == 1u && m.get_nr_face() == 2u);
}

