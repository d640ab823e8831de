// Explosions: when a thing's count-down has run out, it bursts into
// fireballs, debris triangles cut from its mesh and a sound, all added to
// the world as effect things that remove themselves when they are done.
#pragma once

#include <allegro.h>

class THING;

extern float debris_speed;       // outward debris speed per metre of model radius, 1/s
extern float debris_rand_speed;  // spread of the random part of the debris velocity, m/s
extern int skip_debris;          // one debris piece for every skip_debris-th face


// The glow sprite every fireball shows: size x size, 8 bits, 255 at the
// centre falling to 0 at the middle of each edge. The bitmap form is the
// caller's to destroy; null for a size below 1.
BITMAP* make_explosion_sprite_bitmap(int size);
// Makes the texture "$FBSPRITE" from that bitmap. Leaves the colour depth at 8.
void make_explosion_sprite(int size);

// The explosion harvest over thing's subtree: every thing whose count-down
// has run out explodes into where and is marked dead.
void crop_explosions(THING* thing, THING* where);
// The fireballs, debris and sound of thing, added to where (null: the
// thing's parent). Nothing without a thing or a place.
void create_explosion(THING* thing, THING* where);
void create_explosion_fireball(THING* thing, THING* where);
void create_explosion_debris(THING* thing, THING* where);
void create_explosion_sound(THING* thing, THING* where);
