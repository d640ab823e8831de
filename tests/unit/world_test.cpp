// The start scene, the target waves and the message console, headless.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <cstring>
#include <cstdio>
#include <string>
#include <vector>

#include "console_text.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/messages.h"
#include "game/targets.h"
#include "game/world.h"
#include "scene/thing.h"
#include "test_data_path.h"
#include "ui/qconsole.h"
#include "vessel/vessel.h"
#include "write3ds.h"

namespace {

// A closed tetrahedron, enough to stand for any model file.
MESH3DS tetrahedron()
{
    MESH3DS m;
    m.vertices = {{{0, 0, 0}}, {{1, 0, 0}}, {{0, 1, 0}}, {{0, 0, 1}}};
    m.faces = {{{0, 2, 1}}, {{0, 1, 3}}, {{0, 3, 2}}, {{1, 2, 3}}};
    return m;
}

// A data directory holding the models the scene needs.
struct SCENE_DATA : TEST_DATA_PATH {
    SCENE_DATA(bool buoy = true, bool rock = true)
    {
        if (buoy)
            write3ds(file("navbuoy.3ds"), tetrahedron());
        if (rock)
            write3ds(file("rock00.3ds"), tetrahedron());
    }
};

std::vector<THING*> children_of(THING* parent)
{
    std::vector<THING*> out;
    for (THING* t = parent->get_first_child(); t; t = t->get_next())
        out.push_back(t);
    return out;
}

}  // namespace

TEST(WorldScene, TheSetUpOrderStarsAboveAndRocksNumberedDownwards)
{
    SCENE_DATA data;
    GAME g;
    ASSERT_TRUE(build_scene(g));
    std::vector<THING*> kids = children_of(g.world);
    ASSERT_GE(kids.size(), 6u + ROCK_COUNT);
    EXPECT_EQ(kids[2], g.viewpoint_thing.get());
    EXPECT_EQ(kids[3], g.camera_thing.get());
    EXPECT_STREQ(kids[4]->get_vessel_id_string(), "Origin");
    EXPECT_STREQ(kids[5]->get_vessel_id_string(), "Entry point");
    EXPECT_TRUE(kids[5]->has_flags(THING_TARGETABLE | THING_ON_RADAR | THING_NAVPOINT));
    EXPECT_FLOAT_EQ(kids[5]->get_rel().t[1], -3000.0f);
    EXPECT_FLOAT_EQ(g.viewpoint_thing->get_rel().t[2], 1.8f);
    std::vector<THING*> stars = children_of(g.background);
    ASSERT_EQ(stars.size(), 1u + STAR_COUNT);  // the sky sphere comes first
    EXPECT_STREQ(stars[1]->get_vessel_id_string(), "centauri-00200");
    EXPECT_STREQ(stars.back()->get_vessel_id_string(), "centauri-00001");
    for (size_t i = 1; i < stars.size(); i++) {
        const float* p = stars[i]->get_rel().t;
        EXPECT_NEAR(sqrtf(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), 4800.0f, 0.5f);
        EXPECT_GE(p[2], 0.0f);  // the upper half of the sky
    }
    THING* first_rock = find_id_string(g.world->get_first_child(), "sec57-00200");
    THING* last_rock = find_id_string(g.world->get_first_child(), "sec57-00001");
    ASSERT_NE(first_rock, nullptr);
    ASSERT_NE(last_rock, nullptr);
    EXPECT_TRUE(first_rock->has_flags(THING_EXPLODABLE | THING_PASSIVE_COLLIDER | THING_ACTIVE_COLLIDER |
                                       THING_ON_RADAR));
    EXPECT_NE(first_rock->get_model(), nullptr);
    EXPECT_EQ(first_rock->get_model(), last_rock->get_model());  // one shared model
    destroy_world(g);
}

TEST(WorldScene, AMissingBuoyModelStopsTheStartWithOneLine)
{
    SCENE_DATA data(false, true);
    GAME g;
    testing::internal::CaptureStdout();
    bool ok = build_scene(g);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(ok);
    EXPECT_NE(out.find("navbuoy.3ds"), std::string::npos) << out;
    destroy_world(g);
}

TEST(WorldScene, MissingTexturesAndRocksLeaveTheGameRunning)
{
    SCENE_DATA data(true, false);
    GAME g;
    testing::internal::CaptureStdout();
    bool ok = build_scene(g);
    std::string out = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(ok);
    EXPECT_NE(out.find("Create background sphere - OK.\n"), std::string::npos) << out;
    EXPECT_NE(out.find("GROUND000.BMP could not be loaded!"), std::string::npos) << out;
    EXPECT_NE(out.find("SKY000.BMP could not be loaded!"), std::string::npos) << out;
    THING* rock = find_id_string(g.world->get_first_child(), "sec57-00100");
    ASSERT_NE(rock, nullptr);
    EXPECT_EQ(rock->get_model(), nullptr);
    EXPECT_EQ(rock->get_radius(), 0.0f);
    // No victim.vcd either: the wave is made of empty vessels, and the game
    // goes on with invisible rocks and hull-less targets.
    for (int i = 0; i < 3; i++)
        simulate_frame(g, 1.0f / 60);
    THING* target = find_id_string(g.world->get_first_child(), "beta 8");
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->get_model(), nullptr);
    destroy_world(g);
}

TEST(WorldScene, GroundSkyAndBackgroundFollowTheViewer)
{
    SCENE_DATA data;
    GAME g;
    ASSERT_TRUE(build_scene(g));
    g.viewpoint_thing->locate_rel(100, -200, 50);
    g.world->update_abs_matrix();
    follow_viewer(g);
    std::vector<THING*> kids = children_of(g.world);
    for (int i : {0, 1}) {
        EXPECT_FLOAT_EQ(kids[i]->get_abs().t[0], 100.0f);
        EXPECT_FLOAT_EQ(kids[i]->get_abs().t[1], -200.0f);
        EXPECT_FLOAT_EQ(kids[i]->get_abs().t[2], 0.0f);
    }
    EXPECT_FLOAT_EQ(g.background->get_abs().t[2], 50.0f);
    g.view_thing = nullptr;
    follow_viewer(g);
    EXPECT_FLOAT_EQ(g.background->get_abs().t[0], 0.0f);
    destroy_world(g);
}

TEST(Targets, StrayTargetsExplodeAtTheRespawnDistance)
{
    THING world;
    THING* near = new THING();
    near->set_id_string("beta 1");
    near->set_flags(THING_EXPLODABLE);
    near->locate_rel(respawn_point[0], respawn_point[1] + 5999.0f, respawn_point[2]);
    THING* far = new THING();
    far->set_id_string("beta 2");
    far->set_flags(THING_EXPLODABLE);
    far->locate_rel(respawn_point[0] + 6000.0f, respawn_point[1], respawn_point[2]);
    world.add_child(near);
    world.add_child(far);
    world.update_abs_matrix();
    EXPECT_FALSE(check_targets(world.get_first_child()));
    EXPECT_FALSE(near->has_flags(THING_EXPLODING));
    EXPECT_TRUE(far->has_flags(THING_EXPLODING));
    // Exploding still counts as alive; dead does not.
    EXPECT_FALSE(check_targets(world.get_first_child()));
    near->set_flags(THING_DEAD);
    far->set_flags(THING_DEAD);
    EXPECT_TRUE(check_targets(world.get_first_child()));
}

TEST(Messages, LinesScrollOffTheTopOfTheConsoleAndNeedAFont)
{
    free_messages();
    set_message_font(nullptr);
    new_message("lost\n");  // before the font is known: dropped
    EXPECT_EQ(msg_qc, nullptr);
    set_message_font(font);
    char line[32];
    for (int i = 1; i <= 33; i++) {
        snprintf(line, sizeof(line), "line%d\n", i);
        new_message(line);
    }
    // Each line ends with a line feed, which takes the cursor to the next
    // row: the line that fills the last row scrolls the first one off.
    EXPECT_EQ(console_row(msg_qc, 0), "line3");
    EXPECT_EQ(console_row(msg_qc, MESSAGE_ROWS - 2), "line33");
    EXPECT_EQ(msg_qc->get_cursor(), (MESSAGE_ROWS - 1) * MESSAGE_COLS);
    ASSERT_NE(texbmp, nullptr);
    free_messages();
}

namespace {

// A target configuration whose hull has one jet, in a scratch data directory.
struct WAVE_DATA : SCENE_DATA {
    WAVE_DATA()
    {
        write("victim.vcd", "VHD = drone.vhd\n");
        write("player.vcd", "VHD = drone.vhd\n");
        write("drone.vhd", "MASS = 100\nSHORTNAME=drone\nSLOT = J, 0,0,0, 0,0,1, 0,1,0\nITEM = jet.sid\n");
        write("jet.sid", "THINGTYPE = JET\nPOWER = 4000\n");
    }
};

int count_id(THING* world, const char* id)
{
    int n = 0;
    for (THING* t = world->get_first_child(); t; t = t->get_next())
        n += strcmp(t->get_vessel_id_string(), id) == 0;
    return n;
}

std::vector<VESSEL*> wave(THING* world)
{
    std::vector<VESSEL*> out;
    for (THING* t = world->get_first_child(); t; t = t->get_next())
        if (strncmp(t->get_vessel_id_string(), "beta ", 5) == 0)
            out.push_back(static_cast<VESSEL*>(t));
    return out;
}

}  // namespace

TEST(Targets, AWaveStandsInTwoColumnsWithAQuarterThrust)
{
    WAVE_DATA data;
    THING world;
    respawn_targets(&world);
    std::vector<VESSEL*> w = wave(&world);
    ASSERT_EQ(w.size(), 8u);
    const float expected[8][3] = {{0, -3000, 100},    {50, -3000, 100},   {-50, -3100, 150}, {100, -3100, 150},
                                  {-100, -3200, 200}, {150, -3200, 200}, {-150, -3300, 250}, {200, -3300, 250}};
    for (int i = 0; i < 8; i++) {
        char id[16];
        snprintf(id, sizeof(id), "beta %d", i + 1);
        EXPECT_STREQ(w[i]->get_vessel_id_string(), id);
        for (int k = 0; k < 3; k++)
            EXPECT_FLOAT_EQ(w[i]->get_rel().t[k], expected[i][k]) << id << " axis " << k;
        EXPECT_EQ(w[i]->get_team(), TARGET_TEAM);
        EXPECT_TRUE(w[i]->get_stabilizer());
        EXPECT_TRUE(w[i]->get_rstabilizer());
        EXPECT_FLOAT_EQ(w[i]->get_thrust_input(1), 0.25f);
        EXPECT_EQ(w[i]->get_owner(), w[i]);
    }
    EXPECT_STREQ(w[2]->get_vessel_type_string(), "drone");
}

TEST(Targets, TheWaveIsReplacedInTheFrameTheLastTargetGoes)
{
    WAVE_DATA data;
    GAME g;
    ASSERT_TRUE(build_scene(g));
    g.target_waves = true;
    simulate_frame(g, 1.0f / 60);
    ASSERT_EQ(wave(g.world).size(), 8u);
    std::vector<VESSEL*> first = wave(g.world);
    for (size_t i = 0; i + 1 < first.size(); i++)
        first[i]->set_flags(THING_DEAD);
    simulate_frame(g, 1.0f / 60);
    EXPECT_EQ(wave(g.world).size(), 1u);  // one left: no new wave yet
    wave(g.world)[0]->set_flags(THING_DEAD);
    testing::internal::CaptureStdout();
    simulate_frame(g, 1.0f / 60);
    testing::internal::GetCapturedStdout();
    std::vector<VESSEL*> second = wave(g.world);
    ASSERT_EQ(second.size(), 8u);
    for (VESSEL* v : second)
        EXPECT_FALSE(v->is_dead());
    destroy_world(g);
}

TEST(Targets, ExtraWavesAddUpAndOnlyTheFirstOfEachIdCounts)
{
    WAVE_DATA data;
    GAME g;
    ASSERT_TRUE(build_scene(g));
    respawn_targets(g.world);  // F9 twice before the first frame
    respawn_targets(g.world);
    simulate_frame(g, 1.0f / 60);
    EXPECT_EQ(wave(g.world).size(), 16u);  // alive: no automatic wave
    EXPECT_EQ(count_id(g.world, "beta 3"), 2);
    // Targets that die in the explosion step are still listed when the wave
    // is checked: with the first of each id dead, the wave counts as gone
    // although the duplicates fly on.
    for (int n = 1; n <= 8; n++) {
        char id[16];
        snprintf(id, sizeof(id), "beta %d", n);
        find_id_string(g.world->get_first_child(), id)->set_flags(THING_DEAD);
    }
    EXPECT_TRUE(check_targets(g.world->get_first_child()));
    destroy_world(g);
}

TEST(PlayerVessel, ALostVesselIsReplacedBeforeItsOwnLineIsPosted)
{
    WAVE_DATA data;
    GAME g;
    ASSERT_TRUE(build_scene(g));
    g.target_waves = false;
    snprintf(g.vessel_path, sizeof(g.vessel_path), "%s", data.file("player.vcd").c_str());
    add_player_vessel(g);
    VESSEL* first = static_cast<VESSEL*>(g.player.get());
    EXPECT_EQ(first->get_team(), PLAYER_TEAM);
    EXPECT_NEAR(first->get_rel().t[2], 2.0f * first->get_radius(), 1e-4f);
    free_messages();
    set_message_font(font);
    first->set_flags(THING_DEAD);
    simulate_frame(g, 1.0f / 60);
    ASSERT_NE(g.player.get(), nullptr);
    EXPECT_NE(g.player.get(), static_cast<THING*>(first));  // gone, and replaced
    EXPECT_EQ(g.view_thing.get(), g.camera_thing.get());
    auto row = [](int r) { return console_row(msg_qc, r); };
    EXPECT_EQ(row(0), "Vessel destroyed. Loaded new ves");  // 32 columns wrap the line
    EXPECT_EQ(row(1), "sel.");
    EXPECT_EQ(row(2), "External view.");
    EXPECT_EQ(row(3), "drone alpha 1 destroyed.");
    free_messages();
    destroy_world(g);
}

TEST(PlayerVessel, TheFirstConfigurationIsChosenIgnoringCase)
{
    TEST_DATA_PATH data;
    data.write("b.vcd", "");
    data.write("A.vcd", "");
    data.write("c.vcd", "");
    data.write("a.txt", "");
    char path[512];
    ASSERT_TRUE(first_vessel_configuration(path, sizeof(path)));
    EXPECT_EQ(std::string(path), data.file("A.vcd"));
    TEST_DATA_PATH empty;
    EXPECT_FALSE(first_vessel_configuration(path, sizeof(path)));
}
