#include "game/pause.h"

#include <allegro.h>

#include "game/frame.h"
#include "game/game.h"
#include "vessel/vessel.h"

void toggle_pause(GAME& g)
{
    g.paused = !g.paused;
    if (g.paused && g.player)
        static_cast<VESSEL*>(g.player.get())->set_trigger(false);
}

void advance_frame(GAME& g, volatile int& ticks)
{
    float dt = ticks / (float)TIMER_HZ;  // S1
    if (!g.paused)
        simulate_frame(g, dt);  // S2..S16
    ticks = 0;                  // S17
}

bool key_works_while_paused(int scancode)
{
    switch (scancode) {
    case KEY_ESC:
    case KEY_F1: case KEY_F2: case KEY_F3: case KEY_F4: case KEY_F5: case KEY_F6:
    case KEY_F7: case KEY_F10:
    case KEY_1: case KEY_2: case KEY_3: case KEY_4: case KEY_5: case KEY_6: case KEY_7: case KEY_8:
    case KEY_C: case KEY_D: case KEY_S: case KEY_J:
        return true;
    default:
        return false;
    }
}
