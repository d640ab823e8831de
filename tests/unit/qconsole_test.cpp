// The text console: appending, wrapping, scrolling and drawing.
#include <gtest/gtest.h>

#include <allegro.h>

#include <string>

#include "console_text.h"
#include "ui/qconsole.h"

namespace {

std::string row(const QCONSOLE& qc, int r) { return console_row(&qc, r); }

}  // namespace

TEST(Console, LinesWrapAndScrollTabsAreFourSpacesAndOtherBytesAreIgnored)
{
    QCONSOLE qc(32, 32);
    qc.clrscr();
    for (int i = 1; i <= 32; i++)
        qc.printf("line %d\n", i);  // the line feed on the full last row scrolls
    EXPECT_EQ(row(qc, 0), "line 2");
    EXPECT_EQ(row(qc, 30), "line 32");
    EXPECT_EQ(qc.get_cursor(), 31 * 32);
    qc.print("a\x01\r\x1f\x7f\xc3\xa9\x80\xff" "b\tc");
    EXPECT_EQ(row(qc, 31), "a\x7f" "b    c");
    EXPECT_EQ(qc.get_cursor(), 31 * 32 + 8);

    QCONSOLE narrow(5, 4);
    narrow.clrscr();
    narrow.print("\nabcde");  // a line feed at a row's start gives an empty row
    EXPECT_EQ(narrow.get_cursor(), 10);  // exactly cols characters: no extra row
    narrow.print("\nz");
    EXPECT_EQ(row(narrow, 0), "");
    EXPECT_EQ(row(narrow, 1), "abcde");
    EXPECT_EQ(row(narrow, 2), "");
    EXPECT_EQ(row(narrow, 3), "z");

    QCONSOLE wide(100, 10);
    wide.clrscr();
    wide.printf("%s", std::string(700, 'x').c_str());  // cut to 511 bytes
    wide.printf(nullptr);
    wide.print(nullptr);
    EXPECT_EQ(wide.get_cursor(), 511);
}

TEST(Console, ResizingKeepsWritesInsideTheGridAndNoCellsIgnoreText)
{
    QCONSOLE qc(0, 5);
    qc.clrscr();
    qc.print("hello\n\tworld");
    qc.scroll();
    EXPECT_EQ(qc.get_cursor(), 0);
    EXPECT_EQ(qc.get_cell(0, 0), 0);
    qc.resize(10, 10);
    qc.clrscr();
    qc.print("abc");
    qc.resize(5, 5);
    EXPECT_EQ(qc.get_cursor(), 3);  // still fits: kept
    qc.print(std::string(21, 'q').c_str());
    qc.resize(2, 2);
    EXPECT_EQ(qc.get_cursor(), 0);  // past the new grid: dropped
    qc.print("abcde");
    EXPECT_EQ(row(qc, 0), "cd");
    EXPECT_EQ(qc.get_cursor(), 3);
    EXPECT_EQ(qc.get_cell(2, 0) + qc.get_cell(0, 2) + qc.get_cell(-1, 0), 0);
}

// Drawing with Allegro's 8 x 8 font into a 32-bit memory bitmap.
class ConsoleDraw : public ::testing::Test {
protected:
    void SetUp() override { bmp = create_bitmap_ex(32, 64, 32); }
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
    int fg = makecol32(255, 255, 255), bg = makecol32(0, 0, 80);
};

TEST_F(ConsoleDraw, TextCellByCellThenTheCursorBarUpToTheBitmapsBottom)
{
    QCONSOLE qc(4, 10);
    qc.clrscr();
    qc.set_font(font);
    qc.set_fg(fg);
    qc.set_bg(bg);
    qc.draw(bmp, true);  // empty: only the bar in the top left cell, 8 wide, 3 high
    EXPECT_EQ(count(0, 5, 7, 7, fg), 24);
    EXPECT_EQ(count(0, 0, 63, 31, fg), 24);
    qc.draw(bmp, false);
    EXPECT_EQ(count(0, 0, 63, 31, fg), 0);
    EXPECT_EQ(count(0, 0, 63, 31, bg), 64 * 32);

    qc.print("HHHHH");  // wraps: the fifth H starts row 1
    qc.draw(bmp, true);
    for (int c = 0; c < 4; c++)
        EXPECT_GT(count(c * 8, 0, c * 8 + 7, 7, fg), 8) << "cell " << c;
    EXPECT_GT(count(0, 8, 7, 15, fg), 8);
    EXPECT_EQ(count(32, 0, 63, 31, fg), 0);   // nothing right of the four columns
    EXPECT_EQ(count(8, 13, 15, 15, fg), 24);  // the bar in cell (1, 1)

    qc.print(std::string(4 * 5, 'H').c_str());  // six rows; the bitmap holds four
    qc.draw(bmp, true);
    EXPECT_GT(count(0, 24, 7, 31, fg), 8);
    EXPECT_EQ(count(32, 0, 63, 31, fg), 0);

    qc.set_font(nullptr);  // without a font only the background
    qc.draw(bmp, true);
    EXPECT_EQ(count(0, 0, 63, 31, bg), 64 * 32);
}
