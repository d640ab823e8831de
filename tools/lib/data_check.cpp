#include "data_check.h"

#include <allegro.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <strings.h>
#include <tuple>

#include "game/globals.h"
#include "render/load3ds.h"
#include "render/meshmodel.h"
#include "vessel/definitions.h"
#include "vessel/item_factory.h"
#include "vessel/vessel.h"

namespace {

// Models and pictures the game opens by fixed names, not through a vessel.
const char* const fixed_meshes[] = {"navbuoy.3ds", "rock00.3ds", "dumb_missile.3ds"};
const char* const fixed_pictures[] = {"textures/ground000.bmp", "textures/sky000.bmp"};
const char* const target_configuration = "victim.vcd";

class CHECK_SINK : public DEFINITION_SINK {
public:
    void report(const char* file, int line, DEFINITION_PROBLEM, const char* message) override
    {
        add(file ? file : "", line, message ? message : "");
    }
    // A vessel names the same item in many slots: each problem counts once.
    void add(const std::string& file, int line, const std::string& message)
    {
        if (seen.insert(std::make_tuple(file, line, message)).second)
            problems.push_back({file, line, message});
    }
    std::vector<CHECK_PROBLEM> problems;

private:
    std::set<std::tuple<std::string, int, std::string>> seen;
};

void check_mesh_file(const std::string& path, CHECK_SINK& sink)
{
    MESHMODEL* m = load3ds(path.c_str(), nullptr);
    if (!m) {
        sink.add(path, 0, std::string("mesh does not load: ") + LOAD3DS_ERROR_STRING);
        return;
    }
    if (load3ds_dropped_faces)
        sink.add(path, 0, std::to_string(load3ds_dropped_faces) + " faces name vertices past its " +
                              std::to_string(m->get_nr_vtx()) + ": dropped");
    delete_model(m);
}

void check_picture_file(const std::string& path, CHECK_SINK& sink)
{
    // As the game loads them: 24-bit, converted as needed.
    int depth = get_color_depth();
    set_color_depth(24);
    set_color_conversion(COLORCONV_TOTAL);
    BITMAP* b = load_bitmap(path.c_str(), nullptr);
    if (!b)
        sink.add(path, 0, "picture does not load");
    else
        destroy_bitmap(b);
    set_color_depth(depth);
}

// The vessel configurations the selection screen lists, in its order.
std::vector<std::string> configuration_names(const std::string& dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        std::string name = e.path().filename().string();
        if (e.is_regular_file(ec) && name.size() > 4 && name.compare(name.size() - 4, 4, ".vcd") == 0)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    return names;
}

}  // namespace

std::vector<CHECK_PROBLEM> check_data(const std::string& dir_in)
{
    std::string dir = dir_in.empty() ? "./" : dir_in;
    if (dir.back() != '/')
        dir += '/';
    CHECK_SINK sink;
    const char* saved_path = data_path;
    DEFINITION_SINK* saved_sink = definition_sink;
    data_path = dir.c_str();
    definition_sink = &sink;

    for (const char* name : fixed_meshes)
        check_mesh_file(dir + name, sink);
    for (const char* name : fixed_pictures)
        check_picture_file(dir + name, sink);
    std::vector<std::string> names = configuration_names(dir);
    if (std::find(names.begin(), names.end(), target_configuration) == names.end())
        sink.add(dir + target_configuration, 0, "missing: the targets are built from it");
    for (const std::string& name : names) {
        std::string path = dir + name;
        VESSEL* v = new VESSEL();
        v->load_vcd(path.c_str());
        delete v;
    }

    data_path = saved_path;
    definition_sink = saved_sink;
    return sink.problems;
}

int data_check_command(int argc, char** argv)
{
    if (argc > 1) {
        fprintf(stderr, "usage: sortie-data check [DATA_DIR]\n");
        return 2;
    }
    std::string dir = argc == 1 ? argv[0] : "data/";
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) {
        printf("%s:0: not a directory\n", dir.c_str());
        return 1;
    }
    std::vector<CHECK_PROBLEM> problems = check_data(dir);
    for (const CHECK_PROBLEM& p : problems)
        printf("%s:%d: %s\n", p.file.c_str(), p.line, p.message.c_str());
    return problems.empty() ? 0 : 1;
}
