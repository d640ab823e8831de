#include "game/input.h"

#include <allegro.h>

#include "game/game.h"

void dispatch_key(GAME& g, int scancode)
{
    switch (scancode) {
    case KEY_ESC:
        g.quit = true;
        break;
    default:
        break;
    }
}

void read_input(GAME& g)
{
    // The continuous controls (throttle, steering, fire, mouse, head) join
    // with the controls.
    while (keypressed())
        dispatch_key(g, readkey() >> 8);
}
