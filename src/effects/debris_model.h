// DEBRIS_MODEL: one black triangle cut from an exploded mesh, scaled down as
// the piece cools.
#pragma once

#include "render/model.h"

extern float debris_color[4];  // RGBA of every debris triangle

class DEBRIS_MODEL : public MODEL {
public:
    // The triangle's corners, 3 floats each, around the piece's own origin.
    DEBRIS_MODEL(const float* a, const float* b, const float* c);

    void paint(unsigned short flags) override;  // solid pass only
    float get_r() override;                      // a fixed small radius
    float get_paint_r() override;                // the farthest corner, scaled
    void set_parameter(unsigned int id, float value) override;  // 0: scale

    float get_scale() const { return scale; }
    const float* get_vertex(int i) const { return vtx[i]; }  // i 0..2

private:
    float scale = 1.0f;  // uniform factor on the triangle
    float vtx[3][3];     // corners, local units
};
