// A slow machine plays the same fight as a fast one: long frames are
// simulated in short slices, so bolts do not step over a drone.
#include <gtest/gtest.h>

#include <string>

#include "fight_scene.h"
#include "game/frame.h"
#include "vessel/vessel.h"

// Seconds of steady fire the interceptor needs to destroy a drone 400 m
// ahead at frames of dt; negative when it is still flying after a minute.
static float time_to_destroy(float dt)
{
    FIGHT_SCENE f(std::string(SORTIE_SOURCE_DIR) + "/data/", "interceptor.vcd");
    if (!f.player)
        return -2.0f;
    f.add_drone(0, 400, 500, "beta 1");
    f.player->select_nearest_target(THING_TARGETABLE, THING_NAVPOINT);
    testing::internal::CaptureStdout();
    float t = 0.0f;
    for (; t < 60.0f && f.player->get_target(); t += dt) {
        f.player->set_trigger(true);
        simulate_frame(f.g, dt);
    }
    testing::internal::GetCapturedStdout();
    return f.player->get_target() ? -1.0f : t;
}

TEST(FrameSlices, BoltsHitAsWellAtEightFramesASecondAsAtSixty)
{
    float fast = time_to_destroy(1.0f / 60.0f), slow = time_to_destroy(1.0f / 8.0f);
    ASSERT_GT(fast, 0.0f);
    ASSERT_GT(slow, 0.0f) << "the drone outlived a minute of fire at 8 frames a second";
    // At 8 frames a second the trigger is pressed once a frame, the fast
    // machine fires at the gun's own rate: the slow one may take a little longer.
    EXPECT_LT(slow, fast * 1.6f + 0.5f) << "at 60 fps: " << fast << " s";
}
