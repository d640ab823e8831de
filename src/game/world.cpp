#include "game/world.h"

#include <allegro.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "game/game.h"
#include "game/globals.h"
#include "game/light.h"
#include "game/messages.h"
#include "game/targets.h"
#include "render/hcmodel.h"
#include "render/material.h"
#include "render/mesh_cache.h"
#include "render/meshmodel.h"
#include "render/texture.h"
#include "scene/thing.h"
#include "scene/vec3.h"
#include "ui/select_vcd.h"
#include "vessel/vessel.h"

float star_sphere_fac = 0.96f;
float rock_field_size = 5000.0f;

static THING* ground_thing = nullptr;  // not owned: children of the world
static THING* sky_thing = nullptr;

static const float VIEWPOINT_HEIGHT = 1.8f;  // metres above the origin at start
static const int QUARTER_TURN = 64;          // Allegro angle units

static std::string data_file(const char* name) { return std::string(data_path) + name; }

static void make_roots(GAME& g)
{
    g.world = new THING();
    g.background = new THING();
    g.background->set_id_string("Background");
    g.background->set_type_string("BGR");
}

static void add_cameras(GAME& g)
{
    THING* viewpoint = new THING();
    viewpoint->locate_rel(0.0f, 0.0f, VIEWPOINT_HEIGHT);
    THING* camera = new THING();
    camera->locate_rel(0.0f, 0.0f, VIEWPOINT_HEIGHT);
    g.world->add_child(viewpoint);
    g.world->add_child(camera);
    g.viewpoint_thing = viewpoint;
    g.camera_thing = camera;
    g.view_thing = viewpoint;
}

void create_world_roots(GAME& g)
{
    make_roots(g);
    add_cameras(g);
    g.target_waves = false;
    g.world->update_abs_matrix();
}

void destroy_world(GAME& g)
{
    delete g.world;
    delete g.background;
    g.world = g.background = nullptr;
    ground_thing = sky_thing = nullptr;
    sky_sphere = sky_plane = ground_plane = nullptr;
    // The meshes were made for this world's GL context; a new world reads
    // its files again.
    mesh_cache.clear();
}

static THING* carrier(MODEL* m, int x_turn)
{
    THING* t = new THING();
    t->set_model(m);
    MATRIX_f r;
    get_rotation_matrix_f(&r, x_turn, 0, 0);
    t->set_rel(r);
    return t;
}

static void add_sky_sphere(GAME& g)
{
    fputs("Create background sphere - ", stdout);
    sky_sphere = new SPHERE_MODEL(2.0f * NEAR_DIST, 1, 0, 0, horizon_color[0], horizon_color[1],
                                  horizon_color[2], ground_color[0], ground_color[1], ground_color[2]);
    g.background->add_child(carrier(sky_sphere, -QUARTER_TURN));
    puts("OK.");
}

// A ground or sky picture; a missing one is reported and the plane goes on
// with an empty texture.
static TEXTURE* plane_texture(const char* file, const char* upper_name, const char* texture_name)
{
    set_color_depth(24);
    set_color_conversion(COLORCONV_TOTAL);
    BITMAP* bmp = load_bitmap(data_file(file).c_str(), nullptr);
    if (!bmp)
        printf("%s could not be loaded!\n", upper_name);
    TEXTURE* tex = assign_texture(texture_name, bmp, 3);
    if (bmp)
        destroy_bitmap(bmp);
    return tex;
}

static void add_ground_and_sky(GAME& g)
{
    TEXTURE* ground_tex = plane_texture("textures/ground000.bmp", "GROUND000.BMP", "GROUND");
    ground_plane = new TEX_PLANE_MODEL(ground_tex, HORIZON_RADIUS);
    ground_plane->set_parameter(1, 1000.0f);
    ground_plane->set_parameter(7, 1.0f);
    ground_plane->set_parameter(8, 1.0f);
    ground_thing = carrier(ground_plane, QUARTER_TURN);
    g.world->add_child(ground_thing);

    TEXTURE* sky_tex = plane_texture("textures/sky000.bmp", "SKY000.BMP", "SKY");
    sky_plane = new TEX_PLANE_MODEL(sky_tex, HORIZON_RADIUS);
    float sky_params[][2] = {{1, 10000.0f}, {3, -CLOUD_HEIGHT}, {7, 1}, {8, 1}, {5, 1}, {6, 1}};
    for (auto& p : sky_params)
        sky_plane->set_parameter((unsigned)p[0], p[1]);
    sky_thing = carrier(sky_plane, QUARTER_TURN);
    g.world->add_child(sky_thing);
}

static void add_stars(GAME& g)
{
    DOTMODEL* star = new DOTMODEL();  // white
    star->set_parameter(0, gfx_driver ? SCREEN_W / 320.0f : 0.0f);
    for (int i = 0; i < STAR_COUNT; i++) {
        float p[3] = {random_unit() - 0.5f, random_unit() - 0.5f, random_unit()};
        float len = length3(p);
        float r = star_sphere_fac * FAR_DIST / (len > 0.0f ? len : 1.0f);
        THING* t = new THING();
        t->set_model(star);
        t->locate_rel(p[0] * r, p[1] * r, p[2] * r);
        t->set_type_string("star");
        char id[32];
        snprintf(id, sizeof(id), "centauri-%05i", STAR_COUNT - i);
        t->set_id_string(id);
        g.background->add_child(t);
    }
}

static bool add_buoys(GAME& g)
{
    MESHMODEL* buoy = mesh_cache.load(data_file("navbuoy.3ds").c_str());
    if (!buoy) {
        printf("Cannot start: the navigation buoy model %s is missing or damaged.\n",
               data_file("navbuoy.3ds").c_str());
        return false;
    }
    const char* ids[2] = {"Origin", "Entry point"};
    for (int i = 0; i < 2; i++) {
        THING* t = new THING();
        t->set_model(buoy);
        t->set_flags(THING_TARGETABLE | THING_ON_RADAR | THING_NAVPOINT);
        t->set_type_string("NAV");
        t->set_id_string(ids[i]);
        if (i == 1)
            t->locate_rel(respawn_point);
        g.world->add_child(t);
    }
    return true;
}

// A missing rock model leaves invisible rocks without extent.
static void add_rocks(GAME& g)
{
    MESHMODEL* rock = mesh_cache.load(data_file("rock00.3ds").c_str());
    for (int i = 0; i < ROCK_COUNT; i++) {
        THING* t = new THING();
        t->set_model(rock);
        t->locate_rel(rock_field_size * (random_unit() - 0.5f), rock_field_size * (random_unit() - 0.5f),
                      rock_field_size * random_unit());
        t->set_flags(THING_EXPLODABLE | THING_PASSIVE_COLLIDER | THING_ACTIVE_COLLIDER | THING_ON_RADAR);
        MATRIX_f turn;
        get_rotation_matrix_f(&turn, 256.0f * random_unit(), 256.0f * random_unit(), 256.0f * random_unit());
        t->rtransform_rel(turn);
        t->set_type_string("astr");
        char id[32];
        snprintf(id, sizeof(id), "sec57-%05i", ROCK_COUNT - i);
        t->set_id_string(id);
        g.world->add_child(t);
    }
}

bool build_scene(GAME& g)
{
    make_roots(g);
    add_sky_sphere(g);
    add_ground_and_sky(g);
    add_stars(g);
    add_cameras(g);
    if (!add_buoys(g))
        return false;
    add_rocks(g);
    g.world->update_abs_matrix();
    g.background->update_abs_matrix();
    return true;
}

static void set_plane_offsets(MODEL* plane, float x, float y)
{
    if (!plane)
        return;
    plane->set_parameter(2, x);
    plane->set_parameter(4, y);
}

void follow_viewer(GAME& g)
{
    float at[3] = {0.0f, 0.0f, 0.0f};
    if (g.view_thing) {
        const float* p = g.view_thing->get_abs().t;
        at[0] = p[0];
        at[1] = p[1];
        at[2] = p[2];
    }
    if (ground_thing || sky_thing) {
        for (THING* t : {ground_thing, sky_thing})
            if (t)
                t->locate_rel(at[0], at[1], 0.0f);
        set_plane_offsets(ground_plane, at[0], at[1]);
        set_plane_offsets(sky_plane, at[0], at[1]);
        g.world->update_abs_matrix();
    }
    g.background->locate_rel(at);
    g.background->update_abs_matrix();
}

// ---------------------------------------------------------------- the player's vessel

bool first_vessel_configuration(char* out, int size)
{
    // The selection screen's own list, so both agree on what comes first.
    init_vcd_file_info();
    bool found = nr_files > 0 && size > 0;
    if (found)
        snprintf(out, size, "%s", filename[0]);
    cleanup_vcd_file_info();
    return found;
}

float start_height(THING* vessel) { return 2.0f * vessel->get_radius(); }

static VESSEL* new_player_vessel(GAME& g)
{
    VESSEL* v = new VESSEL();
    v->load_vcd(g.vessel_path);
    v->set_owner(v);
    v->set_stabilizer(true);
    v->set_rstabilizer(true);
    v->set_team(PLAYER_TEAM);
    v->locate_rel(0.0f, 0.0f, start_height(v));
    return v;
}

void add_player_vessel(GAME& g)
{
    VESSEL* v = new_player_vessel(g);
    v->hud_off();
    g.world->add_child(v);
    g.player = v;
    g.world->dumptrace(0);
    g.world->update_abs_matrix();
}

void replace_player_vessel(GAME& g)
{
    VESSEL* v = new_player_vessel(g);
    g.world->add_child(v);
    g.player = v;
    new_message("Vessel destroyed. Loaded new vessel.\n");
    new_message("External view.\n");
    g.view_thing = g.camera_thing;
    if (g.viewpoint_thing)
        g.viewpoint_thing->reset_matrices();
    g.lookat_target = nullptr;
    v->hud_off();
    select_viewpoint(g.camera_thing);
}
