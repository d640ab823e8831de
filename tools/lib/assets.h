// The asset generator: every mesh, texture, sound and definition file the
// game ships, written into a data directory. The output depends on nothing
// but this code (fixed seeds, no clock), so running it again reproduces the
// shipped files byte for byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ASSET_FILE {
    std::string path;  // relative to the data directory
    std::vector<uint8_t> bytes;
};

// Every generated file, in a fixed order.
std::vector<ASSET_FILE> make_assets();

// Writes them under dir (created as needed); false and a message on stderr
// when a file cannot be written.
bool write_assets(const std::string& dir, const std::vector<ASSET_FILE>& files);
