// The stroke font without OpenGL: the layout of text
// (advances, centring, menu widths) through the recording target.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "render/strokefont.h"

namespace {

// The glyphs drawn and the x of each.
std::string drawn(const STROKE_RECORDER& r, std::vector<float>* x = nullptr)
{
    std::string s;
    for (const auto& g : r.glyphs) {
        s += (char)g.c;
        if (x)
            x->push_back(g.x);
    }
    return s;
}

}  // namespace

TEST(StrokeFontLayout, AlignmentsTabsSpacesAndPrintfPlaceTheGlyphsAndKeepThePen)
{
    struct CASE {
        void (*out)(const char*, STROKE_TARGET&);
        const char* text;
        std::string glyphs;
        std::vector<float> x;
    } cases[] = {
        {stroke_textout_c, "AB", "AB", {-8, 0}},  // centred: -8 .. 8
        {stroke_textout_r, "abc", "abc", {-24, -16, -8}},
        {stroke_textout, "a\tb c", "abc", {0, 40, 56}},  // a tab moves four cells, a space one
        {stroke_textout, "\xc3\xa9t\xff", "t", {0}},      // bytes above 127 neither draw nor move
        {stroke_menu_textout, "&File", "_File", {0, 0, 8, 16, 24}},  // F over its underscore
        {stroke_menu_textout, "&&x", "&_x", {0, 8, 8}},  // a doubled ampersand draws one
        {stroke_menu_textout_c, "&Quit", "_Quit", {-16, -16, -8, 0, 8}},
        {stroke_menu_textout_r, "&Quit", "_Quit", {-32, -32, -24, -16, -8}},
    };
    for (const CASE& c : cases) {
        STROKE_RECORDER r;
        c.out(c.text, r);
        std::vector<float> x;
        EXPECT_EQ(drawn(r, &x), c.glyphs) << c.text;
        EXPECT_EQ(x, c.x) << c.text;
        EXPECT_EQ(r.x, 0.0f) << c.text;  // the pen is back where it was
        EXPECT_EQ(r.pushes * 10 + r.pops, 11) << c.text;
    }
    STROKE_RECORDER ll;
    stroke_textout_ll("abc", 2, ll);
    EXPECT_EQ(ll.glyphs.front().x, -6.0f);
    STROKE_RECORDER pad;
    stroke_printf(pad, "%5.0f", 42.0);
    EXPECT_EQ(drawn(pad), "42");
    EXPECT_EQ(pad.glyphs[0].x, 24.0f);
    EXPECT_EQ(pad.max_x, 40.0f);  // five cells
    STROKE_RECORDER fps;
    stroke_printf_c(fps, "FPS: %1.1f", 59.84f);
    EXPECT_EQ(drawn(fps), "FPS:59.8");
    EXPECT_EQ(fps.glyphs[0].x, -36.0f);  // nine bytes, centred
    STROKE_RECORDER many;
    stroke_printf(many, "%s", std::string(600, 'x').c_str());
    EXPECT_EQ(many.glyphs.size(), 511u);
    STROKE_RECORDER none;
    stroke_printf_r(none, nullptr);
    stroke_textout(nullptr, none);
    stroke_menu_textout(nullptr, none);
    stroke_menu_textout_with_tab(nullptr, 10.0f, none);
    EXPECT_EQ(none.glyphs.size() + none.pushes, 0u);
    STROKE_RECORDER odd;
    for (int b : {128, 160, 255, 0, 1, 10, 13, 31})
        stroke_draw_char((char)b, odd);
    EXPECT_EQ(odd.x + odd.glyphs.size(), 0.0f);
    stroke_draw_char((char)127, odd);  // DEL has a glyph
    EXPECT_EQ(odd.x, 8.0f);
}

TEST(StrokeFontMenu, WidthsCountCellsAndTextAfterATabEndsAtTheGivenX)
{
    for (auto [text, width] : {std::pair{"&File", 4}, {"a\tb", 6}, {"&&x", 2}, {"ab&", 2}, {"", 0}})
        EXPECT_EQ(stroke_menu_text_width(text), width) << text;
    EXPECT_EQ(stroke_menu_text_width(nullptr), 0);
    STROKE_RECORDER r;
    stroke_menu_textout_with_tab("&Open\tCtrl+&O", 200.0f, r);
    EXPECT_EQ(drawn(r), "_OpenCtrl+_O");
    EXPECT_EQ(r.glyphs[1].x, 0.0f);
    EXPECT_EQ(r.glyphs.back().x + STROKE_ADVANCE, 200.0f);
    EXPECT_EQ(r.glyphs[5].x, 200.0f - 6 * STROKE_ADVANCE);  // "C" after the tab's four cells
    EXPECT_EQ(r.x, 0.0f);
    EXPECT_EQ(r.pushes, r.pops);
    STROKE_RECORDER plain;
    stroke_menu_textout_with_tab("Exit&", 200.0f, plain);
    EXPECT_EQ(drawn(plain), "Exit_");
    EXPECT_EQ(plain.glyphs.back().x, 32.0f);  // the trailing mark underlines nothing after it
}
