#include "sound/sounds.h"

SOUNDLIST soundlist;

SOUND::SOUND(const char* name, SAMPLE* sample)
    : name(ustrdup(name ? name : "")), sample(sample), refcount(1)
{
}

SOUND::~SOUND()
{
    if (sample)
        destroy_sample(sample);
    free(name);
}

SOUND* SOUND::acquire()
{
    refcount++;
    return this;
}

SOUND* SOUND::release()
{
    // The last reference takes the sound with it.
    if (--refcount <= 0) {
        delete this;
        return nullptr;
    }
    return this;
}

SOUNDLIST::~SOUNDLIST()
{
    for (SOUND* s : sounds)
        delete s;
}

SOUND* SOUNDLIST::find(const char* name)
{
    if (!name)
        return nullptr;
    for (SOUND* s : sounds)
        if (s && ustrcmp(s->get_name(), name) == 0)
            return s;
    return nullptr;
}

SOUND* SOUNDLIST::load(const char* name)
{
    if (!name)
        return nullptr;
    if (SOUND* s = find(name))
        return s->acquire();
    // load_sample needs Allegro's sound state only for playing, not loading.
    SOUND* s = new SOUND(name, exists(name) ? load_sample(name) : nullptr);
    sounds.push_back(s);
    return s;
}

void SOUNDLIST::release(SOUND* s)
{
    if (!s)
        return;
    for (SOUND*& slot : sounds) {
        if (slot && slot == s) {
            slot = s->release();
            return;
        }
    }
}

void SOUNDLIST::cleanup()
{
    std::vector<SOUND*> kept;
    for (SOUND* s : sounds)
        if (s)
            kept.push_back(s);
    sounds.swap(kept);
}
