// Each 3DS file is read once per run; a mesh lives while anyone holds it.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "game/targets.h"
#include "render/load3ds.h"
#include "render/mesh_cache.h"
#include "render/meshmodel.h"
#include "scene/thing.h"
#include "test_data_path.h"
#include "write3ds.h"

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
