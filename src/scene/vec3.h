// Three-vectors held as float[3], the way Allegro's matrices hold their rows
// and translations.
#pragma once

float dot3(const float* a, const float* b);
float length3(const float* v);
float distance3(const float* a, const float* b);  // |a - b|
