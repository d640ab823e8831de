// Pause and key help, headless: a paused world stands still whatever the
// timer counted, and the key table pages fit the message console.
#include <gtest/gtest.h>

#include <allegro.h>

#include <string>
#include <vector>

#include "console_text.h"
#include "game/controls.h"
#include "game/game.h"
#include "game/globals.h"
#include "game/key_help.h"
#include "game/messages.h"
#include "game/pause.h"
#include "game/render.h"
#include "game/targets.h"
#include "game/world.h"
#include "scene/thing.h"
#include "test_allegro.h"
#include "ui/qconsole.h"
#include "vessel/slotthing.h"
#include "vessel/vessel.h"

namespace {

const int FRAME_TICKS = 3;  // 1/60 s of the 180 Hz timer

// The start of a flight with the shipped data: the first vessel at full
// throttle and firing, and a wave of targets, one of them counting down to
// its burst.
struct FLIGHT {
    FLIGHT() : saved(data_path), dir(std::string(SORTIE_SOURCE_DIR) + "/data/")
    {
        ensure_headless_allegro();
        data_path = dir.c_str();
        create_world_roots(g);
        EXPECT_TRUE(first_vessel_configuration(g.vessel_path, sizeof(g.vessel_path)));
        add_player_vessel(g);
        respawn_targets(g.world);
        vessel()->set_thrust(1.0f, 1);
        vessel()->set_trigger(true);
        target = g.world->get_last_child();
        target->explode();
    }
    ~FLIGHT()
    {
        destroy_world(g);
        data_path = saved;
    }
    VESSEL* vessel() { return static_cast<VESSEL*>(g.player.get()); }
    // Where everything in the world is, shots included.
    std::vector<float> positions()
    {
        std::vector<float> p;
        for (THING* t = g.world->get_first_child(); t; t = t->get_next())
            p.insert(p.end(), t->get_abs().t, t->get_abs().t + 3);
        return p;
    }
    // Shots held by all the vessel's items, or what they can hold at most.
    float ammunition(bool most = false)
    {
        float sum = 0;
        for (int i = 0; i < 32; i++)
            if (auto* item = static_cast<SLOTTHING*>(vessel()->get_slot_item(i)))
                sum += most ? item->get_maxammo() : item->get_ammo();
        return sum;
    }

    const char* saved;
    std::string dir;
    GAME g;
    THING* target = nullptr;
};

}  // namespace

TEST(Pause, APausedWorldStandsStillAndResumingTakesAnOrdinaryStep)
{
    FLIGHT f;
    volatile int ticks = FRAME_TICKS;
    advance_frame(f.g, ticks);
    EXPECT_EQ(ticks, 0);
    float vel[3], pos[3];
    f.vessel()->get_vel(vel);
    ASSERT_GT(vel[1], 0.0f);  // under way
    for (int i = 0; i < 3; i++)
        pos[i] = f.vessel()->get_abs().t[i];
    std::vector<float> positions = f.positions();
    float count_down = f.target->get_explosion_delay_counter();
    float ammunition = f.ammunition();
    ASSERT_LT(ammunition, f.ammunition(true));  // fired, and reloading
    int frames = f.g.fps_frames;

    dispatch_key(f.g, KEY_P);
    ASSERT_TRUE(f.g.paused);
    for (int frame = 0; frame < 120; frame++) {
        ticks = 90;  // slow paused frames: half a second each
        advance_frame(f.g, ticks);
        EXPECT_EQ(ticks, 0);
    }
    dispatch_key(f.g, KEY_F9);     // more targets wait for the world to run
    dispatch_key(f.g, KEY_5_PAD);  // so does the reset
    float vel_paused[3];
    f.vessel()->get_vel(vel_paused);
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(vel_paused[i], vel[i]);
    EXPECT_EQ(f.positions(), positions);  // no thing moved, came or went
    EXPECT_EQ(f.target->get_explosion_delay_counter(), count_down);
    EXPECT_EQ(f.ammunition(), ammunition);
    EXPECT_EQ(f.g.fps_frames, frames);

    dispatch_key(f.g, KEY_P);
    ASSERT_FALSE(f.g.paused);
    ticks = FRAME_TICKS;
    advance_frame(f.g, ticks);
    // One sixtieth of a second, not the minute the pause lasted.
    EXPECT_NEAR(f.target->get_explosion_delay_counter(), count_down - 1.0f / 60, 1e-5f);
    float moved = 0;
    for (int i = 0; i < 3; i++)
        moved += (f.vessel()->get_abs().t[i] - pos[i]) * (f.vessel()->get_abs().t[i] - pos[i]);
    EXPECT_GT(moved, 0.0f);
    EXPECT_LT(moved, 1.0f);
    EXPECT_FALSE(f.vessel()->is_dead());
}

namespace {

// Remembers the last trigger state it was given.
struct TRIGGER_VESSEL : VESSEL {
    void set_trigger(bool on) override
    {
        held = on;
        VESSEL::set_trigger(on);
    }
    bool held = false;
};

}  // namespace

TEST(Pause, PausingLetsGoOfTheTriggerAndLeavesEscapeAndTheViewsWorking)
{
    ensure_headless_allegro();
    GAME g;
    dispatch_key(g, KEY_P);  // before there is any vessel
    EXPECT_TRUE(g.paused);
    dispatch_key(g, KEY_P);
    create_world_roots(g);
    TRIGGER_VESSEL* v = new TRIGGER_VESSEL();
    g.world->add_child(v);
    g.player = v;
    v->set_trigger(true);  // fire held as P goes down
    dispatch_key(g, KEY_P);
    EXPECT_FALSE(v->held);
    dispatch_key(g, KEY_F2);
    EXPECT_EQ(g.view_thing.get(), g.camera_thing.get());
    dispatch_key(g, KEY_ESC);
    EXPECT_TRUE(g.quit);
    destroy_world(g);
}

TEST(KeyHelp, HShowsTheKeyTablePageByPageInRowsThatFitTheConsole)
{
    ensure_headless_allegro();
    int saved_modes[5];
    for (int i = 0; i < 5; i++)
        saved_modes[i] = mfd_screen_mode[i];
    GAME g;
    int pages = key_help_pages();
    ASSERT_GE(pages, 2);
    int shown = 0;
    for (int page = 1; page <= pages + 1; page++) {
        free_messages();
        set_message_font(font);
        dispatch_key(g, KEY_H);
        std::string title = "Keys " + std::to_string(page > pages ? 1 : page) + "/" + std::to_string(pages);
        EXPECT_EQ(console_row(msg_qc, 0).rfind(title, 0), 0u) << console_row(msg_qc, 0);
        if (page > pages)
            break;  // round again
        int row = 1;
        for (; !console_row(msg_qc, row).empty(); row++, shown++) {
            ASSERT_LT(shown, key_help_count);
            // Keys and meaning on one row: nothing wrapped onto the next.
            std::string text = console_row(msg_qc, row);
            std::string does = key_help[shown].does;
            EXPECT_EQ(text.rfind(key_help[shown].keys, 0), 0u) << text;
            ASSERT_GE(text.size(), does.size());
            EXPECT_EQ(text.substr(text.size() - does.size()), does) << text;
        }
        EXPECT_LE(row, msg_qc->get_rows());
    }
    EXPECT_EQ(shown, key_help_count);
    // The console came onto a panel, where the player can read it.
    EXPECT_TRUE(mfd_screen_mode[help_panel] < 0 || mfd_screen_mode[help_panel] > 4);
    free_messages();
    for (int i = 0; i < 5; i++)
        mfd_screen_mode[i] = saved_modes[i];
}
