// FTEXMODEL: a textured sprite quad in the local x-z plane, added to the
// picture in the blended pass. Turning it toward the viewer is the owning
// node's business.
#pragma once

#include <cmath>

#include "render/model.h"

class TEXTURE;

class FTEXMODEL : public MODEL {
public:
    // The texture is found with find_texture when a name is given. The flag
    // is kept for the owner; the model itself does nothing with it.
    FTEXMODEL(const char* texture_name, bool flag);

    void paint(unsigned short flags) override;
    float get_r() override { return size; }
    float get_paint_r() override { return 1.4143f * fabsf(size); }  // the quad's corners
    void set_color(unsigned int id, float r, float g, float b) override;  // id 0: colour
    using MODEL::set_color;  // the float* form stays visible
    void set_parameter(unsigned int id, float value) override;           // 0 size, 1 brightness

    // Replaces the texture by find_texture(name); null: none.
    virtual void load_texture(const char* name);

    TEXTURE* get_texture() const { return texture; }
    float get_size() const { return size; }
    float get_brightness() const { return brightness; }
    const float* get_color() const { return color; }
    bool get_flag() const { return flag; }

private:
    TEXTURE* texture = nullptr;   // not owned
    float size = 1.0f;            // half the quad's side, local units
    float brightness = 1.0f;      // factor on the colour
    float color[3] = {1.0f, 1.0f, 1.0f};
    bool flag;
};

// The unit quad every FTEXMODEL draws, in one display list made on first use
// and kept for the run; 0 until made.
extern unsigned int ftex_quad_list;
