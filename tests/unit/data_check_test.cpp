// The data checker: the shipped data is clean; a small, complete data set
// is clean; and each fixture broken in one place is reported at the right
// file and line with the right message.
#include <gtest/gtest.h>

#include <allegro.h>

#include <filesystem>
#include <string>
#include <vector>

#include "assets_modeller.h"
#include "assets_sounds.h"
#include "assets_textures.h"
#include "data_check.h"
#include "game/globals.h"
#include "test_allegro.h"
#include "vessel/definitions.h"
#include "vessel/item_factory.h"
#include "vessel/vessel.h"
#include "write3ds.h"

namespace {

std::string text_of(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); }

std::string box_mesh()
{
    MODELLER m("box");
    m.box(v3(-1, -1, -1), v3(1, 1, 1), m.material("grey", 0.5f, 0.5f, 0.5f));
    return text_of(encode3ds(m.take()));
}

std::string picture()
{
    PICTURE p;
    p.w = p.h = 4;
    p.rgb.assign(4 * 4 * 3, 128);
    return text_of(encode_bmp24(p));
}

std::string sound() { return text_of(encode_wav16(WAVE(200, 0.25f))); }

// A complete data set with one of every kind of file, in which every line a
// test breaks is known by number.
struct FIXTURE {
    TEMP_DIR dir;

    FIXTURE()
    {
        ensure_headless_allegro();
        for (const char* mesh : {"navbuoy.3ds", "rock00.3ds", "dumb_missile.3ds", "models/box.3ds"})
            dir.write(mesh, box_mesh());
        dir.write("textures/ground000.bmp", picture());
        dir.write("textures/sky000.bmp", picture());
        for (const char* s : {"sounds/boom.wav", "sounds/zap.wav", "sounds/engine.wav"})
            dir.write(s, sound());
        dir.write("items/jet.sid", "THINGTYPE = JET\n"        // 1
                                   "NAME = Jet\n"             // 2
                                   "MESH = models/box.3ds\n"  // 3
                                   "SLOTTYPE = J\n"           // 4
                                   "MASS = 100\n"             // 5
                                   "POWER = 5000\n"           // 6
                                   "SOUND = sounds/engine.wav\n");
        dir.write("items/rot.sid", "THINGTYPE = RJET\n"
                                   "NAME = Rotator\n"
                                   "MASS = 50\n"
                                   "POWER = 100, 100, 500, 100, 100, 2000\n");
        dir.write("items/gun.sid", "THINGTYPE = GUN\n"        // 1
                                   "NAME = Laser\n"           // 2
                                   "SLOTTYPE = G\n"           // 3
                                   "TECH = LASER\n"           // 4
                                   "BSPEED = 400\n"           // 5
                                   "BPOWER = 5\n"             // 6
                                   "BCOLOR = 1, 0, 0, 1, 1, 1\n"
                                   "HOTSPOT = 0, 1, 0\n"      // 8
                                   "MAXAMMO = 10\n"
                                   "AMMOCHARGE = 1\n"
                                   "FIRESOUND = sounds/zap.wav\n"  // 11
                                   "DETONATESOUND = sounds/boom.wav\n");
        dir.write("items/msl.sid", "THINGTYPE = MISSILE\n"    // 1
                                   "NAME = Seeker\n"          // 2
                                   "SLOTTYPE = M\n"           // 3
                                   "TECH = HEAT\n"            // 4
                                   "BMODEL = models/box.3ds\n"
                                   "HOTSPOT = 0, 0, -0.5\n"   // 6
                                   "BURNTIME = 5\n"
                                   "ROT = 500\n"
                                   "MAXAMMO = 1\n"
                                   "BPOWER = 40\n");
        dir.write("items/shield.sid", "THINGTYPE = SHIELD\nNAME = Screen\nPOWER = 50\nCHARGE = 2\n");
        dir.write("items/reactor.sid", "THINGTYPE = NUKEGEN\nNAME = Reactor\nPOWER = 40\nFUEL = 10\n");
        dir.write("hulls/h.vhd", hull_text(3));
        dir.write("ship.vcd", "VHD = hulls/h.vhd\n"         // 1
                              "ITEM = 2, items/gun.sid\n"   // 2
                              "ITEM = 3, items/msl.sid\n"   // 3
                              "ITEM = 4, items/shield.sid\n");
        dir.write("victim.vcd", "VHD = hulls/h.vhd\nITEM = 2, items/gun.sid\n");
    }

    // The hull with `slots` SLOT lines; lines 1-7 are the hull's own keys,
    // then SLOT/ITEM pairs for slots 0 and 1 and single SLOT lines.
    static std::string hull_text(int extra_slots)
    {
        std::string t = "MESH = models/box.3ds\n"            // 1
                        "COCKPIT = models/box.3ds\n"         // 2
                        "SHORTNAME = Box\n"                  // 3
                        "PILOT = 0, 1, 0.5\n"                // 4
                        "MASS = 500\n"                       // 5
                        "RMASS = 100, 100, 100\n"            // 6
                        "SLOT = J, 0, -1, 0, 0, 1, 0, 0, 0, -1\n"  // 7
                        "ITEM = items/jet.sid\n"             // 8
                        "SLOT = Ri, 0, 0, 0, 0, 1, 0, 0, 0, -1\n"  // 9
                        "ITEM = items/rot.sid\n";            // 10
        for (int i = 0; i < extra_slots; i++)                // 11 ...
            t += "SLOT = GM, 1, 0, 0, 0, 1, 0, 0, 0, -1\n";
        return t + "EXPLOSION_SOUND = sounds/boom.wav\n";
    }

    std::vector<CHECK_PROBLEM> check() const { return check_data(dir.path()); }
    std::string path(const std::string& name) const { return dir.file(name); }
};

std::string describe(const std::vector<CHECK_PROBLEM>& ps)
{
    std::string s;
    for (const CHECK_PROBLEM& p : ps)
        s += p.file + ":" + std::to_string(p.line) + ": " + p.message + "\n";
    return s;
}

// Exactly one problem, at file:line, whose message holds `words`.
void expect_one(const FIXTURE& f, const std::string& file, int line, const std::string& words)
{
    std::vector<CHECK_PROBLEM> ps = f.check();
    ASSERT_EQ(ps.size(), 1u) << describe(ps);
    EXPECT_EQ(ps[0].file, f.path(file));
    EXPECT_EQ(ps[0].line, line);
    EXPECT_NE(ps[0].message.find(words), std::string::npos) << ps[0].message;
}

}  // namespace

TEST(DataCheck, ShippedDataIsClean)
{
    ensure_headless_allegro();
    std::vector<CHECK_PROBLEM> ps = check_data(std::string(SORTIE_SOURCE_DIR) + "/data");
    EXPECT_TRUE(ps.empty()) << describe(ps);
}

TEST(DataCheck, CompleteFixtureIsCleanAndLeavesTheReadersAsTheyWere)
{
    FIXTURE f;
    const char* path = data_path;
    std::vector<CHECK_PROBLEM> ps = f.check();
    EXPECT_TRUE(ps.empty()) << describe(ps);
    EXPECT_EQ(data_path, path);
    EXPECT_EQ(definition_sink, nullptr);
}

namespace {

// The fixture's hull with one piece of text replaced.
std::string hull_with(const std::string& from, const std::string& to, int extra_slots = 3)
{
    std::string hull = FIXTURE::hull_text(extra_slots);
    if (!from.empty())
        hull.replace(hull.find(from), from.size(), to);
    return hull;
}

// One file of the complete fixture rewritten (or removed, for a null text),
// and the one problem that must be reported.
struct BREAKAGE {
    const char* file;
    std::string text;
    bool remove;
    const char* reported_file;
    int line;
    const char* words;
};

}  // namespace

TEST(DataCheck, EachFixtureBrokenInOnePlaceGivesOneProblemAtTheRightFileAndLine)
{
    const std::string vhd = "VHD = hulls/h.vhd\n";
    const BREAKAGE cases[] = {
        // unknown keys for each file kind and thing type
        {"ship.vcd", vhd + "ITEM = 2, items/gun.sid\nSPEED = 3\n", false, "ship.vcd", 3,
         "configuration: unknown key 'SPEED'"},
        {"hulls/h.vhd", "WINGS = 2\n" + hull_with("", ""), false, "hulls/h.vhd", 1, "hull: unknown key 'WINGS'"},
        {"items/jet.sid", "THINGTYPE = JET\nPOWER = 5000\nBSPEED = 3\n", false, "items/jet.sid", 3,
         "JET: unknown key 'BSPEED'"},
        {"items/gun.sid", "THINGTYPE = GUN\nTECH = LASER\nBURNTIME = 3\n", false, "items/gun.sid", 3,
         "GUN: unknown key 'BURNTIME'"},
        {"items/msl.sid", "THINGTYPE = MISSILE\nTECH = RADAR\nCHARGE = 3\n", false, "items/msl.sid", 3,
         "MISSILE: unknown key 'CHARGE'"},
        {"items/shield.sid", "THINGTYPE = SHIELD\nPOWER = 5\nFUEL = 3\n", false, "items/shield.sid", 3,
         "unknown key 'FUEL'"},
        // files that do not open
        {"ship.vcd", "VHD = hulls/none.vhd\n", false, "ship.vcd", 1, "hulls/none.vhd"},
        {"ship.vcd", vhd + "ITEM = 2, items/none.sid\n", false, "ship.vcd", 2, "items/none.sid"},
        {"hulls/h.vhd", hull_with("COCKPIT = models/box.3ds", "COCKPIT = models/pit.3ds"), false, "hulls/h.vhd", 2,
         "models/pit.3ds' does not load"},
        {"sounds/zap.wav", "", true, "items/gun.sid", 11, "sounds/zap.wav' does not load"},
        {"rock00.3ds", "", true, "rock00.3ds", 0, "does not load"},
        {"textures/sky000.bmp", "", true, "textures/sky000.bmp", 0, "picture does not load"},
        {"victim.vcd", "", true, "victim.vcd", 0, "targets"},
        // numbers that do not parse or that the loader clamps
        {"items/jet.sid", "THINGTYPE = JET\nPOWER = 5000\nMASS = heavy\n", false, "items/jet.sid", 3,
         "'heavy' is not a number"},  // an item's mass has no lower limit: only the parse is wrong
        {"hulls/h.vhd", hull_with("MASS = 500", "MASS = 0.05"), false, "hulls/h.vhd", 5, "MASS 0.05 is below 0.1"},
        {"items/gun.sid", "THINGTYPE = GUN\nTECH = PLASMA\n", false, "items/gun.sid", 2,
         "TECH 'PLASMA' is not LASER, CONVENTIONAL or ROCKET"},
        {"items/msl.sid", "THINGTYPE = MISSILE\nTECH = LASER\n", false, "items/msl.sid", 2,
         "TECH 'LASER' is not DUMB, HEAT or RADAR"},
        // slots and items that do not fit
        {"ship.vcd", vhd + "ITEM = 2, items/gun.sid\nITEM = 9, items/gun.sid\n", false, "ship.vcd", 3, "slot 9"},
        {"hulls/h.vhd", hull_with("", "", 31), false, "hulls/h.vhd", 41, "more than 32 slots"},  // line 10 + 31
        {"hulls/h.vhd", hull_with("SLOT = GM", "SLOT = Gm"), false, "hulls/h.vhd", 11, "'m' means nothing"},
        {"items/gun.sid", "THINGTYPE = GUN\nTECH = LASER\nSLOTTYPE = Gz\n", false, "items/gun.sid", 3,
         "'z' means nothing"},
        {"victim.vcd", "EXPLOSION_SOUND = sounds/boom.wav\n", false, "victim.vcd", 1, "EXPLOSION_SOUND before any VHD"},
    };
    for (const BREAKAGE& b : cases) {
        SCOPED_TRACE(std::string(b.file) + ": " + b.words);
        FIXTURE f;
        if (b.remove)
            std::filesystem::remove(f.path(b.file));
        else
            f.dir.write(b.file, b.text);
        expect_one(f, b.reported_file, b.line, b.words);
    }
    FIXTURE f;
    f.dir.write("items/gun.sid", "THINGTYPE = GUN\nTECH = LASER\nBSPEED = 1000\nBPOWER = -5\n");
    std::vector<CHECK_PROBLEM> ps = f.check();
    ASSERT_EQ(ps.size(), 2u) << describe(ps);
    EXPECT_EQ(ps[0].line, 3);
    EXPECT_NE(ps[0].message.find("BSPEED 1000 is above 500: 500 is used"), std::string::npos);
    EXPECT_EQ(ps[1].line, 4);
    EXPECT_NE(ps[1].message.find("BPOWER -5 is below 0"), std::string::npos);
}

TEST(DataCheck, MeshesThatFailToLoadOrNameVerticesTheyDoNotHave)
{
    {
        FIXTURE f;
        f.dir.write("models/box.3ds", "not a 3DS file at all");
        std::vector<CHECK_PROBLEM> ps = f.check();
        ASSERT_FALSE(ps.empty());
        // Every file that names it hears about it, and nothing else does.
        for (const CHECK_PROBLEM& p : ps)
            EXPECT_NE(p.message.find("models/box.3ds' does not load"), std::string::npos) << describe(ps);
        EXPECT_EQ(ps[0].file, f.path("hulls/h.vhd"));
        EXPECT_EQ(ps[0].line, 1);
    }
    {
        FIXTURE f;
        MODELLER m("bad");
        m.box(v3(-1, -1, -1), v3(1, 1, 1), m.material("grey", 0.5f, 0.5f, 0.5f));
        MESH3DS bad = m.take();
        bad.faces[3][1] = uint16_t(bad.vertices.size() + 5);
        f.dir.write("navbuoy.3ds", text_of(encode3ds(bad)));
        expect_one(f, "navbuoy.3ds", 0, "1 faces name vertices past its 24");
    }
    {
        FIXTURE f;
        MODELLER m("bad");
        m.box(v3(-1, -1, -1), v3(1, 1, 1), m.material("grey", 0.5f, 0.5f, 0.5f));
        MESH3DS bad = m.take();
        bad.faces[0][0] = 100;
        f.dir.write("models/pod.3ds", text_of(encode3ds(bad)));
        f.dir.write("items/jet.sid", "THINGTYPE = JET\nPOWER = 5000\nMESH = models/pod.3ds\n");
        expect_one(f, "items/jet.sid", 3, "1 faces name vertices past its 24");
    }
}
