// Sound files made by the tests themselves, with the tools' encoder.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "assets_sounds.h"

// The bytes of a WAV file (16-bit mono at SOUND_RATE): seconds of a sine of
// pitch_hz at amplitude 0..1 of full scale.
inline std::string make_wav_bytes(float seconds, float pitch_hz, float amplitude)
{
    WAVE w(size_t(seconds * SOUND_RATE));
    for (size_t i = 0; i < w.size(); i++)
        w[i] = amplitude * sinf(2.0f * float(M_PI) * pitch_hz * i / SOUND_RATE);
    std::vector<uint8_t> bytes = encode_wav16(w);
    return std::string(bytes.begin(), bytes.end());
}
