// The asset generator reproduces data/ byte for byte, and the game's own
// loader reads every shipped mesh as the generator wrote it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "assets.h"
#include "assets_meshes.h"
#include "render/load3ds.h"
#include "render/meshmodel.h"
#include "test_allegro.h"

namespace fs = std::filesystem;

namespace {

const std::string shipped = std::string(SORTIE_SOURCE_DIR) + "/data/";

std::vector<uint8_t> read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(Assets, RegenerationChangesNoByteAndEveryShippedFileIsGenerated)
{
    const std::vector<ASSET_FILE> assets = make_assets();
    TEMP_DIR dir;
    ASSERT_TRUE(write_assets(dir.path(), assets));
    std::set<std::string> generated;
    for (const ASSET_FILE& f : assets) {
        generated.insert(f.path);
        EXPECT_EQ(read_file(dir.file(f.path)), read_file(shipped + f.path)) << f.path << " differs from data/";
    }
    for (const auto& e : fs::recursive_directory_iterator(shipped)) {
        std::string rel = fs::relative(e.path(), shipped).generic_string();
        EXPECT_TRUE(!e.is_regular_file() || generated.count(rel)) << rel << " is shipped but not generated";
    }
}

TEST(Assets, TheGameLoadsEveryShippedMeshAsWritten)
{
    ensure_headless_allegro();
    for (const NAMED_MESH& m : make_meshes()) {
        SCOPED_TRACE(m.path);
        MESHMODEL* loaded = load3ds((shipped + m.path).c_str(), nullptr);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->get_nr_vtx(), m.mesh.vertices.size());
        EXPECT_EQ(loaded->get_nr_face(), m.mesh.faces.size());
        EXPECT_EQ(loaded->get_nr_material(), m.mesh.materials.size());
        // Every face got its material from the file (none fell back to the
        // first one by a name that did not match).
        for (unsigned long i = 0; i < loaded->get_nr_material(); i++) {
            unsigned long want = std::count(m.mesh.face_material.begin(), m.mesh.face_material.end(), int(i));
            EXPECT_EQ(loaded->count_faces_with_material(loaded->get_material(i)), want) << i;
        }
        delete loaded;
    }
}
