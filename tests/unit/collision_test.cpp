// The broad phase makes the plain pass's hits in its order, trying fewer pairs.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "scene/thing.h"

namespace {

const float INF = std::numeric_limits<float>::infinity(), NAN_F = std::numeric_limits<float>::quiet_NaN();

using CALL = std::array<int, 3>;  // check_intersect: who asked whom, and whether they touched

// A "shot" hits and explodes as a bullet does; some stop colliding or mark their
// partner moved when touched: what a pair does depends on the pairs before it.
struct DUMMY : THING {
    DUMMY(int id, std::vector<CALL>* log) : id(id), log(log) {}
    unsigned char get_bound_type() override { return bound; }
    float get_radius() override { return r; }
    float get_shield() override { return shield; }
    void reduce_shield(float d) override { shield -= d; }
    void check_intersect(THING* other) override
    {
        log->push_back({id, static_cast<DUMMY*>(other)->id, does_intersect(other)});
        THING::check_intersect(other);
    }
    void handle_intersect(THING* other) override
    {
        other->receive_hit(shot ? 1.0f : 0.0f), receive_hit(shot ? 1.0f : 0.0f);
        clear_flags(drops ? THING_ACTIVE_COLLIDER | THING_PASSIVE_COLLIDER : 0u), other->set_flags(marks ? THING_MOVED : 0u);
        if (get_first_child())  // a pass of its own inside the world's
            check_intersect_children();
    }
    int id;
    std::vector<CALL>* log;  // shared by a world's things
    unsigned char bound = BOUND_SPHERE;
    float r = 0.0f, shield = 0.0f;
    bool shot = false, drops = false, marks = false;
};

// A random world: in one spot or spread; points and spheres, zero, huge and odd
// radii, exact contact with an earlier thing, every role, some not finite.
struct WORLD {
    explicit WORLD(uint32_t seed) : rng(seed)
    {
        spread = pick({0.0f, 1.0f, 40.0f, 300.0f, 5000.0f});
        integral = unit(rng) < 0.5f;
        for (int i = 0, n = std::uniform_int_distribution<int>(0, 70)(rng); i < n; i++) {
            DUMMY* d = new DUMMY(i, &log);
            d->r = integral ? std::round(10.0f * unit(rng)) : pick({0.0f, 0.5f, 3.0f, 20.0f, 31.0f, 32.0f, 33.0f, 100.0f});
            if (unit(rng) < 0.05f)
                d->r = pick({1e30f, 3e38f, INF, NAN_F, -5.0f, 2000.0f});
            float p[3] = {place(), place(), place()};
            if (unit(rng) < 0.02f)
                p[i % 3] = pick({INF, -INF, NAN_F, 1e9f, -3e38f});
            if (i > 0 && unit(rng) < 0.15f) {  // on an axis or a 3-4-5 diagonal
                DUMMY* o = things[std::uniform_int_distribution<int>(0, i - 1)(rng)];
                float sum = 5.0f * std::round(5.0f * unit(rng));
                bool diagonal = unit(rng) < 0.5f;
                d->r = std::max(0.0f, sum - std::fabs(o->r));
                const float* q = o->get_abs().t;
                p[0] = q[0] + (diagonal ? 0.6f * sum : sum);
                p[1] = q[1] + (diagonal ? 0.8f * sum : 0.0f);
                p[2] = q[2];
            }
            d->locate_rel(p), d->update_abs_matrix();
            d->bound = unit(rng) < 0.4f ? BOUND_POINT : unit(rng) < 0.05f ? BOUND_NONE : BOUND_SPHERE;
            const unsigned roles[] = {0, THING_PASSIVE_COLLIDER, THING_ACTIVE_COLLIDER, THING_ACTIVE_COLLIDER | THING_PASSIVE_COLLIDER};
            d->set_flags(roles[i * 7 % 4] | (unit(rng) < 0.6f ? THING_EXPLODABLE : 0u) |
                         (unit(rng) < 0.03f ? THING_DEAD : unit(rng) < 0.03f ? THING_EXPLODING : 0u));
            d->shield = pick({0.0f, 1.0f, 2.5f});
            d->shot = unit(rng) < (d->bound == BOUND_POINT ? 0.8f : 0.1f);
            d->drops = unit(rng) < 0.05f, d->marks = unit(rng) < 0.05f;
            for (int k = 0; k < (i % 9 == 4 ? 2 : 0); k++)  // two that touch, riding on it
                d->add_child(new DUMMY(1000 + 2 * i + k, &log)), d->get_last_child()->set_flags(THING_ACTIVE_COLLIDER | THING_MOVED);
            root.add_child(d), things.push_back(d);
        }
        root.update_abs_matrix();
    }
    float pick(std::initializer_list<float> v) { return v.begin()[std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng)]; }
    float place() { return integral ? std::round(spread * (unit(rng) - 0.5f)) : spread * (unit(rng) - 0.5f); }
    void move()  // the next pass passes over the pairs of things that stay
    {
        for (DUMMY* d : things)
            if (unit(rng) < 0.3f)
                d->locate_rel(place(), place(), place());
        root.update_abs_matrix();
    }
    std::mt19937 rng;
    std::uniform_real_distribution<float> unit{0.0f, 1.0f};
    float spread;
    bool integral;  // integer places make exact contact common
    THING root;
    std::vector<CALL> log;
    std::vector<DUMMY*> things;
};

}  // namespace

// Three passes, plain on one copy of each scene and broad on another: the same
// calls in the same order less pairs that do not touch, the same flags and shields;
// a pass that a hit starts on the things riding on one works on its own.
TEST(CollisionPass, BroadPhaseMakesThePlainPassesHitsInItsOrder)
{
    long plain_calls = 0, broad_calls = 0, hits = 0;
    for (uint32_t seed = 1; seed <= 3000; seed++) {
        WORLD plain(seed), broad(seed);
        for (int pass = 0; pass < 3; pass++) {
            plain.root.check_intersect_children_plain(), broad.root.check_intersect_children();
            plain.move(), broad.move();
        }
        size_t k = 0;
        for (const CALL& c : plain.log) {
            bool same = k < broad.log.size() && broad.log[k] == c;
            ASSERT_TRUE(same || !c[2]) << "seed " << seed << ": hit " << c[0] << "-" << c[1] << " missed";
            k += same;
            hits += c[2];
        }
        ASSERT_EQ(k, broad.log.size()) << "seed " << seed << ": a call the plain pass did not make";
        for (size_t i = 0; i < plain.things.size(); i++)
            ASSERT_EQ(broad.things[i]->get_flags(), plain.things[i]->get_flags()) << "seed " << seed << " thing " << i;
        plain_calls += (long)plain.log.size(), broad_calls += (long)broad.log.size();
    }
    EXPECT_GT(hits, 10000);  // the scenes exercise the rules
    EXPECT_LT(broad_calls, plain_calls / 2);
}
