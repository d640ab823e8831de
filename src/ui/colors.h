// The fixed table of twenty RGBA colours the cockpit screens draw with, as
// floats and as packed pixels for the current colour depth.
#pragma once

constexpr int KVOR_COLORS = 20;

// Colour indices named for the MFD screens.
extern int mfd_energy_color;
extern int mfd_shield_color;
extern int mfd_laser_color;
extern int mfd_missile_color;
extern int mfd_jet_color;
extern int mfd_rjet_color;

void setup_kvor_colors(int depth);  // fills the packed table for that depth
int get_kvor_color(int i);          // packed; 0 outside 0..19
float get_kvor_color_r(int i);      // 0 outside the table
float get_kvor_color_g(int i);
float get_kvor_color_b(int i);
float get_kvor_color_a(int i);      // 1 outside the table
// Copies the first n (at most 4) of red, green, blue, alpha; zeros outside.
void get_kvor_color(int i, float* out, int n);
