// Headless Allegro for unit tests: memory bitmaps, packfiles, fonts and the
// float maths, with no display.
#pragma once

#include <string>

// Installs Allegro with the SYSTEM_NONE driver once per process.
void ensure_headless_allegro();

// A fresh, empty directory under the system's temporary directory, removed
// with its contents when the object goes.
class TEMP_DIR {
public:
    TEMP_DIR();
    ~TEMP_DIR();
    const std::string& path() const { return dir; }  // ends with '/'
    std::string file(const std::string& name) const { return dir + name; }
    void write(const std::string& name, const std::string& contents) const;

private:
    std::string dir;
};
