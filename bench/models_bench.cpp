// Model lifetime under load: things with models of their own made, painted
// and destroyed as a stream of shots is. "heap_bytes_per_cycle" must stay
// near 0; anything else is a leak.
#include <benchmark/benchmark.h>

#include <allegro.h>
#include <malloc.h>

#include <cerrno>
#include <cstdlib>

#include "render/ftexmodel.h"
#include "render/hcmodel.h"
#include "render/load3ds.h"
#include "render/meshmodel.h"
#include "scene/thing.h"
#include "write3ds.h"

namespace {

std::vector<uint8_t> missile_file()
{
    MESH3DS m;
    m.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}};
    m.faces = {{0, 1, 2}, {0, 2, 3}, {0, 3, 1}, {1, 4, 2}, {2, 4, 3}, {3, 4, 1}};
    MESH3DS_MATERIAL hull;
    hull.name = "hull";
    m.materials = {hull};
    m.face_material.assign(m.faces.size(), 0);
    return encode3ds(m);
}

void cycle(THING& world, const std::vector<uint8_t>& missile)
{
    THING* bolt = new THING();
    bolt->set_model(new LASER_MODEL(4, 0.2f, 1, 0, 0, 1, 1, 1));
    THING* rocket = new THING();
    rocket->set_model(load3ds_memory(missile.data(), missile.size(), nullptr));
    THING* puff = new THING();
    puff->set_model(new FTEXMODEL("&puff", true));
    world.add_child(bolt);
    world.add_child(rocket);
    world.add_child(puff);
    world.paint(PAINT_MATERIALS | PAINT_SOLID);
    world.paint(PAINT_MATERIALS | PAINT_BLENDED);
    world.remove_child(bolt);
    world.remove_child(rocket);
    world.remove_child(puff);
}

void BM_ShotModelsCreatePaintDestroy(benchmark::State& state)
{
    static bool started = false;
    if (!started) {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        started = true;
    }
    std::vector<uint8_t> missile = missile_file();
    THING world;
    for (int i = 0; i < 100; i++)
        cycle(world, missile);
    size_t before = mallinfo2().uordblks;
    for (auto _ : state)
        cycle(world, missile);
    size_t after = mallinfo2().uordblks;
    state.counters["heap_bytes_per_cycle"] =
        benchmark::Counter((double)after - (double)before) / (double)state.iterations();
    state.counters["heap_growth_bytes"] = (double)after - (double)before;
}
BENCHMARK(BM_ShotModelsCreatePaintDestroy)->Iterations(100000);

}  // namespace

BENCHMARK_MAIN();
