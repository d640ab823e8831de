// The definition files: the tokenizer, the line grammar, the three readers,
// and damaged files passed over with a report at FILE:LINE.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core_test.h"
#include "test_data_path.h"
#include "vessel/definitions.h"
#include "vessel/item_factory.h"
#include "vessel/retrieve_word.h"
#include "vessel/vessel.h"

namespace {

// Listens to the readers for the life of the object.
struct RECORDING_SINK : DEFINITION_SINK {
    struct REPORT { std::string file; int line; DEFINITION_PROBLEM kind; std::string message; };
    std::vector<REPORT> reports;
    RECORDING_SINK() { definition_sink = this; }
    ~RECORDING_SINK() override { definition_sink = nullptr; }
    void report(const char* file, int line, DEFINITION_PROBLEM kind, const char* message) override
    {
        EXPECT_GT(strlen(message), 0u);
        reports.push_back({file, line, kind, message});
    }
    std::vector<int> lines(DEFINITION_PROBLEM kind) const  // of the reports of one kind
    {
        std::vector<int> l;
        for (const REPORT& r : reports)
            if (r.kind == kind)
                l.push_back(r.line);
        return l;
    }
};

const std::string SLOT = "SLOT = X, 0,0,0, 0,1,0, 0,0,-1\n";  // the hull's axes

std::string slots(int n) { return n > 0 ? SLOT + slots(n - 1) : ""; }

std::unique_ptr<SLOTTHING> item(const std::string& text) { return std::unique_ptr<SLOTTHING>(make_slot_item(text.c_str())); }

std::string type_at(VESSEL& v, int i) { return v.get_slot_item(i) ? v.get_slot_item(i)->get_thingtype_string() : "-"; }

}  // namespace

TEST(Definitions, WordsEndWhereTheirSetsSayBlanksDropAndLongWordsAreCutInsideTheBuffer)
{
    struct { const char *src, *ends, *blanks, *word; int used; WORD_END how; } cases[] = {
        {"EXPLOSION _SOUND = boom.wav\n", WORD_KEY_TERMINATORS, WORD_BLANKS, "EXPLOSION_SOUND", 18, WORD_TERMINATED},
        {" boom.wav\n", WORD_LINE_TERMINATORS, WORD_BLANKS, "boom.wav", 10, WORD_TERMINATED},
        {"MA//SS = 3\nNEXT", WORD_KEY_TERMINATORS, WORD_BLANKS, "MA", 11, WORD_COMMENT},  // to the line's end
        {"5 // five", WORD_LINE_TERMINATORS, WORD_BLANKS, "5", 9, WORD_COMMENT},
        {" Big\tGun Mk 2\r\n", WORD_LINE_TERMINATORS, WORD_TEXT_BLANKS, " BigGun Mk 2", 15, WORD_TERMINATED},
        {"Red Cross, more", WORD_LIST_TERMINATORS, WORD_TEXT_BLANKS, "Red Cross", 10, WORD_TERMINATED},
        {"", WORD_LINE_TERMINATORS, WORD_BLANKS, "", 0, WORD_AT_END},
        {"abc", WORD_LINE_TERMINATORS, WORD_BLANKS, "abc", 3, WORD_AT_END},
        {"ab,cd", ",", ",", "ab", 3, WORD_TERMINATED},  // in both sets: it ends
    };
    for (const auto& c : cases) {
        char w[512];
        WORD_END how;
        EXPECT_EQ(retrieve_word(w, sizeof w, c.src, c.ends, c.blanks, &how), c.used) << c.src;
        EXPECT_STREQ(w, c.word);
        EXPECT_EQ(how, c.how) << c.src;
    }
    std::string src(2000, 'x');
    char buf[600];
    WORD_END how;
    for (int size : {512, 3, 2, 1}) {  // cut two bytes short of the buffer; the smallest still end inside
        memset(buf, '#', sizeof buf);
        EXPECT_EQ(retrieve_word(buf, size, src.c_str(), "\n", "", &how), std::max(size - 3, 0));  // the last taken
        EXPECT_EQ(std::string(buf + std::max(size - 3, 0), 3), size > 1 ? std::string("x\0#", 3) : std::string("\0##", 3));
    }
    EXPECT_EQ(how, WORD_CUT);
}

TEST(Definitions, GunSettingsAtTheirBoundsPassSilentlyAndBeyondThemAreReported)
{
    RECORDING_SINK sink;
    item("THINGTYPE = GUN\nBSIZE = 0.01\nBSPEED = 0.1\nBSPEED = 500\nBPOWER = 0\nBPOWER = 10000\nRELOAD = 0\nMAXAMMO = 0\n"
         "BSIZE = 1e30\nRELOAD = 1e30\nMAXAMMO = 1e30\n"  // lines 2 to 11 within
         "BSIZE = 0.0099\nBSPEED = 0.099\nBSPEED = 500.1\nBPOWER = -0.001\nBPOWER = 10000.1\nRELOAD = -0.001\nMAXAMMO = -0.001\n"
         "BSIZE = 1.5e30\nRELOAD = 1.5e30\nMAXAMMO = 1.5e30\n");
    EXPECT_EQ(sink.lines(DEF_CLAMPED), std::vector<int>({12, 13, 14, 15, 16, 17, 18, 19, 20, 21}));
    sink.reports.clear();  // a shield's power and charge: no less than 0
    item("THINGTYPE = SHIELD\nPOWER = 0\nCHARGE = 0.5\nCHARGE = -0.5\n");
    EXPECT_EQ(sink.lines(DEF_CLAMPED), std::vector<int>({4}));
}

TEST(Definitions, SlotTypesAreLettersAfterANumber)
{
    const std::pair<const char*, int> cases[] = {{"", 0},   {"GM", 3},      {"Ji", 0x28},         {"64", 64},
                                                 {"g", 0},  {"GGG", 1},     {"0x10X", 0x14},      {"010b", 8 | SLOT_PRESET},
                                                 {"WR", SLOT_ROTATOR | 0x80}};
    for (auto [text, bits] : cases)
        EXPECT_EQ(string_to_slottype(text), bits) << text;
    EXPECT_EQ(string_to_slottype(nullptr) + slottype_unknown_char(nullptr), 0);
    EXPECT_EQ(slottype_unknown_char("0x10XJ"), 0);
    EXPECT_EQ(slottype_unknown_char("JgR"), 'g');
}

TEST(Definitions, ThingtypeChoosesTheClassAndDamagedItemFilesArePassedOver)
{
    TEST_DATA_PATH data;
    RECORDING_SINK sink;
    EXPECT_TRUE(!item("NAME = Lost\nMASS = 3\n") && !item(""));
    EXPECT_EQ(sink.lines(DEF_NO_THINGTYPE).size(), 2u);
    EXPECT_EQ(load_sid(data.file("nothing.sid").c_str()), nullptr);
    ASSERT_EQ(sink.lines(DEF_MISSING_FILE), std::vector<int>{0});
    EXPECT_EQ(sink.reports.back().file, data.file("nothing.sid"));
    data.write("odd\xff.sid", "THINGTYPE = JET\n");  // there, but its name is not UTF-8
    const std::string odd = data.file("odd\xff.sid");
    EXPECT_TRUE(!load_sid(nullptr) && !load_sid("") && !load_sid(odd.c_str()) && sink.lines(DEF_MISSING_FILE).size() == 4);
    const std::string full = data.file("a.sid");  // the data directory and a name: a byte short, then just room
    std::vector<char> path(full.size() + 1);
    EXPECT_FALSE(make_data_path(path.data(), full.size(), "a.sid", nullptr));
    EXPECT_TRUE(make_data_path(path.data(), full.size() + 1, "a.sid", nullptr) && full == path.data());
    EXPECT_EQ(sink.lines(DEF_CUT).size(), 1u);
    for (const char* key : {"POWER", "SOUND"}) {  // a number and a word longer than the reader holds
        item(std::string("THINGTYPE = JET\n") + key + " = " + std::string(600, '1') + "\n");
        auto cut = std::find_if(sink.reports.rbegin(), sink.reports.rend(), [](auto& r) { return r.kind == DEF_CUT; });
        EXPECT_EQ(cut->message, std::string(key) + " value cut to 510 characters");
    }
    item("THINGTYPE = RJET\n" + std::string(600, 'K') + " = 1\nPOWER = 1, 2\n3, 4, 5, 6\n");  // a key too long; a list going on
    EXPECT_EQ(sink.reports.end()[-2].message + "|" + sink.reports.back().message,
              "key longer than 510 characters: line ignored|POWER has 2 of 6 values: the rest are read from the next line");
    const long limit = definition_file_max_size;
    definition_file_max_size = 16;  // bytes: the first file just fits, the second is a byte too large
    for (const char* text : {"THINGTYPE = JET\n", "THINGTYPE = JET \n"}) {
        data.write("big.sid", text);
        std::unique_ptr<SLOTTHING>(load_sid(data.file("big.sid").c_str()));
    }
    definition_file_max_size = limit;
    data.write("huge.sid", "THINGTYPE = JET\n");
    std::filesystem::resize_file(data.file("huge.sid"), (64 << 20) + 1);  // sparse; a byte over the 64 MiB allowed
    EXPECT_EQ(load_sid(data.file("huge.sid").c_str()), nullptr);
    EXPECT_EQ(sink.lines(DEF_FILE_TOO_LARGE), std::vector<int>({0, 0}));
    for (auto [type, made] : {std::pair<const char*, const char*>{"jet", "JET"}, {"RJET", "RJET"}, {"Gun", "GUN"},
                              {"SHIELD", "SHIELD"}, {"NUKEGEN", "Nuclear Reactor"}, {"TOASTER", "SLOTTHING"}}) {
        auto t = item(std::string("THINGTYPE = ") + type + "\nMASS = 2\n");
        ASSERT_NE(t, nullptr) << type;
        EXPECT_TRUE(t->get_thingtype_string() == std::string(made) && t->get_m() == 2.0f) << type;
    }
    EXPECT_TRUE(sink.lines(DEF_UNKNOWN_THINGTYPE) == std::vector<int>{1} && sink.lines(DEF_UNKNOWN_KEY).empty());  // THINGTYPE is known
    item("THINGTYPE = MISSILE\nMAXAMMO = 2\nFOO = 1\n");  // a launcher tells of a key neither it nor its gun reads
    EXPECT_EQ(sink.lines(DEF_UNKNOWN_KEY), std::vector<int>{3});

    sink.reports.clear();
    auto t = item("// an item\nthingtype=x\n  m a s s = 7 // kilograms\n// MASS = 99\nMaSs2 = 5\n"
                        "NAME = Twin Laser Mk 2\nRMASS = 2, 0, -3\nSLOTTYPE = J i\n");
    float rm[3];
    t->get_rm(rm);
    EXPECT_STREQ(t->get_name(), " Twin Laser Mk 2");  // keys lose their blanks and case; comments end lines
    EXPECT_EQ(std::vector<float>({t->get_m(), rm[0], rm[1], rm[2]}), (std::vector<float>{7, 2, 0.1f, 0.1f}));  // raised to 0.1
    EXPECT_EQ(t->get_slottype(), SLOT_JET | SLOT_INVISIBLE);
    EXPECT_TRUE(sink.lines(DEF_CLAMPED) == std::vector<int>({7, 7}) && sink.lines(DEF_UNKNOWN_KEY) == std::vector<int>{5});
    sink.reports.clear();
    t = item("THINGTYPE=X\nNAME=" + std::string(100, 'n') + "\nRMASS = 2\n3\n4\nMASS = 9\nMASS\n5\n\nSLOTTYPE = Gq\n");
    t->get_rm(rm);  // the list goes on over the next lines; the line after it is read as usual; "5" is not MASS's
    EXPECT_EQ(V3({rm[2], t->get_m(), (float)strlen(t->get_name())}), V3({4, 9, 62}));
    EXPECT_EQ(t->get_slottype(), SLOT_GUN);
    EXPECT_EQ(sink.lines(DEF_LIST_CONTINUES), std::vector<int>{3});  // told once
    EXPECT_EQ(sink.lines(DEF_NO_EQUALS).at(0), 7);
    EXPECT_EQ(sink.lines(DEF_BAD_SLOTTYPE), std::vector<int>{10});
    for (auto [v, mass] : {std::pair<const char*, float>{"heavy", 0}, {"nan", 0}, {"inf", 0}, {"-infinity", 0},
                           {"1e39", 0}, {"12kg", 12}})
        EXPECT_EQ(item(std::string("THINGTYPE=X\nMASS = ") + v + "\n")->get_m(), mass) << v;
    EXPECT_EQ(sink.lines(DEF_BAD_NUMBER).size(), 6u);

    // A huge line is cut, a key of a megabyte passed over, and text after a
    // NUL byte reported and not read.
    t = item("THINGTYPE=X\nNAME = " + std::string(1 << 20, 'z') + "\n" + std::string(1 << 20, 'K') + "\nMASS = 7");
    EXPECT_TRUE(strlen(t->get_name()) == 62u && t->get_m() == 7.0f);
    const char bytes[] = "THINGTYPE=X\nMASS=2\n\0MASS=8\n";
    DEFINITION_TEXT text("nul.sid", bytes, sizeof bytes - 1);
    EXPECT_FLOAT_EQ(std::unique_ptr<SLOTTHING>(make_slot_item(text.get_text()))->get_m(), 2.0f);
    EXPECT_TRUE(sink.lines(DEF_NUL_BYTE) == std::vector<int>{3} && sink.reports.back().file == "nul.sid");
    data.write("nul.sid", std::string(bytes, sizeof bytes - 1)), std::unique_ptr<SLOTTHING>(load_sid(data.file("nul.sid").c_str()));
    EXPECT_EQ(sink.lines(DEF_NUL_BYTE), (std::vector<int>{3, 3}));  // read from a file as from memory
}

TEST(Definitions, AHullGivesSlotsItemsMassPilotAndNameAndPassesOverWhatItCannotUse)
{
    TEST_DATA_PATH data;
    data.write_box_mesh("thing.3ds", 0.5f);
    data.write("shield.sid", "THINGTYPE = SHIELD\nPOWER = 30\nMESH = th ing.3ds\n");
    data.write("hull.vhd", "SHORTNAME=Big Mule, rest\nmass = 0.05\nRMASS = 3,4,5\nMESH = thing.3ds, x\n"
                           "COCKPIT = none.3ds\n" + SLOT + "ITEM = shield.sid\nSLOT = J, 1, 2, 3, 0, 0, 5e30, 2e-25, 0, 0\n"
                           "PILOT = 0, 2, 1\nSLOT = Ji, 0,0,0, 0,0,0, 0,0,0\nITEM = a\x01.sid\nITEM = shield.sid\n"
                           "SLOT = J, 0,0,0, 0,0,1, 0,0,3\nSLOT = J, 0,0,0, 1,0,0, 1,0,0.0000001\nSLOT = J, 0,0,0, 1,1,1, 1,1,1.000001\n" + slots(27) +
                           "ITEM = shield.sid\nEXPLOSION_SOUND = boom.wav\nMASS = 50\n");
    RECORDING_SINK sink;
    VESSEL v;
    v.load_vhd(data.file("hull.vhd").c_str());
    EXPECT_TRUE(v.get_vessel_type_string() == std::string("Big Mule") && v.get_hull_mass() == 0.1f);
    float rm[4] = {0, 0, 0, -7}, p[4] = {0, 0, 0, -7};  // read-outs write three values, no more
    v.get_hull_rmass(rm), v.get_pilot_pos(p);
    EXPECT_EQ(std::vector<float>(rm, rm + 4), (std::vector<float>{3, 4, 5, -7}));
    EXPECT_EQ(std::vector<float>(p, p + 4), (std::vector<float>{0, 2, 1, -7}));
    EXPECT_TRUE(near3(v.get_hud_speed()->get_rel().t, {0, 2.0f + hud_viewdist, 1}, 1e-5f));  // the tapes move with the eye
    EXPECT_TRUE(v.get_model() && !v.get_cockpit()->get_model());
    ASSERT_EQ(type_at(v, 0) + type_at(v, 1) + type_at(v, 2), "SHIELD-SHIELD");
    EXPECT_TRUE(v.get_slot_item(0)->get_model() && !v.get_slot_item(2)->get_model());  // an invisible slot hides its item's mesh
    EXPECT_EQ(std::vector<int>({v.get_slot_type(0), v.get_slot_type(1), v.get_slot_type(2)}),
              std::vector<int>({SLOT_EXTENSION | SLOT_PRESET, SLOT_JET, SLOT_JET | SLOT_INVISIBLE | SLOT_PRESET}));
    EXPECT_FLOAT_EQ(v.get_max_shield(), 60.0f);
    // Front along world x, up along world z (the one tiny, the other huge),
    // mounted at (1, 2, 3). Columns: the right-hand axis front x up turned
    // round, up, minus front.
    const MATRIX_f& m = v.get_slot(1)->matrix;
    const float cols[3][3] = {{0, 1, 0}, {0, 0, 1}, {-1, 0, 0}};
    for (int r = 0; r < 3; r++) {
        for (int c = 0; c < 3; c++)
            EXPECT_NEAR(m.v[r][c], cols[c][r], 1e-6) << r << "," << c;
        EXPECT_FLOAT_EQ(m.t[r], r + 1.0f);
    }
    for (int i = 2; i < 6; i++)  // axes of no length, parallel, nearly so (two ways): the hull's
        for (int r = 0; r < 9; r++)
            EXPECT_EQ(v.get_slot(i)->matrix.v[r / 3][r % 3], v.get_slot(0)->matrix.v[r / 3][r % 3]) << i;
    ASSERT_NE(v.get_slot(31), nullptr);
    EXPECT_EQ(type_at(v, 31), "-");  // the EXPLOSION_SOUND line ends the file
    EXPECT_TRUE(v.get_m() == 0.1f + 2.0f && v.get_explosion_sound());
    EXPECT_EQ(sink.lines(DEF_BAD_SLOT_AXES), (std::vector<int>{10, 13, 14, 15}));
    EXPECT_EQ(std::vector<int>({sink.lines(DEF_BAD_MESH).at(0), sink.lines(DEF_BAD_FILE_NAME).at(0), sink.lines(DEF_TOO_MANY_SLOTS).at(0),
                                sink.lines(DEF_NO_SLOT).at(0), sink.lines(DEF_IGNORED_LINES).at(0)}), std::vector<int>({5, 11, 42, 43, 45}));
    EXPECT_EQ(sink.lines(DEF_BAD_SOUND).size(), 1u);  // there is no boom.wav
    v.load_vhd(data.file("gone.vhd").c_str());  // a missing hull leaves no slots
    EXPECT_TRUE(v.get_slot(0) == nullptr && v.get_max_shield() == 0.0f);
}

TEST(Definitions, AConfigurationReplacesTheHullsItemsAtIndicesInAnyBase)
{
    TEST_DATA_PATH data;
    data.write("jet.sid", "THINGTYPE = JET\nNAME = Main\n");
    data.write("rjet.sid", "THINGTYPE = RJET\n");
    data.write("hull0.vhd", SLOT + "ITEM = jet.sid\n" + slots(31));
    data.write("ship.vcd", "vhd = hull0.vhd\nITEM = 0x1f, jet.sid\nITEM = 010, rjet.sid\nITEM = 0, rjet.sid\n"
                           "ITEM = 1\njet.sid\nITEM = 2, \xcc" "10.sid\nITEM = 40, jet.sid\nITEM = 3, none.sid\n");
    RECORDING_SINK sink;
    VESSEL v;
    v.load_vcd(data.file("ship.vcd").c_str());
    // Slot 0's jet replaced, slot 1's name on the next line, 2 and 3 left empty.
    EXPECT_EQ(type_at(v, 31) + type_at(v, 8) + type_at(v, 0) + type_at(v, 1) + type_at(v, 2) + type_at(v, 3), "JETRJETRJETJET--");
    EXPECT_TRUE(v.get_slot_type(31) & SLOT_PRESET);
    EXPECT_EQ(children_of<SLOTTHING>(&v).size(), 4u);  // the replaced jet is gone from the children too
    EXPECT_EQ(sink.lines(DEF_BAD_FILE_NAME), std::vector<int>{7});
    EXPECT_EQ(sink.lines(DEF_NO_SLOT), std::vector<int>{8});
    EXPECT_EQ(sink.lines(DEF_MISSING_FILE), std::vector<int>{9});
    EXPECT_EQ(sink.lines(DEF_LIST_CONTINUES), std::vector<int>{5});
    v.load_vcd(data.file("gone.vcd").c_str());  // a missing configuration changes nothing
    EXPECT_EQ(type_at(v, 8), "RJET");

    data.write("b.vcd", "EXPLOSION_SOUND = boom.wav\nVHD = hull0.vhd\n");
    VESSEL b;
    b.load_vcd(data.file("b.vcd").c_str());
    EXPECT_EQ(b.get_slot(0), nullptr);
    EXPECT_NE(b.get_explosion_sound(), nullptr);
    EXPECT_EQ(sink.lines(DEF_IGNORED_LINES), (std::vector<int>{1, 2}));  // and the VHD line it shadows
    EXPECT_EQ(sink.reports.back().file, data.file("b.vcd"));
    EXPECT_TRUE(is_clean_file_name("Gr\xc3\xbcn ~/\xe2\x82\xac\xef\xbf\xbd\xf0\x9f\x98\x80.sid"));
    // Clean: the first and last code point of two, three and four bytes, either side of the surrogates. Not:
    // overlong at every length, too big, no such lead byte, cut, surrogate, no lead byte, control characters.
    const char* clean[] = {"\xc2\x80", "\xdf\xbf", "\xe0\xa0\x80", "\xed\x9f\xbf", "\xee\x80\x80", "\xef\xbf\xbf", "\xf0\x90\x80\x80", "\xf4\x8f\xbf\xbf"};
    const char* not_clean[] = {"\xc0\xaf", "\xc1\xbf", "\xe0\x9f\xbf", "\xf0\x8f\xbf\xbf", "\xf4\x90\x80\x80", "\xf8\x90\x80\x80", "ab\xe2\x82", "\xed\xa0\x80", "\x80\x80", "a\x1f", "a\x7f"};
    for (int i = 0; i < 19; i++)
        EXPECT_EQ(is_clean_file_name(i < 8 ? clean[i] : not_clean[i - 8]), i < 8) << i;
}
