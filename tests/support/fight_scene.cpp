#include "fight_scene.h"

#include <allegro.h>

#include <cstdio>

#include "game/globals.h"
#include "game/messages.h"
#include "game/world.h"
#include "test_allegro.h"
#include "vessel/vessel.h"

FIGHT_SCENE::FIGHT_SCENE(const std::string& data_dir, const char* configuration)
    : dir(data_dir), saved_path(data_path)
{
    ensure_headless_allegro();
    data_path = dir.c_str();
    if (!build_scene(g))
        return;
    g.target_waves = false;
    snprintf(g.vessel_path, sizeof g.vessel_path, "%s%s", data_path, configuration);
    add_player_vessel(g);
    player = static_cast<VESSEL*>(g.player.get());
    player->reset_matrices();
    player->locate_rel(0, 0, 500);
    player->set_stabilizer(true);
    player->set_rstabilizer(true);
    g.world->update_abs_matrix();
    free_messages();
    set_message_font(font);
}

FIGHT_SCENE::~FIGHT_SCENE()
{
    free_messages();
    destroy_world(g);
    data_path = saved_path;
}

VESSEL* FIGHT_SCENE::add_drone(float x, float y, float z, const char* id)
{
    VESSEL* drone = new VESSEL();
    drone->load_vcd((dir + "victim.vcd").c_str());
    drone->set_id_string(id);
    drone->set_team(2);
    drone->set_stabilizer(true);
    drone->set_rstabilizer(true);
    drone->locate_rel(x, y, z);
    g.world->add_child(drone);
    g.world->update_abs_matrix();
    return drone;
}
