#include "test_data_path.h"

#include "game/globals.h"
#include "write3ds.h"

TEST_DATA_PATH::TEST_DATA_PATH() : saved(data_path) { data_path = dir.path().c_str(); }

TEST_DATA_PATH::~TEST_DATA_PATH() { data_path = saved; }

void TEST_DATA_PATH::write_box_mesh(const std::string& name, float half) const
{
    MESH3DS box;
    for (int i = 0; i < 8; i++)
        box.vertices.push_back({i & 1 ? half : -half, i & 2 ? half : -half, i & 4 ? half : -half});
    const uint16_t quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                  {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    for (const auto& q : quads) {
        box.faces.push_back({q[0], q[1], q[2]});
        box.faces.push_back({q[0], q[2], q[3]});
    }
    dir.write(name, "");
    write3ds(file(name), box);
}
