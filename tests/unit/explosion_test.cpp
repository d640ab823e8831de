// Explosions: what the harvest makes of an exploding thing, how fireballs,
// debris and sound things live and die, and the glow sprite.
#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "core_test.h"
#include "effects/bullet.h"
#include "effects/debris.h"
#include "effects/debris_model.h"
#include "effects/explosion.h"
#include "effects/fireball.h"
#include "effects/soundthing.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/globals.h"
#include "game/world.h"
#include "mesh_shapes.h"
#include "render/meshmodel.h"
#include "sound/sounds.h"
#include "test_allegro.h"
#include "test_wav.h"

namespace {

// A plain explodable thing (a vessel answers the same explosion parameters).
THING* make_exploder(MODEL* model, float x = 0, float y = 0, float z = 0)
{
    THING* t = new THING();
    return t->set_flags(THING_EXPLODABLE), t->set_model(model), t->locate_rel(x, y, z), t;
}

// What a missile answers: six fireballs of two seconds, radius 3, speed 2,
// at rest, at once.
struct MISSILE_LIKE : THING {
    MISSILE_LIKE() { set_flags(THING_EXPLODABLE); }
    int get_explosion_nr_fireballs() override { return 6; }
    float get_explosion_time() override { return 2.0f; }
    float get_explosion_radius() override { return 3.0f; }
    float get_explosion_speed() override { return 2.0f; }
    bool get_explosion_debris() override { return false; }
    float get_explosion_delay() override { return 0.0f; }
};

// Records paint calls and parameters, standing in for a real model.
struct PAINT_PROBE : MODEL {
    void paint(unsigned short flags) override { painted.push_back(flags); }
    void set_parameter(unsigned int id, float v) override { param[id & 1] = v; }
    std::vector<unsigned short> painted;
    float param[2] = {-1.0f, -1.0f};
};

// Sets a thing off and runs its count-down out.
void set_off(THING* t) { t->explode(), t->tick(t->get_explosion_delay() + 0.01f); }

class Explosion : public ::testing::Test {
protected:
    void SetUp() override { srand(1234); }
    void TearDown() override { delete world, show_explosions = true, skip_debris = 1, select_viewpoint(nullptr); }
    THING* world = new THING();
};

}  // namespace

TEST_F(Explosion, AMeshedThingLeavesADebrisPieceOfEachFaceAndSixteenFireballs)
{
    THING* t = make_exploder(make_box_mesh(2.0f, 1.0f, 0.5f));
    MATRIX_f turn;
    get_z_rotate_matrix_f(&turn, 64.0f);  // a quarter turn: local x becomes world y
    turn.t[0] = 100.0f, turn.t[1] = 20.0f, turn.t[2] = 50.0f;
    t->set_rel(turn);
    world->add_child(t), world->update_abs_matrix(), set_off(t);
    crop_explosions(world, world);
    EXPECT_TRUE(t->is_dead() && !t->has_flags(THING_EXPLODING));
    auto fireballs = children_of<FIREBALL>(world);
    auto debris = children_of<DEBRIS>(world);
    ASSERT_TRUE(fireballs.size() == 16u && debris.size() == 12u);
    EXPECT_TRUE(children_of<SOUNDTHING>(world).empty());  // it has no explosion sound
    const float radius = sqrtf(4 + 1 + 0.25f);           // the box's far corner
    for (FIREBALL* f : fireballs) {
        EXPECT_EQ(V3({f->get_peak_size(), f->get_fade_rate(), f->get_color()[1]}), V3({1.5f * radius, 0.5f, 0.75f}));
        EXPECT_FLOAT_EQ(f->get_abs().t[2], 50.0f);  // placed at once
        // Drift: up to twice the explosion speed over the two seconds.
        EXPECT_TRUE(near3(f->get_velocity(), {0, 0, 0}, 1.5f * radius + 1e-3f));
    }
    // Face 0 (0, 1, 3) lies on the bottom: its centroid (2/3, -1/3, -0.5)
    // lies at (1/3, 2/3, -0.5) once turned; the piece flies outward at
    // the model's radius per second, give or take 0.75.
    const V3 w = {1.0f / 3.0f, 2.0f / 3.0f, -0.5f};
    const float len = sqrtf(1.0f / 9 + 4.0f / 9 + 0.25f);
    auto* dm = dynamic_cast<DEBRIS_MODEL*>(debris[0]->get_model());
    ASSERT_NE(dm, nullptr);
    EXPECT_TRUE(near3(debris[0]->get_abs().t, {100 + w[0], 20 + w[1], 50 + w[2]}, 1e-4f));
    EXPECT_TRUE(near3(debris[0]->get_velocity(), {w[0] * radius / len, w[1] * radius / len, w[2] * radius / len}, 0.75f + 1e-4f));
    V3 sum;  // the corners are around the piece's own origin
    for (int i = 0; i < 3; i++)
        sum[i] = dm->get_vertex(0)[i] + dm->get_vertex(1)[i] + dm->get_vertex(2)[i];
    EXPECT_TRUE(near3(sum.data(), {0, 0, 0}, 1e-5f));
    EXPECT_NEAR(dm->get_vertex(1)[0], 2.0f - 2.0f / 3.0f, 1e-5f);
    float whole = dm->get_paint_r();  // scaled to half, either sign, it reaches half as far
    dm->set_parameter(0, -0.5f);
    EXPECT_TRUE(whole > 1.0f && dm->get_paint_r() == 0.5f * whole);
    dm->set_parameter(0, 1.0f);
    for (DEBRIS* p : debris)  // no team; removal frees its model
        EXPECT_TRUE(p->get_team() == -1 && p->get_model()->get_refcount() == 1 && near3(p->get_spin(), {0, 0, 0}, 0.5f * MAX_DEBRIS_ROTATION));
    crop_explosions(world, world);  // a second harvest finds nothing more to do
    EXPECT_EQ(children_of(world).size(), 1 + 16 + 12u);

    for (int skip : {2, 5, 0, -3}) {  // a step below one means every face
        skip_debris = skip;
        THING *box = make_exploder(make_box_mesh(2.0f, 1.0f, 0.5f)), place;
        create_explosion_debris(box, &place);
        EXPECT_EQ(children_of<DEBRIS>(&place).size(), skip >= 1 ? (12 + skip - 1u) / skip : 12u) << skip;
        delete box;
    }
}

TEST_F(Explosion, TheHarvestTakesEveryCountedDownThingAnywhereInTheTree)
{
    THING *plain = make_exploder(nullptr), *empty = make_exploder(new MESHMODEL()), *holder = new THING();
    THING *inner = make_exploder(new PAINT_PROBE()), *waiting = make_exploder(nullptr), *dead = make_exploder(nullptr);
    holder->add_child(inner);
    for (THING* t : {plain, empty, holder, waiting, dead})
        world->add_child(t);
    for (THING* t : {plain, empty, inner, dead})
        set_off(t);
    dead->set_flags(THING_DEAD), waiting->explode(), waiting->tick(0.5f);  // still counting down
    crop_explosions(world, world);
    EXPECT_TRUE(plain->is_dead() && empty->is_dead() && inner->is_dead() && !waiting->is_dead());
    EXPECT_TRUE(children_of<DEBRIS>(world).empty());  // no mesh or no faces: no debris
    EXPECT_TRUE(children_of<FIREBALL>(world).size() == 3 * 16u && children_of<FIREBALL>(holder).empty());  // all in the given place
}

TEST_F(Explosion, BulletAndMissileBurstsAreFireballsOnlyAndABulletsIsGoneAtItsFirstTick)
{
    for (float first_dt : {0.0f, DT}) {
        BULLET* b = new BULLET(2.0f, 0.2f);
        const float v[3] = {300.0f, 0.0f, -10.0f};
        b->set_vel(v), b->set_power(10.0f), world->add_child(b);
        b->explode();  // no delay: the count-down is already out
        crop_explosions(world, world);
        auto fireballs = children_of<FIREBALL>(world);
        ASSERT_EQ(fireballs.size(), 1u);
        FIREBALL* f = fireballs[0];
        EXPECT_TRUE(f->get_peak_size() == 3.0f && f->current_size() == 0.0f);  // invisible at birth
        EXPECT_TRUE(near3(f->get_velocity(), {300, 0, -10}, 0));  // it keeps the bullet's velocity
        EXPECT_TRUE(children_of<DEBRIS>(world).empty());
        world->tick_children(first_dt);
        EXPECT_TRUE(f->is_dead() && f->get_life() == 0.0f) << first_dt;
        EXPECT_TRUE(std::isfinite(f->get_rel().t[0]) && std::isfinite(f->current_brightness()));
        world->remove_dead_children();
        EXPECT_TRUE(children_of(world).empty());
    }
    world->add_child(new MISSILE_LIKE());
    world->get_first_child()->explode(), crop_explosions(world, world);
    auto fireballs = children_of<FIREBALL>(world);
    ASSERT_EQ(fireballs.size(), 6u);
    float fastest = 0.0f;
    for (FIREBALL* f : fireballs) {
        EXPECT_FLOAT_EQ(f->get_peak_size(), 3.0f);
        for (int i = 0; i < 3; i++)  // drifts up to four units over its two seconds
            fastest = std::max(fastest, fabsf(f->get_velocity()[i]) * 2.0f);
    }
    EXPECT_LE(fastest, 4.0f + 1e-4f);
    EXPECT_GT(fastest, 0.5f);
}

TEST_F(Explosion, FireballGrowsToItsPeakThenFadesMovingAndFacingTheViewer)
{
    FIREBALL f(FIRE_COLOR);
    f.reset(-2.0f, -4.0f, -2.0f, true);  // magnitudes count
    EXPECT_FLOAT_EQ(f.get_fade_rate(), 0.5f);
    float v[3] = {10.0f, 0.0f, -5.0f};
    f.set_vel(v);
    THING viewer;
    MATRIX_f look;
    get_rotation_matrix_f(&look, 10.0f, 20.0f, 30.0f);
    viewer.set_rel(look), viewer.update_abs_matrix(), select_viewpoint(&viewer);
    f.tick(0.15f);  // life 0.925: half way to the peak
    EXPECT_TRUE(fabsf(f.current_size() - 2.0f) < 1e-4f && f.current_brightness() == 2.0f);
    EXPECT_TRUE(near3(f.get_rel().t, {1.5f, 0, -0.75f}, 1e-6f));
    for (int r = 0; r < 3; r++)
        EXPECT_TRUE(near3(f.get_rel().v[r], {look.v[r][0], look.v[r][1], look.v[r][2]}, 1e-6f)) << r;
    EXPECT_TRUE(f.get_flags() & THING_ABS_DIRTY);
    f.tick(0.15f);  // life 0.85: the peak
    EXPECT_NEAR(f.current_size(), 4.0f, 1e-4f);
    f.tick(0.85f);  // life 0.425: shrinking and half as bright
    EXPECT_TRUE(fabsf(f.current_size() - 2.0f) < 1e-4f && fabsf(f.current_brightness() - 1.0f) < 1e-4f && !f.is_dead());
    f.tick(1.0f);
    EXPECT_TRUE(f.is_dead() && f.get_life() == 0.0f);
    FIREBALL keeps(FIRE_COLOR);
    keeps.reset(1.0f, 4.0f, 2.0f, false), keeps.tick(1.15f);
    EXPECT_NEAR(keeps.current_size(), 4.0f, 1e-4f);  // no shrink: full size to the end
}

TEST_F(Explosion, WithExplosionsOffFireballsLiveButAreNotDrawnWhileDebrisIsAndCools)
{
    FIREBALL* f = new FIREBALL(FIRE_COLOR);
    PAINT_PROBE *sprite = new PAINT_PROBE(), *piece = new PAINT_PROBE();
    float v[3] = {1.0f, 4.0f, 0.0f};
    f->reset(3.0f, 2.0f, 2.0f, false), f->set_model(sprite), f->set_vel(v);
    DEBRIS* d = new DEBRIS(v);
    d->set_model(piece), world->add_child(f), world->add_child(d), world->update_abs_matrix();
    f->paint(PAINT_MATERIALS | PAINT_BLENDED);
    ASSERT_EQ(sprite->painted.size(), 1u);
    EXPECT_EQ(std::make_pair(sprite->param[0], sprite->param[1]), std::make_pair(0.0f, 3.0f));  // size at birth, brightness
    show_explosions = false;
    run_world(*world, 1.0f, 1.0f);
    world->paint(PAINT_MATERIALS | PAINT_SOLID), world->paint(PAINT_MATERIALS | PAINT_BLENDED);
    EXPECT_EQ(std::make_pair(sprite->painted.size(), piece->painted.size()), std::make_pair(size_t(1), size_t(2)));
    EXPECT_EQ(std::make_pair(f->get_rel().t[0], f->get_life()), std::make_pair(1.0f, 0.5f));  // it still moves and ages
    // The piece has cooled to half and shrunk with it, moving on.
    EXPECT_EQ(V3({d->get_heat_left(), piece->param[0], d->get_rel().t[1]}), V3({0.5f, 0.5f, 4.0f}));
    EXPECT_FALSE(d->is_dead());
    world->tick_children(1.0f);
    EXPECT_TRUE(f->is_dead() && d->is_dead());  // both after two seconds
    EXPECT_FLOAT_EQ(d->get_rel().t[1], 4.0f);   // a dead piece stays put
}

// In the game's own frame: a box with an explosion sound counts down, bursts
// into its pieces and a sound where it was; the sound plays its half second
// once, and after two seconds everything is gone and every reference back.
TEST(ExplosionFrames, ABurstSoundsOnceWhereTheThingWasAndEverythingGoesAfterItsLifetime)
{
    TEMP_DIR dir;
    dir.write("boom.wav", make_wav_bytes(0.5f, 220.0f, 0.8f));
    SOUND* boom = soundlist.load(dir.file("boom.wav").c_str());
    ASSERT_NE(boom->get_sample(), nullptr);
    GAME g;
    create_world_roots(g);
    size_t before = children_of(g.world).size();
    THING* t = make_exploder(make_box_mesh(2.0f, 1.0f, 0.5f), 7.0f, 50.0f, 20.0f);
    t->set_explosion_sound(boom->acquire()), g.world->add_child(t), t->explode();
    float time = 0.0f;
    for (; !t->is_dead() && time < 5.0f; time += DT)  // the dead thing is removed next frame
        simulate_frame(g, DT);
    EXPECT_NEAR(time, 1.0f, 2 * DT);
    EXPECT_EQ(children_of(g.world).size(), before + 1 + 16 + 12 + 1);
    auto sounds = children_of<SOUNDTHING>(g.world);
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_TRUE(sounds[0]->get_sound() == boom && near3(sounds[0]->get_abs().t, {7, 50, 20}, 1e-4f));
    EXPECT_EQ(boom->get_refcount(), 3);  // the test, the thing, the sound thing
    float played = 0.0f;
    for (; !children_of<SOUNDTHING>(g.world).empty() && played < 5.0f; played += DT)
        simulate_frame(g, DT);
    EXPECT_NEAR(played, 0.5f, 3 * DT);
    for (float left = 1.5f + 3 * DT; left > 0.0f; left -= DT)  // fireballs and debris: 2 s
        simulate_frame(g, DT);
    EXPECT_EQ(children_of(g.world).size(), before);
    EXPECT_EQ(boom->get_refcount(), 1);
    SOUNDTHING* silent = new SOUNDTHING(soundlist.load(dir.file("nothing.wav").c_str()));
    g.world->add_child(silent);  // no sample: gone at its second tick
    silent->tick(DT), silent->tick(DT);
    EXPECT_TRUE(silent->is_dead());
    destroy_world(g), soundlist.release(boom), soundlist.cleanup();
}

// The 16-pixel sprite is on every fireball of the golden frames.
TEST(ExplosionSprite, OnePixelIsAllCentreAndNoPixelsNoSprite)
{
    BITMAP* one = make_explosion_sprite_bitmap(1);
    EXPECT_TRUE(one && bitmap_color_depth(one) == 8 && getpixel(one, 0, 0) == 255);
    destroy_bitmap(one);
    EXPECT_EQ(make_explosion_sprite_bitmap(0), nullptr);
}
