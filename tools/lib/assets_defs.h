// The definition files of the game's own vessels: slot items (.sid), hulls
// (.vhd) and vessel configurations (.vcd), written from the hull layouts.
#pragma once

#include <string>
#include <vector>

struct NAMED_TEXT {
    std::string path;  // relative to the data directory
    std::string text;
};

std::vector<NAMED_TEXT> make_definitions();

// The player configurations (file names relative to the data directory),
// followed by the target configuration "victim.vcd".
std::vector<std::string> configuration_files();
