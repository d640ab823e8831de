#include "effects/soundthing.h"

#include "sound/sounds.h"

SOUNDTHING::SOUNDTHING(SOUND* s) : sound(s) {}

SOUNDTHING::~SOUNDTHING()
{
    // The voice goes first: the sample it plays may go with the reference.
    play_sound(nullptr, false);
    soundlist.release(sound);
}

float sound_duration(SOUND* s)
{
    SAMPLE* sample = s ? s->get_sample() : nullptr;
    if (!sample || sample->freq <= 0)
        return 0.0f;
    return (float)sample->len / (float)sample->freq;
}

void SOUNDTHING::tick(float dt)
{
    if (!started) {
        play_sound(sound, false);
        started = true;
        time_left = sound_duration(sound);
        return;
    }
    time_left -= dt;
    if (time_left < 0.0f)
        set_flags(THING_DEAD);
}
