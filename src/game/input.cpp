#include "game/input.h"

#include <allegro.h>

#include "game/controls.h"
#include "game/game.h"
#include "game/joystick.h"

void read_input(GAME& g)
{
    if (g.settings.joystick_on)
        update_joy_delta();
    MOUSE_INPUT mouse;
    if (g.settings.mouse_on) {
        poll_mouse();
        get_mouse_mickeys(&mouse.mx, &mouse.my);
        mouse.left = mouse_b & 1;
    }
    // Paused, the vessel's controls stay as they were; the mouse's movement
    // is still taken, so that it does not jerk the vessel on resuming.
    if (!g.paused)
        read_continuous_controls(g, mouse);
    // ESC only sets quit: the rest of the buffer is still dispatched.
    while (keypressed())
        dispatch_key(g, readkey() >> 8);
    if (close_requested)
        g.quit = true;
}
