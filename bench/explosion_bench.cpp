// An hour of explosions at 60 frames per second: one vessel-sized burst
// (16 fireballs, a debris piece per face, a sound thing) and one bullet burst
// every second. Reports how much heap the run holds at the end over what it
// held after its first minute: every effect frees its model and sound
// reference when it goes, so the growth stays at 0 however long it runs.
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cerrno>
#include <cstdlib>

#include "effects/explosion.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/world.h"
#include "mesh_shapes.h"
#include "render/meshmodel.h"
#include "scene/thing.h"
#include "sound/sounds.h"

namespace {

const float FRAME = 1.0f / 60.0f;
const int FRAMES_PER_BURST = 60;

// What a bullet answers: one fireball without a lifetime, no debris.
struct SHOT : THING {
    SHOT() { set_flags(THING_EXPLODABLE); }
    int get_explosion_nr_fireballs() override { return 1; }
    float get_explosion_time() override { return 0.0f; }
    float get_explosion_speed() override { return 0.0f; }
    bool get_explosion_debris() override { return false; }
    float get_explosion_delay() override { return 0.0f; }
};

void launch_bursts(GAME& g, SOUND* boom)
{
    THING* vessel = new THING();
    vessel->set_flags(THING_EXPLODABLE);
    vessel->set_model(make_box_mesh(6.0f, 9.0f, 2.0f));
    vessel->set_explosion_sound(boom->acquire());
    vessel->locate_rel((float)(rand() % 200), 100.0f, 50.0f);
    g.world->add_child(vessel);
    vessel->explode();
    THING* shot = new SHOT();
    g.world->add_child(shot);
    shot->explode();
}

size_t heap_in_use()
{
    return mallinfo2().uordblks;
}

void BM_HourOfExplosions(benchmark::State& state)
{
    static bool installed = false;
    if (!installed) {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        installed = true;
    }
    const int minutes = (int)state.range(0);
    for (auto _ : state) {
        srand(7);
        GAME g;
        create_world_roots(g);
        // A file that does not load still gives a shared sound.
        SOUND* boom = soundlist.load("no-such-dir/boom.wav");
        size_t after_first_minute = 0;
        long most_things = 0;
        const int frames = minutes * 60 * 60;
        for (int f = 0; f < frames; f++) {
            if (f % FRAMES_PER_BURST == 0)
                launch_bursts(g, boom);
            simulate_frame(g, FRAME);
            if (f == 60 * 60)
                after_first_minute = heap_in_use();
            if (f % 600 == 0) {
                long n = 0;
                for (THING* c = g.world->get_first_child(); c; c = c->get_next())
                    n++;
                most_things = n > most_things ? n : most_things;
            }
        }
        size_t at_end = heap_in_use();
        state.counters["heap_growth_bytes"] = (double)at_end - (double)after_first_minute;
        state.counters["most_live_things"] = (double)most_things;
        destroy_world(g);
        soundlist.release(boom);
        soundlist.cleanup();
    }
}

}  // namespace

BENCHMARK(BM_HourOfExplosions)->Arg(60)->Unit(benchmark::kSecond)->Iterations(1);

BENCHMARK_MAIN();
