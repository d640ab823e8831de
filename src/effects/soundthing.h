// SOUNDTHING: plays one sample once where an explosion happened, and goes
// when the sample has played.
#pragma once

#include "scene/thing.h"

class SOUNDTHING : public THING {
public:
    // Takes over one reference on s (may be null: then it only waits one tick).
    explicit SOUNDTHING(SOUND* s);
    ~SOUNDTHING() override;  // gives the reference back to the sound list

    // First tick: starts the sample, its volume set once from the distance
    // to the viewer. Then counts down the sample's playing time.
    void tick(float dt) override;

    bool has_started() const { return started; }
    float get_time_left() const { return time_left; }
    SOUND* get_sound() const { return sound; }

protected:
    // The sample played. (It shadows THING's explosion sound, which a sound
    // thing never has: it does not explode.)
    SOUND* sound;             // one reference held; may be null
    bool started = false;     // the sample was started
    float time_left = 0.0f;   // seconds of playing left
};

// Playing time of a sound's sample in seconds; 0 without one.
float sound_duration(SOUND* s);
