#include "render/strokefont.h"

#include <algorithm>
#include <allegro.h>
#include <GL/gl.h>

#include <array>
#include <cassert>
#include <cstring>

int strokefont_tab_size = 4;
unsigned stroke_dlist_ofs = 0;

static const int STROKE_PRINTF_SIZE = 512;  // bytes of formatted text, with the terminator

// ---------------------------------------------------------------- glyph table

// Where each glyph starts in the flat table, found once by walking it.
static const std::array<int, STROKE_NR_CHARS>& glyph_starts()
{
    static const std::array<int, STROKE_NR_CHARS> starts = [] {
        std::array<int, STROKE_NR_CHARS> s{};
        int i = 0;
        for (int g = 0; g < STROKE_NR_CHARS; g++) {
            assert(i < stroke_letter_data_size && "i < stroke_letter_data_size");
            s[g] = i;
            while (stroke_letter_data[i].type != STROKE_END && stroke_letter_data[i].type != STROKE_EMPTY)
                i++;
            i++;
        }
        return s;
    }();
    return starts;
}

const charpoint* stroke_glyph(int c)
{
    if (c < STROKE_FIRSTCHAR || c > STROKE_LASTCHAR)
        return nullptr;
    return &stroke_letter_data[glyph_starts()[c - STROKE_FIRSTCHAR]];
}

const charpoint* walk_letter(const charpoint* p, STROKE_SINK& sink)
{
    sink.begin_strip();
    for (;; p++) {
        if (p->type == STROKE_EMPTY) {
            sink.end_strip();
            return p + 1;
        }
        sink.point(p->x, p->y);
        if (p->type == STROKE_LAST) {
            sink.end_strip();
            sink.begin_strip();
        } else if (p->type == STROKE_END) {
            sink.end_strip();
            sink.advance(STROKE_ADVANCE);
            return p + 1;
        }
    }
}

namespace {

class GL_STROKE_SINK : public STROKE_SINK {
public:
    void begin_strip() override { glBegin(GL_LINE_STRIP); }
    void point(float x, float y) override { glVertex2f(x, y); }
    void end_strip() override { glEnd(); }
    void advance(float dx) override { glTranslatef(dx, 0.0f, 0.0f); }
};

class GL_STROKE_TARGET : public STROKE_TARGET {
public:
    void push() override
    {
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
    }
    void pop() override
    {
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
    }
    void translate(float dx, float dy) override { glTranslatef(dx, dy, 0.0f); }
    void glyph(int c) override
    {
        // Before init_strokefont there is nothing to draw, but the layout holds.
        if (stroke_dlist_ofs)
            glCallList(stroke_dlist_ofs + c - STROKE_FIRSTCHAR);
        else
            glTranslatef(STROKE_ADVANCE, 0.0f, 0.0f);
    }
};

}  // namespace

const charpoint* drawLetter(const charpoint* p)
{
    GL_STROKE_SINK sink;
    return walk_letter(p, sink);
}

STROKE_TARGET& stroke_gl_target()
{
    static GL_STROKE_TARGET target;
    return target;
}

void init_strokefont()
{
    if (stroke_dlist_ofs)
        glDeleteLists(stroke_dlist_ofs, STROKE_NR_CHARS);
    stroke_dlist_ofs = glGenLists(STROKE_NR_CHARS);
    if (!stroke_dlist_ofs)
        return;
    for (int c = STROKE_FIRSTCHAR; c <= STROKE_LASTCHAR; c++) {
        glNewList(stroke_dlist_ofs + c - STROKE_FIRSTCHAR, GL_COMPILE);
        drawLetter(stroke_glyph(c));
        glEndList();
    }
}

void done_strokefont() {}

// ---------------------------------------------------------------- recorder

void STROKE_RECORDER::push()
{
    pushes++;
    stack.push_back(x);
    stack.push_back(y);
}

void STROKE_RECORDER::pop()
{
    pops++;
    if (stack.size() < 2)
        return;
    y = stack.back();
    stack.pop_back();
    x = stack.back();
    stack.pop_back();
}

void STROKE_RECORDER::translate(float dx, float dy)
{
    x += dx;
    y += dy;
    max_x = std::max(max_x, x);
}

void STROKE_RECORDER::glyph(int c)
{
    glyphs.push_back({c, x, y});
    translate(STROKE_ADVANCE, 0.0f);
}

// ---------------------------------------------------------------- plain text

void stroke_draw_char(char c, STROKE_TARGET& t)
{
    int code = (unsigned char)c;
    if (code == '\t')
        t.translate(strokefont_tab_size * STROKE_ADVANCE, 0.0f);
    else if (code == ' ')
        t.translate(STROKE_ADVANCE, 0.0f);
    else if (code >= STROKE_FIRSTCHAR && code < STROKE_LASTCHAR)
        t.glyph(code);
}

void stroke_draw_char(char c) { stroke_draw_char(c, stroke_gl_target()); }

void stroke_textout_ll(const char* s, int k, STROKE_TARGET& t)
{
    if (!s)
        return;
    t.push();
    if (k)
        t.translate(-(float)strlen(s) * k, 0.0f);
    for (; *s; s++)
        stroke_draw_char(*s, t);
    t.pop();
}

void stroke_textout(const char* s, STROKE_TARGET& t) { stroke_textout_ll(s, 0, t); }
void stroke_textout_c(const char* s, STROKE_TARGET& t) { stroke_textout_ll(s, 4, t); }
void stroke_textout_r(const char* s, STROKE_TARGET& t) { stroke_textout_ll(s, 8, t); }
void stroke_textout(const char* s) { stroke_textout(s, stroke_gl_target()); }
void stroke_textout_ll(const char* s, int k) { stroke_textout_ll(s, k, stroke_gl_target()); }
void stroke_textout_c(const char* s) { stroke_textout_c(s, stroke_gl_target()); }
void stroke_textout_r(const char* s) { stroke_textout_r(s, stroke_gl_target()); }

// ---------------------------------------------------------------- formatted text

void stroke_vprintf_ll(STROKE_TARGET& t, int k, const char* fmt, va_list args)
{
    if (!fmt)
        return;
    char text[STROKE_PRINTF_SIZE];
    uvszprintf(text, sizeof(text), fmt, args);
    stroke_textout_ll(text, k, t);
}

// The six printf forms differ only in target and alignment.
#define STROKE_PRINTF_BODY(target, k)            \
    va_list args;                                \
    va_start(args, fmt);                         \
    stroke_vprintf_ll(target, k, fmt, args);     \
    va_end(args)

void stroke_printf(const char* fmt, ...) { STROKE_PRINTF_BODY(stroke_gl_target(), 0); }
void stroke_printf_c(const char* fmt, ...) { STROKE_PRINTF_BODY(stroke_gl_target(), 4); }
void stroke_printf_r(const char* fmt, ...) { STROKE_PRINTF_BODY(stroke_gl_target(), 8); }
void stroke_printf(STROKE_TARGET& t, const char* fmt, ...) { STROKE_PRINTF_BODY(t, 0); }
void stroke_printf_c(STROKE_TARGET& t, const char* fmt, ...) { STROKE_PRINTF_BODY(t, 4); }
void stroke_printf_r(STROKE_TARGET& t, const char* fmt, ...) { STROKE_PRINTF_BODY(t, 8); }

#undef STROKE_PRINTF_BODY

// ---------------------------------------------------------------- menu text

// Menu text is handled as the first n bytes of s, so that the part before a
// tab can be drawn on its own. A "&" at the end of that part marks nothing
// that follows.
static bool marks_hot_key(const char* s, size_t i, size_t n)
{
    return s[i] == '&' && !(i + 1 < n && s[i + 1] == '&');
}

static int menu_width(const char* s, size_t n)
{
    int w = 0;
    for (size_t i = 0; i < n; i++) {
        if (s[i] == '\t')
            w += strokefont_tab_size;
        else if (!marks_hot_key(s, i, n))
            w++;
    }
    return w;
}

static void menu_textout(const char* s, size_t n, int k, STROKE_TARGET& t)
{
    t.push();
    if (k)
        t.translate(-(float)menu_width(s, n) * k, 0.0f);
    for (size_t i = 0; i < n; i++) {
        if (marks_hot_key(s, i, n)) {
            // The underscore goes under the next character, drawn over it.
            stroke_draw_char('_', t);
            t.translate(-STROKE_ADVANCE, 0.0f);
        } else {
            stroke_draw_char(s[i], t);
        }
    }
    t.pop();
}

int stroke_menu_text_width(const char* s)
{
    return s ? menu_width(s, strlen(s)) : 0;
}

void stroke_menu_textout_ll(const char* s, int k, STROKE_TARGET& t)
{
    if (s)
        menu_textout(s, strlen(s), k, t);
}

void stroke_menu_textout(const char* s, STROKE_TARGET& t) { stroke_menu_textout_ll(s, 0, t); }
void stroke_menu_textout_c(const char* s, STROKE_TARGET& t) { stroke_menu_textout_ll(s, 4, t); }
void stroke_menu_textout_r(const char* s, STROKE_TARGET& t) { stroke_menu_textout_ll(s, 8, t); }

void stroke_menu_textout_with_tab(const char* s, float x, STROKE_TARGET& t)
{
    if (!s)
        return;
    const char* tab = strchr(s, '\t');
    menu_textout(s, tab ? (size_t)(tab - s) : strlen(s), 0, t);
    if (!tab)
        return;
    t.push();
    t.translate(x, 0.0f);
    stroke_menu_textout_r(tab, t);
    t.pop();
}

void stroke_menu_textout(const char* s) { stroke_menu_textout(s, stroke_gl_target()); }
void stroke_menu_textout_ll(const char* s, int k) { stroke_menu_textout_ll(s, k, stroke_gl_target()); }
void stroke_menu_textout_c(const char* s) { stroke_menu_textout_c(s, stroke_gl_target()); }
void stroke_menu_textout_r(const char* s) { stroke_menu_textout_r(s, stroke_gl_target()); }

void stroke_menu_textout_with_tab(const char* s, float x)
{
    stroke_menu_textout_with_tab(s, x, stroke_gl_target());
}
