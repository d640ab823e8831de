// HUDMODEL: one element of the head-up display, drawn as glowing lines and
// stroke-font numbers in the node's local x-z plane (+x right, +z up; the
// vessel places its HUD nodes ahead of the pilot along +y). Reticles,
// flight-path and target markers, a bearing pointer and two vertical tapes.
// Drawn in the blended pass only.
#pragma once

#include "render/model.h"

extern float hud_color[4];     // RGBA of a new element
extern float vscale_unit;      // tape value between small ticks
extern float vscale_m_unit;    // tape value between labelled ticks
extern float vscale_range;     // a tape shows value - range .. value + range
extern float hudfont_sizefac;  // stroke-font scale per unit of size

// Styles of set_style.
enum : unsigned {
    HUD_SQUARE = 0,        // target box
    HUD_DIAMOND = 1,
    HUD_BORESIGHT = 2,     // wings with a V
    HUD_VELOCITY = 3,      // flight-path marker
    HUD_RVELOCITY = 4,     // reverse flight-path marker
    HUD_AT_REST = 5,       // flight-path marker when nearly at rest
    HUD_TAPE_LEFT = 6,     // speed tape
    HUD_TAPE_RIGHT = 7,    // altitude tape
    HUD_POINTER = 8,       // bearing arrow: value = angle (rad), delta = vertical offset
    HUD_AIM = 9,           // brackets where the shots go
    HUD_STYLES = 10,
};

class HUDMODEL : public MODEL {
public:
    HUDMODEL();

    void paint(unsigned short flags) override;
    float get_r() override;  // size
    // Id 0 only: the three floats with alpha 1 / the four floats RGBA.
    void set_color(unsigned int id, float r, float g, float b) override;
    void set_color(unsigned int id, float* rgba) override;

    virtual void set_style(unsigned int s);  // 0..9; anything else is 0
    virtual void set_size(float v);          // half-width in local units; stored as |v|
    virtual void set_value(float v);
    virtual void set_delta(float d);

    unsigned get_style() const { return style; }
    float get_size() const { return size; }
    float get_value() const { return value; }
    float get_delta() const { return delta; }
    const float* get_color() const { return color; }

private:
    void paint_octagon();
    void paint_pointer();
    void paint_tape();

    float size;      // >= 0
    unsigned style;  // 0..9
    float value;     // the quantity shown
    float delta;     // its rate or a second quantity; 0 until fed
    float color[4];  // RGBA
};

// What a tape of the given value shows, without drawing. Each answers how
// many values it wrote to out (at most max), in ascending order.
int hud_tape_labels(float value, float* out, int max);  // labelled ticks
int hud_tape_ticks(float value, float* out, int max);   // small ticks
// The height on a tape of half-height size at which tape value t is drawn.
float hud_tape_z(float value, float t, float size);
// The read-out texts of a tape: the value ("%5.0f"), and the delta, empty
// when |delta| is below 0.5. Each buffer holds size bytes.
void hud_readout_texts(float value, float delta, char* value_text, char* delta_text, int size);
