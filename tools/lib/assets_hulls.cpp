#include "assets_hulls.h"

#include <cassert>

namespace {

MOUNT mount(MOUNT_ROLE role, const char* type, float x, float y, float z)
{
    MOUNT m;
    m.role = role;
    m.type = type;
    m.pos = v3(x, y, z);
    m.forward = v3(0, 1, 0);
    m.up = v3(0, 0, 1);
    return m;
}

// A pair of mounts mirrored about the centre line, right side first.
void pair(std::vector<MOUNT>& out, MOUNT_ROLE role, const char* type, float x, float y, float z)
{
    out.push_back(mount(role, type, x, y, z));
    out.push_back(mount(role, type, -x, y, z));
}

HULL_LAYOUT kestrel()
{
    HULL_LAYOUT h;
    h.stem = "kestrel";
    h.shortname = "KS-7 Kestrel";
    h.pilot = v3(0, 3.0f, 0.98f);
    h.mass = 4200;
    h.rmass = v3(5000, 3500, 6000);
    auto& m = h.mounts;
    m.push_back(mount(MOUNT_ENGINE, "J", 0, -6.0f, 0));
    m.push_back(mount(MOUNT_ROTATOR, "Ri", 0, 0, 0));
    m.push_back(mount(MOUNT_REACTOR, "Xi", 0, -2.0f, 0));
    m.push_back(mount(MOUNT_SHIELD, "X", 0, -3.3f, 0.62f));
    pair(m, MOUNT_GUN, "G", 1.05f, 0.1f, -0.16f);
    pair(m, MOUNT_PYLON, "M", 2.2f, -2.2f, -0.24f);
    pair(m, MOUNT_PYLON, "M", 3.6f, -3.3f, -0.16f);
    pair(m, MOUNT_SPARE, "Xi", 0.4f, -1.0f, 0);
    return h;
}

HULL_LAYOUT bison()
{
    HULL_LAYOUT h;
    h.stem = "bison";
    h.shortname = "BG-4 Bison";
    h.pilot = v3(0, 5.0f, 1.5f);
    h.mass = 9500;
    h.rmass = v3(16000, 14000, 19000);
    auto& m = h.mounts;
    pair(m, MOUNT_ENGINE, "J", 2.05f, -5.0f, 1.35f);
    m.push_back(mount(MOUNT_ROTATOR, "Ri", 0, 0, 0));
    // The big reactor rides half sunk in the spine, its bands showing.
    m.push_back(mount(MOUNT_REACTOR, "X", 0, -0.6f, 1.18f));
    m.push_back(mount(MOUNT_SHIELD, "X", 0, -3.0f, 1.32f));
    m.push_back(mount(MOUNT_SHIELD, "Xi", 0, -4.5f, 0));
    pair(m, MOUNT_GUN, "G", 0.55f, 7.0f, -0.55f);
    pair(m, MOUNT_GUN, "G", 3.1f, 1.15f, 0.62f);
    pair(m, MOUNT_GUN, "G", 4.6f, -0.2f, 0.48f);
    pair(m, MOUNT_PYLON, "M", 6.1f, -0.1f, 0.55f);
    m.push_back(mount(MOUNT_PYLON, "M", 0, -0.5f, -1.28f));
    pair(m, MOUNT_SPARE, "Xi", 0.5f, -1.0f, 0);
    return h;
}

HULL_LAYOUT heron()
{
    HULL_LAYOUT h;
    h.stem = "heron";
    h.shortname = "MC-2 Heron";
    h.pilot = v3(0, 4.6f, 1.12f);
    h.mass = 7200;
    h.rmass = v3(8000, 9000, 10000);
    auto& m = h.mounts;
    pair(m, MOUNT_ENGINE, "J", 0.55f, -7.6f, 0);
    m.push_back(mount(MOUNT_ROTATOR, "Ri", 0, 0, 0));
    m.push_back(mount(MOUNT_REACTOR, "Xi", 0, -3.0f, 0));
    m.push_back(mount(MOUNT_SHIELD, "X", 0, -4.2f, 0.86f));
    pair(m, MOUNT_GUN, "G", 0.82f, 5.2f, -0.2f);
    pair(m, MOUNT_PYLON, "M", 2.3f, -1.8f, -0.12f);
    pair(m, MOUNT_PYLON, "M", 3.7f, -2.0f, 0.0f);
    pair(m, MOUNT_PYLON, "M", 5.1f, -2.15f, 0.12f);
    pair(m, MOUNT_PYLON, "M", 6.5f, -2.3f, 0.24f);
    pair(m, MOUNT_PYLON, "M", 0.55f, -0.8f, -0.95f);
    pair(m, MOUNT_SPARE, "Xi", 0.4f, -1.5f, 0);
    return h;
}

HULL_LAYOUT falcon()
{
    HULL_LAYOUT h;
    h.stem = "falcon";
    h.shortname = "FS-9 Falcon";
    h.pilot = v3(0, 4.3f, 1.08f);
    h.mass = 6400;
    h.rmass = v3(8500, 7000, 10500);
    auto& m = h.mounts;
    pair(m, MOUNT_ENGINE, "J", 0.72f, -6.7f, 0);
    m.push_back(mount(MOUNT_ROTATOR, "Ri", 0, 0, 0));
    m.push_back(mount(MOUNT_REACTOR, "Xi", 0, -2.5f, 0));
    m.push_back(mount(MOUNT_SHIELD, "X", 0, -2.2f, 0.58f));
    m.push_back(mount(MOUNT_GUN, "G", 1.35f, 2.2f, 0.3f));
    pair(m, MOUNT_GUN, "G", 3.4f, -2.4f, -0.05f);
    pair(m, MOUNT_PYLON, "M", 2.6f, -2.3f, -0.22f);
    pair(m, MOUNT_PYLON, "M", 4.2f, -3.5f, -0.15f);
    pair(m, MOUNT_PYLON, "M", 0.9f, -1.0f, -0.62f);
    pair(m, MOUNT_SPARE, "Xi", 0.4f, -1.0f, 0);
    return h;
}

HULL_LAYOUT raider()
{
    HULL_LAYOUT h;
    h.stem = "raider";
    h.shortname = "RD-1 Raider";
    h.pilot = v3(0, 2.3f, 0.9f);
    h.mass = 3000;
    h.rmass = v3(3600, 3000, 4200);
    auto& m = h.mounts;
    m.push_back(mount(MOUNT_ENGINE, "J", 0, -4.4f, 0.1f));
    m.push_back(mount(MOUNT_ROTATOR, "Ri", 0, 0, 0));
    m.push_back(mount(MOUNT_REACTOR, "Xi", 0, -1.5f, 0));
    m.push_back(mount(MOUNT_SHIELD, "Xi", 0, -2.5f, 0));
    pair(m, MOUNT_GUN, "G", 0.55f, 2.6f, -0.25f);
    pair(m, MOUNT_PYLON, "M", 2.4f, -1.2f, -0.12f);
    pair(m, MOUNT_SPARE, "Xi", 0.3f, -1.0f, 0);
    return h;
}

}  // namespace

const std::vector<HULL_LAYOUT>& hull_layouts()
{
    static const std::vector<HULL_LAYOUT> all = {kestrel(), bison(), heron(), falcon(), raider()};
    return all;
}

const HULL_LAYOUT& hull_layout(const std::string& stem)
{
    for (const HULL_LAYOUT& h : hull_layouts())
        if (h.stem == stem)
            return h;
    assert(false && "hull_layout(stem) names a known hull");
    return hull_layouts().front();
}
