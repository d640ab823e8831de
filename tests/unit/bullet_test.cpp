// Bullets: flight, arming, hits and ground contact.
#include <gtest/gtest.h>

#include <allegro.h>

#include "effects/bullet.h"
#include "effects/explosion.h"
#include "render/model.h"

namespace {

// A target that remembers the damage it took and moves.
struct TARGET : THING {
    TARGET()
    {
        set_flags(THING_EXPLODABLE | THING_PASSIVE_COLLIDER | THING_ACTIVE_COLLIDER);
        set_model(new BALL(5.0f));
    }
    struct BALL : MODEL {
        explicit BALL(float r) : r(r) {}
        float get_r() override { return r; }
        float r;
    };
    void receive_hit(float d) override
    {
        damage += d;
        THING::receive_hit(d);
    }
    void get_vel(float* v) override
    {
        v[0] = 0;
        v[1] = 7;
        v[2] = 0;
    }
    float damage = 0.0f;
};

struct RANGE {
    THING world;
    TARGET* target = new TARGET();
    BULLET* bullet = new BULLET(2.0f, 0.2f);
    RANGE()
    {
        world.add_child(target);
        world.add_child(bullet);
        bullet->locate_rel(0, -3, 0);
        bullet->set_power(10);
    }
    void step(float dt)
    {
        world.tick_children(dt);
        world.update_abs_matrix();
        world.check_intersect_children();
    }
};

}  // namespace

TEST(Bullet, PassesThroughUntilArmedThenDamagesTheTargetAndBurstsWithItsVelocity)
{
    RANGE r;
    r.step(0.1f);
    EXPECT_EQ(r.target->damage, 0.0f);
    EXPECT_FALSE(r.bullet->has_flags(THING_ACTIVE_COLLIDER));
    r.step(0.15f);
    EXPECT_TRUE(r.bullet->has_flags(THING_ACTIVE_COLLIDER));
    EXPECT_EQ(r.target->damage, 10.0f);
    EXPECT_TRUE(r.bullet->has_flags(THING_EXPLODING));
    float v[3];
    r.bullet->get_vel(v);
    EXPECT_EQ(v[1], 7.0f);  // it takes on what it hit's velocity
    EXPECT_EQ(r.bullet->get_explosion_delay_counter(), 0.0f);
    EXPECT_FLOAT_EQ(r.bullet->get_explosion_radius(), 3.0f);
    crop_explosions(&r.world, &r.world);
    EXPECT_TRUE(r.bullet->is_dead());
    r.world.remove_dead_children();
    ASSERT_EQ(r.world.get_last_child()->get_first_child(), nullptr);
    THING* flash = r.world.get_last_child();  // one flash, gone at its first tick
    EXPECT_NE(flash, r.target);
    r.world.tick_children(0.001f);
    EXPECT_TRUE(flash->is_dead());
}

TEST(Bullet, NeverHitsItsOwnerNorAnotherBulletAndAPowerlessOneBurstsOnlyWhenItsLifeEnds)
{
    RANGE own;
    own.bullet->set_owner(own.target);
    own.step(0.3f);
    EXPECT_EQ(own.target->damage, 0.0f);
    EXPECT_FALSE(own.bullet->has_flags(THING_EXPLODING));

    RANGE r;
    r.bullet->set_power(-0.0f);
    r.step(0.3f);
    EXPECT_FALSE(r.bullet->has_flags(THING_EXPLODING));
    EXPECT_FALSE(r.target->has_flags(THING_EXPLODING));
    float v[3];
    r.bullet->get_vel(v);
    EXPECT_EQ(v[1], 7.0f);
    r.step(1.6f);
    EXPECT_FALSE(r.bullet->has_flags(THING_EXPLODING));
    r.step(0.2f);  // its two seconds are out
    EXPECT_TRUE(r.bullet->has_flags(THING_EXPLODING));

    THING world;
    BULLET* a = new BULLET(5, 0);
    BULLET* b = new BULLET(5, 0);
    world.add_child(a);
    world.add_child(b);
    world.tick_children(0.01f);  // both armed at once, in one place
    world.update_abs_matrix();
    world.check_intersect_children();
    EXPECT_FALSE(a->has_flags(THING_EXPLODING) || b->has_flags(THING_EXPLODING));
    b->set_power(-20);
    EXPECT_EQ(b->get_power(), 20.0f);
    EXPECT_FLOAT_EQ(b->get_explosion_radius(), 6.0f);
}

TEST(Bullet, FliesAlongItsOwnAxisAndStopsOnTheGround)
{
    THING world;
    BULLET* b = new BULLET(5, 0);
    world.add_child(b);
    MATRIX_f down;
    get_rotation_matrix_f(&down, 64, 0, 0);  // Allegro turns the nose (+y) down to -z
    down.t[2] = 10;
    b->set_rel(down);
    b->set_speed(100);
    float v[3];
    b->get_vel(v);
    EXPECT_NEAR(v[2], -100.0f, 1e-3f);
    world.tick_children(0.05f);
    world.update_abs_matrix();
    world.check_ground_intersect_children(0);
    EXPECT_FALSE(b->has_flags(THING_EXPLODING));
    EXPECT_NEAR(b->get_abs().t[2], 5.0f, 1e-4f);
    world.tick_children(0.06f);
    world.update_abs_matrix();
    world.check_ground_intersect_children(0);
    EXPECT_TRUE(b->has_flags(THING_EXPLODING));
    b->get_vel(v);
    EXPECT_EQ(v[2], 0.0f);
}
