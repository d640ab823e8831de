#include "scene/thing_ref.h"

#include "scene/thing.h"

THING_REF& THING_REF::operator=(const THING_REF& other)
{
    if (this != &other)
        set(other.thing);
    return *this;
}

THING_REF& THING_REF::operator=(THING* t)
{
    set(t);
    return *this;
}

void THING_REF::set(THING* t)
{
    if (t == thing)
        return;
    if (thing)
        thing->unlink_ref(this);
    thing = t;
    if (thing)
        thing->link_ref(this);
}
