// Reading the devices at the end of a frame (step I1): joystick, keyboard
// and mouse into the player's vessel, then every buffered command key.
#pragma once

struct GAME;

void read_input(GAME& g);
