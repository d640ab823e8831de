// Whole frames of the game against reference pictures: the start view, the
// cockpit with a target ahead and one behind, a gun fight and an explosion
// from the chase camera, a missile from its own view and its burst, the plain
// modes, the pause screen over the key help, the selection screen, a mesh's
// debug overlays: every model, effect, the HUD and the panels show in one of them. The world is seeded and run at
// a fixed dt, so the frames are the same on every run. SORTIE_GOLDEN_UPDATE=1
// writes the references anew: look at them (a failing run leaves its own frame
// in /tmp) before committing new ones.
#include <gtest/gtest.h>

#include <allegro.h>
#include <alleggl.h>
#include <GL/gl.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "game/controls.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/globals.h"
#include "game/light.h"
#include "game/render.h"
#include "game/world.h"
#include "gl_window.h"
#include "png_writer.h"
#include "render/ftexmodel.h"
#include "render/hcmodel.h"
#include "render/hudmodel.h"
#include "render/meshmodel.h"
#include "render/model.h"
#include "render/texture.h"
#include "ui/select_vcd.h"
#include "vessel/vessel.h"

namespace {

// The reference's pixels, empty when it cannot be read or is not a frame.
std::vector<unsigned char> read_png(const std::string& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<unsigned char> px;
    if (png_image_begin_read_from_file(&image, path.c_str()) && image.width == GL_TEST_W && image.height == GL_TEST_H) {
        image.format = PNG_FORMAT_RGB;
        px.resize(PNG_IMAGE_SIZE(image));
        if (!png_image_finish_read(&image, nullptr, px.data(), 0, nullptr))
            px.clear();
    }
    png_image_free(&image);
    return px;
}

// Pixels of the frame just drawn that differ from the reference; -1: none to
// compare. The plain, debug and sanitizer builds draw the same frames to the
// bit, so a pixel differs at a channel one step off.
int differing_from_reference(const char* name)
{
    std::vector<unsigned char> frame = gl_test_read();
    std::string ref_path = std::string(SORTIE_SOURCE_DIR) + "/tests/gl/golden/" + name + ".png";
    if (getenv("SORTIE_GOLDEN_UPDATE"))
        write_png_rgb(ref_path, GL_TEST_W, GL_TEST_H, frame);
    std::vector<unsigned char> ref = read_png(ref_path);
    int differing = ref.size() == frame.size() ? 0 : -1;
    for (size_t i = 0; differing >= 0 && i < frame.size(); i += 3)
        differing += memcmp(&frame[i], &ref[i], 3) != 0;
    if (differing != 0)
        write_png_rgb(std::string("/tmp/sortie-golden-") + name + ".png", GL_TEST_W, GL_TEST_H, frame);
    return differing;
}

void advance(GAME& g, int frames)
{
    for (int i = 0; i < frames; i++) {
        if (!g.paused)
            simulate_frame(g, 1.0f / 60.0f);
        place_cameras(g);
        follow_viewer(g);
    }
}

#define EXPECT_FRAME(draw, name)                                   \
    do {                                                           \
        draw;                                                      \
        int differing = differing_from_reference(name);            \
        EXPECT_GE(differing, 0) << "no reference for " << name;    \
        EXPECT_EQ(differing, 0) << name;                           \
    } while (0)

}  // namespace

TEST(GoldenFrames, TheGameDrawsWhatItDrewBefore)
{
    srand(7);
    radar_framecount = 0;  // the radars sweep every other frame: from the same phase
    gl_test_begin_frame();
    GAME g;
    setup_renderer(g.settings);
    ASSERT_TRUE(start_scene(g));
    select_viewpoint(nullptr);
    advance(g, 30);
    EXPECT_FRAME(draw_frame(g), "start");

    VESSEL* v = dynamic_cast<VESSEL*>(g.player.get());
    ASSERT_TRUE(v);
    ASSERT_TRUE(select_view(g, VIEW_PILOT));
    v->select_nearest_target(THING_TARGETABLE, THING_NAVPOINT);
    advance(g, 20);
    EXPECT_FRAME(draw_frame(g), "cockpit");

    auto target_at = [&g, v](float ahead, float up, float right = 0.0f) {  // a drone ahead of the player (behind: < 0)
        VESSEL* d = new VESSEL();
        d->load_vcd("data/victim.vcd");
        d->set_team(2);
        const MATRIX_f& m = v->get_abs();
        d->locate_rel(m.t[0] + ahead * m.v[0][1] + right * m.v[0][0], m.t[1] + ahead * m.v[1][1] + right * m.v[1][0],
                      m.t[2] + up);
        g.world->add_child(d);
        g.world->update_abs_matrix();
        v->set_target(d);
        return d;
    };
    auto fire = [&g, v](int frames) {
        for (int i = 0; i < frames; i++, advance(g, 1))
            v->set_trigger(true);
    };
    // A drone just ahead, shot at and blown up, seen from behind.
    VESSEL* drone = target_at(150.0f, 10.0f);
    ASSERT_TRUE(select_view(g, VIEW_EXTERNAL));
    fire(20);
    EXPECT_FRAME(draw_frame(g), "guns");
    drone->receive_hit(1e6f);
    advance(g, 45);
    EXPECT_FRAME(draw_frame(g), "explosion");

    // The next group with a launcher: its missile, from behind.
    v->select_nearest_target(THING_TARGETABLE, THING_NAVPOINT);
    for (int group = 0; group < 8 && !g.player_projectile; group++) {
        dispatch_key(g, KEY_W);
        v->set_trigger(true);
        advance(g, 1);
    }
    ASSERT_TRUE(g.player_projectile) << "no missile launched";
    advance(g, 40);
    ASSERT_TRUE(select_view(g, VIEW_MISSILE));
    advance(g, 1);
    EXPECT_FRAME(draw_frame(g), "missile");
    g.player_projectile->receive_hit(1e6f);  // its burst, from behind the vessel
    ASSERT_TRUE(select_view(g, VIEW_EXTERNAL));
    advance(g, 25);
    EXPECT_FRAME(draw_frame(g), "burst");

    // Pulse lasers from the cockpit, the target behind and to the left: bolts
    // ahead, the arrow back and aside.
    VESSEL* behind = target_at(-120.0f, 20.0f, -60.0f);
    ASSERT_TRUE(select_view(g, VIEW_PILOT));
    for (int group = 0; group < 8; group++) {
        THING* gun = v->get_slot_item(v->get_cur_gun());
        if (gun && strstr(gun->get_name(), "Laser"))
            break;
        dispatch_key(g, KEY_W);
    }
    const MATRIX_f& nose = v->get_abs();  // flying on, sliding right and climbing: the flight path
    float drift[3];                        // mark in view, the tapes' rates beside them
    for (int i = 0; i < 3; i++)
        drift[i] = (20.0f * nose.v[i][1] + 3.0f * nose.v[i][0] + (i == 2) * 3.0f) * v->get_m();
    v->set_impulse(drift);
    fire(12);
    EXPECT_FRAME(draw_frame(g), "lasers");

    // Flat shading, rough lines, bounding boxes (B held), explosions off (-x0).
    behind->receive_hit(1e6f);
    show_explosions = false;
    dispatch_key(g, KEY_S);
    dispatch_key(g, KEY_J);
    ASSERT_TRUE(select_view(g, VIEW_EXTERNAL));
    advance(g, 45);
    key[KEY_B] = 1;
    EXPECT_FRAME(draw_frame(g), "plain");
    key[KEY_B] = 0;
    show_explosions = true;
    dispatch_key(g, KEY_S);
    dispatch_key(g, KEY_J);

    ASSERT_TRUE(select_view(g, VIEW_PILOT));
    dispatch_key(g, KEY_H);
    dispatch_key(g, KEY_P);
    advance(g, 1);
    EXPECT_FRAME(draw_frame(g), "paused");
    dispatch_key(g, KEY_P);  // on again, looking straight up: the clouds and the stars
    v->set_pilot(0.0f, 64.0f, true);
    advance(g, 1);
    EXPECT_FRAME(draw_frame(g), "sky");
    destroy_world(g);
    // Every HUD mark in a grid: the tapes with a rate each way, the arrow
    // turned and reaching down; after them a textured sprite is still textured.
    BITMAP* halves = create_bitmap_ex(32, 8, 8);  // left half black, right half white
    clear_to_color(halves, makeacol32(255, 255, 255, 255)), rectfill(halves, 0, 0, 3, 7, makeacol32(0, 0, 0, 255));
    assign_texture("&gl-halves", halves, TEXTURE_8BIT_CHANNELS), destroy_bitmap(halves);
    FTEXMODEL sprite("&gl-halves", false);
    sprite.set_parameter(0, 0.2f);
    auto sprite_at = [&sprite](float x) {
        glPushMatrix(), glTranslatef(x, 0.0f, -2.5f), glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
        sprite.paint(PAINT_MATERIALS | PAINT_BLENDED), glPopMatrix();
    };
    auto hud_styles = [&sprite_at] {
        gl_test_begin_frame();
        sprite_at(-0.3f);
        const float values[HUD_STYLES][2] = {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {1234, 37}, {-56, -12}, {0.7f, -0.6f}, {0, 0}};
        for (unsigned s = 0; s < HUD_STYLES; s++) {
            HUDMODEL mark;
            mark.set_style(s), mark.set_size(0.15f), mark.set_value(values[s][0]), mark.set_delta(values[s][1]);
            glPushMatrix();
            glTranslatef(-1.0f + 0.5f * (s % 5), s < 5 ? 0.4f : -0.4f, -2.5f);
            glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
            mark.paint(PAINT_MATERIALS | PAINT_BLENDED);
            glPopMatrix();
        }
        sprite_at(0.3f);
    };
    EXPECT_FRAME(hud_styles(), "hud_styles");
    // A ring fading inward from its colour, and a fireball's dome brightest at
    // the top, both seen down their axes: closed all round.
    auto shapes = [] {
        SPHERE_RING_MODEL ring(5.0f, 1.0f, 0.0f, 0.0f);
        ring.set_parameter(1, 24.0f), ring.set_parameter(2, 0.6f), ring.set_parameter(3, 0.3f);
        FIREBALL_MODEL dome(12, 8, 7);
        dome.set_r(2.0f);
        gl_test_begin_frame();
        for (MODEL* m : {(MODEL*)&ring, (MODEL*)&dome}) {
            glPushMatrix(), glTranslatef(m == &ring ? -5.0f : 5.0f, 0.0f, -20.0f), glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
            m->paint(PAINT_BLENDED), glPopMatrix();
        }
    };
    EXPECT_FRAME(shapes(), "shapes");
    init_vcd_file_info();  // the selection screen: the first configuration turned 30 degrees
    VESSEL* preview = load_preview_vessel(filename[0]);
    EXPECT_FRAME(repaint_screen(preview, 30.0f, 1.0f), "select");
    // Half a mesh painted face by face under its debug overlays: unit normals in
    // white, vertices in yellow, their numbers in green.
    MESHMODEL* hull = dynamic_cast<MESHMODEL*>(preview->get_model());
    ASSERT_TRUE(hull);
    vertex_number_font = allegro_gl_convert_allegro_font(font, AGL_FONT_TYPE_TEXTURED, 8.0f);
    auto overlays = [&] {
        gl_test_begin_frame();
        glTranslatef(0.0f, 0.0f, -3.0f * preview->get_radius());
        glRotatef(-60.0f, 1.0f, 0.0f, 0.0f);
        for (unsigned int i = 0; i < hull->get_nr_face(); i += 2)
            hull->paint_face(i, PAINT_MATERIALS | PAINT_SOLID);
        hull->paint(PAINT_NORMALS | PAINT_VERTICES | PAINT_VERTEX_NUMBERS);
    };
    EXPECT_FRAME(overlays(), "overlays");
    allegro_gl_destroy_font(vertex_number_font);
    vertex_number_font = nullptr;
    delete preview;
    volatile int closed = 1;  // the window closed: the screen gives way after its frame
    const char* chosen = select_vcd(&closed);
    EXPECT_TRUE(chosen && strstr(chosen, ".vcd")) << (chosen ? chosen : "none");
    cleanup_vcd_file_info();
}
