// Choosing a target among the vessel's siblings.
#include <gtest/gtest.h>

#include "scene/thing.h"
#include "vessel/targeting.h"
#include "vessel/vessel.h"

namespace {

// World order: a, vessel, buoy, rock, d.
struct SCENE {
    SCENE()
    {
        a = thing(THING_TARGETABLE, 0, 10, 0);
        vessel = new VESSEL();
        world.add_child(vessel);
        buoy = thing(THING_TARGETABLE | THING_NAVPOINT, 0, 50, 0);
        rock = thing(0, 0, 3, 0);
        d = thing(THING_TARGETABLE, 30, -40, 0);
        world.update_abs_matrix();
    }
    THING* thing(unsigned flags, float x, float y, float z)
    {
        THING* t = new THING();
        t->set_flags(flags);
        t->locate_rel(x, y, z);
        world.add_child(t);
        return t;
    }
    THING world;
    THING *a, *buoy, *rock, *d;
    VESSEL* vessel;
};

}  // namespace

TEST(SiblingSearch, FirstNextPrevLast)
{
    SCENE s;
    THING* list = s.world.get_first_child();
    EXPECT_EQ(find_first_thing_attr(list, THING_NAVPOINT, 0), s.buoy);
    EXPECT_EQ(find_next_thing_attr(s.a, THING_TARGETABLE, THING_NAVPOINT), s.vessel);
    EXPECT_EQ(find_next_thing_attr(nullptr, 0, 0), nullptr);
    EXPECT_EQ(find_prev_thing_attr(list, s.d, THING_TARGETABLE, 0), s.buoy);
    EXPECT_EQ(find_prev_thing_attr(list, nullptr, THING_TARGETABLE, 0), s.d);
    EXPECT_EQ(find_last_thing_attr(list, THING_NAVPOINT, 0), s.buoy);
    EXPECT_EQ(find_prev_thing_attr(list, s.a, 0, 0), nullptr);
    EXPECT_EQ(find_prev_thing(list, s.rock), s.buoy);
    EXPECT_EQ(find_prev_thing(list, s.a), nullptr);
    THING stranger;
    EXPECT_EQ(find_prev_thing(list, &stranger), nullptr);
}

TEST(TargetSelection, NextSkipsItselfAndWraps)
{
    SCENE s;
    s.vessel->select_next_target(THING_TARGETABLE, THING_NAVPOINT);
    EXPECT_EQ(s.vessel->get_target(), s.a);
    s.vessel->select_next_target(THING_TARGETABLE, THING_NAVPOINT);
    EXPECT_EQ(s.vessel->get_target(), s.d);  // past itself and the buoy
    s.vessel->select_next_target(THING_TARGETABLE, THING_NAVPOINT);
    EXPECT_EQ(s.vessel->get_target(), s.a);  // wrapped
    s.a->set_flags(THING_EXPLODING);
    s.vessel->select_next_target(THING_TARGETABLE, THING_NAVPOINT);
    EXPECT_EQ(s.vessel->get_target(), s.d);
}

TEST(TargetSelection, NextWithOnlyItselfMatchingIsNone)
{
    THING world;
    VESSEL* v = new VESSEL();
    world.add_child(v);
    v->set_target(v);
    v->select_next_target(THING_TARGETABLE, 0);
    EXPECT_EQ(v->get_target(), nullptr);
    v->select_next_target(THING_TARGETABLE, 0);
    EXPECT_EQ(v->get_target(), nullptr);
}

TEST(TargetSelection, PrevStepsBackAndWrapsToTheEnd)
{
    SCENE s;
    s.vessel->select_prev_target(THING_TARGETABLE, THING_NAVPOINT);
    EXPECT_EQ(s.vessel->get_target(), s.d);
    s.vessel->select_prev_target(THING_TARGETABLE, THING_NAVPOINT);
    EXPECT_EQ(s.vessel->get_target(), s.a);  // past itself
    s.vessel->select_prev_target(THING_TARGETABLE, THING_NAVPOINT);
    EXPECT_EQ(s.vessel->get_target(), s.d);  // from the first node to the end
    VESSEL lone;
    lone.set_target(s.a);
    lone.select_prev_target(THING_TARGETABLE, 0);  // no parent: unchanged
    EXPECT_EQ(lone.get_target(), s.a);
}

TEST(TargetSelection, NearestWithinAHundredKilometres)
{
    SCENE s;
    s.vessel->locate_rel(0, -20, 0);  // distances count from the vessel, not the origin
    s.world.update_abs_matrix();
    s.vessel->select_nearest_target(THING_TARGETABLE, THING_NAVPOINT);
    EXPECT_EQ(s.vessel->get_target(), s.a);  // 30 m; d is 36 m, the rock is not targetable
    s.a->locate_rel(0, 99980, 0);
    s.d->locate_rel(0, -100021, 0);
    s.world.update_abs_matrix();
    s.vessel->select_nearest_target(THING_TARGETABLE, THING_NAVPOINT);
    EXPECT_EQ(s.vessel->get_target(), nullptr);
    s.a->locate_rel(0, 99979, 0);
    s.world.update_abs_matrix();
    s.vessel->select_nearest_target(THING_TARGETABLE, THING_NAVPOINT);
    EXPECT_EQ(s.vessel->get_target(), s.a);
}

TEST(TargetSelection, AheadPicksTheSmallestAngleOffTheNose)
{
    SCENE s;
    s.vessel->select_ahead_target(THING_TARGETABLE, 0);
    EXPECT_EQ(s.vessel->get_target(), s.a);  // the buoy is as straight ahead but later
    s.a->locate_rel(1, 10, 0);
    s.world.update_abs_matrix();
    s.vessel->select_ahead_target(THING_TARGETABLE, 0);
    EXPECT_EQ(s.vessel->get_target(), s.buoy);
    s.a->locate_rel(0, -10, 0);
    s.buoy->locate_rel(0, -1, 5);
    s.world.update_abs_matrix();
    s.vessel->select_ahead_target(THING_TARGETABLE, 0);
    EXPECT_EQ(s.vessel->get_target(), nullptr);  // everything behind
}
