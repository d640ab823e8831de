// Sound files made by the tests themselves.
#pragma once

#include <string>

// The bytes of a PCM WAV file: 16-bit mono at freq Hz, seconds long, a sine
// of pitch_hz at amplitude 0..1 of full scale.
std::string make_wav_bytes(int freq, float seconds, float pitch_hz, float amplitude);
