#include "test_data_path.h"

#include "game/globals.h"
#include "mesh_shapes.h"

TEST_DATA_PATH::TEST_DATA_PATH() : saved(data_path) { data_path = dir.path().c_str(); }

TEST_DATA_PATH::~TEST_DATA_PATH() { data_path = saved; }

void TEST_DATA_PATH::write_box_mesh(const std::string& name, float half) const
{
    dir.write(name, "");
    write3ds(file(name), box_shape(half, half, half));
}
