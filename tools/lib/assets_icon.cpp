#include "assets_icon.h"

#include <algorithm>
#include <cmath>

namespace {

struct RGBA {
    float r, g, b, a;
};

const int SUBSAMPLES = 4;  // per axis: 16 samples smooth the edges

// Over-operator of a colour onto another (straight alpha).
RGBA over(RGBA top, RGBA under)
{
    float a = top.a + under.a * (1 - top.a);
    if (a <= 0)
        return {0, 0, 0, 0};
    auto mix = [&](float t, float u) { return (t * top.a + u * under.a * (1 - top.a)) / a; };
    return {mix(top.r, under.r), mix(top.g, under.g), mix(top.b, under.b), a};
}

bool inside_triangle(float x, float y, const float* t)
{
    auto side = [&](int i, int j) { return (t[2 * j] - t[2 * i]) * (y - t[2 * i + 1]) - (t[2 * j + 1] - t[2 * i + 1]) * (x - t[2 * i]); };
    float a = side(0, 1), b = side(1, 2), c = side(2, 0);
    return (a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0);
}

// The fighter in badge coordinates (0..1, y down): fuselage, delta wings,
// tail planes, each a triangle.
const float hull[][6] = {
    {0.50f, 0.16f, 0.44f, 0.62f, 0.56f, 0.62f},  // fuselage
    {0.50f, 0.30f, 0.16f, 0.62f, 0.50f, 0.56f},  // left wing
    {0.50f, 0.30f, 0.84f, 0.62f, 0.50f, 0.56f},  // right wing
    {0.47f, 0.52f, 0.34f, 0.72f, 0.50f, 0.66f},  // left tail plane
    {0.53f, 0.52f, 0.66f, 0.72f, 0.50f, 0.66f},  // right tail plane
};
const float canopy[6] = {0.50f, 0.24f, 0.475f, 0.36f, 0.525f, 0.36f};

// Colour of the badge at one sample point.
RGBA sample(float x, float y)
{
    float dx = x - 0.5f, dy = y - 0.5f;
    float r = std::sqrt(dx * dx + dy * dy);
    if (r > 0.48f)
        return {0, 0, 0, 0};
    RGBA c;
    if (y < 0.70f) {  // sky, darker towards the top
        float t = y / 0.70f;
        c = {0.06f + 0.25f * t, 0.12f + 0.38f * t, 0.32f + 0.48f * t, 1};
    } else {  // fields in two greens
        bool stripe = int((x + y) * 14) % 2 == 0;
        c = stripe ? RGBA{0.22f, 0.42f, 0.14f, 1} : RGBA{0.30f, 0.50f, 0.18f, 1};
    }
    // Laser bolts ahead of the wings.
    for (float lx : {0.36f, 0.64f})
        if (std::fabs(x - lx) < 0.012f && y > 0.10f && y < 0.36f)
            c = over({1.0f, 0.25f, 0.15f, 0.9f}, c);
    for (const auto& t : hull)
        if (inside_triangle(x, y, t))
            c = {0.80f, 0.82f, 0.86f, 1};
    if (inside_triangle(x, y, canopy))
        c = {0.10f, 0.16f, 0.30f, 1};
    if (r > 0.445f)  // a light rim
        c = {0.85f, 0.88f, 0.92f, 1};
    return c;
}

uint8_t byte(float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

}  // namespace

ICON make_icon(int size)
{
    ICON icon;
    icon.size = size;
    icon.rgba.resize(size_t(size) * size * 4);
    for (int py = 0; py < size; py++) {
        for (int px = 0; px < size; px++) {
            // Average premultiplied samples, then straighten.
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < SUBSAMPLES; sy++) {
                for (int sx = 0; sx < SUBSAMPLES; sx++) {
                    RGBA c = sample((px + (sx + 0.5f) / SUBSAMPLES) / size, (py + (sy + 0.5f) / SUBSAMPLES) / size);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            uint8_t* out = &icon.rgba[(size_t(py) * size + px) * 4];
            out[0] = a > 0 ? byte(r / a) : 0;
            out[1] = a > 0 ? byte(g / a) : 0;
            out[2] = a > 0 ? byte(b / a) : 0;
            out[3] = byte(a / (SUBSAMPLES * SUBSAMPLES));
        }
    }
    return icon;
}
