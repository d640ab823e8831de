// The game's sound effects, synthesised: mono, 22050 Hz, 16-bit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int SOUND_RATE = 22050;

// Samples in -1 .. 1.
using WAVE = std::vector<float>;

// A PCM WAV file (mono, SOUND_RATE, 16-bit); samples are clipped to -1 .. 1.
std::vector<uint8_t> encode_wav16(const WAVE& w);

struct NAMED_SOUND {
    std::string path;  // relative to the data directory
    WAVE wave;
};

std::vector<NAMED_SOUND> make_sounds();

// The engine loop is built from whole cycles of the loop length, so its end
// joins its start without a click.
WAVE make_engine_loop();
