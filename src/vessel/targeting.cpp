// Target selection: the sibling searches and VESSEL's four selections. The
// candidates are the other children of the vessel's parent (the world).
#include "vessel/targeting.h"

#include <cmath>

#include "scene/thing.h"
#include "scene/vec3.h"
#include "vessel/vessel.h"

float target_nearest_range = 100000.0f;  // m

bool thing_matches(THING* t, unsigned long want, unsigned long reject)
{
    unsigned long f = t->get_flags();
    return (f & want) == want && (f & reject) == 0;
}

THING* find_first_thing_attr(THING* list, unsigned long want, unsigned long reject)
{
    for (THING* t = list; t; t = t->get_next())
        if (thing_matches(t, want, reject))
            return t;
    return nullptr;
}

THING* find_next_thing_attr(THING* t, unsigned long want, unsigned long reject)
{
    return t ? find_first_thing_attr(t->get_next(), want, reject) : nullptr;
}

THING* find_prev_thing_attr(THING* list, THING* t, unsigned long want, unsigned long reject)
{
    THING* found = nullptr;
    for (THING* p = list; p && p != t; p = p->get_next())
        if (thing_matches(p, want, reject))
            found = p;
    return found;
}

THING* find_last_thing_attr(THING* list, unsigned long want, unsigned long reject)
{
    return find_prev_thing_attr(list, nullptr, want, reject);
}

THING* find_prev_thing(THING* list, THING* t)
{
    for (THING* p = list; p; p = p->get_next())
        if (p->get_next() == t && t)
            return p;
    return nullptr;
}

// ------------------------------------------------------------ VESSEL

static const unsigned long GONE = THING_DEAD | THING_EXPLODING;

void VESSEL::select_next_target(unsigned long want, unsigned long reject)
{
    reject |= GONE;
    THING* t = find_next_thing_attr(target, want, reject);
    if (!t && parent)
        t = find_first_thing_attr(parent->get_first_child(), want, reject);
    if (t == this)
        t = find_next_thing_attr(this, want, reject);
    target = t;
}

void VESSEL::select_prev_target(unsigned long want, unsigned long reject)
{
    if (!parent)
        return;
    reject |= GONE;
    THING* list = parent->get_first_child();
    THING* t = target == list ? nullptr : find_prev_thing_attr(list, target, want, reject);
    if (t == this)
        t = find_prev_thing_attr(list, this, want, reject);
    if (!t)
        t = find_last_thing_attr(list, want, reject);
    target = t;
}

void VESSEL::select_nearest_target(unsigned long want, unsigned long reject)
{
    THING* best = nullptr;
    if (parent) {
        reject |= GONE;
        float best_distance = target_nearest_range;
        for (THING* t = parent->get_first_child(); t; t = t->get_next()) {
            if (t == this || !thing_matches(t, want, reject))
                continue;
            float d = distance3(abs.t, t->get_abs().t);
            if (d < best_distance) {
                best_distance = d;
                best = t;
            }
        }
    }
    target = best;
}

void VESSEL::select_ahead_target(unsigned long want, unsigned long reject)
{
    THING* best = nullptr;
    if (parent) {
        reject |= GONE;
        float best_score = 0.0f;
        const float forward[3] = {abs.v[0][1], abs.v[1][1], abs.v[2][1]};
        for (THING* t = parent->get_first_child(); t; t = t->get_next()) {
            if (t == this || !thing_matches(t, want, reject))
                continue;
            const float* p = t->get_abs().t;
            float d[3] = {p[0] - abs.t[0], p[1] - abs.t[1], p[2] - abs.t[2]};
            float length = length3(d);
            // The cosine of the angle off the nose; a thing right here has none.
            float score = length > 0.0f ? dot3(d, forward) / length : 0.0f;
            if (score > best_score) {
                best_score = score;
                best = t;
            }
        }
    }
    target = best;
}
