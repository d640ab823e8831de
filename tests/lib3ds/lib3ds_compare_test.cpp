// Real 3DS files nobody here wrote (Debian's assimp-testmodels), read by our
// loader, by the sortie-data tool and by Debian's lib3ds: they must agree.
#include <gtest/gtest.h>

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "render/load3ds.h"
#include "render/meshmodel.h"
#include "render/texture.h"
#include "test_allegro.h"

namespace {

std::string run(const std::string& cmd, int* status = nullptr)
{
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    int st = pclose(p);
    if (status)
        *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return out;
}

std::vector<std::string> assimp_3ds_files()
{
    std::vector<std::string> files;
    std::string list = run("dpkg -L assimp-testmodels 2>/dev/null");
    std::regex pattern(R"(^.*\.3[dD][sS]$)");
    size_t at = 0;
    while (at < list.size()) {
        size_t end = list.find('\n', at);
        if (end == std::string::npos)
            end = list.size();
        std::string line = list.substr(at, end - at);
        if (std::regex_match(line, pattern))
            files.push_back(line);
        at = end + 1;
    }
    return files;
}

struct LIB3DS_FILE {
    Lib3dsFile* f;
    explicit LIB3DS_FILE(const std::string& path) : f(lib3ds_file_load(path.c_str())) {}
    ~LIB3DS_FILE()
    {
        if (f)
            lib3ds_file_free(f);
    }
    int meshes() const
    {
        int n = 0;
        for (Lib3dsMesh* m = f ? f->meshes : nullptr; m; m = m->next)
            n++;
        return n;
    }
};

MATERIAL* exact_material(MESHMODEL* mesh, const char* name)
{
    for (unsigned long i = 0; i < mesh->get_nr_material(); i++)
        if (mesh->get_material(i)->get_name() && std::string(mesh->get_material(i)->get_name()) == name)
            return mesh->get_material(i);
    return nullptr;
}

void expect_colour(const char* what, const std::string& file, const float* theirs, float r, float g, float b)
{
    EXPECT_NEAR(theirs[0], r, 1e-6) << file << " " << what;
    EXPECT_NEAR(theirs[1], g, 1e-6) << file << " " << what;
    EXPECT_NEAR(theirs[2], b, 1e-6) << file << " " << what;
}

long json_count(const std::string& json, const char* key)
{
    std::smatch m;
    std::regex re(std::string("\"") + key + "\":([0-9]+)");
    return std::regex_search(json, m, re) ? std::stol(m[1]) : -1;
}

}  // namespace

TEST(Lib3dsComparison, EveryAssimpFileLoadsAndAgreesWithLib3ds)
{
    std::vector<std::string> files = assimp_3ds_files();
    ASSERT_GE(files.size(), 5u) << "assimp-testmodels is not installed";
    int single = 0;
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        LIB3DS_FILE theirs(path);
        std::unique_ptr<MESHMODEL> ours(load3ds(path.c_str(), nullptr));
        if (!theirs.f) {
            // lib3ds refuses it (the empty file): so do we, with a reason.
            EXPECT_FALSE(ours);
            continue;
        }
        ASSERT_TRUE(ours) << LOAD3DS_ERROR_STRING;

        // Materials are file-wide: every one of lib3ds's is ours too, in
        // the same colours.
        for (Lib3dsMaterial* m = theirs.f->materials; m; m = m->next) {
            MATERIAL* mine = exact_material(ours.get(), m->name);
            ASSERT_NE(mine, nullptr) << m->name;
            float r, g, b;
            mine->get_ambient(r, g, b);
            expect_colour("ambient", path, m->ambient, r, g, b);
            mine->get_diffuse(r, g, b);
            expect_colour("diffuse", path, m->diffuse, r, g, b);
            mine->get_specular(r, g, b);
            expect_colour("specular", path, m->specular, r, g, b);
            EXPECT_NEAR(m->shininess, mine->get_shininess(), 1e-6) << m->name;
            EXPECT_EQ(m->two_sided != 0, (mine->get_two_sided() & MATERIAL_TWO_SIDED) != 0) << m->name;
            if (m->texture1_map.name[0]) {
                ASSERT_NE(mine->get_texture(), nullptr) << m->name;
                EXPECT_STRCASEEQ(mine->get_texture()->get_name(), m->texture1_map.name);
            }
        }

        if (theirs.meshes() != 1)
            continue;
        single++;
        Lib3dsMesh* mesh = theirs.f->meshes;
        EXPECT_EQ(ours->get_nr_vtx(), mesh->points);
        EXPECT_EQ(ours->get_nr_face(), mesh->faces);
        for (unsigned i = 0; i < mesh->points && i < ours->get_nr_vtx(); i++) {
            float p[3];
            ours->get_vtx(i, p);
            for (int k = 0; k < 3; k++)
                ASSERT_EQ(p[k], mesh->pointL[i].pos[k]) << "vertex " << i;
        }
        // The same number of faces wears each named material.
        std::map<std::string, unsigned long> per_material;
        for (unsigned i = 0; i < mesh->faces; i++)
            per_material[mesh->faceL[i].material]++;
        for (const auto& [name, count] : per_material) {
            if (!name.empty()) {
                EXPECT_EQ(ours->count_faces_with_material(exact_material(ours.get(), name.c_str())), count) << name;
            }
        }
    }
    EXPECT_GE(single, 3);
}

TEST(Lib3dsComparison, SortieDataModelReportsWhatLib3dsReads)
{
    std::vector<std::string> files = assimp_3ds_files();
    ASSERT_FALSE(files.empty());
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        LIB3DS_FILE theirs(path);
        int status = -1;
        std::string out = run(std::string("'") + SORTIE_DATA_TOOL + "' model '" + path + "' 2>/dev/null", &status);
        if (!theirs.f) {
            EXPECT_EQ(status, 1);
            std::string err = run(std::string("'") + SORTIE_DATA_TOOL + "' model '" + path + "' 2>&1 >/dev/null");
            EXPECT_EQ(err, path + ": No main chunk.\n");
            continue;
        }
        ASSERT_EQ(status, 0);
        ASSERT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
        if (theirs.meshes() == 1) {
            EXPECT_EQ(json_count(out, "vertices"), (long)theirs.f->meshes->points);
            EXPECT_EQ(json_count(out, "faces"), (long)theirs.f->meshes->faces);
        }
        for (Lib3dsMaterial* m = theirs.f->materials; m; m = m->next)
            EXPECT_NE(out.find(std::string("\"name\":\"") + m->name + "\""), std::string::npos) << m->name;
    }
}
