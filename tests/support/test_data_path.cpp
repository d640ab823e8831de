#include "test_data_path.h"

#include "game/globals.h"

TEST_DATA_PATH::TEST_DATA_PATH() : saved(data_path) { data_path = dir.path().c_str(); }

TEST_DATA_PATH::~TEST_DATA_PATH() { data_path = saved; }
