// A small deterministic random source for the asset generator: the same
// seed gives the same stream on every run and every library, which the
// standard distributions do not promise.
#pragma once

#include <cstdint>

class ASSET_RANDOM {
public:
    explicit ASSET_RANDOM(uint32_t seed) : state(seed ? seed : 0x9e3779b9u) {}
    uint32_t next()
    {
        // xorshift32
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    float unit() { return float(next() >> 8) / float(1u << 24); }  // [0, 1)
    float signed_unit() { return unit() * 2.0f - 1.0f; }           // [-1, 1)

private:
    uint32_t state;
};
