#include "data_render.h"

#include <allegro.h>
#include <alleggl.h>
#include <GL/gl.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "png_writer.h"
#include "render/load3ds.h"
#include "render/gl_window.h"
#include "render/material.h"
#include "render/meshmodel.h"
#include "render/texture.h"
#include "scene/states.h"

namespace {

const int still_w = 640;  // pixels
const int still_h = 480;

// Back-buffer clear colour, the vessel-selection blue.
const float still_background[4] = {0.2f, 0.3f, 0.4f, 1.0f};
const float still_ambient[4] = {0.35f, 0.35f, 0.35f, 1.0f};
const float still_light[4] = {0.9f, 0.9f, 0.9f, 1.0f};
// Eye space: from the upper left, a little behind the viewer.
const float still_light_dir[4] = {-0.45f, 0.6f, 0.75f, 0.0f};

bool parse_angle(const char* text, float& out)
{
    char* end = nullptr;
    double v = strtod(text, &end);
    if (end == text || *end || !std::isfinite(v))
        return false;
    out = float(v);
    return true;
}

bool open_window()
{
    // The tool starts Allegro without a display; a still needs one.
    allegro_exit();
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0)
        return false;
    if (install_allegro_gl() != 0)
        return false;
    return open_plain_gl_window(still_w, still_h);
}

}  // namespace

bool render_model_still(const std::string& model_path, float yaw_deg, float pitch_deg, int w, int h,
                        std::vector<uint8_t>& rgb, std::string& error)
{
    MESHMODEL* mesh = load3ds(model_path.c_str(), nullptr);
    if (!mesh) {
        error = model_path + ": " + LOAD3DS_ERROR_STRING;
        return false;
    }
    float lo[3], hi[3];
    mesh->get_bounding_box_corner(0, lo);
    mesh->get_bounding_box_corner(7, hi);
    float centre[3], r = 0;
    for (int i = 0; i < 3; i++) {
        centre[i] = 0.5f * (lo[i] + hi[i]);
        r += 0.25f * (hi[i] - lo[i]) * (hi[i] - lo[i]);
    }
    r = std::max(std::sqrt(r), 0.01f);

    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const float aspect = float(w) / float(h);
    glFrustum(-0.375 * aspect, 0.375 * aspect, -0.375, 0.375, 1.0, 100.0 * r + 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(still_background[0], still_background[1], still_background[2], still_background[3]);
    glDepthMask(GL_TRUE);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // The game's conventions: front (counter-clockwise) faces culled, lit
    // materials, corner normals.
    glCullFace(GL_FRONT);
    enable_bfc();
    enable_z_buffer();
    disable_blend_func();
    select_texture(nullptr);
    light_materials = true;
    smooth_light = true;
    glShadeModel(GL_SMOOTH);
    enable_lights();
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, still_ambient);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, still_light_dir);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, still_light);
    glLightfv(GL_LIGHT0, GL_SPECULAR, null_color);
    glDisable(GL_FOG);

    // Distance that fits the bounding sphere into the frustum's height.
    const float dist = r / std::sin(std::atan(0.375f)) * 1.05f;
    glTranslatef(0, 0, -dist);
    glRotatef(pitch_deg, 1, 0, 0);
    glRotatef(-90, 1, 0, 0);          // model z up, the view along model +y ...
    glRotatef(180 + yaw_deg, 0, 0, 1);  // ... turned round to face the nose
    glTranslatef(-centre[0], -centre[1], -centre[2]);
    mesh->paint(PAINT_MATERIALS | PAINT_SOLID);
    glFinish();

    std::vector<uint8_t> flipped(size_t(w) * h * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, flipped.data());
    rgb.resize(flipped.size());
    for (int y = 0; y < h; y++)
        std::copy(flipped.begin() + long(h - 1 - y) * w * 3, flipped.begin() + long(h - y) * w * 3,
                  rgb.begin() + long(y) * w * 3);
    delete_model(mesh);
    return true;
}

int data_render_command(int argc, char** argv)
{
    float yaw = 30, pitch = 20;
    if ((argc != 2 && argc != 4) || (argc == 4 && (!parse_angle(argv[2], yaw) || !parse_angle(argv[3], pitch)))) {
        fprintf(stderr, "usage: sortie-data render FILE.3ds OUT.png [YAW PITCH]\n");
        return 2;
    }
    if (!exists(argv[0])) {
        fprintf(stderr, "%s: File not found.\n", argv[0]);
        return 1;
    }
    if (!open_window()) {
        fprintf(stderr, "sortie-data render: no OpenGL window (is DISPLAY set?): %s\n", allegro_error);
        return 1;
    }
    std::vector<uint8_t> rgb;
    std::string error;
    if (!render_model_still(argv[0], yaw, pitch, still_w, still_h, rgb, error)) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (!write_png_rgb(argv[1], still_w, still_h, rgb)) {
        fprintf(stderr, "%s: cannot write\n", argv[1]);
        return 1;
    }
    return 0;
}
