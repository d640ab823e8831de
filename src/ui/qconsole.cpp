#include "ui/qconsole.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>

// Larger grids are refused: a console is a few hundred cells, and the bound
// keeps cols * rows far from integer overflow.
static const long QCONSOLE_MAX_CELLS = 1L << 22;

static const int QCONSOLE_TAB_SPACES = 4;   // a tab writes this many spaces
static const int QCONSOLE_PRINTF_SIZE = 512;  // bytes of formatted text, with the terminator
static const int QCONSOLE_CURSOR_HEIGHT = 3;  // pixels of the cursor bar

QCONSOLE::QCONSOLE(int cols, int rows)
{
    resize(cols, rows);
}

QCONSOLE::~QCONSOLE()
{
    delete[] buffer;
}

void QCONSOLE::resize(int new_cols, int new_rows)
{
    delete[] buffer;
    buffer = nullptr;
    cols = rows = 0;
    if (new_cols < 1 || new_rows < 1 || (long)new_cols * new_rows > QCONSOLE_MAX_CELLS) {
        cursor = 0;
        return;
    }
    cols = new_cols;
    rows = new_rows;
    buffer = new char[(size_t)cols * rows]();
    // The old cursor may lie beyond the new grid.
    if (cursor >= cols * rows)
        cursor = 0;
}

void QCONSOLE::clrscr()
{
    if (buffer)
        memset(buffer, 0, (size_t)cols * rows);
    cursor = 0;
}

void QCONSOLE::putchar(char c)
{
    if (c == '\n') {
        crlf();
        return;
    }
    if (c == '\t') {
        for (int i = 0; i < QCONSOLE_TAB_SPACES; i++)
            putchar(' ');
        return;
    }
    // char is signed: control bytes and everything from 128 up fall here.
    if (c <= 31 || !buffer)
        return;
    buffer[cursor++] = c;
    if (cursor >= cols * rows)
        scroll();
}

void QCONSOLE::crlf()
{
    if (!buffer)
        return;
    for (int n = cols - cursor % cols; n > 0; n--)
        putchar(' ');
}

void QCONSOLE::scroll()
{
    if (!buffer)
        return;
    memmove(buffer, buffer + cols, (size_t)(rows - 1) * cols);
    cursor -= cols;
    cursor = std::max(cursor, 0);
}

void QCONSOLE::print(const char* s)
{
    if (!s)
        return;
    for (; *s; s++)
        putchar(*s);
}

void QCONSOLE::printf(const char* format, ...)
{
    if (!format)
        return;
    char text[QCONSOLE_PRINTF_SIZE];
    va_list args;
    va_start(args, format);
    uvszprintf(text, sizeof(text), format, args);
    va_end(args);
    print(text);
}

char QCONSOLE::get_cell(int col, int row) const
{
    if (!buffer || col < 0 || col >= cols || row < 0 || row >= rows)
        return 0;
    return buffer[row * cols + col];
}

void QCONSOLE::draw(BITMAP* bmp, bool show_cursor)
{
    if (!bmp)
        return;
    clear_to_color(bmp, bg);
    if (!font)
        return;
    int cell_w = text_length(font, "m");
    int cell_h = text_height(font);
    int x = 0, y = 0, col = 0;
    for (int i = 0; i < cursor; i++) {
        if (x < bmp->w) {
            char one[2] = {buffer[i], 0};
            textout_ex(bmp, font, one, x, y, fg, bg);
        }
        x += cell_w;
        if (++col == cols) {
            col = 0;
            x = 0;
            y += cell_h;
            if (y >= bmp->h)
                return;
        }
    }
    if (show_cursor)
        rectfill(bmp, x, y + cell_h - QCONSOLE_CURSOR_HEIGHT, x + cell_w - 1, y + cell_h - 1, fg);
}
