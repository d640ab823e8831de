// The start of a benchmark program: the game reads data/ relative to where
// it runs, so a run from the build folder moves to the source tree first.
#pragma once

#include <allegro.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

// False (with a line on stderr) when data/ cannot be found.
inline bool enter_data_folder()
{
    if (access("data/victim.vcd", R_OK) != 0 && chdir(SORTIE_SOURCE_DIR) != 0) {
        fprintf(stderr, "cannot change to %s\n", SORTIE_SOURCE_DIR);
        return false;
    }
    return true;
}

// Finds data/, starts Allegro without a display and runs the benchmarks
// the command line asks for; the program's exit status.
inline int run_headless_benchmarks(int argc, char** argv)
{
    if (!enter_data_folder())
        return 1;
    install_allegro(SYSTEM_NONE, &errno, atexit);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
