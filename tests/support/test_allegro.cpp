#include "test_allegro.h"

#include <allegro.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ui/colors.h"

void ensure_headless_allegro()
{
    static bool installed = false;
    if (installed)
        return;
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    setup_kvor_colors(32);
    installed = true;
}

TEMP_DIR::TEMP_DIR()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "sortie-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    dir = std::string(made ? made : pattern.c_str()) + "/";
}

TEMP_DIR::~TEMP_DIR()
{
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

void TEMP_DIR::write(const std::string& name, const std::string& contents) const
{
    std::filesystem::create_directories(std::filesystem::path(file(name)).parent_path());
    std::ofstream out(file(name), std::ios::binary);
    out << contents;
}
