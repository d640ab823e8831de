// Tuning values and paths that belong to no single module.
#pragma once

extern const char* data_path;  // prefix of every data file, ends with '/'
extern float gravity;          // m/s^2, pulls along world -z
extern bool show_explosions;   // false: fireballs exist but are not drawn (-x0)

// Uniform random integers 0..32767 on every platform (rand()'s own range is
// wider on some), and the same as a fraction 0..1.
constexpr int RANDOM15_MAX = 32767;
int random15();
float random_unit();
