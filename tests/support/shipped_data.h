// Points the game's data_path at the shipped data/ of the source tree for
// the life of the object, for tests that fly the real vessels.
#pragma once

#include <string>

class SHIPPED_DATA {
public:
    SHIPPED_DATA();   // headless Allegro, data_path = <source>/data/
    ~SHIPPED_DATA();  // data_path as it was
    SHIPPED_DATA(const SHIPPED_DATA&) = delete;
    SHIPPED_DATA& operator=(const SHIPPED_DATA&) = delete;

    std::string file(const std::string& name) const { return dir + name; }

private:
    const char* saved;
    std::string dir;
};
