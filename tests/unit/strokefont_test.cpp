// The stroke font without OpenGL: the glyph table, and the layout of text
// (advances, centring, menu widths) through the recording target.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "render/strokefont.h"

namespace {

// Counts what one glyph walk emits and where its points lie.
struct GLYPH_PROBE : STROKE_SINK {
    void begin_strip() override { open++; }
    void point(float x, float y) override
    {
        points.push_back({x, y});
        min_x = std::min(min_x, x);
        max_x = std::max(max_x, x);
        min_y = std::min(min_y, y);
        max_y = std::max(max_y, y);
    }
    void end_strip() override { closed++; }
    void advance(float dx) override { advanced += dx; }
    struct P {
        float x, y;
    };
    std::vector<P> points;
    int open = 0, closed = 0;
    float advanced = 0.0f;
    float min_x = 1e9f, max_x = -1e9f, min_y = 1e9f, max_y = -1e9f;
};

std::string drawn(const STROKE_RECORDER& r)
{
    std::string s;
    for (const auto& g : r.glyphs)
        s += (char)g.c;
    return s;
}

}  // namespace

TEST(StrokeFontGlyphs, EveryPrintableCharacterHasStrokesInsideTheCellAndAdvances)
{
    int walked = 0;
    for (int c = STROKE_FIRSTCHAR; c < STROKE_LASTCHAR; c++) {
        const charpoint* p = stroke_glyph(c);
        ASSERT_NE(p, nullptr) << c;
        GLYPH_PROBE probe;
        const charpoint* next = walk_letter(p, probe);
        walked += (int)(next - p);
        EXPECT_EQ(next[-1].type, STROKE_END) << c;
        EXPECT_EQ(probe.advanced, STROKE_ADVANCE) << c;
        EXPECT_EQ(probe.open, probe.closed) << c;
        EXPECT_GE(probe.points.size(), 2u) << c;
        EXPECT_GE(probe.min_x, -1.0f) << c;
        EXPECT_LE(probe.max_x, 6.0f) << c;
        EXPECT_GE(probe.min_y, -2.0f) << c;
        EXPECT_LE(probe.max_y, 10.0f) << c;
        for (const charpoint* q = p; q < next; q++)
            EXPECT_TRUE(q->type >= STROKE_NEXT && q->type <= STROKE_END) << c;
        EXPECT_EQ(stroke_glyph(c + 1), next) << c;
    }
    // The entry after DEL is one empty point, and the table ends there.
    const charpoint* last = stroke_glyph(STROKE_LASTCHAR);
    EXPECT_EQ(last->type, STROKE_EMPTY);
    GLYPH_PROBE probe;
    EXPECT_EQ(walk_letter(last, probe), last + 1);
    EXPECT_EQ(probe.advanced, 0.0f);
    EXPECT_TRUE(probe.points.empty());
    EXPECT_EQ(walked + 1, stroke_letter_data_size);
    EXPECT_EQ(stroke_glyph(32), nullptr);
    EXPECT_EQ(stroke_glyph(129), nullptr);
}

TEST(StrokeFontGlyphs, AWalkSplitsStripsAtEveryStripEnd)
{
    GLYPH_PROBE probe;
    walk_letter(stroke_glyph('A'), probe);
    EXPECT_EQ(probe.open, 4);  // two feet, the arch, the bar
    EXPECT_EQ(probe.points.size(), 12u);
}

TEST(StrokeFontLayout, AlignmentsPaddingTabsAndSpacesPlaceTheGlyphsAndKeepThePen)
{
    STROKE_RECORDER c;
    stroke_textout_c("AB", c);
    ASSERT_EQ(c.glyphs.size(), 2u);
    EXPECT_EQ(c.glyphs[0].x, -8.0f);  // centred: -8 .. 8
    EXPECT_EQ(c.glyphs[1].x, 0.0f);
    EXPECT_EQ(c.max_x, 8.0f);
    EXPECT_EQ(c.x, 0.0f);  // the pen is back where it was
    EXPECT_EQ(c.pushes, 1);
    EXPECT_EQ(c.pops, 1);
    STROKE_RECORDER r;
    stroke_textout_r("abc", r);
    EXPECT_EQ(r.glyphs.front().x, -24.0f);
    EXPECT_EQ(r.glyphs.back().x + STROKE_ADVANCE, 0.0f);
    EXPECT_EQ(r.glyphs.back().y, 0.0f);  // on the line
    STROKE_RECORDER ll;
    stroke_textout_ll("abc", 2, ll);
    EXPECT_EQ(ll.glyphs.front().x, -6.0f);
    STROKE_RECORDER t;
    stroke_textout("a\tb c", t);  // a tab moves four cells, a space one, neither draws
    EXPECT_EQ(drawn(t), "abc");
    EXPECT_EQ(t.glyphs[1].x, 8.0f + 32.0f);
    EXPECT_EQ(t.glyphs[2].x, 56.0f);
    STROKE_RECORDER empty;
    stroke_textout("", empty);
    EXPECT_EQ(empty.pushes + empty.pops, 2);
    EXPECT_TRUE(empty.glyphs.empty());
}

TEST(StrokeFontLayout, PrintfPadsAndCutsAt511BytesAndOddBytesNeitherDrawNorMove)
{
    STROKE_RECORDER r;
    stroke_printf(r, "%5.0f", 42.0);
    EXPECT_EQ(drawn(r), "42");
    EXPECT_EQ(r.glyphs[0].x, 24.0f);
    EXPECT_EQ(r.max_x, 40.0f);
    STROKE_RECORDER c;
    stroke_printf_c(c, "FPS: %1.1f", 59.84f);
    EXPECT_EQ(drawn(c), "FPS:59.8");
    EXPECT_EQ(c.glyphs[0].x, -36.0f);  // nine bytes, centred
    STROKE_RECORDER many;
    stroke_printf(many, "%s", std::string(600, 'x').c_str());
    EXPECT_EQ(many.glyphs.size(), 511u);
    STROKE_RECORDER none;
    stroke_printf_r(none, nullptr);
    stroke_textout(nullptr, none);
    stroke_menu_textout(nullptr, none);
    stroke_menu_textout_with_tab(nullptr, 10.0f, none);
    EXPECT_TRUE(none.glyphs.empty());
    EXPECT_EQ(none.pushes, 0);
    STROKE_RECORDER odd;
    for (int b : {128, 160, 255, 0, 1, 10, 13, 31}) {
        stroke_draw_char((char)b, odd);
        EXPECT_EQ(odd.x, 0.0f) << b;
    }
    EXPECT_TRUE(odd.glyphs.empty());
    stroke_draw_char((char)127, odd);  // DEL has a glyph
    EXPECT_EQ(odd.x, 8.0f);
    STROKE_RECORDER u;
    stroke_textout("\xc3\xa9t\xff", u);
    EXPECT_EQ(drawn(u), "t");
    EXPECT_EQ(u.glyphs[0].x, 0.0f);
}

TEST(StrokeFontMenu, WidthsCountCellsTabsAndDoubledAmpersands)
{
    EXPECT_EQ(stroke_menu_text_width("&File"), 4);
    EXPECT_EQ(stroke_menu_text_width("a\tb"), 6);
    EXPECT_EQ(stroke_menu_text_width("&&x"), 2);
    EXPECT_EQ(stroke_menu_text_width("ab&"), 2);
    EXPECT_EQ(stroke_menu_text_width(""), 0);
    EXPECT_EQ(stroke_menu_text_width(nullptr), 0);
}

TEST(StrokeFontMenu, TheHotKeyIsUnderlinedInPlaceAndAlignmentsUseTheMenuWidth)
{
    STROKE_RECORDER r;
    stroke_menu_textout("&File", r);
    EXPECT_EQ(drawn(r), "_File");
    EXPECT_EQ(r.glyphs[0].x, 0.0f);
    EXPECT_EQ(r.glyphs[1].x, 0.0f);  // F over its underscore
    EXPECT_EQ(r.glyphs[4].x, 24.0f);
    STROKE_RECORDER amp;
    stroke_menu_textout("&&x", amp);  // a doubled ampersand draws one; the second marks the next
    EXPECT_EQ(drawn(amp), "&_x");
    EXPECT_EQ(amp.glyphs[1].x, 8.0f);
    EXPECT_EQ(amp.glyphs[2].x, 8.0f);
    STROKE_RECORDER c;
    stroke_menu_textout_c("&Quit", c);
    EXPECT_EQ(c.glyphs[1].c, 'Q');
    EXPECT_EQ(c.glyphs[1].x, -16.0f);
    STROKE_RECORDER right;
    stroke_menu_textout_r("&Quit", right);
    EXPECT_EQ(right.glyphs.back().x + STROKE_ADVANCE, 0.0f);
}

TEST(StrokeFontMenu, TextAfterATabEndsAtTheGivenX)
{
    STROKE_RECORDER r;
    stroke_menu_textout_with_tab("&Open\tCtrl+&O", 200.0f, r);
    EXPECT_EQ(drawn(r), "_OpenCtrl+_O");
    EXPECT_EQ(r.glyphs[1].x, 0.0f);
    EXPECT_EQ(r.glyphs.back().c, 'O');
    EXPECT_EQ(r.glyphs.back().x + STROKE_ADVANCE, 200.0f);
    EXPECT_EQ(r.glyphs[5].x, 200.0f - 6 * STROKE_ADVANCE);  // "C" after the tab's four cells
    EXPECT_EQ(r.x, 0.0f);
    EXPECT_EQ(r.pushes, r.pops);

    STROKE_RECORDER plain;
    stroke_menu_textout_with_tab("Exit&", 200.0f, plain);
    EXPECT_EQ(drawn(plain), "Exit_");
    EXPECT_EQ(plain.glyphs.back().x, 32.0f);  // the trailing mark underlines nothing after it
}
