// The data checker: the shipped data is clean, a small complete data set is
// clean, and that set broken in one place gives one problem at FILE:LINE.
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
#include "write3ds.h"

namespace {

std::string text_of(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); }

// A 24-vertex box; with bad_face set, that face names a vertex it does not have.
std::string box_mesh(int bad_face = -1)
{
    MODELLER m("box");
    m.box(v3(-1, -1, -1), v3(1, 1, 1), m.material("grey", 0.5f, 0.5f, 0.5f));
    MESH3DS mesh = m.take();
    if (bad_face >= 0)
        mesh.faces[bad_face][1] = uint16_t(mesh.vertices.size() + 5);
    return text_of(encode3ds(mesh));
}

const std::string HULL = "MESH = box.3ds\nCOCKPIT = box.3ds\nMASS = 500\n"  // 1-3
                         "SLOT = J, 0, -1, 0, 0, 1, 0, 0, 0, -1\nITEM = jet.sid\n"      // 4-5
                         "SLOT = GM, 1, 0, 0, 0, 1, 0, 0, 0, -1\n"                        // 6
                         "SLOT = GM, 1, 0, 0, 0, 1, 0, 0, 0, -1\nEXPLOSION_SOUND = boom.wav\n";

// A complete data set with one file of every kind.
struct FIXTURE {
    TEMP_DIR dir;
    FIXTURE()
    {
        ensure_headless_allegro();
        for (const char* mesh : {"navbuoy.3ds", "rock00.3ds", "dumb_missile.3ds", "box.3ds"})
            dir.write(mesh, box_mesh());
        PICTURE p;
        p.w = p.h = 4, p.rgb.assign(4 * 4 * 3, 128);
        for (const char* picture : {"textures/ground000.bmp", "textures/sky000.bmp"})
            dir.write(picture, text_of(encode_bmp24(p)));
        dir.write("boom.wav", text_of(encode_wav16(WAVE(200, 0.25f))));
        for (auto [name, text] : {std::pair<const char*, std::string>{"jet.sid", "THINGTYPE = JET\nMESH = box.3ds\nPOWER = 5000\nSOUND = boom.wav\n"},
                                  {"gun.sid", "THINGTYPE = GUN\nTECH = LASER\nBSPEED = 400\nFIRESOUND = boom.wav\n"},
                                  {"msl.sid", "THINGTYPE = MISSILE\nTECH = HEAT\nBMODEL = box.3ds\nMAXAMMO = 1\n"}, {"h.vhd", HULL},
                                  {"ship.vcd", "VHD = h.vhd\nITEM = 1, gun.sid\nITEM = 2, msl.sid\n"}, {"victim.vcd", "VHD = h.vhd\nITEM = 1, gun.sid\n"}})
            dir.write(name, text);
    }
};

std::string describe(const std::vector<CHECK_PROBLEM>& ps)
{
    std::string s;
    for (const CHECK_PROBLEM& p : ps)
        s += p.file + ":" + std::to_string(p.line) + ": " + p.message + "\n";
    return s;
}

}  // namespace

TEST(DataCheck, TheShippedDataAndACompleteFixtureAreCleanAndTheReadersLeftAsTheyWere)
{
    ensure_headless_allegro();
    std::vector<CHECK_PROBLEM> ps = check_data(std::string(SORTIE_SOURCE_DIR) + "/data");
    EXPECT_TRUE(ps.empty()) << describe(ps);
    FIXTURE f;
    const char* path = data_path;
    ps = check_data(f.dir.path());
    EXPECT_TRUE(ps.empty()) << describe(ps);
    EXPECT_TRUE(data_path == path && definition_sink == nullptr);
}

TEST(DataCheck, EachFixtureBrokenInOnePlaceGivesOneProblemAtTheRightFileAndLine)
{
    auto hull_with = [](const std::string& from, const std::string& to) {
        std::string h = HULL;
        return h.replace(h.find(from), from.size(), to);
    };
    const struct { const char* file; bool remove; std::string new_text; const char* reported_file; int line; const char* words; } cases[] = {
        {"ship.vcd", false, "VHD = h.vhd\nITEM = 1, gun.sid\nSPEED = 3\n", "ship.vcd", 3, "configuration: unknown key 'SPEED'"},
        {"msl.sid", false, "THINGTYPE = MISSILE\nTECH = LASER\n", "msl.sid", 2, "TECH 'LASER' is not DUMB, HEAT or RADAR"},
        {"ship.vcd", false, "VHD = h.vhd\nITEM = 1, none.sid\n", "ship.vcd", 2, "none.sid"},
        {"h.vhd", false, hull_with("COCKPIT = box.3ds", "COCKPIT = pit.3ds"), "h.vhd", 2, "pit.3ds' does not load"},
        {"rock00.3ds", true, "", "rock00.3ds", 0, "does not load"},
        {"navbuoy.3ds", false, box_mesh(3), "navbuoy.3ds", 0, "1 faces name vertices past its 24"},
        {"textures/sky000.bmp", true, "", "textures/sky000.bmp", 0, "picture does not load"},
        {"victim.vcd", true, "", "victim.vcd", 0, "targets"},
        {"h.vhd", false, hull_with("MASS = 500", "MASS = 0.05"), "h.vhd", 3, "MASS 0.05 is below 0.1"},
        {"victim.vcd", false, "EXPLOSION_SOUND = boom.wav\n", "victim.vcd", 1, "EXPLOSION_SOUND before any VHD"},
    };
    for (const auto& b : cases) {
        SCOPED_TRACE(std::string(b.file) + ": " + b.words);
        FIXTURE f;
        if (b.remove)
            std::filesystem::remove(f.dir.file(b.file));
        else
            f.dir.write(b.file, b.new_text);
        std::vector<CHECK_PROBLEM> ps = check_data(f.dir.path());
        ASSERT_EQ(ps.size(), 1u) << describe(ps);
        EXPECT_TRUE(ps[0].file == f.dir.file(b.reported_file) && ps[0].line == b.line) << describe(ps);
        EXPECT_NE(ps[0].message.find(b.words), std::string::npos) << ps[0].message;
    }
}
