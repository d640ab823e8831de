// Explosions: what the harvest makes of an exploding thing, how fireballs,
// debris and sound things live and die, and the glow sprite.
#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "effects/debris.h"
#include "effects/debris_model.h"
#include "effects/explosion.h"
#include "effects/fireball.h"
#include "effects/soundthing.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/world.h"
#include "game/globals.h"
#include "mesh_shapes.h"
#include "render/meshmodel.h"
#include "scene/thing.h"
#include "sound/sounds.h"
#include "test_allegro.h"
#include "test_wav.h"

namespace {

const float DT = 1.0f / 60.0f;

// A plain explodable thing (a vessel answers the same explosion parameters).
THING* make_exploder(MODEL* model)
{
    THING* t = new THING();
    t->set_flags(THING_EXPLODABLE);
    t->set_model(model);
    return t;
}

// Answers what a bullet answers: one fireball without a lifetime, no debris,
// no delay, its gun's detonation sound.
struct BULLET_LIKE : THING {
    explicit BULLET_LIKE(float power) : power(power) { set_flags(THING_EXPLODABLE); }
    int get_explosion_nr_fireballs() override { return 1; }
    float get_explosion_time() override { return 0.0f; }
    float get_explosion_radius() override { return 0.3f * power; }
    float get_explosion_speed() override { return 0.0f; }
    void get_explosion_color(float* rgb) override
    {
        rgb[0] = 0.2f;
        rgb[1] = 0.4f;
        rgb[2] = 1.0f;
    }
    bool get_explosion_debris() override { return false; }
    float get_explosion_delay() override { return 0.0f; }
    void get_vel(float* out) override
    {
        out[0] = 300.0f;
        out[1] = 0.0f;
        out[2] = -10.0f;
    }
    float power;
};

// What a missile answers: six fireballs of two seconds, speed 2.
struct MISSILE_LIKE : BULLET_LIKE {
    using BULLET_LIKE::BULLET_LIKE;
    int get_explosion_nr_fireballs() override { return 6; }
    float get_explosion_time() override { return 2.0f; }
    float get_explosion_speed() override { return 2.0f; }
    void get_vel(float* out) override { out[0] = out[1] = out[2] = 0.0f; }
};

// Records paint calls and parameters, standing in for a real model.
struct PAINT_PROBE : MODEL {
    explicit PAINT_PROBE(int* destroyed = nullptr) : destroyed(destroyed) {}
    ~PAINT_PROBE() override
    {
        if (destroyed)
            ++*destroyed;
    }
    void paint(unsigned short flags) override { painted.push_back(flags); }
    void set_parameter(unsigned int id, float v) override
    {
        if (id < 2)
            param[id] = v;
    }
    std::vector<unsigned short> painted;
    float param[2] = {-1.0f, -1.0f};
    int* destroyed;
};

template <class T>
std::vector<T*> children_of(THING* parent)
{
    std::vector<T*> out;
    for (THING* c = parent->get_first_child(); c; c = c->get_next())
        if (T* t = dynamic_cast<T*>(c))
            out.push_back(t);
    return out;
}

int count_children(THING* parent)
{
    int n = 0;
    for (THING* c = parent->get_first_child(); c; c = c->get_next())
        n++;
    return n;
}

bool finite3(const float* v)
{
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

// Sets a thing off and runs its count-down out.
void set_off(THING* t)
{
    t->explode();
    t->tick(t->get_explosion_delay() + 0.01f);
}

class Explosion : public ::testing::Test {
protected:
    void SetUp() override
    {
        srand(1234);
        show_explosions = true;
        skip_debris = 1;
        world = new THING();
    }
    void TearDown() override
    {
        delete world;
        show_explosions = true;
        skip_debris = 1;
        select_viewpoint(nullptr);
    }
    THING* world = nullptr;
};

}  // namespace

TEST_F(Explosion, AMeshedThingLeavesADebrisPieceOfEachFaceAndSixteenFireballs)
{
    THING* t = make_exploder(make_box_mesh(2.0f, 1.0f, 0.5f));
    MATRIX_f turn;
    get_z_rotate_matrix_f(&turn, 64.0f);  // a quarter turn: local x becomes world y
    t->set_rel(turn);
    t->locate_rel(100.0f, 20.0f, 50.0f);
    world->add_child(t);
    world->update_abs_matrix();
    set_off(t);
    crop_explosions(world, world);
    EXPECT_TRUE(t->is_dead());
    EXPECT_FALSE(t->get_flags() & THING_EXPLODING);
    auto fireballs = children_of<FIREBALL>(world);
    auto debris = children_of<DEBRIS>(world);
    ASSERT_EQ(fireballs.size(), 16u);
    ASSERT_EQ(debris.size(), 12u);
    EXPECT_TRUE(children_of<SOUNDTHING>(world).empty());  // it has no explosion sound
    float radius = t->get_radius();
    EXPECT_NEAR(radius, sqrtf(4 + 1 + 0.25f), 1e-4f);
    for (FIREBALL* f : fireballs) {
        EXPECT_FLOAT_EQ(f->get_peak_size(), 1.5f * radius);
        EXPECT_FLOAT_EQ(f->get_fade_rate(), 0.5f);  // two seconds
        EXPECT_FLOAT_EQ(f->get_rel().t[1], 20.0f);
        EXPECT_FLOAT_EQ(f->get_abs().t[2], 50.0f);  // placed at once
        EXPECT_FLOAT_EQ(f->get_color()[1], 0.75f);
        // Drift: up to twice the explosion speed over the two seconds.
        for (int i = 0; i < 3; i++)
            EXPECT_LE(fabsf(f->get_velocity()[i]) * 2.0f, 2.0f * 1.5f * radius + 1e-3f);
    }
    // Face 0 (0, 1, 3) lies on the bottom: centroid (2/3, -1/3, -0.5) locally.
    const MATRIX_f& m = t->get_abs();
    float c[3] = {2.0f / 3.0f, -1.0f / 3.0f, -0.5f}, w[3];
    for (int i = 0; i < 3; i++)
        w[i] = m.v[i][0] * c[0] + m.v[i][1] * c[1] + m.v[i][2] * c[2];
    float len = sqrtf(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]), r = t->get_model()->get_r();
    auto* dm = dynamic_cast<DEBRIS_MODEL*>(debris[0]->get_model());
    ASSERT_NE(dm, nullptr);
    for (int i = 0; i < 3; i++) {
        EXPECT_NEAR(debris[0]->get_rel().t[i], m.t[i] + w[i], 1e-4f) << i;
        // Outward at the model's radius per second, give or take 0.75.
        EXPECT_NEAR(debris[0]->get_velocity()[i], w[i] * r / len, 0.75f + 1e-4f) << i;
        // The corners are around the piece's own origin.
        EXPECT_NEAR(dm->get_vertex(0)[i] + dm->get_vertex(1)[i] + dm->get_vertex(2)[i], 0.0f, 1e-5f);
    }
    for (DEBRIS* p : debris) {
        EXPECT_EQ(p->get_team(), -1);
        EXPECT_EQ(p->get_model()->get_refcount(), 1);  // removal frees it
        for (int i = 0; i < 3; i++)
            EXPECT_LE(fabsf(p->get_spin()[i]), 0.5f * MAX_DEBRIS_ROTATION);
    }
    crop_explosions(world, world);  // a second harvest finds nothing more to do
    EXPECT_EQ(count_children(world), 1 + 16 + 12);
}

TEST_F(Explosion, SkipDebrisThinsThePiecesAndAStepBelowOneMeansEveryFace)
{
    for (int skip : {2, 5, 0, -3}) {
        skip_debris = skip;
        THING* t = make_exploder(make_box_mesh(2.0f, 1.0f, 0.5f));
        THING place;
        create_explosion_debris(t, &place);
        size_t want = skip >= 1 ? (12 + skip - 1) / skip : 12;
        EXPECT_EQ(children_of<DEBRIS>(&place).size(), want) << skip;
        delete t;
    }
}

TEST_F(Explosion, TheHarvestTakesEveryCountedDownThingAnywhereInTheTree)
{
    create_explosion(nullptr, world);
    THING* orphan = make_exploder(nullptr);
    create_explosion(orphan, nullptr);  // no place and no parent either
    crop_explosions(nullptr, world);
    EXPECT_EQ(count_children(world), 0);
    delete orphan;

    THING* plain = make_exploder(nullptr);
    THING* empty = make_exploder(new MESHMODEL());
    THING* holder = new THING();
    THING* inner = make_exploder(new PAINT_PROBE());
    holder->add_child(inner);
    THING* waiting = make_exploder(nullptr);
    THING* dead = make_exploder(nullptr);
    for (THING* t : {plain, empty, holder, waiting, dead})
        world->add_child(t);
    for (THING* t : {plain, empty, inner, dead})
        set_off(t);
    dead->set_flags(THING_DEAD);
    waiting->explode();
    waiting->tick(0.5f);  // still counting down
    crop_explosions(world, world);
    EXPECT_TRUE(plain->is_dead() && empty->is_dead() && inner->is_dead());
    EXPECT_FALSE(waiting->is_dead());
    EXPECT_TRUE(children_of<DEBRIS>(world).empty());  // no mesh or no faces: no debris
    EXPECT_EQ(children_of<FIREBALL>(world).size(), 3 * 16u);
    EXPECT_TRUE(children_of<FIREBALL>(holder).empty());  // all in the given place
    // With no place given, the parent is used.
    THING* child = make_exploder(nullptr);
    holder->add_child(child);
    create_explosion(child, nullptr);
    EXPECT_EQ(children_of<FIREBALL>(holder).size(), 16u);
}

TEST_F(Explosion, BulletAndMissileBurstsAreFireballsOnlyAndABulletsIsGoneAtItsFirstTick)
{
    for (float first_dt : {0.0f, DT}) {
        BULLET_LIKE* b = new BULLET_LIKE(10.0f);
        world->add_child(b);
        b->explode();  // no delay: the count-down is already out
        crop_explosions(world, world);
        auto fireballs = children_of<FIREBALL>(world);
        ASSERT_EQ(fireballs.size(), 1u);
        FIREBALL* f = fireballs[0];
        EXPECT_FLOAT_EQ(f->get_peak_size(), 3.0f);
        EXPECT_FLOAT_EQ(f->current_size(), 0.0f);  // invisible at birth
        EXPECT_FLOAT_EQ(f->get_velocity()[0], 300.0f);  // it keeps the bullet's velocity
        EXPECT_FLOAT_EQ(f->get_velocity()[2], -10.0f);
        EXPECT_TRUE(children_of<DEBRIS>(world).empty());
        world->tick_children(first_dt);
        EXPECT_TRUE(f->is_dead()) << first_dt;
        EXPECT_EQ(f->get_life(), 0.0f);
        EXPECT_TRUE(std::isfinite(f->current_size()) && std::isfinite(f->current_brightness()));
        EXPECT_TRUE(finite3(f->get_rel().t));
        world->remove_dead_children();
        EXPECT_EQ(count_children(world), 0);
    }
    MISSILE_LIKE* m = new MISSILE_LIKE(5.0f);
    world->add_child(m);
    m->explode();
    crop_explosions(world, world);
    auto fireballs = children_of<FIREBALL>(world);
    ASSERT_EQ(fireballs.size(), 6u);
    float fastest = 0.0f;
    for (FIREBALL* f : fireballs) {
        EXPECT_FLOAT_EQ(f->get_peak_size(), 1.5f);
        for (int i = 0; i < 3; i++)  // drifts up to four units over its two seconds
            fastest = std::max(fastest, fabsf(f->get_velocity()[i]) * 2.0f);
    }
    EXPECT_LE(fastest, 4.0f + 1e-4f);
    EXPECT_GT(fastest, 0.5f);
}

TEST_F(Explosion, FireballGrowsToItsPeakThenFadesMovingAndFacingTheViewer)
{
    FIREBALL f;
    f.reset(-2.0f, -4.0f, -2.0f, true);  // magnitudes count
    EXPECT_FLOAT_EQ(f.get_peak_brightness(), 2.0f);
    EXPECT_FLOAT_EQ(f.get_fade_rate(), 0.5f);
    EXPECT_FLOAT_EQ(f.current_size(), 0.0f);
    float v[3] = {10.0f, 0.0f, -5.0f};
    f.set_vel(v);
    THING viewer;
    MATRIX_f look;
    get_rotation_matrix_f(&look, 10.0f, 20.0f, 30.0f);
    viewer.set_rel(look);
    viewer.update_abs_matrix();
    select_viewpoint(&viewer);
    f.tick(0.15f);  // life 0.925: half way to the peak
    EXPECT_NEAR(f.current_size(), 2.0f, 1e-4f);
    EXPECT_FLOAT_EQ(f.current_brightness(), 2.0f);
    EXPECT_FLOAT_EQ(f.get_rel().t[0], 1.5f);
    EXPECT_FLOAT_EQ(f.get_rel().t[2], -0.75f);
    for (int r = 0; r < 3; r++)
        for (int c = 0; c < 3; c++)
            EXPECT_FLOAT_EQ(f.get_rel().v[r][c], look.v[r][c]);
    EXPECT_TRUE(f.get_flags() & THING_ABS_DIRTY);
    f.tick(0.15f);  // life 0.85: the peak
    EXPECT_NEAR(f.current_size(), 4.0f, 1e-4f);
    f.tick(0.85f);  // life 0.425: shrinking and half as bright
    EXPECT_NEAR(f.current_size(), 2.0f, 1e-4f);
    EXPECT_NEAR(f.current_brightness(), 1.0f, 1e-4f);
    EXPECT_FALSE(f.is_dead());
    f.tick(1.0f);
    EXPECT_TRUE(f.is_dead());
    EXPECT_EQ(f.get_life(), 0.0f);
    select_viewpoint(nullptr);

    FIREBALL keeps;
    keeps.reset(1.0f, 4.0f, 2.0f, false);
    keeps.tick(1.15f);
    EXPECT_NEAR(keeps.current_size(), 4.0f, 1e-4f);  // no shrink: full size to the end
}

TEST_F(Explosion, WithExplosionsOffFireballsLiveButAreNotDrawnWhileDebrisIs)
{
    FIREBALL* f = new FIREBALL();
    f->reset(3.0f, 2.0f, 2.0f, false);
    PAINT_PROBE* sprite = new PAINT_PROBE();
    f->set_model(sprite);
    float v[3] = {1.0f, 0.0f, 0.0f};
    f->set_vel(v);
    DEBRIS* d = new DEBRIS(v);
    PAINT_PROBE* piece = new PAINT_PROBE();
    d->set_model(piece);
    world->add_child(f);
    world->add_child(d);
    world->update_abs_matrix();
    f->paint(PAINT_MATERIALS | PAINT_BLENDED);
    ASSERT_EQ(sprite->painted.size(), 1u);
    EXPECT_FLOAT_EQ(sprite->param[0], 0.0f);  // size at birth
    EXPECT_FLOAT_EQ(sprite->param[1], 3.0f);  // brightness

    show_explosions = false;
    world->tick_children(0.5f);
    world->update_abs_matrix();
    world->paint(PAINT_MATERIALS | PAINT_SOLID);
    world->paint(PAINT_MATERIALS | PAINT_BLENDED);
    EXPECT_EQ(sprite->painted.size(), 1u);
    EXPECT_EQ(piece->painted.size(), 2u);
    EXPECT_FLOAT_EQ(f->get_rel().t[0], 0.5f);  // it still moves
    EXPECT_FLOAT_EQ(f->get_life(), 0.75f);     // and ages
    world->tick_children(1.6f);
    EXPECT_TRUE(f->is_dead());                 // and expires
}

TEST_F(Explosion, DebrisCoolsShrinksAndIsGoneAfterTwoSeconds)
{
    float v[3] = {0.0f, 4.0f, 0.0f};
    DEBRIS d(v);
    PAINT_PROBE* m = new PAINT_PROBE();
    d.set_model(m);
    d.tick(1.0f);
    EXPECT_FLOAT_EQ(d.get_heat_left(), 0.5f);
    EXPECT_FLOAT_EQ(m->param[0], 0.5f);
    EXPECT_FLOAT_EQ(d.get_rel().t[1], 4.0f);
    EXPECT_FALSE(d.is_dead());
    d.tick(1.0f);
    EXPECT_TRUE(d.is_dead());
    EXPECT_FLOAT_EQ(d.get_rel().t[1], 4.0f);  // a dead piece stays put
}

// ------------------------------------------------------------ sound things

TEST_F(Explosion, AnExplosionSoundPlaysOnceWhereTheThingBurstAndGivesItsReferenceBack)
{
    TEMP_DIR dir;
    dir.write("boom.wav", make_wav_bytes(22050, 0.5f, 220.0f, 0.8f));
    SOUND* boom = soundlist.load(dir.file("boom.wav").c_str());
    ASSERT_NE(boom->get_sample(), nullptr);
    THING* t = make_exploder(nullptr);
    t->set_explosion_sound(boom->acquire());
    t->locate_rel(7.0f, 8.0f, 9.0f);
    world->add_child(t);
    world->update_abs_matrix();
    set_off(t);
    crop_explosions(world, world);
    auto sounds = children_of<SOUNDTHING>(world);
    ASSERT_EQ(sounds.size(), 1u);
    SOUNDTHING* s = sounds[0];
    EXPECT_EQ(s->get_sound(), boom);
    EXPECT_EQ(boom->get_refcount(), 3);  // the test, the thing, the sound thing
    EXPECT_FLOAT_EQ(s->get_rel().t[0], 7.0f);
    EXPECT_FLOAT_EQ(s->get_abs().t[2], 9.0f);  // placed at once, before any matrix update
    world->remove_dead_children();  // the exploded thing goes
    EXPECT_EQ(boom->get_refcount(), 2);

    world->tick_children(DT);  // starts
    EXPECT_TRUE(s->has_started());
    EXPECT_NEAR(s->get_time_left(), 0.5f, 1e-3f);
    float played = 0.0f;
    while (!s->is_dead() && played < 5.0f) {
        world->tick_children(DT);
        played += DT;
    }
    EXPECT_NEAR(played, 0.5f, 2 * DT);
    world->remove_dead_children();
    EXPECT_TRUE(children_of<SOUNDTHING>(world).empty());
    EXPECT_EQ(boom->get_refcount(), 1);

    SOUND* missing = soundlist.load(dir.file("nothing.wav").c_str());
    SOUNDTHING* silent = new SOUNDTHING(missing);  // no sample: gone at once
    world->add_child(silent);
    world->tick_children(DT);
    world->tick_children(DT);
    EXPECT_TRUE(silent->is_dead());
    soundlist.release(boom);
    delete world;
    world = nullptr;
    soundlist.cleanup();
}

// ------------------------------------------------------------ the frame loop

TEST(ExplosionFrames, EverythingAnExplosionMakesIsGoneAfterItsLifetime)
{
    TEMP_DIR dir;
    dir.write("boom.wav", make_wav_bytes(11025, 1.0f, 110.0f, 0.5f));
    SOUND* boom = soundlist.load(dir.file("boom.wav").c_str());
    GAME g;
    create_world_roots(g);
    int before = count_children(g.world);
    THING* t = make_exploder(make_box_mesh(2.0f, 1.0f, 0.5f));
    t->set_explosion_sound(boom->acquire());
    t->locate_rel(0.0f, 50.0f, 20.0f);
    g.world->add_child(t);
    t->explode();
    float time = 0.0f;
    while (!t->is_dead() && time < 5.0f) {  // the count-down; the dead thing is removed next frame
        simulate_frame(g, DT);
        time += DT;
    }
    EXPECT_NEAR(time, 1.0f, 2 * DT);
    EXPECT_EQ(count_children(g.world), before + 1 + 16 + 12 + 1);
    for (float left = 2.0f + 3 * DT; left > 0.0f; left -= DT)  // fireballs and debris 2 s, the sound 1 s
        simulate_frame(g, DT);
    EXPECT_EQ(count_children(g.world), before);
    EXPECT_EQ(boom->get_refcount(), 1);
    destroy_world(g);
    soundlist.release(boom);
    soundlist.cleanup();
}

// ------------------------------------------------------------ the sprite

TEST(ExplosionSprite, CentreFallsToZeroAtTheEdgesAndCorners)
{
    BITMAP* s = make_explosion_sprite_bitmap(16);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(bitmap_color_depth(s), 8);
    EXPECT_EQ(s->w, 16);
    EXPECT_EQ(getpixel(s, 7, 8), 230);  // 255 (1 - 2 * 0.7071 / 15)
    EXPECT_EQ(getpixel(s, 0, 15), 0);   // a corner
    EXPECT_EQ(getpixel(s, 0, 7), 0);    // middle of an edge
    EXPECT_EQ(getpixel(s, 1, 7), 33);   // 255 (1 - 2 * 6.52 / 15)
    for (int y = 0; y < 16; y++)  // symmetric about the centre
        for (int x = 0; x < 16; x++)
            ASSERT_EQ(getpixel(s, x, y), getpixel(s, 15 - x, 15 - y));
    destroy_bitmap(s);
    BITMAP* one = make_explosion_sprite_bitmap(1);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(getpixel(one, 0, 0), 255);
    destroy_bitmap(one);
    EXPECT_EQ(make_explosion_sprite_bitmap(0), nullptr);
}
