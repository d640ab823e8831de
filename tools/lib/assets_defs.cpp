#include "assets_defs.h"

#include <cassert>
#include <cstdio>
#include <map>

#include "assets_hulls.h"

// How the numbers were chosen.
//
// Hover. With the stabilizer on and no input, the vertical command of a
// vessel is c = -0.05 * climb rate + 0.25 * m * g / F2, where F2 sums the
// third entry of every item's maximum forces: for a rotator that entry is
// its yaw torque. Only the rotator's own z force lifts, so the vessel holds
// its height when c * lift = m * g, i.e. when every rotator's yaw torque is a
// quarter of its lift. All rotators keep that ratio exactly; then the sink
// in a hover is zero whatever the vessel weighs, as long as the lift exceeds
// the weight (c stays below 1). Lift is about 1.6 times the heaviest weight
// that each rotator carries.
//
// Turning. The rotation stabilizer commands 0.01 * (set-point - rate) with a
// set-point of 128 angle units per second at full stick, so a rate settles
// with 0.41 * torque / rotational mass per second; hull rotational masses
// are chosen for 1.5 to 4 per second (heavier hulls answer slower).
//
// Energy. Every configuration's reactor plus the hull's own 5 MJ/s covers
// all its lasers recharging and all its shields charging at once.

namespace {

struct ITEM_FILE {
    std::string stem;
    std::vector<std::string> lines;
};

std::string text_of(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& l : lines)
        out += l + "\n";
    return out;
}

std::string num(float v)
{
    char buf[32];
    if (v == 0)
        v = 0;  // no "-0"
    snprintf(buf, sizeof buf, "%g", double(v));
    return buf;
}

std::string vec(V3 v) { return num(v.x) + ", " + num(v.y) + ", " + num(v.z); }

const char* ENGINE_SOUND = "sounds/engine.wav";
const char* DETONATION = "sounds/detonation.wav";

std::vector<ITEM_FILE> items()
{
    std::vector<ITEM_FILE> out;
    // Thrusters. Forces in newtons.
    out.push_back({"jet_light",
                   {"// Single-spool turbojet for light and medium hulls", "THINGTYPE = JET", "NAME = Sparrow Turbojet",
                    "MESH = models/jet_small.3ds", "SLOTTYPE = J", "MASS = 900", "RMASS = 40, 20, 40",
                    "POWER = 130000", std::string("SOUND = ") + ENGINE_SOUND}});
    out.push_back({"jet_heavy",
                   {"// High-bypass turbofan for heavy hulls", "THINGTYPE = JET", "NAME = Ox Turbofan",
                    "MESH = models/jet_large.3ds", "SLOTTYPE = J", "MASS = 1600", "RMASS = 90, 40, 90",
                    "POWER = 150000", std::string("SOUND = ") + ENGINE_SOUND}});
    // Rotators: torques about x, y, z, then forces along x, y, z. The yaw
    // torque is always a quarter of the lift (see above).
    out.push_back({"rotator_light",
                   {"// Attitude thrusters and lift fans, light: lifts 11 t", "THINGTYPE = RJET",
                    "NAME = Vane Rotator", "MESH = models/rotator.3ds", "SLOTTYPE = R", "MASS = 300",
                    "POWER = 40000, 36000, 27500, 30000, 20000, 110000"}});
    out.push_back({"rotator_medium",
                   {"// Attitude thrusters and lift fans, medium: lifts 19 t", "THINGTYPE = RJET",
                    "NAME = Gyre Rotator", "MESH = models/rotator.3ds", "SLOTTYPE = R", "MASS = 450",
                    "POWER = 60000, 54000, 47500, 45000, 30000, 190000"}});
    out.push_back({"rotator_heavy",
                   {"// Attitude thrusters and lift fans, heavy: lifts 28 t", "THINGTYPE = RJET",
                    "NAME = Atlas Rotator", "MESH = models/rotator.3ds", "SLOTTYPE = R", "MASS = 600",
                    "POWER = 90000, 80000, 70000, 60000, 40000, 280000"}});
    // Reactors: power in MJ/s.
    out.push_back({"reactor_small",
                   {"THINGTYPE = NUKEGEN", "NAME = Ember Reactor", "MESH = models/reactor.3ds", "SLOTTYPE = X",
                    "MASS = 400", "RMASS = 30, 10, 30", "POWER = 45", "FUEL = 10"}});
    out.push_back({"reactor_medium",
                   {"THINGTYPE = NUKEGEN", "NAME = Hearth Reactor", "MESH = models/reactor.3ds", "SLOTTYPE = X",
                    "MASS = 650", "RMASS = 50, 15, 50", "POWER = 60", "FUEL = 10"}});
    out.push_back({"reactor_large",
                   {"THINGTYPE = NUKEGEN", "NAME = Forge Reactor", "MESH = models/reactor.3ds", "SLOTTYPE = X",
                    "MASS = 900", "RMASS = 70, 20, 70", "POWER = 80", "FUEL = 10"}});
    // Shields: capacity in MJ, charge in MJ/s.
    out.push_back({"shield_drone",
                   {"THINGTYPE = SHIELD", "NAME = Drone Screen", "MESH = models/shield.3ds", "SLOTTYPE = X",
                    "MASS = 100", "POWER = 40", "CHARGE = 2"}});
    out.push_back({"shield_light",
                   {"THINGTYPE = SHIELD", "NAME = Aegis Screen", "MESH = models/shield.3ds", "SLOTTYPE = X",
                    "MASS = 150", "POWER = 120", "CHARGE = 4"}});
    out.push_back({"shield_medium",
                   {"THINGTYPE = SHIELD", "NAME = Bastion Screen", "MESH = models/shield.3ds", "SLOTTYPE = X",
                    "MASS = 200", "POWER = 200", "CHARGE = 6"}});
    out.push_back({"shield_heavy",
                   {"THINGTYPE = SHIELD", "NAME = Rampart Screen", "MESH = models/shield.3ds", "SLOTTYPE = X",
                    "MASS = 300", "POWER = 300", "CHARGE = 8"}});
    // Guns.
    out.push_back({"laser",
                   {"// Pulse laser: 4 shots/s, recharges from the reactor at 2.5 shots/s (20 MJ/s), so a held",
                    "// trigger empties it in about 11 s", "THINGTYPE = GUN",
                    "NAME = Pulse Laser", "MESH = models/laser.3ds", "SLOTTYPE = G", "MASS = 120", "TECH = LASER",
                    "BSIZE = 5", "BSPEED = 500", "BPOWER = 8", "BCOLOR = 0.2, 1, 0.3, 0.8, 1, 0.8", "RELOAD = 0.25",
                    "HOTSPOT = 0, 1.7, 0", "MAXAMMO = 16", "AMMOCHARGE = 2.5", "FIRESOUND = sounds/laser.wav",
                    std::string("DETONATESOUND = ") + DETONATION}});
    out.push_back({"cannon",
                   {"// Rotary cannon: 250 rounds of 1.5 kg", "THINGTYPE = GUN", "NAME = Rotary Cannon",
                    "MESH = models/cannon.3ds", "SLOTTYPE = G", "MASS = 250", "TECH = CONVENTIONAL", "BSIZE = 0.06",
                    "BSPEED = 450", "BPOWER = 1.5", "BCOLOR = 1, 0.8, 0.3, 1, 1, 0.6", "RELOAD = 0.07",
                    "HOTSPOT = 0, 2, 0", "MAXAMMO = 250", "FIRESOUND = sounds/cannon.wav",
                    std::string("DETONATESOUND = ") + DETONATION}});
    out.push_back({"rocket_pod",
                   {"// Unguided rockets; the pod reloads one every ten seconds", "THINGTYPE = GUN",
                    "NAME = Rocket Pod", "MESH = models/rocket_pod.3ds", "SLOTTYPE = G", "MASS = 180",
                    "TECH = ROCKET", "BSIZE = 0.2", "BSPEED = 120", "BPOWER = 20", "BCOLOR = 1, 0.7, 0.4, 1, 0.5, 0.2",
                    "RELOAD = 0.4", "HOTSPOT = 0, 0.9, -0.34", "MAXAMMO = 8", "AMMOCHARGE = 0.1",
                    "FIRESOUND = sounds/rocket.wav", std::string("DETONATESOUND = ") + DETONATION}});
    // Missile launchers, each with one missile on its rail.
    out.push_back({"msl_dumb",
                   {"// Unguided heavy rocket on a rail", "THINGTYPE = MISSILE", "NAME = Iron Dart",
                    "MESH = models/launcher.3ds", "SLOTTYPE = M", "MASS = 60", "TECH = DUMB",
                    "BMODEL = models/msl_dumb.3ds", "HOTSPOT = 0, 0, -0.42", "BURNTIME = 5", "ROT = 0",
                    "BSPEED = 60", "BPOWER = 40", "RELOAD = 1", "MAXAMMO = 1", "FIRESOUND = sounds/missile_launch.wav",
                    std::string("DETONATESOUND = ") + DETONATION}});
    out.push_back({"msl_heat",
                   {"// Heat seeker", "THINGTYPE = MISSILE", "NAME = Viper IR", "MESH = models/launcher.3ds",
                    "SLOTTYPE = M", "MASS = 60", "TECH = HEAT", "BMODEL = models/msl_heat.3ds",
                    "HOTSPOT = 0, 0, -0.42", "BURNTIME = 8", "ROT = 600", "BSPEED = 80", "BPOWER = 50", "RELOAD = 1",
                    "MAXAMMO = 1", "FIRESOUND = sounds/missile_launch.wav",
                    std::string("DETONATESOUND = ") + DETONATION}});
    out.push_back({"msl_radar",
                   {"// Radar-guided long-range missile", "THINGTYPE = MISSILE", "NAME = Lance AR",
                    "MESH = models/launcher.3ds", "SLOTTYPE = M", "MASS = 80", "TECH = RADAR",
                    "BMODEL = models/msl_radar.3ds", "HOTSPOT = 0, 0, -0.45", "BURNTIME = 10", "ROT = 400",
                    "BSPEED = 70", "BPOWER = 80", "RELOAD = 1", "MAXAMMO = 1", "FIRESOUND = sounds/missile_launch.wav",
                    std::string("DETONATESOUND = ") + DETONATION}});
    return out;
}

// Items a hull comes with (the configurations add the rest).
struct HULL_FIT {
    std::string stem, engine, rotator, reactor;
};

const std::vector<HULL_FIT>& hull_fits()
{
    static const std::vector<HULL_FIT> fits = {
        {"kestrel", "jet_light", "rotator_light", "reactor_small"},
        {"bison", "jet_heavy", "rotator_heavy", "reactor_large"},
        {"heron", "jet_light", "rotator_medium", "reactor_medium"},
        {"falcon", "jet_light", "rotator_medium", "reactor_medium"},
        {"raider", "jet_light", "rotator_light", "reactor_small"},
    };
    return fits;
}

std::string item_path(const std::string& stem) { return "items/" + stem + ".sid"; }

std::string hull_text(const HULL_LAYOUT& h, const HULL_FIT& fit)
{
    std::vector<std::string> l;
    l.push_back("// " + h.shortname + " hull: slots are numbered from 0 in the order of their SLOT lines");
    l.push_back("MESH = models/" + h.stem + ".3ds");
    l.push_back("COCKPIT = models/" + h.stem + "_cockpit.3ds");
    l.push_back("SHORTNAME=" + h.shortname);  // the text keeps a blank after "="
    l.push_back("PILOT = " + vec(h.pilot));
    l.push_back("MASS = " + num(h.mass));
    l.push_back("RMASS = " + vec(h.rmass));
    for (size_t i = 0; i < h.mounts.size(); i++) {
        const MOUNT& m = h.mounts[i];
        // The mounting matrix is Allegro's align matrix of (front, up) with
        // its first column negated: "up" becomes the item's +y, "front" its
        // -z. So the item's forward is written first and its up negated.
        l.push_back("SLOT = " + m.type + ", " + vec(m.pos) + ", " + vec(m.forward) + ", " + vec(m.up * -1.0f) +
                    "  // " + std::to_string(i));
        if (m.role == MOUNT_ENGINE)
            l.push_back("ITEM = " + item_path(fit.engine));
        else if (m.role == MOUNT_ROTATOR)
            l.push_back("ITEM = " + item_path(fit.rotator));
        else if (m.role == MOUNT_REACTOR)
            l.push_back("ITEM = " + item_path(fit.reactor));
    }
    l.push_back("// Nothing after this line is read.");
    l.push_back("EXPLOSION_SOUND = sounds/explosion.wav");
    return text_of(l);
}

// A configuration: its hull and the items for the n-th mount of a role.
struct FIT {
    MOUNT_ROLE role;
    int nth;
    std::string item;
};

struct CONFIG {
    std::string file, hull, comment;
    std::vector<FIT> fits;
};

const std::vector<CONFIG>& configs()
{
    static const std::vector<CONFIG> all = {
        {"interceptor.vcd", "kestrel", "Light interceptor: fast and agile, two lasers and four heat seekers",
         {{MOUNT_SHIELD, 0, "shield_light"},
          {MOUNT_GUN, 0, "laser"},
          {MOUNT_GUN, 1, "laser"},
          {MOUNT_PYLON, 0, "msl_heat"},
          {MOUNT_PYLON, 1, "msl_heat"},
          {MOUNT_PYLON, 2, "msl_heat"},
          {MOUNT_PYLON, 3, "msl_heat"}}},
        {"gunship.vcd", "bison", "Heavy gunship: armoured, slow, cannons, lasers and rocket pods",
         {{MOUNT_SHIELD, 0, "shield_heavy"},
          {MOUNT_SHIELD, 1, "shield_heavy"},
          {MOUNT_GUN, 0, "cannon"},
          {MOUNT_GUN, 1, "cannon"},
          {MOUNT_GUN, 2, "laser"},
          {MOUNT_GUN, 3, "laser"},
          {MOUNT_GUN, 4, "rocket_pod"},
          {MOUNT_GUN, 5, "rocket_pod"},
          {MOUNT_PYLON, 0, "msl_heat"},
          {MOUNT_PYLON, 1, "msl_heat"},
          {MOUNT_PYLON, 2, "msl_radar"}}},
        {"carrier.vcd", "heron", "Missile carrier: ten missiles under long wings, two lasers for defence",
         {{MOUNT_SHIELD, 0, "shield_medium"},
          {MOUNT_GUN, 0, "laser"},
          {MOUNT_GUN, 1, "laser"},
          {MOUNT_PYLON, 0, "msl_radar"},
          {MOUNT_PYLON, 1, "msl_radar"},
          {MOUNT_PYLON, 2, "msl_radar"},
          {MOUNT_PYLON, 3, "msl_radar"},
          {MOUNT_PYLON, 4, "msl_heat"},
          {MOUNT_PYLON, 5, "msl_heat"},
          {MOUNT_PYLON, 6, "msl_heat"},
          {MOUNT_PYLON, 7, "msl_heat"},
          {MOUNT_PYLON, 8, "msl_dumb"},
          {MOUNT_PYLON, 9, "msl_dumb"}}},
        {"allrounder.vcd", "falcon", "All-rounder: cannon, lasers, rockets and a mix of missiles",
         {{MOUNT_SHIELD, 0, "shield_medium"},
          {MOUNT_GUN, 0, "cannon"},
          {MOUNT_GUN, 1, "laser"},
          {MOUNT_GUN, 2, "laser"},
          {MOUNT_PYLON, 0, "msl_radar"},
          {MOUNT_PYLON, 1, "msl_radar"},
          {MOUNT_PYLON, 2, "msl_heat"},
          {MOUNT_PYLON, 3, "msl_heat"},
          {MOUNT_PYLON, 4, "rocket_pod"},
          {MOUNT_PYLON, 5, "rocket_pod"}}},
        {"victim.vcd", "raider", "Target drone: what the waves of targets are made of",
         {{MOUNT_SHIELD, 0, "shield_drone"},
          {MOUNT_GUN, 0, "laser"},
          {MOUNT_GUN, 1, "laser"},
          {MOUNT_PYLON, 0, "msl_dumb"},
          {MOUNT_PYLON, 1, "msl_dumb"}}},
    };
    return all;
}

int mount_index(const HULL_LAYOUT& h, MOUNT_ROLE role, int nth)
{
    int seen = 0;
    for (size_t i = 0; i < h.mounts.size(); i++)
        if (h.mounts[i].role == role && seen++ == nth)
            return int(i);
    assert(false && "the hull has the mount a configuration fits");
    return -1;
}

std::string config_text(const CONFIG& c)
{
    const HULL_LAYOUT& h = hull_layout(c.hull);
    std::vector<std::string> l;
    l.push_back("// " + c.comment);
    l.push_back("VHD = hulls/" + c.hull + ".vhd");
    for (const FIT& f : c.fits)
        l.push_back("ITEM = " + std::to_string(mount_index(h, f.role, f.nth)) + ", " + item_path(f.item));
    return text_of(l);
}

}  // namespace

std::vector<NAMED_TEXT> make_definitions()
{
    std::vector<NAMED_TEXT> out;
    for (const ITEM_FILE& i : items())
        out.push_back({item_path(i.stem), text_of(i.lines)});
    for (const HULL_FIT& fit : hull_fits())
        out.push_back({"hulls/" + fit.stem + ".vhd", hull_text(hull_layout(fit.stem), fit)});
    for (const CONFIG& c : configs())
        out.push_back({c.file, config_text(c)});
    return out;
}

std::vector<std::string> configuration_files()
{
    std::vector<std::string> out;
    for (const CONFIG& c : configs())
        out.push_back(c.file);
    return out;
}
