#include "shipped_data.h"

#include "game/globals.h"
#include "test_allegro.h"

SHIPPED_DATA::SHIPPED_DATA() : saved(data_path), dir(std::string(SORTIE_SOURCE_DIR) + "/data/")
{
    ensure_headless_allegro();
    data_path = dir.c_str();
}

SHIPPED_DATA::~SHIPPED_DATA() { data_path = saved; }
