// A vessel's frame and the reading of its definition files. "heap_bytes"
// after a run of loads must stay near 0: every load frees what it read.
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/globals.h"
#include "scene/thing.h"
#include "sound/sounds.h"
#include "vessel/vessel.h"

namespace {

std::string data_dir;

void write(const char* name, const std::string& text)
{
    FILE* f = fopen((data_dir + name).c_str(), "wb");
    if (!f)
        abort();
    fputs(text.c_str(), f);
    fclose(f);
}

// Two jets, a rotator, a shield and a reactor in a hull of 32 slots.
void write_fleet()
{
    char pattern[] = "/tmp/sortie-bench-XXXXXX";
    if (!mkdtemp(pattern))
        abort();
    data_dir = std::string(pattern) + "/";
    data_path = data_dir.c_str();
    std::string hull = "MASS = 5000\nRMASS = 8000, 8000, 9000\nPILOT = 0, 4, 1\n";
    for (int i = 0; i < 32; i++)
        hull += "SLOT = X, 0, 0, 0, 0, 1, 0, 0, 0, 1\n";
    write("h.vhd", hull);
    write("j.sid", "THINGTYPE = JET\nPOWER = 100000\nMASS = 300\n");
    write("r.sid", "THINGTYPE = RJET\nPOWER = 20000, 20000, 20000, 50000, 50000, 50000\n");
    write("s.sid", "THINGTYPE = SHIELD\nPOWER = 100\nCHARGE = 2\n");
    write("n.sid", "THINGTYPE = NUKEGEN\n");
    write("v.vcd", "VHD = h.vhd\nITEM = 0, j.sid\nITEM = 1, j.sid\nITEM = 2, r.sid\nITEM = 3, s.sid\n"
                   "ITEM = 4, n.sid\n");
}

void BM_VesselFrame(benchmark::State& state)
{
    THING world;
    VESSEL* v = new VESSEL();
    v->load_vcd((data_dir + "v.vcd").c_str());
    v->set_stabilizer(true);
    v->set_rstabilizer(true);
    v->set_thrust(0.5f, 1);
    world.add_child(v);
    for (auto _ : state) {
        world.tick_children(1.0f / 60.0f);
        world.update_abs_matrix();
        while (THING* t = world.crop_spawn())
            delete t;  // the flame puffs
    }
}
BENCHMARK(BM_VesselFrame);

void BM_LoadConfiguration(benchmark::State& state)
{
    size_t before = mallinfo2().uordblks;
    for (auto _ : state) {
        VESSEL v;
        v.load_vcd((data_dir + "v.vcd").c_str());
        benchmark::DoNotOptimize(v.get_m());
    }
    soundlist.cleanup();
    state.counters["heap_bytes"] = (double)mallinfo2().uordblks - (double)before;
}
BENCHMARK(BM_LoadConfiguration);

}  // namespace

int main(int argc, char** argv)
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    write_fleet();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::string cmd = "rm -rf '" + data_dir + "'";
    return system(cmd.c_str()) == 0 ? 0 : 1;
}
