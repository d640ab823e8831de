// The definition files: the tokenizer, the line grammar, the three readers
// and what they report to a checker.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "equipment/jet.h"
#include "equipment/rjet.h"
#include "equipment/shield.h"
#include "game/globals.h"
#include "test_data_path.h"
#include "vessel/definitions.h"
#include "vessel/item_factory.h"
#include "vessel/retrieve_word.h"
#include "vessel/slotthing.h"
#include "vessel/vessel.h"

namespace {

struct REPORT {
    std::string file;
    int line;
    DEFINITION_PROBLEM kind;
    std::string message;
};

// Listens to the readers for the life of the object.
class RECORDING_SINK : public DEFINITION_SINK {
public:
    RECORDING_SINK() { definition_sink = this; }
    ~RECORDING_SINK() override { definition_sink = nullptr; }
    void report(const char* file, int line, DEFINITION_PROBLEM kind, const char* message) override
    {
        reports.push_back({file, line, kind, message});
    }
    const REPORT* find(DEFINITION_PROBLEM kind) const
    {
        for (const REPORT& r : reports)
            if (r.kind == kind)
                return &r;
        return nullptr;
    }
    int count(DEFINITION_PROBLEM kind) const
    {
        int n = 0;
        for (const REPORT& r : reports)
            n += r.kind == kind;
        return n;
    }
    std::vector<REPORT> reports;
};

// A slot line whose item axes are the hull's: front (0, 0, -1), up (0, 1, 0).
std::string slot_line(const char* type)
{
    return std::string("SLOT = ") + type + ", 0,0,0, 0,1,0, 0,0,-1\n";
}

std::string slots(int n)
{
    std::string s;
    for (int i = 0; i < n; i++)
        s += slot_line("X");
    return s;
}

SLOTTHING* item_from(const std::string& text) { return make_slot_item(text.c_str()); }

}  // namespace

// ------------------------------------------------------------ retrieve_word

TEST(RetrieveWord, KeysValuesAndTextsEndWhereTheirSetsSayAndBlanksDrop)
{
    char w[512];
    WORD_END how;
    const char* src = "EXPLOSION _SOUND = boom.wav\n";
    int n = retrieve_word(w, sizeof w, src, WORD_KEY_TERMINATORS, WORD_BLANKS);
    EXPECT_STREQ(w, "EXPLOSION_SOUND");
    EXPECT_EQ(n, 18);  // just past the '='
    n = retrieve_word(w, sizeof w, src + n, WORD_LINE_TERMINATORS, WORD_BLANKS);
    EXPECT_STREQ(w, "boom.wav");
    EXPECT_EQ(src[18 + n], 0);
    // A comment ends the word and the line anywhere.
    const char* commented = "MA//SS = 3\nNEXT";
    n = retrieve_word(w, sizeof w, commented, WORD_KEY_TERMINATORS, WORD_BLANKS, &how);
    EXPECT_STREQ(w, "MA");
    EXPECT_EQ(how, WORD_COMMENT);
    EXPECT_STREQ(commented + n, "NEXT");
    EXPECT_EQ(retrieve_word(w, sizeof w, "5 // five", WORD_LINE_TERMINATORS, WORD_BLANKS, &how), 9);
    EXPECT_STREQ(w, "5");
    retrieve_word(w, sizeof w, " Big\tGun Mk 2\r\n", WORD_LINE_TERMINATORS, WORD_TEXT_BLANKS);
    EXPECT_STREQ(w, " BigGun Mk 2");  // text keeps its spaces
    retrieve_word(w, sizeof w, "Red Cross, more", WORD_LIST_TERMINATORS, WORD_TEXT_BLANKS);
    EXPECT_STREQ(w, "Red Cross");
    EXPECT_EQ(retrieve_word(w, sizeof w, "", WORD_LINE_TERMINATORS, WORD_BLANKS, &how), 0);
    EXPECT_STREQ(w, "");
    EXPECT_EQ(how, WORD_AT_END);
    EXPECT_EQ(retrieve_word(w, sizeof w, "abc", WORD_LINE_TERMINATORS, WORD_BLANKS, &how), 3);
    EXPECT_STREQ(w, "abc");
    EXPECT_EQ(how, WORD_AT_END);
    EXPECT_EQ(retrieve_word(w, sizeof w, "ab,cd", ",", ",", nullptr), 3);  // in both sets: it ends
    EXPECT_STREQ(w, "ab");
}

TEST(RetrieveWord, LongWordIsCutTwoBytesShortOfTheBufferAndNothingPastItIsWritten)
{
    std::string src(2000, 'x');
    char buf[600];
    memset(buf, '#', sizeof buf);
    WORD_END how;
    int n = retrieve_word(buf, 512, src.c_str(), WORD_LINE_TERMINATORS, WORD_BLANKS, &how);
    EXPECT_EQ(how, WORD_CUT);
    EXPECT_EQ(strlen(buf), 510u);
    EXPECT_EQ(n, 509);  // the index of the last character taken
    for (size_t i = 511; i < sizeof buf; i++)
        ASSERT_EQ(buf[i], '#') << i;
    char tiny[4] = {'#', '#', '#', '#'};  // the smallest buffers still end inside
    retrieve_word(tiny, 1, "abc", "\n", "", nullptr);
    EXPECT_EQ(std::string(tiny, 2), std::string("\0#", 2));
    retrieve_word(tiny, 2, "abc", "\n", "", nullptr);
    EXPECT_EQ(std::string(tiny, 3), std::string("a\0#", 3));
}

// ------------------------------------------------------------ item files

TEST(SlotItemFile, ThingtypeChoosesTheClassAnUnknownOneAPlainItemAndNoneNothing)
{
    TEST_DATA_PATH data;
    RECORDING_SINK sink;
    EXPECT_EQ(item_from("NAME = Lost\nMASS = 3\n"), nullptr);
    EXPECT_NE(sink.find(DEF_NO_THINGTYPE), nullptr);
    EXPECT_EQ(item_from(""), nullptr);
    EXPECT_EQ(load_sid(data.file("nothing.sid").c_str()), nullptr);
    const REPORT* missing = sink.find(DEF_MISSING_FILE);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->file, data.file("nothing.sid"));
    EXPECT_EQ(missing->line, 0);

    SLOTTHING* jet = item_from("NAME=Booster\nTHINGTYPE = jet\nPOWER = 500\n");
    ASSERT_NE(jet, nullptr);
    EXPECT_STREQ(jet->get_thingtype_string(), "JET");
    EXPECT_STREQ(jet->get_name(), "Booster");
    EXPECT_FLOAT_EQ(jet->get_max_aforce(), 500.0f);
    delete jet;
    SLOTTHING* shield = item_from("THINGTYPE = SHIELD\nPOWER = 40\n");
    EXPECT_FLOAT_EQ(shield->get_max_shield(), 40.0f);
    delete shield;

    sink.reports.clear();
    SLOTTHING* t = item_from("THINGTYPE = TOASTER\nNAME=Toaster\nMASS = 0.05\nSLOTTYPE = J i\n");
    ASSERT_NE(t, nullptr);
    EXPECT_STREQ(t->get_thingtype_string(), "SLOTTHING");
    EXPECT_STREQ(t->get_name(), "Toaster");
    EXPECT_FLOAT_EQ(t->get_m(), 0.05f);  // items have no lower mass limit
    EXPECT_EQ(t->get_slottype(), SLOT_JET | SLOT_INVISIBLE);
    const REPORT* r = sink.find(DEF_UNKNOWN_THINGTYPE);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->line, 1);
    EXPECT_EQ(sink.count(DEF_UNKNOWN_KEY), 0);  // THINGTYPE itself is not unknown
    delete t;
}

TEST(SlotItemFile, KeysCommentsListsAndNumbersAsTheGrammarSays)
{
    RECORDING_SINK sink;
    SLOTTHING* t = item_from("// an item\nthingtype=x\n  m a s s = 7 // kilograms\n// MASS = 99\nMaSs2 = 5\n"
                             "NAME = Twin Laser Mk 2\nRMASS = 2, 0, -3\n");
    EXPECT_FLOAT_EQ(t->get_m(), 7.0f);
    EXPECT_STREQ(t->get_name(), " Twin Laser Mk 2");
    float rm[3];
    t->get_rm(rm);
    EXPECT_EQ(std::vector<float>(rm, rm + 3), (std::vector<float>{2.0f, 0.1f, 0.1f}));  // clamped
    delete t;
    t = item_from("THINGTYPE=X\nNAME=" + std::string(100, 'n') + "\nRMASS = 2, 3\n4\nMASS = 9\n");
    EXPECT_EQ(strlen(t->get_name()), 62u);
    t->get_rm(rm);
    EXPECT_FLOAT_EQ(rm[2], 4.0f);  // the list goes on on the next line
    EXPECT_FLOAT_EQ(t->get_m(), 9.0f);  // and the line after it is read as usual
    const REPORT* r = sink.find(DEF_LIST_CONTINUES);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->line, 3);
    delete t;

    t = item_from("THINGTYPE=X\nMASS\n5\n\nSLOTTYPE = Gq\n");
    EXPECT_FLOAT_EQ(t->get_m(), 1.0f);  // "5" is not taken as the value of MASS
    ASSERT_NE(sink.find(DEF_NO_EQUALS), nullptr);
    EXPECT_EQ(sink.find(DEF_NO_EQUALS)->line, 2);
    EXPECT_EQ(t->get_slottype(), SLOT_GUN);
    ASSERT_NE(sink.find(DEF_BAD_SLOTTYPE), nullptr);
    EXPECT_EQ(sink.find(DEF_BAD_SLOTTYPE)->line, 5);
    delete t;

    for (const char* v : {"heavy", "nan", "inf", "-infinity", "1e39"}) {
        t = item_from(std::string("THINGTYPE=X\nMASS = ") + v + "\n");
        EXPECT_FLOAT_EQ(t->get_m(), 0.0f) << v;
        delete t;
    }
    t = item_from("THINGTYPE=X\nMASS = 12kg\n");
    EXPECT_FLOAT_EQ(t->get_m(), 12.0f);
    delete t;
    EXPECT_EQ(sink.count(DEF_BAD_NUMBER), 6);
}

TEST(SlotItemFile, AHugeLineIsCutAndTextAfterANulByteIsReported)
{
    RECORDING_SINK sink;
    std::string huge = "THINGTYPE=X\nNAME = " + std::string(1024 * 1024, 'z') + "\nMASS = 7";
    SLOTTHING* t = item_from(huge);  // and no newline at the end
    EXPECT_EQ(strlen(t->get_name()), 62u);
    EXPECT_FLOAT_EQ(t->get_m(), 7.0f);
    delete t;
    std::string key_only(1024 * 1024, 'K');
    t = item_from("THINGTYPE=X\n" + key_only + "\nMASS=3\n" + key_only);
    EXPECT_FLOAT_EQ(t->get_m(), 3.0f);
    delete t;
    const char bytes[] = "THINGTYPE=X\nMASS=2\n\0MASS=8\n";
    std::string with_nul(bytes, sizeof bytes - 1);
    DEFINITION_TEXT text("nul.sid", with_nul.data(), with_nul.size());
    t = make_slot_item(text.get_text());
    EXPECT_FLOAT_EQ(t->get_m(), 2.0f);
    delete t;
    const REPORT* r = sink.find(DEF_NUL_BYTE);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->file, "nul.sid");
    EXPECT_EQ(r->line, 3);
}

TEST(SlotType, LettersAndNumbers)
{
    EXPECT_EQ(string_to_slottype(nullptr), 0);
    EXPECT_EQ(string_to_slottype(""), 0);
    EXPECT_EQ(string_to_slottype("GM"), 3);
    EXPECT_EQ(string_to_slottype("Ji"), 0x28);
    EXPECT_EQ(string_to_slottype("64"), 64);
    EXPECT_EQ(string_to_slottype("0x10X"), 0x14);
    EXPECT_EQ(string_to_slottype("g"), 0);
    EXPECT_EQ(string_to_slottype("GGG"), 1);
    EXPECT_EQ(string_to_slottype("010b"), 8 | SLOT_PRESET);
    EXPECT_EQ(slottype_unknown_char("0x10XJ"), 0);
    EXPECT_EQ(slottype_unknown_char("JgR"), 'g');
}

// ------------------------------------------------------------ hulls

TEST(HullFile, SlotsItemsMassPilotAndShortNameAndAnInvisibleSlotHidesItsItem)
{
    TEST_DATA_PATH data;
    data.write_box_mesh("thing.3ds", 0.5f);
    data.write("shield.sid", "THINGTYPE = SHIELD\nPOWER = 30\nMESH = thing.3ds\n");
    data.write("hull.vhd", "SHORTNAME=Big Mule, rest\nmass = 0.05\nRMASS = 3,4,5\n" + slot_line("X") +
                               "ITEM = shield.sid\n" + slot_line("J") + "PILOT = 0, 2, 1\n" + slot_line("Ji") +
                               "ITEM = shield.sid\n");
    VESSEL v;
    v.load_vhd(data.file("hull.vhd").c_str());
    EXPECT_STREQ(v.get_vessel_type_string(), "Big Mule");
    EXPECT_FLOAT_EQ(v.get_hull_mass(), 0.1f);
    float rm[4] = {0, 0, 0, -7}, p[4] = {0, 0, 0, -7};  // read-outs write three values, no more
    v.get_hull_rmass(rm);
    EXPECT_EQ(std::vector<float>(rm, rm + 4), (std::vector<float>{3, 4, 5, -7}));
    ASSERT_NE(v.get_slot_item(0), nullptr);
    EXPECT_STREQ(v.get_slot_item(0)->get_thingtype_string(), "SHIELD");
    EXPECT_NE(v.get_slot_item(0)->get_model(), nullptr);
    EXPECT_EQ(v.get_slot_type(0), SLOT_EXTENSION | SLOT_PRESET);
    EXPECT_EQ(v.get_slot_type(1), SLOT_JET);
    EXPECT_EQ(v.get_slot_item(1), nullptr);
    ASSERT_NE(v.get_slot_item(2), nullptr);
    EXPECT_EQ(v.get_slot_item(2)->get_model(), nullptr);
    EXPECT_EQ(v.get_slot_type(2), SLOT_JET | SLOT_INVISIBLE | SLOT_PRESET);
    EXPECT_FLOAT_EQ(v.get_max_shield(), 60.0f);
    v.get_pilot_pos(p);
    EXPECT_EQ(std::vector<float>(p, p + 4), (std::vector<float>{0, 2, 1, -7}));
    EXPECT_FLOAT_EQ(v.get_hud_speed()->get_rel().t[1], 2.0f + hud_viewdist);
    EXPECT_FLOAT_EQ(v.get_hud_speed()->get_rel().t[2], 1.0f);
    v.load_vhd(data.file("gone.vhd").c_str());  // a missing hull leaves no slots
    EXPECT_EQ(v.get_slot(0), nullptr);
}

TEST(HullFile, ExplosionSoundEndsTheFile)
{
    TEST_DATA_PATH data;
    data.write("hull.vhd", "EXPLOSION_SOUND = boom.wav\nMASS = 50\n" + slots(2));
    RECORDING_SINK sink;
    VESSEL v;
    v.load_vhd(data.file("hull.vhd").c_str());
    EXPECT_NE(v.get_explosion_sound(), nullptr);
    EXPECT_FLOAT_EQ(v.get_hull_mass(), 1.0f);
    EXPECT_EQ(v.get_slot(0), nullptr);
    const REPORT* r = sink.find(DEF_IGNORED_LINES);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->line, 2);
    EXPECT_NE(sink.find(DEF_BAD_SOUND), nullptr);  // there is no boom.wav
}

TEST(HullFile, AThirtyThirdSlotIsNotMadeAndItsItemsAreIgnored)
{
    TEST_DATA_PATH data;
    data.write("a.sid", "THINGTYPE = JET\n");
    data.write("hull.vhd", slots(33) + "ITEM = a.sid\n");
    RECORDING_SINK sink;
    VESSEL v;
    v.load_vhd(data.file("hull.vhd").c_str());
    for (int i = 0; i < MAX_SLOTS; i++) {
        ASSERT_NE(v.get_slot(i), nullptr);
        EXPECT_EQ(v.get_slot_item(i), nullptr);
    }
    const REPORT* r = sink.find(DEF_TOO_MANY_SLOTS);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->line, 33);
    r = sink.find(DEF_NO_SLOT);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->line, 34);
}

TEST(HullFile, SlotMatrixAlignsUpWithYAndFrontWithMinusZAndDegenerateAxesStayFinite)
{
    TEST_DATA_PATH data;
    // Front along world x, up along world z, mounted at (1, 2, 3).
    // Then axes of no length, parallel ones, ones parallel but for a
    // millionth of their lengths, and none.
    data.write("hull.vhd", "SLOT = J, 1, 2, 3, 0, 0, 5, 2, 0, 0\n"
                           "SLOT = J, 0,0,0, 0,0,0, 0,0,0\nSLOT = J, 0,0,0, 0,0,1, 0,0,3\n"
                           "SLOT = J, 0,0,0, 1,1,1, 1,1,1.000001\nSLOT = J\n");
    RECORDING_SINK sink;
    VESSEL v;
    v.load_vhd(data.file("hull.vhd").c_str());
    ASSERT_NE(v.get_slot(0), nullptr);
    const MATRIX_f& m = v.get_slot(0)->matrix;
    // Columns: the right-hand axis front x up turned round, up, minus front.
    const float cols[3][3] = {{0, 1, 0}, {0, 0, 1}, {-1, 0, 0}};
    for (int r = 0; r < 3; r++) {
        for (int c = 0; c < 3; c++)
            EXPECT_NEAR(m.v[r][c], cols[c][r], 1e-6) << r << "," << c;
        EXPECT_FLOAT_EQ(m.t[r], r + 1.0f);
    }
    for (int i = 1; i < 5; i++) {
        ASSERT_NE(v.get_slot(i), nullptr);
        for (int r = 0; r < 3; r++)
            for (int c = 0; c < 3; c++)
                EXPECT_TRUE(std::isfinite(v.get_slot(i)->matrix.v[r][c]));
    }
    EXPECT_EQ(sink.count(DEF_BAD_SLOT_AXES), 4);
}

// ------------------------------------------------------------ configurations

TEST(ConfigurationFile, ItemIndicesInHexAndOctalReplaceTheHullsItemsAndNamesMayContinue)
{
    TEST_DATA_PATH data;
    data.write("jet.sid", "THINGTYPE = JET\nNAME = Main\n");
    data.write("rjet.sid", "THINGTYPE = RJET\n");
    data.write("hull0.vhd", slot_line("X") + "ITEM = jet.sid\n" + slots(31));
    data.write("ship.vcd", "VHD = hull0.vhd\nITEM = 0x1f, jet.sid\nITEM = 010, rjet.sid\nITEM = 0, rjet.sid\n"
                           "ITEM = 1\njet.sid\n");
    VESSEL v;
    v.load_vcd(data.file("ship.vcd").c_str());
    auto type = [&](int i) { return std::string(v.get_slot_item(i) ? v.get_slot_item(i)->get_thingtype_string() : "-"); };
    EXPECT_EQ(type(31), "JET");
    EXPECT_EQ(type(8), "RJET");
    EXPECT_EQ(type(0), "RJET");  // replaced the hull's jet
    EXPECT_EQ(type(1), "JET");   // the name on the next line
    EXPECT_TRUE(v.get_slot_type(31) & SLOT_PRESET);
    int items = 0;
    for (THING* c = v.get_first_child(); c; c = c->get_next())
        items += dynamic_cast<SLOTTHING*>(c) != nullptr;
    EXPECT_EQ(items, 4);  // the replaced jet is gone from the children too
    v.load_vcd(data.file("gone.vcd").c_str());  // a missing configuration changes nothing
    EXPECT_EQ(type(8), "RJET");
}

TEST(ConfigurationFile, LowerCaseKeysAndExplosionSoundBeforeVhd)
{
    TEST_DATA_PATH data;
    data.write("hull.vhd", slots(2));
    data.write("a.vcd", "vhd = hull.vhd\n");
    data.write("b.vcd", "EXPLOSION_SOUND = boom.wav\nVHD = hull.vhd\n");
    VESSEL a;
    a.load_vcd(data.file("a.vcd").c_str());
    EXPECT_NE(a.get_slot(1), nullptr);
    RECORDING_SINK sink;
    VESSEL b;
    b.load_vcd(data.file("b.vcd").c_str());
    EXPECT_EQ(b.get_slot(0), nullptr);
    EXPECT_NE(b.get_explosion_sound(), nullptr);
    const REPORT* r = sink.find(DEF_IGNORED_LINES);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->file, data.file("b.vcd"));
    EXPECT_EQ(r->line, 1);
    EXPECT_EQ(sink.count(DEF_IGNORED_LINES), 2);  // and the VHD line it shadows
}

TEST(ConfigurationFile, FileNamesThatAreNotCleanTextAreNotOpened)
{
    TEST_DATA_PATH data;
    data.write("hull.vhd", slots(2) + "ITEM = a\x01b.sid\n");
    data.write("a.vcd", "VHD = hull.vhd\nITEM = 0, \xcc" "10.sid\nITEM = 1, \xed\xa0\x80.sid\n");
    RECORDING_SINK sink;
    VESSEL v;
    v.load_vcd(data.file("a.vcd").c_str());
    EXPECT_EQ(v.get_slot_item(0), nullptr);
    EXPECT_EQ(sink.count(DEF_BAD_FILE_NAME), 3);
    EXPECT_TRUE(is_clean_file_name("Gr\xc3\xbcn/\xe2\x82\xac\xef\xbf\xbd\xf0\x9f\x98\x80.sid"));
    EXPECT_FALSE(is_clean_file_name("\xc0\xaf"));      // overlong
    EXPECT_FALSE(is_clean_file_name("\xf4\x90\x80\x80"));  // beyond U+10FFFF
    EXPECT_FALSE(is_clean_file_name("ab\xe2\x82"));   // cut short
}

TEST(MeshKeys, NamesLoseTheirBlanksAndMissingMeshesAreReported)
{
    TEST_DATA_PATH data;
    data.write_box_mesh("box.3ds", 1.0f);
    data.write("item.sid", "THINGTYPE = JET\nMESH = b ox.3ds\n");
    data.write("hull.vhd", "MESH = bo x.3ds, ignored\nCOCKPIT = box.3ds\n" + slots(1) + "ITEM = item.sid\n");
    RECORDING_SINK sink;
    VESSEL v;
    v.load_vhd(data.file("hull.vhd").c_str());
    EXPECT_NE(v.get_model(), nullptr);
    EXPECT_NE(v.get_cockpit()->get_model(), nullptr);
    ASSERT_NE(v.get_slot_item(0), nullptr);
    EXPECT_NE(v.get_slot_item(0)->get_model(), nullptr);
    EXPECT_TRUE(sink.reports.empty());

    data.write("hull2.vhd", "MESH = none.3ds\n");
    v.load_vhd(data.file("hull2.vhd").c_str());
    EXPECT_EQ(v.get_model(), nullptr);
    const REPORT* r = sink.find(DEF_BAD_MESH);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->line, 1);
}

// ------------------------------------------------------------ the checker's view

TEST(DefinitionReports, NamePathAndLineOfEachProblem)
{
    TEST_DATA_PATH data;
    data.write("odd.sid", "THINGTYPE = JET\nPOWER = -4\nCOLOUR = red\n");
    data.write("hull.vhd", slots(2) + "ITEM = odd.sid\nMASS = 0\nWINGS = 2\n");
    data.write("ship.vcd",
               "// my ship\nVHD = hull.vhd\nITEM = 7, odd.sid\nITEM = 0, missing.sid\nVHD = other.vhd\n");
    RECORDING_SINK sink;
    VESSEL v;
    v.load_vcd(data.file("ship.vcd").c_str());
    auto has = [&](const std::string& file, int line, DEFINITION_PROBLEM kind) {
        for (const REPORT& r : sink.reports)
            if (r.file == data.file(file) && r.line == line && r.kind == kind)
                return true;
        return false;
    };
    EXPECT_TRUE(has("odd.sid", 2, DEF_CLAMPED));
    EXPECT_TRUE(has("odd.sid", 3, DEF_UNKNOWN_KEY));
    EXPECT_TRUE(has("hull.vhd", 4, DEF_CLAMPED));
    EXPECT_TRUE(has("hull.vhd", 5, DEF_UNKNOWN_KEY));
    EXPECT_TRUE(has("ship.vcd", 3, DEF_NO_SLOT));
    EXPECT_TRUE(has("ship.vcd", 4, DEF_MISSING_FILE));
    EXPECT_TRUE(has("ship.vcd", 5, DEF_IGNORED_LINES));
    for (const REPORT& r : sink.reports)
        EXPECT_FALSE(r.message.empty());
}

TEST(DefinitionReports, ReadersBehaveTheSameWithoutASink)
{
    TEST_DATA_PATH data;
    data.write("odd.sid", "THINGTYPE = JET\nPOWER = 70\nX\n");
    data.write("hull.vhd", slots(2) + "ITEM = odd.sid\nMASS = 0\n");
    VESSEL quiet;
    quiet.load_vhd(data.file("hull.vhd").c_str());
    RECORDING_SINK sink;
    VESSEL heard;
    heard.load_vhd(data.file("hull.vhd").c_str());
    EXPECT_FALSE(sink.reports.empty());
    EXPECT_FLOAT_EQ(quiet.get_m(), heard.get_m());
    EXPECT_FLOAT_EQ(quiet.get_stabilizer_speed(), heard.get_stabilizer_speed());
}
