// How long drawing the start scene takes, frame by frame, in a 640 x 480
// window opened as the game opens its own: from the start view (the free
// viewpoint above the origin) and from the external view behind the player.
// The world goes on at 60 frames per second between the frames, outside the
// clock; the clock runs over draw_frame, the flip and glFinish. Each run
// reports the mean and the 95th percentile of 600 frames in milliseconds.
// The cockpit case flies from the pilot's seat with a target selected and
// the five panels on, and draws each moment a second time without the
// cockpit steps (R2..R4, R8): the difference of the means is their cost per
// frame, reported with their share of the frame.
//
// Needs an X display (for example Xvfb); run it from anywhere, it changes
// into the source tree to find data/.
#include <allegro.h>
#include <alleggl.h>
#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "quiet_stdout.h"
#include "effects/explosion.h"
#include "headless_bench.h"
#include "game/controls.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/light.h"
#include "game/messages.h"
#include "game/render.h"
#include "game/world.h"
#include "render/material.h"
#include "render/strokefont.h"
#include "scene/thing.h"
#include "render/hcmodel.h"
#include "render/texture.h"
#include "scene/states.h"
#include "scene/view_cull.h"
#include "ui/colors.h"
#include "vessel/vessel.h"

namespace {

const float FRAME = 1.0f / 60.0f;
const int MEASURED_FRAMES = 600;
const int WARM_UP_FRAMES = 5;  // first uploads and display lists, not timed

bool build_start_scene(GAME& g)
{
    QUIET_STDOUT quiet;
    srand(1);
    if (!start_scene(g))
        return false;
    select_viewpoint(nullptr);
    return true;
}

// The loop of run_game without its timer and input: the world advances one
// sixtieth of a second, the cameras and the horizon follow.
void advance(GAME& g)
{
    simulate_frame(g, FRAME);
    place_cameras(g);
    follow_viewer(g);
}

double percentile(std::vector<double> ms, double fraction)
{
    if (ms.empty())
        return 0.0;
    std::sort(ms.begin(), ms.end());
    size_t i = (size_t)std::ceil(fraction * ms.size());
    return ms[std::min(ms.size(), std::max<size_t>(i, 1)) - 1];
}

void report(benchmark::State& state, const std::vector<double>& ms)
{
    double sum = 0.0;
    for (double m : ms)
        sum += m;
    state.counters["mean_ms"] = ms.empty() ? 0.0 : sum / ms.size();
    state.counters["p95_ms"] = percentile(ms, 0.95);
    state.counters["max_ms"] = ms.empty() ? 0.0 : *std::max_element(ms.begin(), ms.end());
}

void run_view(benchmark::State& state, bool external)
{
    GAME g;
    if (!build_start_scene(g)) {
        state.SkipWithError("the start scene could not be built");
        return;
    }
    advance(g);  // the first target wave
    if (external && !select_view(g, VIEW_EXTERNAL)) {
        state.SkipWithError("no external view without a player vessel");
        destroy_world(g);
        return;
    }
    for (int i = 0; i < WARM_UP_FRAMES; i++) {
        advance(g);
        render_frame(g);
    }
    glFinish();
    std::vector<double> ms;
    ms.reserve(MEASURED_FRAMES);
    for (auto _ : state) {
        advance(g);
        auto start = std::chrono::steady_clock::now();
        draw_frame(g);
        allegro_gl_flip();
        glFinish();
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(s);
        ms.push_back(1000.0 * s);
    }
    report(state, ms);
    state.counters["culled"] = (double)view_cull_skipped;
    destroy_world(g);
}

// The floor under any frame of the game in this window: clear, the sky
// sphere, the ground and sky discs and the flip, from the start view, with
// the render states the game's passes set; nothing else.
void BM_RenderFloor(benchmark::State& state)
{
    GAME g;
    if (!build_start_scene(g)) {
        state.SkipWithError("the start scene could not be built");
        return;
    }
    advance(g);
    THING* sky_sphere = g.background->get_first_child();
    std::vector<THING*> discs;
    for (THING* t = g.world->get_first_child(); t; t = t->get_next())
        if (dynamic_cast<TEX_PLANE_MODEL*>(t->get_model()))
            discs.push_back(t);
    if (!sky_sphere || discs.size() != 2) {
        state.SkipWithError("no sky sphere, or not two discs");
        destroy_world(g);
        return;
    }
    auto draw_floor = [&]() {
        clear_frame();
        place_camera(g);
        disable_blend_func();
        enable_z_buffer();
        enable_bfc();
        if (light_materials)
            enable_lights();
        sky_sphere->paint(PAINT_MATERIALS | PAINT_SOLID);
        for (THING* d : discs)
            d->paint(PAINT_MATERIALS | PAINT_SOLID);
        disable_bfc();
        disable_lights();
        select_blend_func(GL_ONE, GL_ONE);
        enable_z_check();
        disable_z_write();
        for (THING* d : discs)
            d->paint(PAINT_MATERIALS | PAINT_BLENDED);
        allegro_gl_flip();
        glFinish();
    };
    for (int i = 0; i < WARM_UP_FRAMES; i++) {
        advance(g);
        draw_floor();
    }
    std::vector<double> ms;
    ms.reserve(MEASURED_FRAMES);
    for (auto _ : state) {
        advance(g);
        auto start = std::chrono::steady_clock::now();
        draw_floor();
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(s);
        ms.push_back(1000.0 * s);
    }
    report(state, ms);
    destroy_world(g);
}

// One frame on the clock: draw_frame, the flip and glFinish.
double timed_frame(GAME& g)
{
    auto start = std::chrono::steady_clock::now();
    draw_frame(g);
    allegro_gl_flip();
    glFinish();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The same frame without the cockpit steps: with no player vessel there are
// no screens to redraw or upload, and with no textures no panel is drawn.
double timed_frame_without_cockpit(GAME& g)
{
    THING* player = g.player;
    TEXTURE* tex[5];
    for (int i = 0; i < 5; i++) {
        tex[i] = mfd_tex[i];
        mfd_tex[i] = nullptr;
    }
    TEXTURE* console = console_tex;
    console_tex = nullptr;
    g.player = nullptr;
    double s = timed_frame(g);
    g.player = player;
    console_tex = console;
    for (int i = 0; i < 5; i++)
        mfd_tex[i] = tex[i];
    return s;
}

double mean_of(const std::vector<double>& v)
{
    double sum = 0.0;
    for (double x : v)
        sum += x;
    return v.empty() ? 0.0 : sum / v.size();
}

// Redrawing and uploading the screens alone (R2..R4, the radar every
// second call as in the game); the uploads are done when the calls return.
double timed_screens(GAME& g, int call)
{
    int saved = radar_framecount;
    radar_framecount = call % 2 ? 1 : 2;  // 1: the radar is due
    auto start = std::chrono::steady_clock::now();
    update_cockpit_screens(g);
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    radar_framecount = saved;
    return s;
}

// Each iteration draws the same moment twice, with and without the cockpit
// steps, one after the other, so that a busy machine slows both alike; the
// clock of the benchmark is the frame with them.
void BM_RenderCockpitPanels(benchmark::State& state)
{
    GAME g;
    if (!build_start_scene(g)) {
        state.SkipWithError("the start scene could not be built");
        return;
    }
    advance(g);  // the first target wave
    VESSEL* v = dynamic_cast<VESSEL*>(g.player.get());
    if (!v || !select_view(g, VIEW_PILOT)) {
        state.SkipWithError("no pilot view without a player vessel");
        destroy_world(g);
        return;
    }
    v->select_next_target(THING_TARGETABLE, THING_NAVPOINT);
    for (int i = 0; i < WARM_UP_FRAMES; i++) {
        advance(g);
        render_frame(g);
    }
    glFinish();
    std::vector<double> ms, bare, screens;
    ms.reserve(MEASURED_FRAMES);
    for (auto _ : state) {
        advance(g);
        double s = timed_frame(g);
        state.SetIterationTime(s);
        ms.push_back(1000.0 * s);
        bare.push_back(1000.0 * timed_frame_without_cockpit(g));
        screens.push_back(1000.0 * timed_screens(g, (int)ms.size()));
    }
    double mean = mean_of(ms), cockpit = mean - mean_of(bare);
    state.counters["mean_ms"] = mean;
    state.counters["p95_ms"] = percentile(ms, 0.95);
    state.counters["max_ms"] = ms.empty() ? 0.0 : *std::max_element(ms.begin(), ms.end());
    state.counters["no_cockpit_ms"] = mean_of(bare);
    state.counters["cockpit_ms"] = cockpit;            // R2..R4 and R8
    state.counters["screens_ms"] = mean_of(screens);   // R2..R4
    state.counters["cockpit_share"] = mean > 0.0 ? cockpit / mean : 0.0;
    destroy_world(g);
}

void BM_RenderStartView(benchmark::State& state) { run_view(state, false); }
void BM_RenderExternalView(benchmark::State& state) { run_view(state, true); }

// The start view painting every node, as before the view was culled.
void BM_RenderStartViewUnculled(benchmark::State& state)
{
    view_culling = false;
    run_view(state, false);
    view_culling = true;
}

}  // namespace

BENCHMARK(BM_RenderFloor)->Iterations(MEASURED_FRAMES)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderStartView)->Iterations(MEASURED_FRAMES)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderExternalView)->Iterations(MEASURED_FRAMES)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderStartViewUnculled)->Iterations(MEASURED_FRAMES)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderCockpitPanels)->Iterations(MEASURED_FRAMES)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    const char* display = getenv("DISPLAY");
    if (!display || !*display) {
        fprintf(stderr, "render_bench needs an X display (DISPLAY is not set)\n");
        return 1;
    }
    if (!enter_data_folder())
        return 1;
    install_allegro(SYSTEM_AUTODETECT, &errno, atexit);
    install_allegro_gl();
    SETTINGS s;
    s.fullscreen = false;
    if (!set_graphics_mode(s)) {
        fprintf(stderr, "could not open the 640 x 480 OpenGL window: %s / %s\n", allegro_error, allegro_gl_error);
        return 1;
    }
    setup_kvor_colors(32);
    setup_renderer(s);
    const GLubyte* renderer = glGetString(GL_RENDERER);
    benchmark::AddCustomContext("gl_renderer", renderer ? (const char*)renderer : "unknown");
    benchmark::AddCustomContext("window", "640 x 480 x " + std::to_string(bitmap_color_depth(screen)));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
    return 0;
}
