// Pause: P holds the world still. Paused frames are still drawn, so the
// window repaints and the view keys work, but nothing advances; the timer's
// ticks of the pause are thrown away frame by frame, so the first frame after
// it gets an ordinary step instead of the whole pause at once.
#pragma once

struct GAME;

// P: stops or resumes the world. The trigger is let go on stopping, so a
// held fire button does not shoot on the first frame after resuming.
void toggle_pause(GAME& g);

// Steps S1 to S17 of a frame: dt from the ticks counted since the last
// frame, the simulation unless paused, and the ticks used up either way.
void advance_frame(GAME& g, volatile int& ticks);

// Keys that only change how the scene is seen (views, panels, lights, the
// read-outs) or quit; while paused every other command key is dropped.
bool key_works_while_paused(int scancode);
