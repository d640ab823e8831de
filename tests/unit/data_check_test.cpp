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

TEST(DataCheck, UnknownKeysForEachFileKindAndThingType)
{
    {
        FIXTURE f;
        f.dir.write("ship.vcd", "VHD = hulls/h.vhd\nITEM = 2, items/gun.sid\nSPEED = 3\n");
        expect_one(f, "ship.vcd", 3, "configuration: unknown key 'SPEED'");
    }
    {
        FIXTURE f;
        std::string hull = FIXTURE::hull_text(3);
        f.dir.write("hulls/h.vhd", "WINGS = 2\n" + hull);
        expect_one(f, "hulls/h.vhd", 1, "hull: unknown key 'WINGS'");
    }
    {
        FIXTURE f;  // a gun key in a thruster
        f.dir.write("items/jet.sid", "THINGTYPE = JET\nPOWER = 5000\nBSPEED = 3\n");
        expect_one(f, "items/jet.sid", 3, "JET: unknown key 'BSPEED'");
    }
    {
        FIXTURE f;  // a launcher key in a gun
        f.dir.write("items/gun.sid", "THINGTYPE = GUN\nTECH = LASER\nBURNTIME = 3\n");
        expect_one(f, "items/gun.sid", 3, "GUN: unknown key 'BURNTIME'");
    }
    {
        FIXTURE f;
        f.dir.write("items/msl.sid", "THINGTYPE = MISSILE\nTECH = RADAR\nCHARGE = 3\n");
        expect_one(f, "items/msl.sid", 3, "MISSILE: unknown key 'CHARGE'");
    }
    {
        FIXTURE f;
        f.dir.write("items/shield.sid", "THINGTYPE = SHIELD\nPOWER = 5\nFUEL = 3\n");
        expect_one(f, "items/shield.sid", 3, "unknown key 'FUEL'");
    }
}

TEST(DataCheck, FilesThatDoNotOpen)
{
    {
        FIXTURE f;
        f.dir.write("ship.vcd", "VHD = hulls/none.vhd\n");
        expect_one(f, "ship.vcd", 1, "hulls/none.vhd");
    }
    {
        FIXTURE f;
        f.dir.write("ship.vcd", "VHD = hulls/h.vhd\nITEM = 2, items/none.sid\n");
        expect_one(f, "ship.vcd", 2, "items/none.sid");
    }
    {
        FIXTURE f;
        std::string hull = FIXTURE::hull_text(3);
        hull.replace(hull.find("COCKPIT = models/box.3ds"), 24, "COCKPIT = models/pit.3ds");
        f.dir.write("hulls/h.vhd", hull);
        expect_one(f, "hulls/h.vhd", 2, "models/pit.3ds' does not load");
    }
    {
        FIXTURE f;
        std::filesystem::remove(f.path("sounds/zap.wav"));
        expect_one(f, "items/gun.sid", 11, "sounds/zap.wav' does not load");
    }
    {
        FIXTURE f;
        std::filesystem::remove(f.path("rock00.3ds"));
        expect_one(f, "rock00.3ds", 0, "does not load");
    }
    {
        FIXTURE f;
        std::filesystem::remove(f.path("textures/sky000.bmp"));
        expect_one(f, "textures/sky000.bmp", 0, "picture does not load");
    }
    {
        FIXTURE f;
        std::filesystem::remove(f.path("victim.vcd"));
        expect_one(f, "victim.vcd", 0, "targets");
    }
}

TEST(DataCheck, NumbersThatDoNotParseOrThatTheLoaderClamps)
{
    {
        FIXTURE f;  // an item's mass has no lower limit: only the parse is wrong
        f.dir.write("items/jet.sid", "THINGTYPE = JET\nPOWER = 5000\nMASS = heavy\n");
        expect_one(f, "items/jet.sid", 3, "'heavy' is not a number");
    }
    {
        FIXTURE f;
        std::string hull = FIXTURE::hull_text(3);
        hull.replace(hull.find("MASS = 500"), 10, "MASS = 0.05");
        f.dir.write("hulls/h.vhd", hull);
        expect_one(f, "hulls/h.vhd", 5, "MASS 0.05 is below 0.1");
    }
    {
        FIXTURE f;
        std::string gun = "THINGTYPE = GUN\nTECH = LASER\nBSPEED = 1000\nBPOWER = -5\n";
        f.dir.write("items/gun.sid", gun);
        std::vector<CHECK_PROBLEM> ps = f.check();
        ASSERT_EQ(ps.size(), 2u) << describe(ps);
        EXPECT_EQ(ps[0].line, 3);
        EXPECT_NE(ps[0].message.find("BSPEED 1000 is above 500: 500 is used"), std::string::npos);
        EXPECT_EQ(ps[1].line, 4);
        EXPECT_NE(ps[1].message.find("BPOWER -5 is below 0"), std::string::npos);
    }
    {
        FIXTURE f;
        f.dir.write("items/gun.sid", "THINGTYPE = GUN\nTECH = PLASMA\n");
        expect_one(f, "items/gun.sid", 2, "TECH 'PLASMA' is not LASER, CONVENTIONAL or ROCKET");
    }
    {
        FIXTURE f;  // a gun technology is no launcher technology
        f.dir.write("items/msl.sid", "THINGTYPE = MISSILE\nTECH = LASER\n");
        expect_one(f, "items/msl.sid", 2, "TECH 'LASER' is not DUMB, HEAT or RADAR");
    }
}

TEST(DataCheck, SlotsAndItemsThatDoNotFit)
{
    {
        FIXTURE f;
        f.dir.write("ship.vcd", "VHD = hulls/h.vhd\nITEM = 2, items/gun.sid\nITEM = 9, items/gun.sid\n");
        expect_one(f, "ship.vcd", 3, "slot 9");
    }
    {
        FIXTURE f;  // 2 + 31 slots: the 33rd is line 10 + 31
        f.dir.write("hulls/h.vhd", FIXTURE::hull_text(31));
        expect_one(f, "hulls/h.vhd", 41, "more than 32 slots");
    }
    {
        FIXTURE f;
        std::string hull = FIXTURE::hull_text(3);
        hull.replace(hull.find("SLOT = GM"), 9, "SLOT = Gm");
        f.dir.write("hulls/h.vhd", hull);
        expect_one(f, "hulls/h.vhd", 11, "'m' means nothing");
    }
    {
        FIXTURE f;
        f.dir.write("items/gun.sid", "THINGTYPE = GUN\nTECH = LASER\nSLOTTYPE = Gz\n");
        expect_one(f, "items/gun.sid", 3, "'z' means nothing");
    }
    {
        FIXTURE f;
        f.dir.write("victim.vcd", "EXPLOSION_SOUND = sounds/boom.wav\n");
        expect_one(f, "victim.vcd", 1, "EXPLOSION_SOUND before any VHD");
    }
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
