#include "test_wav.h"

#include <cmath>
#include <cstdint>

namespace {

void put16(std::string& s, unsigned v)
{
    s += (char)(v & 0xFF);
    s += (char)((v >> 8) & 0xFF);
}

void put32(std::string& s, unsigned v)
{
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

}  // namespace

std::string make_wav_bytes(int freq, float seconds, float pitch_hz, float amplitude)
{
    unsigned frames = (unsigned)(freq * seconds);
    unsigned data_bytes = frames * 2;
    std::string s = "RIFF";
    put32(s, 36 + data_bytes);
    s += "WAVEfmt ";
    put32(s, 16);        // chunk size
    put16(s, 1);         // PCM
    put16(s, 1);         // mono
    put32(s, freq);
    put32(s, freq * 2);  // bytes per second
    put16(s, 2);         // bytes per frame
    put16(s, 16);        // bits per sample
    s += "data";
    put32(s, data_bytes);
    for (unsigned i = 0; i < frames; i++) {
        double v = amplitude * 32767.0 * sin(2.0 * M_PI * pitch_hz * i / freq);
        put16(s, (unsigned)(uint16_t)(int16_t)lrint(v));
    }
    return s;
}
