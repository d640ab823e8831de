// The vessel selection screen: before flight the player browses every
// vessel configuration (*.vcd) in the data folder, one at a time, on a lit
// preview turning above its flat black shadow with a yellow column of its
// data, and takes one with Enter or Escape. Left and right browse, fading
// the preview out and the next one in.
//
// The screen's logic (the list, the moves, the fade, which file is loaded
// when, the text of the column) runs without OpenGL, frame by frame, so it
// can be driven headless; repaint_screen and select_vcd draw and read the
// keyboard.
#pragma once

#include <string>
#include <vector>

class VESSEL;

// The configurations found by init_vcd_file_info, in case-insensitive order.
extern char** filename;  // nr_files malloc'ed full paths; null when there are none
extern int nr_files;     // entries in filename
extern int cur_file;     // index of the vessel loaded and shown
extern int next_file;    // index the player has moved to

extern float vsel_ambient[4];      // RGBA light-model ambient
extern float vsel_direct[4];       // RGBA diffuse of light 0
extern float vsel_specular[4];     // RGBA specular of light 0
extern float vsel_clear_color[4];  // RGBA background
extern float vsel_lightpos[4];     // light 0 position; w = 0: a direction, eye space
extern float vsel_fade_step;       // fade change per frame (fade runs 0..1)
extern float vsel_turn_step;       // degrees the preview turns per frame
extern int vsel_frame_rest;        // ms the screen waits after each frame

// Finds data_path*.vcd, sorts it, cur_file = next_file = 0. Frees an older
// list first.
void init_vcd_file_info();
// Frees every name and the list; filename = null, nr_files = 0.
void cleanup_vcd_file_info();

// Logic of one frame, before it is drawn: the preview turns one step and the
// fade moves one step, rising to 1 while the file shown is the one moved to
// and falling otherwise; when it reaches 0 the move is made (cur_file =
// next_file). Answers the index of the file to load for this frame, or -1.
// angle is in degrees, kept within 0..360.
int step_vcd_frame(float& fade, float& angle);
// One key by Allegro scan code: the left and right arrows move next_file
// within the list (they stop at its ends). Answers true for the keys that
// end the screen: Enter and Escape.
bool handle_vcd_key(int scancode);

// A fresh preview vessel assembled from path, its cockpit and HUD hidden.
// A file that does not load gives a vessel with nothing fitted.
VESSEL* load_preview_vessel(const char* path);
// The acceleration read-out, m/s^2: the forward force of every fitted item
// at full thrust over the vessel's mass; 0 when the mass is not above 0.
// The items' thrust settings are put back as they were. The vessel's
// absolute matrices must be up to date.
float preview_acceleration(VESSEL* v);

// One line of the text column; small lines (item names) are drawn at half
// size, 10 units below the line before instead of 20.
struct VCD_TEXT_LINE {
    std::string text;  // printable ASCII only, whatever bytes the names held
    bool small;
};
// The column for vessel v shown from file name: file name, type, size, mass,
// acceleration, shields, "Extension devices:" and the fitted items' names.
std::vector<VCD_TEXT_LINE> vcd_text_lines(VESSEL* v, const char* name);

// Draws one frame of the screen for the vessel shown (filename[cur_file])
// and flips the buffers. Needs the OpenGL context and init_strokefont.
void repaint_screen(VESSEL* v, float angle, float fade);

// Runs the screen until Enter or Escape, or until *close (when given)
// becomes non-zero; answers the file moved to (a pointer into filename,
// valid until cleanup_vcd_file_info; the caller copies it), or null when
// there is no configuration, without showing anything.
const char* select_vcd(volatile int* close = nullptr);
