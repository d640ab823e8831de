// Reading the devices at the end of a frame (steps I1 and I2).
#pragma once

struct GAME;

// Dispatches one command key (Allegro scancode) from the key buffer.
void dispatch_key(GAME& g, int scancode);
// Reads the continuous controls and then every buffered key.
void read_input(GAME& g);
