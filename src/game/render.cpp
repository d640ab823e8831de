#include "game/render.h"

#include <allegro.h>
#include <alleggl.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>

#include "game/game.h"
#include "game/light.h"
#include "game/messages.h"
#include "render/material.h"
#include "render/model.h"
#include "render/strokefont.h"
#include "render/texture.h"
#include "scene/states.h"
#include "scene/thing.h"
#include "scene/view_cull.h"
#include "vessel/vessel.h"

// R5: a fresh colour and depth buffer.
void clear_frame()
{
    select_texture(nullptr);
    glDepthMask(GL_TRUE);
    glClearDepth(FAR_DIST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLineWidth(gfx_driver ? std::max(1.5f, SCREEN_W / 640.0f) : 1.5f);
}

// R6: world z is up and the viewer looks along its own +y.
void place_camera(GAME& g)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    if (g.view_thing) {
        g.view_thing->apply_abs_rotation();
        g.view_thing->apply_inv_location();
    }
}

// R7: both trees, opaque first, then the additive effects.
static void paint_scene(GAME& g)
{
    glShadeModel(smooth_light ? GL_SMOOTH : GL_FLAT);
    disable_blend_func();
    enable_z_buffer();
    enable_bfc();
    if (light_materials) {
        update_light();
        enable_lights();
    }
    begin_view_cull();  // the camera is placed: what it cannot see is skipped
    g.background->paint(PAINT_MATERIALS | PAINT_SOLID);
    g.world->paint(PAINT_MATERIALS | PAINT_SOLID);

    disable_bfc();
    disable_lights();
    select_blend_func(GL_ONE, GL_ONE);
    enable_z_check();
    disable_z_write();
    g.background->paint(PAINT_MATERIALS | PAINT_BLENDED);
    g.world->paint(PAINT_MATERIALS | PAINT_BLENDED);

    if (key[KEY_B])
        g.world->paint(PAINT_BOUNDING_BOX);
    end_view_cull();
}

// Eye-space corners of the five cockpit panels.
float mfd_left[5] = {-0.49f, -0.16f, 0.18f, -0.49f, 0.34f};
float mfd_right[5] = {-0.18f, 0.16f, 0.49f, -0.34f, 0.49f};
float mfd_top[5] = {-0.14f, -0.13f, -0.14f, 0.38f, 0.38f};
float mfd_bottom[5] = {-0.36f, -0.37f, -0.36f, 0.23f, 0.23f};
float mfd_back[5] = {-1.2f, -1.22f, -1.2f, -1.0f, -1.0f};
float mfd_front[5] = {-1.0f, -1.02f, -1.0f, -1.1f, -1.1f};

int mfd_screen_mode[5] = {1, 2, 0, 3, 4};
TEXTURE* mfd_tex[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
int radar_framecount = 0;
// 8 bits per channel keep the colour table's shades apart.
int mfd_texture_flags = TEXTURE_8BIT_CHANNELS;
// From 640 pixels across, a panel shows its screen at 6/10 of its width or
// more, where plain bilinear filtering keeps the 8-pixel font sharp; on
// narrower screens it would drop strokes, so the screens get mipmaps, with
// anisotropic filtering where the driver has it, since the panels squeeze
// a screen sideways far more than upwards.
int mfd_mipmap_below_width = 640;  // pixels of screen width
float mfd_anisotropy = 4.0f;       // most samples along a squeezed screen; 1: none

// Most anisotropy the driver offers; 0 until asked, 1 where there is none.
static float driver_anisotropy = 0.0f;

static int screen_texture_flags()
{
    bool small = gfx_driver && SCREEN_W < mfd_mipmap_below_width;
    return mfd_texture_flags | (small ? TEXTURE_MIPMAPS : 0);
}

// One screen's picture into its texture, which assign leaves bound.
static TEXTURE* upload_screen(const char* name, BITMAP* bmp)
{
    int flags = screen_texture_flags();
    TEXTURE* t = assign_texture(name, bmp, flags);
    if (!(flags & TEXTURE_MIPMAPS) || !t || !bmp)
        return t;
    if (driver_anisotropy == 0.0f) {
        const char* ext = (const char*)glGetString(GL_EXTENSIONS);
        driver_anisotropy = 1.0f;
        if (ext && strstr(ext, "GL_EXT_texture_filter_anisotropic"))
            glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &driver_anisotropy);
    }
    if (driver_anisotropy > 1.0f)
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT,
                        std::max(1.0f, std::min(driver_anisotropy, mfd_anisotropy)));
    return t;
}

static TEXTURE* panel_texture(int i)
{
    int mode = mfd_screen_mode[i];
    return (mode >= 0 && mode < 5) ? mfd_tex[mode] : console_tex;
}

// R2..R4: the screens on show are redrawn when fetched; the status, slot
// and target screens go up every frame, the radar pair, which scans the
// whole world, every second frame. Each screen keeps one texture by name.
void update_cockpit_screens(GAME& g)
{
    VESSEL* v = dynamic_cast<VESSEL*>(g.player.get());
    if (!v)
        return;
    for (int i = 0; i < 5; i++)
        v->invalidate_mfd(mfd_screen_mode[i]);  // ignores the console's modes
    mfd_tex[MFD_TARGET] = upload_screen("MFD_TARGET", v->get_mfd_bitmap(MFD_TARGET));
    mfd_tex[MFD_STATUS] = upload_screen("MFD_STATUS", v->get_mfd_bitmap(MFD_STATUS));
    mfd_tex[MFD_ALLSLOTS] = upload_screen("MFD_ALLSLOTS", v->get_mfd_bitmap(MFD_ALLSLOTS));
    radar_framecount--;
    if (radar_framecount <= 0) {
        v->update_mfd_bitmap(MFD_RADAR_F);
        v->update_mfd_bitmap(MFD_RADAR_R);
        v->update_radar(g.world ? g.world->get_first_child() : nullptr);
        radar_framecount = 2;
        mfd_tex[MFD_RADAR_F] = upload_screen("MFD_RADAR_F", v->get_mfd_bitmap(MFD_RADAR_F));
        mfd_tex[MFD_RADAR_R] = upload_screen("MFD_RADAR_R", v->get_mfd_bitmap(MFD_RADAR_R));
    }
}

// R8: the five cockpit panels, as textured quads in eye space. A panel whose
// screen has no picture yet stays dark.
void draw_cockpit_panels()
{
    disable_bfc();
    disable_lights();
    disable_z_check();
    disable_z_write();
    glColor4f(1, 1, 1, 1);
    select_blend_func(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glPushMatrix();
    glLoadIdentity();
    for (int i = 0; i < 5; i++) {
        TEXTURE* tex = panel_texture(i);
        if (!tex)
            continue;
        select_texture(tex);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex3f(mfd_left[i], mfd_top[i], mfd_back[i]);
        glTexCoord2f(1, 0);
        glVertex3f(mfd_right[i], mfd_top[i], mfd_back[i]);
        glTexCoord2f(1, 1);
        glVertex3f(mfd_right[i], mfd_bottom[i], mfd_front[i]);
        glTexCoord2f(0, 1);
        glVertex3f(mfd_left[i], mfd_bottom[i], mfd_front[i]);
        glEnd();
    }
    glPopMatrix();
    select_texture(nullptr);
}

// "PAUSED", large, across the middle of the view.
static void draw_paused()
{
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 0.3f);
    glTranslatef(0.0f, 0.0f, -18.0f);
    glScalef(0.08f, 0.08f, 0.08f);
    glTranslatef(0.0f, -5.0f, 0.0f);  // half a capital's height: centred both ways
    stroke_textout_c("PAUSED");
    glPopMatrix();
}

// R9: frame rate and screen mode, green, centred near the top of the view.
static void draw_text_overlay(GAME& g)
{
    // Plain lines: texture uploads bind their texture behind the cache's
    // back, so "no texture" is made true here whatever the cache believes.
    select_texture(nullptr);
    glDisable(GL_TEXTURE_2D);
    disable_lights();
    disable_bfc();
    disable_z_check();
    disable_z_write();
    select_blend_func(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LINE_SMOOTH);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, 6.0f, -18.0f);
    glScalef(0.02f, 0.02f, 0.02f);
    stroke_printf_c("FPS: %1.1f", g.fps);
    glTranslatef(0.0f, -12.0f, 0.0f);
    stroke_printf_c("%i x %i x %i", SCREEN_W, SCREEN_H, screen ? bitmap_color_depth(screen) : 0);
    glPopMatrix();
    if (g.paused)
        draw_paused();
    // The overlay always draws smooth; the J key's choice holds for the rest.
    if (!g.line_antialias)
        glDisable(GL_LINE_SMOOTH);
}

void draw_frame(GAME& g)
{
    if (al_font)
        font = al_font;  // R1
    update_cockpit_screens(g);  // R2..R4
    clear_frame();              // R5
    place_camera(g);            // R6
    paint_scene(g);             // R7
    draw_cockpit_panels();      // R8
    draw_text_overlay(g);       // R9
}

void render_frame(GAME& g)
{
    draw_frame(g);
    allegro_gl_flip();  // R10
}
