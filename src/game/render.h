// Drawing one frame (steps R1 to R10 of the loop).
#pragma once

struct GAME;

// R5: a fresh colour and depth buffer.
void clear_frame();
// R6: the model-view matrix of the view thing (the world origin without one).
void place_camera(GAME& g);
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
// Frames until the radar is drawn again; 0 draws it in the next frame (a
// new player vessel's radar shows at once).
extern int radar_framecount;
extern int mfd_texture_flags;       // TEXTURE_* flags of the screens' uploads
extern int mfd_mipmap_below_width;  // narrower screens mipmap the screens
extern float mfd_anisotropy;        // most anisotropic filtering of mipmapped screens; 1: none

// The cockpit steps of draw_frame on their own, for measuring them: the
// player vessel's screens redrawn and uploaded (R2..R4), and the five
// panels drawn with their screens or the message console (R8).
void update_cockpit_screens(GAME& g);
void draw_cockpit_panels();
