// sortie-data model FILE.3ds: loads a model with the game's own loader and
// describes it on one JSON line.
#pragma once

#include <string>

class MESHMODEL;

// The one-line JSON description of a loaded mesh.
std::string describe_model_json(MESHMODEL* mesh);
// The command: args are what follows "model". Answers the exit code.
int data_model_command(int argc, char** argv);
