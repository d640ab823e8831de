// The cockpit screens a vessel draws into bitmaps of its own: status, all
// slots, target, and the two radar halves. The driver marks the screens it
// shows as stale each frame and fetches them; a screen is redrawn only when
// fetched while stale.
#include "vessel/mfd.h"

#include <allegro.h>

#include <cassert>
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "render/model.h"
#include "scene/vec3.h"
#include "ui/colors.h"
#include "vessel/vessel.h"

int mfd_width[5] = {256, 256, 256, 64, 64};   // pixels
int mfd_height[5] = {128, 128, 128, 64, 64};  // pixels
float radar_range = 2000.0f;                  // m

bool radar_pixel(float u, float v, int* x, int* y)
{
    if (!std::isfinite(u) || !std::isfinite(v))
        return false;
    *x = u >= 1.0f ? 62 : u < -1.0f ? 0 : (int)((u + 1.0f) * 31.0f + 0.5f);
    *y = v >= 1.0f ? 0 : v < -1.0f ? 62 : (int)((1.0f - v) * 31.0f + 0.5f);
    return true;
}

bool mfd_distance_text(float d, char* out, size_t size)
{
    if (!std::isfinite(d)) {
        snprintf(out, size, "%s", "");
        return false;
    }
    if (d >= 100000.0f)
        snprintf(out, size, "dist: %4.0f km", d / 1000.0f);
    else if (d >= 1000.0f)
        snprintf(out, size, "dist: %2.1f km", d / 1000.0f);
    else
        snprintf(out, size, "dist: %4.0f m", d);
    return true;
}

bool mfd_size_text(float s, char* out, size_t size)
{
    if (!std::isfinite(s)) {
        snprintf(out, size, "%s", "");
        return false;
    }
    if (s >= 100000.0f)
        snprintf(out, size, "size: %4.0f km", s / 1000.0f);
    else if (s >= 1000.0f)
        snprintf(out, size, "size: %2.1f km", s / 1000.0f);
    else if (s >= 1.0f)
        snprintf(out, size, "size: %4.0f m", s);
    else
        snprintf(out, size, "size: %4.0f mm", s * 1000.0f);
    return true;
}

// ------------------------------------------------------------ helpers

static int color(int index) { return get_kvor_color(index); }

// Colour of a thing on the target title and the radar, by its team.
static int relation_color(int relation) { return relation < 0 ? 9 : relation > 0 ? 7 : 5; }

// The outline picture of t, centred on bmp, when t has one.
static void blit_centred(THING* t, BITMAP* bmp)
{
    BITMAP* img = t->get_mfd_image();
    if (img)
        blit(img, bmp, 0, 0, (bmp->w - img->w) / 2, (bmp->h - img->h) / 2, img->w, img->h);
}

static void abs_position(THING* t, float* p)
{
    const MATRIX_f& m = t->get_abs();
    p[0] = m.t[0];
    p[1] = m.t[1];
    p[2] = m.t[2];
}

// ------------------------------------------------------------ bitmaps

BITMAP* VESSEL::get_mfd_bitmap(int id)
{
    if (id < 0 || id >= MFD_SCREENS)
        return nullptr;
    update_mfd_bitmap(id);
    assert(mfd_bmp[id] && "mfd_bmp[index]");
    return mfd_bmp[id];
}

// A new bitmap starts as an empty screen, so that one fetched before its
// first drawing (a radar before update_radar) shows no stale memory.
static BITMAP* new_screen_bitmap(int id)
{
    BITMAP* b = create_bitmap(mfd_width[id], mfd_height[id]);
    if (b)
        clear_to_color(b, color(1));
    return b;
}

void VESSEL::update_mfd_bitmap(int id)
{
    if (id < 0 || id >= MFD_SCREENS)
        return;
    set_color_depth(32);
    if (!mfd_bmp[id]) {
        mfd_bmp[id] = new_screen_bitmap(id);
        mfd_valid[id] = false;
        if (!mfd_bmp[id])
            return;
    }
    if (mfd_valid[id])
        return;
    switch (id) {
    case MFD_STATUS:
        update_status_screen();
        break;
    case MFD_ALLSLOTS:
        update_slot_screen();
        break;
    case MFD_TARGET:
        update_target_screen();
        break;
    default:  // the radar pair is drawn by update_radar, together
        for (int r = MFD_RADAR_F; r <= MFD_RADAR_R; r++)
            if (!mfd_bmp[r])
                mfd_bmp[r] = new_screen_bitmap(r);
        break;
    }
    mfd_valid[id] = true;
}

void VESSEL::invalidate_mfd(int id)
{
    if (id >= 0 && id < MFD_SCREENS)
        mfd_valid[id] = false;
}

// ------------------------------------------------------------ status

// The forward command as a bar position and a percentage, at the top of the
// gauge for forward, at the bottom for reverse.
static void draw_throttle(BITMAP* bmp, float command, bool long_distance)
{
    int c3 = color(3);
    rect(bmp, 6, 22, 26, 106, c3);
    hline(bmp, 8, 64 - trunc_int(command * 32.0f), 24, c3);
    bool forward = !(command < 0.0f);
    textprintf_centre_ex(bmp, font, 16, forward ? 23 : 97, c3, -1, "%1.0f", fabsf(command) * 100.0f);
    if (long_distance)
        textprintf_centre_ex(bmp, font, 16, forward ? 33 : 87, makeacol32(255, 255, 0, 255), -1, "x%1.0f",
                             vessel_long_distance_fac);
}

// What the vessel's items ask for against what it can give: the part that
// is met in the energy colour, the shortfall in red.
static void draw_energy(BITMAP* bmp, float supply, float demand)
{
    rect(bmp, 32, 98, 255, 105, color(3));
    if (supply == 0.0f) {
        textprintf_centre_ex(bmp, font, 144, 98, color(2), -1, "no energy");
        return;
    }
    int energy = color(mfd_energy_color);
    if (supply >= demand) {
        rectfill(bmp, 33, 99, 33 + trunc_int(221.0f * demand / supply), 104, energy);
    } else {
        int x = 33 + trunc_int(221.0f * supply / demand);
        rectfill(bmp, 33, 99, x, 104, energy);
        rectfill(bmp, x, 99, 254, 104, color(9));
    }
    textprintf_centre_ex(bmp, font, 144, 98, color(12), -1, "energy: %1.0f%%", demand / supply * 100.0f);
}

// The shield's fill as an ellipse inside its outline. A shield knocked
// below zero shows an empty gauge.
static void draw_shield(BITMAP* bmp, float shield, float max_shield)
{
    float f = max_shield != 0.0f ? shield / max_shield : 0.0f;
    if (max_shield != 0.0f) {
        float fill = f > 1.0f ? 1.0f : f > 0.0f ? f : 0.0f;
        ellipsefill(bmp, 220, 36, trunc_int(32.0f * fill), trunc_int(16.0f * fill), color(mfd_shield_color));
    }
    ellipse(bmp, 220, 36, 32, 16, color(3));
    textprintf_centre_ex(bmp, font, 220, 32, color(max_shield != 0.0f ? 12 : 2), -1, "%3.0f%%", f * 100.0f);
}

// M: speed stabilizer; R/H: rotation stabilizer, with the horizon one.
static void draw_stabilizers(BITMAP* bmp, bool speed, bool rotation, bool horizon)
{
    int c3 = color(3);
    rect(bmp, 6, 108, 26, 119, c3);
    vline(bmp, 17, 108, 119, c3);
    if (speed)
        rectfill(bmp, 7, 109, 16, 118, color(5));
    if (rotation)
        rectfill(bmp, 18, 109, 25, 118, color(horizon ? 11 : 5));
    textprintf_ex(bmp, font, 8, 110, color(speed ? 12 : 2), -1, "M");
    int label = !rotation ? 2 : horizon ? 4 : 12;
    textprintf_ex(bmp, font, 19, 110, color(label), -1, horizon ? "H" : "R");
}

void VESSEL::update_status_screen()
{
    BITMAP* bmp = mfd_bmp[MFD_STATUS];
    assert(bmp && "mfd_bmp[MFD_STATUS]");
    if (!bmp)
        return;
    clear_to_color(bmp, color(1));
    blit_centred(this, bmp);
    textprintf_ex(bmp, font, 0, 0, color(3), -1, "%s %s", get_vessel_type_string(), get_vessel_id_string());
    draw_throttle(bmp, thrust_input[1], long_distance);
    draw_energy(bmp, energy_output, energy_need);
    if (SLOTTHING* gun = item_at(cur_gun)) {
        rect(bmp, 32, 108, 255, 115, color(3));
        gun->paint_status(bmp, 32, 108, 224, 8);
    }
    draw_shield(bmp, shield, max_shield);
    draw_stabilizers(bmp, stabilizer, rstabilizer, hstabilizer);
}

// ------------------------------------------------------------ all slots

void VESSEL::update_slot_screen()
{
    BITMAP* bmp = mfd_bmp[MFD_ALLSLOTS];
    assert(bmp && "mfd_bmp[MFD_ALLSLOTS]");
    if (!bmp)
        return;
    clear_to_color(bmp, color(1));
    int w = bmp->w / 2, h = bmp->h / 16;
    for (int i = 0; i < MAX_SLOTS; i++) {
        if (!slot[i])
            continue;
        int x = (i % 2) * w, y = (i / 2) * h;
        rect(bmp, x, y, x + w - 1, y + h - 1, color(i == cur_gun ? 11 : 3));
        if (slot[i]->thing)
            slot[i]->thing->paint_status(bmp, x, y, w, h);
        else
            textprintf_centre_ex(bmp, font, x + (w - 2) / 2, y + bmp->h / 32 - 4, color(2), -1, "*** empty ***");
    }
}

// ------------------------------------------------------------ target

void VESSEL::update_target_screen()
{
    BITMAP* bmp = mfd_bmp[MFD_TARGET];
    assert(bmp && "mfd_bmp[MFD_TARGET]");
    if (!bmp)
        return;
    THING* t = target;  // null once the target is destroyed, whenever that happened
    int title = 3;
    if (t && t->has_flags(THING_TARGETABLE))
        title = relation_color(get_team_relation(t->get_team(), get_team()));
    clear_to_color(bmp, color(1));
    if (!t) {
        textprintf_centre_ex(bmp, font, 128, 60, color(2), -1, "* no target *");
        return;
    }
    blit_centred(t, bmp);
    textprintf_centre_ex(bmp, font, bmp->w / 2, 0, color(title), -1, "%s %s", t->get_vessel_type_string(),
                         t->get_vessel_id_string());
    float a[3], b[3];
    abs_position(this, a);
    abs_position(t, b);
    float d = distance3(a, b);
    char text[64];
    // A position gone non-finite gives no line rather than "nan".
    if (mfd_distance_text(d, text, sizeof text))
        textprintf_ex(bmp, font, 0, 108, color(3), -1, "%s", text);
    if (mfd_size_text(2.0f * t->get_radius(), text, sizeof text))
        textprintf_ex(bmp, font, 0, 118, color(3), -1, "%s", text);
    textprintf_right_ex(bmp, font, 256, 118, color(mfd_shield_color), -1, "shields: %1.0f / %1.0f", t->get_shield(),
                        t->get_max_shield());
}

// ------------------------------------------------------------ radar

// One thing's dot; the selected target gets four white corners.
static void radar_dot(BITMAP* bmp, int x, int y, int c, bool selected)
{
    putpixel(bmp, x, y, c);
    if (!selected)
        return;
    int hi = color(12);
    putpixel(bmp, x - 1, y - 1, hi);
    putpixel(bmp, x + 1, y - 1, hi);
    putpixel(bmp, x - 1, y + 1, hi);
    putpixel(bmp, x + 1, y + 1, hi);
}

void VESSEL::update_radar(THING* list)
{
    BITMAP* front = mfd_bmp[MFD_RADAR_F];
    BITMAP* rear = mfd_bmp[MFD_RADAR_R];
    for (BITMAP* b : {front, rear})
        if (b)
            clear_to_color(b, color(1));
    float own[3];
    abs_position(this, own);
    const MATRIX_f& m = get_abs();
    THING* selected = target;
    for (THING* t = list; t; t = t->get_next()) {
        if (t == this || !t->has_flags(THING_ON_RADAR))
            continue;
        float p[3], d[3];
        abs_position(t, p);
        for (int i = 0; i < 3; i++)
            d[i] = p[i] - own[i];
        float dist = length3(d);
        if (!(dist < radar_range))  // also passes over a non-finite position
            continue;
        // d in the vessel's axes: the columns of the rotation are its axes.
        float l[3];
        for (int j = 0; j < 3; j++)
            l[j] = m.v[0][j] * d[0] + m.v[1][j] * d[1] + m.v[2][j] * d[2];
        BITMAP* bmp = l[1] >= 0.0f ? front : rear;
        float u = dist > 0.0f ? l[0] / dist : 0.0f;
        float v = dist > 0.0f ? l[2] / dist : 0.0f;
        int x, y;
        if (!bmp || !radar_pixel(u, v, &x, &y))
            continue;
        int c = t->has_flags(THING_TARGETABLE) ? relation_color(get_team_relation(t->get_team(), get_team())) : 14;
        radar_dot(bmp, x, y, color(c), t == selected);
    }
}
