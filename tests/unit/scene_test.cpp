// The scene node: child lists, transforms, collisions, death, models, the
// viewpoint, positional volume and the target screen's outline picture.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <vector>

#include "render/model.h"
#include "scene/bgthing.h"
#include "scene/thing.h"
#include "scene/thing_ref.h"
#include "ui/colors.h"

namespace {

// Counts destructions so tests can see what a removal deleted.
struct COUNTED : THING {
    explicit COUNTED(int* deaths) : deaths(deaths) {}
    ~COUNTED() override { ++*deaths; }
    int* deaths;
};

// A cube of half-side r; paints a filled square of r times the scale and
// remembers where it was asked to.
struct BOX_MODEL : MODEL {
    explicit BOX_MODEL(float r, int* alive = nullptr) : r(r), alive(alive)
    {
        if (alive)
            ++*alive;
    }
    ~BOX_MODEL() override
    {
        if (alive)
            --*alive;
    }
    float get_r() override { return r; }
    void get_bounding_box_corner(int c, float* out) override
    {
        for (int a = 0; a < 3; a++)
            out[a] = (c >> a & 1) ? r : -r;
    }
    bool bounding_box_check(float* p) override { return fabsf(p[0]) <= r && fabsf(p[1]) <= r && fabsf(p[2]) <= r; }
    void allegro_paint(BITMAP* bmp, int x, int y, float scale) override
    {
        calls.push_back({x, y, scale});
        int h = (int)(r * scale / 2);
        rectfill(bmp, x - h, y - h, x + h, y + h, makecol32(255, 255, 255));
    }
    struct CALL {
        int x, y;
        float scale;
    };
    float r;
    int* alive;
    std::vector<CALL> calls;
};

// Records intersection and ground callbacks.
struct PROBE : THING {
    explicit PROBE(float r = 0, unsigned f = THING_ACTIVE_COLLIDER, unsigned char bound = BOUND_SPHERE) : bound(bound)
    {
        if (r > 0)
            set_model(new BOX_MODEL(r));
        set_flags(f);
    }
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

void place(THING& world, THING* t, float x, float y, float z)
{
    t->locate_rel(x, y, z);
    world.update_abs_matrix();
}

int count_colour(BITMAP* bmp, int colour)
{
    int n = 0;
    for (int y = 0; y < bmp->h; y++)
        for (int x = 0; x < bmp->w; x++)
            n += getpixel(bmp, x, y) == colour;
    return n;
}

}  // namespace

TEST(ThingTree, TheChildListKeepsItsEndsThroughChainsRemovalsAndDeaths)
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
    EXPECT_EQ(c->get_parent(), &root);
    root.remove_child(c);
    EXPECT_EQ(root.get_last_child(), b);
    root.remove_child(a);
    EXPECT_EQ(children(&root), (std::vector<THING*>{b}));
    EXPECT_EQ(deaths, 2);  // each removal deleted exactly one node
    root.remove_child(b);
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
    EXPECT_EQ(kids[1]->get_last_child(), nullptr);
    THING* d = new THING();
    root.add_child(d);
    EXPECT_EQ(children(&root), (std::vector<THING*>{kids[1], d}));
}

TEST(ThingTransforms, AbsIsRelFollowedByTheParentsAbsAndMovesMarkTheSubtree)
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
    const MATRIX_f& abs = child->get_abs();
    EXPECT_NEAR(abs.t[0], 15.0f, 1e-4f);  // Allegro turns (0, 5) a quarter to (5, 0); plus 10
    EXPECT_NEAR(abs.t[1], 0.0f, 1e-4f);
    EXPECT_NEAR(abs.t[2], 1.0f, 1e-4f);
    EXPECT_FALSE(child->has_flags(THING_ABS_DIRTY));
    parent->locate_rel(5, 0, 0);
    EXPECT_TRUE(child->has_flags(THING_ABS_DIRTY | THING_MOVED));
    root.update_abs_matrix();
    EXPECT_NEAR(child->get_abs().t[0], 10.0f, 1e-4f);
    EXPECT_NEAR(child->get_abs().t[1], 0.0f, 1e-4f);

    THING t;
    t.set_rel(turn);
    t.locate_rel(0, 0, 0);
    MATRIX_f step;
    get_translation_matrix_f(&step, 0, 1, 0);
    t.rtransform_rel(step);  // one unit along the thing's own y, which now points along x
    EXPECT_NEAR(t.get_rel().t[0], 1.0f, 1e-5f);
    EXPECT_NEAR(t.get_rel().t[1], 0.0f, 1e-5f);
    t.transform_rel(step);   // one unit along the parent's y
    EXPECT_NEAR(t.get_rel().t[1], 1.0f, 1e-5f);
}

TEST(ThingTransforms, ChildrenWidenTheCachedRadius)
{
    THING root;
    EXPECT_EQ(root.get_radius(), 0.0f);
    THING* child = new THING();
    child->set_model(new BOX_MODEL(2.0f));
    child->locate_rel(6, 0, 8);
    root.add_child(child);
    EXPECT_FLOAT_EQ(root.get_radius(), 12.0f);
    child->locate_rel(20, 0, 0);  // moving a child keeps the cache
    EXPECT_FLOAT_EQ(root.get_radius(), 12.0f);
    root.add_child(new THING());  // adding one clears it
    EXPECT_FLOAT_EQ(root.get_radius(), 22.0f);
}

TEST(ThingCollision, SpheresMeetUpToTheirRadiiPointsOnlySpheresAndOnlyMovedPairs)
{
    THING world;
    PROBE* rock = new PROBE(5.0f, THING_PASSIVE_COLLIDER | THING_ACTIVE_COLLIDER);
    PROBE* bullet = new PROBE(0, THING_ACTIVE_COLLIDER, BOUND_POINT);
    world.add_child(rock);
    world.add_child(bullet);
    place(world, bullet, 3.0f, 4.0f, 0);  // exactly at the radius: collides
    world.check_intersect_children();
    EXPECT_EQ(rock->hits, (std::vector<THING*>{bullet}));
    EXPECT_EQ(bullet->hits, (std::vector<THING*>{rock}));
    EXPECT_FALSE(bullet->has_flags(THING_MOVED));
    world.check_intersect_children();  // nothing moved since
    EXPECT_EQ(rock->hits.size(), 1u);
    for (float x : {5.01f, -5.01f, 3.1f}) {  // past the box either side; in the box, past the sphere
        place(world, bullet, x, x == 3.1f ? 4.0f : 0.0f, 0);
        world.check_intersect_children();
        EXPECT_EQ(rock->hits.size(), 1u) << x;
    }
    PROBE a(0, THING_ACTIVE_COLLIDER, BOUND_POINT), b(0, THING_ACTIVE_COLLIDER, BOUND_POINT);
    EXPECT_FALSE(a.does_intersect(&b));  // two points never meet, even in one place
    PROBE* small = new PROBE(1.0f, THING_ACTIVE_COLLIDER);
    world.add_child(small);
    place(world, small, 0, 0, 5.9f);  // two spheres: the radii add up
    world.check_intersect_children();
    EXPECT_EQ(small->hits, (std::vector<THING*>{rock}));
    place(world, small, 0, 0, 6.1f);
    world.check_intersect_children();
    EXPECT_EQ(small->hits.size(), 1u);
}

TEST(ThingCollision, PassivePairsNonCollidersAndTheGoneNeverMeet)
{
    THING world;
    PROBE* a = new PROBE(1.0f, THING_PASSIVE_COLLIDER);
    PROBE* b = new PROBE(1.0f, THING_PASSIVE_COLLIDER);
    PROBE* c = new PROBE(1.0f, 0);  // no collider bit at all
    for (PROBE* p : {a, b, c})
        world.add_child(p);
    world.update_abs_matrix();
    world.check_intersect_children();
    EXPECT_TRUE(a->hits.empty() && b->hits.empty() && c->hits.empty());
    EXPECT_FALSE(a->does_intersect(c));
    EXPECT_FALSE(c->does_intersect(a));
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
    PROBE* p = new PROBE(1.0f, THING_GROUND_CHECK);
    PROBE* bare = new PROBE(0, THING_GROUND_CHECK);  // no model: its origin
    world.add_child(p);
    world.add_child(bare);
    place(world, bare, 0, 0, 0.1f);
    for (float z : {1.5f, 1.0f}) {  // at 1.0 the lowest corner touches z = 0
        place(world, p, 0, 0, z);
        world.check_ground_intersect_children(0.0f);
    }
    EXPECT_EQ(p->ground_hits, 1);  // once, not once per corner
    EXPECT_EQ(bare->ground_hits, 0);
    world.check_ground_intersect_children(0.1f);
    EXPECT_EQ(bare->ground_hits, 1);
    EXPECT_EQ(p->ground_hits, 2);
    p->clear_flags(THING_GROUND_CHECK);
    world.check_ground_intersect_children(5.0f);
    EXPECT_EQ(p->ground_hits, 2);

    THING t;
    t.set_model(new BOX_MODEL(1.0f));
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

TEST(ThingLife, AnExplodableThingCountsDownOnceFromTheFirstHit)
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
    t.tick(0.4f);
    t.receive_hit(5.0f);  // a second hit does not restart the count-down
    t.explode();
    EXPECT_NEAR(t.get_explosion_delay_counter(), 0.6f, 1e-6f);
    t.tick(0.7f);
    float below = t.get_explosion_delay_counter();
    EXPECT_NEAR(below, -0.1f, 1e-6f);
    t.tick(1.0f);  // the counter stops once below zero
    EXPECT_FLOAT_EQ(t.get_explosion_delay_counter(), below);
}

TEST(ThingModels, ASharedModelLivesWhileAnyHolderDoes)
{
    int alive = 0;
    MODEL* shared = new BOX_MODEL(1.0f, &alive);
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
    holders[2]->set_model(new BOX_MODEL(1.0f, &alive));  // replacing gives the old one back
    EXPECT_EQ(alive, 1);
    delete holders[2];
    delete holders[1];
    EXPECT_EQ(alive, 0);
}

TEST(ThingViewpoint, ADeadOrDestroyedViewpointDoesNotDangleNorDoesAReference)
{
    THING world;
    THING* t = new THING();
    THING* other = new THING();
    world.add_child(t);
    world.add_child(other);
    place(world, t, 3, 4, 5);
    select_viewpoint(t);
    EXPECT_EQ(check_viewpoint(), t);
    BGTHING bg;
    bg.paint(PAINT_SOLID);  // the background follows the viewer
    EXPECT_FLOAT_EQ(bg.get_abs().t[0], 3.0f);
    EXPECT_FLOAT_EQ(bg.get_abs().t[2], 5.0f);
    THING_REF rt = t, ro = other, ro2 = ro;
    t->set_flags(THING_DEAD);
    EXPECT_EQ(check_viewpoint(), nullptr);
    select_viewpoint(t);
    world.remove_dead_children();
    EXPECT_EQ(get_viewpoint(), nullptr);
    EXPECT_EQ(rt.get(), nullptr);
    EXPECT_EQ(ro.get(), other);
    world.remove_child(other);
    EXPECT_EQ(ro.get(), nullptr);
    EXPECT_EQ(ro2.get(), nullptr);
}

TEST(ThingSound, VolumeFallsLinearlyToSilenceAtTheHearingDistance)
{
    struct { float dist, factor; int volume; } rows[] = {
        {0, 1, 255}, {1000, 1, 127}, {1500, 1, 63}, {1999, 1, 0}, {2000, 1, 0},
        {500, 0.5f, 95}, {0, 3, 255}, {NAN, 1, 0}, {-10, 1, 255},
    };
    for (auto& r : rows)
        EXPECT_EQ(positional_volume(r.dist, r.factor), r.volume) << r.dist << " " << r.factor;
    THING t;
    t.play_sound(nullptr, false);
    EXPECT_EQ(t.get_voice(), -1);
}

TEST(Outline, EdgesOnlyInColourTwoOnColourOneMadeAgainOnlyAfterAChange)
{
    int fg = get_kvor_color(2), bg = get_kvor_color(1);
    for (float r : {0.0f, 1e-44f, NAN, INFINITY, -5.0f}) {  // no finite scale: an empty picture
        THING u;
        BOX_MODEL* m = new BOX_MODEL(r);
        u.set_model(m);
        EXPECT_EQ(count_colour(u.get_mfd_image(), bg), 128 * 64) << r;
        EXPECT_TRUE(m->calls.empty()) << r;
    }
    THING t;
    BOX_MODEL* m = new BOX_MODEL(20.0f);
    t.set_model(m);
    BITMAP* img = t.get_mfd_image();
    ASSERT_EQ(m->calls.size(), 1u);
    EXPECT_EQ(m->calls[0].x, 64);
    EXPECT_EQ(m->calls[0].y, 32);
    EXPECT_FLOAT_EQ(m->calls[0].scale, 63.0f / 20.0f);
    // The square spans 64 +- 31 and 32 +- 31: inside and outside are
    // background, its border lines colour 2.
    EXPECT_EQ(getpixel(img, 64, 32), bg);
    EXPECT_EQ(getpixel(img, 10, 32), bg);
    EXPECT_EQ(getpixel(img, 64, 0), fg);   // above the top row: differs from below
    EXPECT_EQ(getpixel(img, 95, 32), fg);  // the right column differs from its right
    EXPECT_EQ(getpixel(img, 32, 32), fg);
    int edge = count_colour(img, fg);
    EXPECT_GT(edge, 4 * 60);
    EXPECT_LT(edge, 4 * 66);
    EXPECT_EQ(edge + count_colour(img, bg), 128 * 64);
    t.get_mfd_image();
    EXPECT_EQ(m->calls.size(), 1u);
    t.add_child(new THING());
    t.get_mfd_image();
    EXPECT_EQ(m->calls.size(), 2u);
    t.get_first_child()->set_flags(THING_DEAD);
    t.remove_dead_children();
    t.get_mfd_image();
    EXPECT_EQ(m->calls.size(), 3u);
}
