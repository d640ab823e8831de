#include "game/globals.h"

const char* data_path = "data/";
float gravity = 9.81f;
bool show_explosions = true;
