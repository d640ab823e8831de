// The game's desktop icon: a fighter seen from above, climbing out of a round
// patch of sky over farmland, two laser streaks ahead of it.
#pragma once

#include <cstdint>
#include <vector>

// An RGBA picture, rows top to bottom, 4 bytes per pixel; clear outside the
// round badge.
struct ICON {
    int size = 0;
    std::vector<uint8_t> rgba;
};

constexpr int ICON_SIZE = 64;  // pixels, the desktop's usual application icon

ICON make_icon(int size);
