#include "assets.h"

#include <cstdio>
#include <filesystem>

#include "assets_defs.h"
#include "assets_icon.h"
#include "assets_meshes.h"
#include "assets_sounds.h"
#include "assets_textures.h"
#include "png_writer.h"
#include "write3ds.h"

// Texture edge in pixels: the ground tile covers 1000 m, so 512 gives about
// two metres per texel.
static const int texture_size = 512;

std::vector<ASSET_FILE> make_assets()
{
    std::vector<ASSET_FILE> out;
    for (const NAMED_MESH& m : make_meshes())
        out.push_back({m.path, encode3ds(m.mesh)});
    out.push_back({"textures/ground000.bmp", encode_bmp24(make_ground_texture(texture_size))});
    out.push_back({"textures/sky000.bmp", encode_bmp24(make_sky_texture(texture_size))});
    for (const NAMED_SOUND& s : make_sounds())
        out.push_back({s.path, encode_wav16(s.wave)});
    for (const NAMED_TEXT& t : make_definitions())
        out.push_back({t.path, std::vector<uint8_t>(t.text.begin(), t.text.end())});
    // Not read by the game: the install puts it where desktops look.
    ICON icon = make_icon(ICON_SIZE);
    out.push_back({"icons/sortie.png", encode_png_rgba(icon.size, icon.size, icon.rgba)});
    return out;
}

bool write_assets(const std::string& dir, const std::vector<ASSET_FILE>& files)
{
    namespace fs = std::filesystem;
    for (const ASSET_FILE& f : files) {
        fs::path p = fs::path(dir) / f.path;
        std::error_code ec;
        fs::create_directories(p.parent_path(), ec);
        FILE* out = fopen(p.string().c_str(), "wb");
        if (!out) {
            fprintf(stderr, "%s: cannot write\n", p.string().c_str());
            return false;
        }
        bool ok = fwrite(f.bytes.data(), 1, f.bytes.size(), out) == f.bytes.size();
        ok = fclose(out) == 0 && ok;
        if (!ok) {
            fprintf(stderr, "%s: write failed\n", p.string().c_str());
            return false;
        }
    }
    return true;
}
