#include "game/messages.h"

#include "render/texture.h"
#include "ui/qconsole.h"

BITMAP* texbmp = nullptr;
QCONSOLE* msg_qc = nullptr;
TEXTURE* console_tex = nullptr;

static FONT* message_font = nullptr;  // not owned

static int console_color(int r, int g, int b, int a) { return makeacol32(r, g, b, a); }

void set_message_font(FONT* f) { message_font = f; }

static bool ensure_console()
{
    if (!texbmp) {
        set_color_depth(32);
        texbmp = create_bitmap_ex(32, MESSAGE_BITMAP_SIZE, MESSAGE_BITMAP_SIZE);
        if (!texbmp)
            return false;
        clear_to_color(texbmp, console_color(16, 64, 0, 127));
    }
    if (!message_font)
        return false;
    if (!msg_qc) {
        msg_qc = new QCONSOLE(MESSAGE_COLS, MESSAGE_ROWS);
        msg_qc->set_font(message_font);
        msg_qc->clrscr();
        msg_qc->set_fg(console_color(64, 255, 0, 255));
        msg_qc->set_bg(console_color(16, 64, 0, 127));
    }
    return true;
}

void new_message(const char* text)
{
    if (!ensure_console())
        return;
    msg_qc->print(text);
    msg_qc->draw(texbmp, true);
    console_tex = assign_texture("MFD_CONSOLE", texbmp, 0);
}

void advance_message(float) {}

void free_messages()
{
    delete msg_qc;
    msg_qc = nullptr;
    if (texbmp)
        destroy_bitmap(texbmp);
    texbmp = nullptr;
    console_tex = nullptr;
}
