#pragma once
// Colour shifts of the theme engine on 0xAARRGGBB values: brightness adds to
// every channel; hue turns the colour around the HSL circle of 255 steps.
// The alpha byte stays as it is; a shift of 0 changes nothing.

#include <cstdint>

namespace quillon {

uint32_t ShiftBrightnessPixel(uint32_t pixel, int delta);
uint32_t ShiftHuePixel(uint32_t pixel, int delta);
// HSL lightness of a pixel, 0..1, as the hue shift computes it.
float PixelLightness(uint32_t pixel);

} // namespace quillon
