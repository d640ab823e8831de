// Skipping what the camera cannot see changes no pixel: the start scene drawn
// with culling and without, frame by frame, from the start view, the chase
// view and the cockpit with the guns firing.
#include <gtest/gtest.h>

#include "game/controls.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/render.h"
#include "game/world.h"
#include "gl_window.h"
#include "scene/view_cull.h"
#include "vessel/vessel.h"

TEST(ViewCullGl, CulledFramesMatchFullFramesPixelForPixel)
{
    GAME g;
    srand(1);
    ASSERT_TRUE(start_scene(g));
    select_viewpoint(nullptr);  // the free viewpoint the game begins with
    VESSEL* v = static_cast<VESSEL*>(g.player.get());
    int bolts_seen = 0;
    for (VIEW view : {VIEW_FIXED, VIEW_EXTERNAL, VIEW_PILOT}) {
        if (view != VIEW_FIXED) {
            ASSERT_TRUE(select_view(g, view)) << view;
        }
        if (view == VIEW_PILOT) {
            v->next_gun_type();  // the lasers: their bolts fly just in front of the camera
            v->set_trigger(true);
        }
        draw_frame(g);  // the first picture after a change of view differs in the HUD
        unsigned long skipped = 0;
        for (int frame = 0; frame < 30; frame++) {
            simulate_frame(g, 1.0f / 60.0f);
            place_cameras(g);
            follow_viewer(g);
            view_culling = false;
            draw_frame(g);
            auto full = gl_test_read();
            view_culling = true;
            draw_frame(g);
            skipped += view_cull_skipped;
            EXPECT_TRUE(gl_test_read() == full) << "view " << view << " frame " << frame;
            bolts_seen += view == VIEW_PILOT && g.player_projectile;
        }
        EXPECT_GT(skipped, 30 * 100u) << "view " << view;  // rocks behind, stars below the horizon
    }
    EXPECT_GT(bolts_seen, 0);
    destroy_world(g);
}
