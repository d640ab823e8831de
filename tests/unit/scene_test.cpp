// The scene node: child lists, transforms, collisions, death, models, the
// viewpoint, positional volume and the target screen's outline picture.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "core_test.h"
#include "render/model.h"
#include "scene/bgthing.h"
#include "scene/thing_ref.h"
#include "scene/vec3.h"
#include "ui/colors.h"

namespace {

// Counts destructions so tests can see what a removal deleted.
struct COUNTED : THING {
    explicit COUNTED(int* deaths) : deaths(deaths) {}
    ~COUNTED() override { ++*deaths; }
    int* deaths;
};

// A cube of half-side r; paints a filled square of r times the scale and
// remembers where it was asked to (x, y, scale).
struct BOX_MODEL : MODEL {
    explicit BOX_MODEL(float r, int* alive = nullptr) : r(r), alive(alive) { alive && ++*alive; }
    ~BOX_MODEL() override { alive && --*alive; }
    float get_r() override { return r; }
    float get_paint_r() override { return r; }
    void get_bounding_box_corner(int c, float* out) override { for (int a = 0; a < 3; a++) out[a] = (c >> a & 1) ? r : -r; }
    bool bounding_box_check(float* p) override { return fabsf(p[0]) <= r && fabsf(p[1]) <= r && fabsf(p[2]) <= r; }
    void allegro_paint(BITMAP* bmp, int x, int y, float scale) override
    {
        calls.push_back({(float)x, (float)y, scale});
        int h = (int)(r * scale / 2);
        rectfill(bmp, x - h, y - h, x + h, y + h, makecol32(255, 255, 255));
    }
    float r;
    int* alive;
    std::vector<V3> calls;
};

// Records intersection and ground callbacks.
struct PROBE : THING {
    explicit PROBE(float r = 0, unsigned f = THING_ACTIVE_COLLIDER, unsigned char bound = BOUND_SPHERE) : bound(bound)
    {
        set_model(r > 0 ? new BOX_MODEL(r) : nullptr), set_flags(f);
    }
    unsigned char get_bound_type() override { return bound; }
    void handle_intersect(THING* other) override { hits.push_back(other); }
    void handle_ground_intersect() override { ground_hits++; }
    unsigned char bound;
    std::vector<THING*> hits;
    int ground_hits = 0;
};

void place(THING& world, THING* t, float x, float y, float z) { t->locate_rel(x, y, z), world.update_abs_matrix(); }

int count_colour(BITMAP* bmp, int colour)
{
    int n = 0;
    for (int i = 0; i < bmp->w * bmp->h; i++)
        n += getpixel(bmp, i % bmp->w, i / bmp->w) == colour;
    return n;
}

}  // namespace

TEST(ThingTree, TheChildListKeepsItsEndsThroughChainsRemovalsAndDeaths)
{
    int deaths = 0;
    THING root;
    THING *a = new COUNTED(&deaths), *b = new COUNTED(&deaths), *c = new COUNTED(&deaths);
    a->insert(c);
    a->insert(b);  // a, b, c: added as one chain
    root.add_child(a);
    EXPECT_EQ(children_of(&root), (std::vector<THING*>{a, b, c}));
    EXPECT_TRUE(root.get_last_child() == c && c->get_parent() == &root);
    root.remove_child(c);
    EXPECT_EQ(root.get_last_child(), b);
    root.remove_child(a);
    EXPECT_TRUE(children_of(&root) == std::vector<THING*>{b} && deaths == 2);  // each removal deleted exactly one node
    root.remove_child(b);
    EXPECT_EQ(root.get_last_child(), nullptr);
    // Dead children at both ends and dead grandchildren go; the tail follows.
    std::vector<THING*> kids;
    for (int i = 0; i < 5; i++)
        root.add_child(kids.emplace_back(new COUNTED(&deaths)));
    THING* grandchild = new COUNTED(&deaths);
    kids[1]->add_child(grandchild);
    for (THING* t : {kids[0], kids[2], kids[3], kids[4], grandchild})
        t->set_flags(THING_DEAD);
    root.remove_dead_children();
    EXPECT_TRUE(deaths == 3 + 5 && children_of(&root) == std::vector<THING*>{kids[1]} && !kids[1]->get_last_child());
    THING* d = new THING();
    root.add_child(d);
    EXPECT_EQ(children_of(&root), (std::vector<THING*>{kids[1], d}));
}

TEST(ThingTransforms, AbsIsRelFollowedByTheParentsAbsAndMovesMarkTheSubtree)
{
    THING root;
    THING *parent = new THING(), *child = new THING();
    root.add_child(parent), parent->add_child(child);
    MATRIX_f turn;
    get_rotation_matrix_f(&turn, 0, 0, 64);  // a quarter turn about z
    turn.t[0] = 10;
    parent->set_rel(turn), child->locate_rel(0, 5, 1), root.update_abs_matrix();
    EXPECT_TRUE(root.has_flags(THING_REL_IDENTITY));
    EXPECT_TRUE(near3(child->get_abs().t, {15, 0, 1}, 1e-4f));  // Allegro turns (0, 5) a quarter to (5, 0); plus 10
    EXPECT_FALSE(child->has_flags(THING_ABS_DIRTY));
    parent->locate_rel(5, 0, 0);
    EXPECT_TRUE(child->has_flags(THING_ABS_DIRTY | THING_MOVED));
    root.update_abs_matrix();
    EXPECT_TRUE(near3(child->get_abs().t, {10, 0, 1}, 1e-4f));
    THING t;
    t.set_rel(turn), t.locate_rel(0, 0, 0);
    MATRIX_f step;
    get_translation_matrix_f(&step, 0, 1, 0);
    t.rtransform_rel(step);  // one unit along the thing's own y, which now points along x
    EXPECT_TRUE(near3(t.get_rel().t, {1, 0, 0}, 1e-5f));
    t.transform_rel(step);  // one unit along the parent's y
    EXPECT_TRUE(near3(t.get_rel().t, {1, 1, 0}, 1e-5f));
}

TEST(ThingTransforms, ChildrenWidenTheCachedRadius)
{
    THING root;
    EXPECT_EQ(root.get_radius(), 0.0f);
    THING* child = new THING();
    child->set_model(new BOX_MODEL(2.0f)), child->locate_rel(6, 0, 8), root.add_child(child);
    EXPECT_FLOAT_EQ(root.get_radius(), 12.0f);
    child->locate_rel(20, 0, 0);  // moving a child keeps the cache
    EXPECT_FLOAT_EQ(root.get_radius(), 12.0f);
    root.add_child(new THING());  // adding one clears it
    EXPECT_FLOAT_EQ(root.get_radius(), 22.0f);
    THING* hidden = new THING();
    hidden->set_model(new BOX_MODEL(50.0f)), hidden->locate_rel(0, 60, 80), hidden->set_flags(THING_HIDDEN), root.add_child(hidden);
    root.update_abs_matrix();
    EXPECT_FLOAT_EQ(root.get_paint_radius(), 22.0f);  // what paints: not the hidden one; the bare one adds nothing
    hidden->clear_flags(THING_HIDDEN);
    EXPECT_FLOAT_EQ(root.get_paint_radius(), 150.0f);
}

TEST(ThingCollision, SpheresMeetUpToTheirRadiiPointsOnlySpheresAndOnlyMovedPairs)
{
    THING world;
    PROBE* rock = new PROBE(5.0f, THING_PASSIVE_COLLIDER | THING_ACTIVE_COLLIDER);
    PROBE* bullet = new PROBE(0, THING_ACTIVE_COLLIDER, BOUND_POINT);
    world.add_child(rock), world.add_child(bullet);
    place(world, bullet, 3.0f, 4.0f, 0);  // exactly at the radius: collides
    world.check_intersect_children();
    EXPECT_TRUE(rock->hits == std::vector<THING*>{bullet} && bullet->hits == std::vector<THING*>{rock});
    EXPECT_FALSE(bullet->has_flags(THING_MOVED));
    world.check_intersect_children();  // nothing moved since; then past the box either side; in the box, past the sphere
    for (float x : {5.01f, -5.01f, 3.1f})
        place(world, bullet, x, x == 3.1f ? 4.0f : 0.0f, 0), world.check_intersect_children();
    EXPECT_EQ(rock->hits.size(), 1u);
    PROBE a(0, THING_ACTIVE_COLLIDER, BOUND_POINT), b(0, THING_ACTIVE_COLLIDER, BOUND_POINT);
    EXPECT_FALSE(a.does_intersect(&b));  // two points never meet, even in one place
    PROBE* small = new PROBE(1.0f, THING_ACTIVE_COLLIDER);
    world.add_child(small);
    for (float z : {5.9f, 6.1f})  // two spheres: the radii add up
        place(world, small, 0, 0, z), world.check_intersect_children();
    EXPECT_EQ(small->hits, (std::vector<THING*>{rock}));
}

TEST(ThingCollision, PassivePairsNonCollidersAndTheGoneNeverMeet)
{
    THING world;
    PROBE *a = new PROBE(1.0f, THING_PASSIVE_COLLIDER), *b = new PROBE(1.0f, THING_PASSIVE_COLLIDER);
    PROBE* c = new PROBE(1.0f, 0);  // no collider bit at all
    for (PROBE* p : {a, b, c})
        world.add_child(p);
    world.update_abs_matrix(), world.check_intersect_children();
    EXPECT_TRUE(a->hits.empty() && b->hits.empty() && c->hits.empty());
    EXPECT_FALSE(a->does_intersect(c) || c->does_intersect(a));
    c->set_flags(THING_ACTIVE_COLLIDER);
    EXPECT_TRUE(a->does_intersect(c));
    for (unsigned gone : {THING_EXPLODING, THING_DEAD}) {
        c->set_flags(gone);
        EXPECT_FALSE(a->does_intersect(c) || c->does_intersect(a)) << gone;
        c->clear_flags(gone);
    }
    EXPECT_FALSE(a->does_intersect(nullptr));
}

TEST(ThingCollision, GroundContactUsesTheBoxCornersInTheLocalFrame)
{
    THING world;
    PROBE *p = new PROBE(1.0f, THING_GROUND_CHECK), *bare = new PROBE(0, THING_GROUND_CHECK);  // no model: its origin
    world.add_child(p), world.add_child(bare);
    place(world, bare, 0, 0, 0.1f);
    for (float z : {1.5f, 1.0f})  // at 1.0 the lowest corner touches z = 0
        place(world, p, 0, 0, z), world.check_ground_intersect_children(0.0f);
    EXPECT_EQ(std::make_pair(p->ground_hits, bare->ground_hits), std::make_pair(1, 0));  // once, not once per corner
    world.check_ground_intersect_children(0.1f);
    EXPECT_EQ(std::make_pair(p->ground_hits, bare->ground_hits), std::make_pair(2, 1));
    p->clear_flags(THING_GROUND_CHECK), world.check_ground_intersect_children(5.0f);
    EXPECT_EQ(p->ground_hits, 2);
    THING t;
    MATRIX_f m;
    get_rotation_matrix_f(&m, 0, 0, 32);  // an eighth turn
    m.t[0] = 100, m.t[1] = -50, m.t[2] = 20;
    t.set_model(new BOX_MODEL(1.0f)), t.set_rel(m);
    float centre[3] = {100, -50, 20.5f}, above[3] = {100, -50, 21.3f};
    float along_x[3] = {101.3f, -50, 20};      // 0.92 m along each turned axis: inside
    float diagonal[3] = {100.9f, -49.1f, 20};  // 1.27 m along one turned axis: outside
    EXPECT_TRUE(t.bounding_box_check(centre) && t.bounding_box_check(along_x));
    EXPECT_FALSE(t.bounding_box_check(above) || t.bounding_box_check(diagonal));
}

TEST(ThingLife, AnExplodableThingCountsDownOnceFromTheFirstHit)
{
    THING plain, dead, t;
    plain.explode();
    dead.set_flags(THING_EXPLODABLE | THING_DEAD);
    dead.explode();
    EXPECT_FALSE(plain.has_flags(THING_EXPLODING) || dead.has_flags(THING_EXPLODING));
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
    THING* holders[3] = {new THING(), new THING(), new THING()};
    for (THING* h : holders)
        h->set_model(shared);
    EXPECT_EQ(shared->get_refcount(), 3);
    delete holders[0];
    holders[1]->set_model(shared);  // setting the same model again keeps it
    holders[1]->set_model(nullptr);
    EXPECT_EQ(std::make_pair(alive, shared->get_refcount()), std::make_pair(1, 1));
    holders[2]->set_model(new BOX_MODEL(1.0f, &alive));  // replacing gives the old one back
    EXPECT_EQ(alive, 1);
    delete holders[2];
    delete holders[1];
    EXPECT_EQ(alive, 0);
}

TEST(ThingViewpoint, ADeadOrDestroyedViewpointDoesNotDangleNorDoesAReference)
{
    THING world;
    THING *t = new THING(), *other = new THING();
    world.add_child(t), world.add_child(other);
    place(world, t, 3, 4, 5);
    select_viewpoint(t);
    EXPECT_EQ(check_viewpoint(), t);
    BGTHING bg;
    bg.paint(PAINT_SOLID);  // the background follows the viewer
    EXPECT_TRUE(near3(bg.get_abs().t, {3, 4, 5}, 0));
    THING_REF rt = t, ro = other, ro2 = ro;
    t->set_flags(THING_DEAD);
    EXPECT_EQ(check_viewpoint(), nullptr);
    select_viewpoint(t);
    world.remove_dead_children();
    EXPECT_TRUE(get_viewpoint() == nullptr && rt.get() == nullptr && ro.get() == other);
    world.remove_child(other);
    EXPECT_TRUE(ro.get() == nullptr && ro2.get() == nullptr);
}

TEST(ThingSound, VolumeFallsLinearlyToSilenceAtTheHearingDistance)
{
    const float ear[3] = {100, -200, 50};  // source: this far from the ear along x, y and z
    struct { float x, y, z, factor; int volume; } rows[] = {
        {0, 0, 0, 1, 255}, {600, -800, 0, 1, 127}, {0, 900, -1200, 1, 63}, {-1200, 0, 1599, 1, 0},
        {0, 0, 2000, 1, 0}, {-300, 0, 400, 0.5f, 95}, {0, 0, 0, 3, 255}, {NAN, 0, 0, 1, 0},
    };
    for (auto& r : rows) {
        float at[3] = {ear[0] + r.x, ear[1] + r.y, ear[2] + r.z};
        EXPECT_EQ(positional_volume(at, ear, r.factor), r.volume) << r.x << " " << r.y << " " << r.z;
    }
}

TEST(Outline, EdgesOnlyInColourTwoOnColourOneMadeAgainOnlyAfterAChange)
{
    int fg = get_kvor_color(2), bg = get_kvor_color(1);
    for (float r : {0.0f, 1e-44f, NAN, INFINITY, -5.0f}) {  // no finite scale: an empty picture
        THING u;
        BOX_MODEL* m = new BOX_MODEL(r);
        u.set_model(m);
        EXPECT_TRUE(count_colour(u.get_mfd_image(), bg) == 128 * 64 && m->calls.empty()) << r;
    }
    THING t;
    BOX_MODEL* m = new BOX_MODEL(200.0f);  // larger than the picture: scaled down
    t.set_model(m);
    BITMAP* img = t.get_mfd_image();
    ASSERT_EQ(m->calls.size(), 1u);
    EXPECT_EQ(m->calls[0], V3({64, 32, 63.0f / 200.0f}));
    // The square spans 64 +- 31 and 32 +- 31: inside and outside are
    // background, its border lines colour 2: above the top row it differs
    // from below, the right column differs from its right.
    EXPECT_EQ(std::vector<int>({getpixel(img, 64, 32), getpixel(img, 10, 32), getpixel(img, 64, 0), getpixel(img, 95, 32),
                                getpixel(img, 32, 32)}), std::vector<int>({bg, bg, fg, fg, fg}));
    int edge = count_colour(img, fg);
    EXPECT_TRUE(edge > 4 * 60 && edge < 4 * 66) << edge;
    EXPECT_EQ(edge + count_colour(img, bg), 128 * 64);
    t.get_mfd_image();  // made again only after a child comes or goes
    BOX_MODEL* small = new BOX_MODEL(1.0f);
    THING* kid = new THING();
    kid->set_model(small), kid->locate_rel(4, 2, 0), t.add_child(kid), t.get_mfd_image();
    ASSERT_TRUE(m->calls.size() == 2u && small->calls.size() == 1u);
    EXPECT_TRUE(small->calls[0][0] > m->calls[1][0] && small->calls[0][1] < m->calls[1][1]);  // right of and above its parent
    t.get_first_child()->set_flags(THING_DEAD);
    t.remove_dead_children(), t.get_mfd_image();
    EXPECT_EQ(m->calls.size(), 3u);
}

TEST(ThreeVectors, LengthDotAndDistanceOfVectorsOffEveryAxis)
{
    const float a[3] = {3, 4, 12}, b[3] = {1, 1, 6};
    EXPECT_EQ(std::make_tuple(length3(a), dot3(a, b), distance3(a, b), distance3(b, a)), std::make_tuple(13.0f, 79.0f, 7.0f, 7.0f));
}
