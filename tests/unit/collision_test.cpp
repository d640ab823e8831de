// The collision pass of the world's children: the broad phase must make the
// plain pass's hits, in the plain pass's order, with the same effects, while
// trying far fewer pairs. Thousands of random scenes, run through both.
#include <gtest/gtest.h>

#include <allegro.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "scene/broad_phase.h"
#include "scene/thing.h"

namespace {

const float INF = std::numeric_limits<float>::infinity();
const float NOT_A_NUMBER = std::numeric_limits<float>::quiet_NaN();

struct CALL {
    int a, b;
    bool hit;
    bool operator==(const CALL& o) const { return a == o.a && b == o.b && hit == o.hit; }
};

// What a pass did: every check_intersect call with whether it found the
// pair touching, and every handle_intersect.
struct LOG {
    std::vector<CALL> calls;
    std::vector<std::pair<int, int>> handled;
};

// Behaves like the game's things as far as the pass can see: a "shot" that
// hits something explodes and hits the victim (as a bullet does), a victim
// with shields explodes once they are gone; some things, when touched,
// stop colliding or mark their partner moved, so that what a pair does
// depends on every pair before it.
struct DUMMY : THING {
    DUMMY(int id, LOG* log) : id(id), log(log) {}
    unsigned char get_bound_type() override { return bound; }
    float get_radius() override { return r; }
    float get_shield() override { return shield; }
    void reduce_shield(float d) override { shield -= d; }
    void check_intersect(THING* other) override
    {
        log->calls.push_back({id, static_cast<DUMMY*>(other)->id, does_intersect(other)});
        THING::check_intersect(other);
    }
    void handle_intersect(THING* other) override
    {
        log->handled.push_back({id, static_cast<DUMMY*>(other)->id});
        if (shot) {
            other->receive_hit(1.0f);
            receive_hit(1.0f);
        }
        if (drops_collider_bits)
            clear_flags(THING_ACTIVE_COLLIDER | THING_PASSIVE_COLLIDER);
        if (marks_partner_moved)
            other->set_flags(THING_MOVED);
    }
    int id;
    LOG* log;
    unsigned char bound = BOUND_SPHERE;
    float r = 0.0f;
    float shield = 0.0f;
    bool shot = false;
    bool drops_collider_bits = false;
    bool marks_partner_moved = false;
};

// One random scene, built the same way into any number of worlds.
struct SCENE_RECIPE {
    struct ITEM {
        float p[3];
        float r;
        unsigned char bound;
        unsigned flags;
        float shield;
        bool shot, drops, marks;
    };
    std::vector<ITEM> items;
    std::vector<std::vector<std::pair<int, std::array<float, 3>>>> moves;  // per later pass
};

float pick(std::mt19937& rng, std::initializer_list<float> values)
{
    std::uniform_int_distribution<size_t> d(0, values.size() - 1);
    return *(values.begin() + d(rng));
}

SCENE_RECIPE make_recipe(uint32_t seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto chance = [&](float p) { return unit(rng) < p; };
    SCENE_RECIPE s;
    // The scale of the scene decides how many things share a grid cell:
    // all in one spot, a few cells, or spread far apart.
    float spread = pick(rng, {0.0f, 1.0f, 40.0f, 300.0f, 5000.0f});
    // Integer positions and radii in small scenes make exact contact
    // (distance equal to the radii's sum) common.
    bool integral = chance(0.5f);
    int n = std::uniform_int_distribution<int>(0, 70)(rng);
    for (int i = 0; i < n; i++) {
        SCENE_RECIPE::ITEM it{};
        for (float& c : it.p) {
            c = spread * (unit(rng) - 0.5f);
            if (integral)
                c = std::round(c);
        }
        if (chance(0.02f))
            it.p[std::uniform_int_distribution<int>(0, 2)(rng)] = pick(rng, {INF, -INF, NOT_A_NUMBER, 1e9f, -3e38f});
        it.r = integral ? std::round(10.0f * unit(rng)) : pick(rng, {0.0f, 0.5f, 3.0f, 20.0f, 31.0f, 33.0f, 100.0f});
        if (chance(0.05f))
            it.r = pick(rng, {1e30f, 3e38f, INF, NOT_A_NUMBER, -5.0f, 0.0f, 2000.0f});
        if (i > 0 && chance(0.15f)) {
            // Exactly touching an earlier thing along an axis or a 3-4-5 diagonal.
            const SCENE_RECIPE::ITEM& o = s.items[std::uniform_int_distribution<int>(0, i - 1)(rng)];
            float sum = std::round(5.0f * unit(rng)) * 5.0f;
            it.r = std::max(0.0f, sum - std::fabs(o.r));
            bool diagonal = chance(0.5f);
            it.p[0] = o.p[0] + (diagonal ? sum * 0.6f : sum);
            it.p[1] = o.p[1] + (diagonal ? sum * 0.8f : 0.0f);
            it.p[2] = o.p[2];
        }
        it.bound = chance(0.4f) ? BOUND_POINT : chance(0.05f) ? BOUND_NONE : BOUND_SPHERE;
        unsigned roles[] = {THING_ACTIVE_COLLIDER, THING_PASSIVE_COLLIDER,
                            THING_ACTIVE_COLLIDER | THING_PASSIVE_COLLIDER, 0};
        it.flags = roles[std::uniform_int_distribution<int>(0, 3)(rng)];
        if (chance(0.6f))
            it.flags |= THING_EXPLODABLE;
        if (chance(0.03f))
            it.flags |= chance(0.5f) ? THING_DEAD : THING_EXPLODING;
        it.shield = pick(rng, {0.0f, 1.0f, 2.5f});
        it.shot = it.bound == BOUND_POINT ? chance(0.8f) : chance(0.1f);
        it.drops = chance(0.05f);
        it.marks = chance(0.05f);
        s.items.push_back(it);
    }
    // Two more passes; before each, some things move (and so are marked
    // moved) and the rest stay, which the pass must skip.
    for (int pass = 0; pass < 2; pass++) {
        std::vector<std::pair<int, std::array<float, 3>>> m;
        for (int i = 0; i < n; i++)
            if (chance(0.3f))
                m.push_back({i, {spread * (unit(rng) - 0.5f), spread * (unit(rng) - 0.5f), spread * (unit(rng) - 0.5f)}});
        s.moves.push_back(m);
    }
    return s;
}

struct WORLD {
    explicit WORLD(const SCENE_RECIPE& s)
    {
        for (size_t i = 0; i < s.items.size(); i++) {
            const SCENE_RECIPE::ITEM& it = s.items[i];
            DUMMY* d = new DUMMY((int)i, &log);
            d->locate_rel(it.p[0], it.p[1], it.p[2]);
            d->r = it.r;
            d->bound = it.bound;
            d->set_flags(it.flags);
            d->shield = it.shield;
            d->shot = it.shot;
            d->drops_collider_bits = it.drops;
            d->marks_partner_moved = it.marks;
            root.add_child(d);
            things.push_back(d);
        }
        root.update_abs_matrix();
    }
    void move(const std::vector<std::pair<int, std::array<float, 3>>>& m)
    {
        for (const auto& [i, p] : m)
            things[i]->locate_rel(p[0], p[1], p[2]);
        root.update_abs_matrix();
    }
    THING root;
    LOG log;
    std::vector<DUMMY*> things;
};

std::vector<CALL> hits_of(const std::vector<CALL>& calls)
{
    std::vector<CALL> out;
    for (const CALL& c : calls)
        if (c.hit)
            out.push_back(c);
    return out;
}

bool is_subsequence(const std::vector<CALL>& part, const std::vector<CALL>& whole)
{
    size_t k = 0;
    for (const CALL& c : whole)
        if (k < part.size() && part[k] == c)
            k++;
    return k == part.size();
}

}  // namespace

TEST(BroadPhase, CandidatesAreExactlyTheTouchingBoxesAfterEachEntry)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int scene = 0; scene < 400; scene++) {
        float spread = pick(rng, {0.0f, 10.0f, 200.0f, 1e4f, 1e12f});
        BROAD_PHASE bp;
        std::vector<std::array<float, 4>> boxes;
        int n = std::uniform_int_distribution<int>(0, 120)(rng);
        for (int i = 0; i < n; i++) {
            std::array<float, 4> b = {spread * (unit(rng) - 0.5f), spread * (unit(rng) - 0.5f),
                                      spread * (unit(rng) - 0.5f),
                                      pick(rng, {0.0f, 1.0f, 16.0f, 32.0f, 33.0f, 500.0f, 1e20f, 3e38f})};
            boxes.push_back(b);
            bp.add(b.data(), b[3]);
        }
        bp.build();
        for (int i = 0; i < n; i++) {
            std::vector<unsigned> expected;
            for (int j = i + 1; j < n; j++) {
                float r = boxes[j][3] + boxes[i][3];
                bool touch = true;
                for (int k = 0; k < 3; k++)
                    touch = touch && !(fabsf(boxes[j][k] - boxes[i][k]) > r);
                if (touch)
                    expected.push_back((unsigned)j);
            }
            ASSERT_EQ(bp.candidates_after((unsigned)i), expected) << "scene " << scene << " entry " << i;
        }
    }
}

// The reference: for every random scene, three passes of the plain pass on
// one copy and of the broad phase on another must make the same hits in the
// same order, try no pair the plain pass would not try, and leave every
// thing with the same flags and shields.
TEST(CollisionPass, BroadPhaseMakesThePlainPassesHitsInItsOrder)
{
    long plain_calls = 0, broad_calls = 0, hits = 0;
    for (uint32_t seed = 1; seed <= 3000; seed++) {
        SCENE_RECIPE recipe = make_recipe(seed);
        WORLD plain(recipe), broad(recipe);
        for (int pass = 0; pass < 3; pass++) {
            if (pass > 0) {
                plain.move(recipe.moves[pass - 1]);
                broad.move(recipe.moves[pass - 1]);
            }
            plain.root.check_intersect_children_plain();
            broad.root.check_intersect_children();
        }
        ASSERT_EQ(hits_of(broad.log.calls), hits_of(plain.log.calls)) << "seed " << seed;
        ASSERT_EQ(broad.log.handled, plain.log.handled) << "seed " << seed;
        ASSERT_TRUE(is_subsequence(broad.log.calls, plain.log.calls)) << "seed " << seed;
        for (size_t i = 0; i < recipe.items.size(); i++) {
            ASSERT_EQ(broad.things[i]->get_flags(), plain.things[i]->get_flags()) << "seed " << seed << " thing " << i;
            ASSERT_EQ(broad.things[i]->shield, plain.things[i]->shield) << "seed " << seed << " thing " << i;
            ASSERT_FALSE(broad.things[i]->has_flags(THING_MOVED)) << "seed " << seed << " thing " << i;
        }
        plain_calls += (long)plain.log.calls.size();
        broad_calls += (long)broad.log.calls.size();
        hits += (long)hits_of(plain.log.calls).size();
    }
    // The scenes must exercise the rules: many hits, and pairs the broad
    // phase rightly never tries.
    EXPECT_GT(hits, 10000);
    EXPECT_LT(broad_calls, plain_calls / 2);
}

// A wide field of shots over scattered rocks: the broad phase tries a small
// share of the pairs and still finds every hit.
TEST(CollisionPass, SpreadSceneTriesFewPairs)
{
    SCENE_RECIPE recipe;
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> unit(-2500.0f, 2500.0f);
    for (int i = 0; i < 1200; i++) {
        SCENE_RECIPE::ITEM it{};
        for (float& c : it.p)
            c = unit(rng);
        bool rock = i % 6 == 0;
        it.bound = rock ? BOUND_SPHERE : BOUND_POINT;
        it.r = rock ? 12.0f : 0.0f;
        it.flags = rock ? THING_ACTIVE_COLLIDER | THING_PASSIVE_COLLIDER | THING_EXPLODABLE
                        : THING_ACTIVE_COLLIDER | THING_EXPLODABLE;
        it.shot = !rock;
        recipe.items.push_back(it);
    }
    WORLD plain(recipe), broad(recipe);
    plain.root.check_intersect_children_plain();
    broad.root.check_intersect_children();
    EXPECT_EQ(hits_of(broad.log.calls), hits_of(plain.log.calls));
    EXPECT_GT(plain.log.calls.size(), 700000u);
    EXPECT_LT(broad.log.calls.size(), plain.log.calls.size() / 100);
}

TEST(CollisionPass, ThingsWithoutFiniteBoundsNeverCollide)
{
    LOG log;
    THING root;
    float cases[][4] = {{0, 0, 0, INF}, {0, 0, 0, NOT_A_NUMBER}, {INF, 0, 0, 1}, {0, NOT_A_NUMBER, 0, 1}};
    for (auto& c : cases) {
        DUMMY* odd = new DUMMY(0, &log);
        odd->locate_rel(c[0], c[1], c[2]);
        odd->r = c[3];
        odd->set_flags(THING_ACTIVE_COLLIDER);
        DUMMY* plain = new DUMMY(1, &log);
        plain->r = 1.0f;
        plain->set_flags(THING_ACTIVE_COLLIDER);
        root.add_child(odd);
        root.add_child(plain);
        root.update_abs_matrix();
        EXPECT_FALSE(odd->does_intersect(plain)) << c[0] << " " << c[1] << " " << c[3];
        EXPECT_FALSE(plain->does_intersect(odd)) << c[0] << " " << c[1] << " " << c[3];
        root.remove_child(odd);
        root.remove_child(plain);
    }
    root.check_intersect_children();
    EXPECT_TRUE(log.handled.empty());
}
