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

TEST(ThingTree, AddChildTakesTheWholeChainAndSetsParents)
{
    THING root;
    THING* a = new THING();
    THING* b = new THING();
    THING* c = new THING();
    a->insert(c);
    a->insert(b);  // a, b, c
    root.add_child(a);
    EXPECT_EQ(children(&root), (std::vector<THING*>{a, b, c}));
    EXPECT_EQ(root.get_last_child(), c);
    for (THING* t : {a, b, c})
        EXPECT_EQ(t->get_parent(), &root);
}

TEST(ThingTree, RemovingEitherEndKeepsLastChildOnTheTail)
{
    int deaths = 0;
    THING root;
    THING* a = new COUNTED(&deaths);
    THING* b = new COUNTED(&deaths);
    THING* c = new COUNTED(&deaths);
    root.add_child(a);
    root.add_child(b);
    root.add_child(c);
    root.remove_child(c);
    EXPECT_EQ(root.get_last_child(), b);
    root.remove_child(a);
    EXPECT_EQ(root.get_first_child(), b);
    EXPECT_EQ(root.get_last_child(), b);
    EXPECT_EQ(deaths, 2);  // each removal deleted exactly one node
    root.remove_child(b);
    EXPECT_EQ(root.get_first_child(), nullptr);
    EXPECT_EQ(root.get_last_child(), nullptr);
    THING* d = new THING();
    root.add_child(d);
    EXPECT_EQ(root.get_first_child(), d);
    EXPECT_EQ(root.get_last_child(), d);
}

TEST(ThingTree, DeadChildrenAtBothEndsAreRemoved)
{
    int deaths = 0;
    THING root;
    std::vector<THING*> kids;
    for (int i = 0; i < 5; i++) {
        kids.push_back(new COUNTED(&deaths));
        root.add_child(kids.back());
    }
    kids[0]->set_flags(THING_DEAD);
    kids[2]->set_flags(THING_DEAD);
    kids[3]->set_flags(THING_DEAD);
    kids[4]->set_flags(THING_DEAD);
    root.remove_dead_children();
    EXPECT_EQ(deaths, 4);
    EXPECT_EQ(children(&root), (std::vector<THING*>{kids[1]}));
    EXPECT_EQ(root.get_last_child(), kids[1]);
    root.add_child(new THING());
    EXPECT_EQ(children(&root).size(), 2u);
}

TEST(ThingTree, DeadGrandchildrenAreRemovedToo)
{
    int deaths = 0;
    THING root;
    THING* parent = new THING();
    root.add_child(parent);
    THING* child = new COUNTED(&deaths);
    parent->add_child(child);
    child->set_flags(THING_DEAD);
    root.remove_dead_children();
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(parent->get_first_child(), nullptr);
    EXPECT_EQ(parent->get_last_child(), nullptr);
}

TEST(ThingTree, DeletingANodeDeletesItsFollowingSiblings)
{
    int deaths = 0;
    THING* a = new COUNTED(&deaths);
    a->insert(new COUNTED(&deaths));
    a->get_next()->insert(new COUNTED(&deaths));
    delete a;
    EXPECT_EQ(deaths, 3);
}

TEST(ThingTree, AWorldOfTwoHundredThousandChildrenIsDeletedWithoutDeepRecursion)
{
    int deaths = 0;
    THING* world = new THING();
    for (int i = 0; i < 200000; i++)
        world->add_child(new COUNTED(&deaths));
    delete world;
    EXPECT_EQ(deaths, 200000);
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

TEST(ThingTree, StringsAreCutTo63Characters)
{
    THING t;
    std::string longer(100, 'x');
    t.set_type_string(longer.c_str());
    EXPECT_EQ(strlen(t.get_vessel_type_string()), 63u);
}

TEST(ThingTransforms, AbsIsRelFollowedByTheParentsAbs)
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
    MATRIX_f expected;
    matrix_mul_f(&child->get_rel(), &parent->get_abs(), &expected);
    expect_matrix_near(child->get_abs(), expected);
    float p[3];
    apply_matrix_f(&child->get_abs(), 0, 0, 0, &p[0], &p[1], &p[2]);
    EXPECT_NEAR(p[0], 15.0f, 1e-4f);  // Allegro turns (0, 5) a quarter to (5, 0); plus 10
    EXPECT_NEAR(p[1], 0.0f, 1e-4f);
    EXPECT_NEAR(p[2], 1.0f, 1e-4f);
}

TEST(ThingTransforms, AnIdentityRootPassesNoMatrixToItsChildren)
{
    THING root;
    THING* child = new THING();
    root.add_child(child);
    child->locate_rel(1, 2, 3);
    root.update_abs_matrix();
    expect_matrix_near(child->get_abs(), child->get_rel());
    EXPECT_TRUE(root.has_flags(THING_REL_IDENTITY));
}

TEST(ThingTransforms, LazyUpdateTouchesOnlyDirtyNodes)
{
    THING root;
    THING* a = new THING();
    THING* b = new THING();
    root.add_child(a);
    root.add_child(b);
    a->locate_rel(1, 0, 0);
    b->locate_rel(0, 1, 0);
    root.update_abs_matrix();
    EXPECT_FALSE(a->has_flags(THING_ABS_DIRTY));
    // Change b's rel behind its back: only a node marked dirty recomputes.
    b->locate_rel(0, 7, 0);
    a->clear_flags(THING_ABS_DIRTY);
    MATRIX_f stale = a->get_abs();
    root.update_abs_matrix();
    EXPECT_FLOAT_EQ(b->get_abs().t[1], 7.0f);
    expect_matrix_near(a->get_abs(), stale);
}

TEST(ThingTransforms, ADirtyParentMarksItsWholeSubtree)
{
    THING root;
    THING* parent = new THING();
    THING* child = new THING();
    root.add_child(parent);
    parent->add_child(child);
    child->locate_rel(0, 0, 1);
    root.update_abs_matrix();
    parent->locate_rel(5, 0, 0);
    EXPECT_TRUE(child->has_flags(THING_ABS_DIRTY | THING_MOVED));
    root.update_abs_matrix();
    EXPECT_FLOAT_EQ(child->get_abs().t[0], 5.0f);
    EXPECT_FLOAT_EQ(child->get_abs().t[2], 1.0f);
}

TEST(ThingTransforms, RtransformActsInTheLocalFrame)
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

TEST(ThingCollision, PointAgainstSphereCollidesUpToTheRadius)
{
    THING world;
    PROBE* rock = new PROBE();
    rock->set_model(new BALL_MODEL(5.0f));
    rock->set_flags(THING_PASSIVE_COLLIDER | THING_ACTIVE_COLLIDER);
    PROBE* bullet = new PROBE(BOUND_POINT);
    bullet->set_flags(THING_ACTIVE_COLLIDER);
    world.add_child(rock);
    world.add_child(bullet);
    bullet->locate_rel(5.0f, 0, 0);  // exactly at the radius: collides
    world.update_abs_matrix();
    world.check_intersect_children();
    ASSERT_EQ(rock->hits.size(), 1u);
    EXPECT_EQ(rock->hits[0], bullet);
    ASSERT_EQ(bullet->hits.size(), 1u);
    EXPECT_EQ(bullet->hits[0], rock);
    bullet->locate_rel(5.01f, 0, 0);
    world.update_abs_matrix();
    world.check_intersect_children();
    EXPECT_EQ(rock->hits.size(), 1u);
}

TEST(ThingCollision, TwoPointsNeverCollide)
{
    THING world;
    PROBE* a = new PROBE(BOUND_POINT);
    PROBE* b = new PROBE(BOUND_POINT);
    a->set_flags(THING_ACTIVE_COLLIDER);
    b->set_flags(THING_ACTIVE_COLLIDER);
    world.add_child(a);
    world.add_child(b);
    world.update_abs_matrix();
    world.check_intersect_children();
    EXPECT_TRUE(a->hits.empty());
    EXPECT_FALSE(a->does_intersect(b));
}

TEST(ThingCollision, PassivePairsAndNonCollidersNeverMeet)
{
    THING world;
    PROBE* a = new PROBE();
    PROBE* b = new PROBE();
    PROBE* c = new PROBE();
    for (PROBE* p : {a, b, c})
        p->set_model(new BALL_MODEL(1.0f));
    a->set_flags(THING_PASSIVE_COLLIDER);
    b->set_flags(THING_PASSIVE_COLLIDER);
    world.add_child(a);
    world.add_child(b);
    world.add_child(c);  // no collider bit at all
    world.update_abs_matrix();
    world.check_intersect_children();
    EXPECT_TRUE(a->hits.empty());
    EXPECT_TRUE(b->hits.empty());
    EXPECT_TRUE(c->hits.empty());
}

TEST(ThingCollision, UnmovedPairsAreSkippedUntilOneMoves)
{
    THING world;
    PROBE* a = new PROBE();
    PROBE* b = new PROBE();
    for (PROBE* p : {a, b}) {
        p->set_model(new BALL_MODEL(5.0f));
        p->set_flags(THING_PASSIVE_COLLIDER | THING_ACTIVE_COLLIDER);
        world.add_child(p);
    }
    world.update_abs_matrix();
    world.check_intersect_children();
    EXPECT_EQ(a->hits.size(), 1u);
    world.check_intersect_children();  // neither moved since
    EXPECT_EQ(a->hits.size(), 1u);
    b->locate_rel(1, 0, 0);
    world.update_abs_matrix();
    world.check_intersect_children();
    EXPECT_EQ(a->hits.size(), 2u);
}

TEST(ThingCollision, DeadOrExplodingThingsDoNotCollide)
{
    PROBE a, b;
    a.set_model(new BALL_MODEL(1.0f));
    b.set_model(new BALL_MODEL(1.0f));
    a.set_flags(THING_ACTIVE_COLLIDER);
    b.set_flags(THING_ACTIVE_COLLIDER);
    EXPECT_TRUE(a.does_intersect(&b));
    b.set_flags(THING_EXPLODING);
    EXPECT_FALSE(a.does_intersect(&b));
    EXPECT_FALSE(a.does_intersect(nullptr));
}

TEST(ThingCollision, GroundContactUsesTheBoxCorners)
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
}

TEST(ThingCollision, BoundingBoxCheckWorksInTheLocalFrame)
{
    THING t;
    t.set_model(new BALL_MODEL(1.0f));
    MATRIX_f m;
    get_rotation_matrix_f(&m, 0, 0, 32);  // an eighth turn
    m.t[0] = 100;
    t.set_rel(m);
    float centre[3] = {100, 0, 0.5f};
    float above[3] = {100, 0, 1.3f};
    float along_x[3] = {101.3f, 0, 0};     // 0.92 m along each turned axis: inside
    float diagonal[3] = {100.9f, 0.9f, 0};  // 1.27 m along one turned axis: outside
    EXPECT_TRUE(t.bounding_box_check(centre));
    EXPECT_FALSE(t.bounding_box_check(above));
    EXPECT_TRUE(t.bounding_box_check(along_x));
    EXPECT_FALSE(t.bounding_box_check(diagonal));
}

TEST(ThingLife, ExplodeNeedsExactlyTheExplodableBit)
{
    THING t;
    t.explode();
    EXPECT_FALSE(t.has_flags(THING_EXPLODING));
    t.set_flags(THING_EXPLODABLE);
    t.explode();
    EXPECT_TRUE(t.has_flags(THING_EXPLODING));
    EXPECT_FLOAT_EQ(t.get_explosion_delay_counter(), 1.0f);
    THING dead;
    dead.set_flags(THING_EXPLODABLE | THING_DEAD);
    dead.explode();
    EXPECT_FALSE(dead.has_flags(THING_EXPLODING));
}

TEST(ThingLife, ReceiveHitStartsTheCountdownOnce)
{
    THING t;
    t.set_flags(THING_EXPLODABLE);
    t.receive_hit(0.0f);
    EXPECT_FALSE(t.has_flags(THING_EXPLODING));
    t.receive_hit(0.001f);
    EXPECT_TRUE(t.has_flags(THING_EXPLODING));
    t.tick(0.4f);
    t.receive_hit(5.0f);  // a second hit does not restart the count-down
    EXPECT_NEAR(t.get_explosion_delay_counter(), 0.6f, 1e-6f);
    t.tick(0.7f);
    EXPECT_LT(t.get_explosion_delay_counter(), 0.0f);
    float before = t.get_explosion_delay_counter();
    t.tick(1.0f);  // the counter stops once below zero
    EXPECT_FLOAT_EQ(t.get_explosion_delay_counter(), before);
}

TEST(ThingLife, TickChildrenAdvancesTheSubtreeButNotTheNode)
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
    TICKER* a1 = new TICKER(&log, 11);
    TICKER* b = new TICKER(&log, 2);
    root.add_child(a);
    a->add_child(a1);
    root.add_child(b);
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

TEST(ThingModels, SharedModelsLiveWhileAnyHolderDoes)
{
    struct WATCHED : MODEL {
        explicit WATCHED(bool* gone) : gone(gone) {}
        ~WATCHED() override { *gone = true; }
        bool* gone;
    };
    bool gone = false;
    MODEL* shared = new WATCHED(&gone);
    THING* a = new THING();
    THING* b = new THING();
    a->set_model(shared);
    b->set_model(shared);
    EXPECT_EQ(shared->get_refcount(), 2);
    delete a;
    EXPECT_FALSE(gone);
    b->set_model(shared);  // setting the same model again keeps it
    EXPECT_FALSE(gone);
    b->set_model(nullptr);
    EXPECT_TRUE(gone);
    delete b;
}

TEST(ThingModels, ANeverHeldModelIsDestroyedByDeleteModel)
{
    bool gone = false;
    struct WATCHED : MODEL {
        explicit WATCHED(bool* gone) : gone(gone) {}
        ~WATCHED() override { *gone = true; }
        bool* gone;
    };
    delete_model(nullptr);
    delete_model(new WATCHED(&gone));
    EXPECT_TRUE(gone);
}

TEST(ThingViewpoint, ADestroyedViewpointDoesNotDangle)
{
    THING* t = new THING();
    select_viewpoint(t);
    EXPECT_EQ(get_viewpoint(), t);
    delete t;
    EXPECT_EQ(get_viewpoint(), nullptr);
}

TEST(ThingViewpoint, CheckViewpointDropsADeadViewpoint)
{
    THING t;
    select_viewpoint(&t);
    EXPECT_EQ(check_viewpoint(), &t);
    t.set_flags(THING_DEAD);
    EXPECT_EQ(check_viewpoint(), nullptr);
    select_viewpoint(nullptr);
}

TEST(ThingViewpoint, BackgroundNodesFollowTheViewpoint)
{
    THING eye;
    eye.locate_rel(3, 4, 5);
    eye.update_abs_matrix();
    select_viewpoint(&eye);
    BGTHING bg;
    bg.paint(PAINT_SOLID);
    EXPECT_FLOAT_EQ(bg.get_abs().t[0], 3.0f);
    EXPECT_FLOAT_EQ(bg.get_abs().t[2], 5.0f);
    select_viewpoint(nullptr);
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
}

TEST(ThingSound, PlayingWithoutAVoiceLeavesNoVoice)
{
    THING t;
    t.play_sound(nullptr, false);
    EXPECT_EQ(t.get_voice(), -1);
    t.update_sound();  // nothing to update, nothing breaks
}
