// Searches over a sibling list (a first node and its next links) by THING
// flags. A thing matches (want, reject) when it has every bit of want and
// none of reject.
#pragma once

class THING;

bool thing_matches(THING* t, unsigned long want, unsigned long reject);
// The first match from list on, list included; null if none.
THING* find_first_thing_attr(THING* list, unsigned long want, unsigned long reject);
// The first match after t; null if t is null or none follows.
THING* find_next_thing_attr(THING* t, unsigned long want, unsigned long reject);
// The last match from list up to t, t excluded; with t null the last match
// of the whole list; null if none.
THING* find_prev_thing_attr(THING* list, THING* t, unsigned long want, unsigned long reject);
// The last match of the list; null if none.
THING* find_last_thing_attr(THING* list, unsigned long want, unsigned long reject);
// The node whose next is t; null when t is the first node or not in the list.
THING* find_prev_thing(THING* list, THING* t);

extern float target_nearest_range;  // m: things this far or farther are never the nearest
