#include "theme/te_colors.h"

#include <algorithm>
#include <cmath>

namespace quillon {

namespace {

int channel(uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

uint32_t withChannels(uint32_t alpha, int r, int g, int b)
{
    auto c = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
    return alpha | c(r) << 16 | c(g) << 8 | c(b);
}

// Rounds to nearest with ties to even (the current rounding mode).
int round255(float v) { return static_cast<int>(std::nearbyint(v * 255.0f)); }

float hueToChannel(float p, float q, float t)
{
    t -= std::floor(t);
    if (6 * t < 1)
        return p + (q - p) * 6 * t;
    if (2 * t < 1)
        return q;
    if (3 * t < 2)
        return p + (q - p) * (2.0f / 3.0f - t) * 6;
    return p;
}

} // namespace

uint32_t ShiftBrightnessPixel(uint32_t pixel, int delta)
{
    if (delta == 0)
        return pixel;
    return withChannels(pixel & 0xFF000000u, channel(pixel, 16) + delta, channel(pixel, 8) + delta,
                        channel(pixel, 0) + delta);
}

float PixelLightness(uint32_t pixel)
{
    const float r = channel(pixel, 16) / 255.0f, g = channel(pixel, 8) / 255.0f, b = channel(pixel, 0) / 255.0f;
    return (std::max({r, g, b}) + std::min({r, g, b})) / 2;
}

uint32_t ShiftHuePixel(uint32_t pixel, int delta)
{
    if (delta == 0)
        return pixel;
    const float r = channel(pixel, 16) / 255.0f, g = channel(pixel, 8) / 255.0f, b = channel(pixel, 0) / 255.0f;
    const float max = std::max({r, g, b}), min = std::min({r, g, b});
    const float l = (max + min) / 2;
    float h = 0, s = 0;
    if (max != min) {
        const float d = max - min;
        s = l >= 0.5f ? d / (2 - max - min) : d / (max + min);
        if (r == max)
            h = (g - b) / d;
        else if (g != max)
            h = (r - g) / d + 4;
        else
            h = (b - r) / d + 2;
        h /= 6;
        if (h < 0)
            h += 1;
    }
    int steps = round255(h) + delta;
    if (steps >= 256)
        steps -= 255;
    if (steps < 0)
        steps += 255;
    h = steps / 255.0f;
    if (s == 0) {
        const int grey = round255(l);
        return withChannels(pixel & 0xFF000000u, grey, grey, grey);
    }
    const float q = l <= 0.5f ? l * (1 + s) : l + s - l * s;
    const float p = 2 * l - q;
    return withChannels(pixel & 0xFF000000u, round255(hueToChannel(p, q, h + 1.0f / 3.0f)),
                        round255(hueToChannel(p, q, h)), round255(hueToChannel(p, q, h - 1.0f / 3.0f)));
}

} // namespace quillon
