// Meshes shared between the things that show them: each 3DS file is read
// once per run, and a mesh lives while anyone holds it.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "game/globals.h"
#include "game/targets.h"
#include "render/load3ds.h"
#include "render/mesh_cache.h"
#include "render/meshmodel.h"
#include "scene/thing.h"
#include "test_data_path.h"
#include "write3ds.h"

namespace {

MESH3DS triangle(float size)
{
    MESH3DS m;
    m.vertices = {{{0, 0, 0}}, {{size, 0, 0}}, {{0, size, 0}}};
    m.faces = {{{0, 1, 2}}};
    return m;
}

// Every mesh in the subtree of t, in tree order.
void collect_models(THING* t, std::vector<MODEL*>& out)
{
    if (t->get_model() && t->get_model()->is_meshmodel())
        out.push_back(t->get_model());
    for (THING* c = t->get_first_child(); c; c = c->get_next())
        collect_models(c, out);
}

// The game's data, copied where a test may delete files from it.
struct DATA_COPY {
    DATA_COPY()
    {
        std::filesystem::copy("data", dir.path(), std::filesystem::copy_options::recursive);
        saved = data_path;
        data_path = dir.path().c_str();
    }
    ~DATA_COPY()
    {
        data_path = saved;
        mesh_cache.clear();
    }
    void remove_models()
    {
        for (auto& f : std::filesystem::recursive_directory_iterator(dir.path()))
            if (f.path().extension() == ".3ds")
                removed.push_back(f.path());
        for (auto& p : removed)
            std::filesystem::remove(p);
    }
    TEMP_DIR dir;
    const char* saved;
    std::vector<std::filesystem::path> removed;
};

}  // namespace

TEST(SharedMeshes, AFileIsReadOnceAndItsMeshOutlivesTheCacheWhileHeld)
{
    TEST_DATA_PATH data;
    write3ds(data.file("a.3ds"), triangle(2.0f));
    std::string path = data.file("a.3ds");
    MESHMODEL* first = mesh_cache.load(path.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_FLOAT_EQ(first->get_r(), 2.0f);

    // Rewritten on disk: the cache answers what it read the first time.
    write3ds(path, triangle(5.0f));
    THING* holder = new THING();
    holder->set_model(mesh_cache.load(path.c_str()));
    EXPECT_EQ(holder->get_model(), first);
    EXPECT_EQ(first->get_refcount(), 2);  // the cache and the thing

    // Cleared, the cache lets go; the thing still draws the mesh, and the
    // next load reads the file anew.
    mesh_cache.clear();
    EXPECT_EQ(first->get_refcount(), 1);
    MESHMODEL* again = mesh_cache.load(path.c_str());
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, first);
    EXPECT_FLOAT_EQ(again->get_r(), 5.0f);
    delete holder;  // the last holder of the first mesh destroys it (ASan watches)
    mesh_cache.clear();

    // A file that does not load is tried again, and loads once it exists.
    std::string late = data.file("late.3ds");
    EXPECT_EQ(mesh_cache.load(late.c_str()), nullptr);
    write3ds(late, triangle(1.0f));
    EXPECT_NE(mesh_cache.load(late.c_str()), nullptr);
    EXPECT_EQ(mesh_cache.load(nullptr), nullptr);
    mesh_cache.clear();
}

// Two waves of eight targets built from the game's own data: every target
// shows the very same meshes, and the second wave reads no model file at
// all (they are gone from the disk by then).
TEST(SharedMeshes, WavesOfTargetsShareTheirMeshesAndReadEachFileOnce)
{
    DATA_COPY data;
    THING world;
    respawn_targets(&world);
    std::vector<std::vector<MODEL*>> models;
    for (THING* t = world.get_first_child(); t; t = t->get_next()) {
        models.emplace_back();
        collect_models(t, models.back());
    }
    ASSERT_EQ(models.size(), (size_t)TARGETS_PER_WAVE);
    EXPECT_GE(models[0].size(), 5u);  // hull, cockpit and the fitted items
    for (const auto& list : models)
        EXPECT_EQ(list, models[0]);

    data.remove_models();
    ASSERT_FALSE(data.removed.empty());
    respawn_targets(&world);
    int n = 0;
    for (THING* t = world.get_first_child(); t; t = t->get_next(), n++) {
        std::vector<MODEL*> list;
        collect_models(t, list);
        if (n >= TARGETS_PER_WAVE) {
            EXPECT_EQ(list, models[0]) << "target " << n;
        }
    }
    EXPECT_EQ(n, 2 * TARGETS_PER_WAVE);
}
