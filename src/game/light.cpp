#include "game/light.h"

#include <GL/gl.h>

#include "game/game.h"
#include "render/model.h"
#include "scene/states.h"

float ground_color[4] = {0.5f, 0.4f, 0.3f, 1.0f};
float cloud_color[4] = {0.5f, 0.5f, 0.5f, 1.0f};
float sky_color[4] = {0.0f, 0.125f, 0.25f, 1.0f};
float horizon_color[4] = {0.5f, 0.5f, 0.5f, 1.0f};
float direct_light[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float global_ambient[4];  // from the ground and the light, in update_light
float lightpos[4] = {0.0f, 0.0f, 1.0f, 0.0f};
bool use_fog = true;

MODEL* sky_sphere = nullptr;
MODEL* sky_plane = nullptr;
MODEL* ground_plane = nullptr;

// The ground plane's colour: (ambient + light) x ground.
static void ground_plane_color(float* rgb)
{
    for (int i = 0; i < 3; i++)
        rgb[i] = (global_ambient[i] + direct_light[i]) * ground_color[i];
}

static void update_fog()
{
    if (!use_fog) {
        glDisable(GL_FOG);
        return;
    }
    glEnable(GL_FOG);
    glFogfv(GL_FOG_COLOR, horizon_color);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, NEAR_DIST);
    glFogf(GL_FOG_END, FAR_DIST);
}

void update_light()
{
    for (int i = 0; i < 4; i++)
        global_ambient[i] = ground_color[i] * direct_light[i];
    enable_lights();
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, global_ambient);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, lightpos);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, direct_light);
    glLightfv(GL_LIGHT0, GL_SPECULAR, direct_light);
    update_fog();
    if (sky_plane)
        sky_plane->set_color(0, cloud_color);
    if (ground_plane) {
        float rgb[3];
        ground_plane_color(rgb);
        ground_plane->set_color(0, rgb);
    }
    if (sky_sphere) {
        sky_sphere->set_color(0, sky_color);
        sky_sphere->set_color(1, horizon_color);
        sky_sphere->set_color(2, horizon_color);
    }
}
