#include "ui/colors.h"

#include <algorithm>
#include <allegro.h>

int mfd_energy_color = 6;
int mfd_shield_color = 7;
int mfd_laser_color = 5;
int mfd_missile_color = 11;
int mfd_jet_color = 9;
int mfd_rjet_color = 8;

static const float rgba_table[KVOR_COLORS][4] = {
    {0.0f, 0.0f, 0.0f, 0.0f},       {0.06125f, 0.25f, 0.0f, 0.65f}, {0.125f, 0.5f, 0.0f, 0.8f},
    {0.25f, 1.0f, 0.0f, 1.0f},      {0.0f, 0.0f, 0.0f, 0.7f},       {0.0f, 0.8f, 0.0f, 0.8f},
    {0.0f, 0.9f, 0.8f, 0.8f},       {0.2f, 0.4f, 1.0f, 0.8f},       {0.75f, 0.0f, 0.5f, 0.8f},
    {0.75f, 0.0f, 0.0f, 0.8f},      {0.8f, 0.4f, 0.0f, 0.8f},       {0.75f, 0.75f, 0.0f, 0.8f},
    {1.0f, 1.0f, 1.0f, 1.0f},       {0.75f, 0.75f, 0.75f, 0.75f},   {0.5f, 0.5f, 0.5f, 0.75f},
    {1.0f, 0.0f, 0.0f, 1.0f},       {0.0f, 1.0f, 0.0f, 1.0f},       {0.25f, 0.5f, 1.0f, 1.0f},
    {0.9f, 0.9f, 0.0f, 1.0f},       {0.9f, 0.9f, 0.9f, 1.0f},
};

static int color_table[KVOR_COLORS];

static bool in_table(int i) { return i >= 0 && i < KVOR_COLORS; }

static int component(int i, int c) { return (int)(rgba_table[i][c] * 255.0f); }

void setup_kvor_colors(int depth)
{
    set_color_depth(depth);
    for (int i = 0; i < KVOR_COLORS; i++) {
        int r = component(i, 0), g = component(i, 1), b = component(i, 2), a = component(i, 3);
        if (depth == 32)
            color_table[i] = (int)(((unsigned)r << _rgb_r_shift_32) | ((unsigned)g << _rgb_g_shift_32) |
                                   ((unsigned)b << _rgb_b_shift_32) | ((unsigned)a << _rgb_a_shift_32));
        else
            color_table[i] = makecol(r, g, b);
    }
}

int get_kvor_color(int i) { return in_table(i) ? color_table[i] : 0; }
float get_kvor_color_r(int i) { return in_table(i) ? rgba_table[i][0] : 0.0f; }
float get_kvor_color_g(int i) { return in_table(i) ? rgba_table[i][1] : 0.0f; }
float get_kvor_color_b(int i) { return in_table(i) ? rgba_table[i][2] : 0.0f; }
float get_kvor_color_a(int i) { return in_table(i) ? rgba_table[i][3] : 1.0f; }

void get_kvor_color(int i, float* out, int n)
{
    n = std::min(n, 4);
    for (int c = 0; c < n; c++)
        out[c] = in_table(i) ? rgba_table[i][c] : 0.0f;
}
