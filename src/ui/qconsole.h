// QCONSOLE: a grid of characters with a cursor that text is appended to and
// that draws itself into an Allegro bitmap. The cockpit message console is
// one of these, drawn into the texture shown on the panels.
#pragma once

#include <allegro.h>

class QCONSOLE {
public:
    QCONSOLE(int cols, int rows);  // a grid of cols x rows cells; clrscr before use
    ~QCONSOLE();
    QCONSOLE(const QCONSOLE&) = delete;
    QCONSOLE& operator=(const QCONSOLE&) = delete;

    // A new buffer of cols x rows cells; contents and cursor are not reset.
    // A size below 1 x 1 leaves a console that holds nothing.
    void resize(int cols, int rows);
    void clrscr();  // every cell empty, cursor at the top left

    // Appends one byte: line feed ends the row, tab writes four spaces,
    // other control bytes and bytes above 127 are ignored.
    void putchar(char c);
    void print(const char* s);                 // every byte of s; null prints nothing
    void printf(const char* format, ...);      // at most 511 bytes; null prints nothing
    void crlf();    // spaces up to the start of the next row
    void scroll();  // every row up by one; the cursor moves up a row

    void set_fg(int c) { fg = c; }  // packed colours of the target bitmap
    void set_bg(int c) { bg = c; }
    void set_font(FONT* f) { font = f; }  // not owned

    // Clears bmp to bg and writes the text in fg, one cell per character,
    // with a three-pixel bar under the cursor cell when show_cursor is set.
    // Without a font only the clearing happens.
    void draw(BITMAP* bmp, bool show_cursor);

    int get_cols() const { return cols; }
    int get_rows() const { return rows; }
    int get_cursor() const { return cursor; }  // index of the next cell written
    char get_cell(int col, int row) const;     // 0 outside the grid

private:
    int cols = 0;          // characters per row, >= 0
    int rows = 0;          // number of rows, >= 0
    int fg = 0xFFFFFF;     // packed text colour
    int bg = 0;            // packed background colour
    FONT* font = nullptr;  // not owned; may be null
    char* buffer = nullptr;  // cols * rows bytes, row by row; owned; null when empty
    int cursor = 0;        // 0 .. cols * rows - 1 whenever there is a buffer
};
