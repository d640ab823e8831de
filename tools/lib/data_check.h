// sortie-data check [DATA_DIR]: reads every vessel configuration (*.vcd) in
// DATA_DIR (default data/) and everything it names with the game's own
// readers, plus the fixed models and pictures the game loads by name, and
// prints each problem as "FILE:LINE: message". Exit code 1 when there is
// any problem, 0 when there is none.
//
// FILE is the path as opened (DATA_DIR included). A problem with a file that
// a definition file names (a missing item, mesh or sound; a mesh with faces
// past its vertices) stands on the naming line; a file the checker opens
// itself is reported with line 0.
#pragma once

#include <string>
#include <vector>

struct CHECK_PROBLEM {
    std::string file;
    int line;
    std::string message;
};

// The problems in the order they were found, each once.
std::vector<CHECK_PROBLEM> check_data(const std::string& dir);

int data_check_command(int argc, char** argv);
