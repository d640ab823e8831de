// Drawing one frame (steps R1 to R10 of the loop).
#pragma once

struct GAME;

void render_frame(GAME& g);
