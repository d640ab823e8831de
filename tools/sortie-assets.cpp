// sortie-assets [DATA_DIR]: writes the game's meshes, textures, sounds and
// vessel definitions into DATA_DIR (default data/).
#include <cstdio>
#include <cstring>

#include "assets.h"

int main(int argc, char** argv)
{
    if (argc > 2 || (argc == 2 && (!strcmp(argv[1], "-h") || !strcmp(argv[1], "--help")))) {
        printf("usage: sortie-assets [DATA_DIR]\n");
        return argc > 2 ? 2 : 0;
    }
    const char* dir = argc == 2 ? argv[1] : "data/";
    std::vector<ASSET_FILE> files = make_assets();
    if (!write_assets(dir, files))
        return 1;
    printf("%zu files written to %s\n", files.size(), dir);
    return 0;
}
