// Sound samples, loaded once per file name and shared by reference count
// through the one global sound list.
#pragma once

#include <allegro.h>
#include <vector>

class SOUND {
public:
    SOUND(const char* name, SAMPLE* sample);  // count 1; takes the sample
    ~SOUND();
    SOUND(const SOUND&) = delete;
    SOUND& operator=(const SOUND&) = delete;

    SOUND* acquire();  // count + 1; answers itself
    // Count - 1; destroys the sound and answers null when no holder is left.
    SOUND* release();

    const char* get_name() const { return name; }
    SAMPLE* get_sample() const { return sample; }  // null when the file did not load
    int get_refcount() const { return refcount; }

private:
    char* name;      // file name it was loaded from; owned
    SAMPLE* sample;  // owned; may be null
    int refcount;
};

class SOUNDLIST {
public:
    SOUNDLIST() = default;
    ~SOUNDLIST();
    SOUNDLIST(const SOUNDLIST&) = delete;
    SOUNDLIST& operator=(const SOUNDLIST&) = delete;

    SOUND* find(const char* name);  // first live entry of that name, or null
    // The shared sound of that file, counting the caller as a new holder. A
    // file that does not load still gives a SOUND, without a sample.
    SOUND* load(const char* name);
    // Gives one holder's reference back; a sound not in the list is left alone.
    void release(SOUND* s);
    void cleanup();  // drops the empty slots, keeping the order

    size_t size() const { return sounds.size(); }
    SOUND* at(size_t i) const { return sounds[i]; }

private:
    std::vector<SOUND*> sounds;  // load order; null once fully released
};

extern SOUNDLIST soundlist;
