// How long drawing the start scene takes, frame by frame, in a 640 x 480
// window opened as the game opens its own: from the start view (the free
// viewpoint above the origin) and from the external view behind the player.
// The world goes on at 60 frames per second between the frames, outside the
// clock; the clock runs over draw_frame, the flip and glFinish. Each run
// reports the mean and the 95th percentile of 600 frames in milliseconds.
// The cockpit case flies from the pilot's seat with a target selected and
// the five panels on; after each timed frame it times the cockpit steps
// alone once more (screens redrawn and uploaded, panels drawn, glFinish),
// which gives their cost per frame and their share of the frame.
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
#include "scene/states.h"
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
    double sum = 0.0;
    for (double m : ms)
        sum += m;
    state.counters["mean_ms"] = ms.empty() ? 0.0 : sum / ms.size();
    state.counters["p95_ms"] = percentile(ms, 0.95);
    state.counters["max_ms"] = ms.empty() ? 0.0 : *std::max_element(ms.begin(), ms.end());
    destroy_world(g);
}

// The cockpit steps of one frame once more, on the clock: R2..R4 with the
// radar on every second call as in the game (screens[0]), then R8 and
// glFinish (screens[1]). Drawn over the frame just shown; the next frame
// clears it.
void time_cockpit_steps(GAME& g, int call, double* seconds)
{
    int saved = radar_framecount;
    radar_framecount = call % 2 ? 1 : 2;  // 1: the radar is due
    glFinish();
    auto start = std::chrono::steady_clock::now();
    update_cockpit_screens(g);
    glFinish();
    auto uploaded = std::chrono::steady_clock::now();
    draw_cockpit_panels();
    glFinish();
    auto end = std::chrono::steady_clock::now();
    seconds[0] += std::chrono::duration<double>(uploaded - start).count();
    seconds[1] += std::chrono::duration<double>(end - uploaded).count();
    radar_framecount = saved;
}

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
    std::vector<double> ms;
    double cockpit[2] = {0.0, 0.0};
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
        time_cockpit_steps(g, (int)ms.size(), cockpit);
    }
    double sum = 0.0;
    for (double m : ms)
        sum += m;
    double mean = ms.empty() ? 0.0 : sum / ms.size();
    double n = ms.empty() ? 1.0 : (double)ms.size();
    double screens_ms = 1000.0 * cockpit[0] / n, panels_ms = 1000.0 * cockpit[1] / n;
    double cockpit_ms = screens_ms + panels_ms;
    state.counters["mean_ms"] = mean;
    state.counters["p95_ms"] = percentile(ms, 0.95);
    state.counters["max_ms"] = ms.empty() ? 0.0 : *std::max_element(ms.begin(), ms.end());
    state.counters["screens_ms"] = screens_ms;  // R2..R4
    state.counters["panels_ms"] = panels_ms;    // R8
    state.counters["cockpit_ms"] = cockpit_ms;
    state.counters["cockpit_share"] = mean > 0.0 ? cockpit_ms / mean : 0.0;
    destroy_world(g);
}

void BM_RenderStartView(benchmark::State& state) { run_view(state, false); }
void BM_RenderExternalView(benchmark::State& state) { run_view(state, true); }

}  // namespace

BENCHMARK(BM_RenderStartView)->Iterations(MEASURED_FRAMES)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderExternalView)->Iterations(MEASURED_FRAMES)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderCockpitPanels)->Iterations(MEASURED_FRAMES)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    const char* display = getenv("DISPLAY");
    if (!display || !*display) {
        fprintf(stderr, "render_bench needs an X display (DISPLAY is not set)\n");
        return 1;
    }
    if (access("data/victim.vcd", R_OK) != 0 && chdir(SORTIE_SOURCE_DIR) != 0) {
        fprintf(stderr, "cannot change to %s\n", SORTIE_SOURCE_DIR);
        return 1;
    }
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
