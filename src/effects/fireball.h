// FIREBALL: a glowing sprite that grows, fades and drifts, always turned to
// the viewer. Explosions make them, and so do jets and missiles as exhaust.
#pragma once

#include "scene/thing.h"

// The colour of flame and of a burst unless something gives its own.
inline constexpr float FIRE_COLOR[3] = {1.0f, 0.75f, 0.5f};

extern float phase_peak_point;  // life (1 at birth .. 0) at which a fireball is at its peak

class FIREBALL : public THING {
public:
    explicit FIREBALL(const float* rgb);  // red, green, blue 0..1

    // Starts the fireball's life again. A duration of 0 gives a fireball that
    // is gone at its first tick without ever showing.
    virtual void reset(float brightness, float size, float duration, bool shrink);
    virtual void set_vel(const float* v);  // world velocity, m/s

    void paint(unsigned short flags) override;  // nothing while show_explosions is off
    void tick(float dt) override;

    float get_life() const { return life; }
    float get_fade_rate() const { return fade_rate; }
    float get_peak_size() const { return size; }
    float get_peak_brightness() const { return brightness; }
    const float* get_velocity() const { return vel; }
    const float* get_color() const { return color; }
    bool get_shrink() const { return shrink; }

    // Size and brightness of the sprite at the present life.
    float current_size() const;
    float current_brightness() const;

protected:
    float brightness = 1.0f;  // peak brightness factor
    float size = 1.0f;        // peak size, m
    float life = 1.0f;        // 1 at birth, falling to 0
    float fade_rate = 0.5f;   // life lost per second (1 / duration); infinite for duration 0
    float vel[3] = {0.0f, 0.0f, 0.0f};   // world velocity, m/s
    float color[3];  // from the constructor
    bool shrink = false;      // shrink again after the peak
};
