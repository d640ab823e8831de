// Drawing one frame (steps R1 to R10 of the loop).
#pragma once

struct GAME;

// Draws the frame into the back buffer (R1..R9).
void draw_frame(GAME& g);
// Draws the frame and shows it.
void render_frame(GAME& g);

class TEXTURE;
struct FONT;

// Allegro's own font, made current again every frame (screens draw with it).
extern FONT* al_font;

// Which screen each cockpit panel shows: 0..4 a vessel screen (status, all
// slots, target, front radar, rear radar), anything else the message console.
extern int mfd_screen_mode[5];
extern TEXTURE* mfd_tex[5];  // texture of vessel screen 0..4, null until drawn
