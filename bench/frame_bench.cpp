// What one frame's simulation and bookkeeping costs (simulate_frame at 60
// frames per second, no drawing), in the start scene and in a busy one, and
// how that cost grows with the number of fireballs and bullets in the air.
//
// The scenes are built from the real data/ (the benchmark changes into the
// source directory first), with the player's first vessel and the first
// target wave, which the first frame brings in.
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "quiet_stdout.h"
#include "effects/bullet.h"
#include "effects/fireball.h"
#include "headless_bench.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/globals.h"
#include "game/world.h"
#include "scene/thing.h"
#include "scene/thing_ref.h"

namespace {

const float FRAME = 1.0f / 60.0f;
const int BUSY_FIREBALLS = 2000;  // per unit of the scale argument
const int BUSY_BULLETS = 500;
const float LONG_LIFE = 1.0e6f;  // seconds: nothing we add dies of age during a run
const int TOP_UP_EVERY = 60;     // frames between refills of bullets that hit something

// The start scene as the game builds it, after its first frame.
bool build_start_scene(GAME& g)
{
    QUIET_STDOUT quiet;
    srand(1);
    if (!first_vessel_configuration(g.vessel_path, sizeof(g.vessel_path)))
        return false;
    if (!build_scene(g))
        return false;
    add_player_vessel(g);
    simulate_frame(g, FRAME);  // brings in the first target wave
    return true;
}

float spread(float width) { return width * (random_unit() - 0.5f); }

// Fireballs anywhere in the rock field, drifting slowly.
void add_fireballs(GAME& g, int n)
{
    for (int i = 0; i < n; i++) {
        FIREBALL* f = new FIREBALL(FIRE_COLOR);
        f->reset(1.0f, 2.0f + 8.0f * random_unit(), LONG_LIFE, false);
        float v[3] = {spread(10.0f), spread(10.0f), spread(10.0f)};
        f->set_vel(v);
        f->locate_rel(spread(rock_field_size), spread(rock_field_size), rock_field_size * random_unit());
        g.world->add_child(f);
    }
}

// An armed bullet above the rock field, climbing away from it: it takes
// part in every collision pass but finds nothing to hit, and bullets never
// hit each other (two points have no extent).
BULLET* new_bullet()
{
    BULLET* b = new BULLET(LONG_LIFE, 0.0f);
    b->set_flags(THING_ACTIVE_COLLIDER);
    b->set_power(5.0f);
    b->locate_rel(spread(rock_field_size), spread(rock_field_size),
                  rock_field_size + 500.0f + 1000.0f * random_unit());
    float v[3] = {spread(200.0f), spread(200.0f), 300.0f + 100.0f * random_unit()};
    b->set_vel(v);
    return b;
}

void add_bullets(GAME& g, std::vector<THING_REF>& bullets, int n)
{
    for (int i = 0; i < n; i++) {
        BULLET* b = new_bullet();
        g.world->add_child(b);
        bullets.push_back(b);
    }
}

// Bullets that met something after all are replaced, so every frame sees
// the same population. Answers how many were replaced.
int top_up_bullets(GAME& g, std::vector<THING_REF>& bullets)
{
    int replaced = 0;
    for (THING_REF& r : bullets) {
        if (r && !r->is_dead())
            continue;
        BULLET* b = new_bullet();
        g.world->add_child(b);
        r = b;
        replaced++;
    }
    g.world->update_abs_matrix();
    return replaced;
}

// The broad phase's worst layout: every bullet at one spot, high above the
// rocks, standing still (a bullet marks itself moved every tick all the
// same), with the fireballs around them. All of them share one grid cell,
// so every pair of bullets is a candidate, as in the plain pass, though
// two points never collide.
const float ONE_SPOT[3] = {0.0f, 0.0f, 7000.0f};

void add_one_spot(GAME& g, int fireballs, int bullets)
{
    for (int i = 0; i < fireballs; i++) {
        FIREBALL* f = new FIREBALL(FIRE_COLOR);
        f->reset(1.0f, 2.0f + 8.0f * random_unit(), LONG_LIFE, false);
        f->locate_rel(ONE_SPOT[0], ONE_SPOT[1], ONE_SPOT[2]);
        g.world->add_child(f);
    }
    for (int i = 0; i < bullets; i++) {
        BULLET* b = new BULLET(LONG_LIFE, 0.0f);
        b->set_flags(THING_ACTIVE_COLLIDER);
        b->set_power(5.0f);
        b->locate_rel(ONE_SPOT[0], ONE_SPOT[1], ONE_SPOT[2]);
        g.world->add_child(b);
    }
    g.world->update_abs_matrix();
}

long count_children(THING* t)
{
    long n = 0;
    for (THING* c = t->get_first_child(); c; c = c->get_next())
        n++;
    return n;
}

void BM_StartSceneFrame(benchmark::State& state)
{
    GAME g;
    if (!build_start_scene(g)) {
        state.SkipWithError("the start scene could not be built: run from the repository root");
        return;
    }
    for (auto _ : state)
        simulate_frame(g, FRAME);
    state.counters["world_things"] = (double)count_children(g.world);
    destroy_world(g);
}

// The start scene with 2000 x scale fireballs and 500 x scale bullets.
void BM_BusySceneFrame(benchmark::State& state)
{
    const int scale = (int)state.range(0);
    GAME g;
    if (!build_start_scene(g)) {
        state.SkipWithError("the start scene could not be built: run from the repository root");
        return;
    }
    srand(2);
    add_fireballs(g, BUSY_FIREBALLS * scale);
    std::vector<THING_REF> bullets;
    add_bullets(g, bullets, BUSY_BULLETS * scale);
    g.world->update_abs_matrix();
    long replaced = 0;
    long frames = 0;
    for (auto _ : state) {
        simulate_frame(g, FRAME);
        if (++frames % TOP_UP_EVERY == 0) {
            state.PauseTiming();
            replaced += top_up_bullets(g, bullets);
            state.ResumeTiming();
        }
    }
    state.SetComplexityN((BUSY_FIREBALLS + BUSY_BULLETS) * scale);
    state.counters["world_things"] = (double)count_children(g.world);
    state.counters["bullets_replaced"] = (double)replaced;
    destroy_world(g);
}

// The busy scene's numbers of fireballs and bullets, all in one spot.
void BM_OneSpotFrame(benchmark::State& state)
{
    GAME g;
    if (!build_start_scene(g)) {
        state.SkipWithError("the start scene could not be built: run from the repository root");
        return;
    }
    srand(2);
    add_one_spot(g, BUSY_FIREBALLS, BUSY_BULLETS);
    for (auto _ : state)
        simulate_frame(g, FRAME);
    state.counters["world_things"] = (double)count_children(g.world);
    destroy_world(g);
}

// The collision pass alone, broad phase (0) against the plain pass (1), in
// the busy scene's layout (range 0 = 0) and all in one spot (1). Every
// child is marked moved before each pass, as after a frame's tick.
void BM_CollisionPass(benchmark::State& state)
{
    GAME g;
    if (!build_start_scene(g)) {
        state.SkipWithError("the start scene could not be built: run from the repository root");
        return;
    }
    srand(2);
    std::vector<THING_REF> bullets;
    if (state.range(0) == 0) {
        add_fireballs(g, BUSY_FIREBALLS);
        add_bullets(g, bullets, BUSY_BULLETS);
    } else {
        add_one_spot(g, BUSY_FIREBALLS, BUSY_BULLETS);
    }
    g.world->update_abs_matrix();
    const bool plain = state.range(1) == 1;
    for (auto _ : state) {
        for (THING* c = g.world->get_first_child(); c; c = c->get_next())
            c->set_flags(THING_MOVED);
        if (plain)
            g.world->check_intersect_children_plain();
        else
            g.world->check_intersect_children();
    }
    state.SetLabel(std::string(state.range(0) ? "one spot" : "busy 1x") + (plain ? ", plain" : ", broad"));
    destroy_world(g);
}

}  // namespace

BENCHMARK(BM_StartSceneFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BusySceneFrame)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMicrosecond)->Complexity();
BENCHMARK(BM_OneSpotFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CollisionPass)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return run_headless_benchmarks(argc, argv); }
