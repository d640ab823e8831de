#include "game/globals.h"

#include <cstdlib>

const char* data_path = "data/";
float gravity = 9.81f;
bool show_explosions = true;

// glibc's rand() spans 31 bits; the low 15 are as uniform as the rest.
int random15() { return rand() & RANDOM15_MAX; }
float random_unit() { return random15() / (float)RANDOM15_MAX; }
