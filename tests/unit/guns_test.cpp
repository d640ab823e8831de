// Guns: the group firing rules, a laser's energy budget, the owner of a shot
// outliving its vessel, and a whole fight with the shipped data.
#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "console_text.h"
#include "effects/bullet.h"
#include "equipment/gun.h"
#include "fight_scene.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/messages.h"
#include "test_allegro.h"
#include "ui/qconsole.h"
#include "vessel/targeting.h"
#include "vessel/vessel.h"

namespace {

const float DT = 1.0f / 60.0f;  // s per frame

GUN* laser(const char* name, float reload)
{
    GUN* g = new GUN();
    std::string text = std::string("NAME = ") + name + "\nSLOTTYPE = G\nTECH = LASER\nMAXAMMO = 10\nRELOAD = " +
                       std::to_string(reload) + "\n";
    g->parse_file_string(text.c_str());
    return g;
}

// A vessel with four identical lasers in slots 1, 2, 4, 5 and a jet-less
// plain item in slot 0, so that the group does not start at slot 0.
struct FOUR_LASERS {
    VESSEL v;
    GUN* gun[4];
    int at[4] = {1, 2, 4, 5};
    FOUR_LASERS()
    {
        ensure_headless_allegro();
        for (int i = 0; i < 6; i++)
            v.add_slot(identity_matrix_f, SLOT_GUN);
        v.fill_slot(0, new SLOTTHING());
        for (int i = 0; i < 4; i++) {
            gun[i] = laser("Twin", 0.5f);
            v.fill_slot(at[i], gun[i]);
        }
        v.update_abs_matrix();
        v.next_gun_type();
    }
    // The frame's spawn harvest: each pulled trigger makes one shot.
    int harvest()
    {
        int shots = 0;
        while (THING* t = v.crop_spawn()) {
            delete t;
            shots++;
        }
        v.update_resources(0.0f);  // releases the triggers, as the next frame does
        return shots;
    }
};

// The value of KEY in a definition file of the shipped data, as a number.
float shipped_number(const std::string& file, const std::string& key)
{
    std::ifstream in(std::string(SORTIE_SOURCE_DIR) + "/data/" + file);
    std::string line;
    while (std::getline(in, line)) {
        size_t eq = line.find('=');
        std::string k = line.substr(0, eq);
        k.erase(k.find_last_not_of(" \t") + 1);
        if (eq != std::string::npos && k == key)
            return std::strtof(line.c_str() + eq + 1, nullptr);
    }
    ADD_FAILURE() << key << " not in " << file;
    return 0.0f;
}

int count_lines_with(const std::string& file, const std::string& text)
{
    std::ifstream in(std::string(SORTIE_SOURCE_DIR) + "/data/" + file);
    std::string line;
    int n = 0;
    while (std::getline(in, line))
        n += line.find(text) != std::string::npos;
    return n;
}

}  // namespace

TEST(Guns, TwoOfFourLasersFireInTurnAndOneReloadingGunHoldsBackItsGroup)
{
    FOUR_LASERS f;
    EXPECT_EQ(f.v.get_cur_gun(), 1);  // the first usable gun, after the plain item
    f.v.next_gun_cycle_mode();        // two at a time
    for (int shot = 0; shot < 4; shot++) {
        int first = shot % 2 == 0 ? 0 : 2;
        f.v.fire();
        EXPECT_EQ(f.harvest(), 2) << "shot " << shot;
        EXPECT_EQ(f.gun[first]->get_ammo(), 10.0f - 1.0f - (shot / 2));
        EXPECT_EQ(f.gun[first + 1]->get_ammo(), 10.0f - 1.0f - (shot / 2));
        EXPECT_FLOAT_EQ(f.v.get_fire_delay(), 0.25f);
        EXPECT_EQ(f.v.get_cur_gun(), f.at[2 - first]);  // the first and third gun in turn
        for (GUN* g : f.gun)
            g->tick(0.5f);  // every gun reloaded
    }

    // All four at once, but one of them has just fired by itself.
    f.v.next_gun_cycle_mode();
    f.v.next_gun_cycle_mode();
    f.gun[3]->set_trigger(true);
    delete f.gun[3]->crop_spawn();
    ASSERT_TRUE(f.gun[3]->trigger_lock());
    f.v.fire();
    EXPECT_EQ(f.harvest(), 0);
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(f.gun[i]->get_ammo(), 8.0f);
    f.gun[3]->tick(0.5f);
    f.v.fire();
    EXPECT_EQ(f.harvest(), 4);
    EXPECT_FLOAT_EQ(f.v.get_fire_delay(), 0.5f);  // four of four: each gun's own reload
}

TEST(Guns, ALaserAsksForEnergyOnlyWhenShortAndAShellGunNeverRefills)
{
    ensure_headless_allegro();
    GUN l;
    l.parse_file_string("TECH = LASER\nBPOWER = 8\nMAXAMMO = 10\nAMMOCHARGE = 2\n");
    EXPECT_EQ(l.get_energy_need(), 0.0f);  // full
    l.set_ammo(9.0f);
    EXPECT_EQ(l.get_energy_need(), 16.0f);  // power x charge
    l.consume_energy(8.0f);                 // half of it
    l.tick(0.25f);
    EXPECT_FLOAT_EQ(l.get_ammo(), 9.25f);  // at half the charge rate
    l.tick(10.0f);
    EXPECT_EQ(l.get_ammo(), 10.0f);  // never past the magazine

    GUN c;
    c.parse_file_string("TECH = CONVENTIONAL\nBPOWER = 1.5\nMAXAMMO = 100\nAMMOCHARGE = 3\nRELOAD = 0\n");
    c.set_trigger(true);
    delete c.crop_spawn();
    EXPECT_EQ(c.crop_spawn(), nullptr);  // one pull, one shot, even without a reload
    EXPECT_EQ(c.get_energy_need(), 0.0f);
    c.consume_energy(1000.0f);
    c.tick(10.0f);
    EXPECT_EQ(c.get_ammo(), 99.0f);
}

TEST(Guns, AShotInFlightForgetsTheVesselThatFiredIt)
{
    FOUR_LASERS* f = new FOUR_LASERS();
    f->v.fire();
    THING* shot = f->v.crop_spawn();
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->get_owner(), &f->v);
    delete f;
    EXPECT_EQ(shot->get_owner(), nullptr);  // not the freed address a new vessel may get
    delete shot;
}

// The interceptor holds the trigger on a target drone hovering 300 m ahead.
// How long the drone lasts follows from the item files: its shield against
// the lasers' damage, rate, magazine, recharge and muzzle speed.
TEST(Guns, TheInterceptorDestroysADroneAheadInTheTimeItsLasersPredict)
{
    const int n = count_lines_with("interceptor.vcd", "items/laser.sid");
    ASSERT_GE(n, 1);
    const float power = shipped_number("items/laser.sid", "BPOWER");
    const float reload = shipped_number("items/laser.sid", "RELOAD");
    const float magazine = shipped_number("items/laser.sid", "MAXAMMO");
    const float recharge = shipped_number("items/laser.sid", "AMMOCHARGE");
    const float speed = shipped_number("items/laser.sid", "BSPEED");
    ASSERT_EQ(count_lines_with("victim.vcd", "items/shield_drone.sid"), 1);
    const float shield = shipped_number("items/shield_drone.sid", "POWER");
    const float shield_charge = shipped_number("items/shield_drone.sid", "CHARGE");
    const float range = 300.0f;

    // Shot j leaves when the group is ready and holds a charge; it hits one
    // flight time later. The drone bursts when its shield is spent.
    float kill = 0.0f;
    for (int j = 0, hits = 0; j < 10000; j++) {
        float ready = j * reload / n;
        float charged = (j + 1 - n * magazine) / (n * recharge);
        float hit = std::max(ready, charged) + range / speed;
        hits++;
        if (shield + shield_charge * hit - power * hits <= 0.0f) {
            kill = hit;
            break;
        }
    }
    ASSERT_GT(kill, 0.0f);

    FIGHT_SCENE f(std::string(SORTIE_SOURCE_DIR) + "/data/", "interceptor.vcd");
    ASSERT_NE(f.player, nullptr);
    GAME& g = f.g;
    VESSEL* player = f.player;
    VESSEL* drone = f.add_drone(0, range, 500, "beta 1");

    player->select_nearest_target(THING_TARGETABLE, THING_NAVPOINT);
    ASSERT_EQ(player->get_target(), drone);
    float destroyed = -1.0f;
    testing::internal::CaptureStdout();
    for (int frame = 0; frame < 60 * 60 && destroyed < 0.0f; frame++) {
        player->set_trigger(true);
        simulate_frame(g, DT);
        if (frame == 0) {  // the missile views follow the player's last shot
            EXPECT_TRUE(g.player_projectile && g.player_projectile->get_owner() == player);
        }
        if (!player->get_target())
            destroyed = (frame + 1) * DT;
    }
    testing::internal::GetCapturedStdout();
    ASSERT_GT(destroyed, 0.0f) << "still flying after a minute; predicted " << kill << " s";
    // The first shot leaves in the first frame; a gun is free again only in
    // the frame after its reload ran out, which slows the group a little.
    EXPECT_GE(destroyed, kill - 2 * DT);
    EXPECT_LE(destroyed, kill * 1.25f + 0.2f);
    // The announcement follows the burst, one explosion delay later.
    for (int frame = 0; frame < 120; frame++)
        simulate_frame(g, DT);
    std::string rows;
    for (int r = 0; r < 16; r++)
        rows += console_row(msg_qc, r) + "\n";
    EXPECT_NE(rows.find("beta 1 destroyed."), std::string::npos) << rows;
}
