#include "assets_textures.h"

#include <algorithm>
#include <cmath>

namespace {

uint32_t hash2(int x, int y, uint32_t seed)
{
    uint32_t h = seed * 0x9e3779b1u ^ uint32_t(x) * 0x85ebca6bu ^ uint32_t(y) * 0xc2b2ae35u;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

float lattice(int x, int y, int period, uint32_t seed)
{
    x = ((x % period) + period) % period;
    y = ((y % period) + period) % period;
    return float(hash2(x, y, seed) & 0xffffff) / float(0xffffff);
}

float smooth(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

void put(std::vector<uint8_t>& out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; i++)
        out.push_back(uint8_t(v >> (8 * i)));
}

uint8_t byte(float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

struct RGB {
    float r, g, b;
};

RGB mix(RGB a, RGB b, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

float band(float v, float lo, float hi) { return std::clamp((v - lo) / (hi - lo), 0.0f, 1.0f); }

}  // namespace

std::vector<uint8_t> encode_bmp24(const PICTURE& p)
{
    const int row = (p.w * 3 + 3) & ~3;
    const uint32_t pixels = uint32_t(row * p.h);
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put(out, 54 + pixels, 4);
    put(out, 0, 4);
    put(out, 54, 4);
    put(out, 40, 4);
    put(out, uint32_t(p.w), 4);
    put(out, uint32_t(p.h), 4);  // positive: rows stored bottom-up
    put(out, 1, 2);
    put(out, 24, 2);
    put(out, 0, 4);  // no compression
    put(out, pixels, 4);
    put(out, 2835, 4);  // 72 dpi
    put(out, 2835, 4);
    put(out, 0, 4);
    put(out, 0, 4);
    for (int y = p.h - 1; y >= 0; y--) {
        const uint8_t* src = &p.rgb[size_t(y) * p.w * 3];
        for (int x = 0; x < p.w; x++) {
            out.push_back(src[x * 3 + 2]);
            out.push_back(src[x * 3 + 1]);
            out.push_back(src[x * 3 + 0]);
        }
        for (int k = p.w * 3; k < row; k++)
            out.push_back(0);
    }
    return out;
}

float tile_noise(float x, float y, int period, uint32_t seed)
{
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    float fx = smooth(x - x0), fy = smooth(y - y0);
    float a = lattice(x0, y0, period, seed), b = lattice(x0 + 1, y0, period, seed);
    float c = lattice(x0, y0 + 1, period, seed), d = lattice(x0 + 1, y0 + 1, period, seed);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

float tile_fbm(float x, float y, int period, int octaves, uint32_t seed)
{
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; o++) {
        sum += amp * tile_noise(x, y, period, seed + uint32_t(o) * 101u);
        norm += amp;
        x *= 2;
        y *= 2;
        period *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

PICTURE make_ground_texture(int size)
{
    PICTURE p;
    p.w = p.h = size;
    p.rgb.resize(size_t(size) * size * 3);
    const RGB meadow = {0.36f, 0.5f, 0.22f}, dry = {0.62f, 0.58f, 0.34f}, soil = {0.5f, 0.38f, 0.26f};
    const RGB wood = {0.16f, 0.28f, 0.12f}, rock = {0.55f, 0.53f, 0.5f};
    const float cells = 4.0f;  // lattice cells of the broadest octave across the picture
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float u = x * cells / size, v = y * cells / size;
            float moist = tile_fbm(u, v, 4, 6, 11);
            float height = tile_fbm(u + 0.37f, v + 0.71f, 4, 6, 23);
            float grain = tile_fbm(u * 8, v * 8, 32, 3, 37);
            RGB c = mix(dry, meadow, band(moist, 0.38f, 0.58f));
            c = mix(c, soil, band(grain, 0.55f, 0.8f) * 0.5f);
            // Fields: a grid of plots on the dry, flat land, each with its
            // own crop and furrow direction and a hedge round it.
            const int plots = 8;
            int fx = int(std::floor(u * plots / cells)), fy = int(std::floor(v * plots / cells));
            uint32_t plot = hash2(fx % plots, fy % plots, 71);
            float px = u * plots / cells - fx, py = v * plots / cells - fy;
            float edge = std::min(std::min(px, 1 - px), std::min(py, 1 - py));
            if ((plot & 0xff) < 110 && height < 0.56f && moist > 0.36f && moist < 0.6f) {
                static const RGB crops[4] = {{0.74f, 0.66f, 0.34f}, {0.46f, 0.34f, 0.23f},
                                             {0.42f, 0.56f, 0.2f}, {0.78f, 0.72f, 0.22f}};
                RGB crop = crops[(plot >> 8) & 3];
                float along = (plot >> 10) & 1 ? px : py;
                float furrow = 0.92f + 0.08f * std::sin(along * 2 * float(M_PI) * 24);
                crop = {crop.r * furrow, crop.g * furrow, crop.b * furrow};
                c = edge < 0.035f ? mix(c, wood, 0.7f) : mix(c, crop, 0.85f);
            }
            c = mix(c, wood, band(moist, 0.6f, 0.7f));
            c = mix(c, rock, band(height, 0.64f, 0.74f));
            float shade = 0.85f + 0.3f * (grain - 0.5f);
            uint8_t* out = &p.rgb[(size_t(y) * size + x) * 3];
            out[0] = byte(c.r * shade);
            out[1] = byte(c.g * shade);
            out[2] = byte(c.b * shade);
        }
    }
    return p;
}

PICTURE make_sky_texture(int size)
{
    PICTURE p;
    p.w = p.h = size;
    p.rgb.resize(size_t(size) * size * 3);
    const float cells = 4.0f;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            float u = x * cells / size, v = y * cells / size;
            float cover = tile_fbm(u, v, 4, 7, 301);
            float detail = tile_fbm(u * 4, v * 4, 16, 3, 419);
            float d = band(cover + 0.2f * (detail - 0.5f), 0.44f, 0.7f);
            d = d * d * (3 - 2 * d);
            // Thick clouds grey a little underneath.
            float grey = 1.0f - 0.25f * band(cover, 0.65f, 0.85f);
            uint8_t* out = &p.rgb[(size_t(y) * size + x) * 3];
            out[0] = byte(d * grey);
            out[1] = byte(d * grey);
            out[2] = byte(d * grey * 1.02f);
        }
    }
    return p;
}
