// The selection screen without a window (list, moves, fades, text column); the console.
#include <gtest/gtest.h>

#include <allegro.h>

#include <string>
#include <vector>

#include "console_text.h"
#include "equipment/jet.h"
#include "equipment/rjet.h"
#include "test_data_path.h"
#include "ui/qconsole.h"
#include "ui/select_vcd.h"
#include "vessel/vessel.h"

namespace {

// The screen as select_vcd runs it, minus the drawing: each frame steps the
// fade, then reads the keys pressed during it.
struct SCREEN {
    float fade = 0.0f, angle = 0.0f;
    std::vector<int> loads;  // indices loaded, in order
    bool done = false;
    void frame(std::vector<int> keys = {}, int n = 1)
    {
        for (int i = 0, load; i < n; i++)
            if ((load = step_vcd_frame(fade, angle)) >= 0)
                loads.push_back(load);
        for (int k : keys)
            done = done || handle_vcd_key(k);
    }
};

std::vector<std::string> column(const TEST_DATA_PATH& data, const char* vcd, VESSEL* v)
{
    v->reset_matrices(), v->update_abs_matrix();
    std::vector<std::string> text;
    for (const VCD_TEXT_LINE& l : vcd_text_lines(v, data.file(vcd).c_str()))
        text.push_back(l.text + (l.small ? " (small)" : ""));
    return text;
}

}  // namespace

TEST(SelectVcd, ListsCaseInsensitivelyMovesStopAtTheEndsAndLoadOnlyWhereTheyEnd)
{
    TEST_DATA_PATH data;
    for (const char* name : {"d.vcd", "Gamma.vcd", "alpha.vcd", "beta2.vcd", "ALPHA.vcd", "Beta.vcd", "notes.txt"})
        data.write(name, "");
    data.write("sub.vcd/inner.vcd", "");  // a folder is not a configuration
    init_vcd_file_info();
    std::vector<std::string> want, got(filename, filename + nr_files);
    for (const char* name : {"ALPHA.vcd", "alpha.vcd", "Beta.vcd", "beta2.vcd", "d.vcd", "Gamma.vcd"})
        want.push_back(data.file(name));
    EXPECT_EQ(got, want);
    SCREEN s;
    s.frame({KEY_LEFT}, 12);  // the first is loaded before the first frame; left stops
    EXPECT_FLOAT_EQ(s.fade, 1.0f);
    EXPECT_NEAR(s.angle, 12.0f, 1e-3f);  // a degree a frame
    s.frame({KEY_RIGHT, KEY_RIGHT});
    s.frame({KEY_RIGHT}, 3);  // a third press while the first two fade out
    EXPECT_TRUE(next_file == 3 && cur_file == 0 && s.fade > 0.5f && s.fade < 1.0f) << s.fade;
    s.frame({KEY_RIGHT, KEY_RIGHT, KEY_RIGHT}, 12);
    EXPECT_TRUE(s.loads == std::vector<int>{3} && cur_file == 3 && next_file == 5);
    s.frame({KEY_LEFT, KEY_LEFT}, 1);  // right and back left within a fade: no load
    s.frame({}, 400);
    EXPECT_TRUE(s.loads == std::vector<int>{3} && s.fade == 1.0f && s.angle >= 0.0f && s.angle <= 360.0f) << s.angle;
    s.frame({KEY_LEFT, KEY_LEFT, KEY_LEFT, KEY_LEFT}, 2);  // back to the first, and no further
    s.frame({KEY_SPACE, KEY_UP, KEY_ENTER});  // Enter during a fade-out: the file moved to
    EXPECT_TRUE(s.done && cur_file == 3 && filename[next_file] == data.file("ALPHA.vcd"));
    EXPECT_TRUE(handle_vcd_key(KEY_ESC) && handle_vcd_key(KEY_ENTER_PAD) && !handle_vcd_key(KEY_SPACE));
    cleanup_vcd_file_info();
    EXPECT_TRUE(filename == nullptr && nr_files == 0);
    TEST_DATA_PATH empty;
    init_vcd_file_info();
    EXPECT_TRUE(nr_files == 0 && select_vcd() == nullptr);  // nothing to show: no window is touched
    cleanup_vcd_file_info();
}

TEST(SelectVcd, TheColumnGivesFullThrustOverMassPutsTheThrustBackAndStaysPlainText)
{
    TEST_DATA_PATH data;
    data.write("hull.vhd", "SHORTNAME=Tester\nMASS = 100\nSLOT = J, 0, -2, 0,  0, 1, 0,  0, 0, -1\n"
                           "SLOT = R, 0, 1, 0,  0, 1, 0,  0, 0, -1\n");
    data.write("jet.sid", "THINGTYPE = JET\nNAME=Main engine\xc3\xa9\nMASS = 10\nPOWER = 3000\n");
    data.write("rjet.sid", "THINGTYPE = RJET\nNAME=Vanes\nMASS = 10\nPOWER = 500, 500, 400, 2000, 1300, 1000\n");
    data.write("ship.vcd", "VHD = hull.vhd\nITEM = 0, jet.sid\nITEM = 1, rjet.sid\n");
    data.write("light.sid", "THINGTYPE = JET\nMASS = -100\nPOWER = 3000\n");  // no lower limit on mass
    data.write("massless.vcd", "VHD = hull.vhd\nITEM = 0, light.sid\n");
    VESSEL* v = load_preview_vessel(data.file("ship.vcd").c_str());
    JET* jet = dynamic_cast<JET*>(v->get_slot_item(0));
    RJET* rjet = dynamic_cast<RJET*>(v->get_slot_item(1));
    ASSERT_TRUE(jet && rjet);
    jet->set_thrust(0.25f, 1);
    const float rot[6] = {-0.5f, 0.1f, 0.2f, 0.3f, -0.4f, 0.6f};
    for (int k = 0; k < 6; k++)
        rjet->set_thrust(rot[k], k);
    // The jet's 3000 N and the rotator's 1300 N forward, over 120 kg.
    EXPECT_NEAR(preview_acceleration(v), 4300.0f / 120.0f, 1e-3f);
    for (int k = 0; k < 6; k++)
        EXPECT_TRUE(rjet->get_thrust_setting(k) == rot[k] && jet->get_thrust() == 0.25f) << k;
    std::vector<std::string> text = column(data, "ship.vcd", v);
    EXPECT_EQ(text, (std::vector<std::string>{"<- " + data.file("ship.vcd") + " ->", "Tester", text[2], "Mass: 120 kg",
                                              "Accel.: 36 m/s^2", "Shields: 0 Mj", "Extension devices:",
                                              "Main engine?? (small)" /* no glyphs beyond ASCII */, "Vanes (small)"}));
    EXPECT_EQ(text[2].rfind("Size: ", 0), 0u);
    delete v;
    v = load_preview_vessel(data.file("massless.vcd").c_str());
    EXPECT_TRUE(v->get_m() == 0.0f && preview_acceleration(v) == 0.0f && column(data, "massless.vcd", v)[4] == "Accel.: 0 m/s^2");
    delete v;
}

TEST(SelectVcd, TheConsoleWrapsScrollsResizesAndDrawsTextCellByCell)
{
    QCONSOLE qc(32, 32);
    qc.clrscr();
    for (int i = 1; i <= 32; i++)
        qc.printf("line %d\n", i);  // the line feed on the full last row scrolls
    EXPECT_EQ(console_row(&qc, 0) + console_row(&qc, 30), "line 2line 32");
    qc.print("a\x01\r\x1f\x7f\xc3\xa9\x80\xff" "b\tc");  // tabs are four blanks, other bytes ignored
    EXPECT_TRUE(console_row(&qc, 31) == "a\x7f" "b    c" && qc.get_cursor() == 31 * 32 + 8);
    qc.resize(5, 4);  // a fresh grid; the cursor past it back at the start
    EXPECT_EQ(qc.get_cursor(), 0);
    qc.print("\nabcde");  // a line feed at a row's start gives an empty row
    EXPECT_EQ(qc.get_cursor(), 10);  // exactly cols characters: no extra row
    qc.print("\nz");
    EXPECT_EQ(console_row(&qc, 0) + "|" + console_row(&qc, 1) + "|" + console_row(&qc, 2) + "|" + console_row(&qc, 3), "|abcde||z");
    qc.resize(100, 10);  // a larger grid keeps the cursor
    EXPECT_EQ(qc.get_cursor(), 16);
    qc.clrscr();
    qc.printf("%s", std::string(700, 'x').c_str());  // cut to 511 bytes
    qc.printf(nullptr);
    qc.print(nullptr);
    EXPECT_EQ(qc.get_cursor() + qc.get_cell(100, 0) + qc.get_cell(0, 10) + qc.get_cell(-1, 0), 511);
    qc.clrscr();  // every cell, the cursor home
    EXPECT_EQ(qc.get_cell(10, 5) + qc.get_cursor(), 0);
    qc.resize(1, 1);  // one cell will do; none, or more than 4 M cells, will not
    qc.print("ab");
    std::string one = console_row(&qc, 0);
    qc.resize(0, 3), qc.print("x\n"), qc.resize(1 << 12, 1 << 11);
    qc.print("x");
    EXPECT_TRUE(one == "b" && qc.get_cursor() == 0 && qc.get_cols() + qc.get_rows() == 0);
    qc.resize(1 << 11, 1 << 11);  // 4 M cells exactly will
    qc.print("x");
    EXPECT_EQ(qc.get_cell(0, 0), 'x');
    qc.clrscr();
    BITMAP* bmp = create_bitmap_ex(32, 64, 32);
    const int fg = makecol32(255, 255, 255), bg = makecol32(0, 0, 80);
    auto count = [bmp](int x0, int y0, int w, int h, int colour) {
        int n = 0;
        for (int i = 0; i < w * h; i++)
            n += getpixel(bmp, x0 + i % w, y0 + i / w) == colour;
        return n;
    };
    qc.resize(4, 10);
    qc.set_font(font);
    qc.set_fg(fg);
    qc.set_bg(bg);
    qc.print("HHHHH");  // the fifth H starts row 1; the cursor bar follows it
    qc.draw(bmp, true);
    for (int c = 0; c < 5; c++)
        EXPECT_GT(count(c % 4 * 8, c / 4 * 8, 8, 8, fg), 8) << "cell " << c;
    EXPECT_EQ(count(8, 13, 8, 3, fg) * 1000 + count(32, 0, 32, 32, fg) + count(0, 16, 32, 16, fg) + count(16, 8, 16, 8, fg),
              24000);  // the bar fills the bottom of its cell and no more
    qc.set_font(nullptr);  // without a font only the background
    qc.draw(bmp, false);
    EXPECT_EQ(count(0, 0, 64, 32, bg), 64 * 32);
    destroy_bitmap(bmp);
}
