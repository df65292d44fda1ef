#pragma once
// The pixel routines every drawing path of the engine goes through. The plain
// versions in te_pixels.cpp are the definition; the SSE2 and AVX2 versions
// give the same bits and are chosen once, at start-up, from what the
// processor offers. QUILLON_DISABLE_SIMD=avx2 (or sse2, or all) switches
// levels off for debugging.

#include <cstddef>
#include <cstdint>

namespace quillon {

inline constexpr uint32_t TE_TRANSPARENT_KEY = 0x007F007F;
inline constexpr uint32_t TransparentKeyColor = 0x7F007F;

inline bool IsTransparentMark(uint32_t pixel) { return (pixel & 0x00FFFFFFu) == TransparentKeyColor; }

// One source pixel s with alpha A over d: A = 255 gives s, A = 0 leaves d,
// otherwise every colour channel is (A x s + (255 - A) x d) div 256 and the
// alpha 255.
inline uint32_t BlendPixel(uint32_t s, uint32_t d)
{
    const uint32_t a = s >> 24;
    if (a == 255)
        return s;
    if (a == 0)
        return d;
    auto mix = [a](uint32_t sc, uint32_t dc) { return (a * sc + (255 - a) * dc) >> 8; };
    return 0xFF000000u | mix(s >> 16 & 0xFF, d >> 16 & 0xFF) << 16 | mix(s >> 8 & 0xFF, d >> 8 & 0xFF) << 8 |
           mix(s & 0xFF, d & 0xFF);
}

struct PixelRoutines {
    // Copies the pixels with alpha 255: an opaque copy gives opaque pixels,
    // whatever the source's alpha bytes hold.
    void (*CopyPixels)(uint32_t *dst, const uint32_t *src, size_t count);
    // Copies the pixels that are not transparent marks, with alpha 255.
    void (*KeyCopyPixels)(uint32_t *dst, const uint32_t *src, size_t count);
    void (*BlendPixels)(uint32_t *dst, const uint32_t *src, size_t count);
    void (*FillPixels)(uint32_t *dst, uint32_t value, size_t count);
    void (*SetAlphaPixels)(uint32_t *dst, uint8_t alpha, size_t count);
    // alpha := 0 where the colour part equals colour.
    void (*ClearAlphaOfColor)(uint32_t *dst, uint32_t colour, size_t count);
    const char *Level;
};

// The routines in use, chosen at the first call.
const PixelRoutines &Pixels();

// Each level on its own, for the tests and the benchmark; nothing when the
// processor lacks it or it was not built.
const PixelRoutines &ScalarPixels();
const PixelRoutines *Sse2Pixels();
const PixelRoutines *Avx2Pixels();

// Rectangle forms over rows of a given stride (in pixels).
void FillPixelRect(uint32_t *first, size_t stride, int width, int height, uint32_t value);
void SetAlphaPixelRect(uint32_t *first, size_t stride, int width, int height, uint8_t alpha);

} // namespace quillon
