// Sortie: the program entry. Everything a frame does starts in run_game
// (game/game.cpp): start-up, then the frame loop of simulate_frame
// (game/frame.cpp), render_frame (game/render.cpp) and read_input
// (game/input.cpp).
#include <allegro.h>

#include "game/game.h"

int main(int argc, char** argv) { return run_game(argc, argv); }
END_OF_MAIN()
