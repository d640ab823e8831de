// The cockpit message console: lines any part of the game posts, shown on
// the cockpit panels as the texture "MFD_CONSOLE".
#pragma once

#include <allegro.h>

class QCONSOLE;
class TEXTURE;

constexpr int MESSAGE_COLS = 32;
constexpr int MESSAGE_ROWS = 32;
constexpr int MESSAGE_BITMAP_SIZE = 256;

extern BITMAP* texbmp;         // the console's picture; owned
extern QCONSOLE* msg_qc;       // the console; owned
extern TEXTURE* console_tex;   // "MFD_CONSOLE", re-uploaded at every message

// The font the console writes with; messages posted before it is known are
// dropped.
void set_message_font(FONT* f);
void new_message(const char* text);
void advance_message(float dt);  // messages do not age: nothing to do
// Frees the console and its picture (the texture stays in the texture list).
void free_messages();
