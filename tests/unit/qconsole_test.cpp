// The text console: appending, wrapping, scrolling and drawing.
#include <gtest/gtest.h>

#include <allegro.h>

#include <string>

#include "ui/qconsole.h"

namespace {

std::string row_text(const QCONSOLE& qc, int row)
{
    std::string s;
    for (int c = 0; c < qc.get_cols(); c++) {
        char ch = qc.get_cell(c, row);
        s += ch ? ch : '.';
    }
    // Trailing padding says nothing about the text.
    while (!s.empty() && (s.back() == ' ' || s.back() == '.'))
        s.pop_back();
    return s;
}

QCONSOLE* cleared(int cols, int rows)
{
    QCONSOLE* qc = new QCONSOLE(cols, rows);
    qc->clrscr();
    return qc;
}

}  // namespace

TEST(Console, ThirtyThreeLinesScrollTheFirstOffA32RowConsole)
{
    QCONSOLE qc(32, 32);
    qc.clrscr();
    for (int i = 1; i <= 33; i++)
        qc.printf(i < 33 ? "line %d\n" : "line %d", i);
    for (int r = 0; r < 32; r++)
        EXPECT_EQ(row_text(qc, r), "line " + std::to_string(r + 2)) << "row " << r;
    EXPECT_EQ(qc.get_cursor(), 31 * 32 + 7);  // on the last row, after "line 33"
}

TEST(Console, LineFeedOnTheFullLastRowScrollsAndLeavesTheCursorAtItsStart)
{
    QCONSOLE qc(32, 32);
    qc.clrscr();
    for (int i = 1; i <= 32; i++)
        qc.printf("line %d\n", i);
    EXPECT_EQ(row_text(qc, 0), "line 2");
    EXPECT_EQ(row_text(qc, 30), "line 32");
    EXPECT_EQ(qc.get_cursor(), 31 * 32);
}

TEST(Console, TabWritesFourSpacesWithoutAligning)
{
    QCONSOLE qc(32, 4);
    qc.clrscr();
    qc.print("ab\tc");
    EXPECT_EQ(qc.get_cursor(), 7);
    EXPECT_EQ(row_text(qc, 0), "ab    c");
}

TEST(Console, LineFeedAtTheStartOfARowGivesAnEmptyRow)
{
    QCONSOLE qc(10, 4);
    qc.clrscr();
    qc.print("\nxy");
    EXPECT_EQ(row_text(qc, 0), "");
    EXPECT_EQ(row_text(qc, 1), "xy");
    EXPECT_EQ(qc.get_cursor(), 12);
}

TEST(Console, ExactlyColsCharactersWrapWithoutAnExtraRow)
{
    QCONSOLE qc(5, 4);
    qc.clrscr();
    qc.print("abcde");
    EXPECT_EQ(qc.get_cursor(), 5);
    qc.print("\nz");
    // The line feed at the start of row 1 gives an empty row.
    EXPECT_EQ(row_text(qc, 1), "");
    EXPECT_EQ(row_text(qc, 2), "z");
}

TEST(Console, IgnoresControlBytesAndBytesAbove127)
{
    QCONSOLE qc(10, 2);
    qc.clrscr();
    qc.print("a\x01\r\x1f\x7f");
    qc.print("\xc3\xa9\x80\xff" "b");
    EXPECT_EQ(row_text(qc, 0), "a\x7f" "b");
    EXPECT_EQ(qc.get_cursor(), 3);
}

TEST(Console, PrintfCutsItsTextTo511BytesAndNullPrintsNothing)
{
    QCONSOLE* qc = cleared(100, 10);
    std::string long_text(700, 'x');
    qc->printf("%s", long_text.c_str());
    EXPECT_EQ(qc->get_cursor(), 511);
    qc->printf(nullptr);
    qc->print(nullptr);
    EXPECT_EQ(qc->get_cursor(), 511);
    delete qc;
}

TEST(Console, AConsoleOfNoCellsIgnoresText)
{
    QCONSOLE qc(0, 5);
    qc.clrscr();
    qc.print("hello\n\tworld");
    qc.scroll();
    EXPECT_EQ(qc.get_cursor(), 0);
    EXPECT_EQ(qc.get_cell(0, 0), 0);
    qc.resize(-3, 2);
    qc.print("x\n");
    EXPECT_EQ(qc.get_cursor(), 0);
    qc.resize(3, 2);
    qc.clrscr();
    qc.print("abcdefg");
    EXPECT_EQ(row_text(qc, 0), "def");
    EXPECT_EQ(qc.get_cursor(), 4);
}

TEST(Console, ResizeKeepsACursorThatStillFitsAndDropsOneThatDoesNot)
{
    QCONSOLE qc(10, 10);
    qc.clrscr();
    qc.print("abc");
    qc.resize(5, 5);
    EXPECT_EQ(qc.get_cursor(), 3);
    qc.print(std::string(40, 'q').c_str());
    qc.resize(2, 2);
    EXPECT_LT(qc.get_cursor(), 4);
    qc.clrscr();
    qc.print("abcde");  // writes must stay inside the new grid
    EXPECT_EQ(row_text(qc, 0), "cd");
}

// Drawing with Allegro's 8 x 8 font into a 32-bit memory bitmap.
class ConsoleDraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        bmp = create_bitmap_ex(32, 64, 32);
        fg = makecol32(255, 255, 255);
        bg = makecol32(0, 0, 80);
    }
    void TearDown() override { destroy_bitmap(bmp); }
    int count(int x0, int y0, int x1, int y1, int colour)
    {
        int n = 0;
        for (int y = y0; y <= y1; y++)
            for (int x = x0; x <= x1; x++)
                n += getpixel(bmp, x, y) == colour;
        return n;
    }
    BITMAP* bmp = nullptr;
    int fg = 0, bg = 0;
};

TEST_F(ConsoleDraw, EmptyConsoleWithCursorDrawsOnlyTheBarInTheTopLeftCell)
{
    QCONSOLE qc(8, 4);
    qc.clrscr();
    qc.set_font(font);
    qc.set_fg(fg);
    qc.set_bg(bg);
    qc.draw(bmp, true);
    EXPECT_EQ(count(0, 5, 7, 7, fg), 24);  // the bar: 8 wide, 3 high
    EXPECT_EQ(count(0, 0, 63, 31, fg), 24);
    EXPECT_EQ(getpixel(bmp, 8, 7), bg);
    qc.draw(bmp, false);
    EXPECT_EQ(count(0, 0, 63, 31, fg), 0);
}

TEST_F(ConsoleDraw, TextIsDrawnCellByCellAndTheCursorFollowsIt)
{
    QCONSOLE qc(4, 4);
    qc.clrscr();
    qc.set_font(font);
    qc.set_fg(fg);
    qc.set_bg(bg);
    qc.print("HHHHH");  // wraps: the fifth H starts row 1
    qc.draw(bmp, true);
    for (int c = 0; c < 4; c++)
        EXPECT_GT(count(c * 8, 0, c * 8 + 7, 7, fg), 8) << "cell " << c;
    EXPECT_GT(count(0, 8, 7, 15, fg), 8);
    EXPECT_EQ(count(32, 0, 63, 31, fg), 0);  // nothing right of the four columns
    EXPECT_EQ(count(8, 13, 15, 15, fg), 24);  // cursor bar in cell (1, 1)
}

TEST_F(ConsoleDraw, DrawingStopsAtTheBottomOfTheBitmapWithoutACursor)
{
    QCONSOLE qc(4, 10);
    qc.clrscr();
    qc.set_font(font);
    qc.set_fg(fg);
    qc.set_bg(bg);
    qc.print(std::string(4 * 5, 'H').c_str());  // five full rows; the bitmap has four
    qc.draw(bmp, true);
    EXPECT_GT(count(0, 24, 7, 31, fg), 8);
    EXPECT_EQ(count(32, 0, 63, 31, fg), 0);
}

TEST_F(ConsoleDraw, WithoutAFontOnlyTheBackgroundIsDrawn)
{
    QCONSOLE qc(4, 4);
    qc.clrscr();
    qc.set_bg(bg);
    qc.print("abc");
    qc.draw(bmp, true);
    EXPECT_EQ(count(0, 0, 63, 31, bg), 64 * 32);
}
