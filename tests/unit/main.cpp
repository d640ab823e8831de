#include <gtest/gtest.h>

#include "render/mesh_cache.h"
#include "test_allegro.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ensure_headless_allegro();
    int failed = RUN_ALL_TESTS();
    // Tests that load vessels without building a world leave their meshes in
    // the shared cache; give them back so the leak checker sees only leaks.
    mesh_cache.clear();
    return failed;
}
