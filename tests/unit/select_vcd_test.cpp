// The vessel selection screen without a window: the list it finds, the
// moves and fades frame by frame with keys handed in, and what its text
// column says.
#include <gtest/gtest.h>

#include <allegro.h>

#include <string>
#include <vector>

#include "equipment/jet.h"
#include "equipment/rjet.h"
#include "test_data_path.h"
#include "ui/select_vcd.h"
#include "vessel/vessel.h"

namespace {

std::vector<std::string> listed()
{
    std::vector<std::string> names;
    for (int i = 0; i < nr_files; i++)
        names.push_back(filename[i]);
    return names;
}

// The screen as select_vcd runs it, minus the drawing: each frame steps the
// fade and then reads the keys pressed during it.
struct SCREEN {
    float fade = 0.0f;
    float angle = 0.0f;
    std::vector<int> loads;  // indices loaded, in order
    bool done = false;

    void frame(std::vector<int> keys = {})
    {
        int load = step_vcd_frame(fade, angle);
        if (load >= 0)
            loads.push_back(load);
        for (int k : keys)
            if (!done)
                done = handle_vcd_key(k);
    }
    void frames(int n)
    {
        for (int i = 0; i < n; i++)
            frame();
    }
};

// A hull with one jet slot and one rotator slot, both on the hull's axes.
void write_ship(const TEST_DATA_PATH& data, const char* jet_mass)
{
    data.write("hull.vhd",
               "SHORTNAME=Tester\nMASS = 100\n"
               "SLOT = J, 0, -2, 0,  0, 1, 0,  0, 0, -1\n"
               "SLOT = R, 0, 1, 0,  0, 1, 0,  0, 0, -1\n");
    data.write("jet.sid", std::string("THINGTYPE = JET\nNAME=Main engine\nMASS = ") + jet_mass + "\nPOWER = 3000\n");
    data.write("rjet.sid", "THINGTYPE = RJET\nNAME=Vanes\nMASS = 10\nPOWER = 500, 500, 400, 2000, 1300, 1000\n");
    data.write("ship.vcd", "VHD = hull.vhd\nITEM = 0, jet.sid\nITEM = 1, rjet.sid\n");
}

VESSEL* preview(const TEST_DATA_PATH& data, const char* vcd)
{
    VESSEL* v = load_preview_vessel(data.file(vcd).c_str());
    v->reset_matrices();
    v->update_abs_matrix();
    return v;
}

}  // namespace

TEST(SelectVcd, FindsConfigurationsInCaseInsensitiveOrderAndFreesThem)
{
    TEST_DATA_PATH data;
    for (const char* name : {"Gamma.vcd", "alpha.vcd", "beta2.vcd", "ALPHA.vcd", "Beta.vcd", "notes.txt"})
        data.write(name, "");
    data.write("sub.vcd/inner.vcd", "");  // a folder is not a configuration
    init_vcd_file_info();
    std::vector<std::string> want;
    for (const char* name : {"ALPHA.vcd", "alpha.vcd", "Beta.vcd", "beta2.vcd", "Gamma.vcd"})
        want.push_back(data.file(name));
    EXPECT_EQ(listed(), want);
    EXPECT_EQ(cur_file, 0);
    EXPECT_EQ(next_file, 0);
    cleanup_vcd_file_info();
    EXPECT_EQ(filename, nullptr);
    EXPECT_EQ(nr_files, 0);

    TEST_DATA_PATH empty;
    init_vcd_file_info();
    EXPECT_EQ(nr_files, 0);
    EXPECT_EQ(select_vcd(), nullptr);  // nothing to show: no window is touched
    cleanup_vcd_file_info();
}

TEST(SelectVcd, QuickMovesFadeOutOnceAndLoadOnlyWhereTheyEnd)
{
    TEST_DATA_PATH data;
    for (const char* name : {"a.vcd", "b.vcd", "c.vcd", "d.vcd", "e.vcd"})
        data.write(name, "");
    init_vcd_file_info();
    SCREEN s;
    s.frames(12);
    EXPECT_FLOAT_EQ(s.fade, 1.0f);
    EXPECT_TRUE(s.loads.empty());  // the first file was loaded before the first frame

    s.frame({KEY_RIGHT, KEY_RIGHT});
    s.frames(3);
    s.frame({KEY_RIGHT});  // a third press while the first two fade out
    EXPECT_EQ(next_file, 3);
    EXPECT_EQ(cur_file, 0);
    EXPECT_GT(s.fade, 0.0f);
    EXPECT_LT(s.fade, 1.0f);
    s.frames(12);
    EXPECT_EQ(s.loads, std::vector<int>{3});
    EXPECT_EQ(cur_file, 3);
    EXPECT_GT(s.fade, 0.0f);  // fading in again

    // Right and back left within a fade loads nothing and fades back in.
    s.frames(12);
    s.frame({KEY_RIGHT});
    s.frame({KEY_LEFT});
    s.frames(12);
    EXPECT_EQ(s.loads, std::vector<int>{3});
    EXPECT_FLOAT_EQ(s.fade, 1.0f);

    // Enter during a fade-out answers the file moved to, not the one shown.
    s.frame({KEY_LEFT});
    s.frames(2);
    s.frame({KEY_ENTER});
    EXPECT_TRUE(s.done);
    EXPECT_EQ(cur_file, 3);
    EXPECT_EQ(std::string(filename[next_file]), data.file("c.vcd"));
    cleanup_vcd_file_info();
}

TEST(SelectVcd, ArrowsStopAtTheEndsAndEscapeTakesTheVesselShown)
{
    TEST_DATA_PATH data;
    data.write("a.vcd", "");
    data.write("b.vcd", "");
    init_vcd_file_info();
    SCREEN s;
    s.frame({KEY_LEFT});
    s.frames(399);
    EXPECT_EQ(next_file, 0);
    EXPECT_TRUE(s.loads.empty());
    EXPECT_NEAR(s.angle, 40.0f, 1e-3f);  // a degree a frame, within one turn
    s.frame({KEY_RIGHT, KEY_RIGHT, KEY_RIGHT});
    s.frames(12);
    EXPECT_EQ(next_file, 1);
    EXPECT_EQ(s.loads, std::vector<int>{1});
    s.frame({KEY_SPACE, KEY_UP, KEY_ESC});
    EXPECT_TRUE(s.done);
    EXPECT_EQ(std::string(filename[next_file]), data.file("b.vcd"));
    cleanup_vcd_file_info();
}

TEST(SelectVcd, ReadOutGivesFullThrustOverMassAndPutsTheThrustBack)
{
    TEST_DATA_PATH data;
    write_ship(data, "10");
    VESSEL* v = preview(data, "ship.vcd");
    JET* jet = dynamic_cast<JET*>(v->get_slot_item(0));
    RJET* rjet = dynamic_cast<RJET*>(v->get_slot_item(1));
    ASSERT_TRUE(jet && rjet);
    jet->set_thrust(0.25f, 1);
    const float rot[6] = {-0.5f, 0.1f, 0.2f, 0.3f, -0.4f, 0.6f};  // set_thrust axes 0..5
    for (int k = 0; k < 6; k++)
        rjet->set_thrust(rot[k], k);

    // Forward forces at full thrust: the jet's 3000 N and the rotator's
    // 1300 N along its own y, over 100 + 10 + 10 kg.
    EXPECT_NEAR(preview_acceleration(v), 4300.0f / 120.0f, 1e-3f);
    EXPECT_FLOAT_EQ(jet->get_thrust(), 0.25f);
    for (int k = 0; k < 6; k++)
        EXPECT_FLOAT_EQ(rjet->get_thrust_setting(k), rot[k]) << "axis " << k;

    std::vector<VCD_TEXT_LINE> lines = vcd_text_lines(v, data.file("ship.vcd").c_str());
    std::vector<std::string> text;
    for (const VCD_TEXT_LINE& l : lines)
        text.push_back(l.text);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(text[0], "<- " + data.file("ship.vcd") + " ->");
    EXPECT_EQ(text[1], "Tester");
    EXPECT_EQ(text[2].rfind("Size: ", 0), 0u);
    EXPECT_EQ(text[3], "Mass: 120 kg");
    EXPECT_EQ(text[4], "Accel.: 36 m/s^2");
    EXPECT_EQ(text[5], "Shields: 0 Mj");
    EXPECT_EQ(text[6], "Extension devices:");
    EXPECT_EQ(text[7], "Main engine");
    EXPECT_EQ(text[8], "Vanes");
    EXPECT_FALSE(lines[6].small);
    EXPECT_TRUE(lines[7].small && lines[8].small);
    delete v;
}

TEST(SelectVcd, NoMassGivesNoAcceleration)
{
    TEST_DATA_PATH data;
    write_ship(data, "-110");  // the items' masses have no lower limit
    VESSEL* v = preview(data, "ship.vcd");
    ASSERT_FLOAT_EQ(v->get_m(), 0.0f);
    EXPECT_EQ(preview_acceleration(v), 0.0f);
    EXPECT_EQ(vcd_text_lines(v, "ship.vcd")[4].text, "Accel.: 0 m/s^2");
    delete v;
}

TEST(SelectVcd, BrokenConfigurationsAndOddNamesAreShownAsPlainText)
{
    TEST_DATA_PATH data;
    write_ship(data, "10");
    // Allegro reports such a name with its odd bytes replaced: it may not
    // even name the file. Either way it shows as plain text and loads nothing.
    data.write("\xff\x01odd\xc3.vcd", "VHD = hull.vhd\nITEM = 0, jet.sid\n");
    data.write("garbage.vcd", std::string("\x00\xff\x01VHD", 6));
    init_vcd_file_info();
    ASSERT_EQ(nr_files, 3);
    for (int i = 0; i < nr_files; i++) {
        std::string name = filename[i];
        VESSEL* v = load_preview_vessel(filename[i]);
        v->reset_matrices();
        v->update_abs_matrix();
        std::vector<VCD_TEXT_LINE> lines = vcd_text_lines(v, filename[i]);
        for (const VCD_TEXT_LINE& l : lines)
            for (char c : l.text)
                EXPECT_TRUE(c >= 0x20 && c <= 0x7e) << name << ": " << l.text;
        if (name == data.file("ship.vcd")) {
            EXPECT_NE(v->get_slot_item(0), nullptr);
        } else {
            // Shown as the empty vessel the file leaves.
            EXPECT_EQ(v->get_slot_item(0), nullptr) << name;
            EXPECT_EQ(lines[4].text, "Accel.: 0 m/s^2") << name;
            EXPECT_EQ(lines.size(), 7u) << name;  // no equipment listed
        }
        delete v;
    }
    cleanup_vcd_file_info();
}
