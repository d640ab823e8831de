#include "game/globals.h"

#include <cstdlib>

const char* data_path = "data/";
float gravity = 9.81f;
bool show_explosions = true;

int random15() { return rand() % 32768; }
float random_unit() { return random15() / 32767.0f; }
