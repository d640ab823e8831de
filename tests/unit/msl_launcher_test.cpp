// Missile launchers and rocket pods: what a launch hands the missile, the
// empty rail afterwards, the launcher's keys, and the rocket pod's rockets.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cstdio>
#include <string>

#include "effects/missile.h"
#include "equipment/gun.h"
#include "equipment/msl_launcher.h"
#include "fight_scene.h"
#include "game/frame.h"
#include "render/model.h"
#include "test_data_path.h"
#include "ui/colors.h"
#include "vessel/item_factory.h"
#include "vessel/vessel.h"

namespace {

// A vessel with one missile slot, 10 m ahead of the origin.
struct RAIL {
    TEST_DATA_PATH data;
    VESSEL vessel;
    MSL_LAUNCHER* launcher = nullptr;
    explicit RAIL(const char* item)
    {
        data.write_box_mesh("models/msl.3ds", 0.2f);
        data.write("items/msl.sid", item);
        vessel.add_slot(identity_matrix_f, SLOT_MISSILE);
        SLOTTHING* s = load_sid(data.file("items/msl.sid").c_str());
        launcher = dynamic_cast<MSL_LAUNCHER*>(s);
        EXPECT_NE(launcher, nullptr);
        EXPECT_TRUE(vessel.fill_slot(0, s));
        vessel.locate_rel(0, 10, 0);
        vessel.update_abs_matrix();
    }
    THING* pull()
    {
        launcher->set_trigger(true);
        return launcher->crop_spawn();
    }
    // The colour of the status light drawn for the launcher.
    int status_light()
    {
        BITMAP* bmp = create_bitmap_ex(32, 160, 16);
        clear_to_color(bmp, 0);
        launcher->paint_status(bmp, 0, 0, 160, 16);
        int c = getpixel(bmp, 8, 8);
        destroy_bitmap(bmp);
        return c;
    }
};

const char* RADAR_RAIL =
    "THINGTYPE = MISSILE\nNAME = Lance\nMASS = 60\nTECH = RADAR\nBMODEL = models/msl.3ds\n"
    "HOTSPOT = 0, 1, -0.5\nBURNTIME = 9\nROT = 400\nBSPEED = 70\nBPOWER = 10\nRELOAD = 0\nMAXAMMO = 3\n";

}  // namespace

TEST(MslLauncher, LaunchesItsOneMissileAtTheTargetThenSpendsShotsEmpty)
{
    RAIL r(RADAR_RAIL);
    THING* target = new THING();
    r.vessel.add_child(target);  // any thing will do as a target
    r.vessel.set_target(target);
    MODEL* shown = r.launcher->get_mounted_missile()->get_model();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(r.launcher->get_m(), 60.0f + 15.0f + 10.0f);  // the rail, a radar missile, its warhead
    EXPECT_EQ(r.status_light(), get_kvor_color(5));         // ready

    THING* t = r.pull();
    MISSILE* m = dynamic_cast<MISSILE*>(t);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->get_missile_tech(), MISSILE_RADAR);
    EXPECT_EQ(m->get_target(), target);
    EXPECT_EQ(m->get_burn_time(), 9.0f);
    EXPECT_EQ(m->get_accel(), 70.0f);
    EXPECT_EQ(m->get_turn_rate(), 400.0f);
    EXPECT_EQ(m->get_arm_time(), 0.5f);
    EXPECT_EQ(m->get_power(), 10.0f);
    EXPECT_EQ(m->get_owner(), &r.vessel);
    EXPECT_EQ(m->get_model(), shown);
    EXPECT_EQ(shown->get_refcount(), 2);  // the missile's, and the mesh cache's
    EXPECT_FLOAT_EQ(m->get_rel().t[1], 11.0f);  // left from the muzzle
    float exp[3];
    m->get_explosion_color(exp);
    EXPECT_EQ(exp[1], 0.75f);  // not the launcher's BCOLOR
    EXPECT_EQ(r.launcher->get_mounted_missile(), nullptr);
    EXPECT_EQ(r.launcher->get_m(), 60.0f);
    delete t;

    // Two more shots are spent, launching nothing; the rail shows empty.
    EXPECT_EQ(r.status_light(), get_kvor_color(9));
    EXPECT_EQ(r.pull(), nullptr);
    EXPECT_EQ(r.launcher->get_ammo(), 1.0f);
    EXPECT_EQ(r.pull(), nullptr);
    EXPECT_EQ(r.launcher->get_ammo(), 0.0f);
}

TEST(MslLauncher, KeysSetTheTechnologyAndTheMissileSitsOnTheFinalMuzzle)
{
    RAIL r("THINGTYPE = MISSILE\nBMODEL = models/msl.3ds\nTECH = HEAT\nTECH = LASER\nHOTSPOT = 0.5, 2, 0\n"
           "MAXAMMO = 1\n");
    EXPECT_EQ(r.launcher->get_tech(), 101);  // the gun's LASER does not replace it
    r.launcher->set_tech(104);
    EXPECT_EQ(r.launcher->get_tech(), 101);
    const float* at = r.launcher->get_mounted_missile()->get_rel().t;
    EXPECT_EQ(at[0], 0.5f);
    EXPECT_EQ(at[1], 2.0f);
    THING* t = r.pull();  // no target selected: it flies unguided
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(static_cast<MISSILE*>(t)->get_target(), nullptr);
    EXPECT_EQ(static_cast<MISSILE*>(t)->get_missile_tech(), MISSILE_HEAT);
    delete t;

    RAIL bare("THINGTYPE = MISSILE\nTECH = DUMB\nMAXAMMO = 2\nRELOAD = 0\n");
    EXPECT_EQ(bare.pull(), nullptr);  // no BMODEL: nothing to launch
    EXPECT_EQ(bare.launcher->get_ammo(), 1.0f);
}

TEST(MslLauncher, RocketPodsShareOneRocketModelReadOnce)
{
    TEST_DATA_PATH data;
    data.write_box_mesh("dumb_missile.3ds", 0.3f);
    GUN pod;
    pod.parse_file_string("TECH = ROCKET\nBCOLOR = 1, 0, 0, 0, 0, 1\nBSPEED = 50\nBPOWER = 20\nRELOAD = 0\n"
                          "MAXAMMO = 5\n");
    MISSILE* r[3];
    for (int i = 0; i < 3; i++) {
        pod.set_trigger(true);
        r[i] = dynamic_cast<MISSILE*>(pod.crop_spawn());
        ASSERT_NE(r[i], nullptr);
        if (i == 0)  // gone from disk after the first shot: never read again
            remove(data.file("dumb_missile.3ds").c_str());
    }
    ASSERT_NE(r[0]->get_model(), nullptr);
    EXPECT_EQ(r[1]->get_model(), r[0]->get_model());
    EXPECT_EQ(r[2]->get_model(), r[0]->get_model());
    EXPECT_EQ(r[0]->get_model()->get_refcount(), 4);  // the pod and three rockets
    EXPECT_EQ(r[0]->get_missile_tech(), MISSILE_DUMB);
    EXPECT_EQ(r[0]->get_target(), nullptr);
    EXPECT_EQ(r[0]->get_burn_time(), 8.0f);
    EXPECT_EQ(r[0]->get_arm_time(), 0.2f);
    EXPECT_EQ(r[0]->get_accel(), 50.0f);
    EXPECT_EQ(r[0]->get_turn_rate(), 50.0f);
    EXPECT_EQ(r[0]->get_flame_color()[2], 1.0f);  // the second colour
    EXPECT_EQ(r[0]->get_flame_color()[0], 0.0f);
    float exp[3];
    r[0]->get_explosion_color(exp);
    EXPECT_EQ(exp[0], 1.0f);  // the first
    EXPECT_EQ(exp[2], 0.0f);
    EXPECT_EQ(pod.get_m(), 1.0f + 2.0f * (1.0f + 20.0f));  // own mass and two rockets left
    for (MISSILE* m : r)
        delete m;
}

// The carrier, hovering, picks the nearest drone, selects its radar (then
// its heat) missiles and launches one: the missile view follows the missile,
// not the engines' exhaust, and the missile destroys the drone. The heat
// seeker finds the glow of the rotator that holds the cruising drone up.
TEST(MslLauncher, TheCarriersGuidedMissilesDestroyACruisingDroneAndTheMissileViewFollowsIt)
{
    for (int tech : {LAUNCHER_RADAR, LAUNCHER_HEAT}) {
        SCOPED_TRACE(tech);
        FIGHT_SCENE f(std::string(SORTIE_SOURCE_DIR) + "/data/", "carrier.vcd");
        ASSERT_NE(f.player, nullptr);
        GAME& g = f.g;
        VESSEL* player = f.player;
        VESSEL* drone = f.add_drone(600, 1200, 600, "beta 1");
        drone->set_thrust(0.25f, 1);  // across the carrier's nose, as a wave flies

        player->select_nearest_target(THING_TARGETABLE, THING_NAVPOINT);
        ASSERT_EQ(player->get_target(), drone);
        auto current_tech = [&] {
            const VESSEL_SLOT* s = player->get_slot(player->get_cur_gun());
            return s && s->thing ? s->thing->get_tech() : -1;
        };
        for (int i = 0; i < MAX_SLOTS && current_tech() != tech; i++)
            player->next_gun_type();  // W
        ASSERT_EQ(current_tech(), tech);

        const float dt = 1.0f / 60.0f;
        testing::internal::CaptureStdout();
        player->set_trigger(true);
        simulate_frame(g, dt);
        player->set_trigger(false);
        THING* missile = g.player_projectile;
        ASSERT_NE(missile, nullptr);
        EXPECT_STREQ(missile->get_thingtype_string(), "MISSILE");
        bool followed = true;
        float destroyed = -1.0f;
        for (int frame = 1; frame < 60 * 30 && destroyed < 0.0f; frame++) {
            simulate_frame(g, dt);
            if (g.player_projectile && g.player_projectile != missile)
                followed = false;
            if (!player->get_target())
                destroyed = frame * dt;
        }
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(followed);
        EXPECT_GT(destroyed, 0.0f) << "the drone outlived the missile";
    }
}
