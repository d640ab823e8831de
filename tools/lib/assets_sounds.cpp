#include "assets_sounds.h"

#include <algorithm>
#include <cmath>

#include "assets_random.h"

namespace {

const float TWO_PI = 2.0f * float(M_PI);

void put(std::vector<uint8_t>& out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; i++)
        out.push_back(uint8_t(v >> (8 * i)));
}

int samples(float seconds) { return int(seconds * SOUND_RATE); }

// One-pole low-pass whose cut-off may change per sample.
struct LOWPASS {
    float y = 0;
    float run(float x, float cutoff_hz)
    {
        float a = 1.0f - std::exp(-TWO_PI * cutoff_hz / SOUND_RATE);
        y += a * (x - y);
        return y;
    }
};

float envelope(float t, float attack, float decay)
{
    float a = attack > 0 ? std::min(1.0f, t / attack) : 1.0f;
    return a * std::exp(-t / decay);
}

void normalise(WAVE& w, float peak)
{
    float m = 0;
    for (float s : w)
        m = std::max(m, std::fabs(s));
    if (m > 0)
        for (float& s : w)
            s *= peak / m;
}

// Fades the last few milliseconds so one-shot sounds end on silence.
void fade_tail(WAVE& w, float seconds)
{
    int n = std::min(int(w.size()), samples(seconds));
    for (int i = 0; i < n; i++)
        w[w.size() - 1 - i] *= float(i) / float(n);
}

// A rumbling blast: low-passed noise with a falling cut-off, a thump and,
// for big ones, crackles.
WAVE blast(float seconds, float thump_hz, float bright_hz, float crackle, uint32_t seed)
{
    ASSET_RANDOM rnd(seed);
    WAVE w(size_t(samples(seconds)));
    LOWPASS body, rumble;
    float crack = 0;
    for (size_t i = 0; i < w.size(); i++) {
        float t = float(i) / SOUND_RATE;
        float n = rnd.signed_unit();
        float cutoff = 80.0f + bright_hz * std::exp(-t * 3.0f);
        float s = body.run(n, cutoff) * 2.5f * envelope(t, 0.005f, seconds * 0.3f);
        s += rumble.run(rnd.signed_unit(), 60.0f) * 6.0f * envelope(t, 0.05f, seconds * 0.45f);
        s += std::sin(TWO_PI * thump_hz * t * (1.0f - 0.3f * t)) * envelope(t, 0.002f, 0.15f);
        if (crackle > 0 && rnd.unit() < crackle * std::exp(-t * 2.0f) / 200.0f)
            crack = rnd.signed_unit();
        crack *= 0.93f;
        s += crack * 0.6f;
        w[i] = s;
    }
    normalise(w, 0.9f);
    fade_tail(w, 0.05f);
    return w;
}

WAVE laser_zap()
{
    WAVE w(size_t(samples(0.32f)));
    float phase = 0, phase2 = 0;
    for (size_t i = 0; i < w.size(); i++) {
        float t = float(i) / SOUND_RATE;
        float f = 300.0f + 1900.0f * std::exp(-t * 14.0f);
        phase += TWO_PI * f / SOUND_RATE;
        phase2 += TWO_PI * f * 1.5f / SOUND_RATE;
        float s = std::sin(phase) + 0.4f * std::sin(3 * phase) + 0.3f * std::sin(phase2);
        w[i] = s * envelope(t, 0.003f, 0.09f);
    }
    normalise(w, 0.8f);
    fade_tail(w, 0.02f);
    return w;
}

WAVE cannon_shot()
{
    ASSET_RANDOM rnd(4711);
    WAVE w(size_t(samples(0.2f)));
    LOWPASS lp;
    for (size_t i = 0; i < w.size(); i++) {
        float t = float(i) / SOUND_RATE;
        float n = lp.run(rnd.signed_unit(), 3500.0f * std::exp(-t * 20.0f) + 200.0f);
        float thump = std::sin(TWO_PI * 90.0f * t) * envelope(t, 0.001f, 0.04f);
        w[i] = 1.6f * n * envelope(t, 0.001f, 0.03f) + thump;
    }
    normalise(w, 0.85f);
    fade_tail(w, 0.02f);
    return w;
}

// A motor whoosh: noise whose brightness swells, with an ignition pop.
WAVE whoosh(float seconds, float pop, uint32_t seed)
{
    ASSET_RANDOM rnd(seed);
    WAVE w(size_t(samples(seconds)));
    LOWPASS lp, lp2;
    for (size_t i = 0; i < w.size(); i++) {
        float t = float(i) / SOUND_RATE;
        float x = t / seconds;
        float cutoff = 400.0f + 2600.0f * std::sin(float(M_PI) * std::min(1.0f, x * 1.6f));
        float n = lp2.run(lp.run(rnd.signed_unit(), cutoff), cutoff * 1.5f);
        float env = std::min(1.0f, t / 0.03f) * (1.0f - x) * (1.0f - x);
        float s = 3.0f * n * env + pop * std::sin(TWO_PI * 70.0f * t) * envelope(t, 0.002f, 0.06f);
        w[i] = s;
    }
    normalise(w, 0.85f);
    fade_tail(w, 0.03f);
    return w;
}

}  // namespace

std::vector<uint8_t> encode_wav16(const WAVE& w)
{
    std::vector<uint8_t> out;
    const uint32_t data = uint32_t(w.size() * 2);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put(out, 36 + data, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(out, 16, 4);
    put(out, 1, 2);  // PCM
    put(out, 1, 2);  // mono
    put(out, SOUND_RATE, 4);
    put(out, SOUND_RATE * 2, 4);
    put(out, 2, 2);
    put(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put(out, data, 4);
    for (float s : w) {
        long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        put(out, uint32_t(int16_t(v)) & 0xffffu, 2);
    }
    return out;
}

WAVE make_engine_loop()
{
    // One second: every partial has a whole number of cycles in it.
    const int n = SOUND_RATE;
    WAVE w(size_t(n), 0.0f);
    ASSET_RANDOM rnd(1234);
    auto partial = [&](int hz, float amp) {
        float phase = rnd.unit() * TWO_PI;
        for (int i = 0; i < n; i++)
            w[size_t(i)] += amp * std::sin(phase + TWO_PI * float(hz) * float(i) / float(n));
    };
    // Turbine hum: a low fundamental with its harmonics, and a whine.
    partial(55, 1.0f);
    partial(110, 0.6f);
    partial(165, 0.35f);
    partial(220, 0.25f);
    partial(330, 0.12f);
    partial(1760, 0.05f);
    partial(1763, 0.05f);
    // Roar: many random-phase partials falling off with frequency, i.e.
    // noise that repeats exactly every second.
    for (int hz = 60; hz < 2400; hz += 3)
        partial(hz, 0.35f / (1.0f + float(hz) / 150.0f));
    normalise(w, 0.7f);
    return w;
}

std::vector<NAMED_SOUND> make_sounds()
{
    return {
        {"sounds/explosion.wav", blast(2.6f, 45.0f, 2200.0f, 1.0f, 101)},
        {"sounds/rock_explosion.wav", blast(1.4f, 70.0f, 3500.0f, 3.0f, 202)},
        {"sounds/detonation.wav", blast(0.9f, 60.0f, 3000.0f, 0.3f, 303)},
        {"sounds/laser.wav", laser_zap()},
        {"sounds/cannon.wav", cannon_shot()},
        {"sounds/rocket.wav", whoosh(0.9f, 0.2f, 404)},
        {"sounds/missile_launch.wav", whoosh(1.6f, 0.8f, 505)},
        {"sounds/engine.wav", make_engine_loop()},
    };
}
