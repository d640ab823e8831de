#include "ui/select_vcd.h"

#include <allegro.h>
#include <alleggl.h>
#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/globals.h"
#include "render/material.h"
#include "render/model.h"
#include "render/strokefont.h"
#include "render/texture.h"
#include "render/utf8_text.h"
#include "scene/states.h"
#include "scene/thing.h"
#include "vessel/slotthing.h"
#include "vessel/vessel.h"

char** filename = nullptr;
int nr_files = 0;
int cur_file = 0;
int next_file = 0;

float vsel_ambient[4] = {0.6f, 0.6f, 0.6f, 1.0f};      // RGBA
float vsel_direct[4] = {1.0f, 1.0f, 1.0f, 1.0f};       // RGBA
float vsel_specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};     // RGBA
float vsel_clear_color[4] = {0.2f, 0.3f, 0.4f, 1.0f};  // RGBA
float vsel_lightpos[4] = {1.0f, 1.0f, 1.0f, 0.0f};     // direction, eye space
float vsel_fade_step = 0.1f;                           // per frame
float vsel_turn_step = 1.0f;                           // degrees per frame
int vsel_frame_rest = 16;                              // ms

// ---------------------------------------------------------------- the file list

static int file_count_callback(const char*, int, void*)
{
    nr_files++;
    return 0;
}

// Fills the list counted before; a file that came since has no room and
// stops the enumeration.
static int file_fill_info_callback(const char* name, int, void*)
{
    if (cur_file >= nr_files)
        return -1;
    // A plain byte copy: Allegro's string functions trust their input, and
    // a file name may hold any bytes.
    size_t n = strlen(name) + 1;
    char* copy = (char*)malloc(n);
    memcpy(copy, name, n);
    filename[cur_file++] = copy;
    return cur_file >= nr_files ? -1 : 0;
}

// Case-insensitive, through clean UTF-8 copies so that odd bytes cannot
// mislead the Unicode comparison; names equal but for case keep a fixed order.
static int file_sort_callback(const void* a, const void* b)
{
    const char* x = *(char* const*)a;
    const char* y = *(char* const*)b;
    int c = ustricmp(valid_utf8(x).c_str(), valid_utf8(y).c_str());
    return c ? c : strcmp(x, y);
}

static void for_each_vcd(int (*callback)(const char*, int, void*))
{
    char pattern[1024];
    snprintf(pattern, sizeof pattern, "%s*.%s", data_path, "vcd");
    for_each_file_ex(pattern, 0, FA_SYSTEM | FA_LABEL | FA_DIREC, callback, nullptr);
}

void init_vcd_file_info()
{
    cleanup_vcd_file_info();
    for_each_vcd(file_count_callback);
    if (nr_files > 0) {
        filename = (char**)calloc(nr_files, sizeof(char*));
        cur_file = 0;
        for_each_vcd(file_fill_info_callback);
        // Files that went between the two passes leave no empty entries.
        nr_files = cur_file;
        qsort(filename, nr_files, sizeof(char*), file_sort_callback);
    }
    cur_file = 0;
    next_file = 0;
}

void cleanup_vcd_file_info()
{
    for (int i = 0; i < nr_files; i++)
        free(filename[i]);
    free(filename);
    filename = nullptr;
    nr_files = 0;
    cur_file = 0;
    next_file = 0;
}

// ---------------------------------------------------------------- the screen's logic

int step_vcd_frame(float& fade, float& angle)
{
    angle += vsel_turn_step;
    if (angle > 360.0f)
        angle -= 360.0f;
    if (cur_file == next_file) {
        fade = std::min(fade + vsel_fade_step, 1.0f);
        return -1;
    }
    fade -= vsel_fade_step;
    if (fade > 0.0f)
        return -1;
    // However many moves came during the fade, only where they ended loads.
    fade = 0.0f;
    cur_file = next_file;
    return next_file;
}

bool handle_vcd_key(int scancode)
{
    switch (scancode) {
    case KEY_LEFT:
        if (next_file > 0)
            next_file--;
        return false;
    case KEY_RIGHT:
        if (next_file < nr_files - 1)
            next_file++;
        return false;
    case KEY_ENTER:
    case KEY_ENTER_PAD:
    case KEY_ESC:
        return true;
    default:
        return false;
    }
}

VESSEL* load_preview_vessel(const char* path)
{
    // A fresh vessel each time: loading into the one shown would keep its
    // hull and items when the next file does not load.
    VESSEL* v = new VESSEL();
    v->load_vcd(path);
    v->hud_off();
    return v;
}

float preview_acceleration(VESSEL* v)
{
    float force = 0.0f;
    for (int i = 0; i < MAX_SLOTS; i++) {
        SLOTTHING* item = dynamic_cast<SLOTTHING*>(v->get_slot_item(i));
        if (!item)
            continue;
        float saved[6];
        for (int k = 0; k < 6; k++)
            saved[k] = item->get_thrust_setting(k);
        for (int k = 0; k < 6; k++)
            item->set_thrust(1.0f, k);
        float f[3];
        item->get_force(f);
        force += fabsf(f[1]);
        for (int k = 0; k < 6; k++)
            item->set_thrust(saved[k], k);
    }
    float mass = v->get_m();
    return mass > 0.0f ? force / mass : 0.0f;
}

// ---------------------------------------------------------------- the text column

// Bytes outside printable ASCII become "?": the stroke font has no glyph
// for them, and the text goes through no Unicode function.
static std::string printable(const char* s)
{
    std::string out = s ? s : "";
    for (char& c : out)
        if ((unsigned char)c < 0x20 || (unsigned char)c > 0x7e)
            c = '?';
    return out;
}

static std::string formatted(const char* fmt, double value)
{
    char text[128];
    snprintf(text, sizeof text, fmt, value);
    return text;
}

std::vector<VCD_TEXT_LINE> vcd_text_lines(VESSEL* v, const char* name)
{
    std::vector<VCD_TEXT_LINE> lines;
    lines.push_back({"<- " + printable(name) + " ->", false});
    lines.push_back({printable(v->get_vessel_type_string()), false});
    lines.push_back({formatted("Size: %1.1f m", v->get_radius()), false});
    lines.push_back({formatted("Mass: %1.0f kg", v->get_m()), false});
    lines.push_back({formatted("Accel.: %1.0f m/s^2", preview_acceleration(v)), false});
    lines.push_back({formatted("Shields: %1.0f Mj", v->get_max_shield()), false});
    lines.push_back({"Extension devices:", false});
    for (int i = 0; i < MAX_SLOTS; i++)
        if (SLOTTHING* item = dynamic_cast<SLOTTHING*>(v->get_slot_item(i)))
            lines.push_back({printable(item->get_name()), true});
    return lines;
}

// ---------------------------------------------------------------- drawing

static void setup_screen_light()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.5, 0.5, -0.375, 0.375, 1.0, 3000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, SCREEN_W, SCREEN_H);

    enable_lights();
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, vsel_ambient);
    glLightfv(GL_LIGHT0, GL_POSITION, vsel_lightpos);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, vsel_direct);
    glLightfv(GL_LIGHT0, GL_SPECULAR, vsel_specular);
    glEnable(GL_LIGHT0);

    glClearColor(vsel_clear_color[0], vsel_clear_color[1], vsel_clear_color[2], vsel_clear_color[3]);
    enable_z_write();
    glClearDepth(3000.0);  // OpenGL keeps it at 1
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // Uploading a texture binds it behind the texture cache's back: switch
    // texturing off here too, or the lines below sample it.
    select_texture(nullptr);
    glDisable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    smooth_light = true;
    disable_bfc();
    disable_blend_func();
    enable_z_buffer();
    select_viewpoint(nullptr);
    light_materials = true;
}

// The vessel in the middle, nose turned away and a little down, turning
// about the screen's vertical.
static void place_vessel(float angle, float fade)
{
    glRotatef(angle, 0.0f, 1.0f, 0.0f);
    glRotatef(-75.0f, 1.0f, 0.0f, 0.0f);
    glScalef(fade, fade, fade);
}

static void paint_preview(VESSEL* v, float angle, float fade)
{
    glPushMatrix();
    glTranslatef(0.0f, 4.0f, -40.0f);
    place_vessel(angle, fade);
    v->paint(PAINT_MATERIALS | PAINT_SOLID);
    glPopMatrix();
}

// The same vessel squashed flat onto a floor below it, unlit black.
static void paint_shadow(VESSEL* v, float angle, float fade)
{
    glPushMatrix();
    glTranslatef(0.0f, -8.0f, -40.0f);
    glScalef(1.0f, 0.0f, 1.0f);
    place_vessel(angle, fade);
    light_materials = false;
    disable_lights();
    // Flattened faces turn either way: all of them make the shadow.
    disable_bfc();
    select_texture(nullptr);
    glColor3f(0.0f, 0.0f, 0.0f);
    v->paint(PAINT_SOLID);
    glPopMatrix();
}

static void paint_text_column(const std::vector<VCD_TEXT_LINE>& lines, float fade)
{
    disable_lights();
    disable_bfc();
    select_texture(nullptr);
    glDisable(GL_TEXTURE_2D);
    select_blend_func(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    disable_z_check();
    disable_z_write();
    glEnable(GL_LINE_SMOOTH);
    // A 640 x 480 page whatever the screen size.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 640.0, 0.0, 480.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glPushMatrix();
    glTranslatef(20.5f, 440.5f, 0.0f);
    glColor4f(1.0f, 1.0f, 0.0f, fade);
    float y = 0.0f;
    for (size_t i = 0; i < lines.size(); i++) {
        if (i > 0)
            y -= lines[i].small ? 10.0f : 20.0f;
        glPushMatrix();
        glTranslatef(0.0f, y, 0.0f);
        if (lines[i].small)
            glScalef(0.5f, 0.5f, 1.0f);
        stroke_textout(lines[i].text.c_str());
        glPopMatrix();
    }
    glPopMatrix();
}

void repaint_screen(VESSEL* v, float angle, float fade)
{
    setup_screen_light();
    paint_preview(v, angle, fade);
    paint_shadow(v, angle, fade);
    // Moves keep cur_file inside the list, so the guard only fends off a bad index.
    const char* shown = cur_file < nr_files ? filename[cur_file] : "";
    paint_text_column(vcd_text_lines(v, shown), fade);
    allegro_gl_flip();
}

const char* select_vcd(volatile int* close)
{
    init_vcd_file_info();
    if (nr_files == 0)
        return nullptr;
    VESSEL* v = load_preview_vessel(filename[cur_file]);
    select_viewpoint(nullptr);
    float fade = 0.0f;
    float angle = 0.0f;
    bool done = false;
    while (!done) {
        int load = step_vcd_frame(fade, angle);
        if (load >= 0) {
            delete v;
            v = load_preview_vessel(filename[load]);
        }
        v->reset_matrices();
        v->update_abs_matrix();
        repaint_screen(v, angle, fade);
        // Keys after Enter or Escape stay for the game.
        while (!done && keypressed())
            done = handle_vcd_key(readkey() >> 8);
        if (close && *close)
            done = true;
        rest(vsel_frame_rest);
    }
    delete v;
    return filename[next_file];
}
