// sortie-data: the modders' tool. Reads the game's data with the game's own
// code and reports on it. Each command is a function in tools/lib.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "data_check.h"
#include "data_model.h"
#include "data_render.h"
#include "data_wave.h"

namespace {

struct COMMAND {
    const char* name;
    int (*run)(int argc, char** argv);  // the arguments after the command's name
    const char* usage;
};

const COMMAND commands[] = {
    {"model", data_model_command, "model FILE.3ds    describe a 3DS model as one JSON line"},
    {"check", data_check_command, "check [DATA_DIR]    every problem in the data as FILE:LINE: message"},
    {"render", data_render_command, "render FILE.3ds OUT.png [YAW PITCH]    a lit still of a model (needs X)"},
    {"wave", data_wave_command, "wave [--missiles] VESSEL.vcd [DATA_DIR [SECONDS]]    time a scripted pilot against a wave"},
};

int usage()
{
    fprintf(stderr, "usage: sortie-data COMMAND ARGS...\ncommands:\n");
    for (const COMMAND& c : commands)
        fprintf(stderr, "  %s\n", c.usage);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    // Memory bitmaps, packfiles and Unicode strings; no window.
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        fprintf(stderr, "sortie-data: could not start Allegro\n");
        return 1;
    }
    for (const COMMAND& c : commands)
        if (strcmp(argv[1], c.name) == 0)
            return c.run(argc - 2, argv + 2);
    return usage();
}
