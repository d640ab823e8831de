// Gun selection and firing: which fitted guns form a group (combine mode),
// how many of a group fire per shot (cycle mode), and the rotation through
// the group's barrels. The guns themselves decide whether they can fire.
#include <algorithm>
#include <cassert>
#include <cstring>

#include "equipment/msl_launcher.h"
#include "vessel/vessel.h"

// Bits of an item's slot type that make it a gun.
static const int GUN_SLOT_BITS = SLOT_GUN | SLOT_MISSILE;

SLOTTHING* VESSEL::item_at(int i) const
{
    if (i < 0 || i >= MAX_SLOTS || !slot[i])
        return nullptr;
    return slot[i]->thing;
}

bool VESSEL::is_gun(int i) const
{
    SLOTTHING* item = item_at(i);
    return item && (item->get_slottype() & GUN_SLOT_BITS);
}

bool VESSEL::is_usable_gun(int i) const { return is_gun(i) && item_at(i)->get_ammo() >= 1.0f; }

void VESSEL::next_gun_combine_mode() { gun_combine_mode = (gun_combine_mode + 1) % 4; }
void VESSEL::next_gun_cycle_mode() { gun_cycle_mode = (gun_cycle_mode + 1) % 4; }

bool VESSEL::guns_are_comparable(int a, int b)
{
    if (a < 0 || b < 0)
        return true;
    SLOTTHING* x = item_at(a);
    SLOTTHING* y = item_at(b);
    if (!x || !y)
        return false;
    switch (gun_combine_mode) {
    case 1: return strcmp(x->get_name(), y->get_name()) == 0;
    case 2:
        return (x->get_slottype() & GUN_SLOT_BITS) && (y->get_slottype() & GUN_SLOT_BITS) &&
               x->get_tech() == y->get_tech();
    case 3: return true;
    default: return false;
    }
}

int VESSEL::find_next_gun_type(int from, int ref)
{
    from = std::max(from, -1);
    for (int i = from + 1; i < MAX_SLOTS; i++)
        if (is_usable_gun(i) && (ref < 0 || !guns_are_comparable(ref, i)))
            return i;
    return -1;
}

void VESSEL::next_gun_type()
{
    launch_spent = false;  // the new group's first pull is a pull of its own
    int i = find_next_gun_type(cur_gun, cur_gun);
    if (i == -1)
        i = find_next_gun_type(-1, cur_gun);  // wrap to the start
    if (i >= 0)
        cur_gun = i;
}

int VESSEL::find_next_gun(int from, int ref)
{
    from = std::max(from, -1);
    if (ref < 0)
        ref = from;
    for (int i = from + 1; i < MAX_SLOTS; i++)  // item_at answers null past the last slot anyway
        if (is_usable_gun(i) && (ref < 0 || guns_are_comparable(ref, i)))
            return i;
    return ref;
}

// Guns of the group fired per shot, of a group of n.
static int guns_per_shot(int cycle_mode, int n)
{
    static const int most[4] = {1, 2, 4, MAX_SLOTS};
    assert(cycle_mode >= 0 && cycle_mode < 4 && "cycle_mode >= 0 && cycle_mode < 4");
    return std::min(n, most[cycle_mode]);
}

void VESSEL::fire()
{
    int n = 0;
    for (int i = 0; i < MAX_SLOTS; i++)
        if (is_gun(i) && guns_are_comparable(cur_gun, i))
            n++;
    if (n == 0)
        return;
    int k = guns_per_shot(gun_cycle_mode, n);

    // The group in firing order, starting at the current gun and wrapping.
    int start = std::max(cur_gun, 0);
    int gun[MAX_SLOTS];
    int listed = 0;
    float r = 0.0f;
    for (int j = 0; j < MAX_SLOTS; j++) {
        int i = (start + j) % MAX_SLOTS;
        if (is_gun(i) && guns_are_comparable(start, i)) {
            gun[listed++] = i;
            float reload = item_at(i)->get_reload_interval();
            r = std::max(r, reload);
        }
    }
    for (int j = listed; j < MAX_SLOTS; j++)
        gun[j] = -1;

    // With no gun selected every gun counted above, but only those of slot
    // 0's group are listed, so fewer than k may be there: those fire.
    int firing = std::min(k, listed);
    // Missiles are few and each is aimed on its own: a launcher group
    // launches once per pull of the trigger. Held, it would go on through
    // its launchers every r / n seconds (a quarter second for four), and at
    // a low frame rate any press the game sees in two frames launched two.
    bool launchers = firing > 0 && item_at(gun[0])->get_tech() >= LAUNCHER_DUMB;  // the first launcher technology
    if (launchers && launch_spent)
        return;
    for (int i = 0; i < firing; i++) {
        assert(gun[i] >= 0 && "gun[i] >= 0");
        assert(slot[gun[i]] && "slot[gun[i]]");
        assert(slot[gun[i]]->thing && "slot[gun[i]]->thing");
        if (slot[gun[i]]->thing->trigger_lock())
            return;  // one gun still reloading holds back its whole group
    }
    for (int i = 0; i < firing; i++)
        slot[gun[i]]->thing->set_trigger(true);
    if (launchers)
        launch_spent = true;

    // n guns firing k at a time keep the rate of n guns each firing every r.
    fire_delay = (float)k * r / (float)n;
    cur_gun = k < n ? gun[k] : find_next_gun(-1, start);  // any from below 0 starts at slot 0
}
