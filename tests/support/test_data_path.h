// Points the game's data_path at a temporary directory for the life of the
// object, for tests that assemble vessels from definition files.
#pragma once

#include <string>

#include "test_allegro.h"

class TEST_DATA_PATH {
public:
    TEST_DATA_PATH();   // data_path = dir.path()
    ~TEST_DATA_PATH();  // data_path as it was
    TEST_DATA_PATH(const TEST_DATA_PATH&) = delete;
    TEST_DATA_PATH& operator=(const TEST_DATA_PATH&) = delete;

    void write(const std::string& name, const std::string& contents) const { dir.write(name, contents); }
    std::string file(const std::string& name) const { return dir.file(name); }
    // A 3DS box of the given half-size centred on the origin.
    void write_box_mesh(const std::string& name, float half) const;
    const std::string& path() const { return dir.path(); }

private:
    TEMP_DIR dir;
    const char* saved;
};
