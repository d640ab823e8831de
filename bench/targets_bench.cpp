// What a new wave of targets costs: the time of one respawn_targets (eight
// vessels from the game's own victim.vcd), and the heap each extra target
// keeps. The first wave of a run reads the model files; the waves measured
// here come after it, as every later wave of a game does.
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "headless_bench.h"
#include "game/world.h"
#include "game/targets.h"
#include "render/mesh_cache.h"
#include "scene/thing.h"
#include "sound/sounds.h"
#include "vessel/vessel.h"

namespace {

void remove_all_children(THING& world)
{
    while (THING* t = world.get_first_child())
        world.remove_child(t);
}

// The player's vessel, as the game flies it while the waves come and go:
// the sounds it shares with the targets stay loaded between waves.
THING* player_vessel()
{
    char path[512];
    if (!first_vessel_configuration(path, sizeof(path)))
        return nullptr;
    VESSEL* v = new VESSEL();
    v->load_vcd(path);
    return v;
}

void BM_RespawnTargets(benchmark::State& state)
{
    THING world, player;
    player.add_child(player_vessel());
    respawn_targets(&world);  // the run's first wave reads the files
    remove_all_children(world);
    for (auto _ : state) {
        respawn_targets(&world);
        state.PauseTiming();
        remove_all_children(world);
        state.ResumeTiming();
    }
    state.SetLabel("one wave of eight");
}
BENCHMARK(BM_RespawnTargets)->Unit(benchmark::kMicrosecond);

// Heap in use after five more waves (40 targets) against before them,
// per target. The time column means nothing here.
void BM_MemoryPerTarget(benchmark::State& state)
{
    const int waves = 5;
    double per_target = 0.0;
    for (auto _ : state) {
        THING world;
        respawn_targets(&world);
        malloc_trim(0);
        double before = (double)mallinfo2().uordblks;
        for (int i = 0; i < waves; i++)
            respawn_targets(&world);
        double after = (double)mallinfo2().uordblks;
        per_target = (after - before) / (waves * 8);
    }
    state.counters["bytes_per_target"] = per_target;
}
BENCHMARK(BM_MemoryPerTarget)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    int status = run_headless_benchmarks(argc, argv);
    mesh_cache.clear();
    soundlist.cleanup();
    return status;
}
