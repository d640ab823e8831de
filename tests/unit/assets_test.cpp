// The asset generator reproduces data/ byte for byte (the scene's frames,
// drawn from the shipped meshes, are the golden frames' business).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "assets.h"
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
