// Sideways thrust of the shipped vessels: the slide channel pushes the way it
// is told, and the linear stabilizer damps sideways drift.
#include <gtest/gtest.h>

#include <allegro.h>

#include "scene/thing.h"
#include "shipped_data.h"
#include "vessel/vessel.h"

namespace {

const float DT = 1.0f / 60.0f;  // s per tick

// A vessel 1000 m up with its stabilizers on, in a world of its own; answers
// its world x velocity after the given seconds.
float sideways_after(const SHIPPED_DATA& data, const char* vcd, float seconds, float slide, float drift)
{
    THING world;
    VESSEL* v = new VESSEL();
    v->load_vcd(data.file(vcd).c_str());
    v->set_stabilizer(true);
    v->set_rstabilizer(true);
    v->locate_rel(0, 0, 1000);
    world.add_child(v);
    world.update_abs_matrix();
    float impulse[3] = {drift * v->get_m(), 0, 0};
    v->set_impulse(impulse);
    v->set_thrust(slide, 0);
    for (int i = 0; i < int(seconds / DT); i++) {
        world.tick_children(DT);
        world.update_abs_matrix();
    }
    float vel[3];
    v->get_vel(vel);
    return vel[0];
}

}  // namespace

TEST(Slide, ShippedVesselsSlideRightWhenToldAndDriftDiesAway)
{
    SHIPPED_DATA data;
    for (const char* vcd : {"victim.vcd", "allrounder.vcd", "interceptor.vcd", "gunship.vcd", "carrier.vcd"}) {
        SCOPED_TRACE(vcd);
        EXPECT_GT(sideways_after(data, vcd, 2.0f, 1.0f, 0.0f), 5.0f);    // right is +x
        EXPECT_LT(sideways_after(data, vcd, 2.0f, -1.0f, 0.0f), -5.0f);
        // 5 m/s of drift with nothing asked for: less of it after 10 s.
        float left = sideways_after(data, vcd, 10.0f, 0.0f, 5.0f);
        EXPECT_GE(left, 0.0f);
        EXPECT_LT(left, 2.5f);
    }
}
