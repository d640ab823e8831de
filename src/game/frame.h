// One frame's simulation and bookkeeping (steps S2 to S16 of the loop),
// free of any window or device so that tests can run it with a given dt.
#pragma once

struct GAME;

constexpr float FPS_INTERVAL = 0.25f;  // seconds between frame-rate updates

extern float sim_slice_max;  // s, the longest step the world takes at once
extern int sim_slices_max;   // slices in one frame at most

void count_frame_rate(GAME& g, float dt);  // S2
void simulate_frame(GAME& g, float dt);    // S2..S16
