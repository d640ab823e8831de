// The stroke font: text drawn as OpenGL line strips in the current
// model-view space, so it can be placed, scaled and turned like geometry
// (HUD numbers, selection screen read-outs, the frame-rate line).
//
// Glyph cell: baseline y = 0, capitals and digits 10 units high, descenders
// to y = -2, about 5 units wide from x = 0, and a pen advance of 8 units;
// y grows upward. Each printable character is one display list.
//
// Every text function comes in two forms: the plain one draws with OpenGL;
// the one taking a STROKE_TARGET sends the same layout anywhere, so that
// advances and centring can be checked without a GL context.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <vector>

// One stroke point of the glyph table.
struct charpoint {
    float x;       // font units
    float y;       // font units, up
    int32_t type;  // STROKE_* below
};

enum : int32_t {
    STROKE_NEXT = 1,      // next point of the current line strip
    STROKE_LAST = 2,      // last point of the strip; a new strip begins
    STROKE_END = 3,       // last point of the strip and of the glyph; the pen advances
    STROKE_EMPTY = 4,     // the glyph ends here without a point and without an advance
};

constexpr int STROKE_FIRSTCHAR = 33;   // "!"
constexpr int STROKE_LASTCHAR = 128;   // an empty entry after DEL
constexpr int STROKE_NR_CHARS = STROKE_LASTCHAR - STROKE_FIRSTCHAR + 1;
constexpr float STROKE_ADVANCE = 8.0f;  // font units per character cell

extern int strokefont_tab_size;     // character cells per tab
extern unsigned stroke_dlist_ofs;   // display list of "!", 0 before init_strokefont

// The glyphs of 33 .. 128 one after another; each runs up to and including
// its first point of type STROKE_END or STROKE_EMPTY.
extern const charpoint stroke_letter_data[];
extern const int stroke_letter_data_size;  // number of points

// First point of the glyph of character code c (33 .. 128), or null.
const charpoint* stroke_glyph(int c);

// Receives the strokes of one glyph, in font units.
class STROKE_SINK {
public:
    virtual ~STROKE_SINK() = default;
    virtual void begin_strip() {}
    virtual void point(float, float) {}
    virtual void end_strip() {}
    virtual void advance(float) {}  // the pen moves right after the glyph
};

// Walks one glyph from p into the sink; answers where the next glyph starts.
const charpoint* walk_letter(const charpoint* p, STROKE_SINK& sink);
// The same with OpenGL: line strips, and a translation for the advance.
const charpoint* drawLetter(const charpoint* p);

// Where laid-out text goes: the pen is a model-view matrix for OpenGL, a
// position for the recorder.
class STROKE_TARGET {
public:
    virtual ~STROKE_TARGET() = default;
    virtual void push() = 0;                         // save the pen
    virtual void pop() = 0;                          // restore the last saved pen
    virtual void translate(float dx, float dy) = 0;  // move the pen, font units
    virtual void glyph(int c) = 0;  // draw the glyph of c (33 .. 127) and advance one cell
};

// Draws through the display lists made by init_strokefont.
STROKE_TARGET& stroke_gl_target();

// Keeps the pen in plain numbers and the glyphs drawn with their places.
class STROKE_RECORDER : public STROKE_TARGET {
public:
    struct PLACED {
        int c;     // character code
        float x;   // pen position where the glyph starts
        float y;
    };
    void push() override;
    void pop() override;
    void translate(float dx, float dy) override;
    void glyph(int c) override;

    float x = 0.0f, y = 0.0f;     // current pen
    float max_x = 0.0f;           // rightmost pen position reached
    std::vector<PLACED> glyphs;   // in drawing order
    std::vector<float> stack;     // saved pens, x and y pairs
    int pushes = 0, pops = 0;
};

void init_strokefont();  // once the OpenGL context exists
void done_strokefont();  // the lists live as long as the context

// One character at the pen: tab moves 4 cells, space 1, codes 33 .. 127 draw
// and move 1; control codes and bytes above 127 do nothing.
void stroke_draw_char(char c);
void stroke_draw_char(char c, STROKE_TARGET& t);

// Text from the pen; the caller's pen is unchanged afterwards. The _ll form
// first moves left by the length of s in bytes times k: _c (k = 4) centres the
// text on the pen, _r (k = 8) ends it there. A null text draws nothing.
void stroke_textout(const char* s);
void stroke_textout_ll(const char* s, int k);
void stroke_textout_c(const char* s);
void stroke_textout_r(const char* s);
void stroke_textout(const char* s, STROKE_TARGET& t);
void stroke_textout_ll(const char* s, int k, STROKE_TARGET& t);
void stroke_textout_c(const char* s, STROKE_TARGET& t);
void stroke_textout_r(const char* s, STROKE_TARGET& t);

// Formatted text, cut to 511 bytes; a null format draws nothing.
void stroke_printf(const char* fmt, ...);
void stroke_printf_c(const char* fmt, ...);
void stroke_printf_r(const char* fmt, ...);
void stroke_printf(STROKE_TARGET& t, const char* fmt, ...);
void stroke_printf_c(STROKE_TARGET& t, const char* fmt, ...);
void stroke_printf_r(STROKE_TARGET& t, const char* fmt, ...);
void stroke_vprintf_ll(STROKE_TARGET& t, int k, const char* fmt, va_list args);

// Menu text: "&" underlines the character after it (the hot key); "&&"
// draws one "&". Widths are in character cells.
int stroke_menu_text_width(const char* s);
void stroke_menu_textout(const char* s);
void stroke_menu_textout_ll(const char* s, int k);
void stroke_menu_textout_c(const char* s);
void stroke_menu_textout_r(const char* s);
// The text before the first tab at the pen; the rest, tab included, ending
// at x font units to the right.
void stroke_menu_textout_with_tab(const char* s, float x);
void stroke_menu_textout(const char* s, STROKE_TARGET& t);
void stroke_menu_textout_ll(const char* s, int k, STROKE_TARGET& t);
void stroke_menu_textout_c(const char* s, STROKE_TARGET& t);
void stroke_menu_textout_r(const char* s, STROKE_TARGET& t);
void stroke_menu_textout_with_tab(const char* s, float x, STROKE_TARGET& t);
