// Guns and their shots: the group firing rules, a laser's energy budget,
// where a shot leaves for, what it hits, the owner of a shot outliving its
// vessel, and a whole fight with the shipped data.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "console_text.h"
#include "core_test.h"
#include "effects/bullet.h"
#include "effects/missile.h"
#include "equipment/gun.h"
#include "fight_scene.h"
#include "game/frame.h"
#include "game/messages.h"
#include "render/model.h"
#include "test_allegro.h"
#include "test_data_path.h"
#include "ui/colors.h"
#include "vessel/vessel.h"

namespace {

// A gun that records what it asks of its voice.
struct LISTENED_GUN : GUN {
    std::vector<std::pair<SOUND*, bool>> plays;
    void play_sound(SOUND* s, bool loop) override { plays.push_back({s, loop}); }
};

LISTENED_GUN* gun(const std::string& keys)
{
    LISTENED_GUN* g = new LISTENED_GUN();
    g->parse_file_string(("NAME = Twin\nSLOTTYPE = G\n" + keys).c_str());
    return g;
}

// The value of KEY in a definition file of the shipped data, as a number,
// or how many of its lines hold KEY when count is set.
float shipped(const std::string& file, const std::string& key, bool count = false)
{
    std::ifstream in(std::string(SORTIE_SOURCE_DIR) + "/data/" + file);
    int n = 0;
    for (std::string line; std::getline(in, line);) {
        size_t eq = line.find('=');
        n += line.find(key) != std::string::npos;
        if (!count && eq != std::string::npos && line.substr(0, line.find_first_of(" \t=")) == key)
            return std::strtof(line.c_str() + eq + 1, nullptr);
    }
    EXPECT_TRUE(count) << key << " not in " << file;
    return n;
}

// A ball of radius 5 m moving at 7 m/s along y that records its damage.
struct TARGET : THING {
    struct BALL : MODEL { float get_r() override { return 5.0f; } };
    TARGET() { set_flags(THING_EXPLODABLE | THING_PASSIVE_COLLIDER | THING_ACTIVE_COLLIDER), set_model(new BALL()); }
    void receive_hit(float d) override { damage += d, THING::receive_hit(d); }
    void get_vel(float* v) override { v[0] = 0, v[1] = 7, v[2] = 0; }
    float damage = 0.0f;
};

}  // namespace

// Four identical lasers in slots 1, 2, 4, 5 and a plain item in slot 0, so
// that the group does not start at slot 0.
TEST(Guns, TwoOfFourLasersFireInTurnAndOneReloadingGunHoldsBackItsGroup)
{
    ensure_headless_allegro();
    struct { VESSEL v; GUN* gun[4]; int at[4] = {1, 2, 4, 5}; } f;
    for (int i = 0; i < 6; i++)
        f.v.add_slot(identity_matrix_f, SLOT_GUN);
    f.v.fill_slot(0, new SLOTTHING());
    for (int i = 0; i < 4; i++)
        f.v.fill_slot(f.at[i], f.gun[i] = gun("TECH = LASER\nMAXAMMO = 10\nRELOAD = 0.5\n"));
    f.v.update_abs_matrix(), f.v.next_gun_type();
    auto harvest = [&] {  // the frame's spawn harvest: each pulled trigger makes one shot
        int shots = 0;
        for (THING* t; (t = f.v.crop_spawn()); shots++)
            delete t;
        f.v.update_resources(0.0f);  // releases the triggers, as the next frame does
        return shots;
    };
    EXPECT_EQ(f.v.get_cur_gun(), 1);  // the first usable gun, after the plain item
    EXPECT_TRUE(f.v.find_next_gun(2, -1) == 4 && f.v.find_next_gun(-5, -1) == 1 && f.v.find_next_gun(5, -1) == 5);
    for (int press = 0; press < 5; press++)  // round the four modes to two at a time
        f.v.next_gun_cycle_mode();
    for (int shot = 0; shot < 4; shot++) {
        int first = shot % 2 == 0 ? 0 : 2;
        f.v.fire();
        EXPECT_EQ(harvest(), 2) << "shot " << shot;
        EXPECT_EQ(f.gun[first]->get_ammo() + f.gun[first + 1]->get_ammo(), 2 * (9.0f - shot / 2));
        EXPECT_TRUE(f.v.get_fire_delay() == 0.25f && f.v.get_cur_gun() == f.at[2 - first]);  // the first and third gun in turn
        for (GUN* g : f.gun)
            g->tick(0.5f);  // every gun reloaded
    }
    // All four at once, but one of them has just fired by itself.
    f.v.next_gun_cycle_mode(), f.v.next_gun_cycle_mode();
    f.gun[0]->set_trigger(true), delete f.gun[0]->crop_spawn();  // the group's first
    ASSERT_TRUE(f.gun[0]->trigger_lock());
    f.gun[0]->set_trigger(true);
    EXPECT_EQ(f.gun[0]->crop_spawn(), nullptr);  // a pulled trigger waits for the reload
    f.gun[0]->set_trigger(false);
    f.v.fire();
    EXPECT_EQ(harvest(), 0);
    for (int i = 1; i < 4; i++)
        EXPECT_EQ(f.gun[i]->get_ammo(), 8.0f);
    f.gun[0]->tick(0.5f), f.v.fire();
    EXPECT_EQ(harvest(), 4);
    EXPECT_TRUE(f.v.get_fire_delay() == 0.5f && f.v.get_cur_gun() == 1);  // four of four: each gun's own reload
    std::vector<int> picked;  // every gun a group of its own: the next gun, wrapping
    for (int i = 0; i < 3; i++)
        f.v.next_gun_combine_mode();
    for (int i = 0; i < 4; i++)
        f.v.next_gun_type(), picked.push_back(f.v.get_cur_gun());
    EXPECT_EQ(picked, (std::vector<int>{2, 4, 5, 1}));
    // A group whose first gun, in slot 0, has run dry stays selected: the
    // selection passes over another group's gun to the group's next one.
    VESSEL w;
    const char* keys[3] = {"MAXAMMO = 2\nRELOAD = 0\n", "NAME = Other\nTECH = LASER\nMAXAMMO = 5\n", "MAXAMMO = 5\nRELOAD = 0\n"};
    for (int i = 0; i < 3; i++)
        w.add_slot(identity_matrix_f, SLOT_GUN), w.fill_slot(i, gun(keys[i]));
    w.update_abs_matrix(), w.next_gun_type();
    ASSERT_EQ(w.get_cur_gun(), 0);  // the first group starts in slot 0
    for (int i = 0; i < 3; i++)  // every gun of the group at once
        w.next_gun_cycle_mode();
    std::vector<int> after;  // slot 0 again while it has a round left
    for (int shot = 0; shot < 3; shot++) {
        w.fire();
        for (THING* t; (t = w.crop_spawn());)
            delete t;
        w.update_resources(0.0f), after.push_back(w.get_cur_gun());
    }
    EXPECT_EQ(after, (std::vector<int>{0, 0, 2}));
    for (int i = 0; i < 2; i++)  // grouped by technique the laser is a group of its own; all as one, it stays
        w.next_gun_combine_mode(), w.next_gun_type(), after.push_back(w.get_cur_gun());
    w.clear_slot(1), w.next_gun_type(), after.push_back(w.get_cur_gun());  // its slot emptied: on to the next gun
    EXPECT_EQ(after, (std::vector<int>{0, 0, 2, 1, 1, 2}));
    VESSEL u;  // no group chosen yet: the trigger fires the first slot's group
    u.add_slot(identity_matrix_f, SLOT_GUN), u.fill_slot(0, gun(keys[2])), u.update_abs_matrix(), u.fire();
    EXPECT_EQ(u.get_cur_gun(), 0);
}

TEST(Guns, ALaserAsksForEnergyOnlyWhenShortAndAShellGunNeverRefills)
{
    ensure_headless_allegro();
    GUN* l = gun("TECH = LASER\nBPOWER = 8\nMAXAMMO = 10\nAMMOCHARGE = 2\n");
    float full = l->get_energy_need();
    l->set_ammo(9.0f);
    EXPECT_EQ(std::make_pair(full, l->get_energy_need()), std::make_pair(0.0f, 16.0f));  // one short: power x charge
    l->consume_energy(8.0f), l->tick(0.25f);  // half of it: at half the charge rate
    EXPECT_FLOAT_EQ(l->get_ammo(), 9.25f);
    l->tick(10.0f);
    EXPECT_EQ(l->get_ammo(), 10.0f);  // never past the magazine
    delete l;
    LISTENED_GUN* c = gun("TECH = CONVENTIONAL\nBPOWER = 1.5\nMAXAMMO = 100\nAMMOCHARGE = 3\nRELOAD = 0\n");
    EXPECT_FLOAT_EQ(c->get_m(), 1.0f + 100 * 1.5f);  // the shells weigh their power in kg
    c->set_trigger(true), delete c->crop_spawn();
    EXPECT_EQ(c->crop_spawn(), nullptr);  // one pull, one shot, even without a reload
    EXPECT_EQ(c->plays, (std::vector<std::pair<SOUND*, bool>>{{c->get_fire_sound(), false}}));  // heard once
    EXPECT_EQ(c->get_energy_need(), 0.0f);  // shells take no energy
    c->consume_energy(1000.0f), c->tick(10.0f);
    EXPECT_EQ(c->get_ammo(), 99.0f);
    delete c;
}

// The status line: the ready light, the magazine bar and the name with the
// rounds left, cut to what fits (compared with Allegro's own drawing).
TEST(Guns, SettingsAreLimitedAndTheStatusLineShowsTheMagazineAndWhetherTheGunIsReady)
{
    ensure_headless_allegro();
    GUN* g = gun("TECH = LASER\nBSPEED = 1000\nBPOWER = -5\nBSIZE = 0\nMAXAMMO = 4\nRELOAD = 2\n");
    EXPECT_EQ(std::make_tuple(g->get_bullet_speed(), g->get_bullet_power(), g->get_bullet_size()),
              std::make_tuple(500.0f, 0.0f, 0.01f));
    GUN plain;  // what a file leaves unsaid
    EXPECT_EQ(std::make_tuple(plain.get_bullet_speed(), plain.get_bullet_power(), plain.get_bullet_size(), plain.get_reload_interval()),
              std::make_tuple(100.0f, 1.0f, 0.1f, 1.0f));
    BITMAP *bmp = create_bitmap_ex(32, 300, 10), *own = create_bitmap_ex(32, 300, 10);
    auto paint = [&](int x, int y, int w = 300) { clear_to_color(bmp, 0), g->paint_status(bmp, 0, 0, w, 10); return getpixel(bmp, x, y); };
    EXPECT_EQ(paint(5, 5), get_kvor_color(5));  // the light: ready
    g->set_trigger(true);
    std::unique_ptr<THING> shot(g->crop_spawn());
    float v[3] = {9, 9, 9};  // 9: not written
    shot->get_vel(v);
    EXPECT_TRUE(near3(v, {0, 500, 0}, 1e-4f));  // a gun on no vessel: the muzzle speed alone
    EXPECT_EQ(paint(5, 5), get_kvor_color(11));  // reloading
    EXPECT_EQ(paint(226, 4), get_kvor_color(mfd_laser_color));  // three of four: 288 x 3 / 4 past the light
    EXPECT_EQ(paint(227, 4), 0);
    auto ink = [](BITMAP* b, int c) { std::vector<int> at; for (int i = 0; i < 3000; i++) if (i % 300 > 10 && getpixel(b, i % 300, i / 300) == get_kvor_color(c)) at.push_back(i); return at; };
    auto text_is = [&](const char* text, int c, int w = 300) {
        paint(0, 0, w), clear_to_color(own, 0);
        textprintf_centre_ex(own, font, 11 + (w - 12) / 2, 1, get_kvor_color(c), -1, "%s", text);
        return ink(bmp, c) == ink(own, c) && !ink(own, c).empty();
    };
    for (auto [w, text] : {std::pair<int, const char*>{300, " Twin 3"}, {60, " Twin"}, {59, " Twi"}})  // 8 px a letter
        EXPECT_TRUE(text_is(text, 12, w)) << w;
    g->parse_file_string("RELOAD = 0.5\n"), g->tick(0.5f);  // a shorter interval cuts the running reload
    EXPECT_FALSE(g->trigger_lock());
    g->parse_file_string("MAXAMMO = -1\n");
    EXPECT_EQ(g->get_ammo(), 0.0f);
    EXPECT_EQ(paint(5, 5), get_kvor_color(9));  // empty
    EXPECT_TRUE(text_is(" Twin", 4));  // and no recharge: the name dims
    g->parse_file_string("AMMOCHARGE = 0.5\n");
    EXPECT_TRUE(text_is(" Twin", 9));  // recharging
    EXPECT_TRUE((g->set_name("X"), paint(0, 0, 12), ink(bmp, 9).empty()));  // no room for a letter
    g->parse_file_string("BSPEED = 0\nBPOWER = 20000\n");  // the other ends of the limits
    EXPECT_EQ(std::make_pair(g->get_bullet_speed(), g->get_bullet_power()), std::make_pair(0.1f, 10000.0f));
    destroy_bitmap(bmp), destroy_bitmap(own);
    delete g;
}

// A gun 1 m above the boresight is turned down toward the target's distance
// on it, by at most a degree, and straight again without a distance; its shot leaves from the muzzle with
// the vessel's own velocity added, a shell for 2 s and a bolt for 5 s. Its
// owner is forgotten when the vessel goes.
TEST(Guns, AShotLeavesTheMuzzleTowardTheTargetAtMuzzleSpeedPlusTheVesselsAndOutlivesIt)
{
    TEST_DATA_PATH data;
    data.write("hull.vhd", "SLOT = G, 0, 0, 1,  0, 1, 0,  0, 0, -1\nITEM = gun.sid\n");
    for (auto [distance, tech, life] : {std::tuple<float, const char*, float>{100, "LASER", 5}, {20, "CONVENTIONAL", 2}, {0, "LASER", 5}}) {
        data.write("gun.sid", std::string("THINGTYPE = GUN\nSLOTTYPE = G\nTECH = ") + tech + "\nBSPEED = 400\nBPOWER = 6\n"
                   "MAXAMMO = 3\nHOTSPOT = 0, 2, 0\nBCOLOR = 0.1, 0.2, 0.3, 0.4, 0.5, 0.6\n");
        VESSEL* v = new VESSEL();
        v->load_vhd(data.file("hull.vhd").c_str());
        float p[3] = {10 * v->get_m(), 0, 0};  // 10 m/s to the right
        v->set_impulse(p), v->next_gun_type();
        dynamic_cast<GUN*>(v->get_slot_item(0))->calibrate(distance);
        v->update_abs_matrix(), v->fire();
        BULLET* b = dynamic_cast<BULLET*>(v->crop_spawn());
        ASSERT_NE(b, nullptr) << tech;
        float vel[3], rgb[3];
        b->get_vel(vel), b->get_explosion_color(rgb);
        EXPECT_TRUE(fabsf(vel[0] - 10.0f) < 1e-3f && fabsf(std::hypot(vel[1], vel[2]) - 400.0f) < 1e-2f);
        float slope = distance > 0 ? std::min(1.0f / distance, std::tan(1.0f * (float)M_PI / 180.0f)) : 0.0f;  // none: straight
        EXPECT_NEAR(vel[2] / vel[1], -slope, 1e-4) << tech;
        EXPECT_TRUE(near3(b->get_rel().t, {0, 2, 1}, 1e-2f));  // from the muzzle
        EXPECT_EQ(std::make_tuple(b->get_power(), rgb[2], b->get_life_time(), b->get_arm_time()),
                  std::make_tuple(6.0f, 0.3f, life, 0.2f));
        ASSERT_EQ(b->get_owner(), v);
        delete v;
        EXPECT_EQ(b->get_owner(), nullptr);  // not the freed address a new vessel may get
        delete b;
    }
    // A rocket: as fast as the muzzle speed, accelerating and turning at that rate, its flame in the second colour.
    data.write("gun.sid", "THINGTYPE = GUN\nSLOTTYPE = G\nTECH = ROCKET\nBSPEED = 400\nMAXAMMO = 3\nBCOLOR = 0.1, 0.2, 0.3, 0.4, 0.5, 0.6\n");
    VESSEL v;
    v.load_vhd(data.file("hull.vhd").c_str());
    v.next_gun_type(), v.update_abs_matrix(), v.fire();
    std::unique_ptr<MISSILE> m(dynamic_cast<MISSILE*>(v.crop_spawn()));
    ASSERT_NE(m, nullptr);
    float vel[3] = {9, 9, 9};
    m->get_vel(vel);
    EXPECT_TRUE(near3(m->get_flame_color(), {0.4f, 0.5f, 0.6f}, 0) && near3(vel, {0, 400, 0}, 1e-3f));
    EXPECT_EQ(std::make_tuple(m->get_accel(), m->get_turn_rate(), m->get_burn_time(), m->get_arm_time()),
              std::make_tuple(400.0f, 400.0f, 8.0f, 0.2f));  // burns 8 s, armed once clear of the pod
}

// Bullets 3 m behind a target's centre 50 m up, armed after 0.2 s and lasting 2 s;
// one is the target's own, one flies down at 100 m/s from 20 m up.
TEST(Bullet, ArmsHitsAnythingButItsOwnerTakesOnItsVelocityAndBurstsOnTheGroundOrAtTheEnd)
{
    THING world;
    TARGET* target = new TARGET();
    BULLET *b = new BULLET(2.0f, 0.2f), *own = new BULLET(2.0f, 0.2f), *down = new BULLET(2.0f, 0.2f);
    for (THING* t : std::initializer_list<THING*>{target, b, own, down})
        world.add_child(t);
    target->locate_rel(0, 0, 50), b->locate_rel(0, -3, 50), own->locate_rel(0, -3, 50);
    b->set_power(-10), own->set_owner(target);
    MATRIX_f nose_down;
    get_rotation_matrix_f(&nose_down, 64, 0, 0);  // the nose (+y) turned down to -z
    nose_down.t[2] = 20;
    down->set_rel(nose_down), down->set_speed(100);
    auto step = [&](float dt) {
        run_world(world, dt, dt);
        world.check_intersect_children(), world.check_ground_intersect_children(0);
    };
    step(0.1f);
    EXPECT_FALSE(b->has_flags(THING_ACTIVE_COLLIDER) || down->has_flags(THING_EXPLODING));
    EXPECT_NEAR(down->get_abs().t[2], 20.0f - 100 * 0.1f, 1e-4f);
    step(0.15f);  // armed: the bullets overlap each other but only the target counts
    EXPECT_TRUE(b->has_flags(THING_ACTIVE_COLLIDER) && b->has_flags(THING_EXPLODING) && target->damage == 10.0f);
    float v[3], w[3] = {9, 9, 9};
    b->get_vel(v), down->get_vel(w);
    EXPECT_EQ(V3({v[1], b->get_explosion_delay_counter(), b->get_explosion_radius()}), V3({7, 0, 3}));  // what it hit's velocity
    EXPECT_TRUE(down->has_flags(THING_EXPLODING) && w[2] == 0.0f);  // under the ground, stopped
    EXPECT_FALSE(own->has_flags(THING_EXPLODING));
    step(1.6f);
    EXPECT_FALSE(own->has_flags(THING_EXPLODING));
    step(0.2f);  // its two seconds are out
    EXPECT_TRUE(own->has_flags(THING_EXPLODING));
    EXPECT_EQ(target->damage, 10.0f);
}

// The interceptor holds the trigger on a target drone hovering 300 m ahead.
// How long the drone lasts follows from the item files: its shield against
// the lasers' damage, rate, magazine, recharge and muzzle speed.
TEST(Guns, TheInterceptorDestroysADroneAheadInTheTimeItsLasersPredict)
{
    const float n = shipped("interceptor.vcd", "items/laser.sid", true), range = 300.0f;
    ASSERT_TRUE(n >= 1 && shipped("victim.vcd", "items/shield_drone.sid", true) == 1);
    const float power = shipped("items/laser.sid", "BPOWER"), reload = shipped("items/laser.sid", "RELOAD");
    const float magazine = shipped("items/laser.sid", "MAXAMMO"), recharge = shipped("items/laser.sid", "AMMOCHARGE");
    const float speed = shipped("items/laser.sid", "BSPEED"), shield = shipped("items/shield_drone.sid", "POWER");
    const float shield_charge = shipped("items/shield_drone.sid", "CHARGE");
    // Shot j leaves when the group is ready and holds a charge; it hits one
    // flight time later. The drone bursts when its shield is spent.
    float kill = 0.0f;
    for (int j = 0, hits = 1; j < 10000 && kill == 0.0f; j++, hits++) {
        float hit = std::max(j * reload / n, (j + 1 - n * magazine) / (n * recharge)) + range / speed;
        if (shield + shield_charge * hit - power * hits <= 0.0f)
            kill = hit;
    }
    ASSERT_GT(kill, 0.0f);

    // Seconds of steady fire at frames of dt until the drone is gone; < 0: still there after a minute.
    auto fight = [range](FIGHT_SCENE& f, float dt) {
        VESSEL* drone = f.add_drone(0, range, 500, "beta 1");
        f.player->select_nearest_target(THING_TARGETABLE, THING_NAVPOINT);
        EXPECT_EQ(f.player->get_target(), drone);
        testing::internal::CaptureStdout();
        float t = 0.0f;
        for (; t < 60.0f && f.player->get_target(); t += dt) {
            f.player->set_trigger(true);
            simulate_frame(f.g, dt);
            EXPECT_TRUE(t > 0.0f || (f.g.player_projectile && f.g.player_projectile->get_owner() == f.player))
                << "the missile views follow the player's last shot";
        }
        testing::internal::GetCapturedStdout();
        return f.player->get_target() ? -1.0f : t;
    };
    float slow = -1.0f;
    {  // A slow machine plays the same fight: long frames are simulated in
       // short slices, so bolts do not step over the drone. At 8 frames a
       // second the trigger is pressed once a frame, the fast machine fires at
       // the gun's own rate: the slow one may take a little longer.
        FIGHT_SCENE s(std::string(SORTIE_SOURCE_DIR) + "/data/", "interceptor.vcd");
        ASSERT_NE(s.player, nullptr);
        slow = fight(s, 1.0f / 8.0f);
    }
    FIGHT_SCENE f(std::string(SORTIE_SOURCE_DIR) + "/data/", "interceptor.vcd");
    ASSERT_NE(f.player, nullptr);
    float destroyed = fight(f, DT);
    ASSERT_GT(destroyed, 0.0f) << "still flying after a minute; predicted " << kill << " s";
    EXPECT_TRUE(slow > 0.0f && slow < destroyed * 1.6f + 0.5f) << "at 8 fps: " << slow << " s";
    // The first shot leaves in the first frame; a gun is free again only in
    // the frame after its reload ran out, which slows the group a little.
    EXPECT_GE(destroyed, kill - 2 * DT);
    EXPECT_LE(destroyed, kill * 1.25f + 0.2f);
    // The announcement follows the burst, one explosion delay later.
    std::string rows;
    for (int frame = 0; frame < 120; frame++)
        simulate_frame(f.g, DT);
    for (int r = 0; r < 16; r++)
        rows += console_row(msg_qc, r) + "\n";
    EXPECT_NE(rows.find("beta 1 destroyed."), std::string::npos) << rows;
}
