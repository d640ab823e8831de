// The stroke font without OpenGL: the layout of text
// (advances, centring, menu widths) through the recording target.
#include <gtest/gtest.h>

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

TEST(StrokeFontLayout, AlignmentsTabsSpacesPrintfAndMenusPlaceTheGlyphsAndKeepThePen)
{
    struct CASE {
        void (*out)(const char*, STROKE_TARGET&);
        const char* text;
        std::string glyphs;
        std::vector<float> x;
    } cases[] = {
        {stroke_textout_c, "AB", "AB", {-8, 0}},  // centred: -8 .. 8
        {stroke_textout_r, "abc", "abc", {-24, -16, -8}},
        {[](const char* t, STROKE_TARGET& r) { stroke_textout_ll(t, 2, r); }, "ab", "ab", {-4, 4}},
        {stroke_textout, "a\tb c", "abc", {0, 40, 56}},  // a tab moves four cells, a space one
        {stroke_textout, "\xc3\xa9t\xff\x7f", "t\x7f", {0, 8}},  // bytes above 127 neither draw nor move; DEL does
        {[](const char* t, STROKE_TARGET& r) { stroke_printf(r, t, 42.0); }, "%5.0f", "42", {24, 32}},
        {[](const char* t, STROKE_TARGET& r) { stroke_printf_c(r, t, 59.84f); }, "FPS: %1.1f", "FPS:59.8",
         {-36, -28, -20, -12, 4, 12, 20, 28}},  // nine bytes, centred
        {stroke_menu_textout, "&File", "_File", {0, 0, 8, 16, 24}},  // F over its underscore
        {stroke_menu_textout, "&&x", "&_x", {0, 8, 8}},  // a doubled ampersand draws one
        {stroke_menu_textout_c, "&Quit", "_Quit", {-16, -16, -8, 0, 8}},
        {stroke_menu_textout_r, "&Quit", "_Quit", {-32, -32, -24, -16, -8}},
        {[](const char* t, STROKE_TARGET& r) { stroke_menu_textout_with_tab(t, 200.0f, r); }, "&Open\tCtrl+&O",
         "_OpenCtrl+_O", {0, 0, 8, 16, 24, 152, 160, 168, 176, 184, 192, 192}},  // the text after the tab ends at 200
        {[](const char* t, STROKE_TARGET& r) { stroke_menu_textout_with_tab(t, 200.0f, r); }, "Exit&", "Exit_",
         {0, 8, 16, 24, 32}},  // the trailing mark underlines nothing after it
    };
    for (const CASE& c : cases) {
        STROKE_RECORDER r;
        c.out(c.text, r);
        std::vector<float> x;
        EXPECT_EQ(drawn(r, &x), c.glyphs) << c.text;
        EXPECT_EQ(x, c.x) << c.text;
        EXPECT_TRUE(r.x == 0.0f && r.pushes == r.pops && r.pops > 0) << c.text;  // the pen is back where it was
    }
    STROKE_RECORDER pad;
    stroke_printf(pad, "%5.0f|%s", 42.0, std::string(600, 'x').c_str());
    EXPECT_EQ(pad.max_x * 1000 + pad.glyphs.size(), 4088000 + 508);  // five cells padded; cut to 511 bytes
    STROKE_RECORDER none;
    stroke_printf_r(none, nullptr);
    stroke_textout(nullptr, none);
    stroke_menu_textout(nullptr, none);
    stroke_menu_textout_with_tab(nullptr, 10.0f, none);
    for (int b : {128, 160, 255, 0, 1, 10, 13, 31})
        stroke_draw_char((char)b, none);
    EXPECT_EQ(none.glyphs.size() + none.pushes + none.x, 0u);
    for (auto [text, width] : {std::pair{"&File", 4}, {"a\tb", 6}, {"&&x", 2}, {"ab&", 2}, {"", 0}, {nullptr, 0}})
        EXPECT_EQ(stroke_menu_text_width(text), width) << (text ? text : "null");
}
