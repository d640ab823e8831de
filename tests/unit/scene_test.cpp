// The scene node: child lists, transforms, collisions, death and the viewpoint.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <vector>

#include "render/model.h"
#include "scene/bgthing.h"
#include "scene/thing.h"
#include "scene/thing_ref.h"

namespace {

// Counts destructions so tests can see what a removal deleted.
struct COUNTED : THING {
    explicit COUNTED(int* deaths) : deaths(deaths) {}
    ~COUNTED() override { ++*deaths; }
    int* deaths;
};

// A model with a fixed radius and a unit box, for collision and ground tests.
struct BALL_MODEL : MODEL {
    explicit BALL_MODEL(float r) : r(r) {}
    float get_r() override { return r; }
    void get_bounding_box_corner(int c, float* out) override
    {
        out[0] = (c & 1) ? r : -r;
        out[1] = (c & 2) ? r : -r;
        out[2] = (c & 4) ? r : -r;
    }
    bool bounding_box_check(float* p) override
    {
        return fabsf(p[0]) <= r && fabsf(p[1]) <= r && fabsf(p[2]) <= r;
    }
    float r;
};

// Records intersection and ground callbacks.
struct PROBE : THING {
    explicit PROBE(unsigned char bound = BOUND_SPHERE) : bound(bound) {}
    unsigned char get_bound_type() override { return bound; }
    void handle_intersect(THING* other) override { hits.push_back(other); }
    void handle_ground_intersect() override { ground_hits++; }
    unsigned char bound;
    std::vector<THING*> hits;
    int ground_hits = 0;
};

std::vector<THING*> children(THING* parent)
{
    std::vector<THING*> out;
    for (THING* t = parent->get_first_child(); t; t = t->get_next())
        out.push_back(t);
    return out;
}

void expect_matrix_near(const MATRIX_f& a, const MATRIX_f& b)
{
    for (int r = 0; r < 3; r++) {
        for (int c = 0; c < 3; c++)
            EXPECT_NEAR(a.v[r][c], b.v[r][c], 1e-5f) << r << "," << c;
        EXPECT_NEAR(a.t[r], b.t[r], 1e-4f) << "t" << r;
    }
}

}  // namespace

TEST(ThingTree, TheChildListKeepsItsEndsThroughAddsRemovalsAndDeaths)
{
    int deaths = 0;
    THING root;
    THING* a = new COUNTED(&deaths);
    THING* b = new COUNTED(&deaths);
    THING* c = new COUNTED(&deaths);
    a->insert(c);
    a->insert(b);  // a, b, c: added as one chain
    root.add_child(a);
    EXPECT_EQ(children(&root), (std::vector<THING*>{a, b, c}));
    EXPECT_EQ(root.get_last_child(), c);
    for (THING* t : {a, b, c})
        EXPECT_EQ(t->get_parent(), &root);
    root.remove_child(c);
    EXPECT_EQ(root.get_last_child(), b);
    root.remove_child(a);
    EXPECT_EQ(children(&root), (std::vector<THING*>{b}));
    EXPECT_EQ(root.get_last_child(), b);
    EXPECT_EQ(deaths, 2);  // each removal deleted exactly one node
    root.remove_child(b);
    EXPECT_EQ(root.get_first_child(), nullptr);
    EXPECT_EQ(root.get_last_child(), nullptr);

    // Dead children at both ends and dead grandchildren go; the tail follows.
    std::vector<THING*> kids;
    for (int i = 0; i < 5; i++) {
        kids.push_back(new COUNTED(&deaths));
        root.add_child(kids.back());
    }
    THING* grandchild = new COUNTED(&deaths);
    kids[1]->add_child(grandchild);
    for (THING* t : {kids[0], kids[2], kids[3], kids[4], grandchild})
        t->set_flags(THING_DEAD);
    root.remove_dead_children();
    EXPECT_EQ(deaths, 3 + 5);
    EXPECT_EQ(children(&root), (std::vector<THING*>{kids[1]}));
    EXPECT_EQ(root.get_last_child(), kids[1]);
    EXPECT_EQ(kids[1]->get_last_child(), nullptr);
    THING* d = new THING();
    root.add_child(d);
    EXPECT_EQ(children(&root), (std::vector<THING*>{kids[1], d}));
}

TEST(ThingTree, DeletingANodeDeletesItsFollowingSiblingsWithoutDeepRecursion)
{
    int deaths = 0;
    THING* world = new THING();
    for (int i = 0; i < 100000; i++)
        world->add_child(new COUNTED(&deaths));
    THING* a = new COUNTED(&deaths);
    a->insert(new COUNTED(&deaths));
    delete world;
    EXPECT_EQ(deaths, 100000);
    delete a;
    EXPECT_EQ(deaths, 100002);
}

TEST(ThingTree, FindIdStringLooksAtSiblingsOnly)
{
    THING root;
    THING* a = new THING();
    a->set_id_string("alpha");
    THING* b = new THING();
    b->set_id_string("beta 1");
    THING* hidden = new THING();
    hidden->set_id_string("beta 2");
    b->add_child(hidden);
    root.add_child(a);
    root.add_child(b);
    EXPECT_EQ(find_id_string(root.get_first_child(), "beta 1"), b);
    EXPECT_EQ(find_id_string(root.get_first_child(), "Beta 1"), nullptr);
    EXPECT_EQ(find_id_string(root.get_first_child(), "beta 2"), nullptr);
}

TEST(ThingTransforms, AbsIsRelFollowedByTheParentsAbsAndAMoveMarksTheSubtree)
{
    THING root;
    THING* parent = new THING();
    THING* child = new THING();
    root.add_child(parent);
    parent->add_child(child);
    MATRIX_f turn;
    get_rotation_matrix_f(&turn, 0, 0, 64);  // a quarter turn about z
    turn.t[0] = 10;
    parent->set_rel(turn);
    child->locate_rel(0, 5, 1);
    root.update_abs_matrix();
    EXPECT_TRUE(root.has_flags(THING_REL_IDENTITY));
    MATRIX_f expected;
    matrix_mul_f(&child->get_rel(), &parent->get_abs(), &expected);
    expect_matrix_near(child->get_abs(), expected);
    float p[3];
    apply_matrix_f(&child->get_abs(), 0, 0, 0, &p[0], &p[1], &p[2]);
    EXPECT_NEAR(p[0], 15.0f, 1e-4f);  // Allegro turns (0, 5) a quarter to (5, 0); plus 10
    EXPECT_NEAR(p[1], 0.0f, 1e-4f);
    EXPECT_NEAR(p[2], 1.0f, 1e-4f);
    EXPECT_FALSE(child->has_flags(THING_ABS_DIRTY));
    parent->locate_rel(5, 0, 0);
    EXPECT_TRUE(child->has_flags(THING_ABS_DIRTY | THING_MOVED));
    root.update_abs_matrix();
    EXPECT_FLOAT_EQ(child->get_abs().t[0], 10.0f);
    EXPECT_FLOAT_EQ(child->get_abs().t[2], 1.0f);
}

TEST(ThingTransforms, RtransformActsInTheLocalFrameTransformInTheParents)
{
    THING t;
    MATRIX_f turn;
    get_rotation_matrix_f(&turn, 0, 0, 64);
    t.set_rel(turn);
    MATRIX_f step;
    get_translation_matrix_f(&step, 0, 1, 0);
    t.rtransform_rel(step);  // one unit along the thing's own y, which now points along x
    EXPECT_NEAR(t.get_rel().t[0], 1.0f, 1e-5f);
    EXPECT_NEAR(t.get_rel().t[1], 0.0f, 1e-5f);
    t.transform_rel(step);   // one unit along the parent's y
    EXPECT_NEAR(t.get_rel().t[1], 1.0f, 1e-5f);
}

TEST(ThingRadius, ChildrenWidenTheCachedRadius)
{
    THING root;
    EXPECT_EQ(root.get_radius(), 0.0f);
    THING* child = new THING();
    child->set_model(new BALL_MODEL(2.0f));
    child->locate_rel(10, 0, 0);
    root.add_child(child);
    EXPECT_FLOAT_EQ(root.get_radius(), 12.0f);
    child->locate_rel(20, 0, 0);  // moving a child keeps the cache
    EXPECT_FLOAT_EQ(root.get_radius(), 12.0f);
    root.add_child(new THING());  // adding one clears it
    EXPECT_FLOAT_EQ(root.get_radius(), 22.0f);
}

TEST(ThingCollision, SpheresMeetUpToTheirRadiiPointsOnlySpheresAndOnlyMovedPairsAreChecked)
{
    THING world;
    PROBE* rock = new PROBE();
    rock->set_model(new BALL_MODEL(5.0f));
    rock->set_flags(THING_PASSIVE_COLLIDER | THING_ACTIVE_COLLIDER);
    PROBE* bullet = new PROBE(BOUND_POINT);
    bullet->set_flags(THING_ACTIVE_COLLIDER);
    world.add_child(rock);
    world.add_child(bullet);
    bullet->locate_rel(3.0f, 4.0f, 0);  // exactly at the radius: collides
    world.update_abs_matrix();
    world.check_intersect_children();
    EXPECT_EQ(rock->hits, (std::vector<THING*>{bullet}));
    EXPECT_EQ(bullet->hits, (std::vector<THING*>{rock}));
    PROBE a(BOUND_POINT), b(BOUND_POINT);  // two points never meet, even in one place
    a.set_flags(THING_ACTIVE_COLLIDER);
    b.set_flags(THING_ACTIVE_COLLIDER);
    EXPECT_FALSE(a.does_intersect(&b));
    world.check_intersect_children();  // nothing moved since
    EXPECT_EQ(rock->hits.size(), 1u);
    for (float x : {5.01f, -5.01f, 3.1f}) {  // past the box either side; in the box, past the sphere
        bullet->locate_rel(x, x == 3.1f ? 4.0f : 0.0f, 0);
        world.update_abs_matrix();
        world.check_intersect_children();
        EXPECT_EQ(rock->hits.size(), 1u) << x;
    }
    PROBE* big = new PROBE();
    big->set_model(new BALL_MODEL(1.0f));
    big->set_flags(THING_ACTIVE_COLLIDER);
    big->locate_rel(0, 0, 5.9f);  // two spheres: the radii add up
    world.add_child(big);
    world.update_abs_matrix();
    world.check_intersect_children();
    EXPECT_EQ(big->hits, (std::vector<THING*>{rock}));
}

TEST(ThingCollision, PassivePairsNonCollidersAndTheGoneNeverMeet)
{
    THING world;
    PROBE* a = new PROBE();
    PROBE* b = new PROBE();
    PROBE* c = new PROBE();
    for (PROBE* p : {a, b, c}) {
        p->set_model(new BALL_MODEL(1.0f));
        world.add_child(p);
    }
    a->set_flags(THING_PASSIVE_COLLIDER);
    b->set_flags(THING_PASSIVE_COLLIDER);  // c has no collider bit at all
    world.update_abs_matrix();
    world.check_intersect_children();
    EXPECT_TRUE(a->hits.empty() && b->hits.empty() && c->hits.empty());
    EXPECT_FALSE(a->does_intersect(c));
    c->set_flags(THING_ACTIVE_COLLIDER);
    EXPECT_TRUE(a->does_intersect(c));
    for (unsigned gone : {THING_EXPLODING, THING_DEAD}) {
        c->set_flags(gone);
        EXPECT_FALSE(a->does_intersect(c));
        EXPECT_FALSE(c->does_intersect(a));
        c->clear_flags(gone);
    }
    EXPECT_FALSE(a->does_intersect(nullptr));
}

TEST(ThingCollision, GroundContactUsesTheBoxCornersInTheLocalFrame)
{
    THING world;
    PROBE* p = new PROBE();
    p->set_model(new BALL_MODEL(1.0f));
    p->set_flags(THING_GROUND_CHECK);
    world.add_child(p);
    p->locate_rel(0, 0, 1.5f);
    world.update_abs_matrix();
    world.check_ground_intersect_children(0.0f);
    EXPECT_EQ(p->ground_hits, 0);
    p->locate_rel(0, 0, 1.0f);  // lowest corner touches z = 0
    world.update_abs_matrix();
    world.check_ground_intersect_children(0.0f);
    EXPECT_EQ(p->ground_hits, 1);  // once, not once per corner
    p->clear_flags(THING_GROUND_CHECK);
    world.check_ground_intersect_children(0.0f);
    EXPECT_EQ(p->ground_hits, 1);

    THING t;
    t.set_model(new BALL_MODEL(1.0f));
    MATRIX_f m;
    get_rotation_matrix_f(&m, 0, 0, 32);  // an eighth turn
    m.t[0] = 100;
    t.set_rel(m);
    float centre[3] = {100, 0, 0.5f}, above[3] = {100, 0, 1.3f};
    float along_x[3] = {101.3f, 0, 0};     // 0.92 m along each turned axis: inside
    float diagonal[3] = {100.9f, 0.9f, 0};  // 1.27 m along one turned axis: outside
    EXPECT_TRUE(t.bounding_box_check(centre));
    EXPECT_FALSE(t.bounding_box_check(above));
    EXPECT_TRUE(t.bounding_box_check(along_x));
    EXPECT_FALSE(t.bounding_box_check(diagonal));
}

TEST(ThingLife, OnlyAnExplodableThingCountsDownOnceFromTheFirstHit)
{
    THING plain, dead;
    plain.explode();
    EXPECT_FALSE(plain.has_flags(THING_EXPLODING));
    dead.set_flags(THING_EXPLODABLE | THING_DEAD);
    dead.explode();
    EXPECT_FALSE(dead.has_flags(THING_EXPLODING));
    THING t;
    t.set_flags(THING_EXPLODABLE);
    t.receive_hit(0.0f);
    EXPECT_FALSE(t.has_flags(THING_EXPLODING));
    t.receive_hit(0.001f);
    EXPECT_TRUE(t.has_flags(THING_EXPLODING));
    EXPECT_FLOAT_EQ(t.get_explosion_delay_counter(), 1.0f);
    t.tick(0.4f);
    t.receive_hit(5.0f);  // a second hit does not restart the count-down
    t.explode();
    EXPECT_NEAR(t.get_explosion_delay_counter(), 0.6f, 1e-6f);
    t.tick(0.7f);
    float below = t.get_explosion_delay_counter();
    EXPECT_LT(below, 0.0f);
    t.tick(1.0f);  // the counter stops once below zero
    EXPECT_FLOAT_EQ(t.get_explosion_delay_counter(), below);
}

TEST(ThingLife, TickChildrenAdvancesTheSubtreeDepthFirstButNotTheNode)
{
    struct TICKER : THING {
        explicit TICKER(std::vector<int>* log, int id) : log(log), id(id) {}
        void tick(float) override { log->push_back(id); }
        std::vector<int>* log;
        int id;
    };
    std::vector<int> log;
    TICKER root(&log, 0);
    TICKER* a = new TICKER(&log, 1);
    root.add_child(a);
    a->add_child(new TICKER(&log, 11));
    root.add_child(new TICKER(&log, 2));
    root.tick_children(0.1f);
    EXPECT_EQ(log, (std::vector<int>{11, 1, 2}));
}

TEST(ThingLife, CropSpawnAnswersTheFirstChildsThing)
{
    struct SPAWNER : THING {
        THING* crop_spawn() override
        {
            THING* t = ready;
            ready = nullptr;
            return t;
        }
        THING* ready = nullptr;
    };
    THING world;
    SPAWNER* s = new SPAWNER();
    world.add_child(new THING());
    world.add_child(s);
    EXPECT_EQ(world.crop_spawn(), nullptr);
    THING spawned;
    s->ready = &spawned;
    EXPECT_EQ(world.crop_spawn(), &spawned);
    EXPECT_EQ(world.crop_spawn(), nullptr);
}

TEST(ThingModels, ASharedModelLivesWhileAnyHolderDoes)
{
    struct WATCHED : MODEL {
        explicit WATCHED(int* alive) : alive(alive) { ++*alive; }
        ~WATCHED() override { --*alive; }
        int* alive;
    };
    int alive = 0;
    MODEL* shared = new WATCHED(&alive);
    std::vector<THING*> holders;
    for (int i = 0; i < 3; i++) {
        holders.push_back(new THING());
        holders.back()->set_model(shared);
    }
    EXPECT_EQ(shared->get_refcount(), 3);
    delete holders[0];
    holders[1]->set_model(shared);  // setting the same model again keeps it
    holders[1]->set_model(nullptr);
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(shared->get_refcount(), 1);
    holders[2]->set_model(new WATCHED(&alive));  // replacing gives the old one back
    EXPECT_EQ(alive, 1);
    delete holders[2];
    delete holders[1];
    EXPECT_EQ(alive, 0);
    delete_model(nullptr);
    delete_model(new WATCHED(&alive));  // a never held model
    EXPECT_EQ(alive, 0);
}

TEST(ThingViewpoint, ADeadOrDestroyedViewpointDoesNotDangleAndTheBackgroundFollowsIt)
{
    THING* t = new THING();
    t->locate_rel(3, 4, 5);
    t->update_abs_matrix();
    select_viewpoint(t);
    EXPECT_EQ(check_viewpoint(), t);
    BGTHING bg;
    bg.paint(PAINT_SOLID);
    EXPECT_FLOAT_EQ(bg.get_abs().t[0], 3.0f);
    EXPECT_FLOAT_EQ(bg.get_abs().t[2], 5.0f);
    t->set_flags(THING_DEAD);
    EXPECT_EQ(check_viewpoint(), nullptr);
    select_viewpoint(t);
    delete t;
    EXPECT_EQ(get_viewpoint(), nullptr);
}

TEST(ThingRef, BecomesNullWhenTheThingIsDestroyedAnyWay)
{
    THING world;
    THING* a = new THING();
    THING* b = new THING();
    world.add_child(a);
    world.add_child(b);
    THING_REF ra = a, rb = b, rb2 = rb;
    world.remove_child(a);
    EXPECT_EQ(ra.get(), nullptr);
    EXPECT_EQ(rb.get(), b);
    b->set_flags(THING_DEAD);
    world.remove_dead_children();
    EXPECT_EQ(rb.get(), nullptr);
    EXPECT_EQ(rb2.get(), nullptr);
}

TEST(ThingSound, VolumeFallsWithDistance)
{
    EXPECT_EQ(positional_volume(0.0f, 1.0f), 255);
    EXPECT_EQ(positional_volume(1000.0f, 1.0f), 127);
    EXPECT_EQ(positional_volume(1999.0f, 1.0f), 0);
    EXPECT_EQ(positional_volume(2000.0f, 1.0f), 0);
    EXPECT_EQ(positional_volume(500.0f, 0.5f), 95);
    EXPECT_EQ(positional_volume(0.0f, 3.0f), 255);
    EXPECT_EQ(positional_volume(NAN, 1.0f), 0);
    THING t;
    t.play_sound(nullptr, false);
    EXPECT_EQ(t.get_voice(), -1);
}
